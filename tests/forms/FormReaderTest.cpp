#include "forms/FormReader.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

FormReadResult Read(const std::string& text, const std::string& pictures = "/nonexistent-velt-pictures/") {
    return ReadFormDescription(text, pictures);
}

std::vector<std::string> Texts(const FormReadResult& r) {
    std::vector<std::string> out;
    for (const auto& m : r.messages) out.push_back(m.text);
    return out;
}

template <typename T>
const T& Child(const my_formular& parent, std::size_t i) {
    EXPECT_LT(i, parent.children.size());
    const T* p = dynamic_cast<const T*>(parent.children.at(i).get());
    EXPECT_NE(p, nullptr) << parent.children.at(i)->ClassName();
    return *p;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& i : items) out += i + "|";
    return out;
}

}  // namespace

TEST(FormReader, EmptyBlockGivesARootWithoutChildrenOrMessages) {
    const FormReadResult r = Read("BEGIN END");
    ASSERT_TRUE(r.root);
    EXPECT_TRUE(r.root->children.empty());
    EXPECT_TRUE(r.messages.empty());
    EXPECT_STREQ(r.root->ClassName(), "my_formular");
    EXPECT_EQ(r.root->X({}), 0);
}

TEST(FormReader, KeywordsIgnoreLetterCaseAndStringsKeepIt) {
    const FormReadResult r = Read("begin Field 'xY' on 1,2,3 end");
    EXPECT_TRUE(r.messages.empty());
    const auto& f = Child<my_lineedit>(*r.root, 0);
    EXPECT_EQ(f.fieldId, "xY");
    EXPECT_EQ(f.X({}), 1);
    EXPECT_EQ(f.Y({}), 2);
    EXPECT_EQ(f.W({}), 3);
    EXPECT_EQ(f.limit, 0);
    EXPECT_FALSE(f.password);
}

TEST(FormReader, ATabIsAnErrorTokenThatEndsTheBlock) {
    const FormReadResult r = Read("BEGIN\tEND");
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0].text, "Spodziewany END [jest: \t]");
    EXPECT_EQ(r.messages[0].line, "Linia: \"BEGIN\tEND\"");
    // The tab is still the current token after the root block.
    EXPECT_EQ(r.messages[1].text, "Pominięty fragment opisu [jest: \t]"_cp);
}

TEST(FormReader, StringPiecesAndCharacterCodes) {
    struct Case {
        const char* written;
        std::string value;
    } cases[] = {
        {"'a'\\39'b'", "a'b"},
        {"'a''b'", "ab"},
        {"'ab'\\13\\10'cd'", "ab\r\ncd"},
        {"\\65", "A"},
        {"\\", std::string(1, '\0')},
        {"'x'+'y'+\\90", "xyZ"},
        {"'\xB9'", "\xB9"},
        {"\\255", "\xFF"},
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(std::string("BEGIN LABEL ") + c.written + " ON 0,0 END");
        EXPECT_TRUE(r.messages.empty()) << c.written << ": " << r.messages[0].text;
        ASSERT_EQ(r.root->children.size(), 1u) << c.written;
        EXPECT_BYTES_EQ(Child<my_label>(*r.root, 0).text, c.value);
    }
}

TEST(FormReader, TwoStringsWithASpaceAreTwoTokens) {
    const FormReadResult r = Read("BEGIN LABEL 'a' 'b' ON 0,0 END");
    // 'b' is no ON; the label is built at the defaults, then 'b' ends the block.
    const auto t = Texts(r);
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[0], "Spodziewany ON [jest: b]");
    EXPECT_EQ(t[1], "Spodziewany przecinek [jest: b]");
    EXPECT_EQ(Child<my_label>(*r.root, 0).text, "a");
}

