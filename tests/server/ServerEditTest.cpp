// Record editing against the real server: every edit letter and its reply
// shape, saves that re-index (the new heading is found, the old one gone),
// new records and their numbers, deletes and their rules, validation error
// lists, reservations between sessions, read-only and working fields, and
// the edit fault switches (the modification programs: ModificationProgramsTest).

#include "net/RecordRequests.h"
#include "ServerTestSupport.h"
#include "RecordStore.h"
#include "Seeder.h"
#include "Sqlite.h"
#include "net/SearchRequests.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"
#include "Forms.h"
#include "Identifiers.h"
#include "RecordText.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace velt;
using namespace velt::test;
using namespace std::chrono_literals;

namespace {

const server::Identifiers kIds(server::DbKind::Velt2, server::kRecordLetters);

// The wire form of a shown identifier on the VELT2 test server.
std::string Stored(const std::string& shown) { return kIds.Stored(kIds.ParseShown(shown)); }

struct Reply {
    bool answered = false;
    std::vector<std::string> texts;  // texts[0] is Answers[1]
    std::string First() const { return texts.empty() ? std::string("<none>") : texts[0]; }
    std::string Second() const { return texts.size() < 2 ? std::string("<none>") : texts[1]; }
};

Reply Ask(Client& c, char letter, const std::vector<std::string>& texts) {
    Reply r;
    const Answers a = EditRequest(*c, letter, texts);
    r.answered = a.Answered();
    for (int i = 1; i <= a.count; ++i) r.texts.push_back(a[i]);
    return r;
}

std::unique_ptr<Client> LoggedIn(const ServerProcess& server, const std::string& user) {
    auto c = Connect(server);
    EXPECT_EQ((*c)->Login(user, user, ""), "") << user;
    return c;
}

// The changed-fields text of key=value pairs.
std::string Changes(std::initializer_list<std::pair<std::string, std::string>> fields) {
    std::string text;
    for (const auto& [k, v] : fields) text += k + "=" + v + "\r";
    return text;
}

my_record Open(Client& c, const std::string& shown) {
    const Reply r = Ask(c, 'O', {Stored(shown)});
    EXPECT_EQ(r.First(), "") << shown;
    my_record record = ParseRecordText(r.Second());
    Ask(c, 'X', {Stored(shown)});
    return record;
}

// The entries of an index at or after a typed text: (shown identifier, heading).
std::vector<std::pair<std::string, std::string>> Browse(Client& c, const std::string& code, const std::string& typed, int n) {
    std::vector<std::pair<std::string, std::string>> out;
    RecordPtr r = IndexFrom(*c, 21, 0, 5, code, typed);
    while (r && static_cast<int>(out.size()) < n) {
        out.emplace_back(kIds.Shown(kIds.Parse(r->Item(2) + r->Item(3))), r->Item(4));
        r = IndexNext(*c, 21, 0, 5, code, r->Item(1));
    }
    return out;
}

// The records that refer to an authority record (the references index).
std::vector<std::string> Referring(Client& c, const std::string& authority) {
    const std::string stored = Stored(authority);
    const std::string prefix = "R" + stored.substr(0, 1) + " " + stored.substr(1);
    std::vector<std::string> out;
    for (const auto& e : WalkIndex(*c, 21, 3, prefix)) out.push_back(kIds.Shown(kIds.Parse(e.items[2] + e.items[3])));
    return out;
}

class EditTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        sServer->Control("clear");
        librarian = LoggedIn(*sServer, "bibliotekarz");
        admin = LoggedIn(*sServer, "admin");
    }
    void TearDown() override { sServer->Control("clear"); }
    std::unique_ptr<Client> librarian, admin;
};

