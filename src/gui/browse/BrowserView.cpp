#include "gui/browse/BrowserView.h"

#include "gui/browse/QtCellMeasurer.h"

#include <algorithm>

namespace velt::gui {

BrowserView::BrowserView(Vrserwer& source, QtCellMeasurer& measurer, int lineHeight, QWidget* parent)
    : BrowserWidget(measurer, parent), mSource(&source), mLineHeight(lineHeight) {
    SetResizeHandler([this](int, int) { Rebuild(); });
}

BrowserView::~BrowserView() {
    SetModel(nullptr);
    mBrowser.reset();
}

void BrowserView::Rebuild() {
    const int w = std::max(width(), 100);
    const int h = std::max(height(), 60);
    if (mBrowser) {
        mBrowser->Rebuild(w, h);
        return;
    }
    mBrowser = std::make_unique<VrBrowser>(*mSource, Measurer(), *this, w, h, mLineHeight);
    SetModel(mBrowser.get());
}

void BrowserView::SetLineHeight(int height) {
    // A height the browser would ignore, or one taller than the panel, is not kept.
    const int top = std::max(26, this->height());
    mLineHeight = std::clamp(height, 26, top);
    if (mBrowser) {
        mBrowser->SetLineHeight(mLineHeight);
        mLineHeight = mBrowser->LineHeight();
    }
}

}  // namespace velt::gui