TEST(FormReader, ErrorTokensOfTheLexer) {
    struct Case {
        const char* text;
        std::string token;
    } cases[] = {
        {"BEGIN 'open END", "'open END"},       // not closed on its line
        {"BEGIN \\256 END", "\\256"},            // above the code page
        {"BEGIN \\65'a'\\999 END", "\\65'a'\\999"},
        {"BEGIN 1.5 END", "1"},                  // a number is no statement
        {"BEGIN . END", "."},
        {"BEGIN NAME END", "NAME"},              // no identifiers in the language
        {"BEGIN x1 END", "X"},                   // digits end a word
        {"BEGIN \xB9 END", "\xB9"},              // letters are A to Z only
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(c.text);
        ASSERT_FALSE(r.messages.empty()) << c.text;
        EXPECT_BYTES_EQ(r.messages[0].text, "Spodziewany END [jest: " + c.token + "]");
    }
}

TEST(FormReader, CommentsRunAcrossLinesAndSeparateTokens) {
    const FormReadResult r = Read("BEGIN{one\r\ntwo}LABEL{x}'a'ON 1 {\n}, 2\nEND {trailing}");
    EXPECT_TRUE(r.messages.empty()) << r.messages[0].text;
    const auto& l = Child<my_label>(*r.root, 0);
    EXPECT_EQ(l.X({}), 1);
    EXPECT_EQ(l.Y({}), 2);
}

TEST(FormReader, LinesEndWithCrLfOrCrAndTheMessageShowsTheLine) {
    const FormReadResult r = Read("BEGIN\rFIELD 'x' ON 10, 20\rEND");
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, "Spodziewany przecinek [jest: END]");
    EXPECT_EQ(r.messages[0].line, "Linia: \"END\"");
    EXPECT_EQ(Child<my_lineedit>(*r.root, 0).W({}), 200);
}

TEST(FormReader, PositionExpressions) {
    struct Case {
        const char* written;
        int value;
    } cases[] = {
        {"10 * (2 + 3)", 50}, {"-4 + 1", -3},     {"7 / 2", 4},         {"5 / 2", 2},
        {"-5 / 2", -2},       {"-7 / 2", -4},     {"9 / 6", 2},         {"3 / 6", 0},
        {"15 / 6", 2},        {"10 - 3 - 2", 5},  {"100 / 10 / 5", 2},  {"-2 * 3 + 10", 4},
        {"+5", 5},            {"200 / 7", 29},    {"(1)", 1},           {"((2+3)*(4-1))", 15},
        {"1 / 0", 0},         {"2147483647 + 1", 2147483647},           {"99999999999", 2147483647},
        {"0 - 2147483647 - 2147483647", -2147483647 - 1},
        {"65536 * 65536 / 65536", 32768},  // each step saturates: 2^32 is 2^31 - 1 first
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(std::string("BEGIN ON ") + c.written + ", 0 BEGIN END END");
        EXPECT_TRUE(r.messages.empty()) << c.written;
        EXPECT_EQ(Child<my_formular>(*r.root, 0).X({}), c.value) << c.written;
    }
}

TEST(FormReader, AWritten469FollowsTheSheetHeightAndAComputedOneDoesNot) {
    const FormReadResult r = Read("BEGIN MEMO 'a' ON 0, 0, 100, 469 MEMO 'b' ON 0, 0, 100, 468 + 1 "
                                  "MEMO 'c' ON 0, 0, 100, 469 - 9 END");
    FormSettings s;
    s.sheetHeight = 600;
    EXPECT_EQ(Child<my_memo>(*r.root, 0).H(s), 600);
    EXPECT_EQ(Child<my_memo>(*r.root, 1).H(s), 469);
    EXPECT_EQ(Child<my_memo>(*r.root, 2).H(s), 591);
    EXPECT_EQ(Child<my_memo>(*r.root, 0).H({}), 469);
}

