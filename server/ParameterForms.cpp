// The catalogue's items with parameter forms: their forms and scripts, the
// criteria they search by, the acquisitions report and the programs.

#include "ParameterForms.h"
#include "Links.h"

#include "RecordIndex.h"
#include "Fold.h"
#include "Indexes.h"
#include "ReaderRequests.h"
#include "RecordText.h"
#include "Seeder.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>

namespace velt::server {

namespace {

using Numbers = std::vector<std::uint32_t>;
using Pairs = std::map<std::string, std::string>;

std::string G(const std::string& name, const std::string& value) { return "{" + name + "=" + value + "}"; }

std::string Trim(std::string_view t) {
    const auto b = t.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return std::string(t.substr(b, t.find_last_not_of(' ') - b + 1));
}

// The first value of every name.
Pairs PairMap(std::string_view text) {
    Pairs out;
    for (auto& [name, value] : ReadParameterPairs(text)) out.emplace(std::move(name), std::move(value));
    return out;
}

std::string Value(const Pairs& p, const std::string& name) {
    const auto it = p.find(name);
    return it == p.end() ? std::string() : Trim(it->second);
}

// "YYYYMMDD" as a day number; none when it is no date.
std::optional<int> DaysOf(const std::string& date) {
    if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int y = std::stoi(date.substr(0, 4)), m = std::stoi(date.substr(4, 2)), d = std::stoi(date.substr(6, 2));
    // Days from civil (proleptic Gregorian).
    const int yy = y - (m <= 2);
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int days = era * 146097 + doe - 719468;
    if (DateOfDays(days) != date) return std::nullopt;
    return days;
}

std::string Shown(const std::string& date) { return date.substr(6, 2) + "." + date.substr(4, 2) + "." + date.substr(0, 4); }

Numbers AllBooks(Session& s) {
    return BibliographicNumbers(s.db, s.ids);
}

// --- the forms and scripts ---

const FormItem& YearCriterion() {
    static const FormItem item{
        "Rok wydania"_cp,
        "BEGIN\r"
        "{ lata wydania: od - do }\r"
        "LABEL 'Wydane w latach od:' ON 8, 12\r"
        "SPIN 'R.1' MASK 4 LIMIT 1900, 2100 ON 140, 10, 70\r"
        "LABEL 'do:' ON 220, 12\r"
        "SPIN 'R.2' MASK 4 LIMIT 1900, 2100 ON 245, 10, 70\r"
        "END\r"_cp,
        "[SHOW R.1]\r"
        "BEGIN GRUPA('R') POZYCJA = '.1' IF TRIM(POLE) = '' POLE = '1950' ENDIF BACK END\r"
        "[SHOW R.2]\r"
        "BEGIN GRUPA('R') POZYCJA = '.2' IF TRIM(POLE) = '' POLE = DIV(DATE(''), '10000', '0') ENDIF BACK END\r"
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "{ rok początkowy nie może być późniejszy od końcowego }\r"
        "POZYCJA = 'R.1' OD = TRIM(POLE)\r"
        "POZYCJA = 'R.2' DO = TRIM(POLE)\r"
        "IF GT(OD, DO) PRINT('Rok początkowy jest późniejszy od końcowego|R.1') ENDIF\r"
        "END\r"_cp};
    return item;
}

const FormItem& PublisherCriterion() {
    static const FormItem item{
        "Wydawca"_cp,
        "BEGIN\r"
        "LABEL 'Nazwa wydawcy (początek):' ON 8, 12\r"
        "FIELD 'W.1' LIMIT 80 ON 170, 10, 220\r"
        "LABEL 'Miejsce wydania:' ON 8, 42\r"
        "COMBO 'W.2' MASK '|dowolne|Gdańsk|Gdańsk|Katowice|Katowice|Kraków|Kraków|Lublin|Lublin|Łódź|Łódź|'\r"
        "  + 'Olsztyn|Olsztyn|Poznań|Poznań|Warszawa|Warszawa|Wrocław|Wrocław|Zielona Góra|Zielona Góra|'\r"
        "  ON 170, 40, 220\r"
        "END\r"_cp,
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "POZYCJA = 'W.1' N = TRIM(POLE)\r"
        "POZYCJA = 'W.2' M = TRIM(POLE)\r"
        "IF N = '' IF M = '' PRINT('Podaj nazwę wydawcy albo miejsce wydania|W.1') ENDIF ENDIF\r"
        "END\r"_cp};
    return item;
}

}  // namespace

const FormItem& LanguageCriterion() {
    static const FormItem item{
        "Język tekstu"_cp,
        "BEGIN\r"
        "LABEL 'Język tekstu:' ON 8, 10\r"
        "COMBO 'J.1' MASK '|dowolny|pol|polski|eng|angielski|ger|niemiecki|fre|francuski|rus|rosyjski|' ON 110, 8, 170\r"
        "END\r"_cp,
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "{ kod języka małymi literami, bez odstępów }\r"
        "GRUPA('J') POZYCJA = '.1' POLE = LO(TRIM(POLE)) BACK\r"
        "END\r"_cp};
    return item;
}

std::vector<std::pair<std::string, std::string>> ReadParameterPairs(std::string_view text) {
    const auto unescape = [](std::string_view t) {
        std::string out;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\x1B' && i + 1 < t.size() && t[i + 1] == '1') {
                out.push_back('|');
                ++i;
            } else {
                out.push_back(t[i]);
            }
        }
        return out;
    };
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto bar = text.find('|', at);
        if (bar == std::string_view::npos) break;
        const auto end = text.find('|', bar + 1);
        const std::size_t valueEnd = end == std::string_view::npos ? text.size() : end;
        pairs.emplace_back(unescape(text.substr(at, bar - at)), unescape(text.substr(bar + 1, valueEnd - bar - 1)));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return pairs;
}

