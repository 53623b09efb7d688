// The parameter forms without the window: answers, the pair text through
// the controls, the settings imposed and restored, the form's own fields,
// sorting, the "Wykonaj" step and the bridge for server items.

#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"

#include "forms/FormReader.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using test::TempDir;

namespace {

const std::string kEsc1 = "\x1B" "1";

// The forms of one test: a headless window and the program's settings.
struct Forms {
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};

    std::unique_ptr<my_formular> Read(const std::string& text) {
        FormReadResult r = ReadFormDescription(text, "/nonexistent-velt/");
        for (const auto& m : r.messages) ADD_FAILURE() << m.text;
        return std::move(r.root);
    }
};

void Type(HeadlessParameterWindow& w, const std::string& field, const std::string& text) {
    HeadlessControl* c = w.Control(field);
    ASSERT_NE(c, nullptr) << field;
    c->UserType(text);
}

}  // namespace

TEST(ParameterForms, AFormWithoutFieldsAnswersTwoBarsAndClosingIsACancel) {
    Forms f;
    const auto form = f.Read("BEGIN LABEL 'Nic do wpisania' ON 0, 0 END");
    EXPECT_EQ(f.forms.AskParameters("T", *form, "", nullptr), "||");
    f.window.user = [](HeadlessParameterWindow&) {};  // closed without "Wykonaj"
    EXPECT_EQ(f.forms.AskParameters("T", *form, "a|1|", nullptr), "");
    EXPECT_EQ(f.window.titles, (std::vector<std::string>{"T", "T"}));
}

TEST(ParameterForms, ABarTravelsAsEscapeOneBothWays) {
    Forms f;
    const auto form = f.Read("BEGIN FIELD 'A' ON 0, 0, 100 FIELD 'B' ON 0, 30, 100 END");
    f.window.user = [](HeadlessParameterWindow& w) {
        EXPECT_EQ(w.Control("A")->Text(), "x|y") << "the initial value shows its bar";
        Type(w, "B", "p|q");
        w.Execute();
    };
    EXPECT_BYTES_EQ(f.forms.AskParameters("T", *form, "A|x" + kEsc1 + "y|", nullptr),
                    "A|x" + kEsc1 + "y|B|p" + kEsc1 + "q|");
}

TEST(ParameterForms, TheAnswerHoldsWhatUntouchedSpinsAndCombosShow) {
    Forms f;
    const auto form = f.Read("BEGIN SPIN 'S' MASK 4 LIMIT 1900, 2100 ON 0, 0, 60 "
                             "COMBO 'C' MASK 'a|Alfa|b|Beta|' ON 0, 30, 100 "
                             "SPIN 'K' MASK 4 LIMIT 1900, 2100 ON 0, 60, 60 END");
    EXPECT_EQ(f.forms.AskParameters("T", *form, "K|2000|C|x|", nullptr), "K|2000|C|a|S|1900|");
    // The editing window's records stay as they were.
    EXPECT_FALSE(FormSettings{}.storeShownValues);
}

TEST(ParameterForms, ALiteralEscapeOneIsRefusedAndTheWindowStaysOpen) {
    Forms f;
    const auto form = f.Read("BEGIN FIELD 'A' ON 0, 0, 100 END");
    f.window.user = [](HeadlessParameterWindow& w) {
        Type(w, "A", "a" + kEsc1);
        EXPECT_FALSE(w.Execute());
        ASSERT_EQ(w.errors.size(), 1u);
        ASSERT_EQ(w.errors[0].size(), 1u);
        EXPECT_NE(w.errors[0][0].find("ESC"), std::string::npos) << w.errors[0][0];
        Type(w, "A", "a1");
        EXPECT_TRUE(w.Execute());
    };
    EXPECT_EQ(f.forms.AskParameters("T", *form, "", nullptr), "A|a1|");
    // Cancelled while refused: nothing is returned.
    f.window.user = [](HeadlessParameterWindow& w) {
        Type(w, "A", "b" + kEsc1);
        w.Execute();
    };
    EXPECT_EQ(f.forms.AskParameters("T", *form, "", nullptr), "");
}

