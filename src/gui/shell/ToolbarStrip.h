#pragma once
// The editing toolbar's strip ("ToolsInnerCenter"): the toolbar at the left
// edge, and the arrows "LeftSpeedButton" and "RightSpeedButton" at the sides
// while the window is too narrow for all its buttons.

#include "common/StripScroll.h"

#include <QWidget>

class QToolBar;
class QToolButton;

namespace velt::gui {

class ToolbarStrip : public QWidget {
    Q_OBJECT
public:
    ToolbarStrip(QToolBar* toolbar, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Lays the toolbar out again at its start (new buttons, a new size).
    void Arrange();

    QToolButton* LeftSpeedButton = nullptr;
    QToolButton* RightSpeedButton = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Place();

    QToolBar* mToolbar;
    QWidget* mRoom;  // "ToolsInnerCenter": clips the toolbar
    StripScroll mScroll;
};

}  // namespace velt::gui
