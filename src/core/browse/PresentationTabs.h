#pragma once
// The tabs that present the current catalogue: one per index of the
// descriptor, and "Kolekcja lokalna" over the local collection; the display
// formats of "&Format"; and the operations that show, find and redisplay
// records in them. It hears the shell: everything that points into the
// descriptor (sources, cursors, format items, browsers) goes before the
// descriptor is freed, and comes back from the new one.

#include "browse/CollectionSources.h"
#include "browse/EntryHost.h"
#include "browse/VrBrowser.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velt {

// A tab page.
struct my_sheet {
    enum Kind { Index = 0, Local = 1 };
    Kind kind = Index;
    std::string caption;
    std::unique_ptr<velt_serwer> index;  // an index tab's source
    bool built = false;
    std::unique_ptr<VrBrowser> browser;  // once built
};

// A display format of "&Format".
struct FormatItem {
    std::int32_t id = 0;
    std::string caption;
    bool checked = false;
};

// What the tabs need of the main window.
class TabsView {
public:
    virtual ~TabsView() = default;
    // The tabs' widgets go now; the browsers they show are freed next.
    virtual void TabsRemoved() = 0;
    // New tabs (Sheets()); the widgets are made, the browsers come with BrowserBuilt.
    virtual void TabsBuilt() = 0;
    // The tab shown is i.
    virtual void TabActivated(int i) = 0;
    // Tab i got its browser.
    virtual void BrowserBuilt(int i, VrBrowser& browser) = 0;
    // The widget of tab i, which the browser paints on.
    virtual BrowserHost& HostFor(int i) = 0;
    // The size of a tab page.
    virtual void PageSize(int& width, int& height) = 0;
    virtual CellMeasurer& Measurer() = 0;
    // The "&Format" items changed.
    virtual void FormatsChanged() = 0;
    // The record box of the main window.
    virtual void PutIntoRecordBox(const std::string& shown) = 0;
    virtual std::string RecordBoxText() = 0;
    // The commands of the entries that the main window handles.
    virtual void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                              bool local) = 0;
    // The working directory cannot hold the local collection: the program stops.
    virtual void FatalStop() = 0;
};

class PresentationTabs : public CatalogueListener, public EntryHost {
public:
    static std::string LocalCaption();   // "Kolekcja lokalna"
    static std::string RemoteCaption();  // "Kolekcja zdalna"

    // Registers with the shell; the view must outlive the tabs.
    PresentationTabs(CatalogueContext& shell, Prompts& prompts, TabsView& view);
    ~PresentationTabs() override;

    // CatalogueListener
    void CatalogueClosing(velt_files& files, bool disconnecting) override;
    void CatalogueOpened(velt_files& files) override;

    // EntryHost
    void PutIntoRecordBox(const std::string& shown) override { mView.PutIntoRecordBox(shown); }
    void SelectInActive(const std::string& key) override;
    void ShowInLocal(const std::string& key) override;
    void RefreshAllChecks() override;
    void ShowRecordInLocal(std::int64_t number) override;
    void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                      bool local) override {
        mView.EntryCommand(key, command, identifier, local);
    }
    Prompts& UserPrompts() override { return mPrompts; }

    const std::vector<my_sheet>& Sheets() const { return mSheets; }
    const std::vector<FormatItem>& Formats() const { return mFormats; }
    int Active() const { return mActive; }
    coll_serwer* Local() { return mLocal.get(); }
    velt_files* Files() const { return mFiles; }

    // The user chose tab i: it becomes active and is shown (built on its first show).
    void Activate(int i);
    // The tab's page got a new size: its browser is made again for it.
    void Resized(int i, int width, int height);
    // A display format of "&Format" (busy cursor; every browser redraws).
    void SetFormat(std::int32_t id);
    // The browser of the active tab, when built.
    VrBrowser* ActiveBrowser();
    // The typed identifier in the active tab (record box, "Idź do"); true when found.
    bool GoTo(const std::string& typed);
    // Positions the active index tab at a text ("Szukaj"); true when found.
    bool SeekInActive(const std::string& text);
    // The tab with that caption (compared through the code page) shows the record.
    void ShowInTab(const std::string& caption, const std::string& identifier);
    // The tab with that caption becomes active and the typed identifier is found in it.
    void LocateInTab(const std::string& typed, const std::string& caption);
    // The active tab's browser selects key; the identifier goes into the record box.
    void SelectRecord(const std::string& key, const std::string& identifier);
    void ShowKeyInActive(const std::string& key);
    // The authority file of the active index tab (its cursor's link), or none.
    const velt_KHW* ActiveAuthorityFile() const;
    // A space for the local tab; the index's authority letter otherwise.
    std::string ActiveAuthorityLetter();
    // The display format of type "drzewo" (for the links window), 0 when none.
    std::int32_t TreeFormat() const { return mTreeFormat; }
    // The remote collection of that number in "Kolekcja zdalna" (the number is
    // kept even without such a tab).
    void ShowRemoteCollection(std::int32_t number);
    // After a record was saved, changed by a program or deleted (new empty):
    // every built tab shows it again, the local collection forgets a record
    // that is gone.
    void RedisplayRecord(const std::string& oldIdentifier, const std::string& newIdentifier);
    // The line height for every browser ("+"/"-"); the height kept is clamped.
    void SetLineHeight(std::int64_t height);
    // Every built browser made again (a new font).
    void RebuildAll();
    // The index of the tab captioned so; -1 when none.
    int FindTab(const std::string& caption) const;

private:
    void BuildTabs(bool keepSelection);
    void BuildFormats(const std::string& keepCaption);
    void Show(int i);
    void Build(int i);
    void RemoveTabs();
    // locate in tab i.
    bool Locate(int i, const std::string& typed);

    CatalogueContext& mShell;
    Prompts& mPrompts;
    TabsView& mView;
    velt_files* mFiles = nullptr;
    std::unique_ptr<coll_serwer> mLocal;
    std::vector<my_sheet> mSheets;
    std::vector<FormatItem> mFormats;
    int mActive = -1;
    std::int32_t mTreeFormat = 0;
};

}  // namespace velt
