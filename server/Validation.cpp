#include "Validation.h"

#include "RecordIndex.h"
#include "Seeder.h"
#include "text/CpLiteral.h"

#include <ctime>

namespace velt::server {

namespace {

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t.tm_year + 1900;
}

// A value made safe for a message line: no CR, no LF, at most 60 bytes.
std::string Quoted(std::string_view v) {
    std::string out;
    for (const char c : v.substr(0, 60)) out.push_back(c == '\r' || c == '\n' ? ' ' : c);
    return out;
}

// A price as a NUMBER field stores it: blanks, digits, one separator and digits.
bool ValidPrice(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size() && v[i] == ' ') ++i;
    std::size_t digits = 0, separators = 0;
    for (; i < v.size(); ++i) {
        if (v[i] >= '0' && v[i] <= '9') ++digits;
        else if ((v[i] == '.' || v[i] == ',') && separators == 0) ++separators;
        else return false;
    }
    return digits > 0;
}

struct Checker {
    Catalogue& db;
    const Identifiers& ids;
    std::uint32_t number;
    const RecordText& record;
    std::vector<FieldError> errors;

    void Add(std::string message, std::string patterns) { errors.push_back({std::move(message), std::move(patterns)}); }

    // Every "^9" of the record must name an existing authority record; in
    // the person and subject tags one of that kind.
    void Links() {
        for (const auto& f : record.Fields()) {
            char wanted = 0;
            if (f.key.rfind("100Z.", 0) == 0 || f.key.rfind("700Z.", 0) == 0 || f.key.rfind("400Z.", 0) == 0)
                wanted = kPersonLetter;
            else if (f.key.rfind("650Z.", 0) == 0 || f.key.rfind("550Z.", 0) == 0 || f.key.rfind("450Z.", 0) == 0)
                wanted = kSubjectLetter;
            for (const auto& link : Subfields(f.value, '9')) {
                const std::uint32_t n = ids.ParseShown(link);
                if (n == 0 || IsBibliographic(ids.Letter(n)) || !db.Exists(n)) {
                    Add("Odsyłacz ^9 "_cp + Quoted(link) + " nie wskazuje żadnego rekordu wzorcowego"_cp, f.key);
                } else if (wanted && ids.Letter(n) != wanted) {
                    Add("Odsyłacz ^9 "_cp + Quoted(link) +
                            (wanted == kPersonLetter ? " powinien wskazywać rekord osoby"_cp : " powinien wskazywać rekord tematu"_cp),
                        f.key);
                } else if (n == number) {
                    Add("Rekord nie może odsyłać do samego siebie"_cp, f.key);
                }
            }
        }
    }

    void Parent() {
        const std::string value = record.Attribute("DOK_IDO");
        if (value.empty()) return;
        const std::uint32_t parent = ids.Parse(value);
        if (parent == 0 || !db.Exists(parent)) {
            Add("Rekord nadrzędny "_cp + Quoted(value) + " nie istnieje"_cp, "DOK_IDO");
            return;
        }
        if (parent == number) {
            Add("Rekord nie może być podrzędny wobec samego siebie"_cp, "DOK_IDO");
            return;
        }
        // The chain of superiors must not lead back here.
        std::uint32_t up = parent;
        for (int depth = 0; up != 0 && depth < 1000; ++depth) {
            up = db.Parent(up);
            if (number != 0 && up == number) {
                Add("Rekord nadrzędny "_cp + Quoted(value) + " jest podrzędny wobec tego rekordu"_cp, "DOK_IDO");
                return;
            }
        }
    }

    void Book() {
        if (Subfield(record.Value("245"), 'a').empty()) Add("Brak tytułu właściwego"_cp, "245Z.1.1.1.1");
        const auto isbns = record.Occurrences("020");
        for (const auto& [n, value] : isbns) {
            const std::string isbn = Subfield(value, 'a');
            if (isbn.empty()) continue;
            std::size_t digits = 0;
            for (const char c : isbn) digits += (c >= '0' && c <= '9') || c == 'X' || c == 'x';
            const std::string key = RecordText::DataKey("020", n);
            if (digits != 10 && digits != 13)
                Add("Numer ISBN powinien mieć 10 lub 13 cyfr: "_cp + Quoted(isbn), key);
            else if (!IsbnValid(isbn))
                Add("Błędna cyfra kontrolna numeru ISBN "_cp + Quoted(isbn), key);
        }
        const std::string date = Subfield(record.Value("260"), 'c');
        if (!date.empty()) {
            const int year = YearIn(date);
            const int last = CurrentYear() + 1;
            if (year == 0)
                Add("Data wydania nie zawiera roku: "_cp + Quoted(date), "260Z.1.1.1.1");
            else if (year < 1450 || year > last)
                Add("Rok wydania "_cp + std::to_string(year) + " spoza zakresu 1450-"_cp + std::to_string(last),
                    "260Z.1.1.1.1");
        }
        // Copies: the date of acquisition and the price as their fields store them.
        for (const auto& f : record.Fields()) {
            if (f.value.empty()) continue;
            if (f.key.rfind("876D.1.1.", 0) == 0 && !ValidDate(f.value))
                Add("Błędna data nabycia egzemplarza: "_cp + Quoted(f.value), f.key);
            if (f.key.rfind("876C.1.1.", 0) == 0 && !ValidPrice(f.value))
                Add("Błędna cena egzemplarza: "_cp + Quoted(f.value), f.key);
        }
    }

