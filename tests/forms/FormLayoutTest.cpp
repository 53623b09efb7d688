// Laying forms out: rectangles at the zooms the editing window offers, the
// list's rows, scroll bar and markers, tab pages, sub-forms, dynamic areas.

#include "FormHarness.h"

#include "text/CpLiteral.h"

#include "support/TempDir.h"

using namespace velt;
using test::LaidForm;

namespace {

const char* kGeometry =
    "BEGIN\n"
    " FIELD 'F' ON 13, 7, 101\n"
    " LIST 'i' OF 3 ON 5, 40, 300, 60 BEGIN FIELD 'L.i' ON 2, 1, 50 END\n"
    " DICTIONARY 'K' ON 10, 120, 200\n"
    " MARKERS 'MK' MASK '^|a|A|' ON 10, 150, 90, 0\n"
    "END\n";

}  // namespace

TEST(FormLayout, RectanglesAtEveryZoom) {
    // Expected values from Python's round (halves to even) of the form units times the zoom.
    struct Case {
        double zoom;
        PixelRect field, bar, row2, row2field, upper, lower, edit, lookup, markers;
        int right, bottom;
    } cases[] = {
        {1.0, {13, 7, 101, 20}, {306, 43, 16, 50}, {5, 59, 300, 19}, {7, 60, 50, 20}, {306, 39, 16, 2},
         {306, 94, 16, 2}, {10, 120, 180, 20}, {190, 120, 20, 20}, {10, 150, 90, 21}, 325, 171},
        {1.24, {16, 9, 125, 25}, {379, 53, 16, 62}, {6, 73, 372, 24}, {8, 74, 62, 25}, {379, 49, 16, 2},
         {379, 116, 16, 2}, {12, 149, 223, 25}, {236, 149, 25, 25}, {12, 186, 112, 26}, 403, 212},
        {1.36, {18, 10, 137, 27}, {416, 58, 16, 68}, {7, 80, 408, 26}, {10, 81, 68, 27}, {416, 54, 16, 2},
         {416, 127, 16, 2}, {14, 163, 245, 27}, {258, 163, 27, 27}, {14, 204, 122, 28}, 442, 232},
        {1.75, {23, 12, 177, 35}, {536, 75, 16, 88}, {9, 103, 525, 33}, {13, 105, 88, 35}, {536, 71, 16, 2},
         {536, 164, 16, 2}, {18, 210, 315, 35}, {332, 210, 35, 35}, {18, 262, 158, 36}, 569, 299},
    };
    for (const auto& c : cases) {
        FormSettings s;
        s.zoom = c.zoom;
        LaidForm f(kGeometry, s);
        f.Build();
        SCOPED_TRACE(c.zoom);
        EXPECT_EQ(LaidForm::OnSheet(f.Control("F")), c.field);
        const ed_list* list = f.Find<ed_list>();
        ASSERT_TRUE(list);
        EXPECT_EQ(list->MainControl()->Geometry(), c.bar);
        EXPECT_EQ(list->UpperMarker().Geometry(), c.upper);
        EXPECT_EQ(list->LowerMarker().Geometry(), c.lower);
        const auto* row2 = static_cast<const HeadlessControl&>(f.Control("L.2")).ParentControl();
        ASSERT_TRUE(row2);
        EXPECT_EQ(row2->Geometry(), c.row2);
        EXPECT_EQ(LaidForm::OnSheet(f.Control("L.2")), c.row2field);
        EXPECT_EQ(LaidForm::OnSheet(f.Control("K")), c.edit);
        std::vector<FormControl*> khw;
        f.Editor("K")->Controls(khw);
        ASSERT_EQ(khw.size(), 2u);
        EXPECT_EQ(LaidForm::OnSheet(*khw[1]), c.lookup);
        EXPECT_EQ(LaidForm::OnSheet(f.Control("MK")), c.markers);
        EXPECT_EQ(f.read.root->RightEdge(s), c.right);
        EXPECT_EQ(f.read.root->BottomEdge(s), c.bottom);
        // The fixed heights and the fonts scale with the zoom.
        EXPECT_EQ(f.Control("F").Font().height, RoundHalfEven(-11 * c.zoom));
        EXPECT_TRUE(f.Control("F").Font().bold);
    }
}