TEST(FormReader, EveryStatementBuildsItsObject) {
    const FormReadResult r = Read(
        "BEGIN\n"
        " LABEL 'Tytuł' ON 1, 2\n"
        " NO 'i' ON 3, 4\n"
        " TEXT 'T' ON 1, 2, 30, 40\n"
        " FIELD 'F' LIMIT 12 PASSWORD ON 1, 2, 50\n"
        " FIELD 'M' MASK '>LL;1;_' ON 1, 2, 60\n"
        " MEMO 'ME' MULTILINE LIMIT 100 ON 1, 2, 70, 80\n"
        " MARKERS 'MK' MASK '^|a|Tytuł|bb|Podtytuł|' ON 1, 2, 90, 0\n"
        " NUMBER 'N' MASK 8, 2 ON 1, 2, 40\n"
        " SPIN 'S' MASK 3 LIMIT 2, 9 ON 1, 2, 40\n"
        " DATE 'D' ON 1, 2, 80\n"
        " COMBO 'C' MASK 'A|Alfa|B||' ON 1, 2, 100\n"
        " CHECK 'K' MASK 'Tak?' ON 1, 2, 100\n"
        " BUTTON 'B' MASK 'OK' DEFAULT ON 1, 2, 75, 25\n"
        " SPEED 'SP' MASK 'x.bmp' ON 1, 2, 20, 20\n"
        " MENU 'o1|O|' LABEL 'Menu' ON 1, 2\n"
        " MENU 'o2|P|' MASK 'm.bmp' ON 1, 2, 16, 16\n"
        " DICTIONARY 'KH' ON 1, 2, 300\n"
        " LIST 'i' OF 3 ON 0, 100, 400, 60 BEGIN FIELD 'L.i' ON 0, 0, 50 END\n"
        " TABS ON 0, 200, 300, 200 'Jeden' BEGIN END 'Dwa' BEGIN DATE 'TD' ON 0,0,80 END END\n"
        " FORM 'SF' MASK 'Okno' SPEED 'f.bmp' ON 10, 20, 110, 220 BEGIN LABEL 'w' ON 0,0 END\n"
        " DYNAMIC 'DY' OF 'n' ON 0, 300, 400, 100 'a' BEGIN FIELD 'A.n' ON 0,0,50 END 'b' BEGIN END END\n"
        " ON 5, 6 BEGIN FIELD 'G' ON 1, 1, 10 END\n"
        "END\n"_cp);
    // Three pictures are missing: each reported once, the statements still built.
    EXPECT_EQ(Texts(r), (std::vector<std::string>{"Brak pliku \"x.bmp\"", "Brak pliku \"m.bmp\"",
                                                   "Brak pliku \"f.bmp\""}));
    const my_formular& root = *r.root;
    ASSERT_EQ(root.children.size(), 22u);
    EXPECT_EQ(Child<my_label>(root, 0).text, "Tytuł"_cp);
    EXPECT_STREQ(Child<my_lp>(root, 1).ClassName(), "my_lp");
    EXPECT_EQ(Child<my_text>(root, 2).H({}), 40);
    EXPECT_EQ(Child<my_lineedit>(root, 3).limit, 12);
    EXPECT_TRUE(Child<my_lineedit>(root, 3).password);
    EXPECT_EQ(Child<my_mask>(root, 4).mask, ">LL;1;_");
    EXPECT_TRUE(Child<my_memo>(root, 5).multiline);
    EXPECT_EQ(Child<my_memo>(root, 5).limit, 100);
    EXPECT_EQ(Child<my_markedit>(root, 6).markers, "^|a|Tytuł|bb|Podtytuł|"_cp);
    EXPECT_EQ(Child<my_number>(root, 7).width, 8);
    EXPECT_EQ(Child<my_number>(root, 7).decimals, 2);
    EXPECT_EQ(Child<my_spin>(root, 8).width, 3);
    EXPECT_EQ(Child<my_spin>(root, 8).minimum, 2);
    EXPECT_EQ(Child<my_spin>(root, 8).maximum, 9);
    EXPECT_EQ(Child<my_date>(root, 9).mask, "99.99.9999;0; ");
    EXPECT_EQ(Joined(Child<my_combo>(root, 10).values), "A|B|");
    EXPECT_EQ(Joined(Child<my_combo>(root, 10).labels), "Alfa|*|");
    EXPECT_EQ(Child<my_check>(root, 11).caption, "Tak?");
    EXPECT_TRUE(Child<my_button>(root, 12).isDefault);
    EXPECT_EQ(Child<my_button>(root, 12).caption, "OK");
    EXPECT_EQ(Child<my_speed>(root, 13).picture.name, "x.bmp");
    EXPECT_FALSE(Child<my_menu>(root, 14).pictureForm);
    EXPECT_EQ(Child<my_menu>(root, 14).caption, "Menu");
    EXPECT_EQ(Child<my_menu>(root, 14).h.Evaluate(), 20);
    EXPECT_TRUE(Child<my_menu>(root, 15).pictureForm);
    EXPECT_EQ(Child<my_menu>(root, 15).w.Evaluate(), 16);
    EXPECT_STREQ(Child<my_KHW>(root, 16).ClassName(), "my_KHW");
    const auto& list = Child<my_list>(root, 17);
    EXPECT_EQ(list.variable, "i");
    EXPECT_EQ(list.Rows({}), 3);
    EXPECT_EQ(list.RowHeight({}), 19);
    EXPECT_EQ(list.children.size(), 1u);
    const auto& tabs = Child<my_tabs>(root, 18);
    EXPECT_EQ(tabs.captions, (std::vector<std::string>{"Jeden", "Dwa"}));
    ASSERT_EQ(tabs.children.size(), 2u);
    EXPECT_EQ(tabs.children[1]->children.size(), 1u);
    const auto& form = Child<my_form>(root, 19);
    EXPECT_EQ(form.caption, "Okno");
    EXPECT_EQ(form.offsetX.Evaluate(), 100);
    EXPECT_EQ(form.offsetY.Evaluate(), 200);
    const auto& dynamic = Child<my_dynamic>(root, 20);
    EXPECT_EQ(dynamic.variable, "n");
    EXPECT_EQ(dynamic.keys, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Child<my_formular>(root, 21).X({}), 5);
}

