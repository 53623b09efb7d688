#include "import/SessionEditor.h"

#include "editing/TEdycja.h"
#include "text/RecordText.h"

namespace velt {

bool SessionEditor::CanEdit(const std::string& code) { return session->CanEdit(code); }

void SessionEditor::NewRecord(const std::string& code, const my_record& templateRecord) {
    session->NewRecord(code, &templateRecord);
}

void SessionEditor::ImportRecord(const std::string& source, const std::string& id, const my_record& record) {
    session->ImportRecord(source, id, record);
}

void SessionEditor::CheckRecord(my_record& record) { session->Requests().Check("", record); }

std::string SessionEditor::TemporaryIdentifier() { return session->TemporaryIdentifier(); }

std::optional<my_record> SessionEditor::InitialRecord(const std::string& code) {
    const RecordAnswer answer = session->Requests().NewRecord(code);
    if (!answer.ok) return std::nullopt;
    my_record r = ParseRecordText(answer.text);
    r.kind = code;
    return r;
}

}  // namespace velt
