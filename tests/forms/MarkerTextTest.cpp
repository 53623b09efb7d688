// The marker memo's model: stored and shown texts, snapping, every edit.

#include "forms/MarkerText.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

MarkerText Memo(const std::string& stored) {
    MarkerText m;
    m.AddMarker({'a', "a", "Tytuł", false});
    m.AddMarker({'b', "b", "Podtytuł*", true});
    m.AddMarker({'^', "^", "never", false});  // the marker character itself is no code
    m.LoadText(stored);
    return m;
}

std::string Kinds(const MarkerText& m) {
    std::string out;
    for (const auto& c : m.Shown()) out.push_back(c.marker ? 'M' : c.foreign ? 'F' : '.');
    return out;
}

}  // namespace

TEST(MarkerText, StoredAndShownTexts) {
    struct Case {
        std::string stored, shown, kinds;
    } cases[] = {
        {"^aTitle^bSub", "aTitlebSub", "M.....M..."},
        {"x^^y", "x^y", "..."},           // a literal marker character is one unit
        {"x^zy", "x^zy", ".FF."},         // an unknown marker is kept verbatim
        {"ab^", "ab^", "..."},            // a lone marker character at the end reads as a literal
        {"", "", ""},
        {"x\x1bU0141\x1ay", "x\x1bU0141\x1ay", "..."},  // a character the code page lacks is one unit
    };
    for (const auto& c : cases) {
        MarkerText m = Memo(c.stored);
        EXPECT_EQ(m.ShownText(), c.shown) << c.stored;
        EXPECT_EQ(Kinds(m), c.kinds) << c.stored;
        if (c.stored != "ab^") {
            EXPECT_BYTES_EQ(m.StoredText(), c.stored);
        }
    }
    EXPECT_EQ(Memo("ab^").StoredText(), "ab^^");
}

TEST(MarkerText, TheCursorStepsOverAMarkerAndSnapsOutOfAForeignOne) {
    MarkerText m = Memo("^aTitle");
    m.Select(1, 1, true);
    EXPECT_EQ(m.StoredPosition(), 2u) << "after a, past both stored characters";
    MarkerText f = Memo("x^zy");
    f.Select(2, 2, true);
    EXPECT_EQ(f.Cursor(), 3u);
    f.Select(2, 2, false);
    EXPECT_EQ(f.Cursor(), 1u);
    // A selection covers whole units; the anchor keeps its side.
    f.Select(0, 2, true);
    EXPECT_EQ(f.SelectionStart(), 0u);
    EXPECT_EQ(f.SelectionLength(), 3u);
    f.Select(4, 2, false);
    EXPECT_EQ(f.Anchor(), 4u);
    EXPECT_EQ(f.Cursor(), 1u);
}

TEST(MarkerText, CopyingASelectionTakesItsMarkers) {
    MarkerText m = Memo("^aTitle^bSub");
    m.Select(3, 8, true);  // from inside Title to inside Sub
    EXPECT_EQ(m.Copy(), "tle^bS");
    EXPECT_EQ(m.StoredSelectionLength(), 6u);
    MarkerText l = Memo("x^^y");
    l.Select(0, 3, true);
    EXPECT_EQ(l.Copy(), "x^^y");
}

TEST(MarkerText, DeleteAndBackspaceTakeWholeUnits) {
    struct Case {
        std::string stored;
        std::size_t cursor;
        bool backspace;
        std::string after;
    } cases[] = {
        {"^aTitle^bSub", 6, false, "^aTitleSub"},  // Delete before the shown b removes ^b
        {"^aTitle^bSub", 7, true, "^aTitleSub"},
        {"^aTitle", 1, true, "Title"},
        {"x^^y", 1, false, "xy"},
        {"x^^y", 2, true, "xy"},
        {"x^zy", 3, true, "xy"},
        {"x^zy", 1, false, "xy"},
        {"ab", 0, true, "ab"},
        {"ab", 2, false, "ab"},
    };
    for (const auto& c : cases) {
        MarkerText m = Memo(c.stored);
        m.Select(c.cursor, c.cursor, true);
        const bool changed = c.backspace ? m.Backspace() : m.Delete();
        EXPECT_BYTES_EQ(m.StoredText(), c.after);
        EXPECT_EQ(changed, c.stored != c.after) << c.stored;
    }
}

