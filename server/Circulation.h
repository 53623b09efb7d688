#pragma once
// The library's circulation: readers with their cards and passwords, the
// copies of the books (inventory numbers, barcodes, locations), loans with
// their due dates, reservations of copies, orders from the stacks and the
// closed orders, and the rules a real lending desk keeps:
//
// - a copy in the reading room ("Czytelnia") is never lent, reserved or
//   ordered; a copy in the stacks ("Magazyn") is ordered, not reserved;
// - a copy holds at most one reservation and one order; a reservation of a
//   copy already reserved, ordered or lent is refused (ordering a lent copy
//   reserves it for when it comes back);
// - a reader holds at most kClaimLimit reservations and orders together;
// - a renewal moves the due date by kLoanDays unless the copy is reserved by
//   someone else or kRenewalLimit renewals were made; an overdue loan may be
//   renewed (the new date counts from the old one);
// - a blocked reader may look at the account, cancel and change the
//   password, but borrows, reserves, orders and renews nothing.
//
// Dates are YYYYMMDD texts; days are counted from 1970-01-01.

#include "Catalogue.h"
#include "Identifiers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

inline constexpr int kLoanDays = 30;
inline constexpr int kRenewalLimit = 2;
inline constexpr int kHoldDays = 7;
inline constexpr int kClaimLimit = 5;
inline constexpr std::size_t kPasswordLimit = 10;

// The locations of copies.
std::string LocationLending();   // "Wypożyczalnia"
std::string LocationReading();   // "Czytelnia"
std::string LocationBranch();    // "Filia nr 1"
std::string LocationStacks();    // "Magazyn"

struct ReaderRow {
    std::string card, name, password;
    std::string blocked;  // why the account is blocked; empty when it is not
};

struct CopyRow {
    std::string sn;  // the inventory number (6 digits)
    std::uint32_t number = 0;
    std::string barcode, location;
};

struct LoanRow {
    std::string sn, card, since, due;
    int renewals = 0;
};

struct HoldRow {
    std::string sn, card, placed, until;
};

struct OrderRow {
    std::string sn, card, number, placed;
};

struct ClosedOrderRow {
    std::string text;  // begins with the order's 15-character number
    std::uint32_t number = 0;
    std::string sn, card, orderNumber, placed;
};

// The tables of schema 3 (created when missing).
extern const char* const kCirculationSchema;

// Fills the circulation tables of a catalogue of books: copies of every
// book, the readers the documentation names with their loans, reservations
// and orders, and 30 closed orders. today is the day the loans' dates count
// from. The same books always give the same copies and readers.
void SeedCirculation(Database& db, const Identifiers& ids, std::uint32_t books, int today);

// The YYYYMMDD of a day and back; "DD.MM.YYYY" of a YYYYMMDD.
std::string DateText(int days);
int DaysOfDate(const std::string& yyyymmdd);
std::string ShownDate(const std::string& yyyymmdd);

// One connection's view of the circulation tables.
class Circulation {
public:
    explicit Circulation(Database& db) : mDb(db) {}

    std::optional<ReaderRow> Reader(const std::string& card);
    // The readers whose name folds to the same text, in card order.
    std::vector<ReaderRow> ReadersNamed(const std::string& name);

    std::optional<CopyRow> Copy(const std::string& sn);
    // The copies of a record, in inventory order.
    std::vector<CopyRow> CopiesOf(std::uint32_t number);
    // The copy an index request of kind 6 lands on: among the copies whose
    // number begins with prefix (and of record number when it is not 0),
    // the first at or after key (after it when strict), or the last before
    // it (backward), or the last one (key empty and backward).
    std::optional<CopyRow> CopyNear(const std::string& prefix, std::uint32_t number, const std::string& key,
                                    bool backward, bool strict);

    std::optional<LoanRow> Loan(const std::string& sn);
    std::optional<HoldRow> Hold(const std::string& sn);
    std::optional<OrderRow> Order(const std::string& sn);
    std::vector<LoanRow> LoansOf(const std::string& card);
    std::vector<HoldRow> HoldsOf(const std::string& card);
    std::vector<OrderRow> OrdersOf(const std::string& card);

    // The closed order at or after key (after it when strict), before it
    // (backward), the first (key empty) or the last (key empty, backward).
    std::optional<ClosedOrderRow> ClosedOrderNear(const std::string& key, bool backward, bool strict);

    // What a copy's status line says: "dostępny", "wypożyczony do ...",
    // "zarezerwowany", "zamówiony", "tylko na miejscu".
    std::string Status(const CopyRow& copy);
    // The entry commands a copy offers a reader now ("&op=R&sn=...",
    // "&op=W&sn=..."), none for a copy that cannot be claimed.
    std::vector<std::string> Commands(const CopyRow& copy);

    // The operations. Each returns the refusal's reason, or empty when done;
    // every change is one transaction under the server's write lock.
    std::string Reserve(const ReaderRow& reader, const CopyRow& copy, int today);
    // Orders a copy from the stacks (ordered set) or reserves it for when it
    // is back on the shelf.
    std::string OrderOrReserve(const ReaderRow& reader, const CopyRow& copy, int today, bool& ordered);
    std::string Renew(const ReaderRow& reader, const std::string& sn, std::string& newDue);
    std::string CancelHold(const ReaderRow& reader, const std::string& sn);
    std::string CancelOrder(const ReaderRow& reader, const std::string& sn);
    std::string ChangePassword(const ReaderRow& reader, const std::string& password);
    // Keeps a reader's request for a longer loan of a copy at its limit.
    std::string RequestExtension(const ReaderRow& reader, const std::string& sn, const std::string& reason, int today);

private:
    // Why the reader cannot claim the copy now; empty when it can be
    // reserved (or ordered, for the stacks).
    std::string ClaimRefusal(const ReaderRow& reader, const CopyRow& copy, bool orderOrReserve);
    std::string NextOrderNumber(int today);

    Database& mDb;
};

}  // namespace velt::server