TEST(ParameterForms, TheWindowsSettingsAreImposedWhileShownAndRestoredAfterOkAndCancel) {
    for (const bool execute : {true, false}) {
        Forms f;
        f.settings.zoom = 1.5;
        f.settings.maxOccurrence = 40;
        f.settings.decimalSeparator = '.';
        f.settings.maskFont = "Arial/-12/";
        const FormSettings before = f.settings;
        const auto form = f.Read("BEGIN FIELD 'A' ON 0, 0, 100 END");
        FormSettings during;
        f.window.user = [&](HeadlessParameterWindow& w) {
            during = f.settings;
            if (execute) w.Execute();
        };
        f.forms.AskParameters("T", *form, "", nullptr);
        EXPECT_EQ(during.maxOccurrence, 999);
        EXPECT_EQ(during.decimalSeparator, ',');
        EXPECT_EQ(during.maskFont, "Courier New/-14/B");
        EXPECT_DOUBLE_EQ(during.zoom, 1.5) << "what the window does not impose stays";
        EXPECT_EQ(f.window.settings.at(0).maxOccurrence, 999) << "the layout gets the imposed settings";
        EXPECT_EQ(f.settings.maxOccurrence, before.maxOccurrence) << (execute ? "after OK" : "after cancel");
        EXPECT_EQ(f.settings.decimalSeparator, before.decimalSeparator);
        EXPECT_EQ(f.settings.maskFont, before.maskFont);
    }
}

TEST(ParameterForms, FormParametersKeepTheFormsOwnFieldsListRowsIncluded) {
    Forms f;
    const auto form = f.Read("BEGIN FIELD 'A' ON 0, 0, 100 "
                             "LIST 'i' OF 3 ON 0, 30, 300, 90 BEGIN FIELD 'R.i' ON 0, 0, 100 END END");
    std::string remembered = "X|keep|A|1|R.1|r1|R.7|r7|";
    EXPECT_EQ(f.forms.AskFormParameters("T", *form, remembered, nullptr), "A|1|R.1|r1|R.7|r7|");
    EXPECT_EQ(remembered, "X|keep|A|1|R.1|r1|R.7|r7|") << "the remembered text keeps the other fields";

    const auto other = f.Read("BEGIN FIELD 'Z' ON 0, 0, 100 END");
    EXPECT_EQ(f.forms.AskFormParameters("T", *other, remembered, nullptr), "||") << "no pair of its own";

    f.window.user = [](HeadlessParameterWindow&) {};
    std::string kept = "A|2|";
    EXPECT_EQ(f.forms.AskFormParameters("T", *form, kept, nullptr), "");
    EXPECT_EQ(kept, "A|2|") << "a cancel changes nothing";
}

TEST(ParameterForms, OfferedSortingIsBoundedAndHoldsForOneFormOnly) {
    struct Case {
        int index;
        int selected;
    };
    const std::vector<std::string> names = {"autor", "tytuł"_cp, "rok"};
    for (const Case c : {Case{7, 0}, Case{3, 3}, Case{2, 2}, Case{-1, 0}, Case{0, 0}}) {
        Forms f;
        const auto form = f.Read("BEGIN END");
        f.forms.OfferSorting(names, c.index);
        f.forms.AskParameters("T", *form, "", nullptr);
        ASSERT_EQ(f.window.offers.size(), 1u);
        EXPECT_EQ(f.window.offers[0].items, (std::vector<std::string>{"bez sortowania", "autor", "tytuł"_cp, "rok"}));
        EXPECT_EQ(f.window.offers[0].selected, c.selected) << "index " << c.index;
        EXPECT_EQ(f.forms.ChosenSort(), c.selected);
        f.forms.AskParameters("T", *form, "", nullptr);
        EXPECT_TRUE(f.window.offers[1].items.empty()) << "the group box is hidden for the next form";
    }
    Forms f;
    const auto form = f.Read("BEGIN END");
    f.forms.OfferSorting(names, 1);
    f.window.sortChoice = 3;
    f.forms.AskParameters("T", *form, "", nullptr);
    EXPECT_EQ(f.forms.ChosenSort(), 3);
}

