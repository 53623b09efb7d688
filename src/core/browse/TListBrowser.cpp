#include "browse/TListBrowser.h"

#include <algorithm>

namespace velt {

namespace {

// A cell laid out taller than any screen is cut there.
constexpr int kMaxCellHeight = 30000;

}  // namespace

TListBrowser::TListBrowser(CellMeasurer& measurer, Callback callback, int cellWidth, int cellHeight)
    : mMeasurer(measurer), mCallback(std::move(callback)), mWidth(std::max(0, cellWidth)),
      mCellHeight(std::max(0, cellHeight)) {}

void TListBrowser::Lay(ListCell& cell, int top) {
    LayoutContext context;
    context.width = mWidth;
    context.mode = LayoutMode::RecordView;
    cell.content = LayoutCell(cell.lines, context, mMeasurer);
    cell.top = top;
    // As tall as its content, with the last line's descent and a margin.
    const int natural = std::min(kMaxCellHeight, cell.content.bottom + 4);
    cell.height = mCellHeight > 0 ? mCellHeight : natural;
}

void TListBrowser::Add(std::vector<std::string> lines) {
    ListCell cell;
    cell.lines = std::move(lines);
    const int top = Height();
    Lay(cell, top);
    mCells.push_back(std::move(cell));
}

void TListBrowser::Clear() {
    mCells.clear();
    mSelected = -1;
}

void TListBrowser::SetWidth(int cellWidth) {
    mWidth = std::max(0, cellWidth);
    int top = 0;
    for (ListCell& c : mCells) {
        Lay(c, top);
        top = c.Bottom();
    }
}

ListHit TListBrowser::HitTest(int x, int y) const {
    ListHit hit;
    if (x < 0 || x >= mWidth) return hit;
    for (std::size_t i = 0; i < mCells.size(); ++i) {
        const ListCell& c = mCells[i];
        if (y < c.top || y >= c.Bottom()) continue;
        hit.cell = static_cast<int>(i);
        const auto& items = c.content.items;
        for (std::size_t k = items.size(); k-- > 0;) {
            if (items[k].Contains(x, y - c.top)) {
                hit.item = static_cast<int>(k);
                break;
            }
        }
        return hit;
    }
    return hit;
}

void TListBrowser::Press(const ListHit& hit) {
    if (hit.cell < 0 || hit.cell >= static_cast<int>(mCells.size())) return;
    const ListCell& cell = mCells[static_cast<std::size_t>(hit.cell)];
    if (hit.item >= 0 && hit.item < static_cast<int>(cell.content.items.size())) {
        const CellItem& item = cell.content.items[static_cast<std::size_t>(hit.item)];
        if (item.kind == CellItemKind::Link || (item.kind == CellItemKind::Image && !item.command.empty())) {
            // The callback may clear the list: it gets its own copy.
            const std::string command = item.command;
            if (mCallback) mCallback(command);
            return;
        }
    }
    Select(hit.cell);
}

void TListBrowser::DoubleClick(const ListHit& hit) {
    if (hit.cell < 0 || hit.cell >= static_cast<int>(mCells.size())) return;
    if (mCallback) mCallback("*" + std::to_string(hit.cell));
}

void TListBrowser::Select(int i) {
    if (i < -1 || i >= static_cast<int>(mCells.size())) return;
    mSelected = i;
    if (i >= 0 && mCallback) mCallback("!" + std::to_string(i));
}

}  // namespace velt
