// The items with parameter forms against velt-server: their forms and
// scripts as the descriptor carries them, the "Wykonaj" step with the
// server's scripts, a criterion with parameters searched, an "OPERACJA"
// element and a program item run through 201 D and X, and a report with a
// form produced by 100/3.

#include "ServerTestSupport.h"
#include "net/SearchRequests.h"

#include "ParameterForms.h"
#include "RecordReports.h"

#include "catalogue/velt_files.h"
#include "lang/EventScripts.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ServerItems.h"
#include "search/QueryText.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include "editing/EditorCommands.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velt;
using namespace velt::test;

namespace {

// Runs the work at once, as the progress window's worker would.
struct InlineOperations : LongOperations {
    std::vector<std::string> texts;
    void run_with_progress(const std::string& text, const std::function<void()>& work) override {
        texts.push_back(text);
        work();
    }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

class ParameterItemsTest : public SharedServerTest {
protected:
    // A catalogue, logged in as user (none: not logged in).
    void Open(const std::string& user) {
        files = std::make_unique<velt_files>(
            std::make_unique<TVeltClient>("127.0.0.1",
                                          [this](const std::string& m, SessionText kind) {
                                              if (kind == SessionText::Failure) messages.push_back(m);
                                          },
                                          sServer->Port()),
            true);
        ASSERT_TRUE(files->Ready) << files->ErrorText;
        if (!user.empty()) {
            ASSERT_EQ(files->Connection().Login(user, user, ""), "");
            files->Connection().RequestStatus();
            files->LoadDescriptor();
        }
    }
    const velt_criterium& Criterion(const std::string& name) {
        for (const auto& c : files->Criteria)
            if (c.Name == name) return c;
        ADD_FAILURE() << "no criterion " << name;
        static velt_criterium none;
        return none;
    }
    // The number of records a query finds (0 after an error).
    long Found(const std::string& query) {
        const RecordPtr r = Search(files->Connection(), query);
        if (!r || r->Count < 2) {
            ADD_FAILURE() << query << ": " << (r ? r->Item(1) : "no reply");
            return 0;
        }
        return std::stol(r->Item(2));
    }

    TempDir dir;
    std::vector<std::string> messages;
    std::unique_ptr<velt_files> files;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};
    RecordingPrompts prompts;
    InlineOperations longOps;
    ItemRunContext context{forms, prompts, longOps, dir.Path()};
};

void Type(HeadlessParameterWindow& w, const std::string& field, const std::string& text) {
    HeadlessControl* c = w.Control(field);
    ASSERT_NE(c, nullptr) << field;
    c->UserType(text);
}

std::vector<server::FormItem> AllItems() {
    std::vector<server::FormItem> items = server::ParameterCriteria();
    items.push_back(server::LanguageCriterion());
    items.push_back(server::AcquisitionsReport());
    items.push_back(server::OrderedListReport());
    items.push_back(server::IsbnProgram());
    items.push_back(server::NoteProgram());
    return items;
}

}  // namespace

TEST(ParameterItems, EveryFormAndScriptOfTheServerReadsAndCompilesWithBalancedBraces) {
    for (const server::FormItem& item : AllItems()) {
        for (const std::string* text : {&item.form, &item.script}) {
            int depth = 0;
            for (const char c : *text) {
                depth += c == '{' ? 1 : c == '}' ? -1 : 0;
                EXPECT_GE(depth, 0) << item.name;
            }
            EXPECT_EQ(depth, 0) << item.name;
            EXPECT_EQ(text->find('\n'), std::string::npos) << "lines are parted by CR: " << item.name;
        }
        const FormReadResult form = ReadFormDescription(ServerTextLines(item.form), "/nonexistent-velt/");
        for (const auto& m : form.messages) ADD_FAILURE() << item.name << ": " << m.text << " " << m.line;
        std::istringstream source(ServerTextLines(item.script));
        std::vector<std::string> errors;
        const act_script scripts = LoadEventScripts(source, "act", [&](const std::string& e) { errors.push_back(e); });
        EXPECT_TRUE(errors.empty()) << item.name << ": " << (errors.empty() ? "" : errors[0]);
        for (const auto& entry : scripts) EXPECT_NE(entry.program, nullptr) << item.name << " " << entry.pattern;
    }
}

