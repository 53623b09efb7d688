#include "gui/browse/TabsWidget.h"

#include "gui/browse/BrowserWidget.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/QtText.h"

#include <QTabBar>

namespace velt::gui {

TabsWidget::TabsWidget(CatalogueContext& shell, Prompts& prompts, QtCellMeasurer& measurer, TabsOwner& owner,
                       QWidget* parent)
    : QTabWidget(parent), mMeasurer(measurer), mOwner(owner) {
    setObjectName("PageControl1");
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
    setUsesScrollButtons(true);
    tabBar()->setExpanding(false);
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

BrowserWidget* TabsWidget::Page(int i) const { return qobject_cast<BrowserWidget*>(widget(i)); }

void TabsWidget::TabsRemoved() {
    mUpdating = true;
    while (count() > 0) {
        QWidget* page = widget(0);
        removeTab(0);
        if (auto* b = qobject_cast<BrowserWidget*>(page)) b->SetModel(nullptr);
        delete page;
    }
    mUpdating = false;
    if (mTabs) mOwner.TabsChanged();
}

void TabsWidget::TabsBuilt() {
    mUpdating = true;
    const auto& sheets = mTabs->Sheets();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        auto* page = new BrowserWidget(mMeasurer, this);
        page->setObjectName(toQString(sheets[i].caption));
        page->SetResizeHandler([this, page](int w, int h) {
            const int index = indexOf(page);
            if (index >= 0) mTabs->Resized(index, w, h);
        });
        addTab(page, toQString(sheets[i].caption));
    }
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

CellMeasurer& TabsWidget::Measurer() { return mMeasurer; }

}  // namespace velt::gui
