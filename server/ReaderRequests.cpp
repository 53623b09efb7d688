// Request 38 and the circulation's indexes and programs.
//
// A request's text is "&client=VELT_TCP" and the operation's parameters,
// each "&" name "=" value with "%" written "%25" and "&" written "%26". The
// answer is "&wynik=Z" and the operation's values, or "&wynik=N&err=" and
// why not. Every operation but the identification ("op" A, with "nazwisko"
// or "bar" and "haslo") names the reader by "karta" and "haslo". A reader
// identified on a connection may read the account indexes there, no one
// else: a card number alone opens nothing.

#include "ReaderRequests.h"

#include "BookFields.h"
#include "Circulation.h"
#include "ParameterForms.h"
#include "RecordText.h"
#include "Seeder.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <map>

namespace velt::server {

namespace {

constexpr std::size_t kMaxRequest = 4096;

const std::string kEsc = "\x1B";
const std::string kSub = "\x1A";

std::string Cmd(char letter, const std::string& argument) { return kEsc + letter + argument + kSub; }
std::string Bold(const std::string& t) { return Cmd('S', "B") + t + Cmd('S', ""); }
std::string Link(const std::string& command, const std::string& text) { return Cmd('L', command + "||" + text); }
std::string Colour(const std::string& c) { return Cmd('C', c); }

std::string Plain(std::string_view t) {
    std::string out;
    for (const char c : t) out.push_back(c == '\x1B' || c == '\x1A' || c == '\r' || c == '\n' ? ' ' : c);
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A value of an answer: "%", "&" and the bytes that are no printable
// characters as "%hh" ("/" too, as the old servers wrote it).
std::string Escape(const std::string& value) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '%' || c == '&' || c == '/' || u < 0x20 || u == 0x7F) {
            out.push_back('%');
            out.push_back(hex[u >> 4]);
            out.push_back(hex[u & 15]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string Refused(const std::string& why) { return "&wynik=N&err=" + Escape(why); }

// "Author. Title : subtitle. – Place : Publisher, year." of a book.
std::string Description(Catalogue& db, std::uint32_t number) {
    const auto row = db.Record(number);
    if (!row) return "(opis usunięty)"_cp;
    const BookFields b = ReadBookFields(RecordText::Parse(row->text));
    std::string d;
    // A name ending in an initial has its full stop already.
    if (!b.authors.empty() && !b.authors[0].empty()) d += b.authors[0] + (b.authors[0].back() == '.' ? " " : ". ");
    d += b.title;
    if (!b.subtitle.empty()) d += " : " + b.subtitle;
    if (d.back() != '.') d += ".";
    if (!b.place.empty() || !b.publisher.empty()) d += " \x96 " + b.place + " : " + b.publisher + ", " + b.year + ".";
    return Plain(d);
}

std::string Shelfmark(Catalogue& db, std::uint32_t number) {
    const auto row = db.Record(number);
    return row ? Plain(ReadBookFields(RecordText::Parse(row->text)).call) : std::string();
}

// --- request 38 ---

struct ReaderRequest {
    Session& s;
    Circulation c;
    std::string text;
    int today;

    std::string Value(const std::string& name) const { return ReaderParameterValue(text, name); }

    // The reader the card and password name; the reason otherwise.
    std::optional<ReaderRow> Authenticate(const std::string& card, const std::string& password, std::string& why) {
        auto reader = c.Reader(card);
        if (!reader || reader->password != password) {
            why = "Błędny numer karty lub hasło"_cp;
            return std::nullopt;
        }
        s.readers.insert(reader->card);
        return reader;
    }

    std::string Identify() {
        const std::string password = Value("haslo");
        const std::string name = Value("nazwisko");
        const std::string card = Value("bar");
        std::optional<ReaderRow> found;
        if (!card.empty()) {
            found = c.Reader(card);
            if (found && found->password != password) found.reset();
        } else if (!name.empty()) {
            // Two readers may share a name: the password tells them apart.
            for (const ReaderRow& r : c.ReadersNamed(name))
                if (r.password == password && !found) found = r;
        } else {
            return Refused("Podaj nazwisko i imię albo numer legitymacji"_cp);
        }
        if (!found) return Refused("Nieznany czytelnik lub błędne hasło"_cp);
        s.readers.insert(found->card);
        return "&wynik=Z&karta=" + Escape(found->card) + "&nazwisko=" + Escape(found->name);
    }

    // The copy the request names: "sn", or the first copy of "rekord" the
    // operation accepts (a free one first).
    std::optional<CopyRow> Target(const ReaderRow& reader, bool order, std::string& why) {
        const std::string sn = Value("sn");
        if (!sn.empty()) {
            auto copy = c.Copy(sn);
            if (!copy) why = "Nie ma egzemplarza "_cp + sn;
            return copy;
        }
        const std::string record = Value("rekord");
        const std::uint32_t number = record.empty() ? 0 : s.ids.Parse(record);
        if (!number) {
            why = record.empty() ? "Nie podano egzemplarza"_cp : "Nie ma rekordu "_cp + record;
            return std::nullopt;
        }
        if (!reader.blocked.empty()) {
            why = "Konto czytelnika jest zablokowane: "_cp + reader.blocked;
            return std::nullopt;
        }
        const auto copies = c.CopiesOf(number);
        for (const bool lentToo : {false, true})
            for (const CopyRow& copy : copies) {
                const bool lent = c.Loan(copy.sn).has_value();
                if (lent != lentToo || c.Hold(copy.sn) || c.Order(copy.sn) || copy.location == LocationReading()) continue;
                if (!order && (lent || copy.location == LocationStacks())) continue;
                return copy;
            }
        why = order ? "Brak egzemplarza, który można zamówić"_cp : "Brak egzemplarza, który można zarezerwować"_cp;
        return std::nullopt;
    }

    std::string Claimed(const ReaderRow& reader, const CopyRow& copy) {
        return "&wynik=Z&sn=" + Escape(copy.sn) + "&bar=" + Escape(copy.barcode) + "&karta=" + Escape(reader.card) +
               "&nazwisko=" + Escape(reader.name);
    }

    std::string Answer() {
        const std::string op = Value("op");
        if (op == "A") return Identify();
        std::string why;
        const auto reader = Authenticate(Value("karta"), Value("haslo"), why);
        if (!reader) return Refused(why);
        if (op == "R" || op == "r") {
            const auto copy = Target(*reader, false, why);
            if (!copy) return Refused(why);
            why = c.Reserve(*reader, *copy, today);
            return why.empty() ? Claimed(*reader, *copy) : Refused(why);
        }
        if (op == "W" || op == "w") {
            const auto copy = Target(*reader, true, why);
            if (!copy) return Refused(why);
            bool ordered = false;
            why = c.OrderOrReserve(*reader, *copy, today, ordered);
            if (!why.empty()) return Refused(why);
            if (!ordered) return Claimed(*reader, *copy);
            const auto order = c.Order(copy->sn);
            return "&wynik=Z&zamowienie=" + Escape(order ? order->number : std::string()) + "&nazwisko=" +
                   Escape(reader->name);
        }
        if (op == "T") {
            std::string due;
            why = c.Renew(*reader, Value("sn"), due);
            if (!why.empty()) return Refused(why);
            return "&wynik=Z&ok=" + Escape("Prolongowano wypożyczenie egzemplarza "_cp + Value("sn") + " do "_cp +
                                           ShownDate(due));
        }
        if (op == "U") {
            why = c.CancelHold(*reader, Value("sn"));
            return why.empty() ? std::string("&wynik=Z") : Refused(why);
        }
        if (op == "S") {
            why = c.CancelOrder(*reader, Value("sn"));
            return why.empty() ? std::string("&wynik=Z") : Refused(why);
        }
        if (op == "H") {
            why = c.ChangePassword(*reader, Value("nowe"));
            return why.empty() ? std::string("&wynik=Z") : Refused(why);
        }
        return Refused("Nieznana operacja \""_cp + op + "\"");
    }
};

void ReaderServices(Session& s, std::uint8_t, char) {
    ReaderRequest r{s, Circulation(s.db.Db()), s.in.Text(kMaxRequest), TodayDays()};
    s.out.Text(r.Answer());
}

// --- the indexes ---

enum : std::uint8_t { kFind = 50, kFrom = 55, kNext = 56, kLast = 57, kPrior = 58 };

// Where a request lands in a list sorted by key.
template <typename Row, typename KeyOf>
const Row* Land(const std::vector<Row>& rows, KeyOf keyOf, const CirculationQuery& q) {
    const Row* found = nullptr;
    switch (q.code) {
        case kFind:
            for (const Row& r : rows)
                if (keyOf(r) == q.key) found = &r;
            break;
        case kFrom:
            for (const Row& r : rows)
                if (!found && (q.key.empty() || keyOf(r) >= q.key)) found = &r;
            break;
        case kNext:
            for (const Row& r : rows)
                if (!found && keyOf(r) > q.key) found = &r;
            break;
        case kLast:
            if (!rows.empty()) found = &rows.back();
            break;
        default:
            for (const Row& r : rows)
                if (keyOf(r) < q.key) found = &r;
            break;
    }
    return found;
}

// The account indexes: 16 reservations and 15 orders (prefix a blank and
// the card), 17 loans (prefix "W" and the card); keys are the prefix, the
// byte 01 and the inventory number.
std::vector<std::string> AccountIndex(Session& s, const CirculationQuery& q) {
    const char lead = q.kind == 17 ? 'W' : ' ';
    std::string prefix = q.prefix;
    if (q.code == kFind) {
        const auto at = q.key.rfind('\x01');
        if (at == std::string::npos) return {};
        prefix = q.key.substr(0, at);
    }
    if (q.parameter != 1 || prefix.size() < 2 || prefix[0] != lead) return {};
    const std::string card = prefix.substr(1);
    if (!s.readers.count(card)) return {};
    Circulation c(s.db.Db());
    const auto key = [&prefix](const std::string& sn) { return prefix + "\x01" + sn; };
    const std::string today = DateText(TodayDays());
    if (q.kind == 16) {
        const auto rows = c.HoldsOf(card);
        const HoldRow* h = Land(rows, [&](const HoldRow& r) { return key(r.sn); }, q);
        if (!h) return {};
        const auto copy = c.Copy(h->sn);
        if (!copy) return {};
        const std::string display =
            Bold(Description(s.db, copy->number)) + "\r" + "Egzemplarz "_cp + copy->sn + " (" + copy->location +
            ", sygn. "_cp + Shelfmark(s.db, copy->number) + "), zarezerwowany do "_cp + ShownDate(h->until) + "  " +
            Link("usuwanie&op=U&sn=" + copy->sn, "usuń rezerwację"_cp);
        return {key(h->sn), card, h->sn, s.ids.Stored(copy->number), ShownDate(h->until), copy->location, display};
    }
    if (q.kind == 15) {
        const auto rows = c.OrdersOf(card);
        const OrderRow* o = Land(rows, [&](const OrderRow& r) { return key(r.sn); }, q);
        if (!o) return {};
        const auto copy = c.Copy(o->sn);
        if (!copy) return {};
        const std::string display =
            Bold(Description(s.db, copy->number)) + "\r" + "Zamówienie "_cp + o->number + " z "_cp +
            ShownDate(o->placed) + ": egzemplarz "_cp + copy->sn + " (" + copy->location + ")  " +
            Link("zamowienia", "stan"_cp) + "  " + Link("usuwanie&op=S&sn=" + copy->sn, "usuń zamówienie"_cp);
        return {key(o->sn), card, s.ids.Stored(copy->number), o->sn, o->number, ShownDate(o->placed), copy->location,
                copy->barcode, display};
    }
    const auto rows = c.LoansOf(card);
    const LoanRow* l = Land(rows, [&](const LoanRow& r) { return key(r.sn); }, q);
    if (!l) return {};
    const auto copy = c.Copy(l->sn);
    if (!copy) return {};
    std::string state = "termin zwrotu "_cp + ShownDate(l->due);
    if (l->due < today) state = Colour("R") + state + " (po terminie)"_cp + Colour("0");
    std::string display = Bold(Description(s.db, copy->number)) + "\r" + "Egzemplarz "_cp + copy->sn + ", " + state +
                          ", prolongat: "_cp + std::to_string(l->renewals) + " z " + std::to_string(kRenewalLimit) +
                          "  " + Link("prolongata&op=T&sn=" + copy->sn, "prolonguj"_cp);
    if (l->renewals >= kRenewalLimit)
        display += "  " + Link("OPERACJA Prośba o dłuższy termin zwrotu|SN|"_cp + copy->sn, "poproś o dłuższy termin"_cp);
    return {key(l->sn), card, l->sn, s.ids.Stored(copy->number), ShownDate(l->due), std::to_string(l->renewals), display};
}

// The copies: parameter 3 by inventory number (prefix: its beginning),
// parameter 5 the copies of one record (prefix: its identifier). Keys are
// the inventory numbers.
std::vector<std::string> CopyIndex(Session& s, const CirculationQuery& q) {
    Circulation c(s.db.Db());
    std::optional<CopyRow> copy;
    if (q.code == kFind) {
        copy = c.Copy(q.key);
    } else {
        std::string prefix;
        std::uint32_t number = 0;
        if (q.parameter == 3) {
            prefix = q.prefix;
        } else if (q.parameter == 5) {
            number = s.ids.Parse(q.prefix);
            if (!number) return {};
        } else {
            return {};
        }
        switch (q.code) {
            case kFrom: copy = c.CopyNear(prefix, number, q.key.empty() ? std::string() : std::max(q.key, prefix), false, false); break;
            case kNext: copy = c.CopyNear(prefix, number, q.key, false, true); break;
            case kLast: copy = c.CopyNear(prefix, number, {}, true, false); break;
            default: copy = c.CopyNear(prefix, number, q.key, true, false); break;
        }
        if (q.code == kPrior && q.key.empty()) copy.reset();
    }
    if (!copy) return {};
    const bool lent = c.Loan(copy->sn).has_value();
    const std::string status = c.Status(*copy);
    std::string commands, links;
    for (const std::string& command : c.Commands(*copy)) {
        commands += (commands.empty() ? "" : "|") + command;
        links += "  " + Link(command, CommandCaption(command, lent));
    }
    const std::string display = q.format == kFormatCopy
                                    ? Description(s.db, copy->number)
                                    : copy->sn + " \x96 " + copy->location + ", " + status + links;
    std::vector<std::string> items = {copy->sn, s.ids.Stored(copy->number), copy->sn, Shelfmark(s.db, copy->number),
                                      copy->location, status, commands, copy->barcode};
    items.resize(13);
    items.push_back(display);
    return items;
}

// The closed orders, for librarians: keys are the order texts.
std::vector<std::string> ClosedOrdersIndex(Session& s, const CirculationQuery& q) {
    if (!s.HasRight("modyfikowanie"_cp)) return {};
    if (q.code != kFind && (q.parameter != 2 || q.prefix != "P")) return {};
    Circulation c(s.db.Db());
    std::optional<ClosedOrderRow> o;
    switch (q.code) {
        case kFind: o = c.ClosedOrderNear(q.key, false, false); if (o && o->text != q.key) o.reset(); break;
        case kFrom: o = c.ClosedOrderNear(q.key, false, false); break;
        case kNext: o = q.key.empty() ? std::nullopt : c.ClosedOrderNear(q.key, false, true); break;
        case kLast: o = c.ClosedOrderNear({}, true, false); break;
        default: o = q.key.empty() ? std::nullopt : c.ClosedOrderNear(q.key, true, false); break;
    }
    if (!o) return {};
    return {o->text, s.ids.Stored(o->number), o->sn, o->card, o->orderNumber, ShownDate(o->placed), o->text, o->text};
}

// --- the readers' programs ---

struct FormProgram {
    std::string name, call, form, script;
};

const FormProgram& RenewAll() {
    static const FormProgram p{
        "Prolongata wszystkich wypożyczeń"_cp,
        "ZAMPROL|KARTA|%KARTA%|HASLO|%HASLO%|NAZWISKO|%NAZWISKO%|",
        "BEGIN\r"
        "TEXT 'T.1' ON 8, 8, 380, 24\r"
        "CHECK 'P.1' MASK 'Tylko wypożyczenia z terminem zwrotu w ciągu 7 dni' ON 8, 40, 380\r"
        "END\r"_cp,
        "[SHOW T.1]\r"
        "BEGIN POZYCJA = 'NAZWISKO' PRINT('Czytelnik: ' + POLE) END\r"_cp};
    return p;
}

const FormProgram& Extension() {
    static const FormProgram p{
        "Prośba o dłuższy termin zwrotu"_cp,
        "prosba|KARTA|%KARTA%|HASLO|%HASLO%|",
        "BEGIN\r"
        "TEXT 'T.1' ON 8, 8, 380, 24\r"
        "LABEL 'Uzasadnienie:' ON 8, 40\r"
        "MEMO 'U.1' LIMIT 500 ON 8, 58, 380, 80\r"
        "END\r"_cp,
        "[SHOW T.1]\r"
        "BEGIN POZYCJA = 'SN' PRINT('Egzemplarz ' + POLE) END\r"
        "[HELP WYKONAJ]\r"
        "BEGIN POZYCJA = 'U.1' IF TRIM(POLE) = '' PRINT('Wpisz uzasadnienie prośby|U.1') ENDIF END\r"_cp};
    return p;
}

std::string G(const std::string& name, const std::string& value) { return "{" + name + "=" + value + "}"; }

}  // namespace

std::string ReaderParameterValue(const std::string& text, const std::string& name) {
    const std::string marker = "&" + name + "=";
    const auto at = text.find(marker);
    if (at == std::string::npos) return {};
    const auto begin = at + marker.size();
    const std::string raw = text.substr(begin, text.find('&', begin) - begin);
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            value.push_back(raw[i]);
            continue;
        }
        const int high = i + 1 < raw.size() ? HexDigit(raw[i + 1]) : -1;
        const int low = i + 2 < raw.size() ? HexDigit(raw[i + 2]) : -1;
        value.push_back(high >= 0 && low >= 0 ? static_cast<char>(high * 16 + low) : '@');
        i += std::min<std::size_t>(2, raw.size() - i - 1);
    }
    return value;
}

std::string CommandCaption(const std::string& command, bool lent) {
    if (command.rfind("&op=R", 0) == 0) return "zarezerwuj"_cp;
    return lent ? "zarezerwuj po zwrocie"_cp : "zamów"_cp;
}

bool CirculationKind(int kind) { return kind == 6 || kind == 15 || kind == 16 || kind == 17 || kind == 70; }

std::vector<std::string> CirculationIndex(Session& s, const CirculationQuery& q) {
    switch (q.kind) {
        case 6: return CopyIndex(s, q);
        case 70: return ClosedOrdersIndex(s, q);
        default: return AccountIndex(s, q);
    }
}

std::string ReaderProgramGroups() {
    std::string d;
    for (const auto& [id, p] : {std::pair{kRenewAllProgram, &RenewAll()}, std::pair{kExtensionProgram, &Extension()}})
        d += G("p", G("nam", p->name) + G("id", std::to_string(id)) + G("cal", p->call) + G("par", p->form) +
                        G("act", p->script));
    return d;
}

std::optional<std::string> ReaderProgram(Session& s, const std::string& id, char letter, const std::string& parameters) {
    const bool renewAll = id == std::to_string(kRenewAllProgram);
    if (!renewAll && id != std::to_string(kExtensionProgram)) return std::nullopt;
    if (letter == 'D') {
        // Renewing everything runs from the reader's account, with the card
        // its call carries: asked for elsewhere, it refuses.
        if (renewAll) return "Program czytelnika: uruchamia się go z okna konta czytelnika"_cp;
        return std::string("ZRODLO|konto|");
    }
    std::map<std::string, std::string> p;
    for (auto& [name, value] : ReadParameterPairs(parameters)) p.emplace(std::move(name), std::move(value));
    Circulation c(s.db.Db());
    const auto reader = c.Reader(p["KARTA"]);
    if (!reader || reader->password != p["HASLO"]) return "Brak identyfikacji czytelnika"_cp;
    s.readers.insert(reader->card);
    const int today = TodayDays();
    if (!renewAll) return c.RequestExtension(*reader, p["SN"], p["U.1"], today);
    const bool soonOnly = p["P.1"] == "T";
    int renewed = 0;
    std::string refused;
    for (const LoanRow& loan : c.LoansOf(reader->card)) {
        if (soonOnly && DaysOfDate(loan.due) > today + 7) continue;
        std::string due;
        const std::string why = c.Renew(*reader, loan.sn, due);
        if (why.empty())
            ++renewed;
        else
            refused += "\r\n" + loan.sn + ": " + why;
    }
    std::string answer = "Prolongowano wypożyczeń: "_cp + std::to_string(renewed);
    if (!refused.empty()) answer += "\r\nNie prolongowano:"_cp + refused;
    return answer;
}

void RegisterReaderRequests() { RegisterRequest(38, ReaderServices); }

}  // namespace velt::server
