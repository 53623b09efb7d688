// The reader services of the client core against velt-server: the seeded
// readers, the circulation rules, accounts readable only where their reader
// was identified, the copies, the closed orders, the readers' programs, and
// velt-cli reader and closed-orders.

#include "Circulation.h"
#include "Seeder.h"
#include "Sqlite.h"
#include "catalogue/velt_files.h"
#include "net/ProgramRequests.h"
#include "params/HeadlessParameterWindow.h"
#include "reader/ClosedOrders.h"
#include "reader/ReaderAccount.h"
#include "reader/ReaderParameters.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include "server/ServerTestSupport.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

struct Prompts : RecordingPrompts, LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

struct View : AccountView {
    std::string password;
    void ShowFirst(AccountTab) override {}
    void ShowAgain(AccountTab, const std::string&) override {}
    std::optional<std::string> AskPassword(const std::string&, std::size_t) override { return password; }
};

// A catalogue of a server of its own (the tests change what readers hold),
// with the reader services over it.
struct Library {
    explicit Library(const ServerProcess& server, const std::string& user = {})
        : files(std::make_unique<TVeltClient>("127.0.0.1", nullptr, server.Port()), true),
          forms(window, settings, [] { return std::string("/nonexistent/"); }),
          services(files, prompts) {
        if (!user.empty()) {
            EXPECT_EQ(files.Connection().Login(user, user, ""), "");
            files.Connection().RequestStatus();
            files.LoadDescriptor();
        }
    }
    std::string Request(const std::string& parameters) { return ReaderRequest(files.Connection(), parameters); }
    std::unique_ptr<ReaderAccount> Account(const std::string& card, const std::string& password) {
        const auto reader = services.IdentifyByCard(card, password);
        EXPECT_TRUE(reader) << card;
        return std::make_unique<ReaderAccount>(services, ItemRunContext{forms, prompts, prompts, "/tmp/"},
                                               reader.value_or(ReaderIdentity{}), password);
    }
    velt_files files;
    Prompts prompts;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms;
    ReaderServices services;
};

// Every entry of a list: its key and its display text without markup.
std::vector<std::pair<std::string, std::string>> Entries(Vrserwer& source) {
    std::vector<std::pair<std::string, std::string>> out;
    for (std::string k = source.First(); !k.empty() && out.size() < 1000; k = source.Next(k)) {
        std::string text;
        if (const auto lines = source.Lines(k))
            for (const auto& l : *lines) text += (text.empty() ? "" : " | ") + l;
        out.emplace_back(k, text);
    }
    return out;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The copies of a record: inventory number, location, status, commands.
struct Copy {
    std::string sn, location, status, commands;
};
std::vector<Copy> Copies(velt_files& files, const std::string& record) {
    std::vector<Copy> out;
    for (const Entry& e : WalkIndex(files.Connection(), 6, 5, record, files.FormatByType("inwentarz")))
        out.push_back({e.items[3], e.items[5], e.items[6], e.items[7]});
    return out;
}

// The first copy of the first records that is in a location and in a state.
std::optional<Copy> FindCopy(velt_files& files, const std::string& location, const std::string& status) {
    for (int k = 1; k <= 300; ++k)
        for (const Copy& c : Copies(files, "K" + std::to_string(k)))
            if (c.location == location && c.status.rfind(status, 0) == 0) return c;
    return std::nullopt;
}

}  // namespace