TEST(FormReader, EveryErrorMessageWithItsToken) {
    struct Case {
        const char* text;
        std::string first;
        std::size_t children;  // of the root, after recovery
    } cases[] = {
        {"LABEL 'x' ON 0,0", "Spodziewany BEGIN [jest: LABEL]", 0},
        {"BEGIN LABEL 'x' ON 0,0", "Spodziewany END [jest: ]", 1},
        {"BEGIN MULTILINE END", "Błędny element opisu MULTILINE [jest: MULTILINE]"_cp, 0},
        {"BEGIN LABEL 'x' 0,0 END", "Spodziewany ON [jest: 0]", 1},
        {"BEGIN LABEL 'x' ON 0 0 END", "Spodziewany przecinek [jest: 0]", 1},
        {"BEGIN LABEL 'x' ON , 0 END", "Błędne wyrażenie [jest: ,]"_cp, 1},
        {"BEGIN LABEL 'x' ON (1, 0 END", "Brak nawiasu zamykającego [jest: ,]"_cp, 1},
        {"BEGIN FIELD 'x' LIMIT ON 0,0,10 END", "Brak wartości dla LIMIT [jest: ON]"_cp, 1},
        {"BEGIN LABEL 'x' + ON 0,0 END", "Spodziewany łańcuch [jest: ON]"_cp, 1},
        {"BEGIN LABEL ON 0,0 END", "Spodziewany łancuch [jest: ON]"_cp, 1},
        {"BEGIN NO ON 0,0 END", "Spodziewany łancuch [jest: ON]"_cp, 1},
        {"BEGIN LIST OF 3 ON 0,0,1,1 BEGIN END END", "Spodziewana zmienna listy [jest: OF]", 0},
        {"BEGIN LIST 'i' 3 ON 0,0,1,1 BEGIN END END", "Spodziewane OF [jest: 3]", 0},
        {"BEGIN FORM MASK 'c' ON 0,0,0,0 BEGIN END END", "Spodziewana nazwa pola [jest: MASK]", 0},
        {"BEGIN DYNAMIC OF 'n' ON 0,0,1,1 END END", "Spodziewana nazwa pola [jest: OF]", 0},
        {"BEGIN FORM 'f' 'c' ON 0,0,0,0 BEGIN END END", "Spodziewane słowo MASK [jest: c]"_cp, 0},
        {"BEGIN MARKERS 'm' '^' ON 0,0,1,1 END", "Spodziewane słowo MASK [jest: ^]"_cp, 0},
        {"BEGIN NUMBER 'n' 5 ON 0,0,1 END", "Spodziewane słowo MASK [jest: 5]"_cp, 0},
        {"BEGIN SPIN 's' 5 ON 0,0,1 END", "Spodziewane słowo MASK [jest: 5]"_cp, 0},
        {"BEGIN COMBO 'c' 'a|A|' ON 0,0,1 END", "Spodziewane słowo MASK [jest: a|A|]"_cp, 0},
        {"BEGIN CHECK 'c' 'x' ON 0,0,1 END", "Spodziewane słowo MASK [jest: x]"_cp, 0},
        {"BEGIN BUTTON 'b' 'x' ON 0,0,1,1 END", "Spodziewane słowo MASK [jest: x]"_cp, 0},
        {"BEGIN SPEED 'b' 'x' ON 0,0,1,1 END", "Spodziewane słowo MASK [jest: x]"_cp, 0},
        {"BEGIN FORM 'f' MASK ON 0,0,0,0 BEGIN END END", "Spodziewana nazwa podformularza [jest: ON]", 1},
        {"BEGIN FORM 'f' MASK 'c' SPEED ON 0,0,0,0 BEGIN END END", "Spodziewana nazwa bitmapy [jest: ON]", 1},
        {"BEGIN DYNAMIC 'd' 'n' ON 0,0,1,1 END END", "Spodziewane słowo OF [jest: n]"_cp, 0},
        {"BEGIN DYNAMIC 'd' OF ON 0,0,1,1 END END", "Spodziewana zmienna sterująca [jest: ON]"_cp, 1},
        {"BEGIN TEXT ON 0,0,1,1 END", "Spodziewany identyfikator pola [jest: ON]", 1},
        {"BEGIN FIELD ON 0,0,1 END", "Spodziewany identyfikator pola [jest: ON]", 1},
        {"BEGIN MEMO ON 0,0,1,1 END", "Spodziewany identyfikator pola [jest: ON]", 1},
        {"BEGIN DATE ON 0,0,1 END", "Spodziewany identyfikator pola [jest: ON]", 1},
        {"BEGIN MENU LABEL 'x' ON 0,0 END", "Spodziewany identyfikator pola [jest: LABEL]", 1},
        {"BEGIN DICTIONARY ON 0,0,1 END", "Spodziewany identyfikator pola [jest: ON]", 1},
        {"BEGIN FIELD 'x' MASK ON 0,0,1 END", "Spodziewana maska edycji [jest: ON]", 1},
        {"BEGIN MARKERS 'm' MASK ON 0,0,1,1 END", "Spodziewana specyfikacja znaczników [jest: ON]"_cp, 1},
        {"BEGIN COMBO 'c' MASK ON 0,0,1 END", "Spodziewana lista dozwolonych wartości [jest: ON]"_cp, 1},
        {"BEGIN CHECK 'c' MASK ON 0,0,1 END", "Spodziewany napis [jest: ON]", 1},
        {"BEGIN BUTTON 'b' MASK ON 0,0,1,1 END", "Spodziewany napis [jest: ON]", 1},
        {"BEGIN SPEED 'b' MASK ON 0,0,1,1 END", "Spodziewany napis [jest: ON]", 1},
        {"BEGIN MENU 'a|A|' LABEL ON 0,0 END", "Spodziewany napis [jest: ON]", 1},
        {"BEGIN MENU 'a|A|' MASK ON 0,0,1,1 END", "Spodziewana nazwa pliku graficznego [jest: ON]", 1},
        {"BEGIN MENU 'a|A|' ON 0,0 END", "Spodziewane słowo MASK lub LABEL [jest: ON]"_cp, 1},
        {"BEGIN TABS ON 0,0,1,1 'a' BEGIN END", "Spodziewany END [jest: ]", 1},
        {"BEGIN DYNAMIC 'd' OF 'n' ON 0,0,1,1 'a' BEGIN END", "Do DYNAMIC brakuje END [jest: ]", 1},
        {"BEGIN END BEGIN END", "Pominięty fragment opisu [jest: BEGIN]"_cp, 0},
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(c.text);
        ASSERT_FALSE(r.messages.empty()) << c.text;
        EXPECT_BYTES_EQ(r.messages[0].text, c.first);
        EXPECT_EQ(r.messages[0].line, "Linia: \"" + std::string(c.text) + "\"") << c.text;
        ASSERT_TRUE(r.root);
        EXPECT_EQ(r.root->children.size(), c.children) << c.text;
    }
}

