// The SRU answers and MARCXML documents read with expat, the MARC records by
// parts written as ISO 2709 and MARCXML (read back by yaz-marcdump), and the
// result lists of several sources taken in turn.

#include "import/MarcData.h"
#include "import/MultiSearch.h"
#include "import/SruClient.h"
#include "import/SruResponse.h"
#include "import/Z3950Query.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace velt;

namespace {

const char kAnswer[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<zs:searchRetrieveResponse xmlns:zs="http://www.loc.gov/zing/srw/"><zs:version>1.2</zs:version>
<zs:numberOfRecords>42</zs:numberOfRecords><zs:records>
<zs:record><zs:recordSchema>marcxml</zs:recordSchema><zs:recordPacking>xml</zs:recordPacking><zs:recordData>
<record xmlns="http://www.loc.gov/MARC21/slim"><leader>00000nam a2200000 a 4500</leader>
<controlfield tag="001">x1</controlfield>
<datafield tag="245" ind1="1" ind2="0"><subfield code="a">Pan Tadeusz &amp; inne</subfield><subfield code="c">Mickiewicz, Adam</subfield></datafield>
<datafield tag="650" ind1=" " ind2="4"><subfield code="a">Poezja polska</subfield></datafield>
</record></zs:recordData><zs:recordPosition>5</zs:recordPosition></zs:record>
<zs:record><zs:recordSchema>marcxml</zs:recordSchema><zs:recordData>
<diagnostic xmlns="http://www.loc.gov/zing/srw/diagnostic/"><uri>info:srw/diagnostic/1/65</uri><message>Record deleted</message><details>x2</details></diagnostic>
</zs:recordData><zs:recordPosition>6</zs:recordPosition></zs:record>
</zs:records></zs:searchRetrieveResponse>)";

// A result list of a fixed count whose records name their position.
struct FixedList : RemoteRecords {
    explicit FixedList(long long n) : count(n) {}
    long long count;
    std::map<long long, Z3950Record> held;
    long long ResultCount() const override { return count; }
    void FetchRecords(long long, long long) override {}
    const Z3950Record* RecordAt(long long p) const override {
        const auto it = held.find(p);
        return it == held.end() ? nullptr : &it->second;
    }
    void SetDisplay(MarcOptions, MarcFormatter) override {}
    std::string First() override { return "1"; }
    std::string Last() override { return std::to_string(count); }
    std::string Next(const std::string&) override { return {}; }
    std::string Prior(const std::string&) override { return {}; }
    std::optional<std::vector<std::string>> Lines(const std::string& key) override {
        return std::vector<std::string>{"pozycja " + key};
    }
    int Action(const std::string&, const std::string&) override { return 0; }
};

MarcData Sample() {
    MarcData m;
    m.leader = "00000nam a2200000 a 4500";
    m.fields.push_back({"001", ' ', ' ', "rec-1", {}});
    m.fields.push_back({"245", '1', '0', {}, {{'a', "Zażółć gęślą jaźń <&>"}, {'c', "Autor"}}});
    m.fields.push_back({"700", '1', ' ', {}, {{'a', "Nowak, Jan"}}});
    return m;
}

}  // namespace

TEST(SruResponse, RecordsAtTheirPositionsAndADiagnosticInARecordsPlace) {
    const SruResponse r = ReadSruResponse(kAnswer);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.numberOfRecords, 42);
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(r.records[0].position, 5);
    EXPECT_FALSE(r.records[0].diagnostic);
    ASSERT_EQ(r.records[0].marc.fields.size(), 3u);
    EXPECT_EQ(r.records[0].marc.leader, "00000nam a2200000 a 4500");
    EXPECT_EQ(r.records[0].marc.fields[1].tag, "245");
    EXPECT_EQ(r.records[0].marc.fields[1].ind1, '1');
    EXPECT_EQ(r.records[0].marc.fields[1].subfields[0].data, "Pan Tadeusz & inne");
    EXPECT_EQ(r.records[0].marc.fields[2].ind1, ' ');
    EXPECT_EQ(r.records[0].marc.fields[2].ind2, '4');
    EXPECT_TRUE(r.records[1].diagnostic);
    EXPECT_EQ(r.records[1].text, "Record deleted: x2");
    EXPECT_EQ(r.records[1].position, 6);
    EXPECT_TRUE(r.diagnostics.empty());
}

