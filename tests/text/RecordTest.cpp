// The record object, its keys and its text forms.

#include "text/CpLiteral.h"
#include "text/FieldKey.h"
#include "text/RecordText.h"
#include "text/my_record.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(my_record, FieldOperationsFollowTheirRules) {
    my_record r("A");
    r.AddField("245Z.1.1.1.1", " ^aTytuł"_cp, 0);
    r.AddField("DOK_IDO", "", 1);
    EXPECT_EQ(r.GetValue("245Z.1.1.1.1"), " ^aTytuł"_cp);
    EXPECT_EQ(r.GetValue("brak"), "");
    EXPECT_EQ(r.IsReadOnly("DOK_IDO"), 1);
    EXPECT_EQ(r.IsReadOnly("brak"), 0);
    EXPECT_FALSE(r.IsModified());

    r.SetValue("nowe", "");  // missing and empty: nothing
    EXPECT_EQ(r.Find("nowe"), nullptr);
    r.SetValue("nowe", "x");  // missing: appended with an empty loaded value
    ASSERT_NE(r.Find("nowe"), nullptr);
    EXPECT_EQ(r.Find("nowe")->loaded, "");
    EXPECT_EQ(r.Find("nowe")->readonly, 0);
    EXPECT_TRUE(r.IsModified());

    r.SetReadOnly("ro", 0);  // missing with 0: not created
    EXPECT_EQ(r.Find("ro"), nullptr);
    r.SetReadOnly("ro", 1);
    ASSERT_NE(r.Find("ro"), nullptr);
    EXPECT_EQ(r.GetValue("ro"), "");
    EXPECT_EQ(r.fields().back().key, "ro");
    EXPECT_EQ(r.fields().size(), 4u);
    r.AddField("DOK_IDO", "5", 0);  // keys stay unique
    EXPECT_EQ(r.fields().size(), 4u);
    EXPECT_EQ(r.GetValue("DOK_IDO"), "5");
}

// A script copies one field into another: the text passed in is the
// record's own, and appending may move the fields.
TEST(my_record, SetValueTakesTheRecordsOwnTextsSafely) {
    my_record r;
    r.AddField("a", "wartość do skopiowania, dłuższa niż bufor krótkich tekstów"_cp, 0);
    for (int i = 0; i < 100; ++i) r.SetValue("k" + std::to_string(i), r.GetValue("a"));
    for (int i = 0; i < 100; ++i) r.AddField(r.fields()[static_cast<std::size_t>(i)].key + "#", r.GetValue("a"), 0);
    ASSERT_EQ(r.fields().size(), 201u);
    for (const my_field& f : r.fields()) EXPECT_EQ(f.value, r.GetValue("a")) << f.key;
}

TEST(my_record, EmptyingAValueCountsAsAChangeAndWorkingFieldsDoNot) {
    my_record r;
    r.AddField("a.1", "x", 0);
    r.AddField("A#1.1", "w", 0);
    r.SetValue("A#1.1", "changed");
    EXPECT_FALSE(r.IsModified());
    EXPECT_EQ(ChangedText(r).text, "A#1.1=changed\r");  // still sent
    r.SetValue("a.1", "");
    EXPECT_TRUE(r.IsModified());
    r.SetValue("a.1", "x");
    EXPECT_FALSE(r.IsModified());
}

TEST(my_record, MaxOccurrenceFindsTheHighestOccurrence) {
    my_record r;
    for (const char* k : {"245Z.1.1.3.1", "245A.1.1.7.1", "246Z.1.1.9.1", "L.1"}) r.AddField(k, "v", 0);
    EXPECT_EQ(r.MaxOccurrence("245*.*.*.?.*"), 7);
    EXPECT_EQ(r.MaxOccurrence("246*.*.*.?.*"), 9);
    EXPECT_EQ(r.MaxOccurrence("300*.*.*.?.*"), 0);
    EXPECT_EQ(r.MaxOccurrence("L.*"), 0);  // nothing captured
}

