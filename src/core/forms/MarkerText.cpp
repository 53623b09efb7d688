// The marker memo's stored and shown texts.

#include "forms/MarkerText.h"

#include <algorithm>

namespace velt {
namespace {

constexpr std::size_t kMaxUndo = 100;

bool Typable(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 32 && u <= 126) || u >= 128;
}

}  // namespace

void MarkerText::AddMarker(const TSequence& marker) {
    if (marker.code == mMarkerChar || Find(marker.code)) return;
    mMarkers.push_back(marker);
}

const TSequence* MarkerText::Find(char code) const {
    for (const TSequence& m : mMarkers)
        if (m.code == code) return &m;
    return nullptr;
}

bool MarkerText::Present(char code) const {
    return std::any_of(mUnits.begin(), mUnits.end(),
                       [code](const Unit& u) { return u.kind == UnitKind::Marker && u.code == code; });
}

char16_t MarkerText::EscapeAt(std::string_view text, std::size_t i) {
    if (i + 6 >= text.size() || text[i] != 27 || text[i + 1] != 'U' || text[i + 6] != 26) return 0;
    unsigned value = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const char h = text[k];
        const int d = (h >= '0' && h <= '9') ? h - '0' : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : -1;
        if (d < 0) return 0;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return static_cast<char16_t>(value);
}

void MarkerText::AppendStored(std::string& out, const Unit& u, char markerChar) {
    static const char digits[] = "0123456789ABCDEF";
    switch (u.kind) {
    case UnitKind::Plain: out.push_back(u.code); break;
    case UnitKind::Literal: out.append(2, markerChar); break;
    case UnitKind::Marker:
    case UnitKind::Foreign:
        out.push_back(markerChar);
        out.push_back(u.code);
        break;
    case UnitKind::Escape:
        out.push_back(27);
        out.push_back('U');
        for (int shift = 12; shift >= 0; shift -= 4) out.push_back(digits[(u.wide >> shift) & 15]);
        out.push_back(26);
        break;
    }
}

std::vector<MarkerText::Unit> MarkerText::Parse(std::string_view stored) const {
    std::vector<Unit> units;
    units.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (const char16_t wide = c == 27 ? EscapeAt(stored, i) : 0) {
            units.push_back({UnitKind::Escape, 0, wide});
            i += 6;
            continue;
        }
        if (c != mMarkerChar) {
            units.push_back({UnitKind::Plain, c});
            continue;
        }
        if (i + 1 == stored.size()) {
            units.push_back({UnitKind::Literal, c});
            break;
        }
        const char code = stored[++i];
        if (code == mMarkerChar) units.push_back({UnitKind::Literal, code});
        else if (Find(code)) units.push_back({UnitKind::Marker, code});
        else units.push_back({UnitKind::Foreign, code});
    }
    return units;
}

void MarkerText::LoadText(std::string_view stored) {
    mUnits = Parse(stored);
    mCursor = mAnchor = 0;
    mUndo.clear();
}

std::string MarkerText::StoredText() const {
    std::string out;
    out.reserve(mUnits.size() + 8);
    for (const Unit& u : mUnits) AppendStored(out, u, mMarkerChar);
    return out;
}

std::vector<MarkerText::ShownChar> MarkerText::Shown() const {
    std::vector<ShownChar> out;
    out.reserve(mUnits.size());
    for (const Unit& u : mUnits) {
        switch (u.kind) {
        case UnitKind::Plain: out.push_back({u.code, false, false, 0}); break;
        case UnitKind::Marker: out.push_back({u.code, true, false, 0}); break;
        case UnitKind::Literal: out.push_back({mMarkerChar, false, false, 0}); break;
        case UnitKind::Foreign:
            out.push_back({mMarkerChar, false, true, 0});
            out.push_back({u.code, false, true, 0});
            break;
        case UnitKind::Escape: out.push_back({0, false, false, u.wide}); break;
        }
    }
    return out;
}

std::string MarkerText::ShownText() const {
    std::string out;
    for (const Unit& u : mUnits) {
        switch (u.kind) {
        case UnitKind::Literal: out.push_back(mMarkerChar); break;
        case UnitKind::Foreign:
            out.push_back(mMarkerChar);
            out.push_back(u.code);
            break;
        case UnitKind::Escape: AppendStored(out, u, mMarkerChar); break;
        default: out.push_back(u.code); break;
        }
    }
    return out;
}