TEST(FormLayout, EdgesOfEveryClass) {
    LaidForm f(
        "BEGIN LABEL 'l' ON 400, 500 TEXT 't' ON 10, 10, 30, 40 MEMO 'm' ON 10, 10, 50, 60 "
        "BUTTON 'b' MASK 'B' ON 10, 10, 70, 80 FORM 'f' MASK 'c' ON 10, 10, 0, 0 BEGIN END "
        "DYNAMIC 'd' OF 'n' ON 10, 10, 90, 100 END MARKERS 'k' MASK '' ON 10, 10, 20, 30 "
        "MENU 'a|A|' LABEL 'M' ON 10, 10 ON 7, 9 BEGIN FIELD 'g' ON 1, 2, 3 END END");
    FormSettings s;
    s.zoom = 1.5;
    struct Case {
        std::size_t index;
        int right, bottom;
    } cases[] = {
        {0, 600, 750},  // a label: its x and y only
        {1, 60, 75}, {2, 90, 105}, {3, 120, 135},
        {4, 45, 45},    // a sub-form: its 20 by 20 button
        {5, 158, 165},  // a dynamic area: 5 more for its scroll bar
        {6, 45, 60}, {7, 15, 45},
        // a group: its children's edges after its own x and y in pixels (10.5 and 13.5 to even), its x in units
        {8, 16, 47},
    };
    for (const auto& c : cases) {
        const my_formular& o = *f.read.root->children.at(c.index);
        EXPECT_EQ(o.RightEdge(s), c.right) << o.ClassName();
        EXPECT_EQ(o.BottomEdge(s), c.bottom) << o.ClassName();
    }
}

TEST(FormLayout, ListOfThreeRowsSixtyHighHasRows19AndABar50) {
    LaidForm f("BEGIN LIST 'i' OF 3 ON 0, 0, 100, 60 BEGIN FIELD 'A.i' ON 0, 0, 50 END END");
    f.Build();
    const ed_list* list = f.Find<ed_list>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->MainControl()->Geometry(), (PixelRect{101, 3, 16, 50}));
    EXPECT_EQ(f.Ids(), (std::vector<std::string>{"A.1", "A.2", "A.3"}));
    EXPECT_EQ(static_cast<const HeadlessControl*>(list->MainControl())->Maximum(), 999);
    FormSettings s;
    s.maxOccurrence = 200;
    LaidForm g("BEGIN LIST 'i' OF 3 ON 0, 0, 100, 60 BEGIN END END", s);
    g.Build();
    EXPECT_EQ(static_cast<const HeadlessControl*>(g.Find<ed_list>()->MainControl())->Maximum(), 200);
}

