#include "editing/EditRequests.h"

#include "net/TVeltClient.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/my_record.h"

namespace velt {

std::string EditRequests::MalformedText() { return "Bład odpowiedzi"_cp; }

bool EditRequests::Broken() const { return mSession.Broken(); }

EditRequests::Answer EditRequests::Ask(char letter, const std::vector<std::string>& texts) {
    BusyCursor busy(mPrompts);
    Answer a;
    mSession.EditRequest(letter, texts);
    a.count = mSession.Broken() ? 0 : mSession.AnswerCount();
    if (a.count >= 1) a.first = mSession.Answer(1);
    if (a.count >= 2) a.second = mSession.Answer(2);
    return a;
}

std::string EditRequests::Failure(const Answer& a) const {
    if (mSession.Broken()) return {};
    if (!a.first.empty()) return a.first;
    return MalformedText();
}

std::optional<std::string> EditRequests::Form(const std::string& code) {
    const Answer a = Ask('F', {code});
    if (a.count < 2 || !a.first.empty()) return std::nullopt;
    return a.second;
}

std::optional<std::string> EditRequests::Script(const std::string& code) {
    const Answer a = Ask('A', {code});
    if (a.count < 2 || !a.first.empty()) return std::nullopt;
    return a.second;
}

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
    RecordAnswer r = Record('O', identifier);
    // Opened without the record: the server may hold it for this session all
    // the same, and nobody would release it.
    if (!r.ok && !mSession.Broken() && mSession.AnswerCount() >= 1 && mSession.Answer(1).empty())
        Ask('X', {identifier});
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

void EditRequests::Check(const std::string& identifier, my_record& record) {
    const RecordTextResult changes = ChangedText(record);
    if (!changes.ok()) {
        record.ClearErrors();
        record.AddError(changes.error, "*");
        return;
    }
    const Answer a = Ask('T', {identifier, changes.text});
    if (mSession.Broken()) return;
    if (a.count >= 1 && a.first.empty()) {
        record.ClearErrors();
        return;
    }
    // A refusal without its list, or an answer without texts, still shows.
    if (!a.first.empty() && a.count == 2)
        ParseErrorReply(record, a.second);
    else
        record.ClearErrors();
    if (record.errors().empty()) record.AddError(Failure(a), "*");
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
