// The association against a scripted Z39.50 server: the bytes of the Init,
// refused Inits, diagnostics, surrogate diagnostics, surplus records,
// transport failures while fetching on demand, and scan statuses.

#include "import/Codec.h"
#include "import/Decodec.h"
#include "import/RpnQuery.h"
#include "import/Z3950Client.h"
#include "support/Hex.h"
#include "support/ScriptedPeer.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace velt;

namespace {

std::string P(std::uint32_t tag, const std::string& content) { return Codec::EncodeElement(2, false, content, tag); }
std::string C(std::uint32_t tag, const std::string& content) { return Codec::EncodeElement(2, true, content, tag); }
std::string U(std::uint32_t tag, bool constructed, const std::string& content) {
    return Codec::EncodeElement(0, constructed, content, tag);
}
std::string I(std::uint32_t tag, std::uint32_t n) { return P(tag, Codec::EncodeInteger(n)); }

// One APDU the client sent, read whole.
std::string ReadApdu(test::PeerConnection& c) {
    std::string bytes = c.Read(1);
    if (bytes.empty()) return bytes;
    if ((static_cast<unsigned char>(bytes[0]) & 0x1F) == 0x1F) {
        std::string b;
        do {
            b = c.Read(1);
            bytes += b;
        } while (!b.empty() && (static_cast<unsigned char>(b[0]) & 0x80));
    }
    const std::string l = c.Read(1);
    bytes += l;
    std::size_t length = static_cast<unsigned char>(l[0]);
    if (length & 0x80) {
        const std::string more = c.Read(length & 0x7F);
        bytes += more;
        length = 0;
        for (char b : more) length = (length << 8) | static_cast<unsigned char>(b);
    }
    return bytes + c.Read(length);
}

std::unique_ptr<DataElement> Tree(const std::string& bytes) {
    UniSocket s;
    s.Load(bytes);
    return Decodec(s).DecodeElement(1);
}

std::string InitResponse(bool accepted, const std::string& options = std::string("\x00\xE9\xA2", 3)) {
    return C(21, P(3, std::string("\x00\xE0", 2)) + P(4, options) + I(5, 100000) + I(6, 100000) +
                     P(12, accepted ? "\x01" : std::string(1, '\0')) + P(110, "peer"));
}

// A peer that accepts the Init, then answers each request with the next of
// the responses in turn and waits for the client to close.
test::ScriptedPeer::Script AcceptThenAnswer(std::vector<std::string> responses) {
    return [responses = std::move(responses)](test::PeerConnection& c) {
        ReadApdu(c);
        c.Write(InitResponse(true));
        for (const auto& r : responses) {
            ReadApdu(c);
            c.Write(r);
        }
        c.ClientClosed();
    };
}

std::string SearchResponse(std::uint32_t count, bool ok, const std::string& extra = "") {
    return C(23, I(23, count) + I(24, 0) + I(25, 1) + P(22, ok ? "\x01" : std::string(1, '\0')) + extra);
}

std::string Diag(std::uint32_t condition, const std::string& addinfo, int stringTag = 26) {
    return U(6, false, Codec::EncodeOid("1.2.840.10003.4.1")) + U(2, false, Codec::EncodeInteger(condition)) +
           U(static_cast<std::uint32_t>(stringTag), false, addinfo);
}

std::string MarcRecord(const std::string& id) {
    const std::string data = id + "\x1E";
    const std::string dir = std::string("001") + "000" + std::to_string(data.size()) + "00000\x1E";
    const std::size_t base = 24 + dir.size(), length = base + data.size() + 1;
    return "000" + std::to_string(length) + "nam a22000" + std::to_string(base) + " a 4500" + dir + data + "\x1D";
}

std::string NamePlusRecord(const std::string& marc) {
    const std::string external = U(8, true, U(6, false, Codec::EncodeOid(Z3950Client::kUsMarc)) + P(1, marc));
    return U(16, true, P(0, "Default") + C(1, C(1, external)));
}

std::string SurrogateRecord(std::uint32_t condition, const std::string& addinfo) {
    return U(16, true, P(0, "Default") + C(1, C(2, U(16, true, Diag(condition, addinfo)))));
}

std::string PresentResponse(const std::vector<std::string>& records) {
    std::string all;
    for (const auto& r : records) all += r;
    return C(25, I(24, static_cast<std::uint32_t>(records.size())) + I(25, 0) + I(27, 0) + C(28, all));
}

// Reads a Present and returns its start and count.
std::pair<std::uint32_t, std::uint32_t> ReadPresent(test::PeerConnection& c) {
    const auto t = Tree(ReadApdu(c));
    if (!t || t->tag != 24) return {0, 0};
    return {*Codec::DecodeInteger(t->Child(30)->content), *Codec::DecodeInteger(t->Child(29)->content)};
}

std::string Rpn() { return EncodeOperand(EncodeAttributesPlusTerm({{kBib1Use, 4}}, "x")); }

}  // namespace

