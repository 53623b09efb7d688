// The kind "U" of velt-server: a MARC 21 record taken from another catalogue
// is saved as a new record (its control number kept in 035, its own 001,
// 003 and 005 not taken), validated as a cataloguer corrects it, indexed and
// shown like a book; and a database numbered over the three letters before
// it is renumbered on start so that every identifier names the same record.

#include "Catalogue.h"
#include "Identifiers.h"
#include "Seeder.h"
#include "ServerTestSupport.h"
#include "Sqlite.h"
#include "net/IndexRequests.h"
#include "net/RecordRequests.h"
#include "net/SearchRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include <gtest/gtest.h>

#include <map>

using namespace velt;
using namespace velt::test;

namespace {

const server::Identifiers kIds(server::DbKind::Velt2, server::kRecordLetters);

std::vector<std::string> Ask(Client& c, char letter, const std::vector<std::string>& texts) {
    const Answers a = EditRequest(*c, letter, texts);
    std::vector<std::string> out;
    for (int i = 1; i <= a.count; ++i) out.push_back(a[i]);
    return out;
}

std::string Changes(std::initializer_list<std::pair<std::string, std::string>> fields) {
    std::string text;
    for (const auto& [k, v] : fields) text += k + "=" + v + "\r";
    return text;
}

// A record as ParseMarc makes it of a Library of Congress record.
std::string TakenRecord(const std::string& title, const std::string& leader = "00366nam  22001698a 4500") {
    return Changes({{"L.1", leader},
                    {"001Z.1.1.1.1", "11224466"},
                    {"003Z.1.1.1.1", "DLC"},
                    {"005Z.1.1.1.1", "00000000000000.0"},
                    {"008Z.1.1.1.1", "910710c19910701nju           00010 eng  "},
                    {"020Z.1.1.1.1", "^a0821211064 (pbk.)"},
                    {"100A.1.1.1.1", "1"},
                    {"100Z.1.1.1.1", "^aCollins, Jack"},
                    {"245A.1.1.1.1", "1"},
                    {"245B.1.1.1.1", "0"},
                    {"245Z.1.1.1.1", title},
                    {"264B.1.1.1.1", "1"},
                    {"264Z.1.1.1.1", "^aNew York : ^bPenguin, ^c1991."},
                    {"650B.1.1.1.1", "0"},
                    {"650Z.1.1.1.1", "^aComputer programming."}});
}

class MarcKindTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        c = Connect(*sServer);
        ASSERT_EQ((*c)->Login("bibliotekarz", "bibliotekarz", ""), "");
    }
    std::unique_ptr<Client> c;
};

}  // namespace

TEST_F(MarcKindTest, ATakenRecordIsSavedIndexedAndShownLikeABook) {
    // The kind has a form, a script and an initial record like the others.
    EXPECT_EQ(Ask(*c, 'F', {"U"}).at(0), "");
    EXPECT_EQ(Ask(*c, 'A', {"U"}).at(0), "");
    const auto fresh = Ask(*c, 'N', {"U"});
    ASSERT_EQ(fresh.at(0), "");
    EXPECT_EQ(ParseRecordText(fresh.at(1)).IsReadOnly("001Z.1.1.1.1"), 1);

    const auto saved = Ask(*c, 'U', {"U", TakenRecord("^aHow to program a computer in Zebra /")});
    ASSERT_EQ(saved.at(0), "") << (saved.size() > 1 ? saved[1] : "");
    const std::uint32_t number = kIds.Parse(saved.at(1));
    ASSERT_NE(number, 0u);
    EXPECT_EQ(kIds.Letter(number), 'U');

    const auto opened = Ask(*c, 'O', {saved.at(1)});
    ASSERT_EQ(opened.at(0), "");
    const my_record r = ParseRecordText(opened.at(1));
    Ask(*c, 'X', {saved.at(1)});
    EXPECT_EQ(r.GetValue("001Z.1.1.1.1"), kIds.Shown(number)) << "the catalogue's own number";
    EXPECT_EQ(r.GetValue("035Z.1.1.1.1"), "^a(DLC)11224466") << "the source's number kept";
    EXPECT_EQ(r.Find("003Z.1.1.1.1"), nullptr);
    EXPECT_NE(r.GetValue("005Z.1.1.1.1"), "00000000000000.0");
    EXPECT_EQ(r.GetValue("L.1"), "00366nam  22001698a 4500");
    EXPECT_EQ(r.GetValue("245A.1.1.1.1"), "1");

    // Found in the indexes of books: title, author, publisher and year (of the 264).
    for (const auto& [index, typed] : std::vector<std::pair<std::string, std::string>>{
             {"TY", "how to program"}, {"AU", "collins, jack"}, {"WY", "penguin"}, {"RW", "1991"}}) {
        // Among the entries at the typed text (books of 1991 are there too).
        RecordPtr e = IndexFrom(**c, 21, 0, 5, index, typed);
        for (int n = 0; e && n < 400 && kIds.Parse(e->Item(2) + e->Item(3)) != number; ++n)
            e = IndexNext(**c, 21, 0, 5, index, e->Item(1));
        ASSERT_TRUE(e) << index;
        // The entry's display text is a book's.
        EXPECT_NE(e->Item(7).find("How to program a computer"), std::string::npos) << e->Item(7);
    }
    // Searched by a title word, and kept by the filter that leaves out authority records.
    const RecordPtr found = Search(**c, "\"tytuł\" SŁOWO \"zebra\""_cp);
    ASSERT_TRUE(found);
    ASSERT_GE(found->Count, 2);
    EXPECT_EQ(found->Item(2), "1");
    const RecordPtr kept = Search(**c, "\"tytuł\" SŁOWO \"zebra\" * \"autor\" SŁOWO \"collins\""_cp);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->Item(2), "1");
}