    // A MARC record as a cataloguer corrects it: a leader of 24 characters,
    // a title, ISBNs whose number (the first word of "^a", before any
    // qualifier) is sound, a year of publication the catalogue can index.
    void Marc() {
        const std::string leader = record.Attribute("L.1");
        if (!leader.empty() && leader.size() != 24)
            Add("Pozycja 000 powinna mieć 24 znaki, ma "_cp + std::to_string(leader.size()), "L.1");
        if (Subfield(record.Value("245"), 'a').empty()) Add("Brak tytułu właściwego"_cp, "245Z.1.1.1.1");
        for (const auto& [n, value] : record.Occurrences("020")) {
            std::string isbn = Subfield(value, 'a');
            isbn = isbn.substr(0, isbn.find(' '));
            if (isbn.empty()) continue;
            std::size_t digits = 0;
            for (const char c : isbn) digits += (c >= '0' && c <= '9') || c == 'X' || c == 'x';
            if ((digits == 10 || digits == 13) && !IsbnValid(isbn))
                Add("Błędna cyfra kontrolna numeru ISBN "_cp + Quoted(isbn), RecordText::DataKey("020", n));
        }
        const std::string date = Subfield(ImprintOf(record), 'c');
        const int year = YearIn(date);
        if (year != 0 && (year < 1450 || year > CurrentYear() + 1))
            Add("Rok wydania "_cp + std::to_string(year) + " spoza zakresu 1450-"_cp + std::to_string(CurrentYear() + 1),
                record.Value("260").empty() ? "264Z.1.1.1.1" : "260Z.1.1.1.1");
    }

    void Person() {
        if (Subfield(record.Value("100"), 'a').empty()) Add("Brak hasła osobowego"_cp, "100Z.1.1.1.1");
        for (const auto& [key, what] : {std::pair{"046F.1.1.1.1", "Błędna data urodzenia: "_cp},
                                        std::pair{"046G.1.1.1.1", "Błędna data śmierci: "_cp}}) {
            const std::string v = record.Attribute(key);
            if (!v.empty() && !ValidDate(v)) Add(what + Quoted(v), key);
        }
    }

    void Subject() {
        if (Subfield(record.Value("150"), 'a').empty()) Add("Brak hasła przedmiotowego"_cp, "150Z.1.1.1.1");
    }
};

}  // namespace

bool ValidDate(std::string_view d) {
    if (d.size() != 8) return false;
    for (const char c : d)
        if (c < '0' || c > '9') return false;
    const int year = std::atoi(std::string(d.substr(0, 4)).c_str());
    const int month = std::atoi(std::string(d.substr(4, 2)).c_str());
    const int day = std::atoi(std::string(d.substr(6, 2)).c_str());
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::vector<FieldError> ValidateRecord(Catalogue& db, const Identifiers& ids, char letter, std::uint32_t number,
                                       const RecordText& record) {
    Checker c{db, ids, number, record, {}};
    if (record.Fields().size() > kMaxFields)
        c.Add("Rekord ma więcej niż "_cp + std::to_string(kMaxFields) + " pól"_cp, "*");
    std::size_t bytes = 0;
    for (const auto& f : record.Fields()) bytes += f.key.size() + f.value.size() + 2;
    if (bytes > kMaxRecordBytes) c.Add("Rekord jest większy niż 4 MiB"_cp, "*");
    if (letter == kBookLetter) c.Book();
    else if (letter == kMarcLetter) c.Marc();
    else if (letter == kPersonLetter) c.Person();
    else if (letter == kSubjectLetter) c.Subject();
    c.Links();
    c.Parent();
    return std::move(c.errors);
}

std::string ErrorListText(const std::vector<FieldError>& errors) {
    std::string text;
    for (const auto& e : errors) text += e.message + "\r" + e.patterns + "\r";
    return text;
}

}  // namespace velt::server