TEST(FormReader, AnErroneousRowsExpressionGivesOneRow) {
    const FormReadResult r = Read("BEGIN LIST 'i' OF ( ON 0,0,100,100 BEGIN END END");
    EXPECT_EQ(Texts(r), std::vector<std::string>{"Błędne wyrażenie [jest: ON]"_cp});
    EXPECT_EQ(Child<my_list>(*r.root, 0).Rows({}), 1);
}

TEST(FormReader, RowsAreClampedToOneAndTheMaximumOccurrence) {
    struct Case {
        const char* rows;
        int expected;
    } cases[] = {{"0", 1}, {"0 - 5", 1}, {"3", 3}, {"999", 999}, {"1000000", 999}, {"2147483647 * 9", 999}};
    for (const auto& c : cases) {
        const FormReadResult r = Read(std::string("BEGIN LIST 'i' OF ") + c.rows + " ON 0,0,100,100 BEGIN END END");
        EXPECT_EQ(Child<my_list>(*r.root, 0).Rows({}), c.expected) << c.rows;
    }
    FormSettings s;
    s.maxOccurrence = 200;
    EXPECT_EQ(Child<my_list>(*Read("BEGIN LIST 'i' OF 500 ON 0,0,1,1 BEGIN END END").root, 0).Rows(s), 200);
}