TEST(ReaderServer, ReadersAreToldApartByTheirPasswordsAndCards) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    ASSERT_TRUE(l.files.Ready);
    EXPECT_EQ(l.files.Parameter("zamawianie"), "T") << "the client shows \"Kon&to\"";
    EXPECT_EQ(l.services.IdentifyByName("Nowak Jan", "jan1"), "000124");
    EXPECT_EQ(l.services.IdentifyByName("nowak  jan", "jan2"), "000125") << "two readers of one name";
    EXPECT_EQ(l.services.IdentifyByName("Nowak Jan", "jan3"), "");
    EXPECT_EQ(l.prompts.shown, std::vector<std::string>{"error:Nieznany czytelnik lub błędne hasło"_cp});
    const std::string answer = l.Request("&op=A&bar=12/3&haslo=piotr");
    EXPECT_TRUE(Has(answer, "&karta=12%2F3")) << answer;
    EXPECT_EQ(ReaderValue(answer, "karta"), "12/3");
    EXPECT_EQ(ReaderValue(answer, "nazwisko"), "Wiśniewski Piotr"_cp);
    const auto cat = l.services.IdentifyByName("Kot & Pies 50%", "kot");
    EXPECT_EQ(cat, "000321");
    const auto blocked = l.services.IdentifyByCard("000777", "lucja");
    ASSERT_TRUE(blocked) << "a blocked reader may look at the account";
    EXPECT_EQ(blocked->name, "Żółkiewska-Śliwa Łucja"_cp);
    EXPECT_FALSE(l.services.IdentifyByCard("000777", "LUCJA"));
    EXPECT_TRUE(Has(l.Request("&op=Q&karta=000123&haslo=anna"), "Nieznana operacja")) << "an unknown operation";
    EXPECT_TRUE(Has(l.Request("&op=T&karta=000123&haslo=zle&sn=010001"), "&wynik=N")) << "a wrong password";
}

// An account is not readable by guessing a card number: only a card
// identified on the same connection opens its lists.
TEST(ReaderServer, AccountsAreReadOnlyWhereTheirReaderWasIdentified) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library a(server), b(server);
    const std::int32_t format = a.files.FormatByType("konta");
    ASSERT_GT(format, 0);
    EXPECT_TRUE(WalkIndex(a.files.Connection(), 17, 1, "W000123", format).empty());
    ASSERT_TRUE(a.services.IdentifyByCard("000123", "anna"));
    const auto loans = WalkIndex(a.files.Connection(), 17, 1, "W000123", format);
    EXPECT_EQ(loans.size(), 3u);
    EXPECT_TRUE(WalkIndex(b.files.Connection(), 17, 1, "W000123", format).empty()) << "another connection";
    EXPECT_TRUE(WalkIndex(a.files.Connection(), 17, 1, "W000124", format).empty()) << "another reader";
    EXPECT_TRUE(WalkIndex(a.files.Connection(), 17, 1, "W00012", format).empty()) << "a card is matched whole";
    ASSERT_FALSE(loans.empty());
    EXPECT_FALSE(IndexFind(b.files.Connection(), 17, format, 1, loans[0].key)) << "nor found by its key";
    EXPECT_TRUE(IndexFind(a.files.Connection(), 17, format, 1, loans[0].key));
}

TEST(ReaderServer, TheSeededReadersHoldWhatTheDocumentationSays) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    auto anna = l.Account("000123", "anna");
    const auto reservations = Entries(anna->Source(AccountTab::Reservations));
    const auto orders = Entries(anna->Source(AccountTab::Orders));
    const auto loans = Entries(anna->Source(AccountTab::Loans));
    ASSERT_EQ(reservations.size(), 1u);
    ASSERT_EQ(orders.size(), 1u);
    ASSERT_EQ(loans.size(), 3u);
    EXPECT_TRUE(Has(reservations[0].second, "usuwanie&op=U&sn=")) << WinUtf().Convert(reservations[0].second);
    EXPECT_TRUE(Has(orders[0].second, "usuwanie&op=S&sn="));
    EXPECT_TRUE(Has(orders[0].second, "ZAM/"));
    EXPECT_TRUE(Has(loans[0].second, "(po terminie)")) << "an overdue loan";
    EXPECT_TRUE(Has(loans[1].second, "prolongat: 2 z 2")) << "one at its renewal limit";
    EXPECT_TRUE(Has(loans[1].second, "OPERACJA Prośba o dłuższy termin zwrotu|SN|"_cp));
    EXPECT_TRUE(Has(loans[2].second, "prolongata&op=T&sn="));
    EXPECT_EQ(Entries(l.Account("12/3", "piotr")->Source(AccountTab::Loans)).size(), 25u);
    auto empty = l.Account("000125", "jan2");
    for (const AccountTab t : {AccountTab::Reservations, AccountTab::Orders, AccountTab::Loans})
        EXPECT_TRUE(Entries(empty->Source(t)).empty());
    EXPECT_EQ(Entries(l.Account("000124", "jan1")->Source(AccountTab::Reservations)).size(), 1u);
}

