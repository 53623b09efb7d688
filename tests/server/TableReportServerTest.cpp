// The list of titles against velt-server: a TABELA report of a remote
// collection (100/1) and of a list of records (100/2) arrives as an SRP work
// file that reads back and lays out; its data lines group the books by
// publisher and carry the EAN-13 of each ISBN. The parts: data lines with
// "&" in a value, the EAN of an ISBN.

#include "ServerTestSupport.h"
#include "net/SearchRequests.h"
#include "net/FileRequests.h"

#include "TableReports.h"

#include "catalogue/velt_files.h"
#include "params/HeadlessParameterWindow.h"
#include "reports/RecordingCanvas.h"
#include "reports/ReportRuns.h"
#include "reports/tbl_report.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

using namespace velt;
using namespace velt::test;

namespace {

class TableReportServerTest : public ConnectedServerTest {};

// Runs the work at once, as the progress window's worker would.
struct InlineOperations : LongOperations {
    std::vector<std::string> texts;
    void run_with_progress(const std::string& text, const std::function<void()>& work) override {
        texts.push_back(text);
        work();
    }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
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
    const RecordPtr found = Search(**c, "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    const int number = std::stoi(found->Item(1)), count = std::stoi(found->Item(2));
    ASSERT_GT(count, 0);
    const std::string target = dir + "/report1.tmp";
    ASSERT_TRUE(CollectionReport(**c, number, server::kTitleListReport, "", target, nullptr));

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
    ASSERT_TRUE(ListReport(**c, server::kTitleListReport, "", "K7|K2|", target, nullptr));
    tbl_report report = tbl_report::FromSrpFile("T", target);
    ASSERT_EQ(report.lineCount, 2);
    std::set<std::string> ids = {DataField(report.data()[0], "id"), DataField(report.data()[1], "id")};
    EXPECT_EQ(ids, (std::set<std::string>{"K7", "K2"}));

    EXPECT_FALSE(ListReport(**c, server::kTitleListReport, "", "K7|K999999|", dir + "/x", nullptr));
    EXPECT_FALSE(ListReport(**c, 99, "", "K7|", dir + "/y", nullptr));
    EXPECT_FALSE(CollectionReport(**c, 987654, server::kTitleListReport, "", dir + "/z", nullptr));
    EXPECT_EQ(::access((dir + "/x").c_str(), F_OK), -1);
}

TEST_F(TableReportServerTest, ScopedRunsSayWhatIsMissingAndWriteUniqueWorkFiles) {
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {},
                                                   sServer->Port()),
                     true);
    ASSERT_TRUE(files.Ready) << files.ErrorText;
    const velt_report* list = nullptr;
    for (const velt_report& r : files.Reports)
        if (r.Id == server::kTitleListReport) list = &r;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Language, "TABELA");
    TempDir work;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};
    RecordingPrompts prompts;
    InlineOperations longOps;
    ItemRunContext context{forms, prompts, longOps, work.Path()};

    files.RemoteCollection = 0;
    EXPECT_EQ(RunScopedReport(files, *list, ReportScope::RemoteCollection, "", "", context), "");
    EXPECT_EQ(RunScopedReport(files, *list, ReportScope::LocalCollection, "", "", context), "");
    EXPECT_EQ(RunScopedReport(files, *list, ReportScope::Record, "", "", context), "");
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error:Brak kolekcji zdalnej", "error:Kolekcja lokalna jest pusta",
                                                       "error:Żaden rekord nie został wyróżniony"_cp}));
    EXPECT_TRUE(longOps.texts.empty()) << "nothing is asked of the server";

    const std::string one = RunScopedReport(files, *list, ReportScope::Record, ReportRecordList({"K7"}), "", context);
    const std::string two =
        RunScopedReport(files, *list, ReportScope::LocalCollection, ReportRecordList({"K7", "K2", "K5"}), "", context);
    ASSERT_NE(one, "");
    ASSERT_NE(two, "");
    EXPECT_NE(one, two);
    EXPECT_EQ(one.rfind(work.Path() + "report", 0), 0u) << one;
    EXPECT_EQ(longOps.texts, (std::vector<std::string>{"Tworzenie zestawienia", "Tworzenie zestawienia"}));
    EXPECT_EQ(tbl_report::FromSrpFile("T", one).lineCount, 1);
    EXPECT_EQ(tbl_report::FromSrpFile("T", two).lineCount, 3);

    const RecordPtr found = Search(files.Connection(), "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    files.RemoteCollection = std::stoi(found->Item(1));
    const std::string remote = RunScopedReport(files, *list, ReportScope::RemoteCollection, "", "", context);
    ASSERT_NE(remote, "");
    EXPECT_EQ(tbl_report::FromSrpFile("T", remote).lineCount, std::stoi(found->Item(2)));

    // An aborted transfer says so and leaves no work file.
    prompts.shown.clear();
    EXPECT_EQ(RunScopedReport(files, *list, ReportScope::Record, ReportRecordList({"K999999"}), "", context), "");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "error:Serwer nie przygotował zestawienia \"Lista tytułów\""_cp);
    int left = 0;
    for (const auto& e : std::filesystem::directory_iterator(work.Path())) left += e.path().string() != one &&
        e.path().string() != two && e.path().string() != remote;
    EXPECT_EQ(left, 0);
}