std::size_t MarkerText::ShownLength() const {
    std::size_t n = 0;
    for (const Unit& u : mUnits) n += ShownWidth(u.kind);
    return n;
}

std::size_t MarkerText::UnitAt(std::size_t shown) const {
    std::size_t at = 0;
    for (std::size_t i = 0; i < mUnits.size(); ++i) {
        if (at >= shown) return i;
        at += ShownWidth(mUnits[i].kind);
    }
    return mUnits.size();
}

std::size_t MarkerText::ShownAt(std::size_t unit) const {
    std::size_t at = 0;
    for (std::size_t i = 0; i < unit && i < mUnits.size(); ++i) at += ShownWidth(mUnits[i].kind);
    return at;
}

std::size_t MarkerText::Snap(std::size_t shown, bool forward) const {
    std::size_t at = 0;
    for (const Unit& u : mUnits) {
        const std::size_t next = at + ShownWidth(u.kind);
        if (shown <= at) return at;
        if (shown < next) return forward ? next : at;
        at = next;
    }
    return at;
}

void MarkerText::Select(std::size_t anchor, std::size_t cursor, bool forward) {
    const std::size_t length = ShownLength();
    anchor = std::min(anchor, length);
    cursor = std::min(cursor, length);
    mCursor = Snap(cursor, forward);
    if (anchor == cursor) {
        mAnchor = mCursor;
    } else {
        // The anchor moves outwards, so the selection covers whole markers.
        mAnchor = Snap(anchor, anchor > cursor);
    }
}

std::size_t MarkerText::StoredPosition() const {
    std::size_t stored = 0;
    const std::size_t end = UnitAt(mCursor);
    for (std::size_t i = 0; i < end; ++i) stored += StoredWidth(mUnits[i].kind);
    return stored;
}

std::size_t MarkerText::StoredSelectionLength() const {
    std::size_t stored = 0;
    const std::size_t from = UnitAt(SelectionStart()), to = UnitAt(SelectionStart() + SelectionLength());
    for (std::size_t i = from; i < to; ++i) stored += StoredWidth(mUnits[i].kind);
    return stored;
}

void MarkerText::Remember() {
    if (mUndo.size() >= kMaxUndo) mUndo.erase(mUndo.begin());
    mUndo.push_back({mUnits, mCursor, mAnchor});
}

void MarkerText::Settle() {
    const bool bareEsc = std::any_of(mUnits.begin(), mUnits.end(),
                                     [](const Unit& u) { return u.kind == UnitKind::Plain && u.code == 27; });
    if (!bareEsc) return;
    auto storedAt = [this](std::size_t shown) {
        std::size_t stored = 0;
        const std::size_t end = UnitAt(shown);
        for (std::size_t i = 0; i < end; ++i) stored += StoredWidth(mUnits[i].kind);
        return stored;
    };
    const std::size_t cursor = storedAt(mCursor), anchor = storedAt(mAnchor);
    mUnits = Parse(StoredText());
    auto shownAt = [this](std::size_t stored) {
        std::size_t s = 0, shown = 0;
        for (const Unit& u : mUnits) {
            if (s >= stored) break;
            s += StoredWidth(u.kind);
            shown += ShownWidth(u.kind);
        }
        return shown;
    };
    mCursor = shownAt(cursor);
    mAnchor = shownAt(anchor);
}

void MarkerText::Replace(const std::vector<Unit>& units) {
    const std::size_t from = UnitAt(SelectionStart()), to = UnitAt(SelectionStart() + SelectionLength());
    mUnits.erase(mUnits.begin() + static_cast<std::ptrdiff_t>(from), mUnits.begin() + static_cast<std::ptrdiff_t>(to));
    mUnits.insert(mUnits.begin() + static_cast<std::ptrdiff_t>(from), units.begin(), units.end());
    mCursor = mAnchor = ShownAt(from + units.size());
    Settle();
}

bool MarkerText::Type(char c) {
    if (mReadOnly || !Typable(c) || c == mMarkerChar) return false;
    Remember();
    Replace({{UnitKind::Plain, c}});
    return true;
}

std::vector<std::string> MarkerText::MenuCaptions() const {
    std::vector<std::string> out;
    for (const TSequence& m : mMarkers) out.push_back(std::string(1, mMarkerChar) + "&" + m.code + " :" + m.description);
    return out;
}