TEST(FormReader, NumberAndSpinOperandsAreClampedToWhatMakesSense) {
    struct Case {
        const char* text;
        int width, decimals, minimum, maximum;
    } cases[] = {
        {"NUMBER 'n' MASK ( ON 0,0,1", 10, 0, 0, 0},
        {"NUMBER 'n' MASK 0 ON 0,0,1", 1, 0, 0, 0},
        {"NUMBER 'n' MASK 5, 9 ON 0,0,1", 5, 4, 0, 0},
        {"NUMBER 'n' MASK 1000, 2 ON 0,0,1", 255, 2, 0, 0},
        {"NUMBER 'n' MASK 6, 0 - 3 ON 0,0,1", 6, 0, 0, 0},
        {"SPIN 's' MASK 4 ON 0,0,1", 4, 0, 1, 10000},
        {"SPIN 's' MASK ( ON 0,0,1", 10, 0, 1, 10000},
        {"SPIN 's' MASK 4 LIMIT 50 ON 0,0,1", 4, 0, 1, 50},
        {"SPIN 's' MASK 4 LIMIT 0 - 5 ON 0,0,1", 4, 0, -5, 1},
        {"SPIN 's' MASK 4 LIMIT 9, 2 ON 0,0,1", 4, 0, 2, 9},
        {"SPIN 's' MASK 0 LIMIT 0 - 9, 0 - 1 ON 0,0,1", 1, 0, -9, -1},
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(std::string("BEGIN ") + c.text + " END");
        ASSERT_EQ(r.root->children.size(), 1u) << c.text;
        if (const auto* n = dynamic_cast<const my_number*>(r.root->children[0].get())) {
            EXPECT_EQ(n->width, c.width) << c.text;
            EXPECT_EQ(n->decimals, c.decimals) << c.text;
        } else {
            const auto& s = Child<my_spin>(*r.root, 0);
            EXPECT_EQ(s.width, c.width) << c.text;
            EXPECT_EQ(s.minimum, c.minimum) << c.text;
            EXPECT_EQ(s.maximum, c.maximum) << c.text;
        }
    }
}

