#pragma once
// The platform's edit-mask notation and the masked edit's content: a mask
// is its characters, then ";" and a flag (0 or 1: whether literal characters
// are kept in the text), then ";" and the blank character, as in
// "99.99.9999;0; ". Mask characters: L l letter, A a letter or digit, C c any
// character, 0 9 digit, # digit or sign (upper case required, lower case
// optional), > < case conversion (<> none), \ the next character literal,
// ! ignored, _ a space; every other character is a literal.
//
// The content is one character per position; typing overwrites the next
// editable position, deleting blanks positions without moving the others, so
// every character keeps its place (a date with a blank day stays eight
// characters with a space in it). An empty mask edits free text.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

class EditMask {
public:
    explicit EditMask(std::string_view mask = {});

    // The text the field editors read: the editable positions (blanks as
    // spaces), with the literals when the mask keeps them.
    std::string Text() const;
    // What the control shows: literals, characters, the blank character.
    std::string Display() const;
    // Fills the positions from a text in Text's form; the rest stay blank.
    void SetText(std::string_view text);

    std::size_t Size() const { return mSlots.empty() ? mFree.size() : mSlots.size(); }
    bool Empty() const { return mSlots.empty(); }
    bool KeepsLiterals() const { return mKeepLiterals; }
    char Blank() const { return mBlank; }
    bool IsLiteral(std::size_t position) const { return position < mSlots.size() && mSlots[position].literal; }

    // The cursor, a position from 0 to Size().
    std::size_t Cursor() const { return mCursor; }
    void SetCursor(std::size_t position);

    // Typed at the cursor: the next editable position takes it when it fits
    // there (after case conversion); false when it does not.
    bool Type(char c);
    // Blanks the editable position before the cursor, and moves there.
    bool Backspace();
    // Blanks the editable position at (or after) the cursor.
    bool Delete();
    // Blanks the editable positions in [from, to) and puts the cursor at from.
    bool Erase(std::size_t from, std::size_t to);
    // Types every character of a pasted text that fits.
    bool Paste(std::string_view text);

private:
    enum class Accept : unsigned char { Letter, Alnum, Any, Digit, Sign };
    enum class Case : unsigned char { Keep, Upper, Lower };
    struct Slot {
        bool literal = false;
        char ch = ' ';  // the literal, or the character typed (' ' blank)
        Accept accept = Accept::Any;
        Case fold = Case::Keep;
        bool filled = false;
    };
    bool Fits(const Slot& slot, char& c) const;
    std::size_t NextEditable(std::size_t from) const;

    std::vector<Slot> mSlots;
    std::string mFree;  // the text of an empty mask
    bool mKeepLiterals = true;
    char mBlank = '_';
    std::size_t mCursor = 0;
};

}  // namespace velt
