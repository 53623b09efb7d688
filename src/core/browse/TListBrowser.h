#pragma once
// A list of cells built from given line lists, without a data source: each
// cell is drawn from its markup lines as the record view draws them (the
// information background, no check marks). A click on a cell selects it and
// reports "!" and its index, a double click "*" and its index; a link or a
// picture with a command reports that command. With a cell height of 0 a
// cell is as tall as what it shows, which makes a one-cell list the record
// view of a single record (the links windows' display pane).

#include "browse/CellLayout.h"

#include <functional>
#include <string>
#include <vector>

namespace velt {

struct ListCell {
    std::vector<std::string> lines;
    int top = 0;
    int height = 0;
    CellContent content;
    int Bottom() const { return top + height; }
};

// Where a point of the list falls.
struct ListHit {
    int cell = -1;  // -1: no cell
    int item = -1;  // -1: the cell itself
};

class TListBrowser {
public:
    // What the owner hears: "!" or "*" and a cell's index, or an element's command.
    using Callback = std::function<void(const std::string& text)>;

    // cellHeight 0: every cell as tall as its content.
    TListBrowser(CellMeasurer& measurer, Callback callback, int cellWidth, int cellHeight);

    // Appends a cell drawn from lines (below the last one).
    void Add(std::vector<std::string> lines);
    // Every cell goes; nothing is selected.
    void Clear();
    // A new width: every cell is laid out again.
    void SetWidth(int cellWidth);

    // The point in list coordinates.
    ListHit HitTest(int x, int y) const;
    // A press of the left button: an element with a command reports it, any
    // other place of a cell selects the cell.
    void Press(const ListHit& hit);
    void DoubleClick(const ListHit& hit);
    // Selects cell i (-1: none) and reports it.
    void Select(int i);

    const std::vector<ListCell>& Cells() const { return mCells; }
    int Selected() const { return mSelected; }
    int Width() const { return mWidth; }
    // The bottom of the last cell: how tall the list is.
    int Height() const { return mCells.empty() ? 0 : mCells.back().Bottom(); }

private:
    void Lay(ListCell& cell, int top);

    CellMeasurer& mMeasurer;
    Callback mCallback;
    int mWidth;
    int mCellHeight;
    std::vector<ListCell> mCells;
    int mSelected = -1;
};

}  // namespace velt
