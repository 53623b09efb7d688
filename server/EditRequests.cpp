// Record editing (200 and a letter): F form description, A field-event
// script, N initial record, O open and reserve, X release, U save, T check,
// D delete, H help of a field, I field services, G and L modification
// programs over a remote collection or a record list, S sorting a record's
// components. Every answer puts the error text (empty on success) first and
// the data second; a save or check that finds errors sends them as the
// error list (message CR patterns CR, per error). Every letter needs a
// login with the right "modyfikowanie"; the modification programs
// (ModificationPrograms.h) need "administrowanie" as well.

#include "Forms.h"
#include "Indexes.h"
#include "ModificationPrograms.h"
#include "RecordChanges.h"
#include "RecordLocks.h"
#include "RecordStore.h"
#include "Seeder.h"
#include "Session.h"
#include "TestControl.h"
#include "lang/RecordProgram.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <climits>

namespace velt::server {

namespace {

constexpr std::size_t kMaxShort = 4096;       // identifiers, codes, field names, sort keys

const std::string kRightEdit = "modyfikowanie"_cp;
const std::string kRightAdmin = "administrowanie"_cp;

// Why the session may not edit, empty when it may.
std::string Refused(const Session& s, const std::string& right = kRightEdit) {
    if (!s.LoggedIn()) return "Najpierw należy się zalogować"_cp;
    if (!s.HasRight(kRightEdit)) return "Brak uprawnień do modyfikowania rekordów"_cp;
    if (!s.HasRight(right)) return "Operacja dostępna jedynie dla administratora"_cp;
    return {};
}

std::string Printable(std::string_view t) {
    std::string out;
    for (const char c : t.substr(0, 40)) out.push_back(static_cast<unsigned char>(c) < 32 ? '?' : c);
    return out;
}

// Names the record as users know it when the identifier reads as one.
std::string NoRecord(const Session& s, const std::string& id) {
    const std::uint32_t n = s.ids.Parse(id);
    return "Brak rekordu "_cp + (n ? s.ids.Shown(n) : Printable(id));
}

// The record a client names, 0 when it names none that exists.
std::uint32_t ExistingRecord(Session& s, const std::string& id) {
    const std::uint32_t n = s.ids.Parse(id);
    return n != 0 && s.db.Exists(n) ? n : 0;
}

// What the tests' switch makes of a form or script: its first half, cut at
// a line end, and a line the reader stumbles over.
std::string Damaged(const std::string& text) {
    const auto cut = text.rfind('\r', text.size() / 2);
    return text.substr(0, cut == std::string::npos ? text.size() / 2 : cut) + "\r\t???";
}

// The record as the open request sends it: the record number and the
// change stamp first, marked read-only, then the stored fields.
std::string OpenText(Session& s, std::uint32_t number, const std::string& stored) {
    std::string stamp, rest;
    const RecordText record = RecordText::Parse(stored);
    for (const auto& f : record.Fields()) {
        if (IsReadOnlyKey(f.key)) {
            if (f.key == "005Z.1.1.1.1") stamp = f.value;
            continue;
        }
        rest += f.key + "=" + f.value + "\r";
    }
    return "*001Z.1.1.1.1=" + s.ids.Shown(number) + "\r*005Z.1.1.1.1=" + stamp + "\r" + rest;
}

// Saves are refused while another session holds the record.
WriteGuard NotHeldByOthers(Session& s, std::uint32_t number) {
    return [&s, number]() -> std::string {
        const auto holder = SharedLocks().Holder(number);
        if (holder && holder->session != s.id) return HeldMessage(s.ids.Shown(number), *holder);
        return {};
    };
}

RecordEdit Changes(const std::string& text, bool takenMarc = false) {
    std::vector<Change> changes = ParseChanges(text);
    if (takenMarc) changes = TakenMarcChanges(std::move(changes));
    return [changes = std::move(changes)](std::vector<RecordField>& fields) { return ApplyChanges(fields, changes); };
}

// A new book sent as an empty record (the links window's "Dodaj rekord"
// adds a part so, to be described later; the editor always sends the
// fields of its form) is made of its kind's initial record under a title
// that says so, which the checks then find and a cataloguer looks for.
RecordEdit DescribedOrNew(RecordEdit edit, char letter, std::string_view sent) {
    if (letter != 'K' || sent.find_first_not_of("\r\n ") != std::string_view::npos) return edit;
    return [edit = std::move(edit)](std::vector<RecordField>& fields) {
        const std::vector<RecordField> initial = fields;
        std::vector<FieldError> errors = edit(fields);
        const bool untouched = errors.empty() && fields.size() == initial.size() &&
                               std::equal(fields.begin(), fields.end(), initial.begin(), [](const RecordField& a, const RecordField& b) {
                                   return a.key == b.key && a.value == b.value;
                               });
        if (!untouched) return errors;
        auto title = std::find_if(fields.begin(), fields.end(), [](const RecordField& f) { return f.key == "245Z.1.1.1.1"; });
        if (title == fields.end()) fields.push_back({"245Z.1.1.1.1", "^aNowy rekord"});
        else if (title->value.empty()) title->value = "^aNowy rekord";
        return errors;
    };
}

// U and T: the identifier is a record's or, for a new record, a form code.
void SaveOrCheck(Session& s, bool store, const std::string& id, const std::string& changes) {
    const std::string refused = Refused(s);
    const std::string failed = store ? "Rekord nie został zapisany, ponieważ zawiera błędy"_cp : "Rekord zawiera błędy"_cp;
    // A check answers a refusal as a one-error list, so that it shows.
    auto refuse = [&](const std::string& why) {
        if (store) s.out.Answers({why});
        else s.out.Answers({why, why + "\r*\r"});
    };
    if (!refused.empty()) return refuse(refused);
    WriteOutcome outcome;
    if (IsFormCode(id)) {
        outcome = WriteRecord(s.db, s.ids, id[0], 0, InitialRecord(id[0]), {},
                              DescribedOrNew(Changes(changes, id[0] == kMarcLetter), id[0], changes), store);
    } else {
        const std::uint32_t number = ExistingRecord(s, id);
        if (number == 0) return refuse(NoRecord(s, id));
        outcome = WriteRecord(s.db, s.ids, 0, number, {}, NotHeldByOthers(s, number), Changes(changes), store);
    }
    if (!outcome.refusal.empty()) return refuse(outcome.refusal);
    if (!outcome.errors.empty()) return s.out.Answers({failed, ErrorListText(outcome.errors)});
    if (!store) return s.out.Answers({"", ""});
    SharedLocks().Release(outcome.number, s.id);
    s.out.Answers({"", s.ids.Stored(outcome.number)});
}

void Open(Session& s, const std::string& id) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    const std::uint32_t number = ExistingRecord(s, id);
    if (number == 0) return s.out.Answers({NoRecord(s, id)});
    if (const auto holder = SharedLocks().Acquire(number, s.id, s.user->name))
        return s.out.Answers({HeldMessage(s.ids.Shown(number), *holder)});
    const auto record = s.db.Record(number);
    if (!record) {  // deleted since the test above
        SharedLocks().Release(number, s.id);
        return s.out.Answers({NoRecord(s, id)});
    }
    s.out.Answers({"", OpenText(s, number, record->text)});
}

void Release(Session& s, const std::string& id) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    const std::uint32_t number = s.ids.Parse(id);
    if (number != 0 && !SharedLocks().Release(number, s.id)) {
        if (const auto holder = SharedLocks().Holder(number))
            return s.out.Answers({"Rekord "_cp + s.ids.Shown(number) + " nie jest zarezerwowany przez tę sesję"_cp});
    }
    s.out.Answers({""});
}

