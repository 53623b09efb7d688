#include "gui/browse/TabsWidget.h"

#include "gui/browse/BrowserWidget.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/QtText.h"

#include <QTabBar>

namespace velt::gui {

TabsWidget::TabsWidget(CatalogueContext& shell, Prompts& prompts, QtCellMeasurer& measurer, TabsOwner& owner,
                       QWidget* parent)
    : BrowserTabs(measurer, parent), mOwner(owner) {
    setObjectName("PageControl1");
    setTabPosition(QTabWidget::South);
    mTabs = std::make_unique<PresentationTabs>(shell, prompts, *this);
    connect(this, &QTabWidget::currentChanged, this, [this](int i) {
        if (mUpdating) return;  // the core changes the pages itself
        if (i >= 0) mTabs->Activate(i);
        mOwner.TabsChanged();
    });
}

TabsWidget::~TabsWidget() {
    // The models go before the widgets that show them; nobody hears of the
    // pages going.
    mUpdating = true;
    disconnect(this, nullptr, nullptr, nullptr);
    mTabs.reset();
}

void TabsWidget::TabsRemoved() {
    mUpdating = true;
    RemovePages();
    mUpdating = false;
    if (mTabs) mOwner.TabsChanged();
}

void TabsWidget::TabsBuilt() {
    mUpdating = true;
    const auto& sheets = mTabs->Sheets();
    for (const my_sheet& sheet : sheets)
        AddPage(sheet.caption, [this](BrowserWidget* page, int w, int h) {
            const int index = indexOf(page);
            if (index >= 0) mTabs->Resized(index, w, h);
        });
    mUpdating = false;
    mOwner.TabsChanged();
}

void TabsWidget::TabActivated(int i) {
    mUpdating = true;
    setCurrentIndex(i);
    mUpdating = false;
    if (BrowserWidget* page = Page(i)) page->setFocus(Qt::OtherFocusReason);
    mOwner.TabsChanged();
}

void TabsWidget::BrowserBuilt(int i, VrBrowser& browser) {
    if (BrowserWidget* page = Page(i)) page->SetModel(&browser);
}

BrowserHost& TabsWidget::HostFor(int i) { return *Page(i); }

void TabsWidget::PageSize(int& width, int& height) {
    QWidget* page = currentWidget() ? currentWidget() : widget(0);
    const QSize s = page ? page->size() : size();
    width = std::max(100, s.width());
    height = std::max(60, s.height());
}

CellMeasurer& TabsWidget::Measurer() { return BrowserTabs::Measurer(); }

}  // namespace velt::gui
