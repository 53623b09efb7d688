#include "import/RtkRecords.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/Wildcard.h"

#include <cctype>
#include <set>

namespace velt {

namespace {

constexpr std::string_view kHeader = "[DOKUMENT";
constexpr int kMaxListEntries = 10000;

constexpr std::string_view Trim(std::string_view t) { return TrimSpaces(t); }

template <typename Take>
void Lines(std::string_view text, Take take) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\r', at);
        if (end == std::string_view::npos) end = text.size();
        take(text.substr(at, end - at));
        at = end + 1;
    }
}

// A key=value line into the record: the key trimmed, the value as it is.
void AddExportLine(my_record& record, std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty() || key.front() == '*' || key.find('#') != std::string_view::npos) return;
    const std::string_view value = line.substr(eq + 1);
    if (!value.empty()) record.SetValue(std::string(key), std::string(value));
}

// The entries of one dictionary list: their Items[2], in order.
std::vector<std::string> ListCodes(velt_files& files, const std::string& list) {
    std::vector<std::string> codes;
    std::set<std::string> seen;
    RecordPtr e = files.IndexFrom(8, 1, 0, list);
    for (int n = 0; e && n < kMaxListEntries; ++n) {
        if (!seen.insert(e->Item(1)).second) break;  // a key twice: the list goes round
        codes.push_back(std::string(Trim(e->Item(2))));
        e = files.IndexNext(1, e.get(), 0, list);
    }
    return codes;
}

std::size_t CommonBeginning(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::optional<std::vector<ExportRecord>> ReadExportText(std::string_view text, bool velt1, std::string& error) {
    const std::string bad = "Zła budowa formatu eksportu"_cp;
    if (!Trim(text).starts_with(kHeader)) {
        error = bad;
        return std::nullopt;
    }
    std::vector<ExportRecord> records;
    bool failed = false, done = false;
    Lines(text, [&](std::string_view raw) {
        if (failed || done) return;
        const std::string_view line = Trim(raw);
        if (line.starts_with(kHeader)) {
            if (velt1 && !records.empty()) {
                done = true;  // one record: what follows a later header is none of it
                return;
            }
            ExportRecord r;
            if (!velt1) {
                // The identifier from the tenth character up to the closing one.
                if (line.size() < 11) {
                    failed = true;
                    return;
                }
                r.identifier = std::string(Trim(line.substr(9, line.size() - 10)));
                // Its first character is the record's kind: a letter or a digit.
                const unsigned char kind = r.identifier.empty() ? 0 : static_cast<unsigned char>(r.identifier[0]);
                if (!std::isalnum(kind) && kind < 0x80) {
                    failed = true;
                    return;
                }
                r.record.kind = r.identifier;
            }
            records.push_back(std::move(r));
            return;
        }
        if (!records.empty()) AddExportLine(records.back().record, raw);
    });
    if (failed || records.empty()) {
        error = bad;
        return std::nullopt;
    }
    return records;
}

CodeTables ReadCodeTables(velt_files& files, bool countries) {
    CodeTables tables;
    for (const std::string& x : ListCodes(files, "021")) {
        const std::vector<std::string> second = ListCodes(files, x + "22");
        if (second.empty()) tables.emplace_back("DOK_" + x, x);
        for (const std::string& y : second) tables.emplace_back("DOK_" + x + y, x + y);
    }
    std::vector<std::string> lists = {"051", "101", "102"};
    if (countries) lists.push_back("KRA");
    lists.push_back("KON");
    for (const std::string& list : lists)
        for (const std::string& y : ListCodes(files, list)) tables.emplace_back(list + "_" + y, y);
    return tables;
}

bool ReplaceCode(const CodeTables& tables, const std::string& table, my_record& record, const std::string& key,
                 const std::string& warning) {
    const std::string value = record.GetValue(key);
    const std::string exact = table + "_" + value;
    for (const auto& [name, code] : tables)
        if (name == exact) {
            if (code == value) return false;
            record.SetValue(key, code);
            return true;
        }
    std::string best;
    std::size_t bestLength = 0;
    for (const auto& [name, code] : tables) {
        if (name.compare(0, table.size(), table) != 0) continue;
        const std::size_t n = CommonBeginning(code, value);
        if (n > 0 && n >= bestLength) {
            best = code;
            bestLength = n;
        }
    }
    if (best.empty()) {
        // No local code is like it: the value stays, and the user is told.
        record.AddError(warning + " \"" + value + "\" nie ma odpowiednika w tym katalogu"_cp, key);
        return false;
    }
    record.SetValue(key, best);
    record.AddError(warning + " \"" + value + "\" zastąpiono kodem \""_cp + best + "\"", key);
    return true;
}

void ReplaceCodes(const CodeTables& tables, my_record& record, bool countries) {
    struct Rule {
        const char* pattern;
        const char* table;
        std::string warning;
        bool country;
    };
    static const Rule rules[] = {
        {"DOK_TYP", "DOK", "Kod typu rekordu", false},
        {"KLU_TYP.*", "051", "Kod klucza wyszukiwania", false},
        {"JEZ_JEZYK.*", "101", "Kod języka"_cp, false},
        {"JEZ_TYP.*", "102", "Kod roli języka"_cp, false},
        {"KON_RODZAJ.*", "KON", "Kod typu imprezy", false},
        {"WYD_KRAJ.*", "KRA", "Kod kraju wydania", true},
    };
    std::vector<std::string> keys;
    for (const my_field& f : record.fields()) keys.push_back(f.key);
    for (const std::string& key : keys)
        for (const Rule& rule : rules) {
            if (rule.country && !countries) continue;
            if (MatchWildcard(rule.pattern, key)) ReplaceCode(tables, rule.table, record, key, rule.warning);
        }
}

my_record RecordForHere(const my_record& initial, const my_record& taken) {
    my_record r = initial;
    r.kind = initial.kind.empty() ? taken.kind : initial.kind;
    for (const my_field& f : taken.fields()) {
        // A parent of the other catalogue, and what the local server keeps itself.
        if (f.key == "DOK_IDO" || initial.IsReadOnly(f.key)) continue;
        std::string value = f.value;
        // "^9" and what follows up to the next subfield names the other
        // catalogue's authority record: removed, the heading kept.
        bool linked = false;
        for (std::size_t at = value.find("^9"); at != std::string::npos; at = value.find("^9", at)) {
            std::size_t end = value.find('^', at + 2);
            if (end == std::string::npos) end = value.size();
            std::size_t from = at;
            while (from > 0 && value[from - 1] == ' ') --from;
            value.erase(from, end - from);
            // One blank stays between the subfields around it.
            if (from > 0 && from < value.size()) value.insert(from, 1, ' ');
            at = from;
            linked = true;
        }
        r.SetValue(f.key, value);
        if (linked) r.AddError("Powiązanie z rekordem wzorcowym innego katalogu usunięto: wskaż hasło w tym katalogu"_cp, f.key);
    }
    for (const my_error& e : taken.errors()) r.AddError(e.message, e.keys);
    return r;
}

}  // namespace velt
