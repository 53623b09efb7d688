#pragma once
// The main window's "Eksport MARC" commands without their dialogs: the
// remote collection, the local collection or the record of the record box
// written as MARC 21 or MARCXML (import/MarcExport.h) behind the progress
// window, what was written and what was left out said once at the end.

#include "import/MarcExport.h"

#include <string>

namespace velt {

class CatalogueContext;
class LongOperations;
class PresentationTabs;
class Prompts;

class MarcExportDialogs {
public:
    virtual ~MarcExportDialogs() = default;
    // The file and its format; false when the user cancels.
    virtual bool AskExportFile(const std::string& title, const std::string& directory, std::string& file,
                               MarcFileFormat& format) = 0;
};

class MarcExportFlow {
public:
    MarcExportFlow(CatalogueContext& catalogue, PresentationTabs& tabs, Prompts& prompts, LongOperations& longOps,
                   MarcExportDialogs& dialogs);

    // Each asks for the file when none is given; false when nothing was written.
    bool ExportRemote(std::string file = {}, MarcFileFormat format = MarcFileFormat::Marc21);
    bool ExportLocal(std::string file = {}, MarcFileFormat format = MarcFileFormat::Marc21);
    bool ExportRecord(const std::string& shownIdentifier, std::string file = {},
                      MarcFileFormat format = MarcFileFormat::Marc21);

    // Texts shown to the user.
    static std::string TextTitle();

private:
    enum class Source { Remote, Local, Record };
    bool Run(Source source, const std::string& identifier, std::string file, MarcFileFormat format);

    CatalogueContext& mCatalogue;
    PresentationTabs& mTabs;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    MarcExportDialogs& mDialogs;
};

}  // namespace velt
