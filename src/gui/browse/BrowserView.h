#pragma once
// A browser of its own over any data source: the windows that show lists
// (the reader's account, the authority files, the Z39.50 and other-catalogue
// results, the record chooser, the closed orders, the links) use it, alone
// or in BrowserTabs. The model is made once the widget has its settled size
// and made again after every resize, through the connection gate like every
// deferred rebuild; until then the widget is an empty panel.

#include "gui/browse/BrowserWidget.h"

#include <memory>

namespace velt::gui {

class BrowserView : public BrowserWidget {
    Q_OBJECT
public:
    BrowserView(Vrserwer& source, QtCellMeasurer& measurer, int lineHeight, QWidget* parent = nullptr);
    ~BrowserView() override;

    // The model; none before the widget had its first size.
    VrBrowser* Browser() const { return mBrowser.get(); }
    Vrserwer& Source() const { return *mSource; }
    // The model made again now at the widget's size (the source's list changed).
    void Rebuild();
    // A new line height for this browser (kept between 26 and the panel's height).
    void SetLineHeight(int height);
    int LineHeight() const { return mLineHeight; }

private:
    Vrserwer* mSource;
    int mLineHeight;
    std::unique_ptr<VrBrowser> mBrowser;
};

}  // namespace velt::gui
