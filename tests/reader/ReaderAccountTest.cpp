// The reader's account and the closed-orders chooser against a scripted
// server: the entries' commands, the reader's programs, the password, and
// the order list's steps over texts a byte comparison orders.

#include "catalogue/velt_files.h"
#include "params/HeadlessParameterWindow.h"
#include "reader/ClosedOrders.h"
#include "reader/ReaderAccount.h"
#include "text/CpLiteral.h"

#include "reader/FakeReaderServer.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;
using test::FakeReaderServer;

namespace {

const std::string kStatus =
    "VELT2&wersja=2026.01.01&edycja=1&rekordy=KOT&zamawianie=T&struktura="
    "{f={nam=Konto}{typ=konta}{id=7}}"
    "{p={nam=Prolongata}{id=4}{cal=ZAMPROL|KARTA|%KARTA%|HASLO|%HASLO%|NAZWISKO|%NAZWISKO%|}}"
    "{p={nam=Zbiorczo}{id=6}{cal=ZAMX}{opt=S}}"
    "{p={nam=Prośba}{id=5}{cal=prosba|KARTA|%KARTA%|HASLO|%HASLO%|}"
    "{par=BEGIN\rFIELD 'U.1' ON 8, 8, 200\rEND\r}}"
    "{p={nam=Uwagi}{id=3}{cal=uwagi}}"_cp;

struct Prompts : test::RecordingPrompts, LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

struct View : AccountView {
    std::vector<std::string> moves;
    std::vector<std::string> passwords;  // answered in turn; none left: given up
    void ShowFirst(AccountTab tab) override { moves.push_back("first " + std::to_string(static_cast<int>(tab))); }
    void ShowAgain(AccountTab tab, const std::string& key) override {
        moves.push_back("again " + std::to_string(static_cast<int>(tab)) + " " + key);
    }
    std::optional<std::string> AskPassword(const std::string&, std::size_t maxLength) override {
        EXPECT_EQ(maxLength, 10u);
        if (passwords.empty()) return std::nullopt;
        std::string p = passwords.front();
        passwords.erase(passwords.begin());
        return p;
    }
};

struct Account {
    explicit Account(FakeReaderServer::Answer answer, FakeReaderServer::ProgramAnswer programs = {},
                     std::string name = "Kot | Pies")
        : server(kStatus, {}, std::move(answer), std::move(programs)),
          files("127.0.0.1", nullptr, true, server.Port()),
          forms(window, settings, [] { return std::string("/nonexistent/"); }),
          services(files, prompts),
          account(services, ItemRunContext{forms, prompts, prompts, "/tmp/"}, {"000321", std::move(name)}, "kot") {
        account.SetView(&view);
    }
    FakeReaderServer server;
    velt_files files;
    Prompts prompts;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms;
    ReaderServices services;
    ReaderAccount account;
    View view;
};

}  // namespace

TEST(ReaderAccount, RemovalsAskFirstAndRenewalsShowTheirEntryAgain) {
    Account a([](const std::string& text) {
        return text.find("&op=T") != std::string::npos ? std::string("&wynik=Z&ok=Prolongowano") : std::string("&wynik=Z");
    });
    ASSERT_TRUE(a.files.Ready);
    EXPECT_EQ(a.account.Caption(), "Czytelnik: Kot | Pies");

    a.prompts.answer = kNo;
    EXPECT_FALSE(a.account.Command(AccountTab::Reservations, "usuwanie&op=U&sn=010005", "k"));
    EXPECT_TRUE(a.server.Texts().empty()) << "\"Nie\": nothing is removed";
    a.prompts.answer = kYes;
    EXPECT_TRUE(a.account.Command(AccountTab::Orders, "usuwanie&op=S&sn=010008", "k"));
    EXPECT_TRUE(a.account.Command(AccountTab::Loans, "prolongata&op=T&sn=010003", "W000321\x01" "010003"));
    EXPECT_EQ(a.server.Texts(), (std::vector<std::string>{"&client=VELT_TCP&op=S&sn=010008&karta=000321&haslo=kot",
                                                          "&client=VELT_TCP&op=T&sn=010003&karta=000321&haslo=kot"}));
    EXPECT_EQ(a.view.moves, (std::vector<std::string>{"first 0", "first 1", "again 2 W000321\x01" "010003"}));

    EXPECT_FALSE(a.account.Command(AccountTab::Orders, "zamowienia", "k"));
    EXPECT_FALSE(a.account.Command(AccountTab::Orders, "Zstan", "k"));
    EXPECT_FALSE(a.account.Command(AccountTab::Orders, "!", "k")) << "other commands do nothing";
    EXPECT_EQ(a.prompts.shown,
              (std::vector<std::string>{"ask:Czy rzeczywiście chcesz usunąć ten wiersz?"_cp,
                                        "ask:Czy rzeczywiście chcesz usunąć ten wiersz?"_cp,
                                        "message:Operacja została wykonana"_cp, "message:Prolongowano",
                                        "message:Pozycja jest zamówiona"_cp, "message:Pozycja jest zamówiona"_cp}));
}

