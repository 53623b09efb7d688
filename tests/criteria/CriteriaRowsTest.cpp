// The criteria panel's rows without a catalogue: what each remembers and
// adds to the query, how a remembered text comes back, the form row's
// "WYKONAJ", the filters' description, the panel's placement, and the
// remembered values in the configuration file.

#include "criteria/CriteriaPanel.h"

#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

velt_criterium Criterion(const std::string& name, const std::string& type = "INDEX", const std::string& form = {},
                         const std::string& action = {}) {
    velt_criterium c;
    c.Name = name;
    c.Type = type;
    c.Form = form;
    c.Action = action;
    return c;
}

}  // namespace

TEST(IndexRows, TheirPartQuotesAndEscapesAndTheirTextComesBackAsTyped) {
    const velt_criterium author = Criterion("autor");
    IndexRow row(author, "");
    EXPECT_EQ(row.Kind(), 0);
    EXPECT_EQ(row.QueryPart(row.ValueText()), "") << "nothing typed";
    row.SetText("   ");
    EXPECT_EQ(row.QueryPart(row.ValueText()), "") << "blanks only";
    EXPECT_FALSE(row.ClearVisible());
    row.SetText("Kow\"al");
    row.SetKind(3);  // pełne pole
    EXPECT_EQ(row.QueryPart(row.ValueText()), "\"autor\" RÓWNY \"Kow\\\"al\""_cp);
    // A text ending in a backslash cannot escape its closing quote.
    row.SetText("C:\\");
    EXPECT_EQ(row.QueryPart(row.ValueText()), "\"autor\" RÓWNY \"C:\\\\\""_cp);
    // "|" and a typed backslash, remembered and back unchanged.
    for (const std::string typed : {"a|b", "a\\\\b|c\\", "x\x1B" "1y"}) {
        row.SetText(typed);
        row.SetKind(1);
        const std::string remembered = row.ValueText();
        EXPECT_EQ(remembered.rfind("C.1|", 0), 0u);
        IndexRow again(author, remembered);
        if (typed.find('\x1B') == std::string::npos) EXPECT_EQ(again.Text(), typed) << remembered;
        EXPECT_EQ(again.Kind(), 1);
    }
    // A remembered kind the list does not have: the first one.
    EXPECT_EQ(IndexRow(author, "C.1|x|C.2|DOWOLNY|").Kind(), 0);
    EXPECT_EQ(IndexKindList().rfind("POCZĄTEK|początek pola|SŁOWO|"_cp, 0), 0u);
}

TEST(ChoiceRows, NothingChosenWithAFormOrWithout) {
    const velt_criterium covers = Criterion("z okładką"_cp, "WYBÓR"_cp);
    ChoiceRow plain(covers, "");
    EXPECT_EQ(plain.Display(), "nie wybrane"_cp);
    EXPECT_EQ(plain.QueryPart(plain.ValueText()), "");
    plain.SetChosen("||");
    EXPECT_EQ(plain.Display(), "wybrane");
    EXPECT_EQ(plain.QueryPart(plain.ValueText()), "\"z okładką\""_cp);
    const velt_criterium years = Criterion("Rok wydania", "WYBÓR"_cp, "BEGIN\rEND\r");
    ChoiceRow withForm(years, "R.1|1990|R.2||R.3|\"x\\|");
    EXPECT_EQ(withForm.Display(), "\"1990\" \"\"x\\\" ");
    EXPECT_EQ(withForm.QueryPart(withForm.ValueText()), "\"Rok wydania\" \"R.1|1990|R.2||R.3|\\\"x\\\\|\"");
}