// A renewal moves the due date by the loan period unless the renewal limit
// is reached or another reader reserved the copy; a blocked reader renews
// nothing.
TEST(ReaderServer, RenewalsFollowTheLibrarysRules) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    auto anna = l.Account("000123", "anna");
    const std::int32_t format = l.files.FormatByType("konta");
    const auto before = WalkIndex(l.files.Connection(), 17, 1, "W000123", format);
    ASSERT_EQ(before.size(), 3u);
    const auto sn = [](const Entry& e) { return e.items[3]; };
    const auto days = [](const std::string& shown) {  // DD.MM.YYYY
        return server::DaysOfDate(shown.substr(6, 4) + shown.substr(3, 2) + shown.substr(0, 2));
    };
    EXPECT_TRUE(anna->Command(AccountTab::Loans, "prolongata&op=T&sn=" + sn(before[2]), before[2].key));
    EXPECT_TRUE(anna->Command(AccountTab::Loans, "prolongata&op=T&sn=" + sn(before[0]), before[0].key))
        << "an overdue loan may be renewed";
    EXPECT_FALSE(anna->Command(AccountTab::Loans, "prolongata&op=T&sn=" + sn(before[1]), before[1].key));
    const auto after = WalkIndex(l.files.Connection(), 17, 1, "W000123", format);
    EXPECT_EQ(days(after[2].items[5]) - days(before[2].items[5]), server::kLoanDays);
    EXPECT_EQ(days(after[0].items[5]) - days(before[0].items[5]), server::kLoanDays);
    EXPECT_EQ(after[1].items[5], before[1].items[5]);
    ASSERT_GE(l.prompts.shown.size(), 3u);
    EXPECT_TRUE(Has(l.prompts.shown[0], "message:Prolongowano wypożyczenie egzemplarza "_cp + sn(before[2]) + " do "));
    EXPECT_EQ(l.prompts.shown[2], "error:Osiągnięto limit prolongat (2)"_cp);

    // Wiśniewski Piotr's fourth loan is reserved by Nowak Jan.
    auto piotr = l.Account("12/3", "piotr");
    const auto loans = WalkIndex(l.files.Connection(), 17, 1, "W12/3", format);
    ASSERT_EQ(loans.size(), 25u);
    int reserved = 0;
    for (const Entry& e : loans) {
        l.prompts.shown.clear();
        if (!piotr->Command(AccountTab::Loans, "prolongata&op=T&sn=" + sn(e), e.key) &&
            l.prompts.shown == std::vector<std::string>{"error:Egzemplarz "_cp + sn(e) +
                                                        " jest zarezerwowany przez innego czytelnika"_cp})
            ++reserved;
    }
    EXPECT_EQ(reserved, 1);

    auto lucja = l.Account("000777", "lucja");
    const auto hers = WalkIndex(l.files.Connection(), 17, 1, "W000777", format);
    ASSERT_EQ(hers.size(), 1u);
    l.prompts.shown.clear();
    EXPECT_FALSE(lucja->Command(AccountTab::Loans, "prolongata&op=T&sn=" + sn(hers[0]), hers[0].key));
    EXPECT_EQ(l.prompts.shown,
              std::vector<std::string>{"error:Konto czytelnika jest zablokowane: nieoddane wypożyczenie po terminie"_cp});
}

