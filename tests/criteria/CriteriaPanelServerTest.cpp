// The criteria panel over velt-server's descriptor (its first criterion a
// form under --form-criterion-first): the rows it builds, what executing
// composes and the server finds, what is remembered and when, the rows'
// buttons (the parameter window, the authority windows, the filters), and a
// new descriptor's filters taken as the baseline again.

#include "criteria/CriteriaPanel.h"

#include "authority/HeadlessAuthority.h"
#include "catalogue/velt_files.h"
#include "net/SearchRequests.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "search/QueryHistory.h"
#include "search/QueryText.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/ServerProcess.h"

#include <gtest/gtest.h>

#include <functional>

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

// The window played by a function over the panel; true: "Wykonaj".
struct View : CriteriaView {
    std::function<bool(CriteriaPanel&)> user;
    int shown = 0;
    bool ShowCriteria(CriteriaPanel& panel) override {
        ++shown;
        return user ? user(panel) : false;
    }
};

struct Filters : FilterChooser {
    std::string flags;
    void ChooseFilters(velt_files& files) override { SetFilters(files.Connection(), flags); }
};

template <typename Row>
Row* Find(CriteriaPanel& panel, const std::string& name) {
    for (const auto& r : panel.Rows())
        if (r->Caption() == name) return dynamic_cast<Row*>(r.get());
    return nullptr;
}

class CriteriaPanelServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.extra = {"--form-criterion-first"};
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        files = Connect();
        CriteriaPanel::Services s;
        s.prompts = &prompts;
        s.forms = &forms;
        s.authority = &authority;
        s.filters = &filters;
        s.directory = "/nonexistent-velt/";
        panel = std::make_unique<CriteriaPanel>(remembered, s);
    }
    std::unique_ptr<velt_files> Connect() {
        auto f = std::make_unique<velt_files>("127.0.0.1", nullptr, true, sServer->Port());
        EXPECT_TRUE(f->Ready) << f->ErrorText;
        EXPECT_EQ(f->Connection().Login("bibliotekarz", "bibliotekarz", ""), "");
        f->LoadDescriptor();
        return f;
    }
    SearchOutcome Send(const std::string& query) {
        const RecordPtr reply = Search(files->Connection(), query);
        return InterpretSearchReply(reply.get());
    }

    static inline ServerProcess* sServer = nullptr;
    RecordingPrompts prompts;
    NoLong longOps;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};
    HeadlessAuthority authority{prompts, longOps, "/tmp/"};
    Filters filters;
    RememberedValues remembered;
    std::unique_ptr<velt_files> files;
    std::unique_ptr<CriteriaPanel> panel;
    View view;
};

}  // namespace

TEST_F(CriteriaPanelServer, TheRowsFollowTheDescriptorAndExecutingComposesWhatTheServerFinds) {
    panel->BuildRows(*files);
    std::vector<std::pair<RowClass, std::string>> rows;
    for (const auto& r : panel->Rows()) rows.emplace_back(r->Class(), r->Caption());
    ASSERT_GE(rows.size(), 10u);
    EXPECT_EQ(rows[0], std::make_pair(RowClass::Filter, std::string("Filtr")));
    EXPECT_EQ(rows[1], std::make_pair(RowClass::Full, "Język tekstu"_cp)) << "the first criterion is no index";
    EXPECT_EQ(rows[2], std::make_pair(RowClass::Index, std::string("autor")));
    for (const auto& [kind, name] : rows) EXPECT_NE(name, "numer rekordu") << "a hidden criterion has no row";
    EXPECT_EQ(Find<ChoiceRow>(*panel, "Rok wydania")->Class(), RowClass::Criterium);

    int sort = 99;
    view.user = [](CriteriaPanel& p) {
        EXPECT_EQ(p.SortItems().front(), "bez sortowania");
        EXPECT_EQ(p.SortSelected(), 0) << "a position past the list: none";
        auto* language = Find<FormRow>(p, "Język tekstu"_cp);
        language->Record().SetValue("J.1", " POL ");
        auto* title = Find<IndexRow>(p, "tytuł"_cp);
        title->SetText("o");
        title->SetKind(1);  // początek słowa
        p.SetSortChosen(2);
        return true;
    };
    const std::string query = panel->AskCriteria(*files, sort, view);
    EXPECT_EQ(query, "SORTUJ \"" + files->SortKeys[1] + "\" \"Język tekstu\" \"J.1|pol|\" * \"tytuł\" SŁOWO \"o\""_cp)
        << "the form's WYKONAJ normalised the language";
    EXPECT_EQ(sort, 2);
    EXPECT_TRUE(panel->Rows().empty()) << "the rows go after every run";
    const SearchOutcome found = Send(query);
    EXPECT_TRUE(found.error.empty()) << found.error;
    EXPECT_GT(found.collection, 0);
    EXPECT_EQ(remembered.Get("tytuł"_cp), "C.1|o|C.2|SŁOWO|"_cp);
    EXPECT_EQ(remembered.Get("Język tekstu"_cp), "J.1|pol|");

    // Closed without "Wykonaj": nothing remembered, the sorting kept.
    view.user = [](CriteriaPanel& p) {
        EXPECT_EQ(Find<IndexRow>(p, "tytuł"_cp)->Text(), "o") << "the remembered text is back";
        EXPECT_EQ(p.SortSelected(), 2);
        Find<IndexRow>(p, "tytuł"_cp)->SetText("zmiana");
        return false;
    };
    EXPECT_EQ(panel->AskCriteria(*files, sort, view), "");
    EXPECT_EQ(sort, 2);
    EXPECT_EQ(remembered.Get("tytuł"_cp), "C.1|o|C.2|SŁOWO|"_cp);

    // Every row empty with sorting offered: the bare prefix, which the server refuses.
    remembered = {};
    view.user = [](CriteriaPanel& p) {
        p.SetSortChosen(0);
        return true;
    };
    const std::string bare = panel->AskCriteria(*files, sort, view);
    EXPECT_EQ(bare, "SORTUJ \"\" \"Język tekstu\" \"\""_cp) << "the form's part is always there";
    EXPECT_EQ(sort, 0);
    EXPECT_NE(Send("SORTUJ \"\" ").error, "") << "a bare sort prefix is an error, not a collection";
}

