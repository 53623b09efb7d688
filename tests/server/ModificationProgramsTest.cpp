// The administrator's modification programs against velt-server: programs
// of the client's own language over a record list and a remote collection,
// re-indexed; all or nothing when one record fails, whatever the reason;
// programs that cannot run refused whole, up to the largest text; and what
// global deletion may not delete.

#include "ServerTestSupport.h"
#include "Identifiers.h"
#include "Seeder.h"
#include "Sqlite.h"
#include "net/RecordRequests.h"
#include "net/SearchRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velt;
using namespace velt::test;

namespace {

const server::Identifiers kIds(server::DbKind::Velt2, server::kRecordLetters);

std::string Stored(const std::string& shown) { return kIds.Stored(kIds.ParseShown(shown)); }

std::unique_ptr<Client> LoggedIn(const ServerProcess& server, const std::string& user) {
    auto c = Connect(server);
    EXPECT_EQ((*c)->Login(user, user, ""), "") << user;
    return c;
}

std::string First(const Answers& a) { return a.Answered() ? a[1] : std::string("<no answer>"); }

// The program's lines, each followed by CR, as the program sends them.
std::string Program(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r";
    return text;
}

// Adds a 590 with the text to every record, and on the record named does
// what the failing part says.
std::string Failing(const std::string& on, const std::string& failing) {
    return Program({"BEGIN", "  GRUPA('590')", "  WHILE OK", "    SKIP", "  ENDDO", "  GRUPA('Z')", "  POLE = 'Raz'",
                    "  BACK", "  BACK", "  IF REKORD = '" + on + "'", failing, "  ENDIF", "END"});
}

class ModificationTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        sServer->Control("clear");
        admin = LoggedIn(*sServer, "admin");
    }
    void TearDown() override { sServer->Control("clear"); }

    my_record Open(const std::string& shown) {
        const Answers a = EditRequest(**admin, 'O', {Stored(shown)});
        EXPECT_EQ(First(a), "") << shown;
        my_record record = ParseRecordText(a[2]);
        EditRequest(**admin, 'X', {Stored(shown)});
        return record;
    }
    std::string List(std::initializer_list<const char*> shown) {
        std::string list;
        for (const char* s : shown) list += Stored(s) + "|";
        return list;
    }
    // The shown identifiers of the shelf-mark index's entries beginning with text.
    std::vector<std::string> ShelfMarks(const std::string& text) {
        std::vector<std::string> out;
        RecordPtr r = IndexFrom(**admin, 21, 0, 5, "SY", text);
        while (r && out.size() < 50) {
            if (r->Item(4).rfind(text, 0) != 0) break;
            out.push_back(kIds.Shown(kIds.Parse(r->Item(2) + r->Item(3))));
            r = IndexNext(**admin, 21, 0, 5, "SY", r->Item(1));
        }
        return out;
    }

    std::unique_ptr<Client> admin;
};

}  // namespace

