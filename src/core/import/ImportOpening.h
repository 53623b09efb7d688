#pragma once
// How records from elsewhere (a Z39.50 server, another catalogue, a
// converter module) reach the record editor: the editor's part the imports
// need, and the opening of a batch of records as new ones: each of its kind
// in a VELT2/VELT3 catalogue; in a VELT1 catalogue in order, each checked
// first, so that a record the catalogue has already is not opened again but
// pointed at by the next one's "DOK_IDO".

#include "common/Prompts.h"
#include "text/my_record.h"

#include <optional>
#include <string>
#include <vector>

namespace velt {

class velt_files;

// What the imports ask of the record editor.
class ImportEditor {
public:
    virtual ~ImportEditor() = default;
    // True when records of the form code can be edited.
    virtual bool CanEdit(const std::string& code) = 0;
    // A new record of the kind, the template's fields copied into it.
    virtual void NewRecord(const std::string& code, const my_record& templateRecord) = 0;
    // A record from elsewhere opened as a new one (the kind is id's first character).
    virtual void ImportRecord(const std::string& source, const std::string& id, const my_record& record) = 0;
    // The check request for a record without an identifier: its errors become the answer's.
    virtual void CheckRecord(my_record& record) = 0;
    // "VELT #" and a number never given before: an imported record's
    // identifier until it is saved.
    virtual std::string TemporaryIdentifier() = 0;
    // What the server gives a new record of the kind (its read-only fields
    // marked); none when it gives nothing.
    virtual std::optional<my_record> InitialRecord(const std::string&) { return std::nullopt; }
};

std::string TextMovedBefore();  // "Rekord został przeniesiony wcześniej"

// Opens the records as new ones of the editor (see above); passed is the
// identifier the first record's "DOK_IDO" points at (VELT1), and becomes
// the last one opened or found. The number of records opened.
int OpenImportedRecords(std::vector<my_record>& records, ImportEditor& editor, const velt_files& local,
                        Prompts& prompts, std::string& passed);

// A VELT1 catalogue: the record checked for one the catalogue has already
// (its errors kept after the check's); that record's identifier, or empty.
std::string ExistingRecord(my_record& record, ImportEditor& editor, const velt_files& local);

}  // namespace velt
