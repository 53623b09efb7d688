// Index browsing, searching and the remote collections against the real
// server, with the real client session.

#include "text/utf.h"
#include "net/SearchRequests.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"
#include "ServerTestSupport.h"
#include "CoverImages.h"
#include "Fold.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace velt;
using namespace velt::test;

namespace {

class BrowseTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        c = Connect(*sServer);
        ASSERT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    }
    // A search: the collection number and the record count, or 0 and the
    // error text in what.
    std::pair<int, int> Search(const std::string& query, std::string* what = nullptr) {
        const RecordPtr r = velt::Search(**c, query);
        if (!r) return {0, 0};
        if (r->Count == 1) {
            if (what) *what = r->Item(1);
            return {0, 0};
        }
        if (what) *what = r->Count >= 3 ? r->Item(3) : std::string();
        return {std::stoi(r->Item(1)), std::stoi(r->Item(2))};
    }
    // The stored identifiers of a remote collection, in its order.
    std::vector<std::string> Members(int collection) {
        std::vector<std::string> ids;
        for (const auto& e : WalkIndex(**c, 99, collection, "")) ids.push_back(e.items[2]);
        return ids;
    }
    std::unique_ptr<Client> c;
};

TEST_F(BrowseTest, EveryIndexBrowsesForwardAndBackInKeyOrder) {
    for (const std::string code : {"AU", "TY", "TE", "WY", "IS", "SY", "RW", "NR"}) {
        const auto all = WalkIndex(**c, 21, 5, code);
        ASSERT_GT(all.size(), 100u) << code;
        for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].key, all[i].key) << code << " " << i;
        for (const auto& e : all) {
            ASSERT_EQ(e.items.size(), 8u) << code;
            EXPECT_EQ(e.items[2], "K");
            EXPECT_EQ((e.items[2] + e.items[3]).size(), 6u);  // a VELT2 identifier
            EXPECT_EQ(e.items[5], code);
            EXPECT_NE(e.items[7].find('\x1B'), std::string::npos);
        }
        // Back from the last to the first, one prior request at a time.
        RecordPtr last = IndexLast(**c, 21, 0, 5, code);
        ASSERT_TRUE(last);
        EXPECT_EQ(last->Item(1), all.back().key);
        std::vector<std::string> back = {last->Item(1)};
        for (RecordPtr r = IndexPrior(**c, 21, 0, 5, code, back.back()); r;
             r = IndexPrior(**c, 21, 0, 5, code, back.back()))
            back.push_back(r->Item(1));
        std::reverse(back.begin(), back.end());
        ASSERT_EQ(back.size(), all.size()) << code;
        for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(back[i], all[i].key);
        EXPECT_FALSE(IndexNext(**c, 21, 0, 5, code, all.back().key));
        // Find (which names no index) gives the entry of a key back.
        const RecordPtr found = IndexFind(**c, 21, 0, 5, all[all.size() / 2].key);
        ASSERT_TRUE(found) << code;
        EXPECT_EQ(found->Item(6), all[all.size() / 2].items[6]);
    }
    EXPECT_FALSE(IndexFind(**c, 21, 0, 5, "KOWAL"));
    EXPECT_FALSE(IndexFrom(**c, 21, 0, 5, "??", ""));  // no such index
    EXPECT_FALSE(IndexFrom(**c, 42, 0, 5, "AU", ""));  // no such kind
    EXPECT_FALSE((*c)->Broken());
    EXPECT_EQ(c->messages.size(), 1u);  // the greeting only: no entry is no failure
}

TEST_F(BrowseTest, SeekingATypedTextFindsTheFirstHeadingAtOrAfterIt) {
    const auto all = WalkIndex(**c, 21, 5, "AU");
    for (const std::string& typed : {"kowal"_cp, "Łu"_cp, "Zając"_cp, std::string("a"), std::string("zzzz")}) {
        const RecordPtr r = IndexFrom(**c, 21, 0, 5, "AU", typed);
        const std::string want = server::Fold(typed);
        const auto expected = std::find_if(all.begin(), all.end(),
                                           [&](const Entry& e) { return server::Fold(e.items[4]) >= want; });
        if (expected == all.end()) {
            EXPECT_FALSE(r) << WinUtf().Convert(typed);
        } else {
            ASSERT_TRUE(r) << WinUtf().Convert(typed);
            EXPECT_EQ(r->Item(1), expected->key) << WinUtf().Convert(typed);
        }
    }
}