TEST(FormRows, TheFormsOwnFieldsAreTheValueAndWykonajRunsOncePerExecution) {
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string("/nonexistent/"); });
    const velt_criterium c = Criterion(
        "Język tekstu"_cp, "WYBÓR"_cp,
        "BEGIN\rCOMBO 'J.1' MASK '|dowolny|pol|polski|' ON 8, 8, 120\rFIELD 'N.1' ON 8, 40, 60\rEND\r",
        "[HELP WYKONAJ]\rBEGIN GRUPA('N') POZYCJA = '.1' POLE = SUCC(POLE) BACK END\r");
    FormRow row(c, "J.1|pol|obcy|x|N.1|4|", forms, "/nonexistent/");
    ASSERT_NE(row.Form(), nullptr) << ::testing::PrintToString(window.messages);
    EXPECT_EQ(row.Record().GetValue("J.1"), "pol");
    row.Record().SetValue("J.1", "a|b");
    const std::string value = row.ValueText();
    EXPECT_EQ(value, "J.1|a\x1B" "1b|N.1|5|") << "a field the form has not is left out" << ::testing::PrintToString(window.traces);
    EXPECT_EQ(row.QueryPart(value), "\"Język tekstu\" \"J.1|a\x1B" "1b|N.1|5|\""_cp);
    // An empty form still restricts by its criterion: the part is always sent.
    const velt_criterium bare = Criterion("Język tekstu"_cp, "WYBÓR"_cp, "BEGIN\rFIELD 'J.1' ON 8, 8, 60\rEND\r");
    FormRow empty(bare, "", forms, "/nonexistent/");
    EXPECT_EQ(empty.QueryPart(empty.ValueText()), "\"Język tekstu\" \"\""_cp);
}

TEST(FilterRows, OnlyTheFiltersThatDifferFromTheFirstRunAreNamed) {
    std::vector<velt_filter> filters(3);
    filters[0].Name = "z okładką"_cp;
    filters[1].Name = "zatwierdzone";
    filters[2].Name = "nowe";
    EXPECT_EQ(FilterDescription(filters, "NTN", "NTN"), "domyślny"_cp);
    EXPECT_EQ(FilterDescription(filters, "NTN", "TNN"), "z okładką NIE zatwierdzone"_cp);
    EXPECT_EQ(FilterDescription(filters, "", "TNN"), "domyślny"_cp) << "no baseline: nothing changed";
    EXPECT_EQ(FilterDescription(filters, "NTNTT", "NTTNN"), "nowe") << "flags past the filters are not named";
}

TEST(PanelPlacement, RowsStackAndScrollPastTheWorkArea) {
    const std::vector<RowSize> rows = {{410, 40}, {520, 120}, {410, 40}};
    PanelGeometry g = PlacePanel(rows, 1.0, 0, 50, 1000);
    EXPECT_EQ(g.tops, (std::vector<int>{0, 40, 160}));
    EXPECT_EQ(g.contentHeight, 200);
    EXPECT_EQ(g.windowHeight, 250);
    EXPECT_EQ(g.clientWidth, 520);
    EXPECT_FALSE(g.scrolls);
    g = PlacePanel(rows, 1.5, 700, 50, 240);
    EXPECT_TRUE(g.scrolls);
    EXPECT_EQ(g.windowHeight, 190);
    EXPECT_EQ(g.scrollHeight, 140);
    EXPECT_EQ(g.clientWidth, 615) << "410 at the zoom, wider than any row";
}

TEST(RememberedValues, LineBreaksAndBadNamesNeverMakeKeysOrSectionsOfTheirOwn) {
    TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", "[KATALOG]\r\nnazwa=x\r\n[KRYTERIA]\r\nautor=C.1|Prus|C.2|RÓWNY|\r\n"_cp);
    RememberedValues values;
    {
        TMultiIniFile file(ini);
        values.Read(file);
    }
    EXPECT_EQ(values.Get("autor"), "C.1|Prus|C.2|RÓWNY|"_cp);
    values.Set("autor", "C.1|a\r\n[KATALOG]\r\nnazwa=zmiana|C.2|POCZĄTEK|"_cp);
    values.Set("zła=nazwa"_cp, "x");
    values.Set("[sekcja]", "x");
    values.Set("tytuł"_cp, "C.1|\x1B" "r|");
    {
        ProfileFile file(ini);
        EXPECT_TRUE(values.Write(file));
        EXPECT_EQ(file.Save(), "");
    }
    const std::string text = TempDir::Read(ini);
    EXPECT_EQ(text.find("zła"_cp), std::string::npos);
    EXPECT_EQ(text.find("[sekcja]"), std::string::npos);
    TMultiIniFile again(ini);
    EXPECT_EQ(again.ReadString("KATALOG", "nazwa", ""), "x") << text;
    RememberedValues back;
    back.Read(again);
    EXPECT_EQ(back.Get("autor"), "C.1|a\r\n[KATALOG]\r\nnazwa=zmiana|C.2|POCZĄTEK|"_cp);
    EXPECT_EQ(back.Get("tytuł"_cp), "C.1|\x1B" "r|") << "an escape of the value itself survives too";
    EXPECT_EQ(back.Entries().size(), 2u);
}