TEST(SruResponse, RefusalsScanTermsAndBrokenAnswers) {
    const SruResponse refused = ReadSruResponse(
        R"(<searchRetrieveResponse xmlns="http://www.loc.gov/zing/srw/"><version>1.1</version><diagnostics>)"
        R"(<diagnostic xmlns="http://www.loc.gov/zing/srw/diagnostic/"><uri>info:srw/diagnostic/1/10</uri>)"
        R"(<message>Query syntax error</message></diagnostic></diagnostics></searchRetrieveResponse>)");
    EXPECT_EQ(refused.numberOfRecords, -1);
    ASSERT_EQ(refused.diagnostics.size(), 1u);
    EXPECT_EQ(refused.diagnostics[0], "Query syntax error");
    SruClient client;
    EXPECT_EQ(client.TakeAnswer(refused, 1), "Serwer SRU odpowiedział: Query syntax error"_cp);

    const SruResponse scan = ReadSruResponse(
        R"(<scanResponse xmlns="http://www.loc.gov/zing/srw/"><terms>)"
        R"(<term><value>computer</value><numberOfRecords>21</numberOfRecords></term>)"
        R"(<term><value>data</value><displayTerm>Data</displayTerm></term></terms></scanResponse>)");
    ASSERT_EQ(scan.terms.size(), 2u);
    EXPECT_EQ(scan.terms[0].value, "computer");
    EXPECT_EQ(scan.terms[0].count, 21);
    EXPECT_EQ(scan.terms[1].count, -1);
    EXPECT_EQ(scan.terms[1].display, "Data");
    EXPECT_EQ(scan.numberOfRecords, -1);  // a term's count is not the answer's

    struct Case {
        const char* xml;
        const char* why;
    } broken[] = {
        {"<searchRetrieveResponse><numberOfRecords>1</numberOfRecords>", "cut short"},
        {"<a><b></a>", "not well-formed"},
        {"<!DOCTYPE r [<!ENTITY e \"xxxxxxxx\">]><r>&e;</r>", "an entity"},
        {"", "empty"},
    };
    for (const Case& c : broken) {
        const SruResponse r = ReadSruResponse(c.xml);
        EXPECT_FALSE(r.error.empty()) << c.why;
        EXPECT_TRUE(r.records.empty()) << c.why;
    }
    std::string deep;
    for (int i = 0; i < kXmlMaxDepth + 5; ++i) deep += "<a>";
    EXPECT_NE(ReadSruResponse(deep).error.find("zbyt g"), std::string::npos);
}

TEST(SruResponse, RecordsKeptOnlyWithinTheCountAndHeldAsUtf8Iso2709) {
    SruResponse answer = ReadSruResponse(kAnswer);
    answer.numberOfRecords = 5;  // the second record lies past the count
    SruClient client;
    EXPECT_EQ(client.TakeAnswer(answer, 1), "");
    ASSERT_NE(client.RecordAt(5), nullptr);
    EXPECT_EQ(client.RecordAt(6), nullptr);
    const std::string& octets = client.RecordAt(5)->octets;
    EXPECT_EQ(octets[9], 'a');  // the leader says UTF-8
    EXPECT_EQ(std::stoi(octets.substr(0, 5)), static_cast<int>(octets.size()));
}

