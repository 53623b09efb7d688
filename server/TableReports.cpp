#include "TableReports.h"

#include "Fold.h"
#include "RecordText.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt::server {

std::string TitleListDescription() {
    static const std::string kLines[] = {
        "[REPORT 1000 ALIGN=STANDARD]"_cp,
        "[HEADER 100]"_cp,
        "TEXT %0 0 0 SIZE=20 BOLD"_cp,
        "TEXT %D 1000 0 RIGHT"_cp,
        "TEXT #Lista_tytułów 0 30 SIZE=18"_cp,
        "TEXT #Strona_%P 1000 30 RIGHT"_cp,
        "TEXT #Wydawca:_&wydawca 0 60 BOLD"_cp,
        "TEXT #(ciąg_dalszy) + 60 NOFIRST"_cp,
        "BOX 0 83 1000 17 BOLD"_cp,
        "TEXT #Sygnatura 5 85 SIZE=11"_cp,
        "TEXT #Tytuł_i_autor 165 85 SIZE=11"_cp,
        "TEXT #ISBN 795 85 SIZE=11"_cp,
        "[LINE 60]"_cp,
        "V 0 0 60"_cp,
        "V 160 0 60"_cp,
        "V 785 0 60"_cp,
        "V 999 0 60"_cp,
        "H 0 60 1000"_cp,
        "TEXT &sygnatura 5 5 LIMIT 150"_cp,
        "TEXT &tytul 165 5 JUST 610 36"_cp,
        "TEXT &autor 165 42 SIZE=12 LIMIT 610 WHEN &autor"_cp,
        "BAR &ean 795 4 195 38 MODE=15 WHEN &ean"_cp,
        "TEXT &isbn 795 44 SIZE=12 LIMIT 195 WHEN &isbn"_cp,
        "TEXT #bez_ISBN 795 20 SIZE=12 EXCEPT &isbn"_cp,
        "[FOOTER 40]"_cp,
        "TEXT #Pozycji_wydawcy:_&lp 0 10 SIZE=12 LAST"_cp,
        "TEXT #c.d._na_następnej_stronie 1000 10 SIZE=12 RIGHT NOLAST"_cp,
        "[END]"_cp,
    };
    std::string text;
    for (const std::string& line : kLines) text += line + "\r\n";
    return text;
}

std::string ReportDataLine(const std::vector<std::pair<std::string, std::string>>& fields, bool groupEnd) {
    std::string line = groupEnd ? "*" : "";
    for (const auto& [name, value] : fields) {
        line += "&" + name + "=";
        for (char c : value) {
            if (c == '&') line += "\x1b" "1";
            else if (c == '\r' || c == '\n') line += ' ';
            else line += c;
        }
    }
    return line;
}

std::string EanOfIsbn(std::string_view isbn) {
    std::string digits;
    for (char c : isbn) {
        if (c == '-' || c == ' ') continue;
        if ((c < '0' || c > '9') && !((c == 'X' || c == 'x') && digits.size() == 9)) return {};
        digits += c;
    }
    const auto eanCheck = [](std::string_view twelve) {
        int sum = 0;
        for (std::size_t i = 0; i < 12; ++i) sum += (twelve[i] - '0') * (i % 2 ? 3 : 1);
        return static_cast<char>('0' + (10 - sum % 10) % 10);
    };
    if (digits.size() == 13) return eanCheck(digits) == digits[12] ? digits : std::string();
    if (digits.size() != 10) return {};
    int sum = 0;
    for (std::size_t i = 0; i < 10; ++i) sum += (digits[i] == 'X' || digits[i] == 'x' ? 10 : digits[i] - '0') * (10 - static_cast<int>(i));
    if (sum % 11 != 0) return {};
    std::string ean = "978" + digits.substr(0, 9);
    return ean + eanCheck(ean);
}

std::optional<std::vector<std::uint32_t>> ListedRecords(Session& s, std::string_view list) {
    std::vector<std::uint32_t> out;
    std::size_t at = 0;
    while (at < list.size() && out.size() < kMaxReportRecords) {
        std::size_t bar = list.find('|', at);
        if (bar == std::string_view::npos) bar = list.size();
        std::string_view id = list.substr(at, bar - at);
        while (!id.empty() && id.front() == ' ') id.remove_prefix(1);
        while (!id.empty() && id.back() == ' ') id.remove_suffix(1);
        if (!id.empty()) {
            const std::uint32_t n = s.ids.ParseShown(id);
            if (n == 0 || !s.db.Exists(n)) return std::nullopt;
            out.push_back(n);
        }
        at = bar + 1;
    }
    return out;
}

std::optional<std::string> TableReportText(Session& s, std::int32_t report, const std::vector<std::uint32_t>& numbers) {
    if (report != kTitleListReport) return std::nullopt;
    struct Row {
        std::string publisher, publisherKey, titleKey;
        std::vector<std::pair<std::string, std::string>> fields;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < numbers.size() && i < kMaxReportRecords; ++i) {
        const auto record = s.db.Record(numbers[i]);
        if (!record) continue;
        const RecordText r = RecordText::Parse(record->text);
        Row row;
        row.publisher = Subfield(ImprintOf(r), 'b');
        if (row.publisher.empty()) row.publisher = "(bez wydawcy)"_cp;
        const std::string title = Subfield(r.Value("245"), 'a');
        const std::string isbn = Subfield(r.Value("020"), 'a');
        row.publisherKey = Fold(row.publisher);
        row.titleKey = Fold(title);
        row.fields = {{"id", s.ids.Shown(numbers[i])},   {"tytul", title},
                      {"autor", Subfield(r.Value("100"), 'a')}, {"wydawca", row.publisher},
                      {"sygnatura", Subfield(r.Value("852"), 'h')}, {"isbn", isbn},
                      {"ean", EanOfIsbn(isbn)}};
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.publisherKey != b.publisherKey) return a.publisherKey < b.publisherKey;
        return a.titleKey < b.titleKey;
    });
    std::string text = TitleListDescription();
    std::size_t inGroup = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ++inGroup;
        const bool end = i + 1 == rows.size() || rows[i + 1].publisherKey != rows[i].publisherKey;
        rows[i].fields.emplace_back("lp", std::to_string(inGroup));
        text += ReportDataLine(rows[i].fields, end) + "\r\n";
        if (end) inGroup = 0;
    }
    return text;
}

}  // namespace velt::server