TEST_F(EditTest, EveryLetterNeedsALoginWithTheRightToModify) {
    struct Case {
        char letter;
        std::vector<std::string> texts;
    };
    const Case cases[] = {{'F', {"K"}}, {'A', {"K"}},         {'N', {"K"}},          {'O', {"K1"}},      {'X', {"K1"}},
                          {'D', {"K1"}}, {'U', {"K1", ""}},   {'T', {"K1", ""}},     {'H', {"K", "x"}},  {'I', {"I", "x", ""}},
                          {'L', {"K1|", "begin\rend"}},       {'S', {"K1", "numer tomu"_cp}}};
    auto anonymous = Connect(*sServer);
    auto guest = LoggedIn(*sServer, "gosc");
    for (const Case& c : cases) {
        const Reply out = Ask(*anonymous, c.letter, c.texts);
        EXPECT_EQ(out.First(), "Najpierw należy się zalogować"_cp) << c.letter;
        const Reply in = Ask(*guest, c.letter, c.texts);
        EXPECT_EQ(in.First(), "Brak uprawnień do modyfikowania rekordów"_cp) << c.letter;
    }
    const Answers guestAnswer = EditRequestG(**guest, 1, "begin\rend");
    const Reply g = guestAnswer.Answered() ? Reply{true, {guestAnswer[1]}} : Reply{};
    EXPECT_EQ(g.First(), "Brak uprawnień do modyfikowania rekordów"_cp);
    // The modification programs are the administrator's.
    EXPECT_EQ(Ask(*librarian, 'L', {"K1|", "begin\rend"}).First(), "Operacja dostępna jedynie dla administratora"_cp);
    const Answers refused = EditRequestG(**librarian, 1, "begin\rend");
    ASSERT_TRUE(refused.Answered());
    EXPECT_EQ(refused[1], "Operacja dostępna jedynie dla administratora"_cp);
    EXPECT_FALSE((*anonymous)->Broken());
    EXPECT_FALSE((*guest)->Broken());
}

TEST_F(EditTest, FormsScriptsInitialRecordsAndHelpOfEveryKind) {
    for (const char kind : {'K', 'O', 'T'}) {
        const std::string code(1, kind);
        const Reply form = Ask(*librarian, 'F', {code});
        ASSERT_EQ(form.texts.size(), 2u) << kind;
        EXPECT_EQ(form.First(), "");
        EXPECT_EQ(form.Second(), server::FormDescription(kind));
        EXPECT_EQ(form.Second().rfind("{ Formularz", 0), 0u);
        const Reply script = Ask(*librarian, 'A', {code});
        ASSERT_EQ(script.texts.size(), 2u);
        EXPECT_EQ(script.Second(), server::EventScript(kind));
        const Reply fresh = Ask(*librarian, 'N', {code});
        ASSERT_EQ(fresh.texts.size(), 2u);
        const my_record r = ParseRecordText(fresh.Second());
        EXPECT_EQ(r.IsReadOnly("001Z.1.1.1.1"), 1);
        EXPECT_EQ(r.GetValue("001Z.1.1.1.1"), "");
        const Reply help = Ask(*librarian, 'H', {code, "001Z.1.1.1.1"});
        ASSERT_EQ(help.texts.size(), 2u);
        EXPECT_EQ(help.First(), "");
        EXPECT_EQ(help.Second().rfind("Numer rekordu"_cp, 0), 0u) << help.Second();
    }
    for (const char letter : {'F', 'A', 'N'}) {
        const Reply unknown = Ask(*librarian, letter, {"X"});
        EXPECT_EQ(unknown.texts, std::vector<std::string>{"Nieznany formularz X"}) << letter;
    }
    EXPECT_EQ(Ask(*librarian, 'H', {"K", "245Z.1.1.1.1"}).Second().rfind("Tytuł i oznaczenie"_cp, 0), 0u);
}

TEST_F(EditTest, OpenSendsTheRecordWithItsNumberAndStampReadOnly) {
    const Reply r = Ask(*librarian, 'O', {Stored("K5")});
    ASSERT_EQ(r.texts.size(), 2u);
    EXPECT_EQ(r.First(), "");
    EXPECT_EQ(r.Second().rfind("*001Z.1.1.1.1=K5\r*005Z.1.1.1.1=", 0), 0u) << r.Second();
    const my_record record = ParseRecordText(r.Second());
    EXPECT_EQ(record.IsReadOnly("005Z.1.1.1.1"), 1);
    EXPECT_EQ(record.IsReadOnly("245Z.1.1.1.1"), 0);
    EXPECT_FALSE(record.GetValue("245Z.1.1.1.1").empty());
    // The shown form names the same record; a missing one is refused.
    EXPECT_EQ(Ask(*librarian, 'O', {"K5"}).Second(), r.Second());
    EXPECT_EQ(Ask(*librarian, 'O', {"K99999"}).texts, std::vector<std::string>{"Brak rekordu K99999"});
    EXPECT_EQ(Ask(*librarian, 'O', {"zły"_cp}).texts, std::vector<std::string>{"Brak rekordu zły"_cp});
    EXPECT_EQ(Ask(*librarian, 'X', {Stored("K5")}).texts, std::vector<std::string>{""});
}

