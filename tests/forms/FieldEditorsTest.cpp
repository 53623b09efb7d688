// The field editors over headless controls: events and their order, what
// is stored when, conversions through the controls, read-only fields.

#include "FormHarness.h"

#include "text/CpLiteral.h"

#include "support/Hex.h"
#include "support/TempDir.h"

using namespace velt;
using test::LaidForm;

using Events = std::vector<std::string>;

TEST(FieldEditors, EventsInTheirOrder) {
    LaidForm f("BEGIN FIELD 'A' ON 0, 0, 50 FIELD 'B' ON 0, 30, 50 LABEL 'l' ON 0, 60 "
               "MENU 'm|M|' LABEL 'Menu' ON 0, 90 END");
    f.Build();
    // SHOW for every editor with a field id, before it reads the value.
    EXPECT_EQ(f.host.Take(), (Events{"SHOW A", "SHOW B"}));
    f.Control("A").UserFocus();
    f.Control("A").UserType("ab");
    f.Control("B").UserFocus();
    EXPECT_EQ(f.host.Take(), (Events{"ENTER A", "CHANGE A", "EXIT A", "ENTER B"}));
    EXPECT_EQ(f.record.GetValue("A"), "ab");
    // Commit stores the focused control as on leaving it; hiding the form afterwards says nothing more.
    f.Control("B").UserType("c");
    f.form->Commit();
    f.sheet->SetVisible(false);
    EXPECT_EQ(f.host.Take(), (Events{"CHANGE B", "EXIT B"}));
}

TEST(FieldEditors, ASHOWScriptCanSupplyTheValueBeforeItIsRead) {
    LaidForm f("BEGIN FIELD 'A' ON 0, 0, 50 END");
    f.host.respond = [](int event, my_record& r, const std::string& field) {
        if (event == kFormShow) r.SetValue(field, "from SHOW");
        return std::vector<std::string>{};
    };
    f.Build();
    EXPECT_EQ(f.Control("A").Text(), "from SHOW");
}

TEST(FieldEditors, RefreshReloadsWithoutChangeAndTakesTheFocus) {
    LaidForm f("BEGIN FIELD 'A' ON 0, 0, 50 FIELD 'B' ON 0, 30, 50 END");
    f.Build();
    f.Control("A").UserFocus();
    f.host.Take();
    f.record.SetValue("B", "set by a script");
    f.form->Refresh("B");
    EXPECT_EQ(f.Control("B").Text(), "set by a script");
    EXPECT_TRUE(f.Control("B").HasFocus());
    EXPECT_EQ(f.host.Take(), (Events{"EXIT A", "ENTER B"})) << "loading raises no CHANGE";
    // A field made read-only by a script refuses input and says no EXIT.
    f.record.SetReadOnly("B", 1);
    f.form->Refresh("B");
    EXPECT_TRUE(f.Control("B").ReadOnly());
    f.Control("B").UserType("no");
    f.Control("A").UserFocus();
    EXPECT_EQ(f.record.GetValue("B"), "set by a script");
    EXPECT_EQ(f.host.Take(), (Events{"ENTER A"}));
}

TEST(FieldEditors, LeavingClearsTheFieldsErrorsEvenUnchanged) {
    LaidForm f("BEGIN FIELD 'A' ON 0, 0, 50 FIELD 'B' ON 0, 30, 50 END");
    f.record.AddError("whole record", "*");
    f.record.AddError("only B", "B");
    f.Build();
    f.Control("A").UserFocus();
    f.Control("B").UserFocus();
    ASSERT_EQ(f.record.errors().size(), 1u);
    EXPECT_EQ(f.record.errors()[0].message, "only B");
}

