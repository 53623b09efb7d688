// The reports of records besides the list of titles, against velt-server:
// the bibliographic description (FORMAT) read as the report window reads it,
// the spine labels (ETYKIETA) appended to a label file, the CSV export
// (PLIK) and the ordered list with its parameter form (TABELA) of a
// collection, a list and parameters only. The parts: the texts that go into
// each kind of work file.

#include "ServerTestSupport.h"
#include "net/SearchRequests.h"
#include "net/FileRequests.h"

#include "RecordReports.h"
#include "TableReports.h"
#include "Fold.h"

#include "catalogue/velt_files.h"
#include "reports/FormattedText.h"
#include "reports/RecordingCanvas.h"
#include "reports/LabelFile.h"
#include "reports/LoanForm.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <unistd.h>

using namespace velt;
using namespace velt::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

class RecordReportsServerTest : public ConnectedServerTest {
protected:
    // The work file of report for a list of records; empty when aborted.
    std::string ListReport(int report, const std::string& list,
                           const std::string& parameters = "") {
        const std::string target = dir + "/report" + std::to_string(++files) + ".tmp";
        if (!velt::ListReport(**c, report, parameters, list, target, nullptr)) return "";
        return ReadFile(target);
    }
    // The title list's data line of a record: what the other reports show.
    std::string TitleLine(const std::string& id) {
        const std::string target = dir + "/tytuly" + std::to_string(++files) + ".tmp";
        EXPECT_TRUE(velt::ListReport(**c, server::kTitleListReport, "", id + "|", target, nullptr));
        const tbl_report report = tbl_report::FromSrpFile("T", target);
        return report.lineCount == 1 ? report.data()[0] : std::string();
    }
    // The remote collection of every book: its number and count.
    std::pair<int, int> AllBooks() {
        const RecordPtr found = Search(**c, "\"tytuł\" DOWOLNY"_cp);
        EXPECT_TRUE(found && found->Count >= 2);
        if (!found || found->Count < 2) return {0, 0};
        return {std::stoi(found->Item(1)), std::stoi(found->Item(2))};
    }

    int files = 0;
};

std::vector<FormattedParagraph> TextParagraphs(const std::string& file) {
    std::vector<FormattedParagraph> out;
    for (FormattedParagraph& p : ReadFormattedText(Lines(file)))
        if (!p.runs.empty()) out.push_back(std::move(p));
    return out;
}

} // namespace

TEST(RecordReportParts, FormatLinesCannotCarryControlWords) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"Ala ma kota", "Ala ma kota"},
        {"[CZCIONKA +B 72]", " [CZCIONKA +B 72]"},
        {"[PARAGRAF 900 900 900", " [PARAGRAF 900 900 900"},
        {"[Bez tytułu]", "[Bez tytułu]"},
        {"\bprzyklejone", " przyklejone"},
        {"dwa\r\nwiersze", "dwa  wiersze"},
        {"", ""},
    };
    for (const auto& k : cases)
        EXPECT_EQ(server::FormatTextLine(k.text), k.line) << k.text;
    // Read back as the report window reads it, such a text stays text.
    const auto paragraphs = ReadFormattedText(
        {"[PARAGRAF 0 0 0]", "Tytuł:"_cp, server::FormatTextLine("[CZCIONKA 72]")});
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_EQ(paragraphs[0].Text(), "Tytuł:  [CZCIONKA 72]"_cp);
    for (const auto& run : paragraphs[0].runs)
        EXPECT_EQ(run.points, 0);
}

