#pragma once
// The tab row of the main window (at the bottom): one page per tab of the
// core's PresentationTabs, each a browser widget over the tab's model.

#include "browse/PresentationTabs.h"
#include "gui/browse/BrowserTabs.h"

#include <memory>

namespace velt::gui {

class BrowserWidget;
class QtCellMeasurer;

// What the tabs need of the main window beyond the tab row.
class TabsOwner {
public:
    virtual ~TabsOwner() = default;
    virtual void FormatsChanged() = 0;
    virtual void TabsChanged() = 0;
    virtual void PutIntoRecordBox(const std::string& shown) = 0;
    virtual std::string RecordBoxText() = 0;
    virtual void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                              bool local) = 0;
    virtual void FatalStop() = 0;
};

class TabsWidget : public BrowserTabs, public TabsView {
    Q_OBJECT
public:
    TabsWidget(CatalogueContext& shell, Prompts& prompts, QtCellMeasurer& measurer, TabsOwner& owner,
               QWidget* parent = nullptr);
    ~TabsWidget() override;

    PresentationTabs& Tabs() { return *mTabs; }

    // TabsView
    void TabsRemoved() override;
    void TabsBuilt() override;
    void TabActivated(int i) override;
    void BrowserBuilt(int i, VrBrowser& browser) override;
    BrowserHost& HostFor(int i) override;
    void PageSize(int& width, int& height) override;
    CellMeasurer& Measurer() override;
    void FormatsChanged() override { mOwner.FormatsChanged(); }
    void PutIntoRecordBox(const std::string& shown) override { mOwner.PutIntoRecordBox(shown); }
    std::string RecordBoxText() override { return mOwner.RecordBoxText(); }
    void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                      bool local) override {
        mOwner.EntryCommand(key, command, identifier, local);
    }
    void FatalStop() override { mOwner.FatalStop(); }

private:
    TabsOwner& mOwner;
    std::unique_ptr<PresentationTabs> mTabs;
    bool mUpdating = false;  // the core is changing the pages
};

}  // namespace velt::gui
