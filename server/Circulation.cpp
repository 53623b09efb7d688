#include "Circulation.h"

#include "BookFields.h"
#include "Fold.h"
#include "ParameterForms.h"
#include "RecordStore.h"
#include "RecordText.h"
#include "Seeder.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace velt::server {

const char* const kCirculationSchema = R"(
CREATE TABLE IF NOT EXISTS readers(card BLOB PRIMARY KEY, name BLOB NOT NULL, folded BLOB NOT NULL,
                                   password BLOB NOT NULL, blocked BLOB NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS readers_folded ON readers(folded);
CREATE TABLE IF NOT EXISTS copies(sn BLOB PRIMARY KEY, num INTEGER NOT NULL, barcode BLOB NOT NULL,
                                  location BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS copies_num ON copies(num, sn);
CREATE TABLE IF NOT EXISTS loans(sn BLOB PRIMARY KEY, card BLOB NOT NULL, since BLOB NOT NULL, due BLOB NOT NULL,
                                 renewals INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS loans_card ON loans(card, sn);
CREATE TABLE IF NOT EXISTS holds(sn BLOB PRIMARY KEY, card BLOB NOT NULL, placed BLOB NOT NULL, until BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS holds_card ON holds(card, sn);
CREATE TABLE IF NOT EXISTS orders(sn BLOB PRIMARY KEY, card BLOB NOT NULL, number BLOB NOT NULL, placed BLOB NOT NULL);
CREATE INDEX IF NOT EXISTS orders_card ON orders(card, sn);
CREATE TABLE IF NOT EXISTS closed_orders(text BLOB PRIMARY KEY, num INTEGER NOT NULL, sn BLOB NOT NULL,
                                         card BLOB NOT NULL, number BLOB NOT NULL, placed BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS extension_requests(card BLOB NOT NULL, sn BLOB NOT NULL, reason BLOB NOT NULL,
                                              placed BLOB NOT NULL);
)";

std::string LocationLending() { return "Wypożyczalnia"_cp; }
std::string LocationReading() { return "Czytelnia"_cp; }
std::string LocationBranch() { return "Filia nr 1"_cp; }
std::string LocationStacks() { return "Magazyn"_cp; }

std::string DateText(int days) { return DateOfDays(days); }

int DaysOfDate(const std::string& date) {
    if (date.size() != 8 || date.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int y = std::stoi(date.substr(0, 4)), m = std::stoi(date.substr(4, 2)), d = std::stoi(date.substr(6, 2));
    // Days from civil (proleptic Gregorian).
    const int yy = y - (m <= 2);
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string ShownDate(const std::string& d) {
    if (d.size() != 8) return d;
    return d.substr(6, 2) + "." + d.substr(4, 2) + "." + d.substr(0, 4);
}

namespace {

std::string Digits(std::uint64_t v, int width) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

// An EAN-13 barcode of an inventory number: "29" (in-store numbers), four
// zeros, the six digits and the check digit.
std::string Barcode(const std::string& sn) {
    const std::string body = "290000" + sn;
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (body[static_cast<std::size_t>(i)] - '0') * (i % 2 ? 3 : 1);
    return body + std::to_string((10 - sum % 10) % 10);
}

ReaderRow ReadReader(Statement& q) { return {q.Text(0), q.Text(1), q.Text(2), q.Text(3)}; }
CopyRow ReadCopy(Statement& q) {
    return {q.Text(0), static_cast<std::uint32_t>(q.Int(1)), q.Text(2), q.Text(3)};
}
LoanRow ReadLoan(Statement& q) {
    return {q.Text(0), q.Text(1), q.Text(2), q.Text(3), static_cast<int>(q.Int(4))};
}

// Keys below this bound and not below the prefix begin with it.
std::string PrefixEnd(const std::string& prefix) { return prefix + "\xFF\xFF\xFF\xFF"; }

// How many of the first copies the seeded circulation chooses from.
constexpr std::size_t kSeedCopies = 4000;

struct SeedReader {
    std::string card, name, password, blocked;
};

const std::vector<SeedReader>& SeedReaders() {
    static const std::vector<SeedReader> readers = {
        {"000123", "Kowalska Anna"_cp, "anna", ""},
        {"000124", "Nowak Jan"_cp, "jan1", ""},
        {"000125", "Nowak Jan"_cp, "jan2", ""},
        {"12/3", "Wiśniewski Piotr"_cp, "piotr", ""},
        {"000777", "Żółkiewska-Śliwa Łucja"_cp, "lucja",
         "nieoddane wypożyczenie po terminie"_cp},
        {"000321", "Kot & Pies 50%"_cp, "kot", ""},
    };
    return readers;
}

}  // namespace

void SeedCirculation(Database& db, const Identifiers& ids, std::uint32_t books, int today) {
    db.Exec(kCirculationSchema);
    {
        Statement any(db, "SELECT 1 FROM readers LIMIT 1");
        if (any.Step()) return;  // seeded already
    }
    Statement insertReader(db, "INSERT INTO readers(card,name,folded,password,blocked) VALUES(?1,?2,?3,?4,?5)");
    for (const SeedReader& r : SeedReaders()) {
        insertReader.Bind(1, r.card).Bind(2, r.name).Bind(3, Fold(r.name)).Bind(4, r.password).Bind(5, r.blocked);
        insertReader.Run();
    }
    // Copies: one to three a book, spread over the locations.
    const std::string locations[] = {LocationLending(), LocationStacks(), LocationBranch(), LocationReading()};
    Statement insertCopy(db, "INSERT INTO copies(sn,num,barcode,location) VALUES(?1,?2,?3,?4)");
    std::vector<CopyRow> copies;
    std::uint32_t next = 10001;
    for (std::uint32_t seq = 1; seq <= books; ++seq) {
        const std::uint32_t count = 1 + seq % 3;
        for (std::uint32_t j = 0; j < count; ++j) {
            CopyRow c{Digits(next++, 6), ids.Number(kBookLetter, seq), {}, locations[(seq + j) % 4]};
            c.barcode = Barcode(c.sn);
            insertCopy.Bind(1, c.sn).Bind(2, c.number).Bind(3, c.barcode).Bind(4, c.location);
            insertCopy.Run();
            // The readers and the closed orders take copies of the first
            // books: a large catalogue keeps no more of them in memory.
            if (copies.size() < kSeedCopies) copies.push_back(c);
        }
    }
    // The readers' loans, reservations and orders take copies in inventory
    // order, each copy once; a small catalogue gives what it has.
    std::set<std::string> taken;
    auto take = [&](const std::vector<std::string>& where) -> const CopyRow* {
        for (const CopyRow& c : copies)
            if (!taken.count(c.sn) && std::find(where.begin(), where.end(), c.location) != where.end()) {
                taken.insert(c.sn);
                return &c;
            }
        return nullptr;
    };
    const std::vector<std::string> lendable = {LocationLending(), LocationBranch(), LocationStacks()};
    const std::vector<std::string> shelf = {LocationLending(), LocationBranch()};
    const std::vector<std::string> stacks = {LocationStacks()};
    Statement insertLoan(db, "INSERT INTO loans(sn,card,since,due,renewals) VALUES(?1,?2,?3,?4,?5)");
    auto lend = [&](const std::string& card, int since, int due, int renewals) -> const CopyRow* {
        const CopyRow* c = take(lendable);
        if (!c) return nullptr;
        insertLoan.Bind(1, c->sn).Bind(2, card).Bind(3, DateText(today + since)).Bind(4, DateText(today + due))
            .Bind(5, renewals);
        insertLoan.Run();
        return c;
    };
    Statement insertHold(db, "INSERT INTO holds(sn,card,placed,until) VALUES(?1,?2,?3,?4)");
    auto hold = [&](const CopyRow* c, const std::string& card, int until) {
        if (!c) return;
        insertHold.Bind(1, c->sn).Bind(2, card).Bind(3, DateText(today - 1)).Bind(4, DateText(today + until));
        insertHold.Run();
    };
    const std::string year = DateText(today).substr(0, 4);
    // Kowalska Anna: an overdue loan, one at its renewal limit, a renewable
    // one, a reservation and an order.
    lend("000123", -40, -10, 0);
    lend("000123", -70, 5, kRenewalLimit);
    lend("000123", -10, 20, 0);
    hold(take(shelf), "000123", kHoldDays);
    if (const CopyRow* c = take(stacks)) {
        Statement insertOrder(db, "INSERT INTO orders(sn,card,number,placed) VALUES(?1,?2,?3,?4)");
        insertOrder.Bind(1, c->sn).Bind(2, std::string("000123")).Bind(3, "ZAM/" + year + "/000031")
            .Bind(4, DateText(today));
        insertOrder.Run();
    }
    // Nowak Jan of card 000124: a loan, and a reservation of a copy lent to
    // Wiśniewski Piotr (which he can no longer renew).
    lend("000124", -5, 25, 0);
    // Wiśniewski Piotr: 25 loans falling due one a day.
    const CopyRow* reserved = nullptr;
    for (int i = 0; i < 25; ++i) {
        const CopyRow* c = lend("12/3", -20 - i, 1 + i, i % 3);
        if (i == 3) reserved = c;
    }
    hold(reserved, "000124", kHoldDays);
    // The blocked reader keeps an overdue loan.
    lend("000777", -90, -60, kRenewalLimit);
    // "Kot & Pies 50%": a loan and a reservation.
    lend("000321", -3, 27, 0);
    hold(take(shelf), "000321", kHoldDays);

    // Thirty closed orders of copies from the stacks, the latest last.
    Statement insertClosed(db, "INSERT INTO closed_orders(text,num,sn,card,number,placed) VALUES(?1,?2,?3,?4,?5,?6)");
    Statement recordText(db, "SELECT text FROM records WHERE num=?1");
    std::vector<const CopyRow*> fromStacks;
    for (const CopyRow& c : copies)
        if (c.location == LocationStacks()) fromStacks.push_back(&c);
    for (int i = 1; i <= 30 && !fromStacks.empty(); ++i) {
        const CopyRow& c = *fromStacks[static_cast<std::size_t>(i * 7) % fromStacks.size()];
        const SeedReader& r = SeedReaders()[static_cast<std::size_t>(i) % SeedReaders().size()];
        std::string title;
        recordText.Bind(1, c.number);
        if (recordText.Step()) title = ReadBookFields(RecordText::Parse(recordText.View(0))).title;
        recordText.Reset();
        const std::string placed = DateText(today - 3 * (31 - i));
        const std::string number = "ZAM/" + year + "/" + Digits(static_cast<std::uint64_t>(i), 6);
        const std::string text = number + " " + ShownDate(placed) + " " + r.name + ": " + title + " (egz. " + c.sn + ")";
        insertClosed.Bind(1, text).Bind(2, c.number).Bind(3, c.sn).Bind(4, r.card).Bind(5, number).Bind(6, placed);
        insertClosed.Run();
    }
    SetMetaValue(db, "next.order", "32");
}

// --- reading ---

std::optional<ReaderRow> Circulation::Reader(const std::string& card) {
    Statement q(mDb, "SELECT card,name,password,blocked FROM readers WHERE card=?1");
    q.Bind(1, card);
    if (!q.Step()) return std::nullopt;
    return ReadReader(q);
}

std::vector<ReaderRow> Circulation::ReadersNamed(const std::string& name) {
    Statement q(mDb, "SELECT card,name,password,blocked FROM readers WHERE folded=?1 ORDER BY card");
    q.Bind(1, Fold(name));
    std::vector<ReaderRow> out;
    while (q.Step()) out.push_back(ReadReader(q));
    return out;
}

std::optional<CopyRow> Circulation::Copy(const std::string& sn) {
    Statement q(mDb, "SELECT sn,num,barcode,location FROM copies WHERE sn=?1");
    q.Bind(1, sn);
    if (!q.Step()) return std::nullopt;
    return ReadCopy(q);
}

std::vector<CopyRow> Circulation::CopiesOf(std::uint32_t number) {
    Statement q(mDb, "SELECT sn,num,barcode,location FROM copies WHERE num=?1 ORDER BY sn");
    q.Bind(1, number);
    std::vector<CopyRow> out;
    while (q.Step()) out.push_back(ReadCopy(q));
    return out;
}

std::optional<CopyRow> Circulation::CopyNear(const std::string& prefix, std::uint32_t number, const std::string& key,
                                             bool backward, bool strict) {
    std::string sql = "SELECT sn,num,barcode,location FROM copies WHERE sn>=?1 AND sn<?2";
    if (number) sql += " AND num=?4";
    if (!key.empty()) sql += backward ? " AND sn<?3" : strict ? " AND sn>?3" : " AND sn>=?3";
    sql += backward ? " ORDER BY sn DESC LIMIT 1" : " ORDER BY sn LIMIT 1";
    Statement q(mDb, sql.c_str());
    q.Bind(1, prefix).Bind(2, PrefixEnd(prefix));
    if (!key.empty()) q.Bind(3, key);
    if (number) q.Bind(4, number);
    if (!q.Step()) return std::nullopt;
    return ReadCopy(q);
}

std::optional<LoanRow> Circulation::Loan(const std::string& sn) {
    Statement q(mDb, "SELECT sn,card,since,due,renewals FROM loans WHERE sn=?1");
    q.Bind(1, sn);
    if (!q.Step()) return std::nullopt;
    return ReadLoan(q);
}

std::optional<HoldRow> Circulation::Hold(const std::string& sn) {
    Statement q(mDb, "SELECT sn,card,placed,until FROM holds WHERE sn=?1");
    q.Bind(1, sn);
    if (!q.Step()) return std::nullopt;
    return HoldRow{q.Text(0), q.Text(1), q.Text(2), q.Text(3)};
}

std::optional<OrderRow> Circulation::Order(const std::string& sn) {
    Statement q(mDb, "SELECT sn,card,number,placed FROM orders WHERE sn=?1");
    q.Bind(1, sn);
    if (!q.Step()) return std::nullopt;
    return OrderRow{q.Text(0), q.Text(1), q.Text(2), q.Text(3)};
}

std::vector<LoanRow> Circulation::LoansOf(const std::string& card) {
    Statement q(mDb, "SELECT sn,card,since,due,renewals FROM loans WHERE card=?1 ORDER BY sn");
    q.Bind(1, card);
    std::vector<LoanRow> out;
    while (q.Step()) out.push_back(ReadLoan(q));
    return out;
}

std::vector<HoldRow> Circulation::HoldsOf(const std::string& card) {
    Statement q(mDb, "SELECT sn,card,placed,until FROM holds WHERE card=?1 ORDER BY sn");
    q.Bind(1, card);
    std::vector<HoldRow> out;
    while (q.Step()) out.push_back({q.Text(0), q.Text(1), q.Text(2), q.Text(3)});
    return out;
}

std::vector<OrderRow> Circulation::OrdersOf(const std::string& card) {
    Statement q(mDb, "SELECT sn,card,number,placed FROM orders WHERE card=?1 ORDER BY sn");
    q.Bind(1, card);
    std::vector<OrderRow> out;
    while (q.Step()) out.push_back({q.Text(0), q.Text(1), q.Text(2), q.Text(3)});
    return out;
}

std::optional<ClosedOrderRow> Circulation::ClosedOrderNear(const std::string& key, bool backward, bool strict) {
    std::string sql = "SELECT text,num,sn,card,number,placed FROM closed_orders";
    if (!key.empty()) sql += backward ? " WHERE text<?1" : strict ? " WHERE text>?1" : " WHERE text>=?1";
    sql += backward ? " ORDER BY text DESC LIMIT 1" : " ORDER BY text LIMIT 1";
    Statement q(mDb, sql.c_str());
    if (!key.empty()) q.Bind(1, key);
    if (!q.Step()) return std::nullopt;
    return ClosedOrderRow{q.Text(0), static_cast<std::uint32_t>(q.Int(1)), q.Text(2), q.Text(3), q.Text(4), q.Text(5)};
}

std::string Circulation::Status(const CopyRow& copy) {
    if (copy.location == LocationReading()) return "tylko na miejscu"_cp;
    std::string status;
    if (const auto loan = Loan(copy.sn)) status = "wypożyczony do "_cp + ShownDate(loan->due);
    if (Hold(copy.sn)) status += status.empty() ? "zarezerwowany"_cp : ", zarezerwowany"_cp;
    if (Order(copy.sn)) status += status.empty() ? "zamówiony"_cp : ", zamówiony"_cp;
    return status.empty() ? "dostępny"_cp : status;
}

std::vector<std::string> Circulation::Commands(const CopyRow& copy) {
    if (copy.location == LocationReading() || Hold(copy.sn) || Order(copy.sn)) return {};
    const bool lent = Loan(copy.sn).has_value();
    // On the shelf: reserved for collection; in the stacks: ordered; lent:
    // reserved for when it comes back.
    if (!lent && copy.location != LocationStacks()) return {"&op=R&sn=" + copy.sn};
    return {"&op=W&sn=" + copy.sn};
}

// --- changing ---

std::string Circulation::ClaimRefusal(const ReaderRow& reader, const CopyRow& copy, bool orderOrReserve) {
    if (!reader.blocked.empty()) return "Konto czytelnika jest zablokowane: "_cp + reader.blocked;
    if (copy.location == LocationReading())
        return "Egzemplarz "_cp + copy.sn + " jest dostępny tylko na miejscu w czytelni"_cp;
    if (Hold(copy.sn)) return "Egzemplarz "_cp + copy.sn + " jest już zarezerwowany"_cp;
    if (Order(copy.sn)) return "Egzemplarz "_cp + copy.sn + " jest już zamówiony"_cp;
    if (const auto loan = Loan(copy.sn)) {
        if (loan->card == reader.card) return "Egzemplarz "_cp + copy.sn + " jest wypożyczony przez czytelnika"_cp;
        if (!orderOrReserve)
            return "Egzemplarz "_cp + copy.sn + " jest wypożyczony do "_cp + ShownDate(loan->due);
    } else if (!orderOrReserve && copy.location == LocationStacks()) {
        return "Egzemplarz "_cp + copy.sn + " jest w magazynie: należy go zamówić"_cp;
    }
    Statement count(mDb, "SELECT (SELECT count(*) FROM holds WHERE card=?1) + (SELECT count(*) FROM orders WHERE card=?1)");
    count.Bind(1, reader.card);
    if (count.Step() && count.Int(0) >= kClaimLimit)
        return "Osiągnięto limit rezerwacji i zamówień ("_cp + std::to_string(kClaimLimit) + ")";
    return {};
}

std::string Circulation::Reserve(const ReaderRow& reader, const CopyRow& copy, int today) {
    std::string refusal;
    UnderWriteLock([&] {
        Transaction t(mDb);
        refusal = ClaimRefusal(reader, copy, false);
        if (!refusal.empty()) return;
        Statement insert(mDb, "INSERT INTO holds(sn,card,placed,until) VALUES(?1,?2,?3,?4)");
        insert.Bind(1, copy.sn).Bind(2, reader.card).Bind(3, DateText(today)).Bind(4, DateText(today + kHoldDays));
        insert.Run();
        t.Commit();
    });
    return refusal;
}

std::string Circulation::NextOrderNumber(int today) {
    const auto stored = MetaValue(mDb, "next.order");
    const int next = stored ? std::max(1, std::atoi(stored->c_str())) : 1;
    SetMetaValue(mDb, "next.order", std::to_string(next + 1));
    return "ZAM/" + DateText(today).substr(0, 4) + "/" + Digits(static_cast<std::uint64_t>(next), 6);
}

std::string Circulation::OrderOrReserve(const ReaderRow& reader, const CopyRow& copy, int today, bool& ordered) {
    std::string refusal;
    ordered = false;
    UnderWriteLock([&] {
        Transaction t(mDb);
        refusal = ClaimRefusal(reader, copy, true);
        if (!refusal.empty()) return;
        const auto loan = Loan(copy.sn);
        if (!loan && copy.location == LocationStacks()) {
            Statement insert(mDb, "INSERT INTO orders(sn,card,number,placed) VALUES(?1,?2,?3,?4)");
            insert.Bind(1, copy.sn).Bind(2, reader.card).Bind(3, NextOrderNumber(today)).Bind(4, DateText(today));
            insert.Run();
            ordered = true;
        } else {
            // A lent copy waits for its reader from the day it is due back.
            const int from = loan ? std::max(today, DaysOfDate(loan->due)) : today;
            Statement insert(mDb, "INSERT INTO holds(sn,card,placed,until) VALUES(?1,?2,?3,?4)");
            insert.Bind(1, copy.sn).Bind(2, reader.card).Bind(3, DateText(today)).Bind(4, DateText(from + kHoldDays));
            insert.Run();
        }
        t.Commit();
    });
    return refusal;
}

std::string Circulation::Renew(const ReaderRow& reader, const std::string& sn, std::string& newDue) {
    std::string refusal;
    UnderWriteLock([&] {
        Transaction t(mDb);
        const auto loan = Loan(sn);
        if (!loan || loan->card != reader.card) {
            refusal = "Egzemplarz "_cp + sn + " nie jest wypożyczony przez czytelnika"_cp;
            return;
        }
        if (!reader.blocked.empty()) {
            refusal = "Konto czytelnika jest zablokowane: "_cp + reader.blocked;
            return;
        }
        if (const auto hold = Hold(sn); hold && hold->card != reader.card) {
            refusal = "Egzemplarz "_cp + sn + " jest zarezerwowany przez innego czytelnika"_cp;
            return;
        }
        if (loan->renewals >= kRenewalLimit) {
            refusal = "Osiągnięto limit prolongat ("_cp + std::to_string(kRenewalLimit) + ")";
            return;
        }
        newDue = DateText(DaysOfDate(loan->due) + kLoanDays);
        Statement update(mDb, "UPDATE loans SET due=?2, renewals=renewals+1 WHERE sn=?1");
        update.Bind(1, sn).Bind(2, newDue);
        update.Run();
        t.Commit();
    });
    return refusal;
}

std::string Circulation::CancelHold(const ReaderRow& reader, const std::string& sn) {
    std::string refusal;
    UnderWriteLock([&] {
        Transaction t(mDb);
        const auto hold = Hold(sn);
        if (!hold || hold->card != reader.card) {
            refusal = "Brak rezerwacji egzemplarza "_cp + sn;
            return;
        }
        Statement del(mDb, "DELETE FROM holds WHERE sn=?1");
        del.Bind(1, sn);
        del.Run();
        t.Commit();
    });
    return refusal;
}

std::string Circulation::CancelOrder(const ReaderRow& reader, const std::string& sn) {
    std::string refusal;
    UnderWriteLock([&] {
        Transaction t(mDb);
        const auto order = Order(sn);
        if (!order || order->card != reader.card) {
            refusal = "Brak zamówienia egzemplarza "_cp + sn;
            return;
        }
        Statement del(mDb, "DELETE FROM orders WHERE sn=?1");
        del.Bind(1, sn);
        del.Run();
        t.Commit();
    });
    return refusal;
}

std::string Circulation::ChangePassword(const ReaderRow& reader, const std::string& password) {
    if (password.empty()) return "Hasło nie może być puste"_cp;
    if (password.size() > kPasswordLimit)
        return "Hasło może mieć najwyżej "_cp + std::to_string(kPasswordLimit) + " znaków"_cp;
    UnderWriteLock([&] {
        Transaction t(mDb);
        Statement update(mDb, "UPDATE readers SET password=?2 WHERE card=?1");
        update.Bind(1, reader.card).Bind(2, password);
        update.Run();
        t.Commit();
    });
    return {};
}

std::string Circulation::RequestExtension(const ReaderRow& reader, const std::string& sn, const std::string& reason,
                                          int today) {
    const auto loan = Loan(sn);
    if (!loan || loan->card != reader.card) return "Egzemplarz "_cp + sn + " nie jest wypożyczony przez czytelnika"_cp;
    if (reason.find_first_not_of(" \r\n\t") == std::string::npos) return "Wpisz uzasadnienie prośby"_cp;
    UnderWriteLock([&] {
        Transaction t(mDb);
        Statement insert(mDb, "INSERT INTO extension_requests(card,sn,reason,placed) VALUES(?1,?2,?3,?4)");
        insert.Bind(1, reader.card).Bind(2, sn).Bind(3, reason.substr(0, 2000)).Bind(4, DateText(today));
        insert.Run();
        t.Commit();
    });
    return {};
}

}  // namespace velt::server