TEST_F(RecordReportsServerTest,
       TheDescriptionOfAListReadsAsParagraphsWithBoldHeadingsAndItalicTitles) {
    const std::string file = ListReport(server::kDescriptionReport, "K7|K2|");
    ASSERT_FALSE(file.empty());
    const auto paragraphs = TextParagraphs(file);
    ASSERT_EQ(paragraphs.size(), 4u);
    EXPECT_EQ(paragraphs[0].Text(), "Opis bibliograficzny"_cp);
    EXPECT_TRUE(paragraphs[0].runs[0].bold);
    EXPECT_EQ(paragraphs[0].runs[0].points, 14);
    EXPECT_EQ(paragraphs[1].Text(), "Pozycji: 2");
    EXPECT_FALSE(paragraphs[1].runs[0].bold);
    EXPECT_EQ(paragraphs[1].runs[0].points, 10);
    const char* ids[] = {"K7", "K2"};
    for (int i = 0; i < 2; ++i) {
        const FormattedParagraph& p = paragraphs[static_cast<std::size_t>(i + 2)];
        const std::string data = TitleLine(ids[i]);
        const std::string title = DataField(data, "tytul"), author = DataField(data, "autor");
        ASSERT_FALSE(title.empty());
        EXPECT_EQ(p.Text().rfind(std::to_string(i + 1) + ". " + author + ". " + title, 0), 0u)
            << p.Text();
        EXPECT_NE(p.Text().find(DataField(data, "wydawca")), std::string::npos) << p.Text();
        EXPECT_NE(p.Text().find("Sygn. " + DataField(data, "sygnatura")), std::string::npos)
            << p.Text();
        EXPECT_EQ(p.firstIndent, -20);
        EXPECT_EQ(p.leftIndent, 20);
        bool boldAuthor = false, italicTitle = false;
        for (const FormattedRun& run : p.runs) {
            if (run.bold && run.text.find(author) != std::string::npos) boldAuthor = true;
            if (run.italic && !run.bold && run.text.find(title) != std::string::npos)
                italicTitle = true;
            EXPECT_FALSE(run.bold && run.italic) << run.text;
        }
        EXPECT_TRUE(boldAuthor) << p.Text();
        EXPECT_TRUE(italicTitle) << p.Text();
    }
}

TEST_F(RecordReportsServerTest, TheDescriptionOfACollectionHasAParagraphPerBookAndUnknownsAbort) {
    const auto [collection, count] = AllBooks();
    ASSERT_GT(count, 0);
    const std::string target = dir + "/opis.tmp";
    ASSERT_TRUE(
        CollectionReport(**c, collection, server::kDescriptionReport, "", target, nullptr));
    EXPECT_EQ(TextParagraphs(ReadFile(target)).size(), static_cast<std::size_t>(count) + 2);

    EXPECT_EQ(ListReport(server::kDescriptionReport, "K7|K999999|"), "");
    EXPECT_FALSE(
        CollectionReport(**c, 987654, server::kDescriptionReport, "", dir + "/z", nullptr));
    EXPECT_FALSE(CollectionReport(**c, collection, 99, "", dir + "/y", nullptr));
    EXPECT_EQ(::access((dir + "/z").c_str(), F_OK), -1);
}

TEST(RecordReportParts, LabelTextsCannotAddLinesOrColumns) {
    const struct {
        const char* text;
        std::size_t max;
        const char* label;
    } cases[] = {
        {"II 10007", 40, "II 10007"},
        {"  Nowak  ", 40, "Nowak"},
        {"a|b\r\nc", 40, "a b  c"},
        {"Kowalski-Nowakowski", 8, "Kowalski"},
        {"Ala ma kota", 4, "Ala"},
        {"|\r\n", 40, ""},
        {"", 40, ""},
    };
    for (const auto& k : cases)
        EXPECT_EQ(server::LabelText(k.text, k.max), k.label) << k.text;
}

TEST_F(RecordReportsServerTest, SpineLabelsGiveTheShelfMarkAndSurnameAndGoIntoTheLabelFile) {
    const std::string file = ListReport(server::kSpineLabelReport, "K7|K2|");
    const std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 2u) << file;
    const char* ids[] = {"K7", "K2"};
    for (int i = 0; i < 2; ++i) {
        const std::string data = TitleLine(ids[i]);
        const std::string author = DataField(data, "autor");
        ASSERT_FALSE(author.empty());
        EXPECT_EQ(lines[static_cast<std::size_t>(i)],
                  DataField(data, "sygnatura") + "|" + author.substr(0, author.find(',')));
    }
    // The label file gets the lines as they came, after what it held.
    const std::string labels = dir + "/NAKLEJKI.DAT";
    WriteFile(labels, "stara|etykieta\r\n");
    ASSERT_EQ(AppendLabelLines(labels, lines), "");
    EXPECT_EQ(ReadFile(labels), "stara|etykieta\r\n" + file);

    const auto [collection, count] = AllBooks();
    const std::string target = dir + "/etykiety.tmp";
    ASSERT_TRUE(CollectionReport(**c, collection, server::kSpineLabelReport, "", target, nullptr));
    const std::vector<std::string> all = Lines(ReadFile(target));
    ASSERT_EQ(all.size(), static_cast<std::size_t>(count));
    for (const std::string& line : all) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '|'), 1) << line;
        EXPECT_GT(line.find('|'), 0u) << "every label has its first text: " << line;
        EXPECT_LE(line.size(), 2 * server::kMaxLabelText + 1) << line;
    }
    EXPECT_EQ(ListReport(server::kSpineLabelReport, "K999999|"), "");
}

