#pragma once
// What one record gives the catalogue's look-up tables: its index entries
// (heading keys per index), the words of the word indexes, the sort columns
// of the records table, the authority records its "^9" subfields name, and
// the record it is attached to (DOK_IDO). The seeder and every save derive
// them through this one function, so a saved record is indexed exactly as a
// seeded one.

#include "Identifiers.h"
#include "RecordText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velt::server {

struct RecordIndex {
    struct Entry {
        int ix;               // the index's number
        std::string heading;  // the heading's sort form (HeadingKey)
        int occurrence;       // which heading of the record (from 1)
        bool operator==(const Entry&) const = default;
    };
    struct Word {
        int ix;
        std::string word;
        bool operator==(const Word&) const = default;
    };
    std::vector<Entry> entries;        // one per index and heading key, in index order
    std::vector<Word> words;           // sorted, without repeats
    std::string sa, st;                // the sort columns: author (or title), title
    std::int64_t year = 0;             // the year of publication, 0 when none
    std::vector<std::uint32_t> refs;   // authority record numbers, sorted, without repeats
    std::uint32_t parent = 0;          // the superior record, 0 when none
};

// The index data of record number as it reads in record.
RecordIndex DeriveIndex(const Identifiers& ids, std::uint32_t number, const RecordText& record);

// The year in a date of publication: the first run of three or four digits,
// 0 when there is none ("cop. 1999" -> 1999, "[ca 1900]" -> 1900).
int YearIn(std::string_view text);

class Catalogue;
// Every book and MARC record of the catalogue, in record number order.
std::vector<std::uint32_t> BibliographicNumbers(Catalogue& db, const Identifiers& ids);

}  // namespace velt::server
