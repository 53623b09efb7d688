#pragma once
// The status text the server answers to the status request: the database
// kind, the parameters and the catalogue descriptor (indexes, formats,
// criteria, sort keys, filters, authority files, reports, programs and the
// attachment names per record kind). After a login it depends on the user's
// profile.

#include <string>
#include <vector>

namespace velt::server {

struct Session;

// The display formats (the "id" of the descriptor's formats).
enum Format : int {
    kFormatShort = 1,
    kFormatFull = 2,
    kFormatTree = 3,
    kFormatAuthority = 4,
    kFormatExport = 5,
    kFormatReference = 6,
    kFormatComponents = 9,
    kFormatStructure = 10,  // type "struktura": a record's hierarchy (Links.h)
};

struct SortKey {
    std::string name;    // as written after SORTUJ
    std::string column;  // the records table's sort column
    bool descending;
};
const std::vector<SortKey>& SortKeys();

struct FilterDef {
    std::string name;
    char initial;  // T N t n
};
const std::vector<FilterDef>& Filters();
// The flags a new connection starts with.
std::string InitialFilterFlags();

// The names a file may be attached under, for one record kind letter.
std::vector<std::string> AttachmentKinds(char letter);

// The criteria that are not an index: books with a cover, and books of the
// last five years.
std::string CriterionCovers();
std::string CriterionRecent();

std::string StatusText(const Session& session);

}  // namespace velt::server
