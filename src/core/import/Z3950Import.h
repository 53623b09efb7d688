#pragma once
// The Z39.50 import window ("Pobieranie Z39.50") without the window: the
// sources and format sets of the configuration, the character sets of
// presentation and searching, the query form and its search behind the
// progress window, the result list the window's browser shows, scanning
// from the form's search texts (on an association of its own, so the
// result list under the browser stays), and the two ways a found record
// comes into the catalogue: "Pobierz" (the MARC record as the template of a
// new record) and "Konwertuj" (through a converter module, and for a VELT1
// catalogue through the check request that finds records already there).
//
// The window (Z3950View) only shows what this decides; the record editor
// and the catalogue come through Z3950Host, so velt-cli and the tests drive
// every flow without a window.

#include "common/ListChoice.h"
#include "common/Prompts.h"
#include "import/Z3950Client.h"
#include "import/Z3950Query.h"
#include "import/ImportOpening.h"
#include "import/MultiSearch.h"
#include "import/Z3950Settings.h"
#include "lang/ErrorSink.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class ConverterModules;
class ParameterForms;
class ProfileFile;
class TMultiIniFile;
class dll_converter;
class velt_files;

// What the import needs of the program when it acts.
class Z3950Host {
public:
    virtual ~Z3950Host() = default;
    // The current catalogue; none without one.
    virtual velt_files* Catalogue() = 0;
    // The record editor of the login; none while nobody is logged in.
    virtual ImportEditor* Editor() = 0;
    // The converter modules of the configuration.
    virtual const ConverterModules* Converters() = 0;
};

// What the window shows.
class Z3950View {
public:
    virtual ~Z3950View() = default;
    // "Pobieranie Z39.50", or "Import Z39.50: " and the source's name.
    virtual void ShowCaption(const std::string& caption) = 0;
    // The items selected in "Standard znaków - prezentacja" and "- wyszukiwanie".
    virtual void ShowCharsets(int presentation, int search) = 0;
    // A new browser over the result list (none: the browser goes) and the count.
    virtual void ShowResult(Vrserwer* results, const std::string& count) = 0;
    // The browser drawn again from its first entry.
    virtual void RedrawResult() = 0;
    // The key of the browser's selected entry; empty without one.
    virtual std::string SelectedKey() = 0;
    virtual void EnableButtons(bool take, bool convert) = 0;
    virtual void ShowWindow() = 0;
    // A message that arose while the browser was drawing: shown after it.
    virtual void ShowLater(const std::string& text) = 0;
    // The counts of every source of a search of several ("name: N; ..."); empty: none.
    virtual void ShowSourceCounts(const std::string& counts) { (void)counts; }
    // The sources checked for the next search (indexes of the configuration's sources).
    virtual void ShowCheckedSources(const std::vector<int>& sources) { (void)sources; }
};

// How a search ended.
enum class Z3950Outcome { NoQuery, Failed, Found };

class Z3950Import {
public:
    static constexpr int kCellHeight = 90;
    static constexpr int kScanTerms = 20;

    Z3950Import(Z3950View& view, Z3950Host& host, Prompts& prompts, LongOperations& longOps, ParameterForms& forms,
                ListChoiceWindow& lists);
    ~Z3950Import();
    Z3950Import(const Z3950Import&) = delete;
    Z3950Import& operator=(const Z3950Import&) = delete;

    // --- the configuration ---
    // Reads the sources, the format sets (the first chosen), the query's
    // values and the log; compile errors of format programs go to errors.
    void ReadConfiguration(const TMultiIniFile& ini, const ErrorSink& errors);
    // Writes the query's values and the current source when they changed.
    void WriteConfiguration(ProfileFile& file);
    // True when a source is configured.
    bool Available() const { return !mSettings.Sources().empty(); }
    const Z3950Settings& Settings() const { return mSettings; }

