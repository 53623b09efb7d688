#pragma once
// The model under the marker memo (TSMemo): text holding subfield markers,
// each two stored characters — the marker character and a code — shown as
// the code alone in the marker font. The stored text is the truth; the
// shown text, the cursor and the selection follow it unit by unit, so a
// marker is never cut in half by a cursor, a selection, a deletion or a cut.
//
// Units of the stored text:
//   marker   marker character + known code, shown as the code (marker font)
//   literal  two marker characters, shown as one marker character
//   foreign  marker character + an unknown code, shown and stored verbatim
//   escape   a character the code page lacks, ESC "U" hhhh SUB, shown as that character
//   plain    any other character
// A lone marker character at the end reads as a literal. Typing and pasting
// never make a plain unit of the marker character, so the stored text always
// reads back into the same units.

#include "forms/FormControls.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt {

class MarkerText {
public:
    enum class UnitKind : unsigned char { Plain, Marker, Literal, Foreign, Escape };
    struct Unit {
        UnitKind kind = UnitKind::Plain;
        char code = 0;        // the character (plain), or the code after the marker character
        char16_t wide = 0;    // the character of an escape
        bool operator==(const Unit&) const = default;
    };
    // One shown character and how it is drawn.
    struct ShownChar {
        char c = 0;
        bool marker = false;   // in the marker font
        bool foreign = false;  // part of a foreign marker, kept verbatim
        char16_t wide = 0;     // an escape's character (c is then 0)
    };

    MarkerText() = default;

    // The marker character, "^" unless a form's marker list sets another.
    void SetMarkerChar(char c) { mMarkerChar = c; }
    char MarkerChar() const { return mMarkerChar; }
    // Appends a marker; a code equal to the marker character or already
    // known is ignored.
    void AddMarker(const TSequence& marker);
    const std::vector<TSequence>& Markers() const { return mMarkers; }

    // Replaces the whole content; the cursor and selection go to 0 and the
    // undo history is cleared.
    void LoadText(std::string_view stored);
    std::string StoredText() const;
    // The shown text as Windows-1250 (an escape as its seven bytes, so that
    // it converts to its character); ShownLength counts it as one.
    std::string ShownText() const;
    std::vector<ShownChar> Shown() const;
    std::size_t ShownLength() const;
    const std::vector<Unit>& Units() const { return mUnits; }

    void SetReadOnly(bool readOnly) { mReadOnly = readOnly; }
    bool ReadOnly() const { return mReadOnly; }

    // Cursor and selection, in shown positions. Select snaps both ends to
    // whole units: the cursor in the direction of the movement (backwards
    // for Left, Up, Home, Page Up and the mouse), the anchor outwards.
    void Select(std::size_t anchor, std::size_t cursor, bool forward);
    std::size_t Cursor() const { return mCursor; }
    std::size_t Anchor() const { return mAnchor; }
    std::size_t SelectionStart() const { return mCursor < mAnchor ? mCursor : mAnchor; }
    std::size_t SelectionLength() const { return mCursor < mAnchor ? mAnchor - mCursor : mCursor - mAnchor; }
    // Where the cursor and the selection fall in the stored text.
    std::size_t StoredPosition() const;
    std::size_t StoredSelectionLength() const;

    // The edits; each answers whether the stored text changed. None works
    // when the text is read-only.
    // A character (32 to 126, or 128 and above) in place of the selection;
    // the marker character is refused: it opens the marker menu instead.
    bool Type(char c);
    bool IsMarkerChar(char c) const { return c == mMarkerChar; }
    // The marker menu's captions: marker character, "&", code, " :", description.
    std::vector<std::string> MenuCaptions() const;
    // Inserts the marker of the menu item when it is repeatable or not yet in the text.
    bool ChooseMarker(std::size_t index);
    bool Delete();
    bool Backspace();
    bool DeleteSelection();
    // The stored selection, with its markers (empty when nothing is selected).
    std::string Copy() const;
    bool Cut(std::string& clipboard);
    // A marker character and a code become a marker when it is known and
    // allowed, two marker characters a literal, an unknown code is skipped;
    // every line end becomes one space; other control characters are dropped.
    bool Paste(std::string_view text);

    bool CanUndo() const { return !mUndo.empty(); }
    bool Undo();
    void ClearUndo() { mUndo.clear(); }

    // Reads the units back from what the control shows, after a change made
    // behind the model's back: a character in the marker font is that
    // marker, a foreign character is kept verbatim, a plain marker character
    // is a literal. The cursor goes to the end of what was changed.
    void Rebuild(const std::vector<ShownChar>& shown, std::size_t cursor);

private:
    static std::size_t ShownWidth(UnitKind kind) { return kind == UnitKind::Foreign ? 2 : 1; }
    static std::size_t StoredWidth(UnitKind kind) {
        return kind == UnitKind::Plain ? 1 : kind == UnitKind::Escape ? 7 : 2;
    }
    static void AppendStored(std::string& out, const Unit& u, char markerChar);
    // An escape at text[i]: its character, or 0.
    static char16_t EscapeAt(std::string_view text, std::size_t i);
    const TSequence* Find(char code) const;
    bool Present(char code) const;
    std::vector<Unit> Parse(std::string_view stored) const;
    // The unit index at a shown position at a unit boundary (Size at the end).
    std::size_t UnitAt(std::size_t shown) const;
    std::size_t ShownAt(std::size_t unit) const;
    std::size_t Snap(std::size_t shown, bool forward) const;
    void Remember();
    // A bare ESC left beside the rest of an escape after an edit reads as
    // that escape: the units are read again from the stored text.
    void Settle();
    // Replaces the selected units by units; the cursor goes after them.
    void Replace(const std::vector<Unit>& units);

    struct Snapshot {
        std::vector<Unit> units;
        std::size_t cursor, anchor;
    };

    char mMarkerChar = '^';
    std::vector<TSequence> mMarkers;
    std::vector<Unit> mUnits;
    std::size_t mCursor = 0, mAnchor = 0;
    bool mReadOnly = false;
    std::vector<Snapshot> mUndo;
};

}  // namespace velt