// A "|" in the reader's name (or card, or password) would shift the pairs of
// the program's values: it travels as the parameter forms write it.
TEST(ReaderAccount, OperationsCarryTheReadersValuesAsPairs) {
    Account a([](const std::string&) { return std::string("&wynik=Z"); },
              [](char letter, const std::string&, const std::string& values) {
                  if (letter == 'D') return std::string("ZRODLO|konto|");
                  return values.find("U.1|pilne|") != std::string::npos ? std::string() : std::string("Brak uzasadnienia");
              });
    ASSERT_EQ(a.account.Programs().size(), 1u) << "only calls beginning with ZAM and without options";
    EXPECT_EQ(a.account.Programs()[0].Name, "Prolongata");
    EXPECT_EQ(a.account.CallValues(a.account.Programs()[0]),
              "KARTA|000321|HASLO|kot|NAZWISKO|Kot \x1B" "1 Pies|");

    EXPECT_FALSE(a.account.Command(AccountTab::Loans, "OPERACJA Nieznana|x|1", "k"));
    EXPECT_EQ(a.prompts.shown.back(), "error:Operacja nie jest dostępna"_cp);
    EXPECT_FALSE(a.account.Command(AccountTab::Loans, "OPERACJA Zbiorczo", "k")) << "a program with options is no operation";
    EXPECT_TRUE(a.server.Requests().empty());

    // The form gets the check, the element's values and the call's; the run
    // that answers nothing ends it, and the lists start again.
    int shown = 0;
    a.window.user = [&shown](HeadlessParameterWindow& w) {
        ++shown;
        if (shown == 2) w.Control("U.1")->UserType("pilne");
        w.Execute();
    };
    EXPECT_TRUE(a.account.Command(AccountTab::Loans, "OPERACJA   Prośba|SN|010002"_cp, "k"));
    EXPECT_EQ(shown, 2) << "the refused run brings the form back";
    const auto requests = a.server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], "201D 5 []");
    const std::string given = "201X 5 [ZRODLO|konto|SN|010002|KARTA|000321|HASLO|kot|";
    EXPECT_EQ(requests[1].substr(0, given.size()), given);
    EXPECT_EQ(requests[2].substr(0, given.size()), given);
    EXPECT_NE(requests[2].find("U.1|pilne|"), std::string::npos);
    EXPECT_EQ(a.prompts.shown.back(), "error:Brak uzasadnienia");
    EXPECT_EQ(a.view.moves, (std::vector<std::string>{"first 0", "first 1", "first 2"}));
}

TEST(ReaderAccount, ProgramsOfOperacjaShowEveryAnswer) {
    int runs = 0;
    Account a([](const std::string&) { return std::string("&wynik=Z"); },
              [&runs](char letter, const std::string&, const std::string&) {
                  return letter == 'X' && ++runs == 1 ? std::string("Prolongowano: 2") : std::string();
              });
    a.account.RunProgram(0);
    EXPECT_EQ(a.server.Requests(),
              (std::vector<std::string>{"201X 4 [KARTA|000321|HASLO|kot|NAZWISKO|Kot \x1B" "1 Pies|]"}))
        << "no check: the call gives the values; no form: one run";
    EXPECT_EQ(a.prompts.shown, std::vector<std::string>{"plain:Prolongowano: 2"});
    EXPECT_EQ(a.view.moves.size(), 3u);
}

