#include "editing/EditRequests.h"

#include "net/RecordRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/my_record.h"

namespace velt {

std::string EditRequests::MalformedText() { return "Bład odpowiedzi"_cp; }

bool EditRequests::Broken() const { return mSession.Broken(); }

EditRequests::Answer EditRequests::Ask(char letter, const std::vector<std::string>& texts) {
    BusyCursor busy(mPrompts);
    const Answers reply = EditRequest(mSession, letter, texts);
    Answer a;
    a.count = mSession.Broken() ? 0 : reply.count;
    if (a.count >= 1) a.first = reply[1];
    if (a.count >= 2) a.second = reply[2];
    return a;
}

std::string EditRequests::Failure(const Answer& a) const {
    if (mSession.Broken()) return {};
    if (!a.first.empty()) return a.first;
    return MalformedText();
}

RecordAnswer EditRequests::Form(const std::string& code) { return Record('F', code); }

RecordAnswer EditRequests::Script(const std::string& code) { return Record('A', code); }

RecordAnswer EditRequests::Record(char letter, const std::string& argument) {
    const Answer a = Ask(letter, {argument});
    RecordAnswer r;
    if (a.count >= 2 && a.first.empty()) {
        r.ok = true;
        r.text = a.second;
    } else {
        r.message = Failure(a);
    }
    return r;
}

RecordAnswer EditRequests::NewRecord(const std::string& code) { return Record('N', code); }

RecordAnswer EditRequests::Open(const std::string& identifier) {
    const Answer a = Ask('O', {identifier});
    RecordAnswer r;
    if (a.count >= 2 && a.first.empty()) {
        r.ok = true;
        r.text = a.second;
        return r;
    }
    r.message = Failure(a);
    // Opened without the record: the server may hold it for this session all
    // the same, and nobody would release it.
    if (!mSession.Broken() && a.count >= 1 && a.first.empty()) Ask('X', {identifier});
    return r;
}

EditOutcome EditRequests::Release(const std::string& identifier) {
    EditOutcome o;
    if (mSession.Broken()) return o;
    const Answer a = Ask('X', {identifier});
    o.ok = a.count >= 1 && a.first.empty();
    o.message = a.first;
    return o;
}

EditOutcome EditRequests::Save(const std::string& identifier, my_record& record) {
    EditOutcome o;
    const RecordTextResult changes = ChangedText(record);
    if (!changes.ok()) {
        // A value that would break the lines is never sent.
        record.ClearErrors();
        record.AddError(changes.error, "*");
        o.message = changes.error;
        return o;
    }
    const Answer a = Ask('U', {identifier, changes.text});
    if (mSession.Broken()) {
        record.ClearErrors();
        record.AddError(mSession.ErrorText(), "*");
        return o;
    }
    if (a.count >= 2 && a.first.empty() && !a.second.empty()) {
        record.ClearErrors();
        o.ok = true;
        o.identifier = a.second;
        return o;
    }
    // Refused, or an answer that is no success: never a stale identifier.
    o.message = Failure(a);
    if (!a.first.empty() && a.count == 2)
        ParseErrorReply(record, a.second);
    else
        record.ClearErrors();
    if (record.errors().empty()) record.AddError(o.message, "*");
    return o;
}

EditOutcome EditRequests::Check(const std::string& identifier, my_record& record) {
    EditOutcome o;
    const RecordTextResult changes = ChangedText(record);
    if (!changes.ok()) {
        record.ClearErrors();
        record.AddError(changes.error, "*");
        o.message = changes.error;
        return o;
    }
    const Answer a = Ask('T', {identifier, changes.text});
    if (mSession.Broken()) return o;
    if (a.count >= 1 && a.first.empty()) {
        record.ClearErrors();
        o.ok = true;
        return o;
    }
    // A refusal without its list, or an answer without texts, still shows.
    o.message = Failure(a);
    if (!a.first.empty() && a.count == 2)
        ParseErrorReply(record, a.second);
    else
        record.ClearErrors();
    if (record.errors().empty()) record.AddError(o.message, "*");
    return o;
}

EditOutcome EditRequests::Delete(const std::string& identifier) {
    EditOutcome o;
    const Answer a = Ask('D', {identifier});
    o.ok = a.count >= 1 && a.first.empty();
    if (!o.ok) o.message = Failure(a);
    return o;
}

std::string EditRequests::Help(const std::string& code, const std::string& field) {
    const Answer a = Ask('H', {code.substr(0, 1), field});
    return a.first.empty() ? a.second : a.first;
}

std::string EditRequests::Service(char which, const std::string& text, const std::string& other) {
    const Answer a = Ask('I', {std::string(1, which), text, other});
    if (mSession.Broken()) return mSession.ErrorText();
    return a.first;
}

}  // namespace velt