TEST(Z3950Client, InitCarriesContextTagsAndTheIdPassSequence) {
    std::vector<std::string> inits;
    test::ScriptedPeer peer(
        [&inits](test::PeerConnection& c) {
            inits.push_back(ReadApdu(c));
            c.Write(InitResponse(true));
            c.ClientClosed();
        },
        3);
    const std::pair<std::string, std::string> logins[] = {{"ala", ""}, {"ala", "kot"}, {"", "kot"}};
    for (const auto& [user, password] : logins) {
        Z3950Client z;
        EXPECT_TRUE(z.OpenAssociation("127.0.0.1", peer.Port(), password, user)) << z.ErrorText();
    }
    EXPECT_TRUE(peer.Join().empty());
    ASSERT_EQ(inits.size(), 3u);
    const std::string head = "83 02 00 E0 84 03 00 E9 A2 85 03 01 86 A0 86 03 01 86 A0";
    const std::string tail = "9F 6E 02 38 31 9F 6F 11" + test::Hex(" TARLINEX-Software").substr(2) + " 9F 70 10" +
                             test::Hex(" VELT-2 v.07-2004").substr(2);
    EXPECT_EQ(test::Hex(inits[0]), "B4 48 " + head + " A7 07 30 05 81 03 61 6C 61 " + tail);
    EXPECT_EQ(test::Hex(inits[1]), "B4 4D " + head + " A7 0C 30 0A 81 03 61 6C 61 82 03 6B 6F 74 " + tail);
    EXPECT_EQ(test::Hex(inits[2]), "B4 3F " + head + " " + tail);
}

TEST(Z3950Client, RefusedInitAndAcceptedOptions) {
    test::ScriptedPeer peer(
        [](test::PeerConnection& c) {
            static int n = 0;
            ReadApdu(c);
            // bits 7 (scan) and 10 (extendedServices): elements 7 and 9
            ++n;
            c.Write(n == 1   ? InitResponse(false)
                    : n == 2 ? C(48, I(211, 0) + P(3, "no access"))  // refused with a Close
                             : InitResponse(true, std::string("\x00\x01\x20", 3)));
            c.ClientClosed();
        },
        3);
    Z3950Client refused;
    EXPECT_FALSE(refused.OpenAssociation("127.0.0.1", peer.Port(), "", "bad"));
    EXPECT_EQ(refused.ErrorText(), "Serwer Z39.50 odmówił nawiązania połączenia"_cp);
    EXPECT_EQ(refused.SendSearch("Default", Rpn()), Z3950Client::TextBroken());
    Z3950Client closed;
    EXPECT_FALSE(closed.OpenAssociation("127.0.0.1", peer.Port(), "", "bad"));
    EXPECT_EQ(closed.ErrorText(), "Serwer Z39.50 odmówił nawiązania połączenia - no access"_cp);
    Z3950Client accepted;
    ASSERT_TRUE(accepted.OpenAssociation("127.0.0.1", peer.Port(), "", ""));
    EXPECT_EQ(accepted.AcceptedOptions().to_string(), "00001010000000");
    peer.Join();

    Z3950Client nobody;
    EXPECT_FALSE(nobody.OpenAssociation("127.0.0.1", test::UnusedPort(), "", ""));
    EXPECT_FALSE(nobody.ErrorText().empty());
}

