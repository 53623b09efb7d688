#include "gui/browse/BrowserWidget.h"

#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/ConnectionGate.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

namespace velt::gui {

namespace {

bool Acts(const CellItem& item) {
    return item.kind == CellItemKind::Link || (item.kind == CellItemKind::Check && item.shown) ||
           (item.kind == CellItemKind::Image && !item.command.empty());
}

}  // namespace

QColor ColourOf(std::uint32_t bgr) {
    if (bgr == kInfoBackground) return QColor(0xFF, 0xFF, 0xE1);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

void PaintCell(QPainter& p, const CellContent& content, const QRect& box, std::uint32_t background,
               const QtCellMeasurer& measurer) {
    p.fillRect(box, ColourOf(background));
    p.save();
    p.setClipRect(box);
    for (const CellItem& item : content.items) {
        const QRect r(box.left() + item.x, box.top() + item.y, item.width, item.height);
        switch (item.kind) {
            case CellItemKind::Text:
            case CellItemKind::Link:
                p.setFont(measurer.FontFor(item.style));
                p.setPen(ColourOf(item.colour));
                p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, toQString(item.text));
                break;
            case CellItemKind::Check:
                if (!item.shown) break;
                [[fallthrough]];
            case CellItemKind::Image:
                if (const QImage* image = measurer.Picture(item.picture.id); image && !image->isNull())
                    p.drawImage(r, *image);
                break;
        }
    }
    p.restore();
}

BrowserWidget::BrowserWidget(QtCellMeasurer& measurer, QWidget* parent) : QWidget(parent), mMeasurer(measurer) {
    setObjectName("VrBrowser");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Vrtoselect = MakeButton("Vrtoselect", "toselect.bmp", false, nullptr);
    Vrhome = MakeButton("Vrhome", "totop.bmp", false, &VrBrowser::Home);
    Vrpgup = MakeButton("Vrpgup", "pgup.bmp", true, &VrBrowser::PageUp);
    Vrgora = MakeButton("Vrgora", "up.bmp", true, &VrBrowser::LineUp);
    Vrend = MakeButton("Vrend", "toend.bmp", false, &VrBrowser::End);
    Vrpgdn = MakeButton("Vrpgdn", "pgdn.bmp", true, &VrBrowser::PageDown);
    Vrdol = MakeButton("Vrdol", "dn.bmp", true, &VrBrowser::LineDown);
    connect(Vrtoselect, &QToolButton::clicked, this, [this] {
        if (mModel && !mModel->SelectedKey().empty()) mModel->ShowKey(mModel->SelectedKey());
    });
    Vrtoselect->setToolTip(toQString("Do wybranej pozycji"_cp));
    Vrhome->setToolTip(toQString("Początek"_cp));
    Vrpgup->setToolTip(toQString("Strona w górę"_cp));
    Vrgora->setToolTip(toQString("W górę"_cp));
    Vrend->setToolTip(toQString("Koniec"_cp));
    Vrpgdn->setToolTip(toQString("Strona w dół"_cp));
    Vrdol->setToolTip(toQString("W dół"_cp));
    mResizeTimer.setSingleShot(true);
    mResizeTimer.setInterval(60);
    connect(&mResizeTimer, &QTimer::timeout, this, [this] {
        // One rebuild for the size the widget has when it runs.
        if (mResizeWaiting) return;
        mResizeWaiting = true;
        WhenConnectionFree(this, [this] {
            mResizeWaiting = false;
            if (mOnResize) mOnResize(width(), height());
        });
    });
}

QToolButton* BrowserWidget::MakeButton(const char* name, const char* picture, bool repeating, void (VrBrowser::*op)()) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setFixedSize(VrBrowser::kButtonSize, VrBrowser::kButtonSize);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    const QtCellMeasurer& m = mMeasurer;
    const PictureInfo info = mMeasurer.FilePicture(picture);
    if (const QImage* image = m.Picture(info.id); image && !image->isNull()) {
        b->setIconSize(QSize(info.width, info.height));
        b->setIcon(QIcon(QPixmap::fromImage(*image)));
    }
    if (repeating) {
        // Half a second before repeating, then every 50 ms.
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(500);
        b->setAutoRepeatInterval(50);
    }
    if (op) connect(b, &QToolButton::clicked, this, [this, op] {
        if (mModel) (mModel->*op)();
    });
    return b;
}