TEST(FieldEditors, OpeningARecordNeverModifiesIt) {
    LaidForm f(
        "BEGIN DATE 'D' ON 0,0,80 NUMBER 'N' MASK 5 ON 0,30,80 NUMBER 'N2' MASK 8, 2 ON 0,60,80 "
        "SPIN 'S' MASK 3 ON 0,90,40 SPIN 'S2' MASK 3 ON 0,120,40 COMBO 'C' MASK 'A|Alfa|B||' ON 0,150,80 "
        "COMBO 'C2' MASK 'A|Alfa|' ON 0,180,80 MEMO 'M' ON 0,210,100,40 MEMO 'ML' MULTILINE ON 0,260,100,40 "
        "MARKERS 'K' MASK '^|a|A|' ON 0,310,100,0 CHECK 'X' MASK 'x' ON 0,340,50 FIELD 'F' LIMIT 3 ON 0,370,50 END");
    f.record.AddField("D", "2003", 0);
    f.record.AddField("N", "123456789", 0);
    f.record.AddField("N2", "12.5", 0);
    f.record.AddField("S", "abc", 0);
    f.record.AddField("S", "abc", 0);
    f.record.AddField("S2", "", 1);
    f.record.AddField("C", "C", 0);
    f.record.AddField("C2", "", 1);
    f.record.AddField("M", "a\x1b/b\x1bU0141\x1a", 0);
    f.record.AddField("ML", "a\x1b/b", 0);
    f.record.AddField("K", "^zx^^y^", 0);
    f.record.AddField("X", "t", 0);
    f.record.AddField("F", "longer than three", 0);
    f.Build();
    EXPECT_FALSE(f.record.IsModified());
    EXPECT_EQ(f.Control("S").Value(), 1) << "shows the minimum";
    EXPECT_EQ(f.Control("C").Value(), 0) << "shows the first entry";
    // Going through every control without typing stores nothing either.
    for (const char* id : {"D", "N", "N2", "S", "C", "M", "ML", "K", "X", "F", "D"}) f.Control(id).UserFocus();
    EXPECT_FALSE(f.record.IsModified());
    for (const auto& field : f.record.fields()) EXPECT_BYTES_EQ(field.value, field.loaded);
    EXPECT_EQ(f.record.GetValue("S2"), "") << "never into a read-only field";
}

TEST(FieldEditors, DatesThroughTheMaskedEdit) {
    LaidForm f("BEGIN DATE 'D' ON 0, 0, 80 FIELD 'O' ON 0, 30, 50 END");
    f.record.AddField("D", "20031015", 0);
    f.Build();
    EXPECT_EQ(f.Control("D").ShownText(), "15.10.2003");
    EXPECT_EQ(f.Control("D").Font().face, "Courier New");
    EXPECT_EQ(f.Control("D").Font().height, -14);
    struct Case {
        const char* typed;
        std::string stored, error;
    } cases[] = {
        {"15102003", "20031015", ""},
        {"1510 003", " 0031015", "Data powinna mieć postać DD.MM.RRRR"_cp},
        {"31022003", "20030231", "Błędna data \"31.02.2003\""_cp},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        f.record.ClearErrors();
        f.Control("D").UserType(c.typed);
        f.Control("O").UserFocus();
        EXPECT_BYTES_EQ(f.record.GetValue("D"), c.stored);
        if (c.error.empty()) {
            EXPECT_TRUE(f.record.errors().empty()) << c.typed;
        } else {
            ASSERT_EQ(f.record.errors().size(), 1u) << c.typed;
            EXPECT_BYTES_EQ(f.record.errors()[0].message, c.error);
            EXPECT_EQ(f.record.errors()[0].keys, "D");
        }
    }
}

TEST(FieldEditors, NumbersThroughTheMaskedEdit) {
    FormSettings s;
    s.decimalSeparator = '.';
    LaidForm f("BEGIN NUMBER 'N' MASK 8, 2 ON 0, 0, 80 NUMBER 'W' MASK 5 ON 0, 30, 80 FIELD 'O' ON 0, 60, 50 END", s);
    f.record.AddField("N", "   12.50", 0);
    f.Build();
    EXPECT_EQ(f.Control("N").ShownText(), "   12,50");
    EXPECT_EQ(f.Control("N").Text(), "   1250");
    f.Control("N").UserType("12");
    f.Control("O").UserFocus();
    EXPECT_BYTES_EQ(f.record.GetValue("N"), "   12.00");
    EXPECT_EQ(f.Control("N").ShownText(), "   12,00") << "shown again from the record after EXIT";
    f.Control("W").UserType("12");
    f.Control("O").UserFocus();
    EXPECT_BYTES_EQ(f.record.GetValue("W"), "   12");
    f.Control("W").UserType("");
    f.Control("O").UserFocus();
    EXPECT_EQ(f.record.GetValue("W"), "");
}

