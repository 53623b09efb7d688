#include "RecordReports.h"

#include "RecordIndex.h"
#include "BookFields.h"
#include "CardReport.h"
#include "Fold.h"
#include "RecordText.h"
#include "Seeder.h"
#include "Session.h"
#include "TableReports.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt::server {

namespace {

// What the reports show of a book: its fields and its shown identifier.
struct Book : BookFields {
    std::string id;
};

Book BookOf(Session& s, std::uint32_t number, const std::string& text) {
    Book b;
    static_cast<BookFields&>(b) = ReadBookFields(RecordText::Parse(text));
    b.id = s.ids.Shown(number);
    return b;
}

// The books among the records, in their order (other records are left out).
std::vector<Book> BooksOf(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::vector<Book> books;
    for (std::size_t i = 0; i < numbers.size() && i < kMaxReportRecords; ++i) {
        if (!IsBibliographic(s.ids.Letter(numbers[i]))) continue;
        const auto row = s.db.Record(numbers[i]);
        if (row) books.push_back(BookOf(s, numbers[i], row->text));
    }
    return books;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// Every book of the catalogue, in record number order.
std::vector<std::uint32_t> AllBookNumbers(Session& s) {
    return BibliographicNumbers(s.db, s.ids);
}

// The surname of a heading "Surname, Given".
std::string Surname(const std::string& heading) {
    return heading.substr(0, heading.find(','));
}

std::string Line(const std::string& text) {
    return text + "\r\n";
}

} // namespace

// --- the bibliographic description ---

std::string FormatTextLine(std::string_view text) {
    std::string out;
    for (const char c : text)
        out.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
    if (StartsWith(out, "[PARAGRAF") || StartsWith(out, "[CZCIONKA")) out.insert(out.begin(), ' ');
    return out;
}

std::string DescriptionText(Session& s, const std::vector<std::uint32_t>& numbers) {
    const std::vector<Book> books = BooksOf(s, numbers);
    std::string text = Line("[PARAGRAF 0 0 0]") + Line("[CZCIONKA +B 14]") +
                       Line("Opis bibliograficzny"_cp) + Line("[CZCIONKA -B 10]") +
                       Line("[PARAGRAF 0 0 0]") +
                       Line("Pozycji: "_cp + std::to_string(books.size()));
    for (std::size_t i = 0; i < books.size(); ++i) {
        const Book& b = books[i];
        text += Line("[PARAGRAF -20 20 0]");
        // The heading in bold, the title in italics, the rest plain.
        text += Line("[CZCIONKA +B]") +
                Line(FormatTextLine(std::to_string(i + 1) + "." +
                                    (b.mainAuthor.empty() ? "" : " " + b.mainAuthor + ".")));
        text += Line("[CZCIONKA -B]") + Line("[CZCIONKA +I]");
        text += Line(FormatTextLine(b.title.empty() ? "[bez tytułu]"_cp : b.title));
        if (!b.subtitle.empty()) text += Line(FormatTextLine(": " + b.subtitle));
        text += Line("[CZCIONKA -I]");
        std::string rest;
        if (!b.responsibility.empty()) rest += "/ " + b.responsibility + ".";
        if (!b.edition.empty()) rest += (rest.empty() ? "" : " - ") + b.edition + ".";
        std::string imprint = b.place;
        if (!b.publisher.empty()) imprint += (imprint.empty() ? "" : " : ") + b.publisher;
        if (!b.year.empty()) imprint += (imprint.empty() ? "" : ", ") + b.year;
        if (!imprint.empty()) rest += (rest.empty() ? "" : " - ") + imprint + ".";
        if (!b.extent.empty())
            rest += (rest.empty() ? "" : " - ") + b.extent +
                    (b.illustrations.empty() ? "" : " : " + b.illustrations);
        if (!rest.empty()) text += Line(FormatTextLine(rest));
        if (!b.isbn.empty()) text += Line(FormatTextLine("ISBN " + b.isbn + "."));
        if (!b.call.empty()) text += Line(FormatTextLine("Sygn. " + b.call));
    }
    return text;
}

// --- the spine labels ---

std::string LabelText(std::string_view text, std::size_t max) {
    std::string out;
    for (const char c : text)
        out.push_back(c == '\r' || c == '\n' || c == '|' ? ' ' : c);
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    if (out.size() > max) out.resize(max);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string SpineLabelText(Session& s, const std::vector<std::uint32_t>& numbers) {
    // A label per book: its shelf mark (the identifier when it has none),
    // then the author's surname or, without an author, the title.
    std::string text;
    for (const Book& b : BooksOf(s, numbers)) {
        const std::string first = LabelText(b.call.empty() ? b.id : b.call);
        const std::string second = LabelText(b.mainAuthor.empty() ? b.title : Surname(b.mainAuthor));
        text += Line(first + "|" + second);
    }
    return text;
}

// --- the CSV export ---

std::string CsvField(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\r' || c == '\n')
            out += ' ';
        else
            out += c;
    }
    return out + "\"";
}

std::string CsvExportText(Session& s, const std::vector<std::uint32_t>& numbers) {
    static const std::string kColumns[] = {"identyfikator", "autor", "tytuł"_cp, "wydawca",
                                           "miejsce",       "rok",   "isbn",     "sygnatura"};
    std::string text;
    for (const std::string& column : kColumns)
        text += (text.empty() ? "" : ",") + CsvField(column);
    text += "\r\n";
    for (const Book& b : BooksOf(s, numbers)) {
        std::string title = b.title;
        if (!b.subtitle.empty()) title += " : " + b.subtitle;
        const std::string* values[] = {&b.id,    &b.mainAuthor, &title,  &b.publisher,
                                       &b.place, &b.year,   &b.isbn, &b.call};
        std::string row;
        for (const std::string* v : values)
            row += (row.empty() ? "" : ",") + CsvField(*v);
        text += row + "\r\n";
    }
    return text;
}

// --- the ordered list of titles ---

const FormItem& OrderedListReport() {
    static const FormItem item{
        "Zestawienie tytułów"_cp,
        "BEGIN\r"
        "LABEL 'Kolejność:' ON 8, 12\r"
        "COMBO 'S.1' MASK 'T|według tytułu|A|według autora|R|według roku wydania|' ON 140, 10, "
        "220\r"
        "LABEL 'Wydane w latach od:' ON 8, 42\r"
        "SPIN 'R.1' MASK 4 LIMIT 1900, 2100 ON 140, 40, 70\r"
        "LABEL 'do:' ON 220, 42\r"
        "SPIN 'R.2' MASK 4 LIMIT 1900, 2100 ON 245, 40, 70\r"
        "END\r"_cp,
        "[SHOW S.1]\r"
        "BEGIN GRUPA('S') POZYCJA = '.1' IF TRIM(POLE) = '' POLE = 'T' ENDIF BACK END\r"
        "[SHOW R.1]\r"
        "BEGIN GRUPA('R') POZYCJA = '.1' IF TRIM(POLE) = '' POLE = '1900' ENDIF BACK END\r"
        "[SHOW R.2]\r"
        "BEGIN GRUPA('R') POZYCJA = '.2' IF TRIM(POLE) = '' POLE = DIV(DATE(''), '10000', '0') "
        "ENDIF BACK END\r"
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "{ rok początkowy nie może być późniejszy od końcowego }\r"
        "POZYCJA = 'R.1' OD = TRIM(POLE)\r"
        "POZYCJA = 'R.2' DO = TRIM(POLE)\r"
        "IF GT(OD, DO) PRINT('Rok początkowy jest późniejszy od końcowego|R.1') ENDIF\r"
        "END\r"_cp};
    return item;
}

namespace {

std::string OrderedListDescription() {
    static const std::string kLines[] = {
        "[REPORT 1000 ALIGN=STANDARD]",
        "[HEADER 95]",
        "TEXT %0 0 0 SIZE=20 BOLD",
        "TEXT %D 1000 0 RIGHT",
        "TEXT #Zestawienie_tytułów_&kolejnosc 0 30 SIZE=16"_cp,
        "TEXT #Strona_%P 1000 30 RIGHT",
        "TEXT #Wydane_w_latach_&lata 0 55 SIZE=12",
        "BOX 0 78 1000 17 BOLD",
        "TEXT #Rok 5 80 SIZE=11",
        "TEXT #Tytuł 85 80 SIZE=11"_cp,
        "TEXT #Autor 555 80 SIZE=11",
        "TEXT #Sygnatura 825 80 SIZE=11",
        "[LINE 30]",
        "V 0 0 30",
        "V 80 0 30",
        "V 550 0 30",
        "V 820 0 30",
        "V 999 0 30",
        "H 0 30 1000",
        "TEXT &rok 5 5 LIMIT 70",
        "TEXT &tytul 85 5 LIMIT 460",
        "TEXT &autor 555 5 LIMIT 260",
        "TEXT &sygnatura 825 5 LIMIT 170",
        "[FOOTER 30]",
        "TEXT #Pozycji:_&razem 0 8 SIZE=12 LAST",
        "[END]",
    };
    std::string text;
    for (const std::string& line : kLines)
        text += Line(line);
    return text;
}

// A year of the form: empty, or four digits.
std::optional<int> FormYear(const std::string& text, int empty) {
    if (text.empty()) return empty;
    if (text.size() != 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

// The year a book was published: the leading digits of its date, 0 without.
int PublishedYear(const std::string& date) {
    int year = 0;
    for (std::size_t i = 0; i < date.size() && i < 4 && date[i] >= '0' && date[i] <= '9'; ++i)
        year = year * 10 + (date[i] - '0');
    return year;
}

} // namespace

std::optional<std::string> OrderedListText(Session& s, const std::string& parameters,
                                           const std::vector<std::uint32_t>* numbers) {
    std::string order, fromText, toText;
    for (const auto& [name, value] : ReadParameterPairs(parameters)) {
        const std::string v = LabelText(value, 16);
        if (name == "S.1")
            order = v;
        else if (name == "R.1")
            fromText = v;
        else if (name == "R.2")
            toText = v;
    }
    if (order.empty()) order = "T";
    static const std::pair<std::string, std::string> kOrders[] = {
        {"T", "według tytułu"_cp}, {"A", "według autora"_cp}, {"R", "według roku wydania"_cp}};
    const auto named = std::find_if(std::begin(kOrders), std::end(kOrders),
                                    [&](const auto& o) { return o.first == order; });
    const auto from = FormYear(fromText, 0), to = FormYear(toText, 9999);
    if (named == std::end(kOrders) || !from || !to || *from > *to) return std::nullopt;

    struct Row {
        Book book;
        int year;
        std::string titleKey, authorKey;
    };
    std::vector<Row> rows;
    for (Book& b : BooksOf(s, numbers ? *numbers : AllBookNumbers(s))) {
        const int year = PublishedYear(b.year);
        if (year < *from || year > *to) continue;
        const std::string titleKey = Fold(b.title), authorKey = Fold(b.mainAuthor);
        rows.push_back({std::move(b), year, titleKey, authorKey});
    }
    std::stable_sort(rows.begin(), rows.end(), [&order](const Row& a, const Row& b) {
        if (order == "A" && a.authorKey != b.authorKey) return a.authorKey < b.authorKey;
        if (order == "R" && a.year != b.year) return a.year < b.year;
        return a.titleKey < b.titleKey;
    });
    const std::string years = (fromText.empty() ? std::string("...") : fromText) + "-" +
                              (toText.empty() ? std::string("...") : toText);
    std::string text = OrderedListDescription();
    for (const Row& r : rows)
        text += Line(ReportDataLine({{"id", r.book.id},
                                     {"rok", r.book.year},
                                     {"tytul", r.book.title},
                                     {"autor", r.book.mainAuthor},
                                     {"sygnatura", r.book.call},
                                     {"kolejnosc", named->second},
                                     {"lata", years},
                                     {"razem", std::to_string(rows.size())}},
                                    false));
    return text;
}

} // namespace velt::server

namespace velt::server {

std::optional<std::string> RecordsReportText(Session& s, std::int32_t report,
                                             const std::string& parameters,
                                             const std::vector<std::uint32_t>& numbers) {
    switch (report) {
    case kTitleListReport:
        return TableReportText(s, report, numbers);
    case kDescriptionReport:
        return DescriptionText(s, numbers);
    case kSpineLabelReport:
        return SpineLabelText(s, numbers);
    case kCsvExportReport:
        return CsvExportText(s, numbers);
    case kOrderedListReport:
        return OrderedListText(s, parameters, &numbers);
    case kCatalogueCardReport:
        return CatalogueCardText(s, numbers);
    default:
        return std::nullopt;
    }
}

} // namespace velt::server