TEST_F(EditTest, ASaveReplacesTheSentKeysAndReindexesTheRecord) {
    const my_record before = Open(*librarian, "K20");
    const std::string oldTitle = server::Subfield(before.GetValue("245Z.1.1.1.1"), 'a');
    ASSERT_EQ(Ask(*librarian, 'O', {Stored("K20")}).First(), "");
    const Reply saved = Ask(*librarian, 'U', {Stored("K20"), Changes({{"245Z.1.1.1.1", "^aŻmijowy zamek ^cAnna Nowak"_cp},
                                                                      {"100Z.1.1.1.1", "^aWróbel, Ewa ^9O7"_cp},
                                                                      {"650Z.1.1.1.1", ""},
                                                                      {"500Z.1.1.1.1", "Nowa uwaga"},
                                                                      {"#EGZ", "e|1|U|"}})});
    EXPECT_EQ(saved.texts, (std::vector<std::string>{"", Stored("K20")}));
    const my_record after = Open(*librarian, "K20");
    EXPECT_EQ(after.GetValue("245Z.1.1.1.1"), "^aŻmijowy zamek ^cAnna Nowak"_cp);
    EXPECT_EQ(after.GetValue("500Z.1.1.1.1"), "Nowa uwaga");
    EXPECT_EQ(after.Find("650Z.1.1.1.1"), nullptr);  // an empty value removes the field
    EXPECT_EQ(after.Find("#EGZ"), nullptr);          // working fields are not stored
    EXPECT_EQ(after.GetValue("300Z.1.1.1.1"), before.GetValue("300Z.1.1.1.1"));  // what was not sent stays
    EXPECT_EQ(after.GetValue("005Z.1.1.1.1").size(), 16u) << after.GetValue("005Z.1.1.1.1");

    // The title index finds the new heading, and the old one no longer leads here.
    const auto titles = Browse(*librarian, "TY", "żmijowy zamek"_cp, 1);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], std::make_pair(std::string("K20"), "Żmijowy zamek"_cp));
    for (const auto& [id, heading] : Browse(*librarian, "TY", oldTitle, 3)) EXPECT_FALSE(id == "K20") << heading;
    // The author index and the references follow the new link.
    const auto authors = Browse(*librarian, "AU", "wróbel, ewa"_cp, 5);
    EXPECT_NE(std::find(authors.begin(), authors.end(), std::make_pair(std::string("K20"), "Wróbel, Ewa"_cp)),
              authors.end());
    const auto refs = Referring(*librarian, "O7");
    EXPECT_NE(std::find(refs.begin(), refs.end(), "K20"), refs.end());
    const std::string oldAuthor = server::Subfield(before.GetValue("100Z.1.1.1.1"), '9');
    if (oldAuthor != "O7") {
        const auto old = Referring(*librarian, oldAuthor);
        EXPECT_EQ(std::find(old.begin(), old.end(), "K20"), old.end());
    }
    // The word index too: a search by a word of the new title finds it.
    RecordPtr found = Search(**librarian, "\"tytuł\" SŁOWO \"żmijowy\""_cp);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Item(2), "1");
}