TEST_F(BrowseTest, LocateAndTheEntryOfOneRecord) {
    const auto titles = WalkIndex(**c, 21, 5, "TY");
    const Entry& some = titles[titles.size() / 3];
    const std::string id = some.items[2] + some.items[3];
    // Locate: identifier, "X", index code, parameter 4.
    const RecordPtr located = IndexFrom(**c, 21, 0, 4, id + "X" + "AU", "");
    ASSERT_TRUE(located);
    EXPECT_EQ(located->Item(2) + located->Item(3), id);
    EXPECT_EQ(located->Item(5), "AU");
    // The entry of one record, by its stored or its shown identifier.
    // The record-number index is headed by the shown identifiers.
    const auto numbers = WalkIndex(**c, 21, 5, "NR");
    const auto own = std::find_if(numbers.begin(), numbers.end(),
                                  [&](const Entry& e) { return e.items[2] + e.items[3] == id; });
    ASSERT_NE(own, numbers.end());
    EXPECT_NE(own->items[4], id) << "the shown form differs from the stored one";
    for (const std::string& name : {id, own->items[4]}) {
        const RecordPtr one = IndexFrom(**c, 21, 2, 1, name, "");
        ASSERT_TRUE(one) << name;
        EXPECT_EQ(one->Item(2) + one->Item(3), id);
        EXPECT_NE(one->Item(7).find("Tytuł: "_cp), std::string::npos);  // the full format
    }
    EXPECT_FALSE(IndexFrom(**c, 21, 0, 1, "K99999", ""));
    EXPECT_FALSE(IndexFrom(**c, 21, 0, 4, id + "XZZ", ""));
}

// Undoes the picture escapes of the "I" command.
std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\x1B' && i + 1 < s.size()) {
            const char map[] = {0, 0, 26, 27, 13, 124};
            const int code = s[++i];
            out.push_back(code >= 1 && code <= 5 ? map[code] : '?');
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

TEST_F(BrowseTest, DisplayLinesCarryMarkupLinksAndCoverPictures) {
    // K3 has a cover (every seventh book from the third).
    const RecordPtr r = IndexFrom(**c, 21, 1, 1, "K3", "");
    ASSERT_TRUE(r);
    const std::string text = r->Item(7);
    const std::string picture = "\x1BIJPG okladki/K3.jpg||";
    const auto at = text.find(picture);
    ASSERT_NE(at, std::string::npos);
    const auto end = text.find('\x1A', at);
    const std::string jpeg = Unescape(text.substr(at + picture.size(), end - at - picture.size()));
    ASSERT_GT(jpeg.size(), 100u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    EXPECT_NE(text.find("\x1BLzapytanie \"autor\" RÓWNY \""_cp), std::string::npos);
    EXPECT_NE(text.find("\x1BLrekordK3 TY||"), std::string::npos);
    EXPECT_NE(text.find("\x1BSI\x1A"), std::string::npos);  // the title in italics
    EXPECT_NE(text.find("\x1B" "CB\x1A"), std::string::npos);
    const RecordPtr full = IndexFrom(**c, 21, 2, 1, "K3", "");
    ASSERT_TRUE(full);
    EXPECT_NE(full->Item(7).find("\x1BLNR|K3||K3\x1A"), std::string::npos);
    EXPECT_NE(full->Item(7).find("\x1BR$"), std::string::npos);  // a background for books with covers
    EXPECT_NE(full->Item(7).find('\r'), std::string::npos);     // several lines
    // The export format shows the record's fields.
    const RecordPtr exported = IndexFrom(**c, 21, 5, 1, "K3", "");
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported->Item(7).rfind("[DOKUMENT K3]\r", 0), 0u) << "the header names the record";
    EXPECT_NE(exported->Item(7).find("\r245Z.1.1.1.1=^a"), std::string::npos);
    // The authority indexes: key, identifier, heading, display.
    for (const std::string code : {"OS", "TH"}) {
        const RecordPtr a = IndexFrom(**c, 9, 4, 2, code, "");
        ASSERT_TRUE(a) << code;
        EXPECT_EQ(a->Count, 4);
        EXPECT_EQ(a->Item(2)[0], code == "OS" ? 'O' : 'T');
        EXPECT_NE(a->Item(4).find("\x1B&find=" + a->Item(3)), std::string::npos);
    }
}