TEST(ParameterForms, WykonajErrorsKeepTheWindowOpenAndAreAskedAfresh) {
    Forms f;
    const std::string script =
        "[HELP WYKONAJ]\rBEGIN POZYCJA = 'A' IF POLE = '' PRINT('Wpisz A|A') ENDIF END\r";
    int clicks = 0;
    f.window.user = [&](HeadlessParameterWindow& w) {
        EXPECT_FALSE(w.Execute());
        EXPECT_FALSE(w.Execute());
        ++clicks;
        Type(w, "A", "jest");
        EXPECT_TRUE(w.Execute());
    };
    std::string values = "B|0|";
    ASSERT_TRUE(f.forms.AskItemParameters("T", "/nonexistent-velt/", "BEGIN\rFIELD 'A' ON 0, 0, 100\rEND\r", values,
                                          script));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.window.errors, (std::vector<std::vector<std::string>>{{"Wpisz A"}, {"Wpisz A"}}))
        << "the second click does not repeat the first click's error";
    EXPECT_EQ(values, "B|0|A|jest|");
}

TEST(ParameterForms, AFieldsOwnErrorAlsoKeepsTheWindowOpen) {
    Forms f;
    const auto form = f.Read("BEGIN DATE 'D' ON 0, 0, 100 END");
    f.window.user = [](HeadlessParameterWindow& w) {
        Type(w, "D", "31022003");
        EXPECT_FALSE(w.Execute());
        Type(w, "D", "28022003");
        EXPECT_TRUE(w.Execute());
    };
    EXPECT_EQ(f.forms.AskParameters("T", *form, "", nullptr), "D|20030228|");
    ASSERT_EQ(f.window.errors.size(), 1u);
    EXPECT_EQ(f.window.errors[0], std::vector<std::string>{"Błędna data \"31.02.2003\""_cp});
}

TEST(ParameterForms, TheBridgeRunsTheItemsScriptsAsTheParameterWindowDoes) {
    Forms f;
    const std::string form =
        "BEGIN\rFIELD 'A.1' ON 0, 0, 100\rFIELD 'B.1' ON 0, 30, 100\rTEXT 'T' ON 0, 60, 200, 40\rEND";
    const std::string script =
        "[SHOW T]\rBEGIN PRINT('pokazany') END\r"
        "[ENTER A.1]\rBEGIN TRACE('ENTER nie jest obsługiwane') END\r"
        "[CHANGE A.1]\rBEGIN GRUPA('B') POLE = 'z A' BACK PRINT('B.1') END\r"
        "[EXIT A.1]\rBEGIN TRACE('wyjście z A') GRUPA('A') IF POLE = 'x' PRINT('Sprawdź A|A.1') ENDIF BACK END\r"_cp;
    f.window.user = [](HeadlessParameterWindow& w) {
        EXPECT_NE(w.Control("T")->ShownText().find("pokazany"), std::string::npos) << "SHOW filled the text";
        Type(w, "A.1", "x");
        EXPECT_EQ(w.Control("B.1")->Text(), "z A") << "CHANGE refreshed B.1";
        EXPECT_TRUE(w.Control("B.1")->HasFocus()) << "and gave it the focus: A.1 was left";
        EXPECT_FALSE(w.Execute()) << "EXIT's error keeps the window open";
        Type(w, "A.1", "y");
        EXPECT_TRUE(w.Execute()) << "leaving A.1 again cleared its error";
    };
    std::string values;
    ASSERT_TRUE(f.forms.AskItemParameters("T", "/nonexistent-velt/", form, values, script));
    EXPECT_EQ(values, "A.1|y|B.1|z A|");
    EXPECT_EQ(f.window.traces, (std::vector<std::string>{"wyjście z A"_cp, "wyjście z A"_cp})) << "ENTER runs nothing";
    EXPECT_EQ(f.window.errors, std::vector<std::vector<std::string>>{{"Sprawdź A"_cp}});
    EXPECT_FALSE(f.forms.CurrentScript().empty());
}

