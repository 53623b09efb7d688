#pragma once
// Creates a catalogue database and fills it with a generated Polish catalogue:
// N bibliographic records with their authors, titles, subjects, publishers,
// places, years, ISBNs (with valid check digits), call numbers and some
// covers and attachments, plus the person and subject authority records
// they point to, the index entries of every index, the accounts and the
// library's circulation (Circulation.h).
//
// Record i depends only on i and N, so the same N always gives the same
// catalogue. The database is built under a temporary name and renamed into
// place when complete: an interrupted seeding leaves no database behind.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

// The kind letters of the catalogue's records, in record-number order:
// bibliographic records, persons, subjects, and MARC 21 records taken from
// other catalogues (added last, so the letters before it keep their places).
inline constexpr char kRecordLetters[] = "KOTU";
inline constexpr char kBookLetter = 'K';
inline constexpr char kPersonLetter = 'O';
inline constexpr char kSubjectLetter = 'T';
inline constexpr char kMarcLetter = 'U';

// Books and MARC records describe publications: they share the catalogue's
// indexes, displays and reports; the others are authority records.
constexpr bool IsBibliographic(char letter) { return letter == kBookLetter || letter == kMarcLetter; }

struct SeedCounts {
    std::uint32_t books = 0;
    std::uint32_t persons = 0;
    std::uint32_t subjects = 0;
};

// Authority records every seeded catalogue has, after the generated ones
// of their kind letter (numbered from counts.persons + 1 and
// counts.subjects + 1): persons with see-references ("Prus, Bolesław" under
// "Głowacki, Aleksander"), corporate bodies, subjects with broader and
// narrower terms.
struct NamedAuthority {
    char letter;
    std::string text;  // the record text
};
const std::vector<NamedAuthority>& NamedAuthorities();

// How many authority records a catalogue of n books has.
SeedCounts CountsFor(std::uint32_t books);

// The record text of book, person or subject number seq of a catalogue of
// n books (exposed for the tests: the generator's output is checked there).
std::string BookText(std::uint32_t seq, const SeedCounts& counts);
std::string PersonText(std::uint32_t seq);
std::string SubjectText(std::uint32_t seq);
// The cover design of a book, 0 for none.
int BookCover(std::uint32_t seq);
// The branches holding copies of a book: 2 or 3 for one book in ten, else 1.
int BookBranches(std::uint32_t seq);
// The parts a book's contents list (505): one book in 25 is a collection of
// kContentsParts and a few more; one in 250 of kLongContentsParts, which
// gives a catalogue card of many pages.
inline constexpr int kContentsParts = 26;
inline constexpr int kLongContentsParts = 212;
int BookContentsParts(std::uint32_t seq);

// The hierarchies every catalogue has, after its generated books (sequence
// numbers from books + 1, in this order): three multi-volume works of 2, 3
// and 4 volumes whose volumes are stored out of volume order, a serial with
// 12 issues, a collection of three series of three parts each, and a series
// of 300 parts. A part names its superior in DOK_IDO.
inline constexpr std::uint32_t kHierarchyRecords = 339;
// The records' texts, the first being book number books + 1.
std::vector<std::string> HierarchyTexts(std::uint32_t books);
// The sequence numbers of the hierarchies' heads (for the tests): the works,
// the serial, the collection and the series of 300 parts.
struct HierarchyHeads {
    std::uint32_t works[3];
    std::uint32_t serial;
    std::uint32_t collection;
    std::uint32_t series;
};
HierarchyHeads HierarchyHeadsOf(std::uint32_t books);

// True when an ISBN-10 or ISBN-13 (hyphens allowed) has a valid check digit.
bool IsbnValid(const std::string& isbn);

// Creates the database file path with n books, and the hierarchies after
// them when asked. Raises DbError on failure.
void SeedDatabase(const std::string& path, std::uint32_t books, bool hierarchies = true);

// The schema a new database gets; UpgradeDatabase brings an older one to it,
// and first renumbers the records of a database whose numbers count over
// fewer letters than kRecordLetters (meta "letters"; "KOT" without it).
inline constexpr int kSchemaVersion = 3;
void UpgradeDatabase(const std::string& path);

// The meta entry holding the next sequence number of a kind letter.
std::string NextKey(char letter);

class Database;
// A meta entry's value, none when it is missing; a new value for it.
std::optional<std::string> MetaValue(Database& db, const std::string& name);
void SetMetaValue(Database& db, const std::string& name, const std::string& value);

}  // namespace velt::server