// A reservation of a copy already reserved, ordered or lent is refused with
// the reason; ordering a lent copy reserves it for when it is back; a copy
// of the stacks is ordered; the reading room lends nothing.
TEST(ReaderServer, ReservationsAndOrdersFollowTheLibrarysRules) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    const auto shelf = FindCopy(l.files, "Wypożyczalnia"_cp, "dostępny"_cp);
    const auto lent = FindCopy(l.files, "Filia nr 1"_cp, "wypożyczony"_cp);
    const auto stacks = FindCopy(l.files, "Magazyn"_cp, "dostępny"_cp);
    const auto reading = FindCopy(l.files, "Czytelnia"_cp, "tylko na miejscu"_cp);
    ASSERT_TRUE(shelf && lent && stacks && reading);
    EXPECT_EQ(shelf->commands, "&op=R&sn=" + shelf->sn);
    EXPECT_EQ(lent->commands, "&op=W&sn=" + lent->sn);
    EXPECT_EQ(stacks->commands, "&op=W&sn=" + stacks->sn);
    EXPECT_EQ(reading->commands, "");

    const auto run = [&](const std::string& card, const std::string& password, const std::string& command) {
        l.prompts.shown.clear();
        l.services.ReaderCommand(card, password, command);
        return l.prompts.shown.empty() ? std::string() : l.prompts.shown.back();
    };
    EXPECT_EQ(run("000124", "jan1", "&op=R&sn=" + shelf->sn), "message:Zarezerwowano egzemplarz " + shelf->sn);
    EXPECT_EQ(run("000125", "jan2", "&op=R&sn=" + shelf->sn),
              "error:Egzemplarz " + shelf->sn + " jest już zarezerwowany"_cp);
    EXPECT_EQ(run("000125", "jan2", "&op=R&sn=" + lent->sn).substr(0, 22 + lent->sn.size()),
              "error:Egzemplarz " + lent->sn + " jest")
        << "a lent copy is not reserved";
    EXPECT_EQ(run("000125", "jan2", "&op=W&sn=" + lent->sn), "message:Zarezerwowano egzemplarz " + lent->sn)
        << "ordering a lent copy reserves it";
    EXPECT_EQ(run("000125", "jan2", "&op=R&sn=" + stacks->sn),
              "error:Egzemplarz " + stacks->sn + " jest w magazynie: należy go zamówić"_cp);
    EXPECT_EQ(run("000125", "jan2", "&op=w&sn=" + stacks->sn), "message:Zamówienie zostało przyjęte"_cp);
    EXPECT_EQ(run("000125", "jan2", "&op=W&sn=" + reading->sn),
              "error:Egzemplarz " + reading->sn + " jest dostępny tylko na miejscu w czytelni"_cp);
    EXPECT_EQ(run("000777", "lucja", "&op=R&sn=" + reading->sn).substr(0, 40),
              "error:Konto czytelnika jest zablokowane: "_cp.substr(0, 40));

    // What a reader holds shows in the copy and in the account, and goes
    // when the reader cancels it.
    auto jan = l.Account("000125", "jan2");
    EXPECT_EQ(Entries(jan->Source(AccountTab::Reservations)).size(), 1u);
    EXPECT_EQ(Entries(jan->Source(AccountTab::Orders)).size(), 1u);
    EXPECT_TRUE(jan->Command(AccountTab::Orders, "usuwanie&op=S&sn=" + stacks->sn, ""));
    EXPECT_TRUE(jan->Command(AccountTab::Reservations, "usuwanie&op=U&sn=" + lent->sn, ""));
    EXPECT_FALSE(jan->Command(AccountTab::Reservations, "usuwanie&op=U&sn=" + shelf->sn, ""))
        << "another reader's reservation";
    EXPECT_TRUE(Entries(jan->Source(AccountTab::Orders)).empty());
    EXPECT_TRUE(Entries(jan->Source(AccountTab::Reservations)).empty());

    // Five reservations and orders at most; a record's link takes a copy it can.
    int claimed = 0;
    for (int k = 1; k <= 40 && claimed < 6; ++k) {
        const std::string last = run("000125", "jan2", "&op=W&rekord=K" + std::to_string(k));
        if (last.rfind("message:", 0) == 0) ++claimed;
        if (Has(last, "Osiągnięto limit rezerwacji i zamówień (5)"_cp)) break;
    }
    EXPECT_EQ(claimed, server::kClaimLimit);
}

TEST(ReaderServer, TheLoanFormFindsTheCopyOfExactlyItsNumber) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    const RecordPtr copy = l.services.CopyEntry("010001");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Item(1), "010001");
    EXPECT_FALSE(copy->Item(14).empty()) << "the description";
    EXPECT_FALSE(copy->Item(4).empty()) << "the shelf mark";
    EXPECT_EQ(l.files.EntryText(copy.get()), l.files.StoredIdentifier("K1"));
    EXPECT_FALSE(l.services.CopyEntry("01000")) << "the beginning of ten numbers is none of them";
    EXPECT_TRUE(IndexFrom(l.files.Connection(), 6, 8, 3, "01000", "")) << "though the index answers one";
}