TEST(FormLayout, ScrollingShowsLaterOccurrencesAndTheMarkersSayWhatIsHidden) {
    LaidForm f("BEGIN LIST 'i' OF 3 ON 0, 0, 100, 60 BEGIN FIELD 'A.i' ON 0, 0, 50 NO 'i' ON 60, 0 END END");
    f.record.AddField("A.2", "two", 0);
    f.record.AddField("A.9", "nine", 0);
    f.record.AddField("B.20", "other", 0);
    f.Build();
    ed_list* list = f.Find<ed_list>();
    EXPECT_FALSE(list->UpperMarker().IsVisible());
    EXPECT_TRUE(list->LowerMarker().IsVisible()) << "occurrence 9 lies below the rows shown";

    static_cast<HeadlessControl&>(const_cast<FormControl&>(*list->MainControl())).UserScroll(5);
    EXPECT_EQ(f.Ids(), (std::vector<std::string>{"A.5", "A.6", "A.7"}));
    EXPECT_EQ(f.controls.OfKind(ControlKind::Label)[0]->Text(), "5") << "NO with the list variable: the row number";
    EXPECT_TRUE(list->UpperMarker().IsVisible()) << "occurrence 2 lies above";
    EXPECT_TRUE(list->LowerMarker().IsVisible());
    EXPECT_TRUE(list->MainControl()->HasFocus());

    // The lower marker goes to the last occurrence present, the upper one to 1.
    static_cast<HeadlessControl&>(const_cast<FormControl&>(list->LowerMarker())).UserClick();
    EXPECT_EQ(list->Position(), 9);
    EXPECT_EQ(f.Ids().front(), "A.9");
    EXPECT_FALSE(list->LowerMarker().IsVisible());
    static_cast<HeadlessControl&>(const_cast<FormControl&>(list->UpperMarker())).UserClick();
    EXPECT_EQ(list->Position(), 1);
    EXPECT_EQ(f.Ids().front(), "A.1");
    // Only as many row editors as rows, whatever the scrolling did.
    EXPECT_EQ(list->Children().size(), 3u);
}

TEST(FormLayout, ScrollingStoresTheRowBeingEditedFirst) {
    LaidForm f("BEGIN LIST 'i' OF 2 ON 0, 0, 100, 40 BEGIN FIELD 'A.i' ON 0, 0, 50 END END");
    f.Build();
    f.Control("A.2").UserType("typed");
    f.host.Take();
    f.Find<ed_list>()->ScrollTo(2);
    EXPECT_EQ(f.host.Take(), (std::vector<std::string>{"EXIT A.2", "SHOW A.2", "SHOW A.3"}));
    EXPECT_EQ(f.record.GetValue("A.2"), "typed");
    EXPECT_EQ(f.Control("A.2").Text(), "typed");
}

TEST(FormLayout, TheWheelMovesTheListByOneRow) {
    LaidForm f("BEGIN LIST 'i' OF 2 ON 0, 0, 100, 40 BEGIN FIELD 'A.i' ON 0, 0, 50 END END");
    f.Build();
    f.Control("A.1").UserFocus();
    EXPECT_TRUE(f.form->Wheel(-1));
    EXPECT_EQ(f.Find<ed_list>()->Position(), 2);
    EXPECT_TRUE(f.form->Wheel(3));
    EXPECT_EQ(f.Find<ed_list>()->Position(), 1);
    EXPECT_TRUE(f.form->Wheel(1)) << "a list always takes the wheel";
    EXPECT_EQ(f.Find<ed_list>()->Position(), 1);
}

TEST(FormLayout, AnInnerListSeesTheOuterVariableReplacedFirst) {
    LaidForm f("BEGIN LIST 'i' OF 2 ON 0, 0, 200, 100 BEGIN "
               "LIST 'j' OF 2 ON 0, 0, 100, 40 BEGIN FIELD 'M.i.j' ON 0, 0, 50 END END END");
    f.Build();
    EXPECT_EQ(f.Ids(), (std::vector<std::string>{"M.1.1", "M.1.2", "M.2.1", "M.2.2"}));
    EXPECT_EQ(f.read.root->FieldIds({}), std::vector<std::string>{"M.*.*"});
}

TEST(FormLayout, TabPagesShareOnePageControlAndFocusOnlyTheActivePage) {
    LaidForm f("BEGIN FIELD 'X' ON 0, 300, 50 "
               "TABS ON 10, 20, 300, 200 'Jeden' BEGIN FIELD 'A' ON 0, 0, 50 END 'Dwa' BEGIN FIELD 'B' ON 5, 5, 50 END END END");
    f.Build();
    const auto pages = f.controls.OfKind(ControlKind::PageControl);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->Geometry(), (PixelRect{10, 20, 300, 200}));
    EXPECT_EQ(pages[0]->Font().face, "Times New Roman");
    const auto sheets = f.controls.OfKind(ControlKind::TabSheet);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[1]->Text(), "Dwa");
    EXPECT_EQ(f.Control("B").Geometry(), (PixelRect{5, 5, 50, 20}));

    f.Control("X").UserFocus();
    f.host.Take();
    pages[0]->UserShowPage(1);
    EXPECT_TRUE(f.Control("B").HasFocus()) << "a page shown focuses its first field";
    EXPECT_EQ(f.host.Take(), (std::vector<std::string>{"EXIT X", "ENTER B"}));

    f.Destroy();
    EXPECT_TRUE(f.controls.OfKind(ControlKind::PageControl).empty()) << "the last page takes the page control along";
}

