#pragma once
// The requests of record editing (200 and a letter) and how their answers
// are read. Every answer is read only within its count: a text the answer
// did not carry is never taken from an earlier one. Success of a form,
// script, new-record, open or save request needs at least two texts with an
// empty first; any other answer is a failure with the server's text, or
// "Bład odpowiedzi" when it sent none. The program and velt-cli read the
// answers through these same rules.
//
// A failure of the connection has already been shown by the session (it is
// reported once); the messages below are then empty, and only the record's
// error list says what happened. The hourglass is on while a request runs.

#include "common/Prompts.h"

#include <string>
#include <vector>

namespace velt {

class my_record;
class TVeltClient;

// An answer that carries a record as text.
struct RecordAnswer {
    bool ok = false;
    std::string text;     // the record's lines (ok)
    std::string message;  // why not; empty when the session showed it already
};

// The outcome of a save, a delete or a release.
struct EditOutcome {
    bool ok = false;
    std::string identifier;  // a save's new identifier (ok)
    std::string message;     // the text to show; empty when there is none to show
};

class EditRequests {
public:
    EditRequests(TVeltClient& session, Prompts& prompts) : mSession(session), mPrompts(prompts) {}

    // F and A: the kind's form description or field-event script.
    RecordAnswer Form(const std::string& code);
    RecordAnswer Script(const std::string& code);
    // N: the initial record of a kind.
    RecordAnswer NewRecord(const std::string& code);
    // O: the record, reserved for this session. An answer without the record
    // releases what it may have reserved.
    RecordAnswer Open(const std::string& identifier);
    // X: the server's message when it had one (shown in a plain box).
    EditOutcome Release(const std::string& identifier);
    // U: sends the changed fields; the record's errors become what the answer
    // says (none on success, the error list, or one error for the whole record).
    EditOutcome Save(const std::string& identifier, my_record& record);
    // T: the same check without storing; nothing changes on a broken
    // session. The outcome's message is the answer's own text on a refusal.
    EditOutcome Check(const std::string& identifier, my_record& record);
    // D.
    EditOutcome Delete(const std::string& identifier);
    // H: the help of a field of a kind (its form code, one character or none).
    std::string Help(const std::string& code, const std::string& field);
    // I: the first text of a field service's answer.
    std::string Service(char which, const std::string& text, const std::string& other);

    bool Broken() const;
    TVeltClient& Session() { return mSession; }

    // The text of an answer whose count the request does not accept.
    static std::string MalformedText();

private:
    struct Answer {
        int count = 0;
        std::string first, second;
    };
    // The hourglass on; no answer when the connection is broken.
    Answer Ask(char letter, const std::vector<std::string>& texts);
    // Why a request failed: empty when the session reported it, the server's
    // text, or MalformedText().
    std::string Failure(const Answer& a) const;
    RecordAnswer Record(char letter, const std::string& argument);

    TVeltClient& mSession;
    Prompts& mPrompts;
};

}  // namespace velt
