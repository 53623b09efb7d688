#include "text/RecordText.h"

#include "text/CpLiteral.h"

namespace velt {

namespace {

constexpr char kCR = '\r';

// Calls take(line) for every CR-separated line (a last line without CR too).
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(kCR, at);
        if (end == std::string_view::npos) end = text.size();
        take(text.substr(at, end - at));
        at = end + 1;
    }
}

void AddLine(my_record& record, std::string_view line) {
    std::uint8_t readonly = 0;
    if (!line.empty() && line[0] == '*') {
        readonly = 1;
        line.remove_prefix(1);
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    record.AddField(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)), readonly);
}

// Why the field cannot be written as a line, or the empty text.
std::string LineProblem(const my_field& f) {
    const std::string_view key = f.key;
    if (key.empty() || key[0] == '*' || key.find_first_of(std::string_view("=\r\0", 3)) != std::string_view::npos)
        return "Niedozwolony klucz pola: \""_cp + f.key + "\"";
    if (f.value.find_first_of(std::string_view("\r\0", 2)) != std::string::npos)
        return "Wartość pola "_cp + f.key + " zawiera znak końca wiersza albo znak o kodzie 0"_cp;
    return {};
}

RecordTextResult Lines(const my_record& record, bool changedOnly, bool markReadOnly) {
    RecordTextResult r;
    for (const my_field& f : record.fields()) {
        if (changedOnly && f.value == f.loaded) continue;
        if (std::string problem = LineProblem(f); !problem.empty()) return {{}, std::move(problem)};
        if (markReadOnly && f.readonly) r.text.push_back('*');
        r.text += f.key;
        r.text.push_back('=');
        r.text += f.value;
        r.text.push_back(kCR);
    }
    return r;
}

}  // namespace

my_record ParseRecordText(std::string_view text) {
    my_record record;
    ForEachLine(text, [&](std::string_view line) { AddLine(record, line); });
    return record;
}

RecordTextResult RecordText(const my_record& record) { return Lines(record, false, true); }

RecordTextResult ChangedText(const my_record& record) { return Lines(record, true, false); }

void ParseErrorReply(my_record& record, std::string_view reply) {
    record.ClearErrors();
    std::vector<std::string_view> lines;
    ForEachLine(reply, [&](std::string_view line) { lines.push_back(line); });
    if (lines.empty()) return;
    if (lines.size() == 1) {
        record.AddError(std::string(lines[0]), "*");
        return;
    }
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        // A message without its patterns line, or with an empty one, belongs to
        // the whole record: an error matching no field would never be seen.
        const std::string_view keys = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
        record.AddError(std::string(lines[i]), keys.empty() ? "*" : std::string(keys));
    }
}

std::vector<my_record> SplitExportText(std::string_view text) {
    static constexpr std::string_view kHeader = "[DOKUMENT";
    std::vector<my_record> records;
    ForEachLine(text, [&](std::string_view line) {
        if (line.starts_with(kHeader)) {
            std::string_view kind = line.substr(kHeader.size());
            if (const std::size_t close = kind.find(']'); close != std::string_view::npos)
                kind = kind.substr(0, close);
            while (!kind.empty() && kind.front() == ' ') kind.remove_prefix(1);
            while (!kind.empty() && kind.back() == ' ') kind.remove_suffix(1);
            records.emplace_back(std::string(kind));
        } else if (!records.empty()) {
            AddLine(records.back(), line);
        }
    });
    return records;
}

}  // namespace velt
