#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

using namespace velt;
using test::PeerConnection;
using test::ScriptedPeer;

namespace {

using Entry = std::vector<std::string>;  // Items[1..]

// A catalogue server with ordered indexes, answering the index requests
// (50, 55-58) by kind and prefix, and counting every request by its code.
class FakeIndexServer {
public:
    FakeIndexServer(std::string status, std::map<std::pair<int, std::string>, std::vector<Entry>> indexes)
        : mStatus(std::move(status)), mIndexes(std::move(indexes)),
          mPeer([this](PeerConnection& c) { Serve(c); }) {}

    int Port() const { return mPeer.Port(); }
    int Count(int code) {
        std::lock_guard g(mLock);
        return mCounts[code];
    }
    std::vector<std::string> Requests() {
        std::lock_guard g(mLock);
        return mLog;
    }
    void Join() {
        for (const auto& f : mPeer.Join()) ADD_FAILURE() << f;
    }

private:
    void Serve(PeerConnection& c) {
        for (;;) {
            const int code = c.ReadByte();
            if (code == 0 || code == 0xFF) return;
            {
                std::lock_guard g(mLock);
                ++mCounts[code];
            }
            if (code == 30) {
                c.WriteText(mStatus);
                continue;
            }
            const int kind = c.ReadInt(), format = c.ReadInt(), parameter = c.ReadInt();
            const std::string prefix = code == 50 ? "" : c.ReadText();
            const std::string key = c.ReadText();
            {
                std::lock_guard g(mLock);
                mLog.push_back(std::to_string(code) + " " + std::to_string(kind) + " " + std::to_string(format) + " " +
                               std::to_string(parameter) + " [" + prefix + "] [" + key + "]");
            }
            const auto& list = mIndexes[{kind, code == 50 ? std::string() : prefix}];
            const Entry* found = nullptr;
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string& k = list[i][0];
                if (code == 50 && k == key) found = &list[i];
                if (code == 55 && k >= key && !found) found = &list[i];
                if (code == 56 && k == key && i + 1 < list.size()) found = &list[i + 1];
                if (code == 58 && k == key && i > 0) found = &list[i - 1];
            }
            if (code == 57 && !list.empty()) found = &list.back();
            if (!found) {
                c.WriteInt(0);
            } else {
                c.WriteAnswers(*found);
            }
        }
    }

    std::string mStatus;
    std::map<std::pair<int, std::string>, std::vector<Entry>> mIndexes;
    std::mutex mLock;
    std::map<int, int> mCounts;
    std::vector<std::string> mLog;
    ScriptedPeer mPeer;
};

const std::string kDescriptor =
    "{x={nam=autor}{tab=21}{ind=5}{pre=A}{khw=O}}"
    "{x={nam=zły}{tab=300}{ind=5}}"  // a kind over 255 is skipped
    "{x={nam=tytuł}{tab=21}{ind=5}{pre=T}}"
    "{w={nam=Osoby}{id=O}{x={nam=nazwisko}{tab=21}{ind=5}{pre=O}}{x={nam=zły}{tab=x}}}"
    "{q={nam=Autor}{typ=INDEX}{khw=O}}{q={nam=Rok}{typ=LICZBA}{par=rok.frm}}"
    "{s={nam=autor}}{s={nam=tytuł}}{sd={nam=numer}}"
    "{f={nam=pełny}{typ=prezentacja}{id=2}}{f={nam=za duży}{id=70000}}{f={nam=drzewo}{typ=drzewo}{id=5}}"
    "{r={nam=Wykaz}{fat=Wykazy}{id=4}{win=wykaz.frm}}{r={nam=Karta}{par=karta.frm}{id=5}{opt=P}}"
    "{p={nam=Kopiuj}{id=K1}{cal=kopiuj|x}}{c={nam=Tylko książki}{id=K}}"
    "{blob={id=A}{nam=okładka}{nam=spis treści}}"_cp;

}  // namespace

