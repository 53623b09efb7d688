#include "reports/my_save.h"

#include "reports/ReportFile.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

namespace velt {
namespace {

void AppendLine(std::string& out, std::string_view line) {
    for (char c : line) out += c == '\r' || c == '\n' ? ' ' : c;
    out += "\r\n";
}

}  // namespace

std::string NotForThisReport() { return "Niedostępne dla tego zestawienia"_cp; }

std::string SrpText(const tbl_report& report) {
    std::string out;
    for (const std::string& line : report.description()) {
        if (line.compare(0, 5, "[END]") == 0) break;
        AppendLine(out, line);
    }
    AppendLine(out, "[END]");
    for (const std::string& line : report.data()) AppendLine(out, line);
    return out;
}

std::vector<std::string> CsvColumns(const tbl_report& report) {
    std::vector<std::string> columns;
    for (const std::string& line : report.Parsed().lineSectionText) {
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.size() < 2 || words[0] != "TEXT") continue;
        for (std::string& name : MacroFieldNames(words[1])) columns.push_back(std::move(name));
    }
    return columns;
}

std::string CsvText(const tbl_report& report) {
    const std::vector<std::string> columns = CsvColumns(report);
    std::string out;
    std::string row;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) row += ',';
        row += columns[i];
    }
    AppendLine(out, row);
    for (const std::string& line : report.data()) {
        row.clear();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) row += ',';
            row += '"';
            for (char c : DataField(line, columns[i])) row += c == '"' ? '\'' : c;
            row += '"';
        }
        AppendLine(out, row);
    }
    return out;
}

std::string save_as_velt::Filter() const { return "Zestawienie VELT (SRP)|*.srp"; }

std::string save_as_velt::Save(my_report& report, const std::string& file) {
    const auto* table = dynamic_cast<const tbl_report*>(&report);
    if (table == nullptr) return NotForThisReport();
    return WriteReportFile(file, SrpText(*table));
}

std::string save_as_csv::Filter() const { return "Tabela tekstowa (CSV)|*.csv"; }

std::string save_as_csv::Save(my_report& report, const std::string& file) {
    const auto* table = dynamic_cast<const tbl_report*>(&report);
    if (table == nullptr) return NotForThisReport();
    return WriteReportFile(file, CsvText(*table));
}

}  // namespace velt