TEST(Z3950Client, SearchDiagnosticsShowConditionAndAddinfo) {
    const std::string responses[] = {
        SearchResponse(0, false, C(130, Diag(114, "9999"))),
        SearchResponse(0, false, C(130, Diag(109, "Nope", 27))),  // GeneralString
        SearchResponse(0, false, C(205, U(16, true, Diag(2, "")))),
        SearchResponse(0, false),
        C(48, I(211, 0)),  // a Close instead
        C(23, I(24, 0) + P(22, "\x01")),  // no result count
        C(23, P(23, std::string("\x01\x00\x00\x00\x00", 5)) + I(24, 0) + P(22, "\x01")),  // a count beyond 32 bits
    };
    const std::string texts[] = {
        "Błąd - diagnostyka 114: 9999"_cp, "Błąd - diagnostyka 109: Nope"_cp, "Błąd - diagnostyka 2"_cp, "Błąd"_cp,
        Z3950Client::TextBadStructure(), Z3950Client::TextBadStructure(), Z3950Client::TextBadStructure(),
    };
    int i = 0;
    test::ScriptedPeer peer(AcceptThenAnswer(std::vector<std::string>(std::begin(responses), std::end(responses))));
    Z3950Client z;
    ASSERT_TRUE(z.OpenAssociation("127.0.0.1", peer.Port(), "", ""));
    for (const auto& text : texts) {
        EXPECT_EQ(z.SendSearch("Default", Rpn()), text) << i++;
        EXPECT_EQ(z.First(), "");
    }
    peer.Join();
}

TEST(Z3950Client, SurrogatesAreHeldAndSurplusRecordsIgnored) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> presents;
    test::ScriptedPeer peer(
        [&](test::PeerConnection& c) {
            ReadApdu(c);
            c.Write(InitResponse(true));
            ReadApdu(c);
            c.Write(SearchResponse(10, true));
            presents.push_back(ReadPresent(c));  // 1..8 for position 1
            std::vector<std::string> records = {NamePlusRecord(MarcRecord("r1")), SurrogateRecord(14, "gone"),
                                                NamePlusRecord(MarcRecord("r3"))};
            for (int k = 4; k <= 30; ++k) records.push_back(NamePlusRecord(MarcRecord("r" + std::to_string(k))));
            c.Write(PresentResponse(records));
            presents.push_back(ReadPresent(c));  // 9..10
            c.Write(PresentResponse({NamePlusRecord(MarcRecord("r9")), U(16, true, P(0, "x")),
                                     NamePlusRecord(MarcRecord("r11"))}));
            c.ClientClosed();
        },
        1);
    std::vector<std::string> messages;
    Z3950Client z([&messages](const std::string& m) { messages.push_back(m); });
    ASSERT_TRUE(z.OpenAssociation("127.0.0.1", peer.Port(), "", ""));
    ASSERT_EQ(z.SendSearch("Default", Rpn()), "");
    EXPECT_EQ(z.First(), "1");
    EXPECT_EQ(z.Last(), "10");
    EXPECT_EQ(z.Next("10"), "");
    EXPECT_EQ(z.Prior("1"), "");
    EXPECT_EQ(z.Next("abc"), "");

    const auto first = z.Lines("1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->at(1), "001Z.1.1.1.1=r1");
    const auto second = z.Lines("2");
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, std::vector<std::string>{"Błąd - diagnostyka 14: gone"_cp});
    EXPECT_EQ(z.Lines("3")->at(1), "001Z.1.1.1.1=r3");
    EXPECT_EQ(z.PresentCount(), 1);  // the surrogate is not asked for again
    EXPECT_EQ(z.HeldCount(), 8u);    // 1..8: the surplus is not kept

    EXPECT_EQ(z.Lines("9")->at(1), "001Z.1.1.1.1=r9");
    ASSERT_NE(z.RecordAt(10), nullptr);
    EXPECT_EQ(z.RecordAt(10)->kind, Z3950Record::Kind::Placeholder);
    EXPECT_EQ(z.RecordAt(11), nullptr);  // beyond the result count
    EXPECT_FALSE(z.Lines("11"));
    EXPECT_EQ(z.PresentCount(), 2);
    peer.Join();
    ASSERT_EQ(presents.size(), 2u);
    EXPECT_EQ(presents[0], std::make_pair(1u, 8u));
    EXPECT_EQ(presents[1], std::make_pair(9u, 2u));
    EXPECT_TRUE(messages.empty());
}