TEST_F(ModificationTest, AProgramChangesEveryRecordOfAListOrCollectionAndTheyAreReindexed) {
    const std::string shelfMarks = Program({
        "BEGIN",
        "  GRUPA('852')",
        "  WHILE OK",
        "    GRUPA('Z')",
        "    POLE = REPLACE(POLE, '^h', '^hCzyt. ')",
        "    BACK",
        "    SKIP",
        "  ENDDO",
        "  BACK",
        "  GRUPA('590')",
        "  WHILE OK",
        "    SKIP",
        "  ENDDO",
        "  GRUPA('Z')",
        "  POLE = 'Zmiana globalna ' + REKORD",
        "  BACK",
        "  BACK",
        "END",
    });
    const std::string before = Open("K70").GetValue("852Z.1.1.1.1");
    ASSERT_EQ(before.rfind("^h", 0), 0u) << before;
    EXPECT_TRUE(ShelfMarks("Czyt. ").empty());
    EXPECT_EQ(First(EditRequest(**admin, 'L', {List({"K70", "K71"}), shelfMarks})), "");
    for (const char* id : {"K70", "K71"}) EXPECT_EQ(Open(id).GetValue("590Z.1.1.1.1"), "Zmiana globalna "_cp + id);
    EXPECT_EQ(Open("K70").GetValue("852Z.1.1.1.1"), "^hCzyt. " + before.substr(2));
    // The shelf-mark index knows the new marks (in the order of the marks).
    std::vector<std::string> marked = ShelfMarks("Czyt. ");
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (std::vector<std::string>{"K70", "K71"}));

    // Over a remote collection of the connection.
    const RecordPtr found = Search(**admin, "\"numer rekordu\" RÓWNY \"K72\""_cp);
    ASSERT_TRUE(found);
    EXPECT_EQ(First(EditRequestG(**admin, std::stoi(found->Item(1)), shelfMarks)), "");
    EXPECT_EQ(Open("K72").GetValue("590Z.1.1.1.1"), "Zmiana globalna K72");
    EXPECT_EQ(First(EditRequestG(**admin, 999, "begin\rend\r")), "Nieznana kolekcja 999");

    // A record the program leaves as it was keeps its change stamp; the
    // records the administrator holds himself are his to change.
    const std::string stamp = Open("K73").GetValue("*005Z.1.1.1.1");
    ASSERT_EQ(First(EditRequest(**admin, 'O', {Stored("K74")})), "");
    EXPECT_EQ(First(EditRequest(**admin, 'L', {List({"K73"}), "begin\r\nend"})), "");
    EXPECT_EQ(Open("K73").GetValue("*005Z.1.1.1.1"), stamp);
    EXPECT_EQ(First(EditRequest(**admin, 'L', {List({"K74"}), shelfMarks})), "");
    EXPECT_EQ(Open("K74").GetValue("590Z.1.1.1.1"), "Zmiana globalna K74");
}

TEST_F(ModificationTest, NothingChangesWhenOneRecordFailsAndTheAnswerSaysWhichAndWhy) {
    const std::string none = "Nie zmieniono żadnego rekordu. "_cp;
    struct Case {
        std::string list;
        std::string program;
        std::string answer;  // its beginning
        const char* lock = nullptr;
    };
    const std::vector<Case> cases = {
        {List({"K80", "K81", "K99999"}), Failing("", ""), none + "Brak rekordu K99999"},
        {List({"K80"}) + "%%|", Failing("", ""), none + "Błędny identyfikator %%"_cp},
        {List({"K80", "K81"}), Failing("", ""), none + "Rekord K81 jest zarezerwowany przez użytkownika kowalski od "_cp,
         "lock K81 kowalski"},
        {List({"K80", "K81", "K82"}),
         Failing("K81", "    GRUPA('245')\r    GRUPA('Z')\r    POLE = ''\r    BACK\r    BACK"),
         none + "Rekord K81: Brak tytułu właściwego"_cp},
        {List({"K80", "K81"}), Failing("K81", "    WHILE ''\r    ENDDO"),
         none + "Rekord K81: INTERPRETE: skrypt przekroczył limit 1000000 kroków"_cp},
        {List({"K80", "K81"}), Failing("K81", "    PRINT('Zły rekord|*')"_cp), none + "Rekord K81: Zły rekord"_cp},
        {List({"K80", "K81"}), Failing("K81", "    X = NEXT('a', 'b', 'c')"), none + "Rekord K81: INTERPRETE: Abstract Error"},
    };
    for (const Case& c : cases) {
        if (c.lock) ASSERT_EQ(sServer->Control(c.lock), "ok");
        const std::string answer = First(EditRequest(**admin, 'L', {c.list, c.program}));
        EXPECT_EQ(answer.rfind(c.answer, 0), 0u) << answer;
        sServer->Control("clear");
        for (const char* id : {"K80", "K81"}) EXPECT_EQ(Open(id).Find("590Z.1.1.1.1"), nullptr) << c.answer;
    }
    // The same program over sound records is written.
    EXPECT_EQ(First(EditRequest(**admin, 'L', {List({"K80", "K81"}), Failing("K1", "")})), "");
    EXPECT_EQ(Open("K81").GetValue("590Z.1.1.1.1"), "Raz");
}