TEST(velt_files, ReadsEveryListOfTheDescriptor) {
    FakeIndexServer server("VELT2&wersja=2026.01.01&edycja=3&rekordy=AT&struktura=" + kDescriptor, {});
    {
        velt_files files("127.0.0.1", nullptr, true, server.Port());
        ASSERT_TRUE(files.Ready) << files.ErrorText;
        EXPECT_EQ(files.DatabaseKind, kVelt2);
        EXPECT_EQ(files.EditLevel, 3);
        ASSERT_EQ(files.Indexes.size(), 3u);
        EXPECT_EQ(files.Indexes[0]->Name, "autor");
        EXPECT_EQ(files.Indexes[0]->Kind, 21);
        EXPECT_EQ(files.Indexes[0]->Parameter, 5);
        EXPECT_EQ(files.Indexes[0]->Prefix, "A");
        EXPECT_EQ(files.Indexes[0]->AuthorityLink, "O");
        EXPECT_EQ(files.Indexes[1]->Name, "tytuł"_cp);
        EXPECT_EQ(files.Indexes[2]->Name, "Kolekcja zdalna");
        EXPECT_EQ(files.Indexes[2]->Kind, 99);
        ASSERT_EQ(files.AuthorityFiles.size(), 1u);
        EXPECT_EQ(files.AuthorityFiles[0].Id, "O");
        ASSERT_EQ(files.AuthorityFiles[0].Indexes.size(), 1u);
        ASSERT_EQ(files.Criteria.size(), 2u);
        EXPECT_EQ(files.Criteria[1].Type, "LICZBA");
        EXPECT_EQ(files.Criteria[1].Form, "rok.frm");
        EXPECT_EQ(files.SortKeys, (std::vector<std::string>{"autor", "tytuł"_cp}));
        EXPECT_EQ(files.ComponentSortKeys, (std::vector<std::string>{"numer"}));
        ASSERT_EQ(files.Formats.size(), 2u);
        EXPECT_EQ(files.FormatByType("drzewo"), 5);
        EXPECT_EQ(files.FormatByType("brak"), 0);
        ASSERT_NE(files.FormatById(2), nullptr);
        EXPECT_EQ(files.FormatById(2)->Name, "pełny"_cp);
        ASSERT_EQ(files.Reports.size(), 2u);
        EXPECT_TRUE(files.Reports[0].NoParameterForm);
        EXPECT_EQ(files.Reports[0].Form, "wykaz.frm");
        EXPECT_EQ(files.Reports[0].Group, "Wykazy");
        EXPECT_FALSE(files.Reports[1].NoParameterForm);
        EXPECT_EQ(files.Reports[1].Form, "karta.frm");
        ASSERT_NE(files.ProgramByCall("kopiuj"), nullptr);
        EXPECT_EQ(files.ProgramByCall("kop"), nullptr);
        ASSERT_EQ(files.Filters.size(), 1u);
        ASSERT_EQ(files.Attachments.size(), 1u);
        EXPECT_EQ(files.Attachments[0].Names.size(), 2u);
        files.SetFormat(2);
        EXPECT_EQ(files.Indexes[1]->Format, 2);
    }
    server.Join();
}

TEST(velt_files, RefusesAnUnknownDatabaseKindAndReportsNoConnection) {
    FakeIndexServer server("KATALOG&wersja=1", {});
    {
        velt_files files("127.0.0.1", nullptr, true, server.Port());
        EXPECT_FALSE(files.Ready);
        EXPECT_EQ(files.ErrorText, "Nieznany typ bazy VELT");
    }
    server.Join();
    const int port = test::UnusedPort();
    velt_files none("127.0.0.1", nullptr, true, port);
    EXPECT_FALSE(none.Ready);
    EXPECT_EQ(none.ErrorText, "Brak połączenia z serwerem 127.0.0.1/"_cp + std::to_string(port));
}

TEST(velt_files, WithoutADescriptorTextWalksTheServersTables) {
    FakeIndexServer server("VELT3&wersja=2026.01.01&rekordy=AB",
                           {{{20, "Indeksy"}, {{"1", "A", "  autor  "}, {"2", "T", "tytuł"_cp}}},
                            {{98, "CRI"}, {{"1", "Autor", "O"}}},
                            {{11, "FRM"}, {{"3 ", "prezentacja", "Pełny"_cp}, {"7x", "drzewo", "Drzewo"}}},
                            {{97, "REP"}, {{"4", "Wykaz", "pl", "ico", "", "P"}, {"x", "Zły"_cp}}}});
    {
        velt_files files("127.0.0.1", nullptr, true, server.Port());
        ASSERT_TRUE(files.Ready);
        ASSERT_EQ(files.Indexes.size(), 3u);
        EXPECT_EQ(files.Indexes[0]->Name, "autor");
        EXPECT_EQ(files.Indexes[0]->Prefix, "A");
        EXPECT_EQ(files.Indexes[0]->Kind, 21);
        EXPECT_EQ(files.Indexes[0]->Parameter, 5);
        EXPECT_EQ(files.Indexes[2]->Name, "Kolekcja zdalna");
        ASSERT_EQ(files.Criteria.size(), 1u);
        EXPECT_EQ(files.Criteria[0].Type, "INDEX");
        EXPECT_EQ(files.Criteria[0].AuthorityLink, "O");
        ASSERT_EQ(files.Formats.size(), 2u);
        EXPECT_EQ(files.Formats[0].Id, 3);
        EXPECT_EQ(files.Formats[1].Id, 7);
        ASSERT_EQ(files.Reports.size(), 1u);
        EXPECT_EQ(files.Reports[0].Options, "P");
        EXPECT_TRUE(files.SortKeys.empty());
    }
    server.Join();
}