void Delete(Session& s, const std::string& id) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    const std::uint32_t number = ExistingRecord(s, id);
    if (number == 0) return s.out.Answers({NoRecord(s, id)});
    // Only what the caller has opened (and so reserved) may go.
    const std::string why = DeleteRecord(s.db, s.ids, number, [&s, number]() -> std::string {
        const auto holder = SharedLocks().Holder(number);
        if (!holder) return "Rekord "_cp + s.ids.Shown(number) + " nie został otwarty do usunięcia"_cp;
        if (holder->session != s.id) return HeldMessage(s.ids.Shown(number), *holder);
        return {};
    });
    if (!why.empty()) return s.out.Answers({why});
    SharedLocks().Release(number, s.id);
    s.out.Answers({""});
}

// The highest shelf number used under a shelf prefix, plus one.
std::string NextShelfMark(Session& s, const std::string& prefix) {
    const IndexDef* index = IndexByCode("SY");
    const std::string start = HeadingKey(*index, prefix) + " ";
    std::uint64_t highest = 0;
    s.db.EntryRange(index->id, start, start + "\xFF", [&](std::string_view key, std::uint32_t) {
        std::uint64_t n = 0;
        std::size_t i = start.size();
        for (; i < key.size() && key[i] >= '0' && key[i] <= '9' && n < 1000000000000ull; ++i) n = n * 10 + (key[i] - '0');
        if (i < key.size() && key[i] == '\x01') highest = std::max(highest, n);
        return true;
    });
    return prefix + " " + std::to_string(highest + 1);
}

