#include "shell/VeltShell.h"
#include "search/QueryHistory.h"
#include "search/SearchService.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

struct NoView : ShellView {
    void ShowState(const ShellState&) override {}
    bool ShowLogin(velt_files&, const std::string&) override { return false; }
    MessageCallback SessionMessageCallback() override { return nullptr; }
};

struct NoLongOps : LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

struct Passwords : PasswordAsker {
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

// A server stand-in: collections numbered from 1, one reply per query.
struct Fixture {
    NoView view;
    test::RecordingPrompts prompts;
    Passwords passwords;
    NoLongOps longOps;
    VeltShell shell{view, prompts, passwords};
    std::vector<std::string> sent;
    std::int32_t next = 1;
    std::vector<std::int32_t> shown;
    SearchService service{shell, prompts, longOps, [this](std::int32_t n) { shown.push_back(n); }};
    Fixture() {
        service.History().SetSearch([this](const std::string& q) {
            sent.push_back(q);
            SearchOutcome o;
            if (q.find("blad") != std::string::npos) {
                o.error = "Błąd składni"_cp;
            } else if (q.find("pusto") == std::string::npos) {
                o.collection = next++;
                o.count = "3";
            }
            return o;
        });
    }
};

}  // namespace

TEST(QueryHistory, EveryEntryKeepsItsQueryAndRerunReplacesItsCollection) {
    Fixture f;
    ElementaryState s{{"Kowal"}, {}};
    EXPECT_TRUE(f.service.RunElementary(s, MatchKind::Rowny, "autor", 0));
    EXPECT_TRUE(f.service.RunComplex("1+2", 0));
    const auto& h = f.service.History().Entries();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].Line(), "1. \"autor\"  RÓWNY \"Kowal\""_cp);
    EXPECT_EQ(h[1].Line(), "2. 1+2");
    EXPECT_EQ(f.shown, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(f.prompts.shown.back(), "message:Kolekcja zdalna zawiera 3 rekordów"_cp);
    // A failed search leaves lastQuery set but changes no entry: a rerun
    // runs the query of the last entry, not the failed one.
    EXPECT_FALSE(f.service.RunComplex("blad", 0));
    EXPECT_EQ(f.prompts.shown.back(), "error:Błąd składni"_cp);
    EXPECT_EQ(f.service.History().LastQuery(), "blad");
    f.service.RerunAfterFilters();
    EXPECT_EQ(f.sent.back(), "1+2");
    EXPECT_EQ(h[1].Line(), "3. 1+2") << "relabelled with the new collection";
    EXPECT_EQ(h[0].collection, 1) << "the other entry stays";
    EXPECT_EQ(f.shown.back(), 3);
    // A "zapytanie" link is an entry of its own, and the next rerun reruns it.
    f.service.RunLinkQuery("zapytanie \"temat\" RÓWNY \"Kraków\""_cp);
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[2].label, "\"\"temat\" RÓWNY \"Kraków\"\""_cp);
    f.service.RerunAfterFilters();
    EXPECT_EQ(f.sent.back(), " \"temat\" RÓWNY \"Kraków\""_cp);
    EXPECT_EQ(h[2].collection, 5);
    f.service.History().ReleaseHistory();
    EXPECT_TRUE(h.empty());
    EXPECT_EQ(f.service.History().LastQuery(), "");
    // With nothing in the history a rerun does nothing.
    const auto sentBefore = f.sent.size();
    f.service.RerunAfterFilters();
    EXPECT_EQ(f.sent.size(), sentBefore);
}

TEST(QueryHistory, TheWindowsRefuseEmptyTextAndKeepTheirInputOnFailure) {
    Fixture f;
    EXPECT_FALSE(f.service.RunComplex("", 0));
    EXPECT_EQ(f.prompts.shown.back(), "plain:Wypełnij pole wyrażenia wyszukiwawczego"_cp);
    EXPECT_TRUE(f.sent.empty());
    ElementaryState s{{"pusto"}, {}};
    EXPECT_FALSE(f.service.RunElementary(s, MatchKind::Slowo, "tytuł", 0));
    EXPECT_FALSE(s.wyrazenie.empty()) << "the expression stays for the user";
    EXPECT_TRUE(f.service.SentExpressions().empty());
    EXPECT_EQ(SearchService::CombineWithCollection("3", 7, 2), "(3)/7");
    EXPECT_EQ(SearchService::CombineWithCollection("", 7, 0), "7");
    EXPECT_EQ(SearchService::CombineWithCollection("3", 7, 0), "(3)+7");
    EXPECT_EQ(SearchService::CombineWithCollection("3", 7, 1), "(3)*7");
}

TEST(QueryHistory, CriteriaWithoutAFormAlwaysCarryTheEmptySortPrefix) {
    Fixture f;
    velt_criterium c;
    c.Name = "Nowości"_cp;
    f.service.SpecialQuestion(c);
    EXPECT_EQ(f.sent.back(), "SORTUJ \"\" \"Nowości\""_cp);
    EXPECT_EQ(f.service.History().Entries().back().label, "\"Nowości\""_cp);
    // A criterion with a form says clearly that its window is not there yet.
    c.Form = "{x}";
    const auto before = f.sent.size();
    f.service.SpecialQuestion(c);
    EXPECT_EQ(f.sent.size(), before);
    EXPECT_NE(f.prompts.shown.back().find("formularza parametrów"_cp), std::string::npos);
}
