// The barcodes of a printed report scan: the reference catalogue's "Lista
// tytułów" of every title, printed from its preview window into a PDF,
// rendered at 300 and 600 dpi by pdftoppm and read by zbarimg, gives the EAN-13 of
// each book with an ISBN on the page, however close the cells' frame lines
// stand around the symbols.

#include "gui/reports/TForm2.h"
#include "net/SearchRequests.h"
#include "net/FileRequests.h"
#include "net/TVeltClient.h"
#include "reports/ReportMacros.h"
#include "reports/tbl_report.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace velt;

namespace {

constexpr std::int32_t kTitleList = 1;  // the report's number on the reference server

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(ReportBarcodes, TheEansOfTheListOfTitlesScanFromThePrintedPage) {
    if (!test::HaveTool("pdftoppm") || !test::HaveTool("pdftotext")) GTEST_SKIP() << "poppler-utils";
    ASSERT_TRUE(test::HaveTool("zbarimg")) << "zbarimg is missing: scripts/deps.sh installs zbar-tools";
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    TVeltClient client("127.0.0.1", nullptr, server.Port());
    ASSERT_FALSE(client.Broken()) << client.ErrorText();
    const RecordPtr found = Search(client, "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 1);
    const std::string work = dir.Path() + "report1.tmp";
    ASSERT_TRUE(CollectionReport(client, std::stoi(found->Item(1)), kTitleList, "", work, nullptr));

    auto report = std::make_unique<tbl_report>(tbl_report::FromSrpFile("Lista tytułów"_cp, work));
    ASSERT_EQ(report->Refusal(), "");
    std::vector<std::pair<std::string, std::string>> books;  // ISBN, EAN
    for (const std::string& line : report->data())
        if (const std::string ean = DataField(line, "ean"); !ean.empty()) books.emplace_back(DataField(line, "isbn"), ean);
    ASSERT_FALSE(books.empty());

    std::vector<std::string> messages;
    gui::TForm2 window(std::move(report), [&messages](const std::string& m) { messages.push_back(m); });
    const std::string pdf = dir.Path() + "lista.pdf";
    ASSERT_EQ(window.PrintToPdf(pdf), "");
    EXPECT_TRUE(messages.empty()) << messages.front();

    // The books of the first page are those whose ISBN it prints (books of
    // one ISBN give one EAN).
    const auto text = test::RunTool("pdftotext -f 1 -l 1 -enc UTF-8 '" + pdf + "' -", "");
    ASSERT_TRUE(text);
    std::set<std::string> expected;
    for (const auto& [isbn, ean] : books)
        if (text->find(isbn) != std::string::npos) expected.insert(ean);
    ASSERT_GE(expected.size(), 3u) << *text;

    for (const char* dpi : {"300", "600"}) {
        SCOPED_TRACE(std::string(dpi) + " dpi");
        const std::string prefix = dir.Path() + "strona" + dpi;
        ASSERT_TRUE(test::RunTool("pdftoppm -f 1 -l 1 -r " + std::string(dpi) + " -png '" + pdf + "' '" + prefix + "'", ""));
        std::string page;
        for (const std::string& name : test::TempDir::List(dir.Path()))
            if (name.rfind("strona" + std::string(dpi), 0) == 0) page = dir.Path() + name;
        ASSERT_FALSE(page.empty());
        const auto decoded = test::RunTool("zbarimg -q --raw '" + page + "'", "");
        ASSERT_TRUE(decoded) << "zbarimg read no barcode from the page";
        const std::vector<std::string> lines = Lines(*decoded);
        const std::set<std::string> read(lines.begin(), lines.end());
        EXPECT_EQ(read, expected);
        EXPECT_GE(lines.size(), expected.size());
    }
}