void Service(Session& s, const std::string& which, const std::string& text, const std::string&) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    const char c = which.empty() ? 0 : which[0];
    if (c == 'I') {
        // The ISBN check of a form's field: empty when it is right.
        std::size_t digits = 0;
        for (const char ch : text) digits += (ch >= '0' && ch <= '9') || ch == 'X' || ch == 'x';
        if (text.empty() || IsbnValid(text)) return s.out.Answers({""});
        if (digits != 10 && digits != 13) return s.out.Answers({"Numer ISBN powinien mieć 10 lub 13 cyfr"_cp});
        return s.out.Answers({"Błędna cyfra kontrolna numeru ISBN"_cp});
    }
    if (c == 'S') {
        std::string prefix(text.substr(0, 20));
        while (!prefix.empty() && prefix.back() == ' ') prefix.pop_back();
        return s.out.Answers({NextShelfMark(s, prefix.empty() ? "II" : prefix)});
    }
    s.out.Answers({"Nieznana usługa pola "_cp + Printable(which)});
}

void Help(Session& s, const std::string& code, const std::string& field) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    if (code.empty() || !IsFormCode(code.substr(0, 1)))
        return s.out.Answers({"Nieznany formularz "_cp + Printable(code)});
    s.out.Answers({"", FieldHelp(code[0], field)});
}

// Runs a modification program over records: all or nothing.
void Modify(Session& s, const std::vector<std::uint32_t>& numbers, const std::string& program) {
    s.out.Answers({ModifyRecords(s.db, s.ids, s.id, numbers, program).error});
}

// The program's text and a record list may be long, but not without end.
std::string TooLong(const std::string& what) {
    return what + " jest dłuższy niż "_cp + std::to_string(RecordProgram::kMaxText >> 20) + " MiB"_cp;
}

void ModifyCollection(Session& s, std::int32_t collection, const std::string& program, bool tooLong) {
    if (const std::string why = Refused(s, kRightAdmin); !why.empty()) return s.out.Answers({why});
    if (tooLong) return s.out.Answers({TooLong("Program")});
    const auto it = s.collections.find(collection);
    if (it == s.collections.end()) return s.out.Answers({"Nieznana kolekcja "_cp + std::to_string(collection)});
    Modify(s, it->second, program);
}

void ModifyList(Session& s, const std::string& list, const std::string& program, bool listTooLong, bool tooLong) {
    if (const std::string why = Refused(s, kRightAdmin); !why.empty()) return s.out.Answers({why});
    if (tooLong) return s.out.Answers({TooLong("Program")});
    if (listTooLong) return s.out.Answers({TooLong("Wykaz rekordów"_cp)});
    std::vector<std::uint32_t> numbers;
    std::size_t at = 0;
    while (at < list.size()) {
        const auto bar = std::min(list.find('|', at), list.size());
        std::string id = list.substr(at, bar - at);
        at = bar + 1;
        while (!id.empty() && id.back() == ' ') id.pop_back();
        while (!id.empty() && id.front() == ' ') id.erase(0, 1);
        if (id.empty()) continue;
        const std::uint32_t n = s.ids.Parse(id);
        // Nothing is changed when the list names what cannot be changed.
        if (n == 0) return s.out.Answers({"Nie zmieniono żadnego rekordu. Błędny identyfikator "_cp + Printable(id)});
        numbers.push_back(n);
    }
    Modify(s, numbers, program);
}

