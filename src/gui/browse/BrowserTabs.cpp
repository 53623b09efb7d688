#include "gui/browse/BrowserTabs.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"

#include <QTabBar>

namespace velt::gui {

BrowserTabs::BrowserTabs(QtCellMeasurer& measurer, QWidget* parent) : QTabWidget(parent), mMeasurer(measurer) {
    setDocumentMode(true);
    setUsesScrollButtons(true);
    tabBar()->setExpanding(false);
}

BrowserView* BrowserTabs::AddSource(const std::string& caption, Vrserwer& source, int lineHeight) {
    auto* page = new BrowserView(source, mMeasurer, lineHeight, this);
    page->setObjectName(toQString(caption));
    addTab(page, toQString(caption));
    return page;
}

BrowserWidget* BrowserTabs::AddPage(const std::string& caption,
                                    std::function<void(BrowserWidget*, int, int)> onResize) {
    auto* page = new BrowserWidget(mMeasurer, this);
    page->setObjectName(toQString(caption));
    page->SetResizeHandler([page, onResize = std::move(onResize)](int w, int h) { onResize(page, w, h); });
    addTab(page, toQString(caption));
    return page;
}

void BrowserTabs::RemovePages() {
    while (count() > 0) {
        QWidget* page = widget(0);
        removeTab(0);
        if (auto* b = qobject_cast<BrowserWidget*>(page)) b->SetModel(nullptr);
        delete page;
    }
}

BrowserWidget* BrowserTabs::Page(int i) const { return qobject_cast<BrowserWidget*>(widget(i)); }

void BrowserTabs::SetLineHeight(int height) {
    for (int i = 0; i < count(); ++i)
        if (auto* view = qobject_cast<BrowserView*>(widget(i))) view->SetLineHeight(height);
}

}  // namespace velt::gui
