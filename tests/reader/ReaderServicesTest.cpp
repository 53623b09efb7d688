// The reader services against a scripted server: what the requests carry,
// what the user is shown for each answer, the loan form's copy, and the
// identification window's flow.

#include "catalogue/velt_files.h"
#include "reader/OrderFlow.h"
#include "reader/ReaderServices.h"
#include "text/CpLiteral.h"

#include "reader/FakeReaderServer.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;
using test::FakeReaderServer;

namespace {

const std::string kStatus =
    "VELT2&wersja=2026.01.01&edycja=1&rekordy=KOT&zamawianie=T&struktura="
    "{f={nam=Konto}{typ=konta}{id=7}}{f={nam=Inwentarz}{typ=inwentarz}{id=8}}";

// The copies by number: "012345" only, its description and shelf mark.
std::map<int, std::vector<FakeReaderServer::Entry>> Copies() {
    FakeReaderServer::Entry e(14);
    e[0] = "012345";
    e[1] = "K    1";
    e[3] = "II 10001";
    e[13] = "Nowak, Jan. Opis \x1BSB\x1A" "egzemplarza";
    return {{6, {e}}};
}

struct LoanFormsSpy : LoanForms {
    bool enabled = true;
    std::vector<LoanFormData> printed;
    bool Enabled() override { return enabled; }
    void Print(const LoanFormData& data) override { printed.push_back(data); }
};

struct Fixture {
    explicit Fixture(FakeReaderServer::Answer answer, std::map<int, std::vector<FakeReaderServer::Entry>> indexes = {})
        : server(kStatus, std::move(indexes), std::move(answer)),
          files("127.0.0.1", [this](const std::string& m, SessionText) { session.push_back(m); }, true, server.Port()),
          services(files, prompts, &loanForms) {
        services.SetClock([] { return std::string("2026030912:30:45"); });
    }
    FakeReaderServer server;
    std::vector<std::string> session;  // what the session itself reported
    test::RecordingPrompts prompts;
    LoanFormsSpy loanForms;
    velt_files files;
    ReaderServices services;
};

// The identification window played by a test.
struct ScriptedWindow : IdentificationWindow {
    bool accept = true;
    IdentificationEntry typed;
    std::vector<std::string> captions;
    bool Identify(const std::string& caption, IdentificationEntry& entry) override {
        captions.push_back(caption);
        if (accept) entry = typed;
        return accept;
    }
};

}  // namespace

TEST(ReaderServices, IdentificationSendsItsValuesEscapedInOrderAndReadsTheCard) {
    Fixture f([](const std::string& text) {
        return text.find("&op=A&nazwisko=") != std::string::npos ? std::string("&wynik=Z&karta=12%2F3")
                                                                   : std::string("&wynik=Z&karta=000321&nazwisko=Kot %26 Pies 50%25");
    });
    ASSERT_TRUE(f.files.Ready);
    EXPECT_EQ(f.services.IdentifyByName("Kot & Pies 50%", "a&b=%"), "12/3");
    const auto reader = f.services.IdentifyByCard("000321", "kot");
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->card, "000321");
    EXPECT_EQ(reader->name, "Kot & Pies 50%");
    EXPECT_EQ(f.server.Texts(), (std::vector<std::string>{
                                    "&client=VELT_TCP&op=A&nazwisko=Kot %26 Pies 50%25&haslo=a%26b=%25",
                                    "&client=VELT_TCP&op=A&bar=000321&haslo=kot"}));
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST(ReaderServices, RefusalsShowTheServersReasonAndNothingElse) {
    Fixture f([](const std::string& text) {
        if (text.find("&op=T") != std::string::npos) return std::string("&wynik=N&err=Osi%B9gni%EAto limit");
        return std::string("&wynik=N");
    });
    EXPECT_EQ(f.services.IdentifyByName("Nowak Jan", "zle"), "");
    EXPECT_FALSE(f.services.ReaderCommand("000123", "anna", "&op=T&sn=010002"));
    EXPECT_EQ(f.prompts.shown, (std::vector<std::string>{"error:Operacja nie została wykonana"_cp,
                                                         "error:Osiągnięto limit"_cp}));
}

// The session says once that the connection broke; the services add no
// empty "Błąd!" after it, neither at the failure nor at a later command.
TEST(ReaderServices, ABrokenConnectionShowsNothingMore) {
    Fixture f([](const std::string&) { return FakeReaderServer::kClose; });
    EXPECT_FALSE(f.services.ReaderCommand("000123", "anna", "&op=R&sn=012345"));
    EXPECT_EQ(f.services.IdentifyByName("Nowak Jan", "jan1"), "");
    EXPECT_FALSE(f.services.IdentifyByCard("000123", "anna"));
    EXPECT_TRUE(f.files.Broken());
    EXPECT_EQ(f.session.size(), 1u) << "the session's one message";
    EXPECT_TRUE(f.prompts.shown.empty());
    EXPECT_EQ(f.server.Texts().size(), 1u) << "nothing is sent on a broken connection";
}