TEST(MarkerText, TypingAndChoosingMarkers) {
    MarkerText m = Memo("^aT");
    m.Select(3, 3, true);
    EXPECT_FALSE(m.Type('^')) << "the marker character opens the menu instead";
    EXPECT_FALSE(m.Type('\t'));
    EXPECT_FALSE(m.Type('\x7f'));
    EXPECT_TRUE(m.Type('\xB9'));
    EXPECT_EQ(m.MenuCaptions(), (std::vector<std::string>{"^&a :Tytuł", "^&b :Podtytuł*"}));
    EXPECT_FALSE(m.ChooseMarker(0)) << "a is not repeatable and already present";
    EXPECT_TRUE(m.ChooseMarker(1));
    EXPECT_TRUE(m.ChooseMarker(1)) << "b is repeatable";
    EXPECT_EQ(m.StoredText(), "^aT\xB9^b^b");
    EXPECT_EQ(m.ShownText(), "aT\xB9" "bb");
    m.Select(0, 2, true);
    EXPECT_TRUE(m.Type('x'));
    EXPECT_EQ(m.StoredText(), "x\xB9^b^b");
    m.SetReadOnly(true);
    EXPECT_FALSE(m.Type('y'));
    EXPECT_FALSE(m.Delete());
    EXPECT_FALSE(m.Paste("z"));
}

TEST(MarkerText, Pasting) {
    struct Case {
        std::string stored, pasted, after;
    } cases[] = {
        {"", "x^zy", "xy"},                   // an unknown marker is skipped
        {"", "a\nb\r\nc\rd", "a b c d"},      // every line end becomes one space
        {"^aT", "^a^b^b", "^aT^b^b"},         // a is not repeatable and is present
        {"", "^a^a", "^a"},
        {"", "x^^y", "x^^y"},                 // a copied literal stays a literal
        {"", "tab\there^", "tabhere"},
        {"", "\x1bU0416\x1a\x1b", "\x1bU0416\x1a"},  // an escape stays, a bare ESC does not
    };
    for (const auto& c : cases) {
        MarkerText m = Memo(c.stored);
        m.Select(m.ShownLength(), m.ShownLength(), true);
        m.Paste(c.pasted);
        EXPECT_BYTES_EQ(m.StoredText(), c.after);
    }
    // A marker in the selection being replaced no longer counts as present.
    MarkerText r = Memo("^aT");
    r.Select(0, 1, true);
    EXPECT_TRUE(r.Paste("^a"));
    EXPECT_EQ(r.StoredText(), "^aT");
}

TEST(MarkerText, AnEscapeIsOneShownCharacter) {
    MarkerText m = Memo("a\x1bU0416\x1a^b");
    EXPECT_EQ(m.ShownLength(), 3u);
    EXPECT_EQ(m.Shown()[1].wide, u'\u0416');
    m.Select(2, 2, true);
    EXPECT_EQ(m.StoredPosition(), 8u);
    EXPECT_TRUE(m.Backspace());
    EXPECT_EQ(m.StoredText(), "a^b");
}

TEST(MarkerText, CutThenUndo) {
    MarkerText m = Memo("^aTitle^bSub");
    m.Select(5, 8, true);
    std::string clipboard;
    EXPECT_TRUE(m.Cut(clipboard));
    EXPECT_EQ(clipboard, "e^bS");
    EXPECT_EQ(m.StoredText(), "^aTitlub");
    EXPECT_TRUE(m.CanUndo());
    EXPECT_TRUE(m.Undo());
    EXPECT_EQ(m.StoredText(), "^aTitle^bSub");
    m.LoadText("new");
    EXPECT_FALSE(m.CanUndo()) << "loading clears the history";
}

TEST(MarkerText, RebuildingFromWhatTheControlShows) {
    MarkerText m = Memo("x");
    m.Rebuild({{'a', true, false}, {'T', false, false}, {'^', false, false}, {'^', false, true}, {'q', false, true},
               {'z', true, false}},
              99);
    EXPECT_EQ(m.StoredText(), "^aT^^^q^z");
    EXPECT_EQ(m.Cursor(), m.ShownLength());
}
