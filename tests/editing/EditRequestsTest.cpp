// The edit requests against a scripted peer: what each sends, and how every
// answer count is read (a text the answer did not carry is never taken from
// the answer before), with the record's errors as each answer leaves them.

#include "editing/EditRequests.h"

#include "net/TVeltClient.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include "support/RecordingPrompts.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

using namespace velt;
using test::PeerConnection;
using test::ScriptedPeer;

namespace {

using Texts = std::vector<std::string>;

struct Exchange {
    char letter;
    Texts sent;       // what the request must carry
    Texts answer;     // what the peer answers
    bool release;     // an X request must follow (answered with one empty text)
};

// Serves the status, then each exchange in order; closes half-way through a
// reply after the last when cut is set.
ScriptedPeer::Script Serve(std::vector<Exchange> exchanges, bool cut = false) {
    return [exchanges, cut](PeerConnection& c) {
        if (c.ReadByte() != 30) c.Fail("no status request");
        c.WriteText("VELT2&wersja=2026.01.01&rekordy=KOT&formularze=K|Książka|&struktura="_cp);
        auto expect = [&c](char letter, const Texts& sent) {
            const int code = c.ReadByte();
            const char got = static_cast<char>(c.ReadByte());
            if (code != 200 || got != letter) c.Fail(std::string("expected 200 ") + letter + ", got " + std::to_string(code) + " " + got);
            for (const auto& t : sent)
                if (const std::string r = c.ReadText(); r != t) c.Fail(std::string(1, letter) + " carried \"" + r + "\", not \"" + t + "\"");
        };
        for (const auto& e : exchanges) {
            expect(e.letter, e.sent);
            c.WriteAnswers(e.answer);
            if (e.release) {
                expect('X', {e.sent[0]});
                c.WriteAnswers({""});
            }
        }
        if (cut) {
            expect('U', {"K1", "A=cut\r"});
            c.WriteInt(2);
            c.Close();
        }
    };
}

std::string Errors(const my_record& r) {
    std::string out;
    for (const auto& e : r.errors()) out += e.message + "|" + e.keys + ";";
    return out;
}

struct Session {
    explicit Session(ScriptedPeer& peer) : client("127.0.0.1", [this](const std::string& m, SessionText) { messages.push_back(m); }, peer.Port()) {}
    std::vector<std::string> messages;
    TVeltClient client;
    test::RecordingPrompts prompts;
    EditRequests requests{client, prompts};
};

}  // namespace

TEST(EditRequests, ASaveIsASuccessOnlyWithTwoTextsTheFirstEmpty) {
    const struct {
        Texts answer;
        bool ok;
        std::string identifier;
        std::string errors;
    } cases[] = {
        {{"", "K    A"}, true, "K    A", ""},
        {{""}, false, "", "Bład odpowiedzi|*;"_cp},  // the identifier of the answer before is not taken
        {{}, false, "", "Bład odpowiedzi|*;"_cp},
        {{"", ""}, false, "", "Bład odpowiedzi|*;"_cp},
        {{"", "K    B", "więcej"_cp}, true, "K    B", ""},
        {{"Źle"_cp}, false, "", "Źle|*;"_cp},
        {{"Źle"_cp, "brak tytułu\r245*\rzły rok\r260*\r"_cp}, false, "", "brak tytułu|245*;zły rok|260*;"_cp},
        {{"Źle"_cp, ""}, false, "", "Źle|*;"_cp},
        {{"Źle"_cp, "m\rk\r", "trzeci"}, false, "", "Źle|*;"_cp},
    };
    std::vector<Exchange> script;
    for (const auto& c : cases) script.push_back({'U', {"K1", "A=x\r"}, c.answer, false});
    ScriptedPeer peer(Serve(script, true));
    Session s(peer);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.answer));
        my_record record("K1");
        record.AddField("A", "", 0);
        record.SetValue("A", "x");
        record.AddError("z poprzedniego zapisu", "A");
        const EditOutcome o = s.requests.Save("K1", record);
        EXPECT_EQ(o.ok, c.ok);
        EXPECT_EQ(o.identifier, c.identifier);
        EXPECT_EQ(Errors(record), c.errors);
        EXPECT_EQ(o.message.empty(), c.ok) << "a failure has a text to show";
    }
    // The connection breaks in the middle of the answer: one error, no message
    // (the session reports its failure once, itself).
    my_record record("K1");
    record.AddField("A", "", 0);
    record.SetValue("A", "cut");
    const EditOutcome o = s.requests.Save("K1", record);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.message.empty());
    ASSERT_EQ(record.errors().size(), 1u);
    EXPECT_EQ(record.errors()[0].message, s.client.ErrorText());
    EXPECT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(record.GetValue("A"), "cut") << "the change stays in the record";
    s.requests.Check("K1", record);  // nothing is sent, nothing changes
    EXPECT_EQ(record.errors().size(), 1u);
    for (const auto& f : peer.Join()) ADD_FAILURE() << "peer: " << f;
}

