#pragma once
// Collection files "*.num": one record a line, its shown identifier, lines
// ending with CR LF. Written whole through the files layer (AtomicFile), so
// a failed save leaves the old file as it was; read leniently:
// line ends of any kind, empty lines and lines that name no record skipped.

#include "catalogue/Identifiers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class VrCollection;

// Writes the collection's numbers in ascending order; empty on success, else
// "Błąd zapisu do pliku " and the name, with the cause the user can act upon
// (WriteFailureReason).
std::string SaveCollectionFile(const std::string& path, VrCollection& collection, const IdentifierRules& rules);

struct CollectionFileLines {
    bool opened = false;
    std::vector<std::string> lines;  // trimmed, not empty
};

// The lines of a collection file (at most a million, each at most 256 bytes).
CollectionFileLines ReadCollectionFile(const std::string& path);

struct CollectionFileLoad {
    std::string error;       // "Błąd otwarcia pliku " and the name
    std::int64_t included = 0;
    std::int64_t skipped = 0;
};

// Includes every record a file names into the collection.
CollectionFileLoad LoadCollectionFile(const std::string& path, VrCollection& collection, const IdentifierRules& rules);

}  // namespace velt
