#include "browse/VrBrowser.h"

#include <algorithm>

namespace velt {

VrBrowser::VrBrowser(Vrserwer& source, CellMeasurer& measurer, BrowserHost& host, int panelWidth, int panelHeight,
                     int lineHeight)
    : mSource(source), mMeasurer(measurer), mHost(host), mPanelWidth(panelWidth), mPanelHeight(panelHeight),
      mLineHeight(std::max(1, lineHeight)) {
    ComputeSizes();
    Home();
}

void VrBrowser::ComputeSizes() {
    mPanelWidth = std::max(0, mPanelWidth);
    mPanelHeight = std::max(1, mPanelHeight);
    mCellCount = (mPanelHeight - 1) / Pitch() + 2;
    mCellWidth = std::max(0, mPanelWidth - kButtonColumn);
}

void VrBrowser::Draw(Vrklatka& cell) {
    cell.content = CellContent{};
    if (cell.key.empty()) return;
    const auto lines = mSource.Lines(cell.key);
    if (!lines) return;
    LayoutContext context;
    context.width = mCellWidth;
    const std::string key = cell.key;
    context.isChecked = [this, &key](const std::string& command) { return mSource.IsChecked(key, command); };
    cell.content = LayoutCell(*lines, context, mMeasurer);
}

Vrklatka VrBrowser::MakeCell(const std::string& key, int top) {
    Vrklatka cell;
    cell.key = key;
    cell.top = top;
    cell.height = mLineHeight;
    Draw(cell);
    return cell;
}

void VrBrowser::MoveAll(int dy) {
    for (Vrklatka& c : mCells) c.top += dy;
}

const Vrklatka& VrBrowser::LastShown() const {
    if (mCells.size() >= 2 && mCells.back().top >= mPanelHeight) return mCells[mCells.size() - 2];
    return mCells.back();
}

void VrBrowser::Home() {
    mCells.clear();
    std::string key = mSource.First();
    for (int i = 0; i < mCellCount; ++i) {
        mCells.push_back(MakeCell(key, i * Pitch()));
        // Past the end the cells stay blank without asking the source.
        if (!key.empty() && i + 1 < mCellCount) key = mSource.Next(key);
    }
    Changed();
}

void VrBrowser::End() {
    mCells.clear();
    std::string key = mSource.Last();
    std::vector<Vrklatka> fromBottom;
    while (!key.empty() && static_cast<int>(fromBottom.size()) < mCellCount) {
        const int i = static_cast<int>(fromBottom.size());
        fromBottom.push_back(MakeCell(key, mPanelHeight - (i + 1) * Pitch() + 2));
        if (static_cast<int>(fromBottom.size()) < mCellCount) key = mSource.Prior(key);
    }
    mCells.assign(fromBottom.rbegin(), fromBottom.rend());
    if (static_cast<int>(mCells.size()) < mCellCount) {
        // A short list: at the top, blank cells after it.
        for (std::size_t i = 0; i < mCells.size(); ++i) mCells[i].top = static_cast<int>(i) * Pitch();
        while (static_cast<int>(mCells.size()) < mCellCount)
            mCells.push_back(MakeCell({}, static_cast<int>(mCells.size()) * Pitch()));
    }
    Changed();
}

void VrBrowser::LineDown() {
    if (mCells.empty() || LastShown().Blank()) return;
    MoveAll(-10);
    if (mCells.back().top + mLineHeight < mPanelHeight) {
        const std::string last = mCells.back().key;
        const int top = mCells.back().top + mLineHeight + 2;
        mCells.erase(mCells.begin());
        mCells.push_back(MakeCell(last.empty() ? std::string() : mSource.Next(last), top));
    }
    Changed();
}

void VrBrowser::LineUp() {
    if (mCells.empty()) return;
    const Vrklatka& first = mCells.front();
    if (first.Blank() && first.Bottom() >= 0) return;
    MoveAll(10);
    if (mCells.front().top > 0) {
        const std::string key = mCells.front().key;
        const int top = mCells.front().top - mLineHeight - 2;
        mCells.pop_back();
        mCells.insert(mCells.begin(), MakeCell(key.empty() ? std::string() : mSource.Prior(key), top));
    }
    Changed();
}

void VrBrowser::ScrollDown(int pixels) {
    bool moved = false;
    while (pixels > 0 && !mCells.empty() && !LastShown().Blank()) {
        const int d = std::min(pixels, Pitch());
        MoveAll(-d);
        pixels -= d;
        moved = true;
        if (mCells.back().top + mLineHeight < mPanelHeight) {
            const std::string last = mCells.back().key;
            const int top = mCells.back().top + mLineHeight + 2;
            mCells.erase(mCells.begin());
            mCells.push_back(MakeCell(last.empty() ? std::string() : mSource.Next(last), top));
        }
    }
    if (moved) Changed();
}

void VrBrowser::ScrollUp(int pixels) {
    bool moved = false;
    while (pixels > 0 && !mCells.empty() && (!mCells.front().Blank() || mCells.front().Bottom() < 0)) {
        const int d = std::min(pixels, Pitch());
        MoveAll(d);
        pixels -= d;
        moved = true;
        if (mCells.front().top >= 1) {
            const std::string key = mCells.front().key;
            const int top = mCells.front().top - mLineHeight - 2;
            mCells.pop_back();
            mCells.insert(mCells.begin(), MakeCell(key.empty() ? std::string() : mSource.Prior(key), top));
        }
    }
    if (moved) Changed();
}

void VrBrowser::Wheel(int notches) {
    if (notches < 0) ScrollDown(20 * -notches);
    else if (notches > 0) ScrollUp(20 * notches);
}

void VrBrowser::PageDown() {
    if (mCells.empty() || mCells.back().Blank()) return;
    const int keep = std::max(1, static_cast<int>(mCells.size()) - (mCellCount - 1));
    mCells.erase(mCells.begin(), mCells.end() - keep);
    for (std::size_t i = 0; i < mCells.size(); ++i) mCells[i].top = static_cast<int>(i) * Pitch() + 2;
    for (int i = 0; i < mCellCount - 1; ++i) {
        const Vrklatka& last = mCells.back();
        const std::string next = last.key.empty() ? std::string() : mSource.Next(last.key);
        mCells.push_back(MakeCell(next, last.top + last.height + 2));
    }
    Changed();
}

void VrBrowser::PageUp() {
    if (mCells.empty() || mCells.front().Blank()) return;
    int added = 0;
    while (added < mCellCount - 1 && !mCells.front().Blank()) {
        const Vrklatka& first = mCells.front();
        const int top = first.top - first.height - 2;
        Vrklatka cell = MakeCell(mSource.Prior(first.key), top);
        mCells.insert(mCells.begin(), std::move(cell));
        mCells.pop_back();
        ++added;
    }
    const Vrklatka& first = mCells.front();
    if (!first.Blank()) {
        const int base = first.top + added * (first.height + 2);
        for (std::size_t i = 0; i < mCells.size(); ++i) mCells[i].top = static_cast<int>(i) * Pitch() + base;
    } else {
        // The beginning was reached: 12 pixels of the blank cell show.
        for (std::size_t i = 0; i < mCells.size(); ++i)
            mCells[i].top = static_cast<int>(i) * Pitch() + 12 - mLineHeight;
    }
    Changed();
}

void VrBrowser::ShowKey(const std::string& wanted) {
    if (wanted.empty()) {
        Home();
        return;
    }
    mCells.clear();
    int y = (mPanelHeight - mLineHeight) / 2;
    std::string key = wanted;
    bool reachedStart = false;
    for (;;) {
        mCells.insert(mCells.begin(), MakeCell(key, y));
        y -= Pitch();
        if (mLineHeight + y < 0) break;
        key = mSource.Prior(key);
        if (key.empty()) {
            reachedStart = true;
            break;
        }
    }
    if (reachedStart)
        for (std::size_t i = 0; i < mCells.size(); ++i) mCells[i].top = static_cast<int>(i) * Pitch();
    key = wanted;
    while (static_cast<int>(mCells.size()) < mCellCount) {
        key = key.empty() ? std::string() : mSource.Next(key);
        mCells.push_back(MakeCell(key, mCells.back().top + mLineHeight + 2));
    }
    Changed();
}

void VrBrowser::Select(const std::string& key) {
    mSelected = key;
    Changed();
    if (!key.empty()) mSource.Action(key, "!");
}

void VrBrowser::Redraw() {
    for (Vrklatka& c : mCells) Draw(c);
    Changed();
}

void VrBrowser::SetLineHeight(int height) {
    if (height <= 25) return;
    mLineHeight = height;
    mCellCount = (mPanelHeight - 1) / Pitch() + 2;
    int y = 0;
    if (!mCells.empty()) y = mCells.front().top + height < 0 ? 2 - height : mCells.front().top;
    for (Vrklatka& c : mCells) {
        c.height = height;
        c.top = y;
        y += Pitch();
    }
    if (static_cast<int>(mCells.size()) > mCellCount) mCells.resize(static_cast<std::size_t>(mCellCount));
    while (static_cast<int>(mCells.size()) < mCellCount) {
        const std::string last = mCells.empty() ? std::string() : mCells.back().key;
        const int top = mCells.empty() ? 0 : mCells.back().top + Pitch();
        mCells.push_back(MakeCell(last.empty() ? std::string() : mSource.Next(last), top));
    }
    Changed();
}

void VrBrowser::Rebuild(int panelWidth, int panelHeight) {
    mPanelWidth = panelWidth;
    mPanelHeight = panelHeight;
    ComputeSizes();
    // From the first cell with an entry, where it was; the blank cells above
    // it (the list's start after PageUp) stay blank. Without any entry shown,
    // from the first.
    const auto keyed = std::find_if(mCells.begin(), mCells.end(), [](const Vrklatka& c) { return !c.Blank(); });
    if (keyed == mCells.end()) {
        Home();
        return;
    }
    const int blanksAbove = static_cast<int>(keyed - mCells.begin());
    const int firstTop = keyed->top;
    std::string key = keyed->key;
    mCells.clear();
    for (int i = 0; i < blanksAbove && i < mCellCount; ++i)
        mCells.push_back(MakeCell({}, firstTop - (blanksAbove - i) * Pitch()));
    int top = firstTop;
    while (static_cast<int>(mCells.size()) < mCellCount) {
        mCells.push_back(MakeCell(key, top));
        top += Pitch();
        if (!key.empty() && static_cast<int>(mCells.size()) < mCellCount) key = mSource.Next(key);
    }
    Changed();
}

void VrBrowser::RefreshChecks() {
    for (Vrklatka& c : mCells)
        for (CellItem& item : c.content.items)
            if (item.kind == CellItemKind::Check) item.shown = mSource.IsChecked(c.key, item.command);
    Changed();
}

BrowserHit VrBrowser::HitTest(int x, int y) const {
    BrowserHit hit;
    if (x < 0 || x >= mCellWidth) return hit;
    for (std::size_t i = 0; i < mCells.size(); ++i) {
        const Vrklatka& c = mCells[i];
        if (y < c.top || y >= c.Bottom()) continue;
        hit.cell = static_cast<int>(i);
        const auto& items = c.content.items;
        for (std::size_t k = items.size(); k-- > 0;) {
            const CellItem& item = items[k];
            if (item.kind == CellItemKind::Check && !item.shown) continue;
            if (item.Contains(x, y - c.top)) {
                hit.item = static_cast<int>(k);
                break;
            }
        }
        return hit;
    }
    return hit;
}

void VrBrowser::Press(const BrowserHit& hit) {
    if (hit.cell < 0 || hit.cell >= static_cast<int>(mCells.size())) return;
    const Vrklatka& cell = mCells[static_cast<std::size_t>(hit.cell)];
    if (hit.item >= 0 && hit.item < static_cast<int>(cell.content.items.size())) {
        const CellItem& item = cell.content.items[static_cast<std::size_t>(hit.item)];
        const bool acts = item.kind == CellItemKind::Link || item.kind == CellItemKind::Check ||
                          (item.kind == CellItemKind::Image && !item.command.empty());
        if (acts) {
            const std::string key = cell.key, command = item.command;
            Vrserwer* source = &mSource;
            mHost.Defer([source, key, command] { source->Action(key, command); });
            return;
        }
    }
    Select(cell.key);
}

void VrBrowser::DoubleClick(const BrowserHit& hit) {
    if (hit.cell < 0 || hit.cell >= static_cast<int>(mCells.size())) return;
    const std::string key = mCells[static_cast<std::size_t>(hit.cell)].key;
    if (key.empty()) return;  // a blank cell stands for no record
    Vrserwer* source = &mSource;
    mHost.Defer([source, key] { source->Action(key, "*"); });
}

}  // namespace velt
