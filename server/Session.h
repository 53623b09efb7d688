#pragma once
// The state of one client connection, shared by the request handlers: the
// reader and writer of its requests, its view of the catalogue, who is logged
// in, the remote collections it made, its filter flags and the readers
// identified on it.

#include "Catalogue.h"
#include "Identifiers.h"
#include "Wire.h"

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace velt::server {

class TestControl;

struct ServerConfig {
    DbKind kind = DbKind::Velt2;
    std::string version = "2025.01.01";  // late enough for every version gate of the client
    bool scramble = true;                // hand out a session key at every login
    std::string dbPath;
    std::uint32_t records = 20000;
    // Client connections served at once; further ones are closed at once.
    int maxConnections = 256;
    // The descriptor's first criterion is "Język tekstu", with a parameter
    // form and a script (the criteria panel lays it out in its first row).
    bool formCriterionFirst = false;
};

struct Session {
    Session(const ServerConfig& c, TestControl& t, Catalogue& d, RequestReader& r, ReplyWriter& w);

    // Sets the session key of both directions.
    void SetKey(const std::string& key);
    bool LoggedIn() const { return user.has_value(); }
    bool HasRight(const std::string& right) const;

    const ServerConfig& config;
    TestControl& control;
    // Who holds a record's reservation (RecordLocks): one number per connection.
    const std::uint64_t id;
    Catalogue& db;
    RequestReader& in;
    ReplyWriter& out;
    Identifiers ids;

    // Login: the user of the first step and its challenge, then the account.
    std::string pendingUser;
    std::int32_t challenge = 0;
    std::optional<Account> user;

    // Remote collections of this connection, by number.
    std::map<std::int32_t, std::vector<std::uint32_t>> collections;
    std::int32_t nextCollection = 1;
    std::string filters;

    // The cards of the readers identified on this connection: only their
    // accounts can be read here.
    std::set<std::string> readers;

    std::mt19937 random;
};

// The handler of one request; letter is the second byte of the two-byte
// codes (100, 120, 200, 201, 202, 220), 0 for the others. It reads the rest
// of the request and writes the whole reply (Flush is the loop's).
using Handler = void (*)(Session& session, std::uint8_t code, char letter);

// Adds a request to the dispatch table; letters lists the second bytes a
// two-byte code accepts (empty for one-byte codes).
void RegisterRequest(std::uint8_t code, Handler handler, std::string letters = {});

// The request families, each in its own file.
void RegisterSessionRequests();   // 0, 30, 128, 129, 134, 254
void RegisterIndexRequests();     // 50, 55, 56, 57, 58
void RegisterSearchRequests();    // 6, 15, 202
void RegisterFileRequests();      // 100, 120, 220
void RegisterEditRequests();      // 200
void RegisterReaderRequests();    // 38: the reader services (ReaderRequests.cpp)
void RegisterProgramRequests();   // 201: the server programs (ParameterForms.cpp)

}  // namespace velt::server