namespace {

// The rows of a CSV text: fields in double quotation marks (one inside
// doubled) or bare, parted by ",", rows ended by CR LF.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (ch == '"')
                quoted = false;
            else
                field += ch;
        } else if (ch == '"') {
            quoted = any = true;
        } else if (ch == ',') {
            row.push_back(field), field.clear();
        } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field), field.clear();
            rows.push_back(row), row.clear();
            ++i;
        } else {
            field += ch;
        }
    }
    EXPECT_FALSE(quoted) << "a field is left open";
    EXPECT_TRUE(row.empty() && field.empty()) << "the last row has its CR LF";
    (void)any;
    return rows;
}

} // namespace

TEST(RecordReportParts, CsvFieldsReadBackWhole) {
    const struct {
        const char* value;
        const char* field;
        const char* back;
    } cases[] = {
        {"Nowak", "\"Nowak\"", "Nowak"},
        {"Ala, Ola", "\"Ala, Ola\"", "Ala, Ola"},
        {"\"Lalka\" i inne", "\"\"\"Lalka\"\" i inne\"", "\"Lalka\" i inne"},
        {"dwa\r\nwiersze", "\"dwa  wiersze\"", "dwa  wiersze"},
        {"", "\"\"", ""},
    };
    for (const auto& k : cases) {
        const std::string field = server::CsvField(k.value);
        EXPECT_EQ(field, k.field) << k.value;
        const auto rows = ReadCsv(field + "," + field + "\r\n");
        ASSERT_EQ(rows.size(), 1u) << k.value;
        EXPECT_EQ(rows[0], (std::vector<std::string>{k.back, k.back})) << k.value;
    }
}

TEST_F(RecordReportsServerTest, TheCsvExportHasAHeaderAndARowPerBookAndProposesACsvName) {
    const auto rows = ReadCsv(ListReport(server::kCsvExportReport, "K7|K2|"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"identyfikator", "autor", "tytuł"_cp, "wydawca",
                                                 "miejsce", "rok", "isbn", "sygnatura"}));
    const char* ids[] = {"K7", "K2"};
    for (int i = 0; i < 2; ++i) {
        const std::vector<std::string>& row = rows[static_cast<std::size_t>(i + 1)];
        ASSERT_EQ(row.size(), 8u);
        const std::string data = TitleLine(ids[i]);
        EXPECT_EQ(row[0], ids[i]);
        EXPECT_EQ(row[1], DataField(data, "autor"));
        EXPECT_EQ(row[2].rfind(DataField(data, "tytul"), 0), 0u) << row[2];
        EXPECT_EQ(row[3], DataField(data, "wydawca"));
        EXPECT_EQ(row[5].size(), 4u) << row[5];
        EXPECT_EQ(row[6], DataField(data, "isbn"));
        EXPECT_EQ(row[7], DataField(data, "sygnatura"));
    }
    const auto [collection, count] = AllBooks();
    const std::string target = dir + "/eksport.csv";
    ASSERT_TRUE(CollectionReport(**c, collection, server::kCsvExportReport, "", target, nullptr));
    const auto all = ReadCsv(ReadFile(target));
    ASSERT_EQ(all.size(), static_cast<std::size_t>(count) + 1);
    for (const auto& row : all)
        EXPECT_EQ(row.size(), 8u);

    velt_files descriptor(std::make_unique<TVeltClient>(
                              "127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port()),
                          true);
    ASSERT_TRUE(descriptor.Ready) << descriptor.ErrorText;
    std::map<int, std::string> kinds;
    for (const velt_report& r : descriptor.Reports) {
        kinds[r.Id] = r.Language;
        if (r.Id == server::kCsvExportReport) {
            EXPECT_EQ(PlikDefaultName(r.Options), "raport.csv");
        }
    }
    EXPECT_EQ(kinds[server::kDescriptionReport], "FORMAT");
    EXPECT_EQ(kinds[server::kSpineLabelReport], "ETYKIETA");
    EXPECT_EQ(kinds[server::kCsvExportReport], "PLIK");
}