TEST(Z3950Client, PresentFailuresAreReportedOnce) {
    test::ScriptedPeer peer(
        [](test::PeerConnection& c) {
            ReadApdu(c);
            c.Write(InitResponse(true));
            ReadApdu(c);
            c.Write(SearchResponse(100, true));
            ReadPresent(c);
            // No records element: a diagnostic for the whole request.
            c.Write(C(25, I(24, 0) + I(25, 0) + I(27, 5) + C(130, Diag(13, "range"))));
            ReadPresent(c);
            // A records element without a record.
            c.Write(C(25, I(24, 0) + I(25, 0) + I(27, 0) + C(28, "")));
            ReadPresent(c);
            c.Close();
        },
        1);
    std::vector<std::string> messages;
    Z3950Client z([&messages](const std::string& m) { messages.push_back(m); });
    ASSERT_TRUE(z.OpenAssociation("127.0.0.1", peer.Port(), "", ""));
    ASSERT_EQ(z.SendSearch("Default", Rpn()), "");
    const auto held = z.Lines("1");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->at(0), "Błąd - diagnostyka 13: range"_cp);
    EXPECT_TRUE(z.Lines("8"));  // held as well: no new request
    EXPECT_EQ(z.PresentCount(), 1);
    const auto empty = z.Lines("30");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->at(0), Z3950Client::TextBadStructure());
    EXPECT_TRUE(z.Lines("31"));  // held: no new request
    EXPECT_EQ(z.PresentCount(), 2);
    EXPECT_FALSE(z.Lines("50"));  // the server closed
    EXPECT_FALSE(z.Lines("70"));
    EXPECT_FALSE(z.Lines("90"));
    EXPECT_EQ(z.PresentCount(), 3);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Błąd - diagnostyka 13: range"_cp);
    EXPECT_EQ(messages[1], Z3950Client::TextBadStructure());
    EXPECT_EQ(messages[2], Z3950Client::TextBroken());
    EXPECT_EQ(z.ErrorText(), UniSocket::TextClosed());
    peer.Join();
}

TEST(Z3950Client, ScanStatusesAndPartialLists) {
    auto entry = [](const std::string& term, std::uint32_t n) { return C(1, P(45, term) + I(2, n)); };
    const std::string entries = C(7, C(1, entry("alpha", 3) + C(2, U(16, true, Diag(1, "x"))) +
                                                     C(1, P(215, "\x05") + I(2, 9)) +  // not a general term: skipped
                                                     entry("beta", 1)));
    const std::string responses[] = {
        C(36, I(4, 0) + I(5, 2) + entries),
        C(36, I(4, 3) + I(5, 2) + entries),   // partial with entries: shown
        C(36, I(4, 5) + I(5, 0)),
        C(36, I(4, 2) + I(5, 0)),
        C(36, I(4, 6) + I(5, 0) + C(7, C(2, U(16, true, Diag(109, "db"))))),
        C(36, I(4, 0) + I(5, 0)),
    };
    test::ScriptedPeer peer(AcceptThenAnswer(std::vector<std::string>(std::begin(responses), std::end(responses))));
    Z3950Client z;
    ASSERT_TRUE(z.OpenAssociation("127.0.0.1", peer.Port(), "", ""));
    std::vector<ScanTerm> terms;
    const std::string apt = EncodeAttributesPlusTerm({{kBib1Use, 4}}, "a");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(z.ScanTerms("Default", apt, 20, terms), "");
        ASSERT_EQ(terms.size(), 2u);
        EXPECT_EQ(terms[0].term, "alpha");
        EXPECT_EQ(terms[0].count, 3);
        EXPECT_EQ(terms[1].term, "beta");
    }
    EXPECT_EQ(z.LastScanStatus(), 3);
    EXPECT_EQ(z.ScanTerms("Default", apt, 20, terms), "Lista haseł spełniających krterium jest zbyt duża"_cp);
    EXPECT_EQ(z.ScanTerms("Default", apt, 20, terms), "Serwer Z39.50 nie pozwala na wyświetlenie listy haseł"_cp);
    EXPECT_EQ(z.ScanTerms("Default", apt, 20, terms), "Wystąpił błąd - diagnostyka 109: db"_cp);
    EXPECT_EQ(z.ScanTerms("Default", apt, 20, terms), "");
    EXPECT_TRUE(terms.empty());
    peer.Join();
}