TEST(velt_files, Velt1WithoutDescriptorHasTheFixedIndexesAndTheSubjectTable) {
    FakeIndexServer server("VELT1&wersja=2004.01.01", {{{8, "051"}, {{"k1", "Bxx", " hasła "_cp}}}});
    {
        velt_files files("127.0.0.1", nullptr, true, server.Port());
        ASSERT_TRUE(files.Ready);
        std::vector<std::string> names;
        for (const auto& i : files.Indexes) names.push_back(i->Name);
        EXPECT_EQ(names, (std::vector<std::string>{"autor", "tytuł"_cp, "hasła"_cp, "impreza", "wydawca",
                                                   "identyfikator", "sygnatura", "numer"}));
        EXPECT_EQ(files.Indexes[2]->Prefix, "B");
        EXPECT_TRUE(files.NewKHW);
    }
    server.Join();
}

TEST(velt_order, CachesTheCurrentEntryAndSendsNothingWithoutOne) {
    const std::vector<Entry> entries = {{"ADAM", "A", "    1"}, {"BOLESŁAW"_cp, "A", "    2"}, {"CELINA", "A", "    3"}};
    FakeIndexServer server("VELT2&wersja=2026.01.01&rekordy=A&struktura={x={nam=autor}{tab=21}{ind=5}{pre=A}}",
                           {{{21, "A"}, entries}, {{21, ""}, entries}});
    {
        velt_files files("127.0.0.1", nullptr, true, server.Port());
        velt_order& o = *files.Indexes[0];
        o.Next();
        o.Prior();
        EXPECT_EQ(server.Count(56) + server.Count(58), 0);
        EXPECT_TRUE(o.Find("CELINA"));
        EXPECT_TRUE(o.Find("CELINA"));
        EXPECT_EQ(server.Count(50), 1) << "the second Find costs no request";
        o.Format = 2;
        EXPECT_TRUE(o.Find("CELINA"));
        EXPECT_EQ(server.Count(50), 2) << "another format asks again";
        EXPECT_FALSE(o.Find("ZENON"));
        EXPECT_EQ(o.CurrentKey(), "CELINA") << "a failed Find keeps Current";
        EXPECT_FALSE(o.Find(""));
        o.First();
        EXPECT_EQ(o.CurrentKey(), "ADAM");
        o.Next();
        EXPECT_EQ(o.CurrentKey(), "BOLESŁAW"_cp);
        EXPECT_EQ(files.EntryText(o.Current.get()), "A    2");
        o.Last();
        EXPECT_EQ(o.CurrentKey(), "CELINA");
        o.Prior();
        o.Prior();
        o.Prior();
        EXPECT_EQ(o.Current, nullptr);
        o.Seek("B");
        EXPECT_EQ(o.CurrentKey(), "BOLESŁAW"_cp);
        // A text of the current entry as the key: the entry goes before the
        // request is sent, the key must not go with it.
        o.Seek(o.Current->Item(1));
        EXPECT_EQ(o.CurrentKey(), "BOLESŁAW"_cp);
        EXPECT_EQ(server.Requests().back(), "55 21 2 5 [A] [BOLESŁAW]"_cp);
        o.Locate("ADAM");  // kind 21: the typed text, "X" and the prefix, parameter 4
        const auto log = server.Requests();
        EXPECT_EQ(log.back(), "55 21 2 4 [ADAMXA] []");
    }
    server.Join();
}

TEST(velt_files, EntryTextAndDisplayItemFollowTheIndexKind) {
    FakeIndexServer server("VELT1&wersja=2026.01.01&struktura={x={nam=a}{tab=1}{ind=1}}", {});
    velt_files files("127.0.0.1", nullptr, true, server.Port());
    TVeltRecord r;
    r.Count = 7;
    for (int i = 1; i <= 7; ++i) r.Items[static_cast<std::size_t>(i)] = "item" + std::to_string(i) + "-123456789";
    const struct {
        std::uint32_t kind;
        std::string entry;
        int display;
    } cases[] = {
        {1, r.Items[2], 7},          {6, r.Items[2].substr(0, 10), 14}, {15, r.Items[3], 9},
        {16, r.Items[4], 7},         {21, r.Items[2] + r.Items[3], 7},  {99, "", 3},
        {40, r.Items[2], 3},         {9, "", 4},                        {21 | 0x80, r.Items[2] + r.Items[3], 7},
        {200, "", 0},
    };
    for (const auto& c : cases) {
        r.Kind = c.kind;
        EXPECT_EQ(files.EntryText(&r), c.entry) << c.kind;
        EXPECT_EQ(velt_files::DisplayItem(c.kind), c.display) << c.kind;
    }
    r.Kind = 99;
    r.Items[2] = "       123";
    EXPECT_EQ(files.EntryText(&r), "       123");
    EXPECT_EQ(files.EntryText(nullptr), "");
}