TEST_F(BrowseTest, WordSearchFindsEveryTitleWithTheWord) {
    std::set<std::string> expected;
    for (const auto& e : WalkIndex(**c, 21, 5, "TY"))
        for (const auto& w : server::FoldedWords(e.items[4]))
            if (w.rfind("HISTORI", 0) == 0) expected.insert(e.items[2] + e.items[3]);
    ASSERT_FALSE(expected.empty());
    const auto [number, count] = Search("\"tytuł\" SŁOWO \"histori\""_cp);
    ASSERT_GT(number, 0);
    EXPECT_EQ(static_cast<std::size_t>(count), expected.size());
    const auto members = Members(number);
    EXPECT_EQ(std::set<std::string>(members.begin(), members.end()), expected);
}

TEST_F(BrowseTest, MatchKindsAgreeWithTheIndexes) {
    const auto authors = WalkIndex(**c, 21, 5, "AU");
    const std::string heading = authors[authors.size() / 2].items[4];
    std::set<std::string> equal, pattern;
    for (const auto& e : authors) {
        if (e.items[4] == heading) equal.insert(e.items[2] + e.items[3]);
        const std::string f = server::Fold(e.items[4]);
        if (f[0] == 'K' && f.find("SKI,") != std::string::npos) pattern.insert(e.items[2] + e.items[3]);
    }
    EXPECT_EQ(Search("\"autor\" RÓWNY \""_cp + heading + "\"").second, static_cast<int>(equal.size()));
    EXPECT_EQ(Search("\"autor\" WZORZEC \"k*ski,*\""_cp).second, static_cast<int>(pattern.size()));
    std::set<std::string> years;
    for (const auto& e : WalkIndex(**c, 21, 5, "RW")) {
        const int y = std::stoi(e.items[4]);
        if (y >= 1990 && y <= 1999) years.insert(e.items[2] + e.items[3]);
    }
    EXPECT_EQ(Search("\"rok wydania\" LICZBA \"1990-1999\""_cp).second, static_cast<int>(years.size()));
    const std::string prefix = heading.substr(0, 3);
    std::set<std::string> starts;
    for (const auto& e : authors)
        if (server::Fold(e.items[4]).rfind(server::Fold(prefix), 0) == 0) starts.insert(e.items[2] + e.items[3]);
    EXPECT_EQ(Search("\"autor\" POCZĄTEK \""_cp + prefix + "\"").second, static_cast<int>(starts.size()));
    // Letter case does not matter.
    std::string lower = heading;
    for (char& ch : lower)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    EXPECT_EQ(Search("\"autor\" RÓWNY \""_cp + lower + "\"").second, static_cast<int>(equal.size()));
}

TEST_F(BrowseTest, OperatorsCombineCollectionsAsSets) {
    const auto a = Search("\"tytuł\" SŁOWO \"dzieje\""_cp);
    const auto b = Search("\"rok wydania\" LICZBA \"1950-1990\""_cp);
    ASSERT_GT(a.second, 0);
    ASSERT_GT(b.second, 0);
    const std::string na = std::to_string(a.first), nb = std::to_string(b.first);
    const int both = Search(na + " * " + nb).second;
    EXPECT_EQ(Search(na + " + " + nb).second, a.second + b.second - both);
    EXPECT_EQ(Search("(" + na + ")/" + nb).second, a.second - both);
    // The words of the elementary window mean the same.
    EXPECT_EQ(Search("\"tytuł\" SŁOWO \"dzieje\"  I  SŁOWO \"dzieje\""_cp).second, a.second);
    EXPECT_EQ(Search("\"tytuł\" DOWOLNY  OPRÓCZ  SŁOWO \"dzieje\""_cp).second, 300 - a.second);
    EXPECT_EQ(Search("\"tytuł\" SŁOWO \"dzieje\" * \"rok wydania\" LICZBA \"1950-1990\""_cp).second, both);
}

