// Server programs (201): D checks that a program may run and gives its
// starting parameter values, X runs it over records: none (the whole
// catalogue), identifiers each followed by "|", or "@" and a remote
// collection's number. The programs need the right "administrowanie".
//
//   1 "Sprawdzenie numerów ISBN"  the ISBN check digits of the records
//   2 "Przeliczenie indeksów"     nothing to do on this server (the indexes
//                                 are kept with every save); answers success

#include "Seeder.h"
#include "Session.h"
#include "Validation.h"
#include "text/CpLiteral.h"

#include <charconv>

namespace velt::server {

namespace {

constexpr std::size_t kMaxRecords = 100000;  // records one run looks at

bool Allowed(const Session& s) { return s.HasRight("administrowanie"_cp); }

std::vector<std::uint32_t> RecordsOf(Session& s, const std::string& records, std::string& error) {
    std::vector<std::uint32_t> out;
    if (records.empty()) {
        for (std::uint32_t n = 1; out.size() < kMaxRecords; ++n) {
            const std::uint32_t number = s.ids.Number(kBookLetter, n);
            if (!s.db.Exists(number)) break;
            out.push_back(number);
        }
        return out;
    }
    if (records[0] == '@') {
        std::int32_t c = 0;
        const auto r = std::from_chars(records.data() + 1, records.data() + records.size(), c);
        const auto it = s.collections.find(c);
        if (r.ec != std::errc() || it == s.collections.end()) {
            error = "Nie ma kolekcji zdalnej "_cp + records.substr(1);
            return {};
        }
        out.assign(it->second.begin(), it->second.begin() + std::min(it->second.size(), kMaxRecords));
        return out;
    }
    std::size_t at = 0;
    while (at < records.size() && out.size() < kMaxRecords) {
        const auto bar = records.find('|', at);
        const std::string id = records.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
        if (!id.empty()) {
            const std::uint32_t n = s.ids.ParseShown(id);
            if (n == 0 || !s.db.Exists(n)) {
                error = "Nie ma rekordu "_cp + id;
                return {};
            }
            out.push_back(n);
        }
        if (bar == std::string::npos) break;
        at = bar + 1;
    }
    return out;
}

std::string CheckIsbns(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::string wrong;
    int bad = 0;
    for (const std::uint32_t n : numbers) {
        const auto row = s.db.Record(n);
        if (!row) continue;
        const RecordText record = RecordText::Parse(row->text);
        for (const FieldError& e : ValidateRecord(s.db, s.ids, s.ids.Letter(n), n, record)) {
            if (e.message.find("ISBN") == std::string::npos) continue;
            if (++bad <= 20) wrong += "\r\n" + s.ids.Shown(n) + ": " + e.message;
        }
    }
    std::string answer = "Sprawdzono rekordów: "_cp + std::to_string(numbers.size());
    if (bad == 0) return answer + ". Wszystkie numery ISBN są poprawne."_cp;
    answer += ". Błędne numery ISBN: "_cp + std::to_string(bad) + wrong;
    if (bad > 20) answer += "\r\n...";
    return answer;
}

void Program(Session& s, std::uint8_t, char letter) {
    const std::string id = s.in.Text(256);
    std::string parameters, records;
    if (letter == 'X') {
        parameters = s.in.Text();
        records = s.in.Text();
    }
    if (!Allowed(s)) {
        s.out.Answers({"Brak uprawnień do uruchamiania programów"_cp});
        return;
    }
    if (id != "1" && id != "2") {
        s.out.Answers({"Operacja nie jest dostępna"_cp});
        return;
    }
    if (letter == 'D') {
        // Neither program asks for parameters: nothing to start from.
        s.out.Answers({""});
        return;
    }
    std::string error;
    const std::vector<std::uint32_t> numbers = RecordsOf(s, records, error);
    if (!error.empty()) {
        s.out.Answers({error});
        return;
    }
    s.out.Answers({id == "1" ? CheckIsbns(s, numbers) : std::string()});
}

}  // namespace

void RegisterProgramRequests() { RegisterRequest(201, Program, "XD"); }

}  // namespace velt::server