const std::vector<FormItem>& ParameterCriteria() {
    static const std::vector<FormItem> items = {YearCriterion(), PublisherCriterion()};
    return items;
}

const FormItem& AcquisitionsReport() {
    static const FormItem item{
        "Wykaz nabytków"_cp,
        "BEGIN\r"
        "LABEL 'Nabytki od dnia:' ON 8, 12\r"
        "DATE 'D.1' ON 120, 10, 90\r"
        "LABEL 'do dnia:' ON 222, 12\r"
        "DATE 'D.2' ON 280, 10, 90\r"
        "LABEL 'Kolejność:' ON 8, 42\r"
        "COMBO 'S.1' MASK 'D|według daty nabycia|T|według tytułu|S|według sygnatury|' ON 120, 40, 250\r"
        "END\r"_cp,
        "[SHOW D.1]\r"
        "BEGIN GRUPA('D') POZYCJA = '.1' IF TRIM(POLE) = '' POLE = DATE('-30') ENDIF BACK END\r"
        "[SHOW D.2]\r"
        "BEGIN GRUPA('D') POZYCJA = '.2' IF TRIM(POLE) = '' POLE = DATE('') ENDIF BACK END\r"
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "POZYCJA = 'D.1' OD = TRIM(POLE)\r"
        "POZYCJA = 'D.2' DO = TRIM(POLE)\r"
        "IF OD = '' PRINT('Podaj datę początkową|D.1') ENDIF\r"
        "IF DO = '' PRINT('Podaj datę końcową|D.2') ENDIF\r"
        "IF GT(OD, DO) PRINT('Data początkowa jest późniejsza od końcowej|D.1') ENDIF\r"
        "END\r"_cp};
    return item;
}

const FormItem& IsbnProgram() {
    static const FormItem item{
        "Sprawdzenie numerów ISBN"_cp,
        "BEGIN\r"
        "CHECK 'I.1' MASK 'Sprawdź cyfry kontrolne numerów ISBN' ON 8, 10, 320\r"
        "CHECK 'I.2' MASK 'Wypisz rekordy bez numeru ISBN' ON 8, 34, 320\r"
        "END\r"_cp,
        "[HELP WYKONAJ]\r"
        "BEGIN\r"
        "POZYCJA = 'I.1' A = POLE POZYCJA = 'I.2' B = POLE\r"
        "IF A # 'T' IF B # 'T' PRINT('Zaznacz co najmniej jedno sprawdzenie|I.1') ENDIF ENDIF\r"
        "END\r"_cp};
    return item;
}

