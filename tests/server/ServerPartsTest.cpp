// The server's parts on their own: identifiers, sort forms, the query
// language, the generated catalogue, the request reader's limits and the
// control commands.

#include "text/utf.h"
#include "Fold.h"
#include "Identifiers.h"
#include "QueryParser.h"
#include "RecordText.h"
#include "Seeder.h"
#include "TestControl.h"
#include "Wire.h"
#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace velt::server {
bool PatternMatches(std::string_view foldedPattern, std::string_view foldedText);
std::optional<std::string> DecodePasswordForTest(std::int32_t challenge, const std::string& encoded);
}  // namespace velt::server

using namespace velt;
using namespace velt::server;

namespace {

TEST(Base75, EncodesTheClientsExamplesAndDecodesThemBack) {
    const struct {
        std::uint32_t n;
        std::string code;
    } cases[] = {{0, "    0"}, {74, "    z"}, {75, "   !0"}, {90 * 75, "   z0"}, {91 * 75, "  !00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Encode75(c.n), c.code) << c.n;
        EXPECT_EQ(Decode75(c.code), std::optional<std::uint32_t>(c.n)) << c.code;
    }
    for (std::uint32_t n : {1u, 12345u, 999999u, 5000000u}) EXPECT_EQ(Decode75(Encode75(n)), n);
    EXPECT_FALSE(Decode75("").has_value());
    EXPECT_FALSE(Decode75("  \x01" "00").has_value());
}

TEST(Identifiers, FollowTheRecordNumberRuleOfEachKind) {
    const Identifiers v2(DbKind::Velt2, "KOT");
    const Identifiers v3(DbKind::Velt3, "KOT");
    const std::uint32_t book12 = v2.Number('K', 12);
    EXPECT_EQ(book12, 36u);
    EXPECT_EQ(v2.Number('O', 5), 16u);
    EXPECT_EQ(v2.Stored(book12), "K" + Encode75(12));
    EXPECT_EQ(v2.Stored(book12).size(), 6u);
    EXPECT_EQ(v3.Stored(book12), "K12");
    EXPECT_EQ(v2.Shown(book12), "K12");
    EXPECT_EQ(v2.Parse(v2.Stored(book12)), book12);
    EXPECT_EQ(v2.Parse("K12"), book12);
    EXPECT_EQ(v3.Parse("K12"), book12);
    EXPECT_EQ(v2.ParseShown("T7"), v2.Number('T', 7));
    for (const char* bad : {"", "K", "X12", "K1x", "K-1"}) {
        EXPECT_EQ(v2.Parse(bad), 0u) << bad;
        EXPECT_EQ(v3.Parse(bad), 0u) << bad;
    }
    EXPECT_EQ(v2.Stored(0), "");
}

TEST(Fold, SortsPolishLettersAfterTheirBaseLetterAndIsIdempotent) {
    std::vector<std::string> words = {"Zając"_cp, "Łuczak"_cp, "Lis"_cp, "Żak"_cp, "Źrebiec"_cp, "Ćwikła"_cp,
                                      "Cygan"_cp, "Dąbrowski"_cp, "Daniel"_cp, "Ąbc"_cp, "Azja"_cp, "Bąk"_cp};
    std::vector<std::string> keys;
    for (const auto& w : words) keys.push_back(Fold(w));
    std::sort(keys.begin(), keys.end());
    const std::vector<std::string> expected = {"Azja"_cp, "Ąbc"_cp, "Bąk"_cp, "Cygan"_cp, "Ćwikła"_cp, "Daniel"_cp,
                                               "Dąbrowski"_cp, "Lis"_cp, "Łuczak"_cp, "Zając"_cp, "Źrebiec"_cp, "Żak"_cp};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(keys[i], Fold(expected[i])) << i;
    for (const auto& w : words) EXPECT_EQ(Fold(Fold(w)), Fold(w));
    EXPECT_EQ(Fold("  ala   ma\tkota "), "ALA MA KOTA");
    EXPECT_EQ(FoldCompact("83-7120-123-X"), "837120123X");
    EXPECT_EQ(FoldedWords("Dzieje, żółtego domu!"_cp), (std::vector<std::string>{"DZIEJE", Fold("żółtego"_cp), "DOMU"}));
}

// A readable form of a parsed query, for comparing structures.
std::string Show(const QueryNode& n) {
    switch (n.type) {
        case QueryNode::Type::Binary:
            return "(" + Show(*n.left) + " " + n.op + " " + Show(*n.right) + ")";
        case QueryNode::Type::Collection:
            return "#" + std::to_string(n.collection);
        case QueryNode::Type::Any:
            return n.index + ":*";
        case QueryNode::Type::RecordList:
            return "[" + n.text + "]";
        case QueryNode::Type::Criterion:
            return "{" + n.index + (n.hasParameters ? "=" + n.text : "") + "}";
        case QueryNode::Type::Match: {
            const char* kinds[] = {"=", "^", "w", "n", "p"};
            return n.index + kinds[static_cast<int>(n.kind)] + n.text;
        }
    }
    return "?";
}

TEST(QueryParser, ReadsEveryFormTheClientComposes) {
    const struct {
        std::string query;
        std::string shown;
        std::string sort;
    } cases[] = {
        {"\"autor\" POCZĄTEK \"Kowal\""_cp, "autor^Kowal", ""},
        {"SORTUJ \"\" \"tytuł\" SŁOWO \"las\""_cp, "tytuł"_cp + "wlas", ""},
        {"SORTUJ \"autor\" \"autor\" RÓWNY \"Nowak, Jan\""_cp, "autor=Nowak, Jan", "autor"},
        // The elementary window: lines joined by one operator, then a second criterion.
        {"\"autor\" ( POCZĄTEK \"Kowal\"  LUB  POCZĄTEK \"Nowak\")  I  SŁOWO \"Jan\""_cp,
         "((autor^Kowal + autor^Nowak) * autorwJan)", ""},
        {"\"tytuł\" DOWOLNY  OPRÓCZ  POCZĄTEK \"Las\""_cp, "(tytuł:* / tytuł^Las)"_cp, ""},
        // The criteria panel joins parts with " * ".
        {"\"autor\" POCZĄTEK \"K\" * \"rok wydania\" LICZBA \"1990-2000\""_cp, "(autor^K * rok wydanian1990-2000)", ""},
        {"(3)/7", "(#3 / #7)", ""},
        {"1 + 2 * 3", "((#1 + #2) * #3)", ""},
        {"REKORD \"K1|K2|\"", "[K1|K2|]", ""},
        {"SORTUJ \"\" \"nowości\""_cp, "{nowości}"_cp, ""},
        {"\"kryterium\" \"a|1|b|\\\"x\\\"|\"", "{kryterium=a|1|b|\"x\"|}", ""},
        {"\"tytuł\" WZORZEC \"a\\(b\\)*\""_cp, "tytuł"_cp + "pa(b)*", ""},
        {"\"autor\" równy \"x\""_cp, "autor=x", ""},
        {"\"autor\" ", "{autor}", ""},
    };
    for (const auto& c : cases) {
        const ParsedQuery q = ParseQuery(c.query);
        ASSERT_TRUE(q.error.empty()) << WinUtf().Convert(c.query) << ": " << WinUtf().Convert(q.error);
        EXPECT_EQ(Show(*q.root), c.shown) << WinUtf().Convert(c.query);
        EXPECT_EQ(q.sortKey, c.sort) << WinUtf().Convert(c.query);
    }
}

TEST(QueryParser, RefusesMalformedQueriesWithAPolishText) {
    const std::string bad[] = {
        "",  "\"autor\" POCZĄTEK"_cp, "\"autor\" POCZĄTEK \"Kow"_cp, "(1 + 2", "1 +", "POCZĄTEK \"x\""_cp,
        "SORTUJ autor", "REKORD K1", "\"a\" RÓWNY \"x\" )"_cp, "SZUKAJ \"x\"", std::string(200, '(') + "1",
    };
    for (const auto& q : bad) {
        const ParsedQuery p = ParseQuery(q);
        EXPECT_FALSE(p.error.empty()) << WinUtf().Convert(q);
        EXPECT_EQ(p.error.rfind("Błąd w zapytaniu: "_cp, 0), 0u) << WinUtf().Convert(p.error);
    }
}

TEST(PatternMatcher, HandlesWildcardsPolishLettersAndEscapes) {
    const struct {
        std::string pattern, text;
        bool match;
    } cases[] = {
        {"K*", "KOWALSKI", true},      {"*SKI", "KOWALSKI", true},   {"K?WAL*", "KOWALSKI", true},
        {"K?WAL", "KOWALSKI", false},  {"*", "", true},              {"?", "", false},
        {Fold("?ak"), Fold("Żak"_cp), true},  // one letter, even when it folds to more bytes
        {"A\\*B", "A*B", true},        {"A\\*B", "AXB", false},       {"*A*B*", "XAYBZ", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PatternMatches(c.pattern, c.text), c.match) << test::Hex(c.pattern) << " / " << test::Hex(c.text);
}

TEST(Seeder, GeneratesTheSameValidCatalogueForTheSameSize) {
    const SeedCounts counts = CountsFor(500);
    int isbns = 0, covers = 0;
    for (std::uint32_t seq = 1; seq <= counts.books; ++seq) {
        const std::string text = BookText(seq, counts);
        EXPECT_EQ(text, BookText(seq, counts));
        const RecordText r = RecordText::Parse(text);
        EXPECT_FALSE(Subfield(r.Value("100"), 'a').empty());
        EXPECT_FALSE(Subfield(r.Value("245"), 'a').empty());
        EXPECT_FALSE(Subfield(r.Value("852"), 'h').empty());
        const std::string isbn = Subfield(r.Value("020"), 'a');
        if (!isbn.empty()) {
            ++isbns;
            EXPECT_TRUE(IsbnValid(isbn)) << isbn;
        }
        if (BookCover(seq)) ++covers;
        // Every link points to an authority record that exists.
        for (const char* tag : {"100", "700"})
            for (const auto& v : r.Values(tag)) {
                const std::string link = Subfield(v, '9');
                ASSERT_EQ(link[0], 'O');
                EXPECT_LE(std::stoul(link.substr(1)), counts.persons);
            }
    }
    EXPECT_GT(isbns, 450);
    EXPECT_GT(covers, 50);
    EXPECT_TRUE(IsbnValid("0-306-40615-2"));
    EXPECT_TRUE(IsbnValid("978-0-306-40615-7"));
    EXPECT_FALSE(IsbnValid("978-0-306-40615-8"));
    EXPECT_FALSE(IsbnValid("0-306-40615-3"));
    // Polish letters appear, in Windows-1250.
    std::string all;
    for (std::uint32_t seq = 1; seq <= 50; ++seq) all += BookText(seq, counts);
    EXPECT_NE(all.find('\xB3'), std::string::npos);  // ł
}

// A byte source over a fixed text, for the request reader.
class Bytes : public ByteSource {
public:
    explicit Bytes(std::string data) : mData(std::move(data)) {}
    std::size_t Read(unsigned char* p, std::size_t n, bool) override {
        const std::size_t take = std::min(n, mData.size() - mAt);
        std::copy_n(mData.data() + mAt, take, reinterpret_cast<char*>(p));
        mAt += take;
        return take;
    }

private:
    std::string mData;
    std::size_t mAt = 0;
};

TEST(RequestReader, NeverTrustsWhatTheClientSends) {
    {
        Bytes b(std::string("\x1E", 1));
        RequestReader r(b);
        std::uint8_t code = 0;
        ASSERT_TRUE(r.NextRequest(code));
        EXPECT_EQ(code, 30);
        EXPECT_FALSE(r.NextRequest(code));  // the end between requests is a clean end
    }
    {
        Bytes b(std::string("\x01\x02", 2));
        RequestReader r(b);
        EXPECT_THROW(r.Integer(), ProtocolError);  // truncated in an integer
    }
    {
        Bytes b(std::string(5000, 'a') + std::string(1, '\0'));
        RequestReader r(b);
        EXPECT_THROW(r.Text(4096), ProtocolError);
    }
    {
        Bytes b(std::string("abc", 3));
        RequestReader r(b);
        EXPECT_THROW(r.Text(), ProtocolError);  // no zero byte before the end
    }
    {
        std::string ints;
        wire::AppendInteger(ints, 300);
        Bytes b(ints);
        RequestReader r(b);
        EXPECT_THROW(r.Integer(0, 255, "index kind"), ProtocolError);
    }
    {
        // Texts are unscrambled with the session key.
        const std::string key = "XXkey";
        Bytes b(wire::Scrambled(key, "Zażółć"_cp) + std::string(1, '\0'));
        RequestReader r(b);
        r.SetKey(key);
        EXPECT_EQ(r.Text(), "Zażółć"_cp);
    }
}

class Collect : public ByteSink {
public:
    bool Write(const unsigned char* p, std::size_t n) override {
        data.append(reinterpret_cast<const char*>(p), n);
        return true;
    }
    void Close() override { closed = true; }
    std::string data;
    bool closed = false;
};

TEST(ReplyWriter, SendsFilesInChunksAndAppliesTheFaults) {
    Collect sink;
    ReplyWriter w(sink);
    w.Begin({});
    w.File(std::string(25000, 'x'));
    w.Flush();
    auto header = [](std::int32_t remaining, std::int32_t count) {
        std::string h;
        wire::AppendInteger(h, remaining);
        wire::AppendInteger(h, count);
        return h;
    };
    ASSERT_EQ(sink.data.size(), 3u * 8u + 25000u);
    EXPECT_BYTES_EQ(sink.data.substr(0, 8), header(25000, 10000));
    EXPECT_BYTES_EQ(sink.data.substr(10008, 8), header(15000, 10000));
    EXPECT_BYTES_EQ(sink.data.substr(20016, 8), header(5000, 5000));

    sink.data.clear();
    Faults abort;
    abort.abortTransfer = true;
    w.Begin(abort);
    w.File(std::string(25000, 'x'));
    w.Flush();
    EXPECT_EQ(sink.data.size(), 8u + 10000u + 4u);
    EXPECT_BYTES_EQ(sink.data.substr(10008), std::string("\xFF\xFF\xFF\xFF", 4));

    sink.data.clear();
    Faults f51;
    f51.count51 = true;
    w.Begin(f51);
    w.Answers({"a", "b"});
    w.Flush();
    EXPECT_BYTES_EQ(sink.data, std::string("\x33\0\0\0", 4));

    sink.data.clear();
    Faults close;
    close.closeMid = true;
    w.Begin(close);
    w.Answers({"0123456789"});
    EXPECT_THROW(w.Flush(), ConnectionEnd);
    EXPECT_TRUE(sink.closed);
    EXPECT_EQ(sink.data.size(), 7u);  // half of 4 + 11 bytes
}

TEST(TestControl, SwitchesApplyToTheirRequestsOnly) {
    TestControl c;
    EXPECT_EQ(c.Command("close 55"), "ok");
    EXPECT_EQ(c.Command("count51 220 2"), "ok");
    EXPECT_EQ(c.Command("delay 30 254"), "ok");
    EXPECT_FALSE(c.Begin("5").closeMid);  // 5 is not 55
    EXPECT_TRUE(c.Begin("55").closeMid);
    EXPECT_FALSE(c.Begin("55").closeMid);  // once
    EXPECT_TRUE(c.Begin("220L").count51);
    EXPECT_TRUE(c.Begin("220G").count51);
    EXPECT_FALSE(c.Begin("220D").count51);
    EXPECT_EQ(c.Begin("254").delayMs, 30);
    EXPECT_EQ(c.Begin("30").delayMs, 0);
    EXPECT_EQ(c.Command("count 220"), "ok 3");
    EXPECT_EQ(c.Command("count 55"), "ok 2");
    EXPECT_EQ(c.Command("counts"), "ok 220D=1 220G=1 220L=1 254=1 30=1 5=1 55=2");
    EXPECT_EQ(c.Command("reset"), "ok");
    EXPECT_EQ(c.Command("counts"), "ok");
    EXPECT_EQ(c.Command("close"), "error close CODE [N]");
    EXPECT_EQ(c.Command("bogus"), "error unknown command");
    EXPECT_EQ(TestControl::RequestName(100, 1), "100.1");
    EXPECT_EQ(TestControl::RequestName(220, 'G'), "220G");
}

TEST(PasswordEncoding, TheServerReadsBackWhatTheClientEncodes) {
    for (const std::int32_t challenge : {0, 1000, 89999999}) {
        for (const std::string& pw : {std::string("nowe"), "Zażółć gęślą"_cp, std::string(1, '\xFF')}) {
            EXPECT_EQ(DecodePasswordForTest(challenge, wire::EncodePassword(challenge, pw)), pw);
        }
    }
    EXPECT_FALSE(DecodePasswordForTest(5, "garbage").has_value());
}

}  // namespace