TEST(FormReader, ComboListMessagesAreOneTextAndTheComboIsBuilt) {
    struct Case {
        const char* list;
        std::string message;
        std::string values, labels;
    } cases[] = {
        {"''", "Brak listy wartości pola C"_cp, "|", "*|"},
        {"'A|Alfa|B|Beta'", "Błąd pola COMBO: C"_cp, "A|B|", "Alfa|*|"},
        {"'A|Alfa|X'", "Błąd pola COMBO: C"_cp, "A|X|", "Alfa|*|"},
        {"'A|Alfa|B||'", "", "A|B|", "Alfa|*|"},
    };
    for (const auto& c : cases) {
        const FormReadResult r = Read(std::string("BEGIN COMBO 'C' MASK ") + c.list + " ON 0,0,100 END");
        if (c.message.empty()) {
            EXPECT_TRUE(r.messages.empty()) << c.list;
        } else {
            ASSERT_EQ(r.messages.size(), 1u) << c.list;
            EXPECT_EQ(r.messages[0].text, c.message);
            EXPECT_EQ(r.messages[0].line, "") << "a COMBO list message has no line";
        }
        const auto& combo = Child<my_combo>(*r.root, 0);
        EXPECT_EQ(Joined(combo.values), c.values) << c.list;
        EXPECT_EQ(Joined(combo.labels), c.labels) << c.list;
    }
}

TEST(FormReader, NestingIsBoundedWithOneClearMessage) {
    std::string deep = "BEGIN ";
    for (int i = 0; i < 5000; ++i) deep += "ON 0,0 BEGIN ";
    const FormReadResult blocks = Read(deep);
    ASSERT_EQ(blocks.messages.size(), 1u);
    EXPECT_EQ(blocks.messages[0].text, "Zbyt głębokie zagnieżdżenie opisu [jest: BEGIN]"_cp);

    const FormReadResult parens = Read("BEGIN ON " + std::string(5000, '(') + "1, 0 BEGIN END END");
    ASSERT_FALSE(parens.messages.empty());
    EXPECT_EQ(parens.messages[0].text, "Zbyt głębokie zagnieżdżenie opisu [jest: (]"_cp);

    std::string chain = "BEGIN ON 1";
    for (int i = 0; i < 5000; ++i) chain += "+1";
    const FormReadResult terms = Read(chain + ", 0 BEGIN END END");
    ASSERT_FALSE(terms.messages.empty());
    EXPECT_EQ(terms.messages[0].text, "Zbyt głębokie zagnieżdżenie opisu [jest: +]"_cp);
    // 500 levels are fine.
    std::string fine = "BEGIN ON 1";
    for (int i = 0; i < 499; ++i) fine += "+1";
    const FormReadResult ok = Read(fine + ", 0 BEGIN END END");
    EXPECT_TRUE(ok.messages.empty());
    EXPECT_EQ(Child<my_formular>(*ok.root, 0).X({}), 500);
}

TEST(FormReader, AFloodOfErrorsIsKeptWithinItsBound) {
    std::string text = "BEGIN ";
    for (int i = 0; i < 2000; ++i) text += "LABEL ON 0,0 ";
    const FormReadResult r = Read(text + "END");
    EXPECT_EQ(r.messages.size(), kMaxFormMessages);
}

