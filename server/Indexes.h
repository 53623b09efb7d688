#pragma once
// The indexes the catalogue offers: which records each covers, which headings
// a record gives it, and how its keys are made.
//
// An index entry's key, as stored, is the sort form of its heading, the byte
// 01 and the record number in 10 decimal digits. On the wire the key also
// carries the byte 01 and the index code, so that a find request (which names
// no index) can tell which index a key belongs to.

#include "RecordText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

enum class IndexKind : int {
    Catalogue = 21,  // bibliographic indexes: key, letter, number part, ..., display in item 7
    Authority = 9,   // authority indexes: key, identifier, heading, display in item 4
    Inventory = 8,   // the inventory register: key, inventory number, the record's identifier
    Internal = 0,    // the server's own (its criteria): never on the wire
};

struct IndexDef {
    int id;                 // the index's number in the database
    std::string code;       // the prefix the client sends ("AU")
    std::string name;       // the tab caption (Windows-1250)
    IndexKind kind;
    char letter;            // the kind letter of the records it covers
    std::string authority;  // the authority file its headings come from ("" none)
    bool words;             // has a word index (SŁOWO searches)
    bool compact;           // keys drop spaces and hyphens (ISBN)
};

// Every index, in descriptor order: the catalogue's own first, then the
// authority files' indexes.
const std::vector<IndexDef>& AllIndexes();
const IndexDef* IndexByCode(std::string_view code);
const IndexDef* IndexByName(std::string_view name);
const IndexDef* IndexById(int id);

// The headings a record gives an index, in occurrence order (occurrence n is
// element n - 1). shown is the record's shown identifier.
std::vector<std::string> Headings(const IndexDef& index, const RecordText& record, const std::string& shown);

// The sort form of a heading for this index.
std::string HeadingKey(const IndexDef& index, std::string_view heading);
// The stored key of an entry.
std::string StoredKey(const IndexDef& index, std::string_view heading, std::uint32_t number);
// The key as sent to the client.
std::string WireKey(const IndexDef& index, std::string_view storedKey);

// A key the client sent: either a wire key of ours (stored part and index
// code) or a text the user typed (folded for the index).
struct ClientKey {
    std::string stored;  // what to compare stored keys with
    std::string code;    // the index code carried by a wire key, "" for typed text
};
ClientKey ReadClientKey(const IndexDef* index, std::string_view key);

// The record number inside a stored key, 0 when malformed.
std::uint32_t KeyNumber(std::string_view storedKey);

}  // namespace velt::server