bool MarkerText::ChooseMarker(std::size_t index) {
    if (mReadOnly || index >= mMarkers.size()) return false;
    const TSequence& m = mMarkers[index];
    if (!m.repeatable && Present(m.code)) return false;
    Remember();
    Replace({{UnitKind::Marker, m.code}});
    return true;
}

bool MarkerText::DeleteSelection() {
    if (mReadOnly || SelectionLength() == 0) return false;
    Remember();
    Replace({});
    return true;
}

bool MarkerText::Delete() {
    if (mReadOnly) return false;
    if (SelectionLength() > 0) return DeleteSelection();
    const std::size_t at = UnitAt(mCursor);
    if (at >= mUnits.size()) return false;
    Remember();
    mUnits.erase(mUnits.begin() + static_cast<std::ptrdiff_t>(at));
    mAnchor = mCursor;
    Settle();
    return true;
}

bool MarkerText::Backspace() {
    if (mReadOnly) return false;
    if (SelectionLength() > 0) return DeleteSelection();
    const std::size_t at = UnitAt(mCursor);
    if (at == 0) return false;
    mCursor = mAnchor = ShownAt(at - 1);
    return Delete();
}

std::string MarkerText::Copy() const {
    std::string out;
    const std::size_t from = UnitAt(SelectionStart()), to = UnitAt(SelectionStart() + SelectionLength());
    for (std::size_t i = from; i < to; ++i) AppendStored(out, mUnits[i], mMarkerChar);
    return out;
}

bool MarkerText::Cut(std::string& clipboard) {
    if (mReadOnly || SelectionLength() == 0) return false;
    clipboard = Copy();
    return DeleteSelection();
}

bool MarkerText::Paste(std::string_view text) {
    if (mReadOnly) return false;
    // Markers being replaced do not count as present.
    std::vector<Unit> kept;
    const std::size_t from = UnitAt(SelectionStart()), to = UnitAt(SelectionStart() + SelectionLength());
    for (std::size_t i = 0; i < mUnits.size(); ++i)
        if (i < from || i >= to) kept.push_back(mUnits[i]);
    auto present = [&](char code, const std::vector<Unit>& added) {
        auto has = [code](const Unit& u) { return u.kind == UnitKind::Marker && u.code == code; };
        return std::any_of(kept.begin(), kept.end(), has) || std::any_of(added.begin(), added.end(), has);
    };
    std::vector<Unit> units;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (const char16_t wide = c == 27 ? EscapeAt(text, i) : 0) {
            units.push_back({UnitKind::Escape, 0, wide});
            i += 6;
            continue;
        }
        if (c == mMarkerChar) {
            if (i + 1 >= text.size()) break;
            const char code = text[++i];
            if (code == mMarkerChar) {
                units.push_back({UnitKind::Literal, code});
            } else if (const TSequence* m = Find(code); m && (m->repeatable || !present(code, units))) {
                units.push_back({UnitKind::Marker, code});
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            units.push_back({UnitKind::Plain, ' '});
            continue;
        }
        if (Typable(c)) units.push_back({UnitKind::Plain, c});
    }
    if (units.empty() && SelectionLength() == 0) return false;
    Remember();
    Replace(units);
    return true;
}

bool MarkerText::Undo() {
    if (mUndo.empty()) return false;
    Snapshot s = std::move(mUndo.back());
    mUndo.pop_back();
    mUnits = std::move(s.units);
    mCursor = std::min(s.cursor, ShownLength());
    mAnchor = std::min(s.anchor, ShownLength());
    return true;
}

void MarkerText::Rebuild(const std::vector<ShownChar>& shown, std::size_t cursor) {
    std::string stored;
    for (const ShownChar& c : shown) {
        if (c.wide) {
            AppendStored(stored, {UnitKind::Escape, 0, c.wide}, mMarkerChar);
        } else if (c.foreign) {
            stored.push_back(c.c);
        } else if (c.marker) {
            stored.push_back(mMarkerChar);
            stored.push_back(c.c);
        } else if (c.c == mMarkerChar) {
            stored.push_back(mMarkerChar);
            stored.push_back(mMarkerChar);
        } else {
            stored.push_back(c.c);
        }
    }
    Remember();
    mUnits = Parse(stored);
    mCursor = mAnchor = Snap(std::min(cursor, ShownLength()), true);
}

}  // namespace velt
