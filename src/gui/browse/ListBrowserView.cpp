#include "gui/browse/ListBrowserView.h"

#include "gui/browse/BrowserWidget.h"
#include "gui/browse/QtCellMeasurer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace velt::gui {

class ListBrowserView::Canvas : public QWidget {
public:
    Canvas(ListBrowserView& owner) : QWidget(&owner), mOwner(owner) {
        setObjectName("ListBrowserCanvas");
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const TListBrowser& model = *mOwner.mModel;
        const std::uint32_t box = model.Cells().empty() ? kInfoBackground : model.Cells().front().content.background;
        p.fillRect(rect(), ColourOf(box));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (std::size_t i = 0; i < model.Cells().size(); ++i) {
            const ListCell& c = model.Cells()[i];
            const bool selected = static_cast<int>(i) == model.Selected() && model.Cells().size() > 1;
            const std::uint32_t bg = selected ? SelectedBackground(c.content.background) : c.content.background;
            PaintCell(p, c.content, QRect(0, c.top, width(), c.height), bg, mOwner.mMeasurer);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const ListHit hit = mOwner.mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y());
        Later([hit](TListBrowser& m) { m.Press(hit); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const ListHit hit = mOwner.mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y());
        Later([hit](TListBrowser& m) { m.DoubleClick(hit); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const ListHit hit = mOwner.mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y());
        bool hand = false;
        if (hit.cell >= 0 && hit.item >= 0) {
            const CellItem& item = mOwner.mModel->Cells()[static_cast<std::size_t>(hit.cell)]
                                       .content.items[static_cast<std::size_t>(hit.item)];
            hand = item.kind == CellItemKind::Link || (item.kind == CellItemKind::Image && !item.command.empty());
        }
        setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }

private:
    // After the mouse event: the callback may clear the list or close the window.
    void Later(std::function<void(TListBrowser&)> act) {
        QPointer<ListBrowserView> owner(&mOwner);
        QTimer::singleShot(0, &mOwner, [owner, act = std::move(act)] {
            if (!owner) return;
            act(*owner->mModel);
            owner->mCanvas->update();
        });
    }

    ListBrowserView& mOwner;
};

ListBrowserView::ListBrowserView(QtCellMeasurer& measurer, TListBrowser::Callback callback, int cellHeight,
                                 QWidget* parent)
    : QScrollArea(parent), mMeasurer(measurer),
      mModel(std::make_unique<TListBrowser>(measurer, std::move(callback), 0, cellHeight)) {
    setObjectName("ListBrowserView");
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mCanvas = new Canvas(*this);
    setWidget(mCanvas);
}

ListBrowserView::~ListBrowserView() = default;

void ListBrowserView::Show(const std::vector<std::vector<std::string>>& cells) {
    mModel->Clear();
    mModel->SetWidth(viewport()->width());
    for (const auto& lines : cells) mModel->Add(lines);
    Relayout();
    verticalScrollBar()->setValue(0);
}

void ListBrowserView::Relayout() {
    mCanvas->resize(viewport()->width(), std::max(mModel->Height(), viewport()->height()));
    mCanvas->update();
}

void ListBrowserView::resizeEvent(QResizeEvent* e) {
    QScrollArea::resizeEvent(e);
    // Laying out asks the measurer only, never the server.
    if (mModel->Width() != viewport()->width()) mModel->SetWidth(viewport()->width());
    Relayout();
}

}  // namespace velt::gui