    // --- the window's commands ---
    // Opening the window: "Import Z39.50 nie jest dostępny" without sources;
    // else the current source selected, the buttons as the catalogue and the
    // editor allow, the window shown.
    void Open();
    // The catalogue or the login goes: the result list goes with it.
    void Close();
    // A source of the "Źródło" menu: caption, character sets, no browser.
    void SelectSource(int index);
    int CurrentSource() const { return mCurrent; }
    // The source of a section; false when there is none.
    bool SelectSource(const std::string& section);
    // "Standard znaków - prezentacja": 0 "1-1", 1 "ALA", 2 "UTF-8".
    void SetPresentation(int item);
    int Presentation() const { return mPresentation; }
    // "Standard znaków - wyszukiwanie": 0 "1-1", 1 "BN {nnn}c", 2 "UTF-8" (terms sent in UTF-8).
    void SetSearchCharset(int item);
    int SearchCharset() const { return mSearchCharset; }
    // Several sources searched at once (two or more; fewer: the current
    // source alone). Indexes outside the sources are dropped.
    void CheckSources(std::vector<int> sources);
    // Every source of a group of the menu (the captions from the top down).
    void CheckGroup(const std::vector<std::string>& path);
    const std::vector<int>& CheckedSources() const { return mChecked; }
    // How long a search of several sources waits for each.
    void SetSourceTimeout(int ms) { mTimeoutMs = std::max(100, ms); }
    int SourceTimeout() const { return mTimeoutMs; }
    // A set of the "Format" menu becomes the display's.
    void SelectFormat(int index);
    int CurrentFormat() const { return mFormat; }

    // "Zapytanie": the query form with the kept values, again while it gives
    // no query, then the search.
    void Query();
    // One search of the form's values (a pair text): kept as "question",
    // parsed (an error shown), searched behind "Trwa wyszukiwanie".
    Z3950Outcome Search(const std::string& values);
    // The lookup button of row n (1 to 6) of the form: the row's text
    // scanned and a chosen term put into it; true when the text changed.
    bool Scan(int row, my_record& values);
    // "Pobierz" and "Konwertuj" for the selected entry.
    void Take();
    void Convert();
    // The records a converter module made, handed to the editor: each as a
    // new record of its kind; for a VELT1 catalogue in order, each checked
    // first (a record already there is not opened but pointed at by the
    // next one's "DOK_IDO"). What cannot be opened is said, record by record.
    void ImportConverted(std::vector<my_record>& records);

    // "+" and "-": the cell height times the factor, to the nearest pixel.
    int Zoom(double factor);
    int CellHeight() const { return mCellHeight; }

    // The search's association (the browser's source) and the scan's.
    Z3950Client& Client() { return *mClient; }
    Z3950Client& ScanClient() { return *mScanClient; }
    // The search of several sources (or of an SRU source) the browser shows.
    MultiSearch& Multi() { return *mMulti; }
    // True when the browser shows the search of several sources (or of an SRU source).
    bool MultiShown() const { return mResults && mMultiShown; }
    const my_formular& QueryForm() const { return *mQueryForm; }
    // The converter module for the catalogue's kinds; none when there is none.
    const dll_converter* ConverterFor(const velt_files& files) const;
    // The converter that reads records being imported: the record's own
    // UTF-8 when its leader says so, else the presentation's (UTF-8 with
    // escapes, so that no character is lost).
    MarcOptions ImportOptions(std::string_view octets) const;

    // Texts shown to the user.
    static std::string TextUnavailable();
    static std::string TextConnection();

private:
    const Z3950Source* Source() const;
    // The held record of the selected entry, or nothing (the reason shown).
    const Z3950Record* SelectedRecord();
    void ApplyDisplay();
    // The search of the checked sources, or of the current SRU source.
    Z3950Outcome SearchSeveral(const std::vector<int>& sources, const my_record& form);
    // The scan of an SRU source.
    bool ScanSru(const Z3950Source& source, const Z3950Criterion& criterion, const std::string& text,
                 std::vector<ScanTerm>& terms, std::string& error);
    void Refused(const std::string& kind);
    std::string WithReason(const std::string& text, const Z3950Client& client) const;

    Z3950View& mView;
    Z3950Host& mHost;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    ParameterForms& mForms;
    ListChoiceWindow& mLists;
    Z3950Settings mSettings;
    std::unique_ptr<my_formular> mQueryForm;
    std::unique_ptr<Z3950Client> mClient;
    std::unique_ptr<Z3950Client> mScanClient;
    std::unique_ptr<MultiSearch> mMulti;
    std::vector<int> mChecked;
    int mTimeoutMs = 10000;
    bool mMultiShown = false;
    int mCurrent = -1;
    int mPresentation = 1;
    int mSearchCharset = 2;
    int mFormat = -1;
    bool mFormatFlag = false;  // the catalogue keeps 1XX fields under their own tags
    int mCellHeight = kCellHeight;
    bool mResults = false;     // a browser shows the result list
};

}  // namespace velt
