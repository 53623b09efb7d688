#pragma once
// The record editor as the import commands see it: records the windows would
// open stay here, to be printed and, when asked, saved in the order they
// were opened (the records after a saved one that point at it as their
// parent get its identifier).

#include "CliContext.h"
#include "editing/EditRequests.h"
#include "import/ImportOpening.h"
#include "text/my_record.h"

#include <string>
#include <vector>

namespace velt {
class ConverterModules;
class TMultiIniFile;
}

namespace velt::cli {

// The converter modules of the configuration's "KONWERTER" sections, loaded;
// what fails to load is told on stderr.
void LoadConverterModules(const TMultiIniFile& ini, const std::string& config, ConverterModules& modules);

// What the program would show: errors and messages on stderr (errors counted).
struct StderrPrompts : CliPrompts {
    int errors = 0;
    void show_error(const std::string& t) override {
        ++errors;
        PrintLine(stderr, t);
    }
    void show_message(const std::string& t) override { PrintLine(stderr, t); }
    void plain_message(const std::string& t) override { PrintLine(stderr, t); }
};

class CliEditor : public ImportEditor {
public:
    struct Opened {
        std::string source;  // an import's label; empty for a new record
        std::string id;      // the form code (or the identifier) it is saved under
        my_record record;
    };

    CliEditor(velt_files& files, Prompts& prompts);

    bool CanEdit(const std::string& code) override;
    void NewRecord(const std::string& code, const my_record& templateRecord) override;
    void ImportRecord(const std::string& source, const std::string& id, const my_record& record) override;
    void CheckRecord(my_record& record) override;
    std::string TemporaryIdentifier() override;
    std::optional<my_record> InitialRecord(const std::string& code) override;

    std::vector<Opened>& OpenedRecords() { return mOpened; }
    EditRequests& Requests() { return mRequests; }

private:
    velt_files& mFiles;
    EditRequests mRequests;
    std::vector<Opened> mOpened;
    int mTemporary = 0;
};

// Prints the opened records (key=value lines, a blank line between them) and
// what the editor's error list would show; with save, saves them and prints
// zapisano=ID for each. Exit code: refused when anything was shown as an
// error before (failed), nothing was opened or a record was refused.
int PrintAndSaveOpened(CliEditor& editor, velt_files& files, bool failed, bool save);

}  // namespace velt::cli
