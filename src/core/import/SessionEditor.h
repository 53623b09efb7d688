#pragma once
// The edit session of the login as the imports' record editor.

#include "import/ImportOpening.h"

namespace velt {

class TEdycja;

class SessionEditor : public ImportEditor {
public:
    TEdycja* session = nullptr;  // must be set while the editor is used

    bool CanEdit(const std::string& code) override;
    void NewRecord(const std::string& code, const my_record& templateRecord) override;
    void ImportRecord(const std::string& source, const std::string& id, const my_record& record) override;
    void CheckRecord(my_record& record) override;
    std::string TemporaryIdentifier() override;
    std::optional<my_record> InitialRecord(const std::string& code) override;
};

}  // namespace velt
