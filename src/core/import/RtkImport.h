#pragma once
// The import from other catalogues of the system without its window: a
// second catalogue session to a source chosen from the configuration (its
// own connection and descriptor; the current catalogue's session is never
// used for it), browsing its indexes and formats, seeking, searching it
// through the criteria panel, and taking the selected record into the
// record editor: as the source exports it, made a new record of this
// catalogue (VELT1 sources with their parents, codes replaced), or through
// a converter module; attachments of a source record shown or copied into a
// record here; the list of sources refreshed over HTTP.

#include "browse/CollectionSources.h"
#include "import/ImportOpening.h"
#include "import/RtkRecords.h"
#include "import/RtkSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class ConverterModules;
class LongOperations;
class ProfileFile;
class TMultiIniFile;
class dll_converter;

// What the import needs of the program when it acts.
class RtkHost {
public:
    virtual ~RtkHost() = default;
    // The current catalogue; none without one.
    virtual velt_files* Local() = 0;
    // The record editor of the login; none while nobody is logged in.
    virtual ImportEditor* Editor() = 0;
    virtual const ConverterModules* Converters() = 0;
    // The criteria panel over the source's descriptor; its query, empty when none.
    virtual std::string AskCriteria(velt_files& source, int& sort) = 0;
    // The chooser of links over the source (a record and its components);
    // take and convert get a shown identifier (none: not offered).
    virtual void ChooseForImport(velt_files& source, const std::string& identifier, const std::string& structure,
                                 std::function<void(const std::string&)> take,
                                 std::function<void(const std::string&)> convert) = 0;
    // A fetched attachment: a picture shown, any other file opened with its program.
    virtual void ShowPicture(const std::string& file) = 0;
    virtual void OpenFile(const std::string& file) = 0;
    // The configuration read again (the list of sources changed).
    virtual void ReloadConfiguration() = 0;
    // The directory of work files (ends with "/").
    virtual std::string WorkingDirectory() = 0;
    // The identifier in the main window's record box (where attachments are copied to).
    virtual std::string RecordBoxText() = 0;
    // Every display of a record here shows it again.
    virtual void RecordChanged(const std::string& identifier) = 0;
};

// What the window shows.
class RtkView {
public:
    virtual ~RtkView() = default;
    virtual void ShowCaption(const std::string& caption) = 0;
    // A new browser over the source (none: the browser goes), drawn from its first entry.
    virtual void ShowSource(Vrserwer* source) = 0;
    // The browser drawn from the entry of key, which becomes the selected one.
    virtual void ShowFrom(const std::string& key) = 0;
    virtual void Redraw() = 0;
    // The key of the browser's selected entry; empty without one.
    virtual std::string SelectedKey() = 0;
    virtual void EnableButtons(bool take, bool convert) = 0;
    // The menus "Indeks", "Format" and "Zapytanie" of the connection (empty: hidden).
    virtual void ShowMenus(const std::vector<std::string>& indexes, const std::vector<std::string>& formats,
                           bool query) = 0;
    // "BlobMenu" at the mouse: "Pobierz plik" and the copy targets' captions.
    virtual void PopUpAttachmentMenu(const std::vector<std::string>& targets) = 0;
};

class RtkImport {
public:
    static constexpr int kCellHeight = 90;
    static constexpr int kMaxParents = 100;

    RtkImport(RtkView& view, RtkHost& host, Prompts& prompts, LongOperations& longOps);
    ~RtkImport();
    RtkImport(const RtkImport&) = delete;
    RtkImport& operator=(const RtkImport&) = delete;

    // --- the configuration ---
    void ReadConfiguration(const TMultiIniFile& ini) { mSettings.Read(ini); }
    void WriteConfiguration(ProfileFile& file) const { mSettings.Write(file); }
    const RtkSettings& Settings() const { return mSettings; }

    // --- the window's commands ---
    // Opening: the local VELT1 catalogue's code tables read anew; "Połączyć z
    // "..."?" about the current source while not connected.
    void Open();
    // The window closes: the source session goes.
    void Close();
    // A source of "Źródło": connected (the busy cursor), its menus filled.
    bool Connect(int source);
    // A source named by its address alone (not in the configuration).
    bool ConnectTo(const RtkSource& source);
    bool Connected() const { return mSource != nullptr; }
    velt_files* Source() { return mSource.get(); }
    void SelectIndex(int index);
    void SelectFormat(int index);
    // "Szukaj": the list sought at the text, its entry selected.
    void Seek(const std::string& text);
    // "Zapytanie": the criteria panel over the source, the query searched on
    // the source's session (its previous collection released).
    void Query();
    // "Pobierz", "Konwertuj": the selected entry's record.
    void Take();
    void Convert();
    // The same for a record of the source (the chooser of links' callbacks).
    void TakeRecord(const std::string& identifier);
    void ConvertRecord(const std::string& identifier);
    // The attachment menu: "Pobierz plik", then the copy targets in order.
    void FetchAttachment();
    void CopyAttachment(int target);
    // "Aktualizacja": the list of sources fetched and written (asked first).
    void Update();
    // The download alone; an error text, empty on success.
    std::string DownloadList();
    // The attachment menu of a source record's attachment: the copy targets'
    // captions, the record box's record being the target.
    std::vector<std::string> AttachmentTargets(const std::string& attachment, const std::string& sourceRecord);
    // "+" and "-".
    int Zoom(double factor);
    int CellHeight() const { return mCellHeight; }

    // The browser's source's cell actions ("!", "*" with the shown identifier; "L" commands).
    void CellAction(int code, const std::string& text, const std::string& key);

    // Texts shown to the user.
    static std::string TextNotConnected();  // "Nie połączony"

    // What the buttons would do now, for the selected record's identifier.
    bool CanTake(const std::string& identifier) const;
    const dll_converter* ConverterFor(const std::string& identifier) const;
    // The records taken for an identifier (tests): as the editor gets them.
    std::vector<my_record> RecordsFor(const std::string& identifier, bool forConversion);

private:
    void Disconnect();
    std::string SelectedIdentifier();
    // The key chain of a VELT1 source from a record up to its top parent
    // (the record first); empty after a message.
    std::vector<std::string> ParentChain(const std::string& key, bool notice);
    // A VELT1 source's record built from its export text.
    std::optional<my_record> Velt1Record(const std::string& key);
    void PrepareCopyTargets(const std::string& attachment, const std::string& sourceRecord);
    void ReportFetchFailure(const std::string& problem);

    RtkView& mView;
    RtkHost& mHost;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    RtkSettings mSettings;
    std::unique_ptr<velt_files> mSource;
    std::unique_ptr<chooser::velt_serwer> mChooser;
    velt_order* mCursor = nullptr;
    std::vector<std::int32_t> mFormats;  // the presentation formats' ids
    int mCurrent = -1;
    int mCellHeight = kCellHeight;
    std::int32_t mCollection = 0;        // the source collection of the last search
    CodeTables mCodeTables;
    // The attachment menu's subject and targets.
    std::string mAttachment, mAttachmentRecord;
    struct CopyTarget {
        std::string record;  // the local record
        std::string name;    // empty: added under the server's own name
    };
    std::vector<CopyTarget> mTargets;
};

}  // namespace velt
