#pragma once
// The scrolling browser on screen: it paints the cells its model holds,
// with the seven buttons at the right edge, and turns mouse, wheel and keys
// into the model's operations. It never asks the data source anything
// itself; a new size reaches the model after the resizing has settled, not
// from the resize handler.

#include "browse/VrBrowser.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

#include <functional>

class QPainter;
class QToolButton;

namespace velt::gui {

class QtCellMeasurer;

// A colour of the display formats (0x00BBGGRR; the information background).
QColor ColourOf(std::uint32_t bgr);
// Paints a laid-out cell into box on its background.
void PaintCell(QPainter& p, const CellContent& content, const QRect& box, std::uint32_t background,
               const QtCellMeasurer& measurer);

class BrowserWidget : public QWidget, public BrowserHost {
    Q_OBJECT
public:
    BrowserWidget(QtCellMeasurer& measurer, QWidget* parent = nullptr);

    // The model this widget shows (none: an empty panel).
    void SetModel(VrBrowser* model);
    VrBrowser* Model() const { return mModel; }
    // The measurer the cells are laid out with.
    QtCellMeasurer& Measurer() const { return mMeasurer; }
    // Called with the settled size after resizing (the owner rebuilds the model).
    void SetResizeHandler(std::function<void(int width, int height)> handler) { mOnResize = std::move(handler); }

    // BrowserHost
    void CellsChanged() override { update(); }
    void Defer(std::function<void()> action) override;

    // The buttons, named as the browser's button classes.
    QToolButton* Vrtoselect = nullptr;
    QToolButton* Vrhome = nullptr;
    QToolButton* Vrpgup = nullptr;
    QToolButton* Vrgora = nullptr;
    QToolButton* Vrend = nullptr;
    QToolButton* Vrpgdn = nullptr;
    QToolButton* Vrdol = nullptr;

    // Sends a key to the model as the main window does (Page Up, Page Down,
    // arrows, Home, End); true when it was one of them.
    bool HandleKey(int key);
    // A wheel distance in 120ths of a notch; fractions add up over calls.
    void HandleWheel(int angleDelta);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;

private:
    QToolButton* MakeButton(const char* name, const char* picture, bool repeating, void (VrBrowser::*op)());
    void PlaceButtons();

    QtCellMeasurer& mMeasurer;
    VrBrowser* mModel = nullptr;
    std::function<void(int, int)> mOnResize;
    bool mResizeWaiting = false;
    QTimer mResizeTimer;
    int mWheelRest = 0;  // the part of the wheel distance not yet a notch
};

}  // namespace velt::gui