TEST_F(EditTest, ValidationErrorsComeBackAsOneListAndNothingIsStored) {
    struct Case {
        std::string changes;
        std::vector<std::pair<std::string, std::string>> errors;  // message, patterns
    };
    const Case cases[] = {
        {Changes({{"245Z.1.1.1.1", "^bbez tytułu"_cp}}), {{"Brak tytułu właściwego"_cp, "245Z.1.1.1.1"}}},
        {Changes({{"020Z.1.1.1.1", "^a83-7039-000-4"}}),
         {{"Błędna cyfra kontrolna numeru ISBN 83-7039-000-4"_cp, "020Z.1.1.1.1"}}},
        {Changes({{"020Z.1.1.2.1", "^a12345"}}), {{"Numer ISBN powinien mieć 10 lub 13 cyfr: 12345"_cp, "020Z.1.1.2.1"}}},
        {Changes({{"260Z.1.1.1.1", "^aKraków ^c1066"_cp}}), {{"Rok wydania 1066 spoza zakresu 1450-", "260Z.1.1.1.1"}}},
        {Changes({{"260Z.1.1.1.1", "^aKraków ^cbrak"_cp}}), {{"Data wydania nie zawiera roku: brak", "260Z.1.1.1.1"}}},
        {Changes({{"650Z.1.1.5.1", "^aNic ^9T99999"}}),
         {{"Odsyłacz ^9 T99999 nie wskazuje żadnego rekordu wzorcowego"_cp, "650Z.1.1.5.1"}}},
        {Changes({{"700Z.1.1.1.1", "^aHistoria ^9T1"}}),
         {{"Odsyłacz ^9 T1 powinien wskazywać rekord osoby"_cp, "700Z.1.1.1.1"}}},
        {Changes({{"DOK_IDO", "K99999"}}), {{"Rekord nadrzędny K99999 nie istnieje"_cp, "DOK_IDO"}}},
        {Changes({{"876D.1.1.1.1", "20250231"}, {"876C.1.1.1.1", "12,5x"}}),
         {{"Błędna data nabycia egzemplarza: 20250231"_cp, "876D.1.1.1.1"},
          {"Błędna cena egzemplarza: 12,5x"_cp, "876C.1.1.1.1"}}},
        // Several errors at once, each with its field.
        {Changes({{"245Z.1.1.1.1", ""}, {"020Z.1.1.1.1", "^a83-7039-000-4"}, {"260Z.1.1.1.1", "^c3000"}}),
         {{"Brak tytułu właściwego"_cp, "245Z.1.1.1.1"},
          {"Błędna cyfra kontrolna numeru ISBN 83-7039-000-4"_cp, "020Z.1.1.1.1"},
          {"Rok wydania 3000 spoza zakresu 1450-", "260Z.1.1.1.1"}}},
        {Changes({{"001Z.1.1.1.1", "K1"}, {"005Z.1.1.1.1", "x"}}),
         {{"Pole 001Z.1.1.1.1 jest tylko do odczytu", "001Z.1.1.1.1"}, {"Pole 005Z.1.1.1.1 jest tylko do odczytu", "005Z.1.1.1.1"}}},
        {Changes({{"*100Z.1.1.1.1", "x"}}), {{"Błędny klucz pola: *100Z.1.1.1.1"_cp, "*"}}},
    };
    const std::string untouched = Ask(*librarian, 'O', {Stored("K21")}).Second();
    for (const Case& c : cases) {
        for (const char letter : {'T', 'U'}) {
            const Reply r = Ask(*librarian, letter, {Stored("K21"), c.changes});
            ASSERT_EQ(r.texts.size(), 2u) << c.changes;
            EXPECT_EQ(r.First(), letter == 'U' ? "Rekord nie został zapisany, ponieważ zawiera błędy"_cp : "Rekord zawiera błędy"_cp);
            my_record record;
            ParseErrorReply(record, r.Second());
            ASSERT_EQ(record.errors().size(), c.errors.size()) << c.changes << " -> " << r.Second();
            for (std::size_t i = 0; i < c.errors.size(); ++i) {
                EXPECT_EQ(record.errors()[i].message.rfind(c.errors[i].first, 0), 0u) << record.errors()[i].message;
                EXPECT_EQ(record.errors()[i].keys, c.errors[i].second);
            }
        }
    }
    // Still reserved by this session and unchanged.
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K21")}).Second(), untouched);
}

TEST_F(EditTest, ACheckStoresNothingAndReadOnlyFieldsMaySendTheirOwnValue) {
    const my_record before = Open(*librarian, "K22");
    const Reply ok = Ask(*librarian, 'T', {Stored("K22"), Changes({{"245Z.1.1.1.1", "^aInny tytuł"_cp}})});
    EXPECT_EQ(ok.texts, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Open(*librarian, "K22").GetValue("245Z.1.1.1.1"), before.GetValue("245Z.1.1.1.1"));
    // A refused check shows as an error of the whole record.
    const Reply missing = Ask(*librarian, 'T', {"K99999", ""});
    EXPECT_EQ(missing.texts, (std::vector<std::string>{"Brak rekordu K99999", "Brak rekordu K99999\r*\r"}));
    // The record number as the server sent it is no change.
    const Reply same = Ask(*librarian, 'U', {Stored("K22"), Changes({{"001Z.1.1.1.1", "K22"}, {"500Z.1.1.1.1", "x"}})});
    EXPECT_EQ(same.First(), "") << same.Second();
}