void BrowserWidget::SetModel(VrBrowser* model) {
    mModel = model;
    update();
}

void BrowserWidget::Defer(std::function<void()> action) {
    // Runs after the mouse event, once the connection is free; dropped when
    // this widget is gone first.
    QMetaObject::invokeMethod(
        this, [this, action = std::move(action)]() mutable { WhenConnectionFree(this, std::move(action)); },
        Qt::QueuedConnection);
}

void BrowserWidget::PlaceButtons() {
    const int left = width() - VrBrowser::kButtonSize;
    const int h = height();
    Vrtoselect->move(left, 0);
    Vrhome->move(left, 17);
    Vrpgup->move(left, 34);
    Vrgora->move(left, 51);
    Vrend->move(left, h - 17);
    Vrpgdn->move(left, h - 34);
    Vrdol->move(left, h - 51);
}

void BrowserWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    PlaceButtons();
    mResizeTimer.start();  // the model is rebuilt once the size settles
}

void BrowserWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!mModel) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int w = mModel->CellWidth();
    for (const Vrklatka& cell : mModel->Cells()) {
        if (cell.Bottom() < 0 || cell.top >= height()) continue;
        const bool selected = !cell.key.empty() && cell.key == mModel->SelectedKey();
        const std::uint32_t bg = selected ? SelectedBackground(cell.content.background) : cell.content.background;
        PaintCell(p, cell.content, QRect(0, cell.top, w, cell.height), bg, mMeasurer);
    }
}

void BrowserWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton || !mModel) return;
    mModel->Press(mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y()));
}

void BrowserWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !mModel) return;
    mModel->DoubleClick(mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y()));
}

void BrowserWidget::mouseMoveEvent(QMouseEvent* e) {
    bool hand = false;
    if (mModel) {
        const BrowserHit hit = mModel->HitTest(e->position().toPoint().x(), e->position().toPoint().y());
        if (hit.cell >= 0 && hit.item >= 0)
            hand = Acts(mModel->Cells()[static_cast<std::size_t>(hit.cell)].content.items[static_cast<std::size_t>(hit.item)]);
    }
    setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool BrowserWidget::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && mModel) {
        auto* help = static_cast<QHelpEvent*>(e);
        const BrowserHit hit = mModel->HitTest(help->pos().x(), help->pos().y());
        if (hit.cell >= 0 && hit.item >= 0) {
            const CellItem& item =
                mModel->Cells()[static_cast<std::size_t>(hit.cell)].content.items[static_cast<std::size_t>(hit.item)];
            if (!item.hint.empty()) {
                QToolTip::showText(help->globalPos(), toQString(item.hint), this);
                return true;
            }
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QWidget::event(e);
}

void BrowserWidget::HandleWheel(int angleDelta) {
    if (!mModel) return;
    // Touchpads send small steps: they add up to notches.
    mWheelRest += angleDelta;
    const int notches = mWheelRest / 120;
    mWheelRest -= notches * 120;
    if (notches != 0) mModel->Wheel(notches);
}

void BrowserWidget::wheelEvent(QWheelEvent* e) {
    HandleWheel(e->angleDelta().y());
    e->accept();
}

bool BrowserWidget::HandleKey(int key) {
    if (!mModel) return false;
    switch (key) {
        case Qt::Key_PageUp: mModel->PageUp(); return true;
        case Qt::Key_PageDown: mModel->PageDown(); return true;
        case Qt::Key_Up: mModel->LineUp(); return true;
        case Qt::Key_Down: mModel->LineDown(); return true;
        case Qt::Key_Home: mModel->Home(); return true;
        case Qt::Key_End: mModel->End(); return true;
        default: return false;
    }
}

void BrowserWidget::keyPressEvent(QKeyEvent* e) {
    if (!HandleKey(e->key())) QWidget::keyPressEvent(e);
}

}  // namespace velt::gui