namespace {

// The years of the lines of an ordered list, each checked to lie within.
std::vector<int> Years(const tbl_report& report, int from, int to) {
    std::vector<int> years;
    for (const std::string& line : report.data()) {
        const int year = std::stoi(DataField(line, "rok"));
        EXPECT_GE(year, from) << line;
        EXPECT_LE(year, to) << line;
        years.push_back(year);
    }
    return years;
}

} // namespace

TEST_F(RecordReportsServerTest, TheOrderedListOfParametersOnlyKeepsToTheYearsAndOrder) {
    const std::string target = dir + "/lata.tmp";
    ASSERT_TRUE(ParameterReport(**c, server::kOrderedListReport, "S.1|R|R.1|1990|R.2|1994|",
                                      target, nullptr));
    tbl_report report = tbl_report::FromSrpFile("Zestawienie tytułów"_cp, target);
    ASSERT_EQ(report.Refusal(), "");
    ASSERT_GT(report.lineCount, 10);
    const std::vector<int> years = Years(report, 1990, 1994);
    EXPECT_TRUE(std::is_sorted(years.begin(), years.end()));
    EXPECT_EQ(DataField(report.data()[0], "razem"), std::to_string(report.lineCount));

    RecordingCanvas canvas;
    report.DrawSheet(canvas, report.Sheets().at(0));
    EXPECT_TRUE(report.Messages().empty()) << report.Messages().front();
    const std::vector<std::string> drawn = canvas.Texts();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "Zestawienie tytułów według roku wydania"_cp),
              drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "Wydane w latach 1990-1994"), drawn.end());

    // The same over the collection of every book (100/6) gives the same books.
    const auto [collection, count] = AllBooks();
    const std::string again = dir + "/kolekcja.tmp";
    ASSERT_TRUE(CollectionReport(**c, collection, server::kOrderedListReport,
                                       "S.1|R|R.1|1990|R.2|1994|", again, nullptr));
    EXPECT_EQ(tbl_report::FromSrpFile("T", again).lineCount, report.lineCount);
    // Without parameters every book is listed by title.
    const std::string plain = dir + "/bez.tmp";
    ASSERT_TRUE(CollectionReport(**c, collection, server::kOrderedListReport, "", plain, nullptr));
    const tbl_report all = tbl_report::FromSrpFile("T", plain);
    ASSERT_EQ(all.lineCount, count);
    std::vector<std::string> titles;
    for (const std::string& line : all.data())
        titles.push_back(server::Fold(DataField(line, "tytul")));
    EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end()));
}

TEST_F(RecordReportsServerTest, TheOrderedListOfAListSortsByAuthorAndRefusesBadParameters) {
    const std::string target = dir + "/autorzy.tmp";
    ASSERT_TRUE(velt::ListReport(**c, server::kOrderedListReport, "S.1|A|R.1|1900|R.2|2100|",
                                 "K7|K2|K5|K11|", target, nullptr));
    const tbl_report report = tbl_report::FromSrpFile("T", target);
    ASSERT_EQ(report.lineCount, 4);
    std::vector<std::string> authors;
    std::set<std::string> ids;
    for (const std::string& line : report.data()) {
        authors.push_back(server::Fold(DataField(line, "autor")));
        ids.insert(DataField(line, "id"));
    }
    EXPECT_TRUE(std::is_sorted(authors.begin(), authors.end()));
    EXPECT_EQ(ids, (std::set<std::string>{"K7", "K2", "K5", "K11"}));

    const char* refused[] = {"S.1|R|R.1|2000|R.2|1990|", "S.1|X|", "R.1|19x0|", "R.2|20000|",
                             "S.1|T|R.1| |R.2|199|"};
    for (const char* parameters : refused) {
        EXPECT_EQ(ListReport(server::kOrderedListReport, "K7|", parameters), "") << parameters;
        EXPECT_FALSE(
            ParameterReport(**c, server::kOrderedListReport, parameters, dir + "/p", nullptr))
            << parameters;
    }
    EXPECT_FALSE(ParameterReport(**c, server::kDescriptionReport, "S.1|T|", dir + "/q", nullptr));
    EXPECT_EQ(::access((dir + "/p").c_str(), F_OK), -1);
    // A report without a form takes parameters it does not use.
    EXPECT_EQ(Lines(ListReport(server::kSpineLabelReport, "K7|", "S.1|T|")).size(), 1u);
}