TEST(ReaderServices, EachOperationShowsWhatTheServerDid) {
    Fixture f([](const std::string& text) {
        if (text.find("&op=T") != std::string::npos) return std::string("&wynik=Z&ok=Prolongowano do 10.04.2026");
        if (text.find("&sn=012345") != std::string::npos) return std::string("&wynik=Z&sn=012345");
        if (text.find("&op=w") != std::string::npos) return std::string("&wynik=Z&zamowienie=ZAM/2026/000032");
        return std::string("&wynik=Z");
    });
    f.loanForms.enabled = false;
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=T&sn=1"));
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=W&sn=012345"));
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=w&rekord=K1"));
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=U&sn=1"));
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=R&sn=012345"));
    EXPECT_EQ(f.prompts.shown,
              (std::vector<std::string>{"message:Prolongowano do 10.04.2026", "message:Zarezerwowano egzemplarz 012345",
                                        "message:Zamówienie zostało przyjęte"_cp,
                                        "message:Operacja została wykonana"_cp,
                                        "message:Zarezerwowano egzemplarz 012345"}));
    // The command goes as the link gave it, the reader after it.
    EXPECT_EQ(f.server.Texts()[0], "&client=VELT_TCP&op=T&sn=1&karta=000123&haslo=anna");
    EXPECT_EQ(f.server.Count(55), 0) << "without loan forms no copy is looked up";
}

// The loan form describes the copy of exactly the reserved number: an
// index by number answers the first copy beginning with it, which may be
// another one.
TEST(ReaderServices, AReservationPrintsTheLoanFormOfItsOwnCopyOnly) {
    std::string sn = "0123";
    Fixture f([&sn](const std::string&) {
        return "&wynik=Z&sn=" + sn + "&bar=2900000123452&nazwisko=Kowalska Anna";
    }, Copies());
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=r&rekord=K1"));
    EXPECT_TRUE(f.loanForms.printed.empty()) << "012345 is another copy than 0123";
    sn = "012345";
    EXPECT_TRUE(f.services.ReaderCommand("000123", "anna", "&op=R&sn=012345"));
    ASSERT_EQ(f.loanForms.printed.size(), 1u);
    const LoanFormData& d = f.loanForms.printed[0];
    EXPECT_EQ(d.id, "2900000123452");
    EXPECT_EQ(d.card, "000123");
    EXPECT_EQ(d.readerName, "Kowalska Anna");
    EXPECT_EQ(d.dateTime, "2026030912:30:45");
    EXPECT_EQ(d.sn, "012345");
    EXPECT_EQ(d.shelfmark, "II 10001");
    EXPECT_EQ(d.description, "Nowak, Jan. Opis \x1BSB\x1A" "egzemplarza");
    EXPECT_EQ(f.prompts.shown, (std::vector<std::string>{"message:Zarezerwowano egzemplarz 0123",
                                                         "message:Zarezerwowano egzemplarz 012345"}));
    EXPECT_EQ(f.server.Requests()[0], "55 6 3 [0123] []") << "kind 6, parameter 3, the number as prefix";
}

TEST(OrderWindow, TheCodeGivesTheCaptionAndTheReaderIsIdentifiedFirst) {
    Fixture f([](const std::string& text) {
        if (text.find("&op=A&bar=") != std::string::npos)
            return std::string("&wynik=Z&karta=000123&nazwisko=Kowalska Anna");
        if (text.find("&op=A&nazwisko=") != std::string::npos) return std::string("&wynik=Z&karta=000124");
        return std::string("&wynik=Z&sn=");
    });
    f.loanForms.enabled = false;
    ScriptedWindow window;
    std::vector<std::string> opened;
    const AccountOpener open = [&](const ReaderIdentity& r, const std::string& password) {
        opened.push_back(r.card + "/" + r.name + "/" + password);
    };

    EXPECT_FALSE(OrderWindow(f.services, window, open, "&op=X&sn=1"));
    EXPECT_EQ(f.prompts.shown, std::vector<std::string>{"error:Błąd serwera: zły kod operacji"_cp});
    EXPECT_TRUE(window.captions.empty()) << "no window for a code nobody knows";

    window.accept = false;
    EXPECT_FALSE(OrderWindow(f.services, window, open, "&op=W&sn=1"));
    EXPECT_TRUE(f.server.Texts().empty()) << "a cancelled window sends nothing";

    window.accept = true;
    window.typed = {false, "000123", "anna"};
    EXPECT_FALSE(OrderWindow(f.services, window, open, "&op=A")) << "the account is no command carried out";
    window.typed = {true, "Nowak Jan", "jan1"};
    EXPECT_FALSE(OrderWindow(f.services, window, open, "&op=A"));
    EXPECT_EQ(opened, (std::vector<std::string>{"000123/Kowalska Anna/anna", "000124/Nowak Jan/jan1"}))
        << "the name answered for a card, the name typed otherwise";

    EXPECT_TRUE(OrderWindow(f.services, window, open, "&op=W&sn=012345"));
    EXPECT_EQ(window.captions, (std::vector<std::string>{"Zamów lub zarezerwuj"_cp, "Przeglądanie kont"_cp,
                                                         "Przeglądanie kont"_cp, "Zamów lub zarezerwuj"_cp}));
    EXPECT_EQ(f.server.Texts().back(), "&client=VELT_TCP&op=W&sn=012345&karta=000124&haslo=jan1");
    EXPECT_EQ(f.prompts.shown.back(), "message:Zamówienie zostało przyjęte"_cp);
}
