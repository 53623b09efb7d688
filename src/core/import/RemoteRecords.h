#pragma once
// The result list of a search of another library's server, whatever the
// protocol: a browser data source whose keys are result positions in
// decimal, the records held by position (fetched on demand), the count the
// server gave, and how records become display lines.

#include "browse/Vrserwer.h"
#include "import/usmarc.h"

#include <string>

namespace velt {

// One position of the result list as held.
struct Z3950Record {
    enum class Kind { Record, Placeholder, Diagnostic };
    Kind kind = Kind::Record;
    std::string octets;  // the record (ISO 2709); "00000" for a placeholder; the diagnostic's text
};

class RemoteRecords : public Vrserwer {
public:
    // The count of the last search.
    virtual long long ResultCount() const = 0;
    // Fetches positions start to start + count - 1 that are not held yet.
    virtual void FetchRecords(long long start, long long count) = 0;
    // The position as held, nullptr when it is not.
    virtual const Z3950Record* RecordAt(long long position) const = 0;
    // How records become display lines (the format set, when it is known).
    virtual void SetDisplay(MarcOptions options, MarcFormatter formatter = {}) = 0;
};

}  // namespace velt