TEST_F(ParameterItemsTest, TheDescriptorCarriesTheFormsAndScriptsWhole) {
    Open("admin");
    EXPECT_EQ(Criterion("Rok wydania").Form, server::ParameterCriteria()[0].form);
    EXPECT_EQ(Criterion("Rok wydania").Action, server::ParameterCriteria()[0].script);
    EXPECT_EQ(Criterion("Wydawca").Action, server::ParameterCriteria()[1].script);
    bool report = false, isbn = false, note = false;
    for (const auto& r : files->Reports)
        if (r.Name == "Wykaz nabytków"_cp) {
            report = true;
            EXPECT_FALSE(r.NoParameterForm);
            EXPECT_EQ(r.Form, server::AcquisitionsReport().form);
            EXPECT_EQ(r.Action, server::AcquisitionsReport().script);
        }
    for (const auto& p : files->Programs) {
        if (p.Call == "isbn") isbn = p.Form == server::IsbnProgram().form && p.Options == "SLR";
        if (p.Call == "uwagi") note = p.Action == server::NoteProgram().script && p.Options.empty();
    }
    EXPECT_TRUE(report && isbn && note);
}

TEST_F(ParameterItemsTest, ACriterionWithParametersIsAskedCheckedAndSearched) {
    Open("");
    CriterionForms criteria(forms, [this] { return dir.Path(); });
    const velt_criterium& years = Criterion("Rok wydania");
    window.user = [](HeadlessParameterWindow& w) {
        EXPECT_EQ(w.Control("R.1")->Value(), 1950) << "SHOW gave the first year";
        Type(w, "R.1", "2001");
        Type(w, "R.2", "1990");
        EXPECT_FALSE(w.Execute()) << "the server's WYKONAJ refuses a reversed range";
        Type(w, "R.1", "1980");
        EXPECT_TRUE(w.Execute());
    };
    std::string remembered = "W.1|Znak|";
    int sort = 7;
    const std::string list = criteria.Ask(years, remembered, sort, files->SortKeys);
    EXPECT_EQ(list, "R.1|1980|R.2|1990|");
    EXPECT_EQ(remembered, "W.1|Znak|R.1|1980|R.2|1990|");
    EXPECT_EQ(window.offers.at(0).selected, 0) << "an unknown sort position offers none";
    EXPECT_EQ(window.errors, std::vector<std::vector<std::string>>{{"Rok początkowy jest późniejszy od końcowego"_cp}});
    const long found = Found(CriterionQuery("", years.Name, CleanPairs(list)));
    EXPECT_GT(found, 0);
    EXPECT_EQ(found, Found("\"rok wydania\" LICZBA \"1980-1990\""_cp)) << "the same books as the year index";

    const velt_criterium& publisher = Criterion("Wydawca");
    window.user = [](HeadlessParameterWindow& w) {
        EXPECT_EQ(w.Control("W.1")->Text(), "Znak") << "the remembered value";
        w.Control("W.2")->UserChoose(3);  // Kraków
        w.Execute();
    };
    const std::string chosen = criteria.Ask(publisher, remembered, sort, {});
    EXPECT_EQ(chosen, "W.1|Znak|W.2|Kraków|"_cp);
    const long inCracow = Found(CriterionQuery("", publisher.Name, CleanPairs(chosen)));
    EXPECT_EQ(inCracow, Found("\"wydawca\" POCZĄTEK \"Znak\""_cp)) << "Znak is a Kraków publisher";
    // A list the server cannot take is its error, not a collection.
    const RecordPtr bad = Search(files->Connection(), CriterionQuery("", years.Name, "R.1|abc|"));
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->Count, 1);
    EXPECT_EQ(bad->Item(1), "Niepoprawny rok \"abc\""_cp);
}