TEST_F(CriteriaPanelServer, TheRowsButtonsAskTheirWindows) {
    panel->BuildRows(*files);
    // A criterion with a form: the parameter window, its answer cleaned.
    auto* years = Find<ChoiceRow>(*panel, "Rok wydania");
    ASSERT_NE(years, nullptr);
    window.user = [](HeadlessParameterWindow& w) {
        w.Dialog()->Record().SetValue("R.1", "1990 ");
        w.Dialog()->Record().SetValue("R.2", "2000");
        w.Execute();
    };
    panel->Choose(*years);
    EXPECT_EQ(years->Chosen(), "R.1|1990|R.2|2000|");
    EXPECT_EQ(years->Display(), "\"1990\" \"2000\" ");
    window.user = [](HeadlessParameterWindow&) {};  // closed
    panel->Choose(*years);
    EXPECT_EQ(years->Chosen(), "R.1|1990|R.2|2000|") << "cancelled: the choice stays";
    auto* covers = Find<ChoiceRow>(*panel, "z okładką"_cp);
    ASSERT_NE(covers, nullptr);
    panel->Choose(*covers);
    EXPECT_EQ(covers->Display(), "wybrane");
    // The authority buttons: a file with the link's index, a value list, none.
    auto* author = Find<IndexRow>(*panel, "autor");
    author->SetText("Głowacki"_cp);
    panel->LookUpAuthority(*author);
    EXPECT_EQ(author->Text(), "Prus, Bolesław"_cp);
    auto* publisher = Find<IndexRow>(*panel, "wydawca");
    ASSERT_TRUE(publisher->HasAuthority());
    publisher->SetText("Czyt");
    panel->LookUpAuthority(*publisher);
    EXPECT_EQ(publisher->Text(), "Czytelnik") << "no file has the prefix: the index's value list";
    auto* isbn = Find<IndexRow>(*panel, "ISBN");
    panel->LookUpAuthority(*isbn);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Brak kartoteki wzorcowej"});

    // The filters: what differs from the first run is named; a catalogue
    // read anew takes its flags now as the baseline.
    auto* filter = Find<FilterRow>(*panel, "Filtr");
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->Description(), "domyślny"_cp);
    const FilterAnswer before = GetFilters(files->Connection());
    ASSERT_FALSE(before.flags.empty());
    filters.flags = before.flags;
    filters.flags[0] = filters.flags[0] == 'T' ? 'N' : 'T';
    panel->ChooseFilters(*filter);
    const std::string changed = (filters.flags[0] == 'N' ? "NIE " : "") + files->Filters[0].Name;
    EXPECT_EQ(filter->Description(), changed);
    panel->BuildRows(*files);
    EXPECT_EQ(Find<FilterRow>(*panel, "Filtr")->Description(), changed) << "the same descriptor: the same baseline";
    files->LoadDescriptor();
    panel->BuildRows(*files);
    EXPECT_EQ(Find<FilterRow>(*panel, "Filtr")->Description(), "domyślny"_cp) << "a new descriptor, a new baseline";
    SetFilters(files->Connection(), before.flags);
}