const FormItem& NoteProgram() {
    static const FormItem item{
        "Zgłoszenie uwagi do opisu"_cp,
        "BEGIN\r"
        "TEXT 'T.1' ON 8, 8, 360, 24\r"
        "LABEL 'Rodzaj uwagi:' ON 8, 44\r"
        "COMBO 'U.1' MASK 'B|błąd w opisie|D|brak danych|I|inna uwaga|' ON 110, 42, 258\r"
        "LABEL 'Treść:' ON 8, 72\r"
        "MEMO 'U.2' LIMIT 500 ON 8, 90, 360, 80\r"
        "END\r"_cp,
        "[SHOW T.1]\r"
        "BEGIN POZYCJA = 'REKORD' PRINT('Uwaga do rekordu ' + POLE + PR(', zgłasza ', EXTERNAL('UN'))) END\r"
        "[HELP WYKONAJ]\r"
        "BEGIN POZYCJA = 'U.2' IF TRIM(POLE) = '' PRINT('Wpisz treść uwagi|U.2') ENDIF END\r"_cp};
    return item;
}

std::string ProgramGroups(const Session& s) {
    std::string d;
    if (s.HasRight("administrowanie"_cp)) {
        d += G("p", G("nam", IsbnProgram().name) + G("id", std::to_string(kIsbnProgram)) + G("opt", "SLR") +
                        G("cal", "isbn") + G("par", IsbnProgram().form) + G("act", IsbnProgram().script));
        d += G("p", G("nam", "Przeliczenie indeksów"_cp) + G("id", std::to_string(kReindexProgram)) + G("cal", "indeksy"));
    }
    // Notes are taken from readers who logged in.
    if (s.LoggedIn())
        d += G("p", G("nam", NoteProgram().name) + G("id", std::to_string(kNoteProgram)) + G("cal", "uwagi") +
                        G("par", NoteProgram().form) + G("act", NoteProgram().script));
    return d;
}

// --- criteria ---

std::optional<Numbers> CriterionWithParameters(Session& s, const std::string& name, const std::string& parameters,
                                               std::string& error) {
    const Pairs p = PairMap(parameters);
    if (Fold(name) == Fold(YearCriterion().name)) {
        const auto year = [&](const std::string& field, int fallback) {
            const std::string v = Value(p, field);
            if (v.empty()) return fallback;
            int n = 0;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
            if (ec != std::errc() || end != v.data() + v.size() || v.size() > 4) {
                error = "Niepoprawny rok \""_cp + v + "\"";
                return fallback;
            }
            return n;
        };
        const int from = year("R.1", 0), to = year("R.2", 9999);
        if (!error.empty()) return Numbers{};
        if (from > to) {
            error = "Rok początkowy jest późniejszy od końcowego"_cp;
            return Numbers{};
        }
        Statement q(s.db.Db(), "SELECT num FROM records WHERE year BETWEEN ?1 AND ?2 ORDER BY num");
        q.Bind(1, from).Bind(2, to);
        Numbers out;
        while (q.Step()) out.push_back(static_cast<std::uint32_t>(q.Int(0)));
        return out;
    }
    if (Fold(name) == Fold(LanguageCriterion().name)) {
        // A pair without a name ("||": nothing chosen) restricts nothing.
        const std::string language = Value(p, "J.1");
        if (language.empty()) return AllBooks(s);
        const IndexDef* index = IndexByCode("JE");
        const std::string key = HeadingKey(*index, language);
        Numbers found;
        s.db.EntryRange(index->id, key + "\x01", key + "\x02", [&found](std::string_view, std::uint32_t n) {
            found.push_back(n);
            return true;
        });
        std::sort(found.begin(), found.end());
        return found;
    }
    if (Fold(name) == Fold(PublisherCriterion().name)) {
        const std::string publisher = Value(p, "W.1"), place = Value(p, "W.2");
        if (publisher.empty() && place.empty()) {
            error = "Podaj nazwę wydawcy albo miejsce wydania"_cp;
            return Numbers{};
        }
        Numbers found;
        if (!publisher.empty()) {
            const IndexDef* index = IndexByCode("WY");
            const std::string key = HeadingKey(*index, publisher);
            s.db.EntryRange(index->id, key, key + "\xFF\xFF\xFF\xFF", [&found](std::string_view, std::uint32_t n) {
                found.push_back(n);
                return true;
            });
            std::sort(found.begin(), found.end());
            found.erase(std::unique(found.begin(), found.end()), found.end());
        } else {
            found = AllBooks(s);
        }
        if (place.empty()) return found;
        const std::string wanted = Fold(place);
        Numbers out;
        for (const auto n : found) {
            const auto row = s.db.Record(n);
            if (row && Fold(Subfield(RecordText::Parse(row->text).Value("260"), 'a')) == wanted) out.push_back(n);
        }
        return out;
    }
    return std::nullopt;
}