namespace {

CliRun Cli(const std::string& args) { return RunCli(args); }

}  // namespace

TEST_F(TableReportServerTest, CliRunsReportsForEveryScope) {
    const std::string server = "--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " report ";
    CliRun r = Cli(server + "'Lista tytułów' --record K7 --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("sygnatura,tytul,autor,isbn\r\n\"", 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);

    const std::string srp = dir + "/lista.srp";
    r = Cli(server + "'Lista tytułów' --remote '\"tytuł\" DOWOLNY' --format srp --out '" + srp + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    tbl_report back = tbl_report::FromSrpFile("T", srp);
    EXPECT_EQ(back.Refusal(), "");
    EXPECT_GT(back.lineCount, 10);

    const std::string num = dir + "/lokalna.num";
    WriteFile(num, "K7\r\nK2\r\n");
    r = Cli(server + "'Lista tytułów' --local '" + num + "' --format srp");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(tbl_report::FromSrpFile("T", (WriteFile(dir + "/l.srp", r.out), dir + "/l.srp")).lineCount, 2);

#ifndef VELT_CLI_PRINTING
    // Without the program's printing a text report is its text.
    r = Cli(server + "'Wykaz nabytków' --params 'D.1|20000101|D.2|29991231|S.1|T|'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("WYKAZ NABYTKÓW"_cp, 0), 0u) << r.out.substr(0, 100);
    EXPECT_EQ(Cli(server + "'Lista tytułów' --record K7 --format pdf").status, 1);
#endif
    // Savers only for what they save.
    r = Cli(server + "'Opis bibliograficzny' --record K7 --format csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nie jest tabelą"), std::string::npos) << r.err;

    r = Cli(server + "Nieznane --record K7");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Nieznane zestawienie \"Nieznane\""), std::string::npos) << r.err;
    r = Cli(server + "'Lista tytułów' --record K999999");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Serwer nie przygotował"), std::string::npos) << r.err;
    r = Cli(server + "'Lista tytułów' --record K7 --remote x");
    EXPECT_EQ(r.status, 1);
}

#ifdef VELT_CLI_PRINTING
// The kinds the program prints come out as PDF files: pages of A4, the texts
// with their Polish letters.
TEST_F(TableReportServerTest, CliPrintsTablesDescriptionsAndTextReportsToPdf) {
    if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils";
    const std::string server = "--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " report ";
    const std::string pdf = dir + "/lista.pdf";
    CliRun r = Cli(server + "'Lista tytułów' --remote '\"tytuł\" DOWOLNY' --out '" + pdf + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto info = RunTool("pdfinfo '" + pdf + "'", "");
    ASSERT_TRUE(info);
    EXPECT_NE(info->find("(A4)"), std::string::npos) << *info;
    const auto text = RunTool("pdftotext -enc UTF-8 '" + pdf + "' -", "");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Strona 1"), std::string::npos) << text->substr(0, 400);

    // To stdout: the PDF itself, and no work file left behind.
    r = Cli(server + "'Wykaz nabytków' --params 'D.1|20000101|D.2|29991231|S.1|T|'");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.rfind("%PDF-", 0), 0u);
    WriteFile(dir + "/wykaz.pdf", r.out);
    const auto wykaz = RunTool("pdftotext -enc UTF-8 '" + dir + "/wykaz.pdf' -", "");
    ASSERT_TRUE(wykaz);
    EXPECT_NE(wykaz->find("WYKAZ NABYTKÓW"), std::string::npos) << wykaz->substr(0, 200);

    r = Cli(server + "'Opis bibliograficzny' --record K7 --out '" + dir + "/opis.pdf'");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto opis = RunTool("pdftotext -enc UTF-8 '" + dir + "/opis.pdf' -", "");
    ASSERT_TRUE(opis);
    EXPECT_GT(opis->size(), 20u);

    r = Cli(server + "'Etykiety grzbietowe' --record K7 --format pdf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nie jest drukowane"), std::string::npos) << r.err;
}
#endif