TEST(MarcData, Iso2709AndMarcXmlReadBackByYazMarcdump) {
    if (!test::HaveTool("yaz-marcdump")) GTEST_SKIP() << "yaz-marcdump is not installed";
    const MarcData m = Sample();
    const auto iso = WriteIso2709(m, 'a');
    ASSERT_TRUE(iso);
    // Ours read back.
    std::string error;
    const auto back = ReadIso2709(*iso, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->fields.size(), 3u);
    EXPECT_EQ(back->fields[1].subfields[0].data, "Zażółć gęślą jaźń <&>");
    EXPECT_EQ(back->fields[0].data, "rec-1");
    // yaz-marcdump's reading of the ISO 2709 record, as MARCXML read back by ours.
    test::TempDir dir;
    const std::string file = dir.Write("r.mrc", *iso + *iso);
    const auto xml = test::RunTool("yaz-marcdump -i marc -o marcxml '" + file + "'", "");
    ASSERT_TRUE(xml);
    const SruResponse read = ReadMarcXml(*xml);
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[1].marc.fields[1].subfields[0].data, "Zażółć gęślą jaźń <&>");
    EXPECT_EQ(read.records[1].marc.fields[2].subfields[0].data, "Nowak, Jan");
    // Our MARCXML read by yaz-marcdump, written out as ISO 2709 equal to ours.
    const std::string doc = MarcXmlCollectionStart() + MarcXmlRecord(m, false) + MarcXmlCollectionEnd();
    const std::string xmlFile = dir.Write("r.xml", doc);
    const auto line = test::RunTool("yaz-marcdump -i marcxml -o line '" + xmlFile + "'", "");
    ASSERT_TRUE(line);
    EXPECT_NE(line->find("245 10 $a Zażółć gęślą jaźń <&> $c Autor"), std::string::npos) << *line;
}

TEST(MarcData, WhatCannotBeWrittenIsRefused) {
    MarcData m = Sample();
    m.fields[1].subfields[0].data.assign(10000, 'x');  // a field longer than four digits say
    EXPECT_FALSE(WriteIso2709(m, 'a'));
    m = Sample();
    m.fields[0].tag = "1";
    EXPECT_FALSE(WriteIso2709(m, 'a'));
    std::string error;
    EXPECT_FALSE(ReadIso2709("99999nam a2200025 a 4500", error));
    EXPECT_FALSE(error.empty());
}

TEST(Z3950Query, TheExpressionInCql) {
    QueryRows rows;
    rows[0] = {"!", "Pan \"Tadeusz\""};
    rows[1] = {"@", "Mickiewicz"};
    rows[2] = {"$", "83-01"};
    const Z3950Expression e = ParseZ3950Expression("(1+2)/3", rows);
    ASSERT_TRUE(e.error.empty()) << e.error;
    EXPECT_EQ(e.cql, "((dc.title=\"Pan \\\"Tadeusz\\\"\" or dc.creator=\"Mickiewicz\") not bath.isbn=\"83-01\")");
    rows[3] = {"#", "1234"};
    rows[4] = {"&", "Poezja"};
    rows[5] = {"^", "PIW"};
    EXPECT_EQ(ParseZ3950Expression("4*5*6", rows).cql,
              "((bath.issn=\"1234\" and dc.subject=\"Poezja\") and dc.publisher=\"PIW\")");
}

TEST(MultiSearch, EntriesTakenInTurnAndTheSourceNamed) {
    MultiSearch multi;
    std::vector<Z3950Source> sources(3);
    sources[0].name = "A";
    sources[1].name = "B";
    sources[2].name = "C";
    const std::map<std::string, long long> counts{{"A", 2}, {"B", 0}, {"C", 3}};
    multi.Run(sources,
              [&](const Z3950Source& s, std::string& error) -> std::unique_ptr<RemoteRecords> {
                  if (s.name == "B") {
                      error = "odmowa";
                      return nullptr;
                  }
                  auto list = std::make_unique<FixedList>(counts.at(s.name));
                  list->held[1].octets = s.name + "1";
                  return list;
              },
              std::chrono::seconds(5));
    EXPECT_EQ(multi.TotalCount(), 5);
    EXPECT_EQ(multi.CountsText(), "A: 2; B: odmowa; C: 3");
    std::vector<std::string> keys;
    for (std::string k = multi.First(); !k.empty(); k = multi.Next(k)) keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"1.1", "3.1", "1.2", "3.2", "3.3"}));
    std::vector<std::string> back;
    for (std::string k = multi.Last(); !k.empty(); k = multi.Prior(k)) back.push_back(k);
    EXPECT_EQ(back, (std::vector<std::string>{"3.3", "3.2", "1.2", "3.1", "1.1"}));
    const auto lines = multi.Lines("3.2");
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->front(), "Źródło: C (2)"_cp);
    EXPECT_EQ((*lines)[1], "pozycja 2");
    ASSERT_NE(multi.RecordAt("3.1"), nullptr);
    EXPECT_EQ(multi.RecordAt("3.1")->octets, "C1");
    for (const char* bad : {"2.1", "1.3", "4.1", "0.1", "1.", ".1", "1", "x.1", "1.1x"})
        EXPECT_FALSE(multi.Lines(bad)) << bad;
}