// --- the acquisitions report ---

int TodayDays() { return static_cast<int>(std::time(nullptr) / 86400); }

std::string DateOfDays(int days) {
    // Civil from days (proleptic Gregorian).
    const int z = days + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp + (mp < 10 ? 3 : -9);
    const int y = yoe + era * 400 + (m <= 2);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
    return text;
}

std::string AcquisitionDate(std::uint32_t number, int todayDays) {
    return DateOfDays(todayDays - static_cast<int>((static_cast<std::uint64_t>(number) * 7919u) % 1826u));
}

std::optional<std::string> ParameterReportText(Session& s, std::int32_t report, const std::string& parameters) {
    if (report != kAcquisitionsReport) return std::nullopt;
    const Pairs p = PairMap(parameters);
    const std::string from = Value(p, "D.1"), to = Value(p, "D.2");
    std::string order = Value(p, "S.1");
    if (order.empty()) order = "D";
    const auto fromDays = DaysOf(from), toDays = DaysOf(to);
    if (!fromDays || !toDays || *fromDays > *toDays || (order != "D" && order != "T" && order != "S"))
        return std::nullopt;
    struct Line {
        std::string date, call, title;
    };
    std::vector<Line> lines;
    const int today = TodayDays();
    for (const auto n : AllBooks(s)) {
        const std::string date = AcquisitionDate(n, today);
        if (date < from || date > to) continue;
        const auto row = s.db.Record(n);
        if (!row) continue;
        const RecordText r = RecordText::Parse(row->text);
        lines.push_back({date, Subfield(r.Value("852"), 'h'), Subfield(r.Value("245"), 'a')});
    }
    std::stable_sort(lines.begin(), lines.end(), [&order](const Line& a, const Line& b) {
        if (order == "T") return Fold(a.title) < Fold(b.title);
        if (order == "S") return a.call < b.call;
        return a.date < b.date;
    });
    static const std::map<std::string, std::string> orders = {
        {"D", "według daty nabycia"_cp}, {"T", "według tytułu"_cp}, {"S", "według sygnatury"_cp}};
    std::string text = "WYKAZ NABYTKÓW\r\n"_cp + "od " + Shown(from) + " do " + Shown(to) + ", " + orders.at(order) +
                       "\r\n\r\n";
    constexpr std::size_t kListed = 5000;
    for (std::size_t i = 0; i < lines.size() && i < kListed; ++i) {
        std::string call = lines[i].call;
        call.resize(std::max<std::size_t>(call.size(), 14), ' ');
        text += Shown(lines[i].date) + "  " + call + "  " + lines[i].title + "\r\n";
    }
    if (lines.size() > kListed) text += "(pominięto pozycji: "_cp + std::to_string(lines.size() - kListed) + ")\r\n";
    text += "\r\nRazem pozycji: "_cp + std::to_string(lines.size()) + "\r\n";
    return text;
}

// --- the programs ---