TEST_F(ParameterItemsTest, AnOperationElementRunsUntilTheServerTakesItsParameters) {
    Open("bibliotekarz");
    std::vector<std::string> shownText;
    int round = 0;
    window.user = [&](HeadlessParameterWindow& w) {
        if (++round > 3) return;  // closed
        shownText.push_back(w.Control("T.1")->ShownText());
        EXPECT_EQ(w.Dialog()->Record().GetValue("ZRODLO"), "katalog") << "the check text goes in front";
        if (round == 1) {
            EXPECT_FALSE(w.Execute()) << "WYKONAJ wants the text";
            Type(w, "U.2", "Zła data wydania"_cp);
            // The server finds the record missing: the error is shown and the window comes back.
            w.Dialog()->Record().SetValue("REKORD", "K999999");
        } else {
            EXPECT_EQ(w.Control("U.2")->Text(), "Zła data wydania"_cp) << "the values come back";
            w.Dialog()->Record().SetValue("REKORD", "K12");
        }
        w.Execute();
    };
    // The form's scripts have the editor's commands ("UN" names the user).
    EditorServices services;
    services.prompts = &prompts;
    services.files = files.get();
    EditorCommands commands(services);
    forms.SetCommands(commands.Routine());
    EXPECT_TRUE(RunOperation(*files, " uwagi|REKORD|K12", context));
    EXPECT_EQ(round, 2);
    EXPECT_NE(shownText.at(0).find("Uwaga do rekordu K12, zgłasza bibliotekarz"_cp), std::string::npos) << shownText.at(0);
    forms.SetCommands({});
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Nie ma rekordu K999999"_cp});
    EXPECT_EQ(longOps.texts, (std::vector<std::string>{"Trwa realizacja operacji"_cp, "Trwa realizacja operacji"_cp}));

    // Cancelled: no run.
    prompts.shown.clear();
    window.user = [](HeadlessParameterWindow&) {};
    EXPECT_FALSE(RunOperation(*files, "uwagi|REKORD|K12", context));
    EXPECT_TRUE(prompts.shown.empty());
    // Unknown programs, and a check that refuses.
    EXPECT_FALSE(RunOperation(*files, "isbn|X|1", context)) << "a program with options is no operation";
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Operacja nie jest dostępna"_cp});
    // A program the server refuses to this user (its check text has no "|") does not run.
    velt_programm reindex;
    reindex.Name = "Przeliczenie indeksów"_cp;
    reindex.Id = std::to_string(server::kReindexProgram);
    reindex.Call = "indeksy";
    reindex.Form = server::NoteProgram().form;
    files->Programs.push_back(reindex);
    prompts.shown.clear();
    const int before = window.shown;
    EXPECT_FALSE(RunOperation(*files, "indeksy", context));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Brak uprawnień do uruchomienia programu"_cp});
    EXPECT_EQ(window.shown, before) << "a refused program shows no form";
    Open("");
    prompts.shown.clear();
    EXPECT_FALSE(RunOperation(*files, "uwagi|REKORD|K12", context)) << "not logged in: no such operation";
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Operacja nie jest dostępna"_cp});
    EXPECT_TRUE(messages.empty()) << "no failure of the connection: " << messages[0];
}