// The new password travels as a value, "&" and "%" in it, and the account
// goes on with it.
TEST(ReaderServer, APasswordChangedInTheAccountIsTheOneUsedAfterIt) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    auto account = l.Account("000321", "kot");
    View view;
    view.password = "a&op=A%2";
    account->SetView(&view);
    EXPECT_TRUE(account->ChangePassword());
    const auto loans = WalkIndex(l.files.Connection(), 17, 1, "W000321", l.files.FormatByType("konta"));
    ASSERT_EQ(loans.size(), 1u);
    EXPECT_TRUE(account->Command(AccountTab::Loans, "prolongata&op=T&sn=" + loans[0].items[3], loans[0].key));
    Library other(server);
    EXPECT_TRUE(other.services.IdentifyByCard("000321", "a&op=A%2"));
    EXPECT_FALSE(other.services.IdentifyByCard("000321", "a"));
    view.password = "";
    EXPECT_FALSE(account->ChangePassword());
    EXPECT_EQ(l.prompts.shown.back(), "error:Hasło nie może być puste"_cp);
}

TEST(ReaderServer, TheReadersProgramRenewsTheLoansFromTheAccountOnly) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    auto anna = l.Account("000123", "anna");
    ASSERT_EQ(anna->Programs().size(), 1u);
    EXPECT_EQ(anna->Programs()[0].Name, "Prolongata wszystkich wypożyczeń"_cp);
    int shown = 0;
    l.window.user = [&shown](HeadlessParameterWindow& w) {
        // The second showing is the form coming back after the answer: closed.
        if (++shown == 1) w.Execute();
    };
    anna->RunProgram(0);
    EXPECT_EQ(shown, 2);
    ASSERT_FALSE(l.prompts.shown.empty());
    EXPECT_EQ(l.prompts.shown.back(),
              "plain:Prolongowano wypożyczeń: 2\r\nNie prolongowano:\r\n"_cp + "010002: Osiągnięto limit prolongat (2)"_cp)
        << WinUtf().Convert(l.prompts.shown.back());
    // Asked from elsewhere, the program refuses before it runs.
    const velt_programm* program = l.files.ProgramByCall("ZAMPROL");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(ProgramCheck(l.files.Connection(), program->Id).find('|'), std::string::npos);
    EXPECT_EQ(ProgramRun(l.files.Connection(), program->Id, "KARTA|000123|HASLO|zle|", ""),
              "Brak identyfikacji czytelnika"_cp);
}

TEST(ReaderServer, ClosedOrdersAreALibrariansListInByteOrder) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library reader(server);
    EXPECT_TRUE(WalkIndex(reader.files.Connection(), 70, 2, "P").empty()) << "not for readers";
    Library librarian(server, "bibliotekarz");
    const auto all = WalkIndex(librarian.files.Connection(), 70, 2, "P");
    ASSERT_EQ(all.size(), 30u);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string& text = all[i].items[7];
        EXPECT_EQ(text.substr(0, 4), "ZAM/");
        EXPECT_EQ(text[14], '0' + static_cast<char>((i + 1) % 10)) << text;
        EXPECT_EQ(text[15], ' ') << "the number is the first 15 characters";
        if (i) EXPECT_LT(all[i - 1].key, all[i].key);
    }
    zam_server source(librarian.files);
    std::vector<std::string> forward, backward;
    for (std::string k = source.First(); !k.empty() && forward.size() < 40; k = source.Next(k))
        forward.push_back(source.Text(k));
    for (std::string k = source.Last(); !k.empty() && backward.size() < 40; k = source.Prior(k))
        backward.push_back(source.Text(k));
    ASSERT_EQ(forward.size(), 30u);
    EXPECT_EQ(forward.front(), all.front().items[7]);
    EXPECT_EQ(std::vector<std::string>(backward.rbegin(), backward.rend()), forward);
}

TEST(ReaderServer, TheFullDisplayOffersTheCopiesLinks) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    Library l(server);
    bool reserve = false, order = false;
    for (int k = 1; k <= 30; ++k) {
        const RecordPtr r = IndexFrom(l.files.Connection(), 21, 2, 1, l.files.StoredIdentifier("K" + std::to_string(k)), "");
        ASSERT_TRUE(r);
        const std::string display = r->Item(7);
        EXPECT_TRUE(Has(display, "Egzemplarze: "));
        reserve = reserve || Has(display, "\x1BL&op=R&sn=");
        order = order || Has(display, "\x1BL&op=W&sn=");
    }
    EXPECT_TRUE(reserve && order);
}