TEST(ParameterForms, TheBridgeShowsTheMessagesOfBrokenTextsAndWritesNoFiles) {
    TempDir dir;
    dir.Write("proc.inc", "PROCEDURE sprawdz\nBEGIN PRINT('z pliku dołączonego|A') END\n"_cp);
    Forms f;
    const std::string script = "[HELP WYKONAJ]\r[PLIK proc.inc]\rBEGIN sprawdz END\r[EXIT A]\rBEGIN PRINT( END\r";
    f.window.user = [](HeadlessParameterWindow& w) { w.Execute(); };
    std::string values = "A|1|";
    EXPECT_FALSE(f.forms.AskItemParameters("T", dir.Path(), "BEGIN FIELD 'A' ON 0, 0 END", values, script));
    EXPECT_EQ(values, "A|1|") << "a cancel leaves the values";
    ASSERT_EQ(f.window.errors.size(), 1u);
    EXPECT_EQ(f.window.errors[0], std::vector<std::string>{"z pliku dołączonego"_cp})
        << "the include was read from the item's directory";
    // The form's error (a missing comma) and the script's are shown, each with its line.
    ASSERT_GE(f.window.messages.size(), 4u);
    EXPECT_EQ(f.window.messages[0], "Spodziewany przecinek [jest: END]");
    EXPECT_EQ(f.window.messages[1].rfind("Linia: ", 0), 0u);
    EXPECT_NE(f.window.messages[2].find("act.tmp"), std::string::npos) << f.window.messages[2];
    EXPECT_EQ(f.window.messages[3].rfind("Linia ", 0), 0u) << f.window.messages[3];
    EXPECT_EQ(TempDir::List(dir.Path()), std::vector<std::string>{"proc.inc"}) << "no epr.tmp, no act.tmp";
}

TEST(ParameterForms, AFormFileIsReadAndAMissingOneShowsNoWindow) {
    TempDir dir;
    Forms f;
    const std::string file = dir.Write("formularz.txt", "BEGIN\r\nFIELD 'A' ON 0, 0, 100\r\nEND\r\n");
    EXPECT_EQ(f.forms.AskParametersFromFile("T", file, "A|1|"), "A|1|");
    EXPECT_EQ(f.forms.AskParametersFromFile("T", dir.Path() + "brak.txt", "A|1|"), "");
    EXPECT_EQ(f.window.shown, 1);
    EXPECT_EQ(f.window.messages, std::vector<std::string>{"Brak pliku \"" + dir.Path() + "brak.txt\""});
}

TEST(ParameterForms, OneFormAtATime) {
    Forms f;
    const auto form = f.Read("BEGIN FIELD 'A' ON 0, 0, 100 END");
    std::string inner = "?";
    f.window.user = [&](HeadlessParameterWindow& w) {
        inner = f.forms.AskParameters("Drugi", *form, "A|2|", nullptr);
        w.Execute();
    };
    EXPECT_EQ(f.forms.AskParameters("T", *form, "A|1|", nullptr), "A|1|");
    EXPECT_EQ(inner, "") << "a form asked while one is open is not shown";
    EXPECT_EQ(f.window.shown, 1);
    EXPECT_EQ(f.window.traces, std::vector<std::string>{"Okno parametrów jest już otwarte"_cp});
}

TEST(ParameterForms, TheWindowIsAsWideAsTheFormOrItsBottomPanel) {
    Forms f;
    const auto narrow = f.Read("BEGIN FIELD 'A' ON 10, 10, 50 END");
    const auto wide = f.Read("BEGIN FIELD 'A' ON 10, 400, 600 END");
    struct Case {
        const my_formular* form;
        bool sort;
        int width, height;
    };
    for (const Case& c : {Case{narrow.get(), false, 93, 86}, Case{narrow.get(), true, 311, 86},
                          Case{wide.get(), true, 612, 476}}) {
        const WindowSize size = ParameterWindowSize(*c.form, ParameterSettings({}), 46, 88, 306, c.sort);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
    }
}