TEST(my_record, ErrorsAreClearedByTheKeysTheyConcern) {
    my_record r;
    r.AddError("tytuł", "245*");
    r.AddError("autor|tytuł", "100*|245Z.1.1.1.1");
    r.AddError("cały rekord", "*");
    r.AddError("inne", "300*");
    r.ClearErrorsFor("245Z.1.1.1.1");
    ASSERT_EQ(r.errors().size(), 1u);
    EXPECT_EQ(r.errors()[0].message, "inne");
    r.ClearErrors();
    EXPECT_TRUE(r.errors().empty());
}

TEST(my_record, CopyFromTakesValuesFlagsAndErrors) {
    my_record from, into;
    from.AddField("a", "1", 1);
    from.AddField("b", "2", 0);
    from.AddField("empty", "", 0);
    from.AddError("e", "*");
    into.AddField("b", "old", 1);  // read-only here: keeps its flag
    into.AddError("stary", "*");
    into.CopyFrom(from);
    EXPECT_EQ(into.GetValue("a"), "1");
    EXPECT_EQ(into.IsReadOnly("a"), 1);
    EXPECT_EQ(into.GetValue("b"), "2");
    EXPECT_EQ(into.Find("b")->loaded, "old");
    EXPECT_EQ(into.IsReadOnly("b"), 1);
    EXPECT_EQ(into.Find("empty"), nullptr);
    ASSERT_EQ(into.errors().size(), 1u);
    EXPECT_EQ(into.errors()[0].message, "e");
    into.CopyFrom(into);  // onto itself: unchanged
    EXPECT_EQ(into.fields().size(), 2u);
}

TEST(FieldKey, ParsesTagPathAndOccurrences) {
    const auto k = FieldKey::Parse("245Z.1.1.3.1");
    ASSERT_TRUE(k.has_value());
    EXPECT_EQ(k->tags, "245Z");
    EXPECT_EQ(k->occurrences, (std::vector<int>{1, 1, 3, 1}));
    EXPECT_EQ(k->Text(), "245Z.1.1.3.1");
    EXPECT_TRUE(FieldKey::Parse("L.1").has_value());
    for (const char* bad : {"DOK_IDO", "245Z.1.1.3", "245.1.1.1.1", ".1", "L.0", "L.", "L.1x", "L..1",
                            "L.99999999999"})
        EXPECT_FALSE(FieldKey::Parse(bad).has_value()) << bad;
    EXPECT_TRUE(IsRecordAttribute("DOK_TYP"));
    EXPECT_FALSE(IsRecordAttribute("L.1"));
    EXPECT_TRUE(IsWorkingKey("A#1.1"));
    EXPECT_EQ(MarcFieldKey("245", 'Z', 12), "245Z.1.1.12.1");
    EXPECT_EQ(MarcFieldKey("008", 'A', 1), "008A.1.1.1.1");
}

TEST(RecordText, LinesBecomeFields) {
    const my_record r = ParseRecordText("a=b=c\r*x.1=v\r\r\rno equals\r=empty key\rlast=1");
    ASSERT_EQ(r.fields().size(), 4u);
    EXPECT_EQ(r.fields()[0].key, "a");
    EXPECT_EQ(r.fields()[0].value, "b=c");
    EXPECT_EQ(r.fields()[1].key, "x.1");
    EXPECT_EQ(r.fields()[1].value, "v");
    EXPECT_EQ(r.fields()[1].readonly, 1);
    EXPECT_EQ(r.fields()[1].loaded, "v");
    EXPECT_EQ(r.fields()[2].key, "");
    EXPECT_EQ(r.fields()[3].key, "last");
    EXPECT_TRUE(ParseRecordText("").fields().empty());
}

