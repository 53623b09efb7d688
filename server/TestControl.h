#pragma once
// Switches that make replies go wrong on purpose, and counters of the
// requests served, for tests. A test reaches them through the control port
// (a loopback port of its own, one text command a line, one reply a line):
//
//   delay MS [CODE]    every reply (or those to CODE) waits MS ms; 0 ends it
//   close CODE [N]     the next N replies to CODE stop half-way and the
//                      connection closes
//   count51 CODE [N]   the next N answer or record replies to CODE carry the
//                      count 51 and nothing else
//   abort CODE [N]     the next N file transfers of CODE end with -1 (after
//                      the first chunk when there is more than one)
//   answers CODE K [N] the next N answer replies to CODE carry only their
//                      first K texts (0 or 1: shapes a client must survive)
//   broken F|A KIND    the form description (F) or the field-event script
//                      (A) of a record kind is sent damaged, until clear
//   lock ID [NAME]     a session that does not exist (user NAME, "fantom"
//                      by default) holds the record ID; unlock ID ends it
//   count CODE         the number of CODE requests served
//   counts             every code served and its number
//   http MODE          the HTTP port's answers from now: normal, nolength
//                      (no Content-Length), chunked, 404, short (a body
//                      shorter than its length), huge (a length of 10^15)
//   clear              ends every switch and phantom reservation;  reset
//                      also zeroes the counters
//
// CODE is a request code ("55"), a code and its letter ("220G", "100.1"),
// or "*" for every request; "220" stands for all of 220's letters.
// Replies are "ok ..." or "error ...".

#include "Wire.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

// Whether displays carry the "@" link of the tests (see programlinks).
bool ProgramLinksShown();

class TestControl {
public:
    // The name of a request in the commands: "30", "220G", "100.1".
    static std::string RequestName(std::uint8_t code, char letter);

    // Counts a request and takes the faults asked for its reply.
    Faults Begin(const std::string& request);
    // Runs one command line; the reply line (without its end).
    std::string Command(std::string_view line);
    // True when the switch asks for the form (F) or script (A) of a kind to be damaged.
    bool Broken(char letter, char kind);
    // How the HTTP port answers ("normal" unless switched).
    std::string HttpMode();

private:
    struct Switch {
        std::string code;
        int remaining;
    };
    static bool Covers(const std::string& code, const std::string& request);
    static bool Consume(std::vector<Switch>& switches, const std::string& request);

    std::mutex mLock;
    std::map<std::string, std::uint64_t> mCounts;
    std::vector<Switch> mClose, mCount51, mAbort;
    struct Shortened {
        Switch which;
        int keep;
    };
    std::vector<Shortened> mAnswers;
    std::vector<std::string> mBroken;  // letter and kind: "FK", "AO"
    std::string mHttpMode = "normal";
    std::map<std::string, int> mDelays;
};

}  // namespace velt::server
