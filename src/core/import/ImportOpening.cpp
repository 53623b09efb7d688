#include "import/ImportOpening.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt {

std::string TextMovedBefore() { return "Rekord został przeniesiony wcześniej"_cp; }

std::string ExistingRecord(my_record& record, ImportEditor& editor, const velt_files& local) {
    // The record's own errors (the codes replaced, the links removed) are
    // set aside for the check and come back after its errors.
    const std::vector<my_error> own = record.errors();
    record.ClearErrors();
    editor.CheckRecord(record);
    // An error carrying ESC "D" names a record already in the catalogue.
    std::vector<std::string> existing;
    for (const my_error& e : record.errors()) {
        const std::size_t at = e.message.find("\x1B" "D");
        if (at == std::string::npos) continue;
        const std::string id = local.StoredIdentifier(e.message.substr(at + 2));
        if (std::find(existing.begin(), existing.end(), id) == existing.end()) existing.push_back(id);
    }
    for (const my_error& e : own) record.AddError(e.message, e.keys);
    return existing.size() == 1 ? existing.front() : std::string();
}

int OpenImportedRecords(std::vector<my_record>& records, ImportEditor& editor, const velt_files& local,
                        Prompts& prompts, std::string& passed) {
    int opened = 0;
    if (local.DatabaseKind != kVelt1) {
        for (const my_record& r : records) {
            const std::string code = r.kind.substr(0, 1);
            if (code.empty() || !editor.CanEdit(code)) {
                prompts.show_error("Rekordów rodzaju \""_cp + r.kind + "\" nie można edytować w tym katalogu; rekord pominięto"_cp);
                continue;
            }
            editor.ImportRecord("#" + r.kind, code, r);
            ++opened;
        }
        return opened;
    }
    for (my_record& r : records) {
        if (!passed.empty()) r.SetValue("DOK_IDO", passed);
        if (const std::string existing = ExistingRecord(r, editor, local); !existing.empty()) {
            passed = existing;
            continue;
        }
        if (!editor.CanEdit("")) {
            prompts.show_error("Katalog nie pozwala edytować przeniesionych rekordów; rekord pominięto"_cp);
            continue;
        }
        passed = editor.TemporaryIdentifier();
        editor.ImportRecord(passed, "", r);
        ++opened;
    }
    if (opened == 0) prompts.show_error(TextMovedBefore());
    return opened;
}

}  // namespace velt