// The new password is a value like any other, and the account goes on with
// it: every later command would fail with the old one.
TEST(ReaderAccount, ANewPasswordIsSentEscapedAndKept) {
    Account a([](const std::string& text) {
        return text.find("&op=H") != std::string::npos || text.find("&haslo=a%26op=A%25") != std::string::npos
                   ? std::string("&wynik=Z")
                   : std::string("&wynik=N&err=B%B3%EAdne has%B3o");
    });
    a.view.passwords = {"a&op=A%", "inne"};
    EXPECT_FALSE(a.account.ChangePassword());
    EXPECT_EQ(a.prompts.shown.back(), "error:Nowe hasło zostało źle powtórzone"_cp);
    EXPECT_TRUE(a.server.Texts().empty());
    a.view.passwords = {"a&op=A%"};
    EXPECT_FALSE(a.account.ChangePassword()) << "given up at the repetition";
    a.view.passwords = {"a&op=A%", "a&op=A%"};
    EXPECT_TRUE(a.account.ChangePassword());
    EXPECT_EQ(a.server.Texts().back(), "&client=VELT_TCP&op=H&nowe=a%26op=A%25&karta=000321&haslo=kot");
    EXPECT_EQ(a.account.Password(), "a&op=A%");
    EXPECT_EQ(a.prompts.busyDepth, 0);
    EXPECT_TRUE(a.account.Command(AccountTab::Loans, "prolongata&op=T&sn=1", ""));
    EXPECT_EQ(a.server.Texts().back(), "&client=VELT_TCP&op=T&sn=1&karta=000321&haslo=a%26op=A%25");
    a.view.passwords = {"12345678901", "12345678901"};
    EXPECT_FALSE(a.account.ChangePassword());
    EXPECT_EQ(a.prompts.shown.back(), "error:Hasło może mieć najwyżej 10 znaków"_cp);
}

namespace {

// Closed orders whose keys are their texts.
std::vector<FakeReaderServer::Entry> Orders(const std::vector<std::string>& texts) {
    std::vector<FakeReaderServer::Entry> out;
    for (const auto& t : texts) out.push_back({t, "K    1", "", "", "", "", t, t});
    return out;
}

struct ChooserWindow : ClosedOrdersWindow {
    std::function<bool(zam_server&)> act;
    bool Choose(zam_server& source) override { return act(source); }
};

}  // namespace

TEST(ClosedOrders, NextPassesTheTextsOfAnOrderAndNothingElse) {
    const std::string n1 = "ZAM/2026/000001", n2 = "ZAM/2026/000002";
    const std::string high = std::string("ZAM/2026/00000") + "\xFF";  // a 15th byte that cannot go higher
    const std::vector<std::string> texts = {
        "ZAM/2026/00000",         // 14 characters: "+0" would skip the next
        "ZAM/2026/00000 zwrot",   // continues below "0"
        n1 + " Kowalska",
        n1 + " Kowalska, drugi",  // the same order: passed over
        n2 + " Nowak",
        high + " a",
        high + " b",
    };
    FakeReaderServer server(kStatus, {{70, Orders(texts)}}, {});
    velt_files files("127.0.0.1", nullptr, true, server.Port());
    zam_server source(files);
    std::vector<std::string> forward;
    for (std::string k = source.First(); !k.empty() && forward.size() < 20; k = source.Next(k)) forward.push_back(k);
    EXPECT_EQ(forward, (std::vector<std::string>{texts[0], texts[1], texts[2], texts[4], texts[5], texts[6]}));
    std::vector<std::string> backward;
    for (std::string k = source.Last(); !k.empty() && backward.size() < 20; k = source.Prior(k)) backward.push_back(k);
    EXPECT_EQ(backward.size(), texts.size());
    EXPECT_EQ(backward.front(), texts.back());
    ASSERT_TRUE(source.Lines(texts[2]));
    EXPECT_EQ(*source.Lines(texts[2]), std::vector<std::string>{texts[2]});
    EXPECT_EQ(server.Requests()[0], "55 70 2 [P] []") << "kind 70, parameter 2, prefix P";
}

TEST(ClosedOrders, ADoubleClickChoosesTheOrdersText) {
    FakeReaderServer server(kStatus, {{70, Orders({"ZAM/2026/000001 a", "ZAM/2026/000002 b"})}}, {});
    velt_files files("127.0.0.1", nullptr, true, server.Port());
    ChooserWindow window;
    bool closed = false;
    window.act = [&closed](zam_server& s) {
        s.OnChosen([&closed] { closed = true; });
        s.Action(s.Next(s.First()), "!");
        EXPECT_FALSE(closed) << "a selection chooses nothing";
        s.Action(s.Next(s.First()), "*");
        return closed;
    };
    EXPECT_EQ(ChooseClosedOrder(files, window), std::optional<std::string>("ZAM/2026/000002 b"));
    window.act = [](zam_server&) { return false; };
    EXPECT_EQ(ChooseClosedOrder(files, window), std::nullopt) << "closed without a choice";
}
