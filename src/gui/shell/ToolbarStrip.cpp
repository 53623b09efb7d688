#include "gui/shell/ToolbarStrip.h"

#include <QEvent>
#include <QToolBar>
#include <QToolButton>

namespace velt::gui {

ToolbarStrip::ToolbarStrip(QToolBar* toolbar, QWidget* parent) : QWidget(parent), mToolbar(toolbar) {
    setObjectName("ToolsButtonsStrip");
    mRoom = new QWidget(this);
    mRoom->setObjectName("ToolsInnerCenter");
    toolbar->setParent(mRoom);
    toolbar->setMovable(false);
    toolbar->installEventFilter(this);
    auto arrow = [this](const char* name, Qt::ArrowType type) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(type);
        b->setAutoRaise(true);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        return b;
    };
    LeftSpeedButton = arrow("LeftSpeedButton", Qt::LeftArrow);
    RightSpeedButton = arrow("RightSpeedButton", Qt::RightArrow);
    connect(LeftSpeedButton, &QToolButton::clicked, this, [this] {
        mScroll.Left();
        Place();
    });
    connect(RightSpeedButton, &QToolButton::clicked, this, [this] {
        mScroll.Right();
        Place();
    });
}

QSize ToolbarStrip::sizeHint() const { return mToolbar->sizeHint(); }

QSize ToolbarStrip::minimumSizeHint() const {
    return {LeftSpeedButton->sizeHint().width() * 3, mToolbar->sizeHint().height()};
}

void ToolbarStrip::Arrange() {
    const int row = mToolbar->sizeHint().width();
    mScroll.Arrange(row, width());
    const bool arrows = mScroll.ArrowsShown();
    const int arrowWidth = arrows ? LeftSpeedButton->sizeHint().width() : 0;
    if (arrows) mScroll.Arrange(row, width() - 2 * arrowWidth);
    LeftSpeedButton->setVisible(arrows);
    RightSpeedButton->setVisible(arrows);
    LeftSpeedButton->setGeometry(0, 0, arrowWidth, height());
    RightSpeedButton->setGeometry(width() - arrowWidth, 0, arrowWidth, height());
    mRoom->setGeometry(arrowWidth, 0, width() - 2 * arrowWidth, height());
    Place();
}

void ToolbarStrip::Place() {
    mToolbar->setGeometry(mScroll.Offset(), 0, mToolbar->sizeHint().width(), height());
}

void ToolbarStrip::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Arrange();
}

bool ToolbarStrip::eventFilter(QObject* watched, QEvent* e) {
    // Buttons come and go with the mode: the strip is arranged again.
    if (watched == mToolbar && (e->type() == QEvent::ActionAdded || e->type() == QEvent::ActionRemoved ||
                                e->type() == QEvent::ActionChanged || e->type() == QEvent::LayoutRequest)) {
        updateGeometry();
        Arrange();
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace velt::gui