TEST(FieldEditors, SpinEditsKeepTheirRangeAndStoreRightAligned) {
    LaidForm f("BEGIN SPIN 'S' MASK 3 LIMIT 2, 50 ON 0, 0, 40 FIELD 'O' ON 0, 30, 50 END");
    f.record.AddField("S", "abc", 0);
    f.Build();
    EXPECT_EQ(f.Control("S").Value(), 2);
    EXPECT_EQ(f.Control("S").Minimum(), 2);
    EXPECT_EQ(f.Control("S").Maximum(), 50);
    f.host.Take();
    f.Control("S").UserType("7");
    EXPECT_EQ(f.record.GetValue("S"), "  7");
    f.Control("S").UserType("70");
    EXPECT_EQ(f.record.GetValue("S"), " 50");
    f.Control("O").UserFocus();
    EXPECT_EQ(f.host.Take(), (Events{"ENTER S", "CHANGE S", "CHANGE S", "EXIT S", "ENTER O"}));
}

TEST(FieldEditors, MemosStoreLineBreaksAsEscSlash) {
    LaidForm f("BEGIN MEMO 'M' LIMIT 20 ON 0,0,100,40 MEMO 'L' MULTILINE ON 0,50,100,40 FIELD 'O' ON 0,100,50 END");
    f.record.AddField("L", "a\x1b/b", 0);
    f.Build();
    EXPECT_EQ(f.Control("L").Text(), "a\r\nb");
    EXPECT_TRUE(f.Control("L").AcceptsReturn());
    EXPECT_FALSE(f.Control("M").AcceptsReturn());
    EXPECT_EQ(f.Control("M").MaxLength(), 20);
    f.Control("L").UserType("x\r\ny");
    EXPECT_BYTES_EQ(f.record.GetValue("L"), "x\x1b/y");
    // Without MULTILINE a pasted text arrives as one line.
    f.Control("M").UserPaste("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(f.record.GetValue("M"), "one two three four");
    f.Control("M").UserType("tab\there");
    EXPECT_EQ(f.record.GetValue("M"), "tabhere");
}

TEST(FieldEditors, MarkerMemosShowCodesAndStoreTheMarkers) {
    LaidForm f("BEGIN MARKERS 'K' MASK '^|a|Tytuł|bb|Podtytuł|' ON 0, 0, 200, 0 FIELD 'O' ON 0, 30, 50 END"_cp);
    f.record.AddField("K", "^aTitle^bSub^zkeep", 0);
    f.Build();
    HeadlessControl& k = f.Control("K");
    EXPECT_EQ(k.ShownText(), "aTitlebSub^zkeep");
    EXPECT_FALSE(k.WordWrap()) << "without a height: one line";
    EXPECT_EQ(k.Geometry().height, 21);
    k.UserFocus();
    k.Markers().Select(6, 6, true);
    ASSERT_TRUE(k.Markers().Delete());
    k.UserChanged();
    EXPECT_EQ(f.record.GetValue("K"), "^aTitleSub^zkeep") << "the unknown marker is stored back unchanged";
}

TEST(FieldEditors, CombosChooseValuesAndCheckBoxesStoreTF) {
    LaidForm f("BEGIN COMBO 'C' MASK 'A|Alfa|B||' ON 0, 0, 80 CHECK 'X' MASK 'Tak' ON 0, 30, 80 FIELD 'O' ON 0, 60, 50 END");
    f.record.AddField("C", "B", 0);
    f.record.AddField("X", "t", 0);
    f.Build();
    EXPECT_EQ(f.Control("C").Items(), (std::vector<std::string>{"Alfa", "*"}));
    EXPECT_EQ(f.Control("C").Value(), 1);
    EXPECT_FALSE(f.Control("X").IsChecked()) << "only T is checked";
    EXPECT_EQ(f.Control("X").ShownText(), "[ ] Tak");
    f.record.AddError("e", "C|X");
    f.host.Take();
    f.Control("C").UserChoose(0);
    EXPECT_EQ(f.record.GetValue("C"), "A");
    EXPECT_TRUE(f.record.errors().empty());
    f.Control("X").UserClick();
    EXPECT_EQ(f.record.GetValue("X"), "T");
    f.Control("X").UserClick();
    EXPECT_EQ(f.record.GetValue("X"), "F");
    f.Control("O").UserFocus();
    EXPECT_EQ(f.host.Take(), (Events{"ENTER C", "CHANGE C", "EXIT C", "ENTER X", "CHANGE X", "CHANGE X", "EXIT X",
                                     "ENTER O"}));
    // Read-only: disabled, nothing to choose.
    f.record.SetReadOnly("C", 1);
    f.form->Refresh("C");
    EXPECT_FALSE(f.Control("C").IsEnabled());
}

TEST(FieldEditors, ButtonsSpeedButtonsAndMenusSayHelpThenExit) {
    test::TempDir dir;
    dir.Write("s.bmp", "BM");
    FormSettings s;
    s.pictureDirectory = dir.Path();
    LaidForm f("BEGIN LIST 'i' OF 1 ON 0, 0, 300, 30 BEGIN BUTTON 'B.i' MASK 'OK' DEFAULT ON 0, 0, 75, 25 "
               "SPEED 'S.i' MASK 's.bmp' ON 80, 0, 20, 20 MENU '|Sub|m.i|Item|||n.i|Other|' LABEL 'Menu' ON 110, 0 END "
               "FIELD 'O' ON 0, 60, 50 END",
               s);
    f.Build();
    EXPECT_TRUE(f.Control("B.1").IsDefault());
    EXPECT_EQ(f.Control("S.1").Picture().name, "s.bmp");
    f.Control("O").UserFocus();
    f.host.Take();
    f.Control("B.1").UserClick();
    f.Control("S.1").UserClick();
    EXPECT_EQ(f.host.Take(), (Events{"HELP B.1", "EXIT B.1", "EXIT O", "HELP S.1", "EXIT S.1"}));
    const auto menus = f.controls.OfKind(ControlKind::MenuLabel);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_TRUE(menus[0]->Font().underline);
    ASSERT_EQ(menus[0]->Menu().size(), 2u);
    EXPECT_EQ(menus[0]->Menu()[0].entries[0].caption, "Item");
    menus[0]->UserClick();
    menus[0]->UserChoose(1);
    EXPECT_EQ(f.host.Take(), (Events{"HELP n.1"})) << "the item's id is substituted";
    f.record.SetReadOnly("B.1", 1);
    f.form->Refresh("B.1");
    EXPECT_FALSE(f.Control("B.1").IsEnabled());
    f.Control("B.1").UserClick();
    EXPECT_TRUE(f.host.Take().empty());
}

TEST(FieldEditors, TheLookupButtonStoresAsksAndReloads) {
    LaidForm f("BEGIN DICTIONARY 'K' ON 0, 0, 200 END");
    f.record.AddField("K", "Mick", 0);
    f.host.respond = [](int event, my_record& r, const std::string& field) {
        if (event == kFormHelp) r.SetValue(field, r.GetValue(field) + "iewicz, Adam");
        return std::vector<std::string>{};
    };
    f.Build();
    std::vector<FormControl*> controls;
    f.Editor("K")->Controls(controls);
    auto& button = static_cast<HeadlessControl&>(*controls[1]);
    EXPECT_EQ(button.Hint(), "Wyszukaj w kartotece wzorcowej");
    button.UserClick();
    EXPECT_EQ(f.Control("K").Text(), "Mickiewicz, Adam");
    EXPECT_TRUE(f.Control("K").HasFocus());
    EXPECT_EQ(f.record.GetValue("K"), "Mickiewicz, Adam");
}

TEST(FieldEditors, FormattedTextComesFromSHOW) {
    LaidForm f("BEGIN TEXT 'T' ON 0, 0, 200, 60 END");
    int shows = 0;
    f.host.respond = [&](int event, my_record&, const std::string&) {
        if (event != kFormShow) return std::vector<std::string>{};
        ++shows;
        return std::vector<std::string>{"Ala\x1b" "CR\x1a" "ma", "kota " + std::to_string(shows)};
    };
    f.Build();
    HeadlessControl& t = f.Control("T");
    EXPECT_TRUE(t.ReadOnly());
    EXPECT_EQ(t.Text(), "Ala ma kota 1");
    ASSERT_EQ(t.Runs().size(), 3u);
    EXPECT_EQ(t.Runs()[1].color, 0xFF0000u);
    f.form->Refresh("T");
    EXPECT_EQ(t.Text(), "Ala ma kota 2");
    EXPECT_FALSE(f.form->FocusFirst()) << "formatted text takes no focus by itself";
}

TEST(FieldEditors, PasswordsAndLimits) {
    LaidForm f("BEGIN FIELD 'P' LIMIT 4 PASSWORD ON 0, 0, 50 FIELD 'U' ON 0, 30, 50 END");
    f.Build();
    f.Control("P").UserType("secret");
    EXPECT_EQ(f.record.GetValue("P"), "secr");
    EXPECT_EQ(f.Control("P").ShownText(), "****");
    EXPECT_EQ(f.Control("U").MaxLength(), 0) << "no LIMIT: no limit at all";
}