TEST_F(ParameterItemsTest, AProgramItemShowsEachAnswerAndAsksAgainUntilCancelled) {
    Open("admin");
    const velt_programm* isbn = files->ProgramByCall("isbn");
    ASSERT_NE(isbn, nullptr);
    int rounds = 0;
    window.user = [&](HeadlessParameterWindow& w) {
        if (++rounds > 2) return;  // closed
        EXPECT_TRUE(w.Control("I.1")->IsChecked()) << "the check text's starting values";
        if (rounds == 2) w.Control("I.2")->UserClick();
        w.Execute();
    };
    int redisplayed = 0;
    RunProgramItem(*files, *isbn, "K1|K2|K3|", context, [&] { ++redisplayed; });
    EXPECT_EQ(rounds, 3);
    EXPECT_EQ(redisplayed, 2);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0], "plain:Sprawdzono rekordów: 3\r\nPoprawne numery ISBN: 3\r\nBłędne numery ISBN: 0"_cp)
        << "every seeded number is valid";
    EXPECT_NE(prompts.shown[1].find("Bez numeru ISBN: "_cp), std::string::npos) << prompts.shown[1];

    // Without a form the program runs once and its answer is shown.
    prompts.shown.clear();
    RunProgramItem(*files, *files->ProgramByCall("indeksy"), "", context, [&] { ++redisplayed; });
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"plain:Indeksy katalogu są aktualne"_cp});
    EXPECT_EQ(redisplayed, 3);
}

TEST_F(ParameterItemsTest, AReportWithAFormIsAskedRememberedAndProduced) {
    Open("");
    std::string given;
    const velt_report* report = ElementReport(*files, " Wykaz nabytków|S.1|T"_cp, given);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(given, "S.1|T");
    std::string remembered = "D.1|20000101|X|1|";
    window.user = [](HeadlessParameterWindow& w) {
        EXPECT_EQ(w.Control("D.1")->Text(), "01012000") << "the remembered date, shown as the mask writes it";
        EXPECT_EQ(w.Control("S.1")->Value(), 1) << "the element's order";
        Type(w, "D.2", "01011990");
        EXPECT_FALSE(w.Execute());
        Type(w, "D.2", "31122999");
        EXPECT_TRUE(w.Execute());
    };
    std::string values;
    ASSERT_TRUE(AskReportParameters(*report, given, remembered, context, values));
    EXPECT_EQ(values, "D.1|20000101|X|1|S.1|T|D.2|29991231|");
    EXPECT_EQ(remembered, values);
    EXPECT_EQ(window.errors, std::vector<std::vector<std::string>>{{"Data początkowa jest późniejsza od końcowej"_cp}});

    const std::string file = RunParameterReport(*files, *report, values, context);
    ASSERT_FALSE(file.empty()) << (prompts.shown.empty() ? "" : prompts.shown[0]);
    EXPECT_EQ(file.rfind(dir.Path() + "report", 0), 0u) << file;
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("WYKAZ NABYTKÓW\r\nod 01.01.2000 do 31.12.2999, według tytułu\r\n"_cp, 0), 0u) << text.substr(0, 200);
    const std::string total = "Razem pozycji: "_cp;
    ASSERT_NE(text.find(total), std::string::npos);
    EXPECT_EQ(std::stol(text.substr(text.find(total) + total.size())), Found("\"tytuł\" DOWOLNY"_cp))
        << "every book was acquired in the range";

    // A report the server does not make leaves no work file.
    velt_report unknown = *report;
    unknown.Id = 99;
    EXPECT_EQ(RunParameterReport(*files, unknown, values, context), "");
    EXPECT_EQ(prompts.shown.back(), "error:Serwer nie przygotował zestawienia \"Wykaz nabytków\""_cp);
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 1u) << "only the first report's file";
    // The default dates come from the script: the last thirty days.
    window.user = [](HeadlessParameterWindow& w) { w.Execute(); };
    std::string fresh;
    std::string defaults;
    ASSERT_TRUE(AskReportParameters(*report, "", fresh, context, defaults));
    EXPECT_EQ(defaults.substr(0, 4), "D.1|");
    EXPECT_EQ(defaults.find("D.2|" + server::DateOfDays(server::TodayDays()) + "|") != std::string::npos, true) << defaults;
}