TEST(FormLayout, ASubFormOpensModallyAfterHelpAndSaysExitWhenClosed) {
    LaidForm f("BEGIN FORM 'SF' MASK 'Okno' ON 10, 20, 110, 220 BEGIN FIELD 'IN' ON 0, 0, 150 "
               "CHECK 'C' MASK 'c' ON 0, 30, 50 END END");
    f.Build();
    ed_form* sub = f.Find<ed_form>();
    ASSERT_TRUE(sub);
    EXPECT_FALSE(sub->MainControl()->IsVisible()) << "a sub-form button without a picture is hidden";
    int opened = 0;
    f.controls.onModal = [&](HeadlessControl& window) {
        ++opened;
        EXPECT_EQ(window.Text(), "Okno");
        // The window's corner: the button plus the offsets (100, 200), client 150 + 4 by 50 + 4.
        EXPECT_EQ(window.Geometry(), (PixelRect{110, 220, 154, 54}));
        EXPECT_EQ(window.Font().face, "MS Sans Serif");
        EXPECT_TRUE(sub->IsOpen());
        EXPECT_TRUE(f.Control("IN").HasFocus());
        f.Control("IN").UserType("w oknie");
        // A script can close the window by refreshing the sub-form's id.
        f.form->Refresh("SF");
    };
    f.host.Take();
    // A script opens the window by refreshing the sub-form's id too.
    f.form->Refresh("SF");
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(sub->IsOpen());
    EXPECT_EQ(f.record.GetValue("IN"), "w oknie");
    EXPECT_EQ(f.host.Take(), (std::vector<std::string>{"HELP SF", "SHOW IN", "SHOW C", "ENTER IN", "CHANGE IN",
                                                        "EXIT SF"}));
    EXPECT_EQ(f.Editor("IN"), nullptr) << "the inner editors live only while the window is open";
}

TEST(FormLayout, ASubFormCannotReopenItselfFromItsOwnHelp) {
    test::TempDir dir;
    dir.Write("x.bmp", "BM");
    FormSettings s;
    s.pictureDirectory = dir.Path();
    LaidForm f("BEGIN FORM 'SF' MASK 'Okno' SPEED 'x.bmp' ON 0, 0, 0, 0 BEGIN FIELD 'IN' ON 0, 0, 50 END END", s);
    f.Build();
    EXPECT_TRUE(f.Find<ed_form>()->MainControl()->IsVisible());
    int opened = 0;
    f.controls.onModal = [&](HeadlessControl&) { ++opened; };
    f.host.respond = [&](int event, my_record&, const std::string& field) {
        if (event == kFormHelp && field == "SF") f.form->Refresh("SF");
        return std::vector<std::string>{};
    };
    static_cast<HeadlessControl&>(const_cast<FormControl&>(*f.Find<ed_form>()->MainControl())).UserClick();
    EXPECT_EQ(opened, 1);
}