TEST_F(EditTest, ReservationsKeepTwoSessionsApart) {
    ASSERT_EQ(Ask(*librarian, 'O', {Stored("K30")}).First(), "");
    const Reply refused = Ask(*admin, 'O', {Stored("K30")});
    ASSERT_EQ(refused.texts.size(), 1u);
    EXPECT_EQ(refused.First().rfind("Rekord K30 jest zarezerwowany przez użytkownika bibliotekarz od "_cp, 0), 0u)
        << refused.First();
    EXPECT_EQ(refused.First().size(), std::string("Rekord K30 jest zarezerwowany przez użytkownika bibliotekarz od "_cp).size() + 19);
    // Neither a save, a delete nor a release of the other session gets through.
    const std::string title = Ask(*librarian, 'O', {Stored("K30")}).Second();
    EXPECT_EQ(Ask(*admin, 'U', {Stored("K30"), Changes({{"500Z.1.1.1.1", "admin"}})}).First(), refused.First());
    EXPECT_EQ(Ask(*admin, 'D', {Stored("K30")}).First(), refused.First());
    EXPECT_EQ(Ask(*admin, 'X', {Stored("K30")}).First(), "Rekord K30 nie jest zarezerwowany przez tę sesję"_cp);
    EXPECT_EQ(Ask(*admin, 'O', {"K30"}).First(), refused.First());  // any form of the identifier
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K30")}).Second(), title);
    // Released by X...
    EXPECT_EQ(Ask(*librarian, 'X', {Stored("K30")}).First(), "");
    EXPECT_EQ(Ask(*admin, 'O', {Stored("K30")}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K30")}).First().find("admin"), 0u + std::string("Rekord K30 jest zarezerwowany przez użytkownika "_cp).size());
    // ... by the holder's logout ...
    (*admin)->Logout();
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K30")}).First(), "");
    // ... by a successful save ...
    EXPECT_EQ(Ask(*librarian, 'U', {Stored("K30"), Changes({{"500Z.1.1.1.1", "zapisane"}})}).First(), "");
    ASSERT_EQ((*admin)->Login("admin", "admin", ""), "");
    EXPECT_EQ(Ask(*admin, 'O', {Stored("K30")}).First(), "");
    // ... and by a connection that went away in the middle of a reply.
    auto lost = LoggedIn(*sServer, "bibliotekarz");
    ASSERT_EQ(sServer->Control("close 200O"), "ok");
    Ask(*lost, 'O', {Stored("K31")});
    EXPECT_TRUE((*lost)->Broken());
    std::string answer;
    for (int i = 0; i < 40; ++i) {
        answer = Ask(*admin, 'O', {Stored("K31")}).First();
        if (answer.empty()) break;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(answer, "");
}

TEST_F(EditTest, DeleteNeedsTheReservationAndRemovesTheRecordWithItsEntriesAndFiles) {
    // K102 is seeded with an attachment.
    ASSERT_EQ(AttachmentList(**librarian, "K102"), "spis treści.txt"_cp);
    EXPECT_EQ(Ask(*librarian, 'D', {Stored("K102")}).First(), "Rekord K102 nie został otwarty do usunięcia"_cp);
    const my_record record = Open(*librarian, "K102");
    ASSERT_EQ(Ask(*librarian, 'O', {Stored("K102")}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'D', {Stored("K102")}).texts, std::vector<std::string>{""});
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K102")}).First(), "Brak rekordu K102");
    EXPECT_FALSE(IndexFrom(**librarian, 21, 0, 1, Stored("K102"), ""));
    const std::string title = server::Subfield(record.GetValue("245Z.1.1.1.1"), 'a');
    for (const auto& [id, heading] : Browse(*librarian, "TY", title, 3)) EXPECT_NE(id, "K102");
    EXPECT_EQ(AttachmentList(**librarian, "K102"), "");
    EXPECT_FALSE((*librarian)->Broken());
}

TEST_F(EditTest, AuthorityRecordsInUseAndRecordsWithComponentsStay) {
    // A new person, a book pointing at it, and a part attached to the book.
    const Reply person = Ask(*librarian, 'U', {"O", Changes({{"100Z.1.1.1.1", "^aZagłoba, Onufry"_cp}})});
    ASSERT_EQ(person.First(), "") << person.Second();
    const std::string o = kIds.Shown(kIds.Parse(person.Second()));
    const Reply book = Ask(*librarian, 'U', {"K", Changes({{"245Z.1.1.1.1", "^aPamiętniki"_cp}, {"100Z.1.1.1.1", "^aZagłoba, Onufry ^9"_cp + o}})});
    ASSERT_EQ(book.First(), "") << book.Second();
    const std::string k = kIds.Shown(kIds.Parse(book.Second()));
    EXPECT_EQ(Referring(*librarian, o), std::vector<std::string>{k});
    const Reply part = Ask(*librarian, 'U', {"K", Changes({{"245Z.1.1.1.1", "^aPamiętniki ^nT. 1"_cp}, {"DOK_IDO", k}})});
    ASSERT_EQ(part.First(), "") << part.Second();
    const std::string p = kIds.Shown(kIds.Parse(part.Second()));

    ASSERT_EQ(Ask(*librarian, 'O', {Stored(o)}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'D', {Stored(o)}).First(),
              "Nie można usunąć rekordu wzorcowego "_cp + o + ", do którego odwołują się rekordy: "_cp + k);
    ASSERT_EQ(Ask(*librarian, 'O', {Stored(k)}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'D', {Stored(k)}).First(),
              "Nie można usunąć rekordu "_cp + k + ", do którego dołączone są rekordy: "_cp + p);
    // Once the part is detached and the link gone, both may go.
    ASSERT_EQ(Ask(*librarian, 'U', {Stored(p), Changes({{"DOK_IDO", ""}})}).First(), "");
    ASSERT_EQ(Ask(*librarian, 'U', {Stored(k), Changes({{"100Z.1.1.1.1", "^aZagłoba, Onufry"_cp}})}).First(), "");
    EXPECT_TRUE(Referring(*librarian, o).empty());
    ASSERT_EQ(Ask(*librarian, 'O', {Stored(k)}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'D', {Stored(k)}).First(), "");
    EXPECT_EQ(Ask(*librarian, 'D', {Stored(o)}).First(), "");
}

TEST_F(EditTest, PartsAreAttachedThroughDokIdoAndSortedByVolume) {
    const std::string whole = "K60";
    for (const auto& [id, volume] : {std::pair{"K61", "2"}, std::pair{"K62", "1"}, std::pair{"K63", "10"}})
        ASSERT_EQ(Ask(*librarian, 'U', {Stored(id), Changes({{"245Z.1.1.1.1", "^aCzęść ^nT. "_cp + volume}, {"DOK_IDO", whole}})}).First(), "")
            << id;
    EXPECT_EQ(Open(*librarian, "K61").GetValue("DOK_IDO"), whole);
    EXPECT_EQ(Ask(*librarian, 'S', {Stored(whole), "numer tomu"_cp}).texts, std::vector<std::string>{""});
    EXPECT_EQ(Open(*librarian, whole).GetValue("DOK_SKL"), "K62|K61|K63|");
    EXPECT_EQ(Ask(*librarian, 'S', {Stored(whole), "tytuł"_cp}).First(), "Nieznany klucz sortowania tytuł"_cp);
    EXPECT_EQ(Ask(*librarian, 'S', {Stored("K64"), "numer tomu"_cp}).First(), "Rekord K64 nie ma rekordów składowych"_cp);
    // No record above itself, nor above what is above it.
    const Reply self = Ask(*librarian, 'U', {Stored(whole), Changes({{"DOK_IDO", whole}})});
    EXPECT_NE(self.Second().find("Rekord nie może być podrzędny wobec samego siebie\rDOK_IDO\r"_cp), std::string::npos) << self.Second();
    const Reply cycle = Ask(*librarian, 'U', {Stored(whole), Changes({{"DOK_IDO", "K61"}})});
    EXPECT_NE(cycle.Second().find("Rekord nadrzędny K61 jest podrzędny wobec tego rekordu\rDOK_IDO\r"_cp), std::string::npos) << cycle.Second();
}

TEST_F(EditTest, FieldServicesCheckIsbnsAndProposeTheNextShelfMark) {
    struct Case {
        std::vector<std::string> texts;
        std::string answer;
    };
    const Case cases[] = {
        {{"I", "83-7039-000-5", ""}, ""},
        {{"I", "978-83-7000-001-2", ""}, "Błędna cyfra kontrolna numeru ISBN"_cp},
        {{"I", "83-7039", ""}, "Numer ISBN powinien mieć 10 lub 13 cyfr"_cp},
        {{"I", "", ""}, ""},
        // Shelf marks "II 10004" ... "II 10300" and "Cz. 10003" ... "Cz. 10299" are seeded.
        {{"S", "II", ""}, "II 10301"},
        {{"S", "Cz.", ""}, "Cz. 10300"},
        {{"S", "XYZ", ""}, "XYZ 1"},
        {{"Q", "", ""}, "Nieznana usługa pola Q"_cp},
    };
    for (const Case& c : cases) {
        const Reply r = Ask(*librarian, 'I', c.texts);
        ASSERT_EQ(r.texts.size(), 1u);
        if (c.texts[0] == "S" && c.texts[1] != "XYZ") {
            // The seeded highest plus one; an earlier test may have added one.
            const std::string prefix = c.texts[1] + " ";
            ASSERT_EQ(r.First().rfind(prefix, 0), 0u) << r.First();
            EXPECT_GE(std::stoi(r.First().substr(prefix.size())), std::stoi(c.answer.substr(prefix.size())));
        } else {
            EXPECT_EQ(r.First(), c.answer) << c.texts[0] << c.texts[1];
        }
    }
}

TEST_F(EditTest, FaultSwitchesShortAnswersDamagedFormsAndAPhantomReservation) {
    // Answers of 0 and of 1 text to an edit request.
    ASSERT_EQ(sServer->Control("answers 200O 0"), "ok");
    const Answers none = EditRequest(**librarian, 'O', {Stored("K40")});
    EXPECT_FALSE(none.Answered());
    EXPECT_EQ(none.count, 0);
    ASSERT_EQ(sServer->Control("answers 200F 1 2"), "ok");
    EXPECT_EQ(Ask(*librarian, 'F', {"K"}).texts, std::vector<std::string>{""});
    EXPECT_EQ(Ask(*librarian, 'F', {"O"}).texts, std::vector<std::string>{""});
    EXPECT_EQ(Ask(*librarian, 'F', {"T"}).texts.size(), 2u);
    EXPECT_FALSE((*librarian)->Broken());
    Ask(*librarian, 'X', {Stored("K40")});
    // A damaged form or script of one kind; the others stay whole.
    ASSERT_EQ(sServer->Control("broken F K"), "ok");
    ASSERT_EQ(sServer->Control("broken A O"), "ok");
    const std::string form = Ask(*librarian, 'F', {"K"}).Second();
    EXPECT_LT(form.size(), server::FormDescription('K').size());
    EXPECT_EQ(form.substr(form.size() - 5), "\r\t???");
    EXPECT_EQ(Ask(*librarian, 'F', {"O"}).Second(), server::FormDescription('O'));
    EXPECT_NE(Ask(*librarian, 'A', {"O"}).Second(), server::EventScript('O'));
    EXPECT_EQ(Ask(*librarian, 'A', {"K"}).Second(), server::EventScript('K'));
    ASSERT_EQ(sServer->Control("clear"), "ok");
    EXPECT_EQ(Ask(*librarian, 'F', {"K"}).Second(), server::FormDescription('K'));
    // A reservation of a session that does not exist, ended by unlock or clear.
    ASSERT_EQ(sServer->Control("lock K41"), "ok");
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K41")}).First().rfind("Rekord K41 jest zarezerwowany przez użytkownika fantom od "_cp, 0), 0u);
    EXPECT_EQ(Ask(*librarian, 'U', {Stored("K41"), Changes({{"500Z.1.1.1.1", "x"}})}).First().rfind("Rekord K41 jest"_cp, 0), 0u);
    ASSERT_EQ(sServer->Control("unlock K41"), "ok");
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K41")}).First(), "");
    EXPECT_EQ(sServer->Control("lock K41"), "error held by bibliotekarz");
    Ask(*librarian, 'X', {Stored("K41")});
    ASSERT_EQ(sServer->Control("lock K42 nowak"), "ok");
    ASSERT_EQ(sServer->Control("clear"), "ok");
    EXPECT_EQ(Ask(*librarian, 'O', {Stored("K42")}).First(), "");
    EXPECT_EQ(sServer->Control("lock X1"), "error lock ID [NAME]");
    EXPECT_EQ(sServer->Control("answers 200O"), "error answers CODE K [N]");
    EXPECT_EQ(sServer->Control("broken F"), "error broken F|A KIND");
}

// New records take the next number of their letter, never one a deleted
// record had; a record may hold more occurrences of a field than a VELT2
// form's list scrolls to.
TEST(EditNumbers, NewRecordsTakeTheNextNumberOfTheirLetter) {
    ServerProcess::Options o;
    o.records = 50;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    auto c = LoggedIn(server, "bibliotekarz");
    auto save = [&c](const std::string& id, const std::string& changes) {
        const Reply r = Ask(*c, 'U', {id, changes});
        EXPECT_EQ(r.First(), "") << r.Second();
        return kIds.Shown(kIds.Parse(r.Second()));
    };
    const std::string title = Changes({{"245Z.1.1.1.1", "^aNowa"}});
    EXPECT_EQ(save("K", title), "K51");
    EXPECT_EQ(save("K", title), "K52");
    // After the generated authority records and the named ones.
    std::uint32_t persons = server::CountsFor(50).persons, subjects = server::CountsFor(50).subjects;
    for (const auto& a : server::NamedAuthorities()) ++(a.letter == 'O' ? persons : subjects);
    EXPECT_EQ(save("O", Changes({{"100Z.1.1.1.1", "^aNowy, Jan"}})), "O" + std::to_string(persons + 1));
    EXPECT_EQ(save("T", Changes({{"150Z.1.1.1.1", "^aNowy temat"}})), "T" + std::to_string(subjects + 1));
    ASSERT_EQ(Ask(*c, 'O', {Stored("K52")}).First(), "");
    ASSERT_EQ(Ask(*c, 'D', {Stored("K52")}).First(), "");
    EXPECT_EQ(save("K", title), "K53");
    // The initial record's defaults are part of the new record.
    const my_record k51 = Open(*c, "K51");
    EXPECT_EQ(k51.GetValue("041Z.1.1.1.1"), "^apol");
    EXPECT_EQ(k51.GetValue("876S.1.1.1.1"), "D");
    EXPECT_EQ(k51.GetValue("001Z.1.1.1.1"), "K51");
    // 250 parts in the contents list, all kept.
    std::string contents = title;
    for (int i = 1; i <= 250; ++i) contents += "505Z.1.1." + std::to_string(i) + ".1=Rozdział "_cp + std::to_string(i) + "\r";
    const std::string big = save("K", contents);
    const my_record record = Open(*c, big);
    EXPECT_EQ(record.MaxOccurrence("505Z.1.1.?.1"), 250);
    EXPECT_EQ(record.GetValue("505Z.1.1.250.1"), "Rozdział 250"_cp);
    // A restart keeps the numbering.
    EXPECT_EQ(server.Stop(), 0);
    ServerProcess::Options again = o;
    again.directory = server.Directory();
    ServerProcess restarted(again);
    ASSERT_TRUE(restarted.Ready()) << restarted.Why();
    auto d = LoggedIn(restarted, "bibliotekarz");
    const Reply next = Ask(*d, 'U', {"K", title});
    EXPECT_EQ(kIds.Shown(kIds.Parse(next.Second())), "K55");
}

}  // namespace

// An index this server brought to a catalogue an older one wrote (the
// inventory register) is filled from every record when the server starts;
// indexes that have entries are not touched.
TEST(ServerIndexes, AnIndexWithoutEntriesIsFilledFromTheRecords) {
    TempDir dir;
    const std::string db = dir.Path() + "old.db";
    server::SeedDatabase(db, 40);
    const server::Identifiers ids(server::DbKind::Velt3, server::kRecordLetters);
    auto count = [&db](int ix) {
        server::Database d(db, false);
        server::Statement q(d, "SELECT COUNT(*) FROM entries WHERE ix=?1");
        q.Bind(1, ix);
        return q.Step() ? q.Int(0) : -1;
    };
    const std::int64_t inventory = count(11), authors = count(1);
    ASSERT_GE(inventory, 40) << "a copy or more a book";
    EXPECT_EQ(server::FillEmptyIndexes(db, ids), 0u);
    {
        server::Database d(db, false);
        d.Exec("DELETE FROM entries WHERE ix=11");
    }
    EXPECT_EQ(server::FillEmptyIndexes(db, ids), static_cast<std::size_t>(inventory));
    EXPECT_EQ(count(11), inventory);
    EXPECT_EQ(count(1), authors);
}