TEST_F(BrowseTest, RecordListsKeepTheirOrderAndTheCollectionListComesBack) {
    const auto [number, count] = Search("REKORD \"K7|K2|K999999|K7|K5|\"");
    ASSERT_GT(number, 0);
    EXPECT_EQ(count, 3);
    const auto members = Members(number);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0], "K    7");
    EXPECT_EQ(members[1], "K    2");
    EXPECT_EQ(members[2], "K    5");
    // Backwards through the collection, and the locate form.
    const RecordPtr last = IndexLast(**c, 99, 0, number, "");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Item(2), "K    5");
    const RecordPtr prior = IndexPrior(**c, 99, 0, number, "", last->Item(1));
    ASSERT_TRUE(prior);
    EXPECT_EQ(prior->Item(2), "K    2");
    const RecordPtr located = IndexFrom(**c, 99, 0, number, "K    2", "");
    ASSERT_TRUE(located);
    EXPECT_EQ(located->Item(1), prior->Item(1));
    // Report 0 of a collection: the shown identifiers, one per CR LF line.
    char dir[] = "/tmp/velt-list-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    const std::string target = std::string(dir) + "/lista.num";
    EXPECT_TRUE(CollectionReport(**c, number, 0, "", target, nullptr));
    EXPECT_EQ(ReadFile(target), "K7\r\nK2\r\nK5\r\n");
    EXPECT_FALSE(CollectionReport(**c, number + 100, 0, "", target + "2", nullptr));
    EXPECT_FALSE(FileExists(target + "2"));
    std::remove(target.c_str());
    ::rmdir(dir);
}

TEST_F(BrowseTest, AnEmptyCollectionHasNoEntryWhateverTheKey) {
    const auto [number, count] = Search("\"tytuł\" POCZĄTEK \""_cp + "\xFF\xFF\"");
    ASSERT_GT(number, 0);
    EXPECT_EQ(count, 0);
    for (const std::string key : {"", "JJJJJ", "0000000001", "0000000000"}) {
        EXPECT_FALSE(IndexFrom(**c, 99, 0, number, "", key)) << key;
        EXPECT_FALSE(IndexNext(**c, 99, 0, number, "", key)) << key;
        EXPECT_FALSE(IndexPrior(**c, 99, 0, number, "", key)) << key;
        EXPECT_FALSE(IndexFind(**c, 99, 0, number, key)) << key;
    }
    EXPECT_FALSE(IndexLast(**c, 99, 0, number, ""));
    EXPECT_FALSE((*c)->Broken());
}

TEST_F(BrowseTest, SortingFollowsTheSortKey) {
    const auto [number, count] = Search("SORTUJ \"tytuł\" \"tytuł\" POCZĄTEK \"\""_cp);
    ASSERT_EQ(count, 300);
    std::string previous;
    for (const auto& id : Members(number)) {
        const RecordPtr r = IndexFrom(**c, 21, 0, 4, id + "XTY", "");
        ASSERT_TRUE(r);
        const std::string title = server::Fold(r->Item(4));
        EXPECT_LE(previous, title);
        previous = title;
    }
    const auto newest = Search("SORTUJ \"najnowsze\" \"rok wydania\" LICZBA \"1950-2100\""_cp);
    int year = 9999;
    for (const auto& id : Members(newest.first)) {
        const RecordPtr r = IndexFrom(**c, 21, 0, 4, id + "XRW", "");
        ASSERT_TRUE(r);
        EXPECT_GE(year, std::stoi(r->Item(4)));
        year = std::stoi(r->Item(4));
    }
}

