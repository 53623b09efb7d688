#include "browse/VrBrowser.h"

#include "FakeMeasurer.h"

#include <gtest/gtest.h>

#include <map>

using namespace velt;

namespace {

// A list of n entries "k001".."knnn"; every call is counted by its name.
struct CountingSource : Vrserwer {
    int n;
    std::map<std::string, int> calls;
    std::vector<std::string> actions;
    explicit CountingSource(int entries) : n(entries) {}
    static std::string Key(int i) {
        char t[8];
        std::snprintf(t, sizeof t, "k%03d", i);
        return t;
    }
    static int Index(const std::string& key) { return key.size() == 4 ? std::atoi(key.c_str() + 1) : 0; }
    std::string First() override {
        ++calls["First"];
        return n > 0 ? Key(1) : "";
    }
    std::string Last() override {
        ++calls["Last"];
        return n > 0 ? Key(n) : "";
    }
    std::string Next(const std::string& key) override {
        ++calls["Next"];
        const int i = Index(key);
        return i >= 1 && i < n ? Key(i + 1) : "";
    }
    std::string Prior(const std::string& key) override {
        ++calls["Prior"];
        const int i = Index(key);
        return i > 1 ? Key(i - 1) : "";
    }
    std::optional<std::vector<std::string>> Lines(const std::string& key) override {
        ++calls["Lines"];
        return std::vector<std::string>{"entry " + key + "\x1BLcmd " + key + "||link\x1A"};
    }
    int Action(const std::string& key, const std::string& command) override {
        actions.push_back(key + ":" + command);
        return 0;
    }
    int Total() const {
        int t = 0;
        for (const auto& [name, count] : calls) t += count;
        return t;
    }
};

struct RecordingHost : BrowserHost {
    int changes = 0;
    std::vector<std::function<void()>> deferred;
    void CellsChanged() override { ++changes; }
    void Defer(std::function<void()> action) override { deferred.push_back(std::move(action)); }
    void RunDeferred() {
        auto d = std::move(deferred);
        deferred.clear();
        for (auto& f : d) f();
    }
};

// The keys of the cells, "-" for a blank one, with their tops.
std::string Layout(const VrBrowser& b) {
    std::string out;
    for (const auto& c : b.Cells()) out += (c.key.empty() ? std::string("-") : c.key) + "@" + std::to_string(c.top) + " ";
    return out;
}

std::string Keys(const VrBrowser& b) {
    std::string out;
    for (const auto& c : b.Cells()) out += (c.key.empty() ? std::string("-") : c.key.substr(1)) + " ";
    return out;
}

// A panel of 300 by 200 and cells of 30: a pitch of 32 and 8 cells.
struct Fixture {
    explicit Fixture(int entries) : source(entries), browser(source, measurer, host, 300, 200, 30) {}
    CountingSource source;
    test::FakeMeasurer measurer;
    RecordingHost host;
    VrBrowser browser;
    void Reset() { source.calls.clear(); }
};

}  // namespace

TEST(VrBrowser, HomeFillsThePanelWithOneCallPerEntry) {
    Fixture f(100);
    EXPECT_EQ(f.browser.CellCount(), 8);
    EXPECT_EQ(f.browser.CellWidth(), 281);
    EXPECT_EQ(Keys(f.browser), "001 002 003 004 005 006 007 008 ");
    EXPECT_EQ(f.source.calls["First"], 1);
    EXPECT_EQ(f.source.calls["Next"], 7);
    EXPECT_EQ(f.source.calls["Lines"], 8);
    EXPECT_EQ(f.browser.Cells()[1].top, 32);
}

TEST(VrBrowser, AnEmptySourceGivesBlankCellsAndNothingMoves) {
    Fixture f(0);
    EXPECT_EQ(Keys(f.browser), "- - - - - - - - ");
    EXPECT_EQ(f.source.calls["Lines"], 0);
    f.Reset();
    f.browser.PageDown();
    f.browser.LineDown();
    f.browser.ScrollDown(100);
    f.browser.PageUp();
    f.browser.LineUp();
    EXPECT_EQ(f.source.Total(), 0);
    EXPECT_EQ(f.browser.Cells().front().top, 0);
}

