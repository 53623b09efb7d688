#pragma once
// A row of tabs whose pages are browsers sharing one cell measurer: pages
// over sources of their own (AddSource) for the windows that show several
// lists, or pages whose models someone else keeps (AddPage, the main
// window's tabs of the catalogue).

#include <QTabWidget>

#include <functional>
#include <string>

namespace velt {
class Vrserwer;
}

namespace velt::gui {

class BrowserView;
class BrowserWidget;
class QtCellMeasurer;

class BrowserTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit BrowserTabs(QtCellMeasurer& measurer, QWidget* parent = nullptr);

    // A page with its own browser over source (the source must outlive the page).
    BrowserView* AddSource(const std::string& caption, Vrserwer& source, int lineHeight);
    // A page whose model the caller sets; onResize hears the page's settled size.
    BrowserWidget* AddPage(const std::string& caption,
                           std::function<void(BrowserWidget* page, int width, int height)> onResize);
    // Every page goes (their models are let go first).
    void RemovePages();

    // The browser widget of page i; none outside the pages.
    BrowserWidget* Page(int i) const;
    BrowserWidget* ActivePage() const { return Page(currentIndex()); }
    QtCellMeasurer& Measurer() const { return mMeasurer; }
    // Every page of its own takes the line height.
    void SetLineHeight(int height);

private:
    QtCellMeasurer& mMeasurer;
};

}  // namespace velt::gui