// The components of a record (those attached to it) put in the order of a
// sort key; the order is kept in the record's DOK_SKL.
void SortComponents(Session& s, const std::string& id, const std::string& key) {
    if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
    const std::uint32_t number = ExistingRecord(s, id);
    if (number == 0) return s.out.Answers({NoRecord(s, id)});
    if (key != "numer tomu"_cp) return s.out.Answers({"Nieznany klucz sortowania "_cp + Printable(key)});
    const auto children = s.db.Children(number);
    if (children.empty())
        return s.out.Answers({"Rekord "_cp + s.ids.Shown(number) + " nie ma rekordów składowych"_cp});
    struct Part {
        long volume;
        std::uint32_t number;
    };
    std::vector<Part> parts;
    for (const std::uint32_t c : children) {
        const auto r = s.db.Record(c);
        const std::string v = r ? Subfield(RecordText::Parse(r->text).Value("245"), 'n') : std::string();
        const auto digit = v.find_first_of("0123456789");
        parts.push_back({digit == std::string::npos ? LONG_MAX : std::strtol(v.c_str() + digit, nullptr, 10), c});
    }
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.volume < b.volume; });
    std::string order;
    for (const Part& p : parts) order += s.ids.Shown(p.number) + "|";
    const WriteOutcome outcome = WriteRecord(s.db, s.ids, 0, number, {}, NotHeldByOthers(s, number),
                                             [&order](std::vector<RecordField>& fields) {
                                                 return ApplyChanges(fields, {{"DOK_SKL", order}});
                                             },
                                             true);
    if (!outcome.refusal.empty()) return s.out.Answers({outcome.refusal});
    if (!outcome.errors.empty()) return s.out.Answers({outcome.errors.front().message});
    s.out.Answers({""});
}

void Edit(Session& s, std::uint8_t, char letter) {
    // The whole request is read before anything is decided.
    switch (letter) {
        case 'F':
        case 'A': {
            const std::string code = s.in.Text(kMaxShort);
            if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
            if (!IsFormCode(code)) return s.out.Answers({"Nieznany formularz "_cp + Printable(code)});
            std::string text = letter == 'F' ? FormDescription(code[0]) : EventScript(code[0]);
            if (s.control.Broken(letter, code[0])) text = Damaged(text);
            return s.out.Answers({"", text});
        }
        case 'N': {
            const std::string code = s.in.Text(kMaxShort);
            if (const std::string why = Refused(s); !why.empty()) return s.out.Answers({why});
            if (!IsFormCode(code)) return s.out.Answers({"Nieznany formularz "_cp + Printable(code)});
            return s.out.Answers({"", InitialRecord(code[0])});
        }
        case 'O': return Open(s, s.in.Text(kMaxShort));
        case 'X': return Release(s, s.in.Text(kMaxShort));
        case 'D': return Delete(s, s.in.Text(kMaxShort));
        case 'U':
        case 'T': {
            const std::string id = s.in.Text(kMaxShort);
            const std::string changes = s.in.Text();
            return SaveOrCheck(s, letter == 'U', id, changes);
        }
        case 'H': {
            const std::string code = s.in.Text(kMaxShort);
            const std::string field = s.in.Text(kMaxShort);
            return Help(s, code, field);
        }
        case 'I': {
            const std::string which = s.in.Text(kMaxShort);
            const std::string text = s.in.Text(kMaxShort);
            const std::string other = s.in.Text(kMaxShort);
            return Service(s, which, text, other);
        }
        case 'G': {
            const std::int32_t collection = s.in.Integer();
            bool tooLong = false;
            const std::string program = s.in.Text(RecordProgram::kMaxText, tooLong);
            return ModifyCollection(s, collection, program, tooLong);
        }
        case 'L': {
            bool listTooLong = false, tooLong = false;
            const std::string list = s.in.Text(RecordProgram::kMaxText, listTooLong);
            const std::string program = s.in.Text(RecordProgram::kMaxText, tooLong);
            return ModifyList(s, list, program, listTooLong, tooLong);
        }
        default: {  // S
            const std::string id = s.in.Text(kMaxShort);
            const std::string key = s.in.Text(kMaxShort);
            return SortComponents(s, id, key);
        }
    }
}

}  // namespace

void RegisterEditRequests() { RegisterRequest(200, Edit, "FANOXUTDHIGLS"); }

}  // namespace velt::server
