#include "import/MarcExportFlow.h"

#include "browse/CollectionFile.h"
#include "browse/CollectionSources.h"
#include "browse/PresentationTabs.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "files/WorkFile.h"
#include "text/CpLiteral.h"

namespace velt {

std::string MarcExportFlow::TextTitle() { return "Eksport MARC"; }

MarcExportFlow::MarcExportFlow(CatalogueContext& catalogue, PresentationTabs& tabs, Prompts& prompts,
                               LongOperations& longOps, MarcExportDialogs& dialogs)
    : mCatalogue(catalogue), mTabs(tabs), mPrompts(prompts), mLongOps(longOps), mDialogs(dialogs) {}

bool MarcExportFlow::ExportRemote(std::string file, MarcFileFormat format) {
    return Run(Source::Remote, {}, std::move(file), format);
}

bool MarcExportFlow::ExportLocal(std::string file, MarcFileFormat format) {
    return Run(Source::Local, {}, std::move(file), format);
}

bool MarcExportFlow::ExportRecord(const std::string& shown, std::string file, MarcFileFormat format) {
    return Run(Source::Record, shown, std::move(file), format);
}

bool MarcExportFlow::Run(Source source, const std::string& identifier, std::string file, MarcFileFormat format) {
    velt_files* files = mCatalogue.Current();
    if (!files || !files->Ready) return false;
    const std::string directory = mCatalogue.Settings().WorkingDirectory;
    std::vector<std::string> identifiers;
    // What there is to export is known before the file is asked for.
    if (source == Source::Record) {
        if (identifier.empty()) {
            mPrompts.show_error("Nie wskazano rekordu"_cp);
            return false;
        }
        identifiers.push_back(identifier);
    } else if (source == Source::Local) {
        coll_serwer* local = mTabs.Local();
        if (!local || local->Collection().CountNumbers() == 0) {
            mPrompts.show_error("Kolekcja lokalna jest pusta"_cp);
            return false;
        }
        const WorkFile work(directory, "EXP.");
        const std::string error = work.Made() ? SaveCollectionFile(work.Path(), local->Collection(), files->Rules())
                                              : "Błąd otwarcia pliku "_cp + directory + "EXP.TMP";
        const CollectionFileLines lines = error.empty() ? ReadCollectionFile(work.Path()) : CollectionFileLines{};
        if (!error.empty() || !lines.opened) {
            mPrompts.show_error(error.empty() ? "Błąd otwarcia pliku "_cp + work.Path() : error);
            return false;
        }
        identifiers = lines.lines;
    } else if (files->RemoteCollection == 0) {
        mPrompts.show_error("Kolekcja zdalna jest pusta"_cp);
        return false;
    }
    if (file.empty() && !mDialogs.AskExportFile(TextTitle(), directory, file, format)) return false;
    if (file.empty()) return false;

    MarcExportResult result;
    mLongOps.run_with_progress("Eksport rekordów"_cp, [&] {
        if (source == Source::Remote) {
            identifiers = RemoteCollectionIdentifiers(*files, directory, result.error);
            if (!result.error.empty()) return;
        }
        result = ExportRecords(*files, identifiers, format, file);
    });
    if (!result.error.empty()) {
        // A broken connection has been said by the session already.
        if (!files->ErrorReported() || result.error != files->ErrorText) mPrompts.show_error(result.error);
        return false;
    }
    std::string text = "Zapisano rekordów: "_cp + std::to_string(result.written) + " (" + file + ")";
    if (!result.skipped.empty()) {
        text += "\rPominięto: "_cp + std::to_string(result.skipped.size());
        for (std::size_t i = 0; i < result.skipped.size() && i < 10; ++i) text += "\r" + result.skipped[i];
    }
    mPrompts.plain_message(text);
    return true;
}

}  // namespace velt