TEST(FormReader, PicturesComeFromTheDirectoryAndCannotLeaveIt) {
    test::TempDir dir;
    dir.Write("ok.bmp", "BM-bytes");
    dir.Write("Upper.BMP", "BM-upper");
    const FormReadResult r = ReadFormDescription(
        "BEGIN SPEED 'a' MASK 'ok.bmp' ON 0,0,1,1 SPEED 'b' MASK '../ok.bmp' ON 0,0,1,1 "
        "SPEED 'c' MASK '" + dir.Path() + "ok.bmp' ON 0,0,1,1 SPEED 'd' MASK 'upper.bmp' ON 0,0,1,1 "
        "SPEED 'e' MASK 'gone.bmp' ON 0,0,1,1 SPEED 'f' MASK 'gone.bmp' ON 0,0,1,1 "
        "SPEED 'g' MASK 'C:\\39x.bmp' ON 0,0,1,1 END",
        dir.Path());
    const my_formular& root = *r.root;
    ASSERT_EQ(root.children.size(), 7u);
    EXPECT_EQ(*Child<my_speed>(root, 0).picture.bytes, "BM-bytes");
    EXPECT_FALSE(Child<my_speed>(root, 1).picture.Loaded()) << "no way out with ..";
    EXPECT_FALSE(Child<my_speed>(root, 2).picture.Loaded()) << "no absolute names";
    EXPECT_EQ(*Child<my_speed>(root, 3).picture.bytes, "BM-upper") << "the last part is found ignoring case";
    EXPECT_FALSE(Child<my_speed>(root, 4).picture.Loaded());
    // gone.bmp is reported once though named twice.
    EXPECT_EQ(Texts(r), (std::vector<std::string>{"Brak pliku \"../ok.bmp\"", "Brak pliku \"" + dir.Path() + "ok.bmp\"",
                                                   "Brak pliku \"gone.bmp\"", "Brak pliku \"C:\\39x.bmp\""}));
}

TEST(FormReader, AFileThatCannotBeReadGivesNoRoot) {
    const FormReadResult r = ReadFormDescriptionFile("/nonexistent-velt/EPR-A.TMP", "");
    EXPECT_FALSE(r.root);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, "Brak pliku \"/nonexistent-velt/EPR-A.TMP\"");
    test::TempDir dir;
    const FormReadResult f = ReadFormDescriptionFile(dir.Write("f.txt", "BEGIN\r\nLABEL 'a' ON 0,0\r\nEND\r\n"), "");
    ASSERT_TRUE(f.root);
    EXPECT_TRUE(f.messages.empty());
    EXPECT_EQ(f.root->children.size(), 1u);
}

TEST(FormReader, SubstitutionKeepsPairsApart) {
    struct Case {
        Substitution subst;
        const char* text;
        std::string expected;
    } cases[] = {
        {Substitution().With("i", 3), "245Z.1.1.i.1", "245Z.1.1.3.1"},
        {Substitution().With("i", 3).With("j", 7), "i.j", "3.7"},
        // outer pairs first: an inner id may hold both variables
        {Substitution().With("i", "j").With("j", 2), "i", "2"},
        {Substitution().With("", "x"), "abc", "abc"},
        {Substitution().With("a|b", "1").With("c", "2"), "a|b c", "1 2"},
        {Substitution().With("x", "xx"), "x.x", "xx.xx"},
        {Substitution().With("aa", "b"), "aaa", "ba"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.subst.Apply(c.text), c.expected) << c.subst.Text();
    EXPECT_EQ(Substitution().With("i", 1).With("j", "*").Text(), "i|1|j|*|");
}

TEST(FormReader, FieldIdsOfContainers) {
    const FormReadResult r = Read(
        "BEGIN FIELD 'a' ON 0,0,1 LABEL 'l' ON 0,0 BUTTON 'b' MASK 'B' ON 0,0,1,1 FIELD 'a' ON 0,0,1 "
        "LIST 'i' OF 2 ON 0,0,1,1 BEGIN FIELD 'L.i' ON 0,0,1 LIST 'j' OF 2 ON 0,0,1,1 BEGIN DATE 'M.i.j' ON 0,0,1 END END "
        "FORM 'sf' MASK 'c' ON 0,0,0,0 BEGIN CHECK 'cb' MASK 'x' ON 0,0,1 END "
        "DYNAMIC 'dy' OF 'n' ON 0,0,1,1 'k' BEGIN FIELD 'D.n' ON 0,0,1 END END END");
    EXPECT_EQ(r.root->FieldIds({}), (std::vector<std::string>{"a", "L.*", "M.*.*", "cb", "D.n"}));
    EXPECT_EQ(r.root->FieldIds(Substitution().With("n", 4)), (std::vector<std::string>{"a", "L.*", "M.*.*", "cb", "D.4"}));
}