namespace {

std::string NoRights() { return "Brak uprawnień do uruchomienia programu"_cp; }

// The records a program is run for: all books, "@" and a collection of this
// connection, or identifiers each followed by "|".
std::optional<Numbers> ProgramRecords(Session& s, const std::string& records, std::string& error) {
    if (records.empty()) return AllBooks(s);
    if (records[0] == '@') {
        std::int32_t n = 0;
        const auto [end, ec] = std::from_chars(records.data() + 1, records.data() + records.size(), n);
        const auto it = s.collections.find(n);
        if (ec != std::errc() || end != records.data() + records.size() || it == s.collections.end()) {
            error = "Nie ma kolekcji zdalnej "_cp + records.substr(1);
            return std::nullopt;
        }
        return it->second;
    }
    Numbers out;
    std::size_t at = 0;
    while (at < records.size()) {
        auto bar = records.find('|', at);
        if (bar == std::string::npos) bar = records.size();
        const std::string id = Trim(std::string_view(records).substr(at, bar - at));
        if (!id.empty()) {
            const std::uint32_t n = s.ids.Parse(id);
            if (!n || !s.db.Exists(n)) {
                error = "Nie ma rekordu "_cp + id;
                return std::nullopt;
            }
            out.push_back(n);
        }
        at = bar + 1;
    }
    return out;
}

std::string CheckIsbns(Session& s, const Pairs& p, const std::string& records) {
    const bool digits = Value(p, "I.1") == "T", missing = Value(p, "I.2") == "T";
    if (!digits && !missing) return "Nie wybrano żadnego sprawdzenia"_cp;
    std::string error;
    const auto numbers = ProgramRecords(s, records, error);
    if (!numbers) return error;
    std::size_t checked = 0, good = 0;
    std::vector<std::string> bad, without;
    for (const auto n : *numbers) {
        if (!IsBibliographic(s.ids.Letter(n))) continue;
        const auto row = s.db.Record(n);
        if (!row) continue;
        ++checked;
        const std::string isbn = Subfield(RecordText::Parse(row->text).Value("020"), 'a');
        if (isbn.empty()) without.push_back(s.ids.Shown(n));
        else if (IsbnValid(isbn)) ++good;
        else bad.push_back(s.ids.Shown(n) + " (" + isbn + ")");
    }
    std::string text = "Sprawdzono rekordów: "_cp + std::to_string(checked);
    const auto list = [&text](const std::vector<std::string>& ids) {
        for (std::size_t i = 0; i < ids.size() && i < 20; ++i) text += (i ? ", " : ": ") + ids[i];
        if (ids.size() > 20) text += ", …"_cp;
    };
    if (digits) {
        text += "\r\nPoprawne numery ISBN: "_cp + std::to_string(good) + "\r\nBłędne numery ISBN: "_cp +
                std::to_string(bad.size());
        list(bad);
    }
    if (missing) {
        text += "\r\nBez numeru ISBN: "_cp + std::to_string(without.size());
        list(without);
    }
    return text;
}

std::string TakeNote(Session& s, const Pairs& p) {
    if (!s.LoggedIn()) return "Zgłoszenie uwagi wymaga zalogowania"_cp;
    if (Value(p, "ZRODLO") != "katalog") return "Brak źródła zgłoszenia"_cp;
    const std::string id = Value(p, "REKORD");
    const std::uint32_t n = s.ids.Parse(id);
    if (!n || !s.db.Exists(n)) return "Nie ma rekordu "_cp + id;
    const std::string kind = Value(p, "U.1");
    if (kind != "B" && kind != "D" && kind != "I") return "Nieznany rodzaj uwagi \""_cp + kind + "\"";
    if (Value(p, "U.2").empty()) return "Brak treści uwagi"_cp;
    return {};
}

void Program(Session& s, std::uint8_t, char letter) {
    const std::string id = s.in.Text(256);
    std::string parameters, records;
    if (letter == 'X') {
        parameters = s.in.Text();
        records = s.in.Text();
    }
    const bool admin = s.HasRight("administrowanie"_cp);
    std::string answer;
    if (id == std::to_string(kIsbnProgram)) {
        if (!admin) answer = NoRights();
        else answer = letter == 'D' ? "I.1|T|" : CheckIsbns(s, PairMap(parameters), records);
    } else if (id == std::to_string(kReindexProgram)) {
        if (!admin) answer = NoRights();
        else answer = letter == 'D' ? std::string() : "Indeksy katalogu są aktualne"_cp;
    } else if (id == std::to_string(kNoteProgram)) {
        if (letter == 'D') answer = s.LoggedIn() ? std::string("ZRODLO|katalog|") : "Zgłoszenie uwagi wymaga zalogowania"_cp;
        else answer = TakeNote(s, PairMap(parameters));
    } else if (auto links = LinksProgram(s, id, letter, parameters, records)) {
        answer = std::move(*links);
    } else if (auto reader = ReaderProgram(s, id, letter, parameters)) {
        answer = std::move(*reader);
    } else {
        answer = "Operacja nie jest dostępna"_cp;
    }
    s.out.Answers({answer});
}

}  // namespace

void RegisterProgramRequests() { RegisterRequest(201, Program, "XD"); }

}  // namespace velt::server