TEST_F(BrowseTest, BadQueriesAnswerOnePolishText) {
    const struct {
        std::string query, begins;
    } cases[] = {
        {"\"tytuł\" POCZĄTEK"_cp, "Błąd w zapytaniu: "_cp},
        {"\"nieznany\" POCZĄTEK \"x\""_cp, "Nieznany indeks \"nieznany\""_cp},
        {"12345", "Nie ma kolekcji zdalnej numer 12345"_cp},
        {"SORTUJ \"wzrost\" \"tytuł\" POCZĄTEK \"a\""_cp, "Nieznany klucz sortowania"_cp},
        {"\"rok wydania\" LICZBA \"dawno\""_cp, "Niepoprawny zakres liczb"_cp},
        {"\"cokolwiek\""_cp, "Nieznane kryterium"_cp},
    };
    for (const auto& t : cases) {
        std::string what;
        EXPECT_EQ(Search(t.query, &what).first, 0) << WinUtf().Convert(t.query);
        EXPECT_EQ(what.rfind(t.begins, 0), 0u) << WinUtf().Convert(what);
    }
    EXPECT_FALSE((*c)->Broken());
}

TEST_F(BrowseTest, ReleasedCollectionsAreGone) {
    const auto [number, count] = Search("\"tytuł\" POCZĄTEK \"a\""_cp);
    ASSERT_GT(number, 0);
    EXPECT_TRUE(IndexFrom(**c, 99, 0, number, "", ""));
    ReleaseCollection(**c, number);
    EXPECT_FALSE(IndexFrom(**c, 99, 0, number, "", ""));
    std::string what;
    EXPECT_EQ(Search(std::to_string(number), &what).first, 0);
    // Collections belong to their connection.
    const auto mine = Search("\"tytuł\" POCZĄTEK \"a\""_cp);
    auto other = Connect(*sServer);
    EXPECT_FALSE(IndexFrom(**other, 99, 0, mine.first, "", ""));
    EXPECT_FALSE((*c)->Broken());
}

TEST_F(BrowseTest, FiltersNarrowResultsAndFixedOnesStay) {
    std::string flags;
    EXPECT_EQ(GetFilters(**c).error, "");
    flags = GetFilters(**c).flags;
    EXPECT_EQ(flags, "NNTn");
    const auto all = Search("\"rok wydania\" LICZBA \"1950-2100\""_cp);
    EXPECT_EQ(all.second, 300);
    EXPECT_EQ(SetFilters(**c, "TNTn"), "");
    std::string notice;
    const auto recent = Search("\"rok wydania\" LICZBA \"1950-2100\""_cp, &notice);
    const auto after2000 = Search("\"rok wydania\" LICZBA \"2001-2100\""_cp);
    EXPECT_EQ(recent.second, after2000.second);
    EXPECT_EQ(notice, "Filtry pominęły rekordów: "_cp + std::to_string(300 - recent.second));
    EXPECT_EQ(SetFilters(**c, "TNTt"), "Filtr \"tylko rekordy zatwierdzone\" nie może być zmieniony"_cp);
    EXPECT_EQ(SetFilters(**c, "TN"), "Niepoprawne ustawienie filtrów"_cp);
    EXPECT_EQ(GetFilters(**c).error, "");
    flags = GetFilters(**c).flags;
    EXPECT_EQ(flags, "TNTn");
    // Authority records stay out while the third filter is on.
    EXPECT_EQ(SetFilters(**c, "NNTn"), "");
    EXPECT_EQ(Search("REKORD \"O1|K1|\"").second, 1);
    EXPECT_EQ(SetFilters(**c, "NNNn"), "");
    EXPECT_EQ(Search("REKORD \"O1|K1|\"").second, 2);
}

TEST_F(BrowseTest, CriteriaWithoutParameters) {
    int covers = 0;
    for (int seq = 1; seq <= 300; ++seq) covers += seq % 7 == 3;
    EXPECT_EQ(Search("SORTUJ \"\" \"z okładką\""_cp).second, covers);
    EXPECT_GE(Search("SORTUJ \"\" \"nowości\""_cp).first, 1);
}

}  // namespace