TEST_F(MarcKindTest, ValidationAsACataloguerCorrectsTheRecord) {
    struct Case {
        const char* what;
        std::string changes;
        std::string error;
    } cases[] = {
        {"no title", TakenRecord("^bonly a subtitle"), "Brak tytułu właściwego"_cp},
        {"a short leader", TakenRecord("^aTitle", "00366nam  22001698a 450"), "Pozycja 000 powinna mieć 24 znaki, ma 23"_cp},
        {"a wrong check digit", TakenRecord("^aTitle") + "020Z.1.1.1.1=^a0821211065 (pbk.)\r",
         "Błędna cyfra kontrolna numeru ISBN 0821211065"_cp},
        {"a year no catalogue has", TakenRecord("^aTitle") + "264Z.1.1.1.1=^c1234\r",
         "Rok wydania 1234 spoza zakresu 1450-"_cp},
    };
    for (const auto& k : cases) {
        const auto answer = Ask(*c, 'T', {"U", k.changes});
        ASSERT_EQ(answer.size(), 2u) << k.what;
        EXPECT_EQ(answer[0], "Rekord zawiera błędy"_cp) << k.what;
        EXPECT_EQ(answer[1].rfind(k.error, 0), 0u) << k.what << ": " << answer[1];
    }
    // A qualifier after a sound ISBN is no error; nothing is stored by a check.
    EXPECT_EQ(Ask(*c, 'T', {"U", TakenRecord("^aTitle")}), (std::vector<std::string>{"", ""}));
}