TEST(VrBrowser, EndOfAShortListShowsItAtTheTop) {
    Fixture f(2);
    f.browser.End();
    EXPECT_EQ(Layout(f.browser), "k001@0 k002@32 -@64 -@96 -@128 -@160 -@192 -@224 ");
    Fixture g(100);
    g.Reset();
    g.browser.End();
    // From the bottom up: the last cell ends at the panel's bottom edge.
    EXPECT_EQ(g.browser.Cells().back().key, "k100");
    EXPECT_EQ(g.browser.Cells().back().top, 200 - 32 + 2);
    EXPECT_EQ(g.browser.Cells().front().key, "k093");
    EXPECT_EQ(g.source.calls["Last"], 1);
    EXPECT_EQ(g.source.calls["Prior"], 7);
}

TEST(VrBrowser, PagesCostOneCallPerNewEntryAndStopAtTheStart) {
    Fixture f(100);
    f.Reset();
    f.browser.PageDown();
    EXPECT_EQ(Keys(f.browser), "008 009 010 011 012 013 014 015 ");
    EXPECT_EQ(f.browser.Cells().front().top, 2);
    EXPECT_EQ(f.source.calls["Next"], 7);
    EXPECT_EQ(f.source.calls["Lines"], 7);
    f.Reset();
    f.browser.PageUp();
    EXPECT_EQ(Keys(f.browser), "001 002 003 004 005 006 007 008 ");
    EXPECT_EQ(f.browser.Cells().front().top, 2) << "the old first position stays";
    EXPECT_EQ(f.source.calls["Prior"], 7);
    // At the start: one blank cell above the first entry, 12 pixels of it showing.
    f.browser.PageUp();
    EXPECT_EQ(Keys(f.browser), "- 001 002 003 004 005 006 007 ");
    EXPECT_EQ(f.browser.Cells().front().top, 12 - 30);
    // Rebuilding from there starts at the first entry, not from the blank cell.
    f.Reset();
    f.browser.Rebuild(300, 260);
    EXPECT_EQ(Keys(f.browser), "- 001 002 003 004 005 006 007 008 009 ");
    EXPECT_EQ(f.browser.Cells()[1].top, 12 - 30 + 32);
    EXPECT_EQ(f.source.calls["First"], 0);
    EXPECT_EQ(f.source.calls["Next"], 8);
}

TEST(VrBrowser, LinesAndScrollingMoveByPixels) {
    Fixture f(100);
    f.Reset();
    f.browser.LineDown();
    EXPECT_EQ(f.browser.Cells().front().top, -10);
    EXPECT_EQ(f.source.Total(), 0) << "no new cell was needed yet";
    for (int i = 0; i < 6; ++i) f.browser.LineDown();
    // Once the last cell's bottom is inside the panel the first cell goes
    // and one more comes at the end (after 60 pixels here).
    EXPECT_EQ(Keys(f.browser).substr(0, 3), "002");
    EXPECT_EQ(f.source.calls["Next"], 1);
    EXPECT_EQ(f.source.calls["Lines"], 1);
    f.browser.Wheel(-1);  // 20 pixels down
    f.browser.Wheel(3);   // 60 up
    f.browser.Wheel(0);
    f.Reset();
    f.browser.Home();
    f.browser.ScrollUp(100);
    // Above the first entry there is one blank cell, and no more.
    EXPECT_EQ(Layout(f.browser).substr(0, 14), "-@0 k001@32 k0");
    EXPECT_EQ(f.source.calls["Prior"], 1);
}

