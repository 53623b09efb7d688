// The list of titles against velt-server: a TABELA report of a remote
// collection (100/1) and of a list of records (100/2) arrives as an SRP work
// file that reads back and lays out; its data lines group the books by
// publisher and carry the EAN-13 of each ISBN. The parts: data lines with
// "&" in a value, the EAN of an ISBN.

#include "ServerTestSupport.h"

#include "TableReports.h"

#include "reports/RecordingCanvas.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <unistd.h>

using namespace velt;
using namespace velt::test;

namespace {

class TableReportServerTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        c = Connect(*sServer);
        ASSERT_FALSE((*c)->Broken()) << (*c)->ErrorText();
        char pattern[] = "/tmp/velt-tabela-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::unique_ptr<Client> c;
    std::string dir;
};

bool ValidEan(const std::string& ean) {
    if (ean.size() != 13 || ean.find_first_not_of("0123456789") != std::string::npos) return false;
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (ean[i] - '0') * (i % 2 ? 3 : 1);
    return (10 - sum % 10) % 10 == ean[12] - '0';
}

}  // namespace

TEST(TableReportParts, DataLinesEscapeAmpersandsAndLineBreaks) {
    const std::string line =
        server::ReportDataLine({{"tytul", "Pan & pani\r\nz miasta"}, {"autor", "Nowak"}}, true);
    EXPECT_EQ(line, "*&tytul=Pan \x1b" "1 pani  z miasta&autor=Nowak");
    EXPECT_EQ(DataField(line, "tytul"), "Pan & pani  z miasta");
    EXPECT_EQ(DataField(line, "autor"), "Nowak");
    EXPECT_TRUE(IsGroupEndLine(line));
}

TEST(TableReportParts, EanOfIsbn) {
    const struct {
        const char* isbn;
        const char* ean;
    } cases[] = {
        {"0-306-40615-2", "9780306406157"}, {"978-0-306-40615-7", "9780306406157"},
        {"978-0-306-40615-8", ""},          {"0-306-40615-3", ""},
        {"0-8044-2957-X", "9780804429573"}, {"12345", ""},
        {"83-7000-12A-4", ""},              {"", ""},
    };
    for (const auto& k : cases) EXPECT_EQ(server::EanOfIsbn(k.isbn), k.ean) << k.isbn;
}

TEST_F(TableReportServerTest, TheListOfTitlesOfACollectionIsGroupedByPublisherAndLaysOut) {
    const RecordPtr found = (*c)->Search("\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    const int number = std::stoi(found->Item(1)), count = std::stoi(found->Item(2));
    ASSERT_GT(count, 0);
    const std::string target = dir + "/report1.tmp";
    ASSERT_TRUE((*c)->CollectionReport(number, server::kTitleListReport, "", target, nullptr));

    tbl_report report = tbl_report::FromSrpFile("Lista tytułów"_cp, target);
    ASSERT_EQ(report.Refusal(), "");
    EXPECT_TRUE(report.Messages().empty()) << report.Messages().front();
    ASSERT_EQ(report.lineCount, count);
    std::set<std::string> closed;
    std::string current;
    int eans = 0, fromIsbn10 = 0;
    for (int i = 1; i <= report.lineCount; ++i) {
        const std::string& line = report.data()[static_cast<std::size_t>(i - 1)];
        const std::string publisher = DataField(line, "wydawca");
        if (publisher != current) {
            EXPECT_EQ(closed.count(publisher), 0u) << "a publisher's books come together: " << publisher;
            current = publisher;
        }
        if (report.IsGroupEnd(i)) closed.insert(publisher);
        const bool last = i == report.lineCount;
        const bool nextOther = !last && DataField(report.data()[static_cast<std::size_t>(i)], "wydawca") != publisher;
        EXPECT_EQ(report.IsGroupEnd(i), last || nextOther) << i;
        const std::string isbn = DataField(line, "isbn"), ean = DataField(line, "ean");
        if (!isbn.empty()) {
            EXPECT_TRUE(ValidEan(ean)) << isbn << " " << ean;
            ++eans;
            if (isbn.size() == 13) ++fromIsbn10;
        }
    }
    EXPECT_GT(closed.size(), 1u);
    EXPECT_GT(eans, 0);
    EXPECT_GT(fromIsbn10, 0);

    // The first sheet draws its texts, rules and barcodes without a message.
    RecordingCanvas canvas;
    const std::vector<ReportSheet> sheets = report.Sheets();
    report.DrawSheet(canvas, sheets.at(0));
    EXPECT_TRUE(report.Messages().empty()) << report.Messages().front();
    EXPECT_FALSE(canvas.fills.empty());
    EXPECT_FALSE(canvas.lines.empty());
    ASSERT_FALSE(canvas.texts.empty());
    EXPECT_EQ(canvas.texts[2].text, "Lista tytułów"_cp);
    EXPECT_EQ(canvas.texts[3].text, "Strona 1");
    EXPECT_GE(report.CountPages(PrinterPage{300, 2480, 3508}), static_cast<int>(closed.size()));
}

TEST_F(TableReportServerTest, AListOfRecordsGivesTheirLinesAndUnknownsAbort) {
    const std::string target = dir + "/report2.tmp";
    ASSERT_TRUE((*c)->ListReport(server::kTitleListReport, "", "K7|K2|", target, nullptr));
    tbl_report report = tbl_report::FromSrpFile("T", target);
    ASSERT_EQ(report.lineCount, 2);
    std::set<std::string> ids = {DataField(report.data()[0], "id"), DataField(report.data()[1], "id")};
    EXPECT_EQ(ids, (std::set<std::string>{"K7", "K2"}));

    EXPECT_FALSE((*c)->ListReport(server::kTitleListReport, "", "K7|K999999|", dir + "/x", nullptr));
    EXPECT_FALSE((*c)->ListReport(99, "", "K7|", dir + "/y", nullptr));
    EXPECT_FALSE((*c)->CollectionReport(987654, server::kTitleListReport, "", dir + "/z", nullptr));
    EXPECT_EQ(::access((dir + "/x").c_str(), F_OK), -1);
}