TEST(EditRequests, OpenNewCheckAndDeleteReadTheirAnswersWithinTheirCounts) {
    std::vector<Exchange> script = {
        {'O', {"K2"}, {"", "*001Z.1.1.1.1=K2\rA=1\r"}, false},
        {'O', {"K2"}, {""}, true},  // reserved but no record: released at once
        {'O', {"K2"}, {}, false},
        {'O', {"K2"}, {"Rekord K2 jest zarezerwowany"}, false},
        {'N', {"K"}, {"", "A=\r"}, false},
        {'N', {"K"}, {""}, false},
        {'N', {"K"}, {"Nieznany formularz K"}, false},
        {'T', {"K2", ""}, {""}, false},
        {'T', {"K2", ""}, {"Źle"_cp}, false},
        {'T', {"K2", ""}, {"Źle"_cp, "m\rk\r"}, false},
        {'T', {"K2", ""}, {}, false},
        {'D', {"K2"}, {""}, false},
        {'D', {"K2"}, {}, false},
        {'D', {"K2"}, {"Nie wolno"}, false},
        {'H', {"K", "245"}, {"", "pomoc\rdruga"}, false},
        {'H', {"K", "245"}, {"Brak pomocy"}, false},
        {'I', {"I", "83", ""}, {"Zły ISBN"_cp, "nieczytane"}, false},
    };
    ScriptedPeer peer(Serve(script));
    Session s(peer);
    const RecordAnswer opened = s.requests.Open("K2");
    EXPECT_TRUE(opened.ok);
    EXPECT_EQ(opened.text, "*001Z.1.1.1.1=K2\rA=1\r");
    for (const std::string& why : Texts{"Bład odpowiedzi"_cp, "Bład odpowiedzi"_cp, "Rekord K2 jest zarezerwowany"}) {
        const RecordAnswer r = s.requests.Open("K2");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.text.empty());
        EXPECT_EQ(r.message, why);
    }
    EXPECT_TRUE(s.requests.NewRecord("K").ok);
    EXPECT_EQ(s.requests.NewRecord("K").message, "Bład odpowiedzi"_cp);
    EXPECT_EQ(s.requests.NewRecord("K").message, "Nieznany formularz K");
    my_record record("K2");
    record.AddError("stary", "*");
    for (const std::string& errors : Texts{"", "Źle|*;"_cp, "m|k;", "Bład odpowiedzi|*;"_cp}) {
        s.requests.Check("K2", record);
        EXPECT_EQ(Errors(record), errors);
    }
    EXPECT_TRUE(s.requests.Delete("K2").ok);
    EXPECT_EQ(s.requests.Delete("K2").message, "Bład odpowiedzi"_cp);
    EXPECT_EQ(s.requests.Delete("K2").message, "Nie wolno");
    EXPECT_EQ(s.requests.Help("K", "245"), "pomoc\rdruga");
    EXPECT_EQ(s.requests.Help("K", "245"), "Brak pomocy");
    EXPECT_EQ(s.requests.Service('I', "83", ""), "Zły ISBN"_cp);
    EXPECT_EQ(s.prompts.busyDepth, 0) << "every hourglass undone";
    EXPECT_TRUE(s.messages.empty());
    for (const auto& f : peer.Join()) ADD_FAILURE() << "peer: " << f;
}