TEST(MultiSearch, ASourceThatDoesNotAnswerIsNotWaitedFor) {
    MultiSearch multi;
    std::vector<Z3950Source> sources(2);
    sources[0].name = "szybkie";
    sources[1].name = "martwe";
    const auto start = std::chrono::steady_clock::now();
    multi.Run(sources,
              [](const Z3950Source& s, std::string&) -> std::unique_ptr<RemoteRecords> {
                  if (s.name == "martwe") std::this_thread::sleep_for(std::chrono::seconds(2));
                  return std::make_unique<FixedList>(4);
              },
              std::chrono::milliseconds(200));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_TRUE(multi.Answers()[0].answered);
    EXPECT_FALSE(multi.Answers()[1].answered);
    EXPECT_EQ(multi.CountsText(), "szybkie: 4; martwe: brak odpowiedzi");
    EXPECT_EQ(multi.Last(), "1.4");
}

TEST(SruResponse, ElementsNestedWhereTextBelongsTakeNothing) {
    // A field begun inside a subfield's text or a data field (found by
    // fuzzing: a subfield's end then wrote into a field without subfields,
    // and a control field took subfields).
    const SruResponse r = ReadMarcXml(
        R"(<record xmlns="http://www.loc.gov/MARC21/slim"><leader>00000nam a2200000 a 4500</leader>)"
        R"(<datafield tag="245" ind1="1" ind2="0"><subfield code="a">A<datafield tag="246"/>B</subfield></datafield>)"
        R"(<controlfield tag="001">x<controlfield tag="003">y</controlfield></controlfield></record>)");
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.records.size(), 1u);
    const MarcData& m = r.records[0].marc;
    // Fields only as the record's children, subfields only as a data field's.
    ASSERT_EQ(m.fields.size(), 2u);
    EXPECT_EQ(m.fields[0].tag, "245");
    EXPECT_EQ(m.fields[0].subfields.size(), 1u);
    EXPECT_EQ(m.fields[1].tag, "001");
    const SruResponse stray = ReadMarcXml(
        R"(<record><datafield tag="100" ind1=" " ind2=" "><controlfield tag="005">1</controlfield>)"
        R"(<subfield code="a">x</subfield></datafield></record>)");
    ASSERT_EQ(stray.records.at(0).marc.fields.size(), 1u);
    EXPECT_EQ(stray.records.at(0).marc.fields[0].tag, "100");
}

TEST(SruResponse, TheTagSaysWhatAFieldIs) {
    // A control field under a data field's tag and the other way round
    // (found by fuzzing: ISO 2709 written from them read back otherwise).
    const SruResponse r = ReadMarcXml(
        R"(<record><leader>00000nam a2200000 a 4500</leader><controlfield tag="010">123</controlfield>)"
        R"(<datafield tag="005" ind1=" " ind2=" "><subfield code="a">1999</subfield><subfield code="b">0101</subfield></datafield></record>)");
    ASSERT_TRUE(r.error.empty()) << r.error;
    const MarcData& m = r.records.at(0).marc;
    ASSERT_EQ(m.fields.size(), 2u);
    ASSERT_EQ(m.fields[0].subfields.size(), 1u);
    EXPECT_EQ(m.fields[0].subfields[0].data, "123");
    EXPECT_EQ(m.fields[1].data, "19990101");
    std::string error;
    const auto back = ReadIso2709(*WriteIso2709(m, 'a'), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->fields[0].subfields.at(0).data, "123");
    EXPECT_EQ(back->fields[1].data, "19990101");
}