TEST(FormLayout, DynamicSectionsFollowTheDrivingValue) {
    LaidForm f("BEGIN DYNAMIC 'DY' OF 'n' ON 0, 0, 300, 200 "
               "'a' BEGIN FIELD 'A.n' ON 0, 0, 50 END "
               "'b' BEGIN FIELD 'B.n' ON 0, 0, 50 FIELD 'B2.n' ON 0, 30, 50 END "
               "'c' BEGIN LABEL 'only a label' ON 0, 0 END END END");
    f.record.AddField("DY", "a|1|U|b|2||x|9||", 0);
    f.Build();
    ed_dynamic* area = f.Find<ed_dynamic>();
    ASSERT_TRUE(area);
    // Section a is 22 high with its delete button (20 + 1 + 1 pixel), then b; x names no section.
    EXPECT_EQ(area->Layout(), "a|1|U|23|b|2||74|");
    EXPECT_EQ(f.Ids(), (std::vector<std::string>{"DY", "A.1", "B.2", "B2.2"}));
    EXPECT_EQ(f.Control("B.2").Geometry().top, 23);
    ASSERT_TRUE(area->Sections()[0].button);
    EXPECT_EQ(area->Sections()[0].button->Geometry(), (PixelRect{260, 2, 20, 20}));
    EXPECT_FALSE(area->Sections()[1].button);
    EXPECT_TRUE(f.Control("A.1").HasFocus()) << "the first field of the first section built takes the focus";

    // A changed second triple keeps the first section and rebuilds from there.
    const my_editor* first = area->Sections()[0].editor.get();
    f.record.SetValue("DY", "a|1|U|c|3||");
    f.form->Refresh("DY");
    f.form->Refresh("DY");
    EXPECT_TRUE(area->RebuildPending());
    EXPECT_EQ(f.controls.PostedCount(), 1u) << "repeated requests make one rebuild";
    EXPECT_EQ(area->Layout(), "a|1|U|23|b|2||74|") << "nothing happens inside the event";
    f.controls.RunPosted();
    EXPECT_EQ(area->Sections()[0].editor.get(), first);
    EXPECT_EQ(area->Layout(), "a|1|U|23|c|3||24|");
    EXPECT_EQ(f.Ids(), (std::vector<std::string>{"DY", "A.1"}));

    // The delete button asks the script through HELP.
    f.host.Take();
    static_cast<HeadlessControl&>(*area->Sections()[0].button).UserClick();
    EXPECT_EQ(f.host.Take(), (std::vector<std::string>{"HELP HELP.DY.a.1"}));
}

TEST(FormLayout, ARebuildAskedForByAFormThatWentAwayDoesNothing) {
    LaidForm f("BEGIN DYNAMIC 'DY' OF 'n' ON 0, 0, 300, 200 'a' BEGIN FIELD 'A.n' ON 0, 0, 50 END END END");
    f.record.AddField("DY", "a|1||", 0);
    f.Build();
    f.record.SetValue("DY", "a|2||");
    f.form->Refresh("DY");
    f.Destroy();
    ASSERT_EQ(f.controls.PostedCount(), 1u);
    f.controls.RunPosted();  // the sanitizer build watches this one
    EXPECT_TRUE(f.controls.All().size() == 1u) << "only the sheet is left";
}

TEST(FormLayout, DestroyingTheFormRemovesEveryControlSilently) {
    LaidForm f(kGeometry);
    f.Build();
    f.Control("F").UserType("x");
    f.host.Take();
    f.Destroy();
    EXPECT_EQ(f.controls.All().size(), 1u);
    EXPECT_TRUE(f.host.Take().empty()) << "no EXIT from a form being torn down";
    EXPECT_EQ(f.context->LiveEditors(), 0);
}

TEST(FormLayout, ListsInsideListsStopAtTheBoundOfEditors) {
    LaidForm f("BEGIN LIST 'i' OF 999 ON 0,0,10,10 BEGIN LIST 'j' OF 999 ON 0,0,10,10 BEGIN "
               "LIST 'k' OF 999 ON 0,0,10,10 BEGIN FIELD 'x' ON 0,0,1 END END END END");
    f.Build();
    EXPECT_TRUE(f.context->Truncated());
    EXPECT_LE(f.context->LiveEditors(), FormContext::kMaxEditors);
}
