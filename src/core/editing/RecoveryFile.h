#pragma once
// The records a broken connection kept the user from saving, kept in a file
// of the working directory until the user connects to that catalogue again:
// for each sheet, the catalogue and the user it belongs to, its kind, its
// identifier and source, and every field with its loaded and current value.
//
// The file is written whole into a unique file beside it and renamed over
// the name, so it is never seen half written. Reading trusts nothing: an
// unknown version, a broken line or a file past its bounds gives what was
// read before it, and at most kMaxRecords records of kMaxFields fields.

#include "text/my_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct KeptSheet {
    std::string host;
    int port = 0;
    std::string user;
    std::string code;        // the kind's form code
    std::string identifier;  // as the sheet had it (stored form, or the form code of a new record)
    std::string source;      // empty for a new record; the identifier for an existing one
    std::vector<my_field> fields;

    bool Existing() const { return !source.empty() && source == identifier; }
    bool Imported() const { return !source.empty() && source != identifier; }
    bool SameCatalogue(const KeptSheet& other) const {
        return host == other.host && port == other.port && user == other.user;
    }
};

inline constexpr std::size_t kMaxKeptRecords = 1000;
inline constexpr std::size_t kMaxKeptFields = 20000;
inline constexpr std::size_t kMaxRecoveryFileBytes = std::size_t{256} << 20;

// The name of the file in a working directory (which ends with "/").
std::string RecoveryFileName(const std::string& workingDirectory);

// The file's text for the sheets, and the sheets of a text.
std::string RecoveryText(const std::vector<KeptSheet>& sheets);
std::vector<KeptSheet> ParseRecoveryText(std::string_view text);

// Reads the file; empty when there is none or it cannot be read.
std::vector<KeptSheet> ReadRecoveryFile(const std::string& path);
// Writes the sheets whole over the file (none: removes it), readable by the
// user only; the failure's text ("Nie można zapisać pliku ..."), or empty,
// the old file then unchanged.
std::string WriteRecoveryFile(const std::string& path, const std::vector<KeptSheet>& sheets);

}  // namespace velt