TEST(RecordText, RoundTripKeepsOrderValuesAndFlags) {
    const std::string text = "L.1=00000nam  2200000   4500\r*DOK_IDO=12\r245Z.1.1.1.1= ^aŁódź ^bx=y\r"_cp;
    const my_record r = ParseRecordText(text);
    const RecordTextResult back = RecordText(r);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_BYTES_EQ(back.text, text);
}

TEST(RecordText, ChangedTextHoldsChangedFieldsInOrder) {
    my_record r = ParseRecordText("a=1\r*b=2\rc=3\r");
    EXPECT_EQ(ChangedText(r).text, "");
    r.SetValue("c", "30");
    r.SetValue("b", "20");  // read-only, changed by a script: sent too
    r.SetValue("d", "4");
    EXPECT_EQ(ChangedText(r).text, "b=20\rc=30\rd=4\r");
}

// A value or key that would break the lines is refused: it could otherwise
// put a field of its choosing into the server's record.
TEST(RecordText, ChangedTextRefusesWhatWouldInjectAnotherLine) {
    struct Case {
        std::string key, value;
    } cases[] = {
        {"245Z.1.1.1.1", "tytuł\rDOK_IDO=999"_cp},
        {"a", std::string("x\0y", 3)},
        {"a=b", "x"},
        {"a\rDOK_IDO", "x"},
        {"*a", "x"},
        {"", "x"},
    };
    for (const auto& c : cases) {
        my_record r;
        r.AddField("ok", "1", 0);
        r.SetValue("ok", "2");
        r.SetValue(c.key, c.value);
        const RecordTextResult t = ChangedText(r);
        EXPECT_FALSE(t.ok()) << test::Hex(c.key) << " = " << test::Hex(c.value);
        EXPECT_EQ(t.text, "");
        EXPECT_NE(t.error.find(c.key.substr(0, 1)), std::string::npos) << t.error;
        EXPECT_FALSE(RecordText(r).ok());
    }
    my_record fine;
    fine.SetValue("a", "line\nfeed is fine");
    EXPECT_TRUE(ChangedText(fine).ok());
}

TEST(RecordText, ErrorReplyBecomesTheRecordsErrors) {
    struct Case {
        std::string reply;
        std::vector<std::pair<std::string, std::string>> errors;
    } cases[] = {
        {"Brak tytułu\r245*\rZły rok\r260Z.1.1.1.1|008*\r"_cp,
         {{"Brak tytułu"_cp, "245*"}, {"Zły rok"_cp, "260Z.1.1.1.1|008*"}}},
        {"Rekord zablokowany"_cp, {{"Rekord zablokowany"_cp, "*"}}},
        {"Rekord zablokowany\r"_cp, {{"Rekord zablokowany"_cp, "*"}}},
        {"a\rx*\rb\r", {{"a", "x*"}, {"b", "*"}}},  // a message without its patterns line
        {"a\r\r", {{"a", "*"}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        my_record r;
        r.AddError("stary", "*");
        ParseErrorReply(r, c.reply);
        ASSERT_EQ(r.errors().size(), c.errors.size()) << test::Hex(c.reply);
        for (std::size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_EQ(r.errors()[i].message, c.errors[i].first);
            EXPECT_EQ(r.errors()[i].keys, c.errors[i].second);
        }
    }
}

TEST(RecordText, ExportTextSplitsIntoRecords) {
    const auto records = SplitExportText(
        "ignored=1\r[DOKUMENT A]\rDOK_TYP=k\r245Z.1.1.1.1=x\r[DOKUMENTC]\r*a=1\r[DOKUMENT B\rb=2\r");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].kind, "A");
    EXPECT_EQ(records[0].fields().size(), 2u);
    EXPECT_EQ(records[0].GetValue("DOK_TYP"), "k");
    EXPECT_EQ(records[1].kind, "C");
    EXPECT_EQ(records[1].IsReadOnly("a"), 1);
    EXPECT_EQ(records[2].kind, "B");
    EXPECT_EQ(records[2].GetValue("b"), "2");
    EXPECT_TRUE(SplitExportText("a=1\r").empty());
}