TEST_F(ModificationTest, ProgramsThatCannotRunAreRefusedWholeUpToTheLargestText) {
    const std::string list = List({"K90"});
    const std::string compileError = First(EditRequest(**admin, 'L', {list, "BEGIN\r  X = \rEND\r"}));
    EXPECT_EQ(compileError.rfind("Błąd programu\rprogram: Błędne wyrażenie END"_cp, 0), 0u) << compileError;
    EXPECT_NE(compileError.find("Linia 3"), std::string::npos);
    const std::string include = First(EditRequest(**admin, 'L', {list, "[PLIK /etc/passwd]\rBEGIN\rEND\r"}));
    EXPECT_NE(include.find("Dołączanie plików jest tu niedostępne: [PLIK /etc/passwd]"_cp), std::string::npos) << include;

    // A text of 16 MiB goes through; one byte more is refused, the connection stays.
    std::string largest = "BEGIN\r{" + std::string((16u << 20) - 12, 'x') + "}\rEND";
    ASSERT_EQ(largest.size(), 16u << 20);
    EXPECT_EQ(First(EditRequest(**admin, 'L', {list, largest})), "");
    largest += " ";
    EXPECT_EQ(First(EditRequest(**admin, 'L', {list, largest})), "Program jest dłuższy niż 16 MiB"_cp);
    EXPECT_EQ(First(EditRequestG(**admin, 1, largest)), "Program jest dłuższy niż 16 MiB"_cp);
    EXPECT_EQ(First(EditRequest(**admin, 'L', {std::string((16u << 20) + 1, '|'), "begin\rend"})),
              "Wykaz rekordów jest dłuższy niż 16 MiB"_cp);
    EXPECT_FALSE((*admin)->Broken());
    EXPECT_EQ(Open("K90").Find("590Z.1.1.1.1"), nullptr);

    // Only an administrator runs programs.
    auto librarian = LoggedIn(*sServer, "bibliotekarz");
    EXPECT_EQ(First(EditRequest(**librarian, 'L', {list, "begin\rend"})),
              "Operacja dostępna jedynie dla administratora"_cp);
}

TEST_F(ModificationTest, BooksWithLentReservedOrOrderedCopiesAreNotDeletedOthersGoWithTheirCopies) {
    server::Database db(sServer->DbPath(), false);
    auto numberOf = [&db](const char* sql) {
        server::Statement s(db, sql);
        return s.Step() ? static_cast<std::uint32_t>(s.Int(0)) : 0u;
    };
    const std::uint32_t lent = numberOf("SELECT c.num FROM loans l JOIN copies c ON c.sn=l.sn ORDER BY c.num LIMIT 1");
    const std::uint32_t held = numberOf(
        "SELECT c.num FROM holds h JOIN copies c ON c.sn=h.sn WHERE c.num NOT IN "
        "(SELECT c2.num FROM loans l JOIN copies c2 ON c2.sn=l.sn) ORDER BY c.num LIMIT 1");
    const std::uint32_t free = numberOf(
        "SELECT num FROM copies WHERE num NOT IN (SELECT c.num FROM copies c WHERE c.sn IN (SELECT sn FROM loans) "
        "OR c.sn IN (SELECT sn FROM holds) OR c.sn IN (SELECT sn FROM orders)) AND num NOT IN (SELECT parent FROM links) "
        "ORDER BY num DESC LIMIT 1");
    ASSERT_NE(lent, 0u);
    ASSERT_NE(held, 0u);
    ASSERT_NE(free, 0u);
    for (const std::uint32_t n : {lent, held}) {
        const std::string id = kIds.Stored(n);
        ASSERT_EQ(First(EditRequest(**admin, 'O', {id})), "");
        const std::string why = First(EditRequest(**admin, 'D', {id}));
        EXPECT_EQ(why.rfind("Nie można usunąć rekordu "_cp + kIds.Shown(n) +
                                ", którego egzemplarze są wypożyczone, zarezerwowane lub zamówione: "_cp,
                            0),
                  0u)
            << why;
        EXPECT_NE(why.find(n == lent ? "(wypożyczony)"_cp : "(zarezerwowany)"_cp), std::string::npos) << why;
        EditRequest(**admin, 'X', {id});
    }
    const std::string id = kIds.Stored(free);
    ASSERT_EQ(First(EditRequest(**admin, 'O', {id})), "");
    EXPECT_EQ(First(EditRequest(**admin, 'D', {id})), "");
    server::Statement copies(db, "SELECT COUNT(*) FROM copies WHERE num=?1");
    copies.Bind(1, free);
    ASSERT_TRUE(copies.Step());
    EXPECT_EQ(copies.Int(0), 0) << "the copies go with their book";
}
