#include "forms/EventScriptHost.h"

#include "FormHarness.h"
#include "text/CpLiteral.h"

#include <sstream>

using namespace velt;

namespace {

act_script Scripts(const std::string& text) {
    std::istringstream in(text);
    return LoadEventScripts(in, "ACT-A", {});
}

}  // namespace

TEST(EventScriptHost, LinesRefreshFieldsAddErrorsOrAskForHelp) {
    const act_script scripts = Scripts(
        "[CHANGE A]\r\nBEGIN GRUPA('B') POLE = 'set by A' BACK PRINT('B.1') PRINT('Popraw A|A*') PRINT('|H') END\r\n"
        "[HELP H]\r\nBEGIN PRINT('help of H') END\r\n"
        "[SHOW T]\r\nBEGIN PRINT('shown') END\r\n");
    test::LaidForm f("BEGIN FIELD 'A' ON 0,0,50 FIELD 'B.1' ON 0,30,50 END");
    std::vector<std::string> messages;
    EventScriptHost host(scripts, "A1", {}, [&](const std::string& m) { messages.push_back(m); });
    int shown = 0;
    host.SetErrorsChanged([&] { ++shown; });
    FormContext context(f.record, host, f.controls);
    my_editor form(context, *f.sheet);
    f.read.root->Build(form, 0, {}, 0);
    host.SetForm(&form);

    auto& a = static_cast<HeadlessControl&>(const_cast<FormControl&>(*form.Children()[0]->MainControl()));
    auto& b = static_cast<HeadlessControl&>(const_cast<FormControl&>(*form.Children()[1]->MainControl()));
    a.UserType("x");
    EXPECT_EQ(host.CurrentField(), "B.1") << "the refresh of B gave it the focus";
    EXPECT_EQ(b.Text(), "set by A");
    ASSERT_EQ(f.record.errors().size(), 1u);
    EXPECT_EQ(f.record.errors()[0].message, "Popraw A");
    EXPECT_EQ(f.record.errors()[0].keys, "A*");
    EXPECT_GE(shown, 1);
    EXPECT_EQ(host.FieldEvent(kFormShow, f.record, "T"), std::vector<std::string>{"shown"});
    EXPECT_TRUE(messages.empty()) << messages[0];
}

TEST(EventScriptHost, AHelpChainThatNeverEndsStopsAtItsBound) {
    const act_script scripts = Scripts("[HELP H]\r\nBEGIN GRUPA('N') POLE = POLE + 'x' BACK PRINT('|H') END\r\n");
    my_record record;
    std::vector<std::string> messages;
    EventScriptHost host(scripts, "A", {}, [&](const std::string& m) { messages.push_back(m); });
    host.FieldEvent(kFormHelp, record, "H");
    EXPECT_EQ(record.GetValue("N.1").size(), static_cast<std::size_t>(EventScriptHost::kMaxHelpDepth));
    EXPECT_EQ(messages, std::vector<std::string>{"Przerwany łańcuch zdarzeń HELP pola H"_cp});
    // The next chain is bounded and reported again.
    host.FieldEvent(kFormHelp, record, "H");
    EXPECT_EQ(messages.size(), 2u);
}

TEST(EventScriptHost, TheParameterWindowReadsEveryBarAsAnError) {
    const act_script scripts = Scripts("[EXIT A]\r\nBEGIN PRINT('|H') PRINT('B') END\r\n");
    my_record record;
    EventScriptHost host(scripts, "", {}, {}, EventScriptHost::Mode::ParameterWindow);
    host.FieldEvent(kFormExit, record, "A");
    ASSERT_EQ(record.errors().size(), 1u);
    EXPECT_EQ(record.errors()[0].message, "");
    EXPECT_EQ(record.errors()[0].keys, "H");
}
