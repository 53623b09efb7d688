// The record forms' authority lookups against velt-server: the script
// commands X, Y, I, V and R over the authority windows (headless here, as
// velt-cli runs them), and the authority button of a form's field, whose
// HELP script puts the chosen heading into the field with its link.

#include "EditingHarness.h"
#include "authority/HeadlessAuthority.h"
#include "forms/FieldEditors.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

struct NoLong : LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& w) override { w(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& w) override {
        w([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

class AuthorityCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sServer = new ServerProcess(); }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(sServer->Ready()) << sServer->Why(); }
    static inline ServerProcess* sServer = nullptr;
    TempDir dir;
    QueuePrompts windowPrompts;
    NoLong longOps;
    HeadlessAuthority windows{windowPrompts, longOps, "/tmp/"};
};

}  // namespace

TEST_F(AuthorityCommands, TheScriptCommandsReachTheLookupsAndAnswerWhatWasChosen) {
    Editing e(*sServer, dir.Path(), "bibliotekarz", &windows);
    TEdycja& s = *e.session;
    const std::string key = s.Command(nullptr, "XKHWO|Głowacki"_cp);
    EXPECT_EQ(key.rfind("^aPrus, Bolesław ^d1847-1912 ^9O"_cp, 0), 0u) << "X: the key, with its link: " << key;
    EXPECT_EQ(s.Command(nullptr, "YWY|Czyt"), "Czytelnik") << "Y: a value list when no file has the reference";
    EXPECT_EQ(s.Command(nullptr, "XWY|Czyt"), "Czytelnik") << "X: the search window's text";
    EXPECT_EQ(s.Command(nullptr, "IKHW|WY|Czytelnik").find("Czytelnik"), 4u) << "I: the entry's display";
    EXPECT_EQ(s.Command(nullptr, "IKHW|WY|Czyt"), "");
    EXPECT_EQ(s.Command(nullptr, "VK3|nie-ma"), "** K3 **");
    const std::string prus = key.substr(key.rfind("^9") + 2);
    EXPECT_NE(s.Command(nullptr, "V" + prus).find("Głowacki"_cp), std::string::npos) << "V: the reference text shows the see-references";
    EXPECT_EQ(s.Command(nullptr, "RK7"), "K7") << "R: the record chosen";
    windows.pick = 0;
    EXPECT_EQ(s.Command(nullptr, "RK7"), "") << "R cancelled: no identifier, not the start one";
    EXPECT_EQ(s.Command(nullptr, "XKHWO|Głowacki"_cp), "");
}

TEST_F(AuthorityCommands, TheAuthorityButtonPutsTheHeadingWithItsLinkIntoTheField) {
    Editing e(*sServer, dir.Path(), "bibliotekarz", &windows);
    e.session->OpenRecord("K", "K12");
    edit_sheet& sheet = e.Sheet();
    HeadlessControl* author = FieldControl(sheet, "100Z.1.1.1.1");
    ASSERT_NE(author, nullptr);
    author->UserFocus();
    author->UserType("^aGłowacki"_cp);
    // The lookup button beside the field.
    HeadlessControl* button = nullptr;
    for (HeadlessControl* b : e.editor.controls.OfKind(ControlKind::LookupButton))
        if (b->ParentControl() == author->ParentControl() && b->IsVisible()) button = b;
    ASSERT_NE(button, nullptr);
    button->UserClick();
    const std::string value = sheet.Record().GetValue("100Z.1.1.1.1");
    EXPECT_EQ(value.rfind("^aPrus, Bolesław ^d1847-1912 ^9O"_cp, 0), 0u) << value;
    EXPECT_EQ(author->Text(), value) << "the field shows what it holds";
}