TEST(MarcKindUpgrade, ADatabaseNumberedOverThreeLettersIsRenumbered) {
    TempDir dir;
    const std::string path = dir.Path() + "catalogue.db";
    server::SeedDatabase(path, 40);
    // What every record is, by its shown identifier, before.
    auto snapshot = [&path](const server::Identifiers& ids) {
        std::map<std::string, std::string> s;
        server::Database db(path, false);
        server::Statement records(db, "SELECT num,text FROM records");
        while (records.Step()) s["record " + ids.Shown(static_cast<std::uint32_t>(records.Int(0)))] = records.Text(1);
        server::Statement entries(db, "SELECT ix,key,num FROM entries");
        while (entries.Step()) {
            const std::string key = entries.Text(1);
            s["entry " + std::to_string(entries.Int(0)) + " " + key.substr(0, key.size() - 10) +
              ids.Shown(static_cast<std::uint32_t>(entries.Int(2)))] = key.substr(key.size() - 10) == [&] {
                char digits[16];
                std::snprintf(digits, sizeof digits, "%010lld", static_cast<long long>(entries.Int(2)));
                return std::string(digits);
            }() ? "ok" : "key and number disagree";
        }
        server::Statement words(db, "SELECT ix,word,num FROM words");
        while (words.Step())
            s["word " + std::to_string(words.Int(0)) + " " + words.Text(1) + " " +
              ids.Shown(static_cast<std::uint32_t>(words.Int(2)))] = "";
        server::Statement files(db, "SELECT num,name FROM attachments");
        while (files.Step()) s["file " + ids.Shown(static_cast<std::uint32_t>(files.Int(0))) + files.Text(1)] = "";
        if (server::Statement has(db, "SELECT 1 FROM sqlite_master WHERE name='holdings'"); has.Step()) {
            server::Statement copies(db, "SELECT sn,num FROM holdings");
            while (copies.Step())
                s["copy " + copies.Text(0).substr(1) + " of " + ids.Shown(static_cast<std::uint32_t>(copies.Int(1)))] = "";
        }
        server::Statement refs(db, "SELECT auth,num FROM refs");
        while (refs.Step())
            s["ref " + ids.Shown(static_cast<std::uint32_t>(refs.Int(0))) + " " +
              ids.Shown(static_cast<std::uint32_t>(refs.Int(1)))] = "";
        return s;
    };
    const server::Identifiers now(server::DbKind::Velt3, server::kRecordLetters);
    const server::Identifiers before(server::DbKind::Velt3, "KOT");
    const auto expected = snapshot(now);
    ASSERT_GT(expected.size(), 200u);
    {
        // The database as the server wrote it before: numbers over "KOT"
        // and no meta entry naming the letters.
        server::Database db(path, false);
        server::Transaction t(db);
        const char* back = "((%s/4)*3+%s%%4)";
        auto sql = [&](const char* table, const char* column) {
            char mapped[64];
            std::snprintf(mapped, sizeof mapped, back, column, column);
            return std::string("UPDATE ") + table + " SET " + column + "=-" + mapped + "; UPDATE " + table + " SET " +
                   column + "=-" + column + ";";
        };
        for (const auto& [table, column] : std::vector<std::pair<const char*, const char*>>{
                 {"records", "num"}, {"words", "num"}, {"attachments", "num"}, {"refs", "auth"}, {"refs", "num"},
                 {"copies", "num"}, {"closed_orders", "num"}})
            db.Exec(sql(table, column).c_str());
        db.Exec("DELETE FROM links");
        db.Exec("CREATE TABLE e2 AS SELECT ix, key, num, occ FROM entries; DELETE FROM entries;");
        server::Statement all(db, "SELECT ix,key,num,occ FROM e2");
        server::Statement add(db, "INSERT INTO entries(ix,key,num,occ) VALUES(?1,?2,?3,?4)");
        while (all.Step()) {
            const std::int64_t n = all.Int(2) / 4 * 3 + all.Int(2) % 4;
            char digits[16];
            std::snprintf(digits, sizeof digits, "%010lld", static_cast<long long>(n));
            const std::string key = all.Text(1);
            add.Bind(1, all.Int(0)).Bind(2, key.substr(0, key.size() - 10) + digits).Bind(3, n).Bind(4, all.Int(3));
            add.Run();
        }
        // A table of another part of the catalogue whose "num" names records.
        db.Exec("DROP TABLE e2; DELETE FROM meta WHERE name=CAST('letters' AS BLOB);"
                "CREATE TABLE holdings(sn BLOB PRIMARY KEY, num INTEGER NOT NULL);"
                "INSERT INTO holdings(sn, num) SELECT 'c' || num, num FROM records;");
        t.Commit();
    }
    auto withCopies = snapshot(before);
    ASSERT_GT(withCopies.size(), expected.size());
    std::erase_if(withCopies, [](const auto& e) { return e.first.rfind("copy ", 0) == 0; });
    ASSERT_EQ(withCopies, expected) << "the test made the old numbering";
    server::UpgradeDatabase(path);
    // Every copy still belongs to its record: the copy of old number n is
    // the record whose shown identifier was that of n.
    auto after = snapshot(now);
    for (const auto& [key, value] : snapshot(now)) {
        if (key.rfind("copy ", 0) != 0) continue;
        const auto of = key.find(" of ");
        const std::uint32_t old = static_cast<std::uint32_t>(std::stoul(key.substr(5, of - 5)));
        EXPECT_EQ(key.substr(of + 4), before.Shown(old)) << key;
        after.erase(key);
    }
    EXPECT_EQ(after, expected);
    // Once is enough: a second start changes nothing.
    const auto once = snapshot(now);
    server::UpgradeDatabase(path);
    EXPECT_EQ(snapshot(now), once);
}