// A catalogue of schema 2 gets its readers and copies when the server starts on it.
TEST(ReaderServer, AnOlderCatalogueGetsItsCirculation) {
    TempDir dir;
    const std::string db = dir.Path() + "old.db";
    server::SeedDatabase(db, 40);
    {
        server::Database d(db, false);
        d.Exec("DROP TABLE readers; DROP TABLE copies; DROP TABLE loans; DROP TABLE holds; DROP TABLE orders;"
               "DROP TABLE closed_orders; DROP TABLE extension_requests;");
        server::SetMetaValue(d, "schema", "2");
    }
    server::UpgradeDatabase(db);
    server::Database d(db, false);
    server::Circulation c(d);
    ASSERT_TRUE(c.Reader("000123"));
    EXPECT_EQ(c.LoansOf("000123").size(), 3u);
    EXPECT_FALSE(c.CopiesOf(server::Identifiers(server::DbKind::Velt3, server::kRecordLetters).Number('K', 1)).empty());
    EXPECT_EQ(server::MetaValue(d, "schema"), std::optional<std::string>(std::to_string(server::kSchemaVersion)));
}

// velt-cli reader and closed-orders, as a script of circulation notices
// would use them.
TEST(ReaderServer, CliReaderCommands) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string at = "--host 127.0.0.1 --port " + std::to_string(server.Port()) + " ";
    CliRun r = RunCli(at + "reader identify --name 'Nowak Jan' --password jan2");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "karta=000125\nnazwisko=Nowak Jan\n");
    r = RunCli(at + "reader identify --card 000123 --password zle");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Nieznany czytelnik lub błędne hasło\n");
    EXPECT_EQ(r.out, "");

    r = RunCli(at + "reader account --card 000123 --password anna --tab wypozyczenia");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::vector<std::string>> lines;
    for (std::size_t from = 0, end; (end = r.out.find('\n', from)) != std::string::npos; from = end + 1) {
        std::vector<std::string> fields;
        const std::string line = r.out.substr(from, end - from);
        for (std::size_t a = 0, t;; a = t + 1) {
            t = line.find('\t', a);
            fields.push_back(line.substr(a, t == std::string::npos ? std::string::npos : t - a));
            if (t == std::string::npos) break;
        }
        lines.push_back(fields);
    }
    ASSERT_EQ(lines.size(), 3u) << r.out;
    for (const auto& f : lines) {
        ASSERT_EQ(f.size(), 4u);
        EXPECT_EQ(f[0], "wypozyczenia");
        EXPECT_EQ(f[3].rfind("prolongata&op=T&sn=", 0), 0u) << f[3];
    }
    EXPECT_NE(lines[0][2].find("po terminie"), std::string::npos) << "UTF-8 plain text: " << lines[0][2];
    const std::string renew = lines[2][3];
    r = RunCli(at + "reader do --card 000123 --password anna '" + renew + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Prolongowano wypożyczenie egzemplarza ", 0), 0u) << r.out;
    r = RunCli(at + "reader do --card 000123 --password anna '" + lines[1][3].substr(0, lines[1][3].find('|')) + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Osiągnięto limit prolongat (2)\n");
    r = RunCli(at + "reader do --card 000123 --password anna 'nic'");
    EXPECT_EQ(r.status, 1) << "no command of an account line or a copy";

    r = RunCli(at + "reader copies K1");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.substr(0, 7), "010001\t");
    r = RunCli(at + "reader password --card 000125 --password jan2 --new 'n&%'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunCli(at + "reader identify --card 000125 --password 'n&%'").status, 0);
    r = RunCli(at + "reader password --card 000125 --password 'n&%' --new 12345678901");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Hasło może mieć najwyżej 10 znaków\n");

    r = RunCli(at + "closed-orders");
    EXPECT_EQ(r.status, 1) << "a librarian's list";
    r = RunCli(at + "--user bibliotekarz --password bibliotekarz closed-orders --count 2 --backward");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto newline = r.out.find('\n');
    ASSERT_NE(newline, std::string::npos);
    EXPECT_EQ(r.out.substr(0, 15).substr(9), "000030");
    EXPECT_EQ(r.out.substr(newline + 1, 15).substr(9), "000029");
}