TEST(VrBrowser, ShowKeyCentresTheEntryOrPutsItAtTheTopNearTheStart) {
    Fixture f(100);
    f.browser.ShowKey("k050");
    // y = (200 - 30) / 2 = 85: k050 there, entries above it up to the top.
    const auto& cells = f.browser.Cells();
    const auto it = std::find_if(cells.begin(), cells.end(), [](const Vrklatka& c) { return c.key == "k050"; });
    ASSERT_NE(it, cells.end());
    EXPECT_EQ(it->top, 85);
    EXPECT_EQ(cells.front().key, "k047");
    EXPECT_EQ(static_cast<int>(cells.size()), f.browser.CellCount());
    f.browser.ShowKey("k001");
    EXPECT_EQ(Layout(f.browser).substr(0, 14), "k001@0 k002@32");
    f.browser.ShowKey("k002");
    EXPECT_EQ(Layout(f.browser).substr(0, 14), "k001@0 k002@32");
}

TEST(VrBrowser, LineHeightsOfTwentyFiveOrLessAreIgnored) {
    Fixture f(100);
    f.Reset();
    f.browser.SetLineHeight(25);
    EXPECT_EQ(f.browser.LineHeight(), 30);
    EXPECT_EQ(f.source.Total(), 0);
    f.browser.SetLineHeight(48);
    EXPECT_EQ(f.browser.CellCount(), (200 - 1) / 50 + 2);
    EXPECT_EQ(Layout(f.browser), "k001@0 k002@50 k003@100 k004@150 k005@200 ");
    f.browser.SetLineHeight(26);
    EXPECT_EQ(f.browser.CellCount(), (200 - 1) / 28 + 2);
    EXPECT_EQ(f.source.calls["Next"], 4) << "only the cells that were missing";
}

TEST(VrBrowser, ClicksSelectAndDeferTheirActions) {
    Fixture f(10);
    f.browser.Select("k003");
    EXPECT_EQ(f.source.actions, std::vector<std::string>{"k003:!"}) << "Select reports directly";
    EXPECT_EQ(f.browser.SelectedKey(), "k003");
    // A press on the cell selects; on its link runs the link's command after the event.
    BrowserHit cell = f.browser.HitTest(250, 32 + 20);
    EXPECT_EQ(cell.cell, 1);
    f.browser.Press(cell);
    EXPECT_EQ(f.source.actions.back(), "k002:!");
    const CellItem& link = f.browser.Cells()[1].content.items.back();
    const BrowserHit onLink = f.browser.HitTest(link.x + 1, 32 + link.y + 1);
    EXPECT_GE(onLink.item, 0);
    f.browser.Press(onLink);
    EXPECT_EQ(f.source.actions.back(), "k002:!") << "not yet: deferred";
    f.host.RunDeferred();
    EXPECT_EQ(f.source.actions.back(), "k002:cmd k002");
    // A double click on an entry reports "*"; on a blank cell nothing.
    f.browser.DoubleClick(cell);
    f.host.RunDeferred();
    EXPECT_EQ(f.source.actions.back(), "k002:*");
    f.browser.End();
    f.browser.ShowKey("k010");
    const BrowserHit blank = f.browser.HitTest(10, f.browser.Cells().back().top + 5);
    ASSERT_TRUE(f.browser.Cells()[static_cast<std::size_t>(blank.cell)].Blank());
    const auto before = f.source.actions.size();
    f.browser.DoubleClick(blank);
    EXPECT_TRUE(f.host.deferred.empty());
    // A single click on it clears the selection and reports nothing.
    f.browser.Press(blank);
    EXPECT_EQ(f.browser.SelectedKey(), "");
    EXPECT_EQ(f.source.actions.size(), before);
    // Outside the cells (the button column) nothing is hit.
    EXPECT_EQ(f.browser.HitTest(290, 10).cell, -1);
}

TEST(VrBrowser, RedrawAndChecksAskTheSourceAgain) {
    Fixture f(20);
    f.Reset();
    f.browser.Redraw();
    EXPECT_EQ(f.source.calls["Lines"], 8);
    EXPECT_EQ(f.source.calls["Next"], 0);
    f.browser.RefreshChecks();
    EXPECT_EQ(f.source.calls["Lines"], 8) << "check marks need no new lines";
}
