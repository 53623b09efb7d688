#pragma once
// The scrolling browser without a window: a column of cells (`Vrklatka`) of
// one height, filled on demand from a data source that knows only keys and
// their neighbours. Only about one panel of cells exists at a time, so a
// list of any size costs one source call per newly shown entry and one
// Lines call per drawn cell. The widget paints the cells the model holds and
// turns mouse, wheel and keys into the operations below; it never asks the
// source itself.

#include "browse/CellLayout.h"
#include "browse/Vrserwer.h"

#include <functional>
#include <string>
#include <vector>

namespace velt {

// What the browser needs of its window.
class BrowserHost {
public:
    virtual ~BrowserHost() = default;
    // The cells changed: paint again (from the model, later).
    virtual void CellsChanged() = 0;
    // Runs action after the current mouse event has been handled (a queued
    // call on the GUI thread), so that it may close the window or rebuild
    // the browser; dropped when the window is gone first.
    virtual void Defer(std::function<void()> action) = 0;
};

// One cell: its entry's key (empty: blank), its top in the panel and what it shows.
struct Vrklatka {
    std::string key;
    int top = 0;
    int height = 0;
    CellContent content;
    bool Blank() const { return key.empty(); }
    int Bottom() const { return top + height; }
};

// Where a point of the panel falls.
struct BrowserHit {
    int cell = -1;  // -1: no cell
    int item = -1;  // -1: the cell itself, not one of its items
};

class VrBrowser {
public:
    // The buttons' width at the right edge (17 for the buttons, 2 between).
    static constexpr int kButtonColumn = 19;
    static constexpr int kButtonSize = 17;

    // A browser over source in a panel of the given size, filled with Home.
    VrBrowser(Vrserwer& source, CellMeasurer& measurer, BrowserHost& host, int panelWidth, int panelHeight,
              int lineHeight);

    void Home();
    void End();
    void LineDown();
    void LineUp();
    void ScrollDown(int pixels);
    void ScrollUp(int pixels);
    // Notches of the wheel (the distance divided by 120): negative scrolls down.
    void Wheel(int notches);
    void PageDown();
    void PageUp();
    // Shows the entry in the middle of the panel (at the top near the list's start).
    void ShowKey(const std::string& key);
    // Marks the cells of key; a non-empty key is reported to the source as "!".
    void Select(const std::string& key);
    // Every cell drawn again from the source.
    void Redraw();
    // A new line height (ignored unless above 25).
    void SetLineHeight(int height);
    // The panel's new size: the cells are made again from the first entry shown.
    void Rebuild(int panelWidth, int panelHeight);
    // Every check mark asks the source again.
    void RefreshChecks();

    // The mouse, as the widget sees it.
    BrowserHit HitTest(int x, int y) const;
    // A press of the left button: a link, check or picture with a command runs
    // its command (deferred); anywhere else in a cell selects the cell.
    void Press(const BrowserHit& hit);
    // A double click on a cell with an entry reports "*" (deferred).
    void DoubleClick(const BrowserHit& hit);

    const std::vector<Vrklatka>& Cells() const { return mCells; }
    const std::string& SelectedKey() const { return mSelected; }
    int LineHeight() const { return mLineHeight; }
    int CellCount() const { return mCellCount; }
    int CellWidth() const { return mCellWidth; }
    int PanelWidth() const { return mPanelWidth; }
    int PanelHeight() const { return mPanelHeight; }
    Vrserwer& Source() { return mSource; }

private:
    int Pitch() const { return mLineHeight + 2; }
    void ComputeSizes();
    Vrklatka MakeCell(const std::string& key, int top);
    void Draw(Vrklatka& cell);
    void MoveAll(int dy);
    // The last cell, or the one before it when the last starts below the panel.
    const Vrklatka& LastShown() const;
    void Changed() { mHost.CellsChanged(); }

    Vrserwer& mSource;
    CellMeasurer& mMeasurer;
    BrowserHost& mHost;
    int mPanelWidth = 0;
    int mPanelHeight = 0;
    int mLineHeight = 0;
    int mCellCount = 0;
    int mCellWidth = 0;
    std::vector<Vrklatka> mCells;
    std::string mSelected;
};

}  // namespace velt
