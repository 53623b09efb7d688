// The BER codec byte for byte, the decoder's limits on untrusted lengths, and
// the transport's failures over a socket pair.

#include "import/Codec.h"
#include "import/Decodec.h"
#include "import/SocketOfClient.h"
#include "support/Hex.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace velt;

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int x : b) s.push_back(static_cast<char>(x));
    return s;
}

// Decodes held bytes as one APDU.
std::unique_ptr<DataElement> DecodeHeld(UniSocket& socket, const std::string& bytes) {
    EXPECT_TRUE(socket.Load(bytes));
    Decodec d(socket);
    return d.DecodeElement(1);
}

}  // namespace

TEST(Codec, LengthsTakeTheShortestForm) {
    struct Case {
        std::size_t size;
        std::string lengthOctets;
    } cases[] = {
        {0, Bytes({0x00})},
        {127, Bytes({0x7F})},
        {128, Bytes({0x81, 0x80})},
        {255, Bytes({0x81, 0xFF})},
        {300, Bytes({0x82, 0x01, 0x2C})},
        {70000, Bytes({0x83, 0x01, 0x11, 0x70})},
    };
    for (const auto& c : cases) {
        const std::string e = Codec::EncodeElement(2, false, std::string(c.size, 'x'), 5);
        ASSERT_EQ(e.size(), 1 + c.lengthOctets.size() + c.size) << c.size;
        EXPECT_BYTES_EQ(e.substr(1, c.lengthOctets.size()), c.lengthOctets) << c.size;
    }
}

TEST(Codec, IdentifiersOfEveryClassAndMultiOctetTags) {
    struct Case {
        int cls;
        bool constructed;
        std::uint32_t tag;
        std::string identifier;
    } cases[] = {
        {0, true, 16, Bytes({0x30})},          // SEQUENCE
        {0, false, 6, Bytes({0x06})},          // OBJECT IDENTIFIER
        {2, true, 20, Bytes({0xB4})},          // InitializeRequest
        {2, false, 30, Bytes({0x9E})},
        {2, false, 31, Bytes({0x9F, 0x1F})},
        {2, false, 110, Bytes({0x9F, 0x6E})},
        {2, false, 127, Bytes({0x9F, 0x7F})},
        {2, true, 130, Bytes({0xBF, 0x81, 0x02})},
        {1, false, 1000, Bytes({0x5F, 0x87, 0x68})},
        {3, true, 0, Bytes({0xE0})},
    };
    for (const auto& c : cases) {
        const std::string e = Codec::EncodeElement(c.cls, c.constructed, "", c.tag);
        EXPECT_BYTES_EQ(e, c.identifier + Bytes({0x00})) << c.tag;
        UniSocket s;
        const auto d = DecodeHeld(s, e);
        ASSERT_TRUE(d) << s.ErrorText();
        EXPECT_EQ(d->tag, static_cast<std::int32_t>(c.tag));
        EXPECT_EQ(d->cls, c.cls);
        EXPECT_EQ(d->constructed, c.constructed);
        EXPECT_EQ(d->size, static_cast<std::int32_t>(e.size()));
    }
}

