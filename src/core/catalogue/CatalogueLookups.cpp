// The scripts' lookups of the catalogue server, made with the index
// requests of the catalogue's session.

#include "catalogue/velt_files.h"

#include "text/Wildcard.h"
#include "text/converter.h"

#include <set>

namespace velt {

// The value lists' entries count their items after the key, as SELECT's do:
// the third item is Items[4].
std::string velt_files::Last(const std::string& key) {
    if (DatabaseKind == kVelt1) return {};
    const RecordPtr entry = IndexLast(22, 2, 0, key);
    return entry ? entry->Item(4) : std::string();
}

// Entries are counted after the key item: the first is Items[2].
std::string velt_files::Select(const std::string& kinds, const std::string& start, const std::string& pattern) {
    if (DatabaseKind == kVelt1) return {};
    const auto wild = pattern.find_first_of("*?");
    const std::string literal = UpperTable.Convert(pattern.substr(0, wild));
    const bool exact = wild == std::string::npos;
    std::string result;
    std::set<std::string> seen;
    RecordPtr entry = IndexSeek(21, 5, 0, start, start);
    for (int walked = 0; entry && walked < kMaxWalk; ++walked) {
        const std::string& kind = entry->Item(2);
        const std::string& term = entry->Item(6);
        if ((kinds.empty() || kinds.find(kind) != std::string::npos) && MatchWildcard(pattern, term)) {
            std::string shown = ShownIdentifier(kind + entry->Item(3)) + "|";
            if (seen.insert(shown).second) result += shown;
        }
        const int order = UpperTable.Compare(std::string_view(term).substr(0, literal.size()), literal);
        if (order > 0) break;
        if (order == 0 && exact && !kinds.empty()) {
            bool allSmaller = !kind.empty();
            for (const char k : kinds)
                allSmaller = allSmaller && static_cast<unsigned char>(k) < static_cast<unsigned char>(kind[0]);
            if (allSmaller) break;
        }
        entry = IndexNext(5, entry.get(), 0, start);
    }
    return result;
}

std::string velt_files::References(const std::string& id, const std::string& kinds) {
    if (DatabaseKind == kVelt1) return {};
    std::string k = "R" + StoredIdentifier(id);
    k = k.substr(0, 2) + " " + (k.size() > 2 ? k.substr(2, 5) : std::string());
    std::string result;
    std::set<std::string> seen;
    RecordPtr entry = IndexSeek(21, 3, 0, k, k);
    for (int walked = 0; entry && walked < kMaxWalk; ++walked) {
        std::string shown = ShownIdentifier(entry->Item(2) + entry->Item(3)) + "|";
        if (!seen.count(shown) && (kinds.empty() || kinds.find(shown[0]) != std::string::npos)) {
            seen.insert(shown);
            result += shown;
        }
        entry = IndexNext(3, entry.get(), 0, k);
    }
    return result;
}

}  // namespace velt
