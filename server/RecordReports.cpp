#include "RecordReports.h"

#include "Fold.h"
#include "RecordText.h"
#include "Seeder.h"
#include "Session.h"
#include "TableReports.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt::server {

namespace {

// What the reports show of a book.
struct Book {
    std::string id, author, title, subtitle, responsibility, edition, place, publisher, year, extent,
        illustrations, isbn, call;
};

Book BookOf(Session& s, std::uint32_t number, const std::string& text) {
    const RecordText r = RecordText::Parse(text);
    Book b;
    b.id = s.ids.Shown(number);
    b.author = Subfield(r.Value("100"), 'a');
    const std::string title = r.Value("245");
    b.title = Subfield(title, 'a');
    b.subtitle = Subfield(title, 'b');
    b.responsibility = Subfield(title, 'c');
    b.edition = Subfield(r.Value("250"), 'a');
    const std::string imprint = r.Value("260");
    b.place = Subfield(imprint, 'a');
    b.publisher = Subfield(imprint, 'b');
    b.year = Subfield(imprint, 'c');
    b.extent = Subfield(r.Value("300"), 'a');
    b.illustrations = Subfield(r.Value("300"), 'b');
    b.isbn = Subfield(r.Value("020"), 'a');
    b.call = Subfield(r.Value("852"), 'h');
    return b;
}

// The books among the records, in their order (other records are left out).
std::vector<Book> BooksOf(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::vector<Book> books;
    for (std::size_t i = 0; i < numbers.size() && i < kMaxReportRecords; ++i) {
        if (s.ids.Letter(numbers[i]) != kBookLetter) continue;
        const auto row = s.db.Record(numbers[i]);
        if (row) books.push_back(BookOf(s, numbers[i], row->text));
    }
    return books;
}

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

// The surname of a heading "Surname, Given".
std::string Surname(const std::string& heading) { return heading.substr(0, heading.find(',')); }

std::string Line(const std::string& text) { return text + "\r\n"; }

}  // namespace

// --- the bibliographic description ---

std::string FormatTextLine(std::string_view text) {
    std::string out;
    for (const char c : text) out.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
    if (StartsWith(out, "[PARAGRAF") || StartsWith(out, "[CZCIONKA")) out.insert(out.begin(), ' ');
    return out;
}

std::string DescriptionText(Session& s, const std::vector<std::uint32_t>& numbers) {
    const std::vector<Book> books = BooksOf(s, numbers);
    std::string text = Line("[PARAGRAF 0 0 0]") + Line("[CZCIONKA +B 14]") + Line("Opis bibliograficzny"_cp) +
                       Line("[CZCIONKA -B 10]") + Line("[PARAGRAF 0 0 0]") + Line("Pozycji: "_cp + std::to_string(books.size()));
    for (std::size_t i = 0; i < books.size(); ++i) {
        const Book& b = books[i];
        text += Line("[PARAGRAF -20 20 0]");
        // The heading in bold, the title in italics, the rest plain.
        text += Line("[CZCIONKA +B]") + Line(FormatTextLine(std::to_string(i + 1) + "." + (b.author.empty() ? "" : " " + b.author + ".")));
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
            rest += (rest.empty() ? "" : " - ") + b.extent + (b.illustrations.empty() ? "" : " : " + b.illustrations);
        if (!rest.empty()) text += Line(FormatTextLine(rest));
        if (!b.isbn.empty()) text += Line(FormatTextLine("ISBN " + b.isbn + "."));
        if (!b.call.empty()) text += Line(FormatTextLine("Sygn. " + b.call));
    }
    return text;
}

// --- the spine labels ---

std::string LabelText(std::string_view text, std::size_t max) {
    std::string out;
    for (const char c : text) out.push_back(c == '\r' || c == '\n' || c == '|' ? ' ' : c);
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    if (out.size() > max) out.resize(max);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string SpineLabelText(Session& s, const std::vector<std::uint32_t>& numbers) {
    // A label per book: its shelf mark (the identifier when it has none),
    // then the author's surname or, without an author, the title.
    std::string text;
    for (const Book& b : BooksOf(s, numbers)) {
        const std::string first = LabelText(b.call.empty() ? b.id : b.call);
        const std::string second = LabelText(b.author.empty() ? b.title : Surname(b.author));
        text += Line(first + "|" + second);
    }
    return text;
}

// --- the CSV export ---

std::string CsvField(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += "\"\"";
        else if (c == '\r' || c == '\n') out += ' ';
        else out += c;
    }
    return out + "\"";
}

std::string CsvExportText(Session& s, const std::vector<std::uint32_t>& numbers) {
    static const std::string kColumns[] = {"identyfikator", "autor", "tytuł"_cp, "wydawca", "miejsce", "rok",
                                           "isbn", "sygnatura"};
    std::string text;
    for (const std::string& column : kColumns) text += (text.empty() ? "" : ",") + CsvField(column);
    text += "\r\n";
    for (const Book& b : BooksOf(s, numbers)) {
        std::string title = b.title;
        if (!b.subtitle.empty()) title += " : " + b.subtitle;
        const std::string* values[] = {&b.id, &b.author, &title, &b.publisher, &b.place, &b.year, &b.isbn, &b.call};
        std::string row;
        for (const std::string* v : values) row += (row.empty() ? "" : ",") + CsvField(*v);
        text += row + "\r\n";
    }
    return text;
}

}  // namespace velt::server

namespace velt::server {

std::optional<std::string> RecordsReportText(Session& s, std::int32_t report, const std::string& parameters,
                                             const std::vector<std::uint32_t>& numbers) {
    (void)parameters;
    switch (report) {
        case kTitleListReport: return TableReportText(s, report, numbers);
        case kDescriptionReport: return DescriptionText(s, numbers);
        case kSpineLabelReport: return SpineLabelText(s, numbers);
        case kCsvExportReport: return CsvExportText(s, numbers);
        default: return std::nullopt;
    }
}

}  // namespace velt::server