TEST(Codec, IntegersAndOidsAndBits) {
    const std::pair<std::uint32_t, std::string> ints[] = {
        {0, Bytes({0x00})},         {127, Bytes({0x7F})},
        {128, Bytes({0x00, 0x80})}, {256, Bytes({0x01, 0x00})},
        {100000, Bytes({0x01, 0x86, 0xA0})},
        {0xFFFFFFFFu, Bytes({0x00, 0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& [n, octets] : ints) {
        EXPECT_BYTES_EQ(Codec::EncodeInteger(n), octets);
        EXPECT_EQ(Codec::DecodeInteger(octets), n);
    }
    // More than 32 bits, or nothing, is no number.
    EXPECT_FALSE(Codec::DecodeInteger(Bytes({0x01, 0x00, 0x00, 0x00, 0x00})));
    EXPECT_FALSE(Codec::DecodeInteger(Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x01})));
    EXPECT_FALSE(Codec::DecodeInteger(""));

    EXPECT_BYTES_EQ(Codec::EncodeOid("1.2.840.10003.5.10"), Bytes({0x2A, 0x86, 0x48, 0xCE, 0x13, 0x05, 0x0A}));
    EXPECT_BYTES_EQ(Codec::EncodeOid("1.2.840.10003.3.1"), Bytes({0x2A, 0x86, 0x48, 0xCE, 0x13, 0x03, 0x01}));
    EXPECT_BYTES_EQ(Codec::EncodeOid("2.999.1"), Bytes({0x88, 0x37, 0x01}));
    for (const char* bad : {"", "1", "1..2", "1.2.x", "3.1", "1.40", "1.2.99999999999", ".1.2", "1.2."})
        EXPECT_EQ(Codec::EncodeOid(bad), "") << bad;

    EXPECT_EQ(Codec::BitsOf(Bytes({0x00, 0xE0})), "11100000");
    EXPECT_EQ(Codec::BitsOf(Bytes({0x00, 0xE9, 0xA2})), "1110100110100010");
    EXPECT_EQ(Codec::BitsOf(Bytes({0x03, 0xE9, 0xA2})), "1110100110100");
    EXPECT_EQ(Codec::BitsOf(Bytes({0x09, 0xFF})), "");
    EXPECT_EQ(Codec::BitsOf(""), "");
}

TEST(Decodec, TreesWithDefiniteAndIndefiniteLengths) {
    // [1] { [2] "ab", SEQUENCE { INTEGER 5 } }
    const std::string inner = Codec::EncodeElement(2, false, "ab", 2) +
                              Codec::EncodeElement(0, true, Codec::EncodeElement(0, false, "\x05", 2), 16);
    const std::string definite = Codec::EncodeElement(2, true, inner, 1);
    UniSocket a;
    const auto d = DecodeHeld(a, definite);
    ASSERT_TRUE(d) << a.ErrorText();
    EXPECT_EQ(d->size, static_cast<std::int32_t>(definite.size()));
    ASSERT_EQ(d->children.size(), 2u);
    EXPECT_EQ(d->children[0].content, "ab");
    EXPECT_EQ(d->children[0].size, 4);
    ASSERT_EQ(d->children[1].children.size(), 1u);
    EXPECT_EQ(d->children[1].children[0].content, "\x05");

    // The same children under an indefinite length: identifier + 1 + children + 2.
    UniSocket b;
    const auto i = DecodeHeld(b, Bytes({0xA1, 0x80}) + inner + Bytes({0x00, 0x00}));
    ASSERT_TRUE(i) << b.ErrorText();
    EXPECT_EQ(i->size, static_cast<std::int32_t>(1 + 1 + inner.size() + 2));
    EXPECT_EQ(i->children.size(), 2u);

    // Empty constructed elements: no children, size 2 or 4.
    UniSocket c;
    const auto e = DecodeHeld(c, Bytes({0x30, 0x00}));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->size, 2);
    EXPECT_TRUE(e->children.empty());
    UniSocket f;
    const auto g = DecodeHeld(f, Bytes({0x30, 0x80, 0x00, 0x00}));
    ASSERT_TRUE(g);
    EXPECT_EQ(g->size, 4);
    EXPECT_TRUE(g->children.empty());

    // A zero byte inside content is content, not an end.
    UniSocket h;
    const auto z = DecodeHeld(h, Bytes({0xA1, 0x80, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(z) << h.ErrorText();
    EXPECT_EQ(z->children.at(0).content, std::string(2, '\0'));

    // A segmented string joins its pieces.
    UniSocket k;
    const auto seg = DecodeHeld(k, Bytes({0xA1, 0x08, 0x04, 0x02, 'a', 'b', 0x04, 0x02, 'c', 'd'}));
    ASSERT_TRUE(seg);
    EXPECT_EQ(seg->Octets(), "abcd");
}

TEST(Decodec, UntrustedLengthsAreMalformedResponses) {
    const std::string malformed = UniSocket::TextMalformed("");
    std::string deep;
    for (int i = 0; i < Decodec::kMaxDepth; ++i) deep += Bytes({0x30, 0x80});
    std::string deepEnd;
    for (int i = 0; i < Decodec::kMaxDepth; ++i) deepEnd += Bytes({0x00, 0x00});
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;  // what the error begins with
    } cases[] = {
        {"five length octets", Bytes({0x04, 0x85, 0, 0, 0, 0, 1, 'x'}), malformed},
        {"length beyond the buffer", Bytes({0x04, 0x83, 0x01, 0x86, 0xA1}), UniSocket::TextTooLarge()},
        {"length of 4 GB", Bytes({0x04, 0x84, 0xFF, 0xFF, 0xFF, 0xFF}), UniSocket::TextTooLarge()},
        {"length beyond what was received", Bytes({0x04, 0x05, 'a', 'b'}), malformed},
        {"child overrunning its parent", Bytes({0x30, 0x03, 0x04, 0x03, 'a', 'b', 'c'}), malformed},
        {"indefinite primitive", Bytes({0x04, 0x80, 'a', 0x00, 0x00}), malformed},
        {"nesting deeper than the limit", deep + Bytes({0x30, 0x80}) + deepEnd + Bytes({0x00, 0x00}), malformed},
        {"tag of five octets", Bytes({0x1F, 0x81, 0x81, 0x81, 0x81, 0x01, 0x00}), malformed},
        {"indefinite without its end", Bytes({0x30, 0x80, 0x04, 0x01, 'a'}), malformed},
        {"nothing at all", "", UniSocket::TextClosed()},
    };
    for (const auto& c : cases) {
        UniSocket s;
        const auto d = DecodeHeld(s, c.bytes);
        EXPECT_FALSE(d) << c.what;
        EXPECT_TRUE(s.Failed()) << c.what;
        EXPECT_EQ(s.ErrorText().substr(0, c.text.size()), c.text) << c.what << ": " << s.ErrorText();
    }
    // A child longer than its parent is refused at its header, before its
    // content is waited for or the buffer is blamed.
    const std::string overrun = "element wychodzi poza element nadrzędny"_cp;
    const std::string trailing(200, 'x');
    const std::string overruns[] = {
        Bytes({0xB7, 0x05, 0x98, 0x7F, 0x01, 0x02, 0x03}) + trailing,
        Bytes({0xB7, 0x09, 0x98, 0x84, 0x7F, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03}),
        Bytes({0x30, 0x04, 0x30, 0x80, 0x04, 0x01, 'a', 0x00, 0x00}),
        Bytes({0x30, 0x80, 0x30, 0x02, 0x04, 0x03, 'a', 'b', 'c', 0x00, 0x00}),
    };
    for (const auto& bytes : overruns) {
        UniSocket s;
        EXPECT_FALSE(DecodeHeld(s, bytes));
        EXPECT_NE(s.ErrorText().find(overrun), std::string::npos) << test::Hex(bytes) << ": " << s.ErrorText();
    }
    // Exactly at the limit is still fine.
    std::string limit, limitEnd;
    for (int i = 0; i < Decodec::kMaxDepth; ++i) limit += Bytes({0x30, 0x80}), limitEnd += Bytes({0x00, 0x00});
    UniSocket ok;
    EXPECT_TRUE(DecodeHeld(ok, limit + limitEnd)) << ok.ErrorText();
}

namespace {

// A SocketOfClient on one end of a socket pair; the test plays the server on the other.
struct Pair {
    SocketOfClient client;
    int peer = -1;
    Pair() {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        client.Adopt(fds[0]);
        peer = fds[1];
    }
    ~Pair() {
        if (peer >= 0) ::close(peer);
    }
    void Send(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::send(peer, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (w <= 0) return;
            done += static_cast<std::size_t>(w);
        }
    }
    void ClosePeer() {
        ::close(peer);
        peer = -1;
    }
};

}  // namespace

TEST(SocketOfClient, TransportFailuresHaveTheirOwnTexts) {
    {  // The peer closes before answering.
        Pair p;
        p.ClosePeer();
        Decodec d(p.client);
        EXPECT_FALSE(d.DecodeElement(1));
        EXPECT_EQ(p.client.ErrorText(), UniSocket::TextClosed());
        EXPECT_EQ(p.client.ReadByte(), 0);  // sticky
    }
    {  // Silence in the middle of a response.
        Pair p;
        p.client.SetReadTimeout(200);
        p.Send(Bytes({0x30, 0x05, 0x04, 0x03}));
        Decodec d(p.client);
        EXPECT_FALSE(d.DecodeElement(1));
        EXPECT_EQ(p.client.ErrorText(), UniSocket::TextTimeout());
    }
    {  // A response larger than the buffer says so, even before its end arrives.
        Pair p;
        std::thread writer([&p] { p.Send(Bytes({0x04, 0x83, 0x01, 0x86, 0xA1}) + std::string(1000, 'x')); });
        Decodec d(p.client);
        EXPECT_FALSE(d.DecodeElement(1));
        EXPECT_EQ(p.client.ErrorText(), UniSocket::TextTooLarge());
        writer.join();
    }
    {  // Many small elements beyond 100,000 bytes fill the buffer: the same text.
        Pair p;
        std::string many = Bytes({0x30, 0x80});
        std::thread writer([&p, &many] {
            for (int i = 0; i < 60000; ++i) many += Bytes({0x04, 0x00});
            p.Send(many);
        });
        Decodec d(p.client);
        EXPECT_FALSE(d.DecodeElement(1));
        EXPECT_EQ(p.client.ErrorText(), UniSocket::TextTooLarge());
        ::shutdown(p.peer, SHUT_RDWR);  // the writer may still wait for room
        writer.join();
    }
    {  // A write the peer cannot take sets the error.
        Pair p;
        p.ClosePeer();
        EXPECT_FALSE(p.client.SendApdu("abc"));
        EXPECT_EQ(p.client.ErrorText().rfind("SEND: ", 0), 0u) << p.client.ErrorText();
    }
    {  // An APDU larger than the buffer is never sent.
        Pair p;
        EXPECT_FALSE(p.client.SendApdu(std::string(UniSocket::kBufferSize + 1, 'x')));
        EXPECT_EQ(p.client.ErrorText().rfind("SEND: ", 0), 0u);
    }
}

TEST(SocketOfClient, ResponsesArriveInPiecesAndAreLogged) {
    test::TempDir dir;
    const std::string log = dir.Path() + "z3950.log";
    Pair p;
    p.client.SetLogFile(log);
    const std::string apdu = Codec::EncodeElement(2, true, Codec::EncodeElement(2, false, "x", 3), 20);
    p.client.ResetBuffer();
    ASSERT_TRUE(p.client.SendApdu(apdu));
    char got[64];
    ASSERT_EQ(::read(p.peer, got, sizeof got), static_cast<ssize_t>(apdu.size()));
    EXPECT_BYTES_EQ(std::string(got, apdu.size()), apdu);

    const std::string response = Codec::EncodeElement(2, true, Codec::EncodeElement(2, false, std::string(300, 'y'), 12), 21);
    std::thread writer([&p, &response] {
        for (char c : response) p.Send(std::string(1, c));
    });
    p.client.ResetBuffer();
    Decodec d(p.client);
    const auto e = d.DecodeElement(1);
    writer.join();
    ASSERT_TRUE(e) << p.client.ErrorText();
    EXPECT_EQ(e->tag, 21);
    EXPECT_EQ(e->children.at(0).content, std::string(300, 'y'));
    EXPECT_BYTES_EQ(test::TempDir::Read(log), apdu + response);
}
