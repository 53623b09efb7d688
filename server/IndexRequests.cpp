// Index requests (50 find, 55 from, 56 next, 57 last, 58 prior) over the
// catalogue indexes (kind 21), the authority indexes (kind 9), the
// inventory register (kind 8), the remote collections (kind 99) and the
// circulation's indexes (ReaderRequests).
//
// Kind 21 reads its parameter as: 5 browse the index whose code is the
// prefix (or whose code begins the prefix, the rest being where to start);
// 4 locate a record in an index (prefix: identifier, "X", code); 3 the
// records that refer to an authority record (prefix: "R", its letter, a
// blank and the rest of its identifier); 1 the entry of one record (prefix:
// its identifier); with parameter 5 an authority index's code walks that
// index in the catalogue's shape. Kind 22 parameter 2 is the value list of
// an index: the entries whose heading begins with a text (prefix: index
// code and text), the heading in item 4 and its display in item 5.

#include "Descriptor.h"
#include "DisplayFormats.h"
#include "Indexes.h"
#include "ReaderRequests.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace velt::server {

namespace {

constexpr std::size_t kMaxKey = 4096;  // keys, prefixes and typed texts

enum : std::uint8_t { kFind = 50, kFrom = 55, kNext = 56, kLast = 57, kPrior = 58 };

struct IndexQuery {
    std::uint8_t code;
    int kind;
    int format;
    int parameter;
    std::string prefix;
    std::string key;
};

// The reply for one catalogue or authority index entry; a value-list entry
// has the catalogue's shape whatever its index.
std::vector<std::string> EntryItems(Session& s, const IndexDef& index, const EntryRow& e, int format,
                                    bool withHeading, bool catalogueShape = false, bool valueList = false) {
    const auto record = s.db.Record(e.number);
    if (!record) return {};
    const std::string shown = s.ids.Shown(e.number);
    const auto headings = Headings(index, RecordText::Parse(record->text), shown);
    const std::string heading =
        e.occurrence >= 1 && static_cast<std::size_t>(e.occurrence) <= headings.size() ? headings[static_cast<std::size_t>(e.occurrence - 1)] : std::string();
    const std::string stored = s.ids.Stored(e.number);
    if (index.kind == IndexKind::Authority && !catalogueShape) {
        const std::string display = format == kFormatAuthority || format == kFormatShort || format == kFormatFull
                                        ? AuthorityEntryText(s.ids, *record, format, heading)
                                        : DisplayText(s.db, s.ids, *record, format, {});
        return {WireKey(index, e.key), stored, heading, display};
    }
    std::string display = DisplayText(s.db, s.ids, *record, format, withHeading ? heading : std::string());
    // A value list's entry in the authority format is the heading itself.
    if (valueList && format == kFormatAuthority) display = ValueListText(heading);
    else if (index.kind == IndexKind::Authority) display = AuthorityEntryText(s.ids, *record, format, heading);
    // The heading stands in item 4 and again in item 6, where walks of an
    // index by its headings (action scripts' SELECT, the authority lookups)
    // read it; a value list's display is item 5, the catalogue's item 7.
    return {WireKey(index, e.key), stored.substr(0, 1), stored.substr(1), heading,
            valueList ? display : index.code, heading, display};
}

std::optional<EntryRow> Browse(Session& s, const IndexDef& index, const IndexQuery& q) {
    const ClientKey key = ReadClientKey(&index, q.key);
    switch (q.code) {
        case kFind:
            return s.db.Exact(index.id, key.stored);
        case kFrom:
            return q.key.empty() ? s.db.First(index.id) : s.db.AtOrAfter(index.id, key.stored);
        case kNext:
            return s.db.After(index.id, key.stored);
        case kLast:
            return s.db.Last(index.id);
        default:
            return s.db.Before(index.id, key.stored);
    }
}

// The entry of a record in an index: its lowest key there.
std::optional<EntryRow> EntryOfRecord(Session& s, const IndexDef& index, std::uint32_t number) {
    const auto record = s.db.Record(number);
    if (!record) return std::nullopt;
    std::optional<EntryRow> best;
    const auto headings = Headings(index, RecordText::Parse(record->text), s.ids.Shown(number));
    for (const auto& h : headings) {
        const auto e = s.db.Exact(index.id, StoredKey(index, h, number));
        if (e && (!best || e->key < best->key)) best = e;
    }
    return best;
}

// Locate: the prefix is an identifier, "X" and an index code; the code is
// the part after an "X" that names an index.
std::optional<std::pair<const IndexDef*, std::uint32_t>> ReadLocate(Session& s, const std::string& prefix) {
    for (std::size_t x = prefix.rfind('X'); x != std::string::npos && x > 0; x = prefix.rfind('X', x - 1)) {
        const IndexDef* index = IndexByCode(prefix.substr(x + 1));
        if (!index || index->kind != IndexKind::Catalogue) continue;
        if (const std::uint32_t n = s.ids.Parse(prefix.substr(0, x))) return std::make_pair(index, n);
    }
    return std::nullopt;
}

// Keys below this bound and not below the text's sort form begin with it.
std::string PrefixEnd(const std::string& folded) { return folded + "\xFF\xFF\xFF\xFF"; }

std::vector<std::string> ValueListIndex(Session& s, const IndexQuery& q) {
    if (q.parameter != 2 || q.prefix.size() < 2) return {};
    const IndexDef* index = IndexByCode(std::string_view(q.prefix).substr(0, 2));
    if (!index) return {};
    const std::string folded = HeadingKey(*index, std::string_view(q.prefix).substr(2));
    const std::string stored = ReadClientKey(index, q.key).stored;
    std::optional<EntryRow> e;
    switch (q.code) {
        case kFind: e = s.db.Exact(index->id, stored); break;
        case kFrom: e = s.db.AtOrAfter(index->id, q.key.empty() ? folded : std::max(folded, stored)); break;
        case kNext: e = s.db.After(index->id, stored); break;
        case kLast: e = s.db.Before(index->id, PrefixEnd(folded)); break;
        default: e = s.db.Before(index->id, stored); break;
    }
    if (!e || e->key.compare(0, folded.size(), folded) != 0) return {};
    return EntryItems(s, *index, *e, q.format, false, true, true);
}

// The inventory register (kind 8, parameter 1): the copies' inventory
// numbers under the prefix, each with the record that holds the copy.
std::vector<std::string> InventoryIndex(Session& s, const IndexQuery& q) {
    const IndexDef* index = IndexByCode("IN");
    if (q.parameter != 1 || !index) return {};
    const std::string folded = HeadingKey(*index, q.prefix);
    const std::string stored = ReadClientKey(index, q.key).stored;
    std::optional<EntryRow> e;
    switch (q.code) {
        case kFind: e = s.db.Exact(index->id, stored); break;
        case kFrom: e = s.db.AtOrAfter(index->id, q.key.empty() ? folded : std::max(folded, stored)); break;
        case kNext: e = s.db.After(index->id, stored); break;
        case kLast: e = s.db.Before(index->id, PrefixEnd(folded)); break;
        default: e = s.db.Before(index->id, stored); break;
    }
    if (!e || e->key.compare(0, folded.size(), folded) != 0) return {};
    const auto record = s.db.Record(e->number);
    if (!record) return {};
    const auto numbers = Headings(*index, RecordText::Parse(record->text), {});
    const std::string number = e->occurrence >= 1 && static_cast<std::size_t>(e->occurrence) <= numbers.size()
                                   ? numbers[static_cast<std::size_t>(e->occurrence - 1)]
                                   : std::string();
    return {WireKey(*index, e->key), number, s.ids.Shown(e->number)};
}

// The records that refer to an authority record: those whose "^9" names
// it, as every save keeps them in the reference table.
std::vector<std::uint32_t> Referring(Session& s, std::uint32_t authority) {
    return s.db.Referrers(authority, 100000);
}

std::vector<std::string> ReferencesIndex(Session& s, const IndexQuery& q) {
    const std::string& k = q.prefix;
    if (k.size() < 4 || k[0] != 'R' || k[2] != ' ') return {};
    const std::uint32_t authority = s.ids.Parse(std::string(1, k[1]) + k.substr(3));
    if (!authority) return {};
    const std::vector<std::uint32_t> numbers = Referring(s, authority);
    if (numbers.empty()) return {};
    std::uint32_t given = 0;
    const bool hasKey = !q.key.empty() && q.key != k;
    if (hasKey) {
        const auto at = q.key.rfind('\x01');
        if (at == std::string::npos || q.key.compare(0, at, k) != 0) return {};
        given = KeyNumber(q.key.substr(at));
    }
    auto after = std::upper_bound(numbers.begin(), numbers.end(), given);
    auto atOrAfter = std::lower_bound(numbers.begin(), numbers.end(), given);
    std::optional<std::uint32_t> n;
    switch (q.code) {
        case kFind: if (atOrAfter != numbers.end() && *atOrAfter == given) n = given; break;
        case kFrom: if (atOrAfter != numbers.end()) n = *atOrAfter; break;
        case kNext: if (after != numbers.end()) n = *after; break;
        case kLast: n = numbers.back(); break;
        default: if (atOrAfter != numbers.begin()) n = *(atOrAfter - 1); break;
    }
    if (!n) return {};
    const auto record = s.db.Record(*n);
    if (!record) return {};
    char digits[16];
    std::snprintf(digits, sizeof digits, "\x01%010u", *n);
    const std::string stored = s.ids.Stored(*n);
    const auto authorityRecord = s.db.Record(authority);
    std::string heading;
    if (authorityRecord) {
        const RecordText text = RecordText::Parse(authorityRecord->text);
        heading = Subfield(text.Value(text.Value("100").empty() ? "150" : "100"), 'a');
    }
    return {k + digits, stored.substr(0, 1), stored.substr(1), heading, "R", s.ids.Shown(*n),
            DisplayText(s.db, s.ids, *record, q.format, {})};
}

std::vector<std::string> CatalogueIndex(Session& s, const IndexQuery& q) {
    if (q.code == kFind) {
        // A find request names no index: the key says which.
        const ClientKey key = ReadClientKey(nullptr, q.key);
        const IndexDef* index = IndexByCode(key.code);
        if (!index || index->kind != IndexKind::Catalogue) return {};
        const auto e = s.db.Exact(index->id, key.stored);
        return e ? EntryItems(s, *index, *e, q.format, q.parameter != 1) : std::vector<std::string>{};
    }
    if (q.parameter == 1) {
        if (q.code != kFrom) return {};
        const std::uint32_t n = s.ids.Parse(q.prefix);
        const IndexDef* index = IndexByCode("NR");
        if (const auto e = n ? EntryOfRecord(s, *index, n) : std::nullopt) return EntryItems(s, *index, *e, q.format, false);
        // An authority record has no entry in the catalogue's number index:
        // its entry is made the same way, in the catalogue's shape.
        const auto record = n ? s.db.Record(n) : std::nullopt;
        if (!record) return {};
        const std::string stored = s.ids.Stored(n), shown = s.ids.Shown(n);
        return {stored, stored.substr(0, 1), stored.substr(1), shown, "NR", shown,
                DisplayText(s.db, s.ids, *record, q.format, {})};
    }
    if (q.parameter == 4) {
        if (q.code != kFrom) return {};
        const auto target = ReadLocate(s, q.prefix);
        if (!target) return {};
        const auto e = EntryOfRecord(s, *target->first, target->second);
        return e ? EntryItems(s, *target->first, *e, q.format, true) : std::vector<std::string>{};
    }
    if (q.parameter == 3) return ReferencesIndex(s, q);
    const IndexDef* index = IndexByCode(q.prefix);
    IndexQuery browse = q;
    if (!index && q.prefix.size() > 2 && (index = IndexByCode(std::string_view(q.prefix).substr(0, 2)))) {
        // The index code and a text to start at: a from request without a
        // key of its own starts there.
        if (q.code == kFrom && (q.key.empty() || q.key == q.prefix)) browse.key = q.prefix.substr(2);
    }
    if (!index) return {};
    const auto e = Browse(s, *index, browse);
    if (!e) return {};
    // An authority index walked as a catalogue index: its entries in the
    // catalogue's shape (the record's letter in item 2, the heading in item 6).
    if (index->kind == IndexKind::Authority) return EntryItems(s, *index, *e, q.format, false, true);
    return EntryItems(s, *index, *e, q.format, true);
}

std::vector<std::string> AuthorityIndex(Session& s, const IndexQuery& q) {
    const IndexDef* index = nullptr;
    if (q.code == kFind) {
        index = IndexByCode(ReadClientKey(nullptr, q.key).code);
    } else {
        index = IndexByCode(q.prefix);
    }
    if (!index || index->kind != IndexKind::Authority) return {};
    const auto e = Browse(s, *index, q);
    return e ? EntryItems(s, *index, *e, q.format == 0 ? kFormatAuthority : q.format, false) : std::vector<std::string>{};
}

// Remote collections: keys are positions, 10 decimal digits from 1.
std::string PositionKey(std::size_t position) {
    char text[24];
    std::snprintf(text, sizeof text, "%010zu", position);
    return text;
}

std::size_t ReadPosition(const std::string& key) {
    std::size_t p = 0;
    for (const char c : key) {
        if (c < '0' || c > '9' || p > 100000000) return 0;
        p = p * 10 + static_cast<std::size_t>(c - '0');
    }
    return p;
}

std::vector<std::string> CollectionIndex(Session& s, const IndexQuery& q) {
    const auto it = s.collections.find(q.parameter);
    if (it == s.collections.end()) return {};
    const auto& numbers = it->second;
    const std::size_t size = numbers.size();
    std::size_t at = 0;  // 1-based; 0 none
    const std::size_t given = ReadPosition(q.key);
    switch (q.code) {
        case kFind:
            at = given >= 1 && given <= size ? given : 0;
            break;
        case kFrom:
            if (!q.prefix.empty()) {
                // Locate a record in the collection by its identifier.
                const std::uint32_t n = s.ids.Parse(q.prefix);
                for (std::size_t i = 0; n && i < size && !at; ++i)
                    if (numbers[i] == n) at = i + 1;
            } else {
                at = q.key.empty() ? 1 : std::max<std::size_t>(given, 1);
            }
            break;
        case kNext:
            at = given >= 1 && given < size ? given + 1 : 0;
            break;
        case kLast:
            at = size;
            break;
        default:
            at = given >= 2 && given <= size + 1 ? given - 1 : 0;
            break;
    }
    if (at == 0 || at > size) return {};  // also every request on an empty collection
    const std::uint32_t number = numbers[at - 1];
    const auto record = s.db.Record(number);
    const std::string display = record ? DisplayText(s.db, s.ids, *record, q.format, {})
                                       : "Rekord "_cp + s.ids.Shown(number) + " został usunięty"_cp;
    return {PositionKey(at), s.ids.Stored(number), display};
}

void IndexRequest(Session& s, std::uint8_t code, char) {
    IndexQuery q;
    q.code = code;
    q.kind = s.in.Integer(0, 255, "index kind");
    q.format = s.in.Integer(0, 65535, "format");
    q.parameter = s.in.Integer(0, INT_MAX, "index parameter");
    if (code != kFind) q.prefix = s.in.Text(kMaxKey);
    q.key = s.in.Text(kMaxKey);
    std::vector<std::string> items;
    switch (q.kind) {
        case static_cast<int>(IndexKind::Catalogue):
            items = CatalogueIndex(s, q);
            break;
        case static_cast<int>(IndexKind::Authority):
            items = AuthorityIndex(s, q);
            break;
        case 22:
            items = ValueListIndex(s, q);
            break;
        case static_cast<int>(IndexKind::Inventory):
            items = InventoryIndex(s, q);
            break;
        case 99:
            items = CollectionIndex(s, q);
            break;
        default:
            // The circulation's kinds; any other is not in this catalogue: no entry.
            if (CirculationKind(q.kind))
                items = CirculationIndex(s, {q.code, q.kind, q.format, q.parameter, q.prefix, q.key});
            break;
    }
    s.out.Record(items);
}

}  // namespace

void RegisterIndexRequests() {
    for (const std::uint8_t code : {kFind, kFrom, kNext, kLast, kPrior}) RegisterRequest(code, IndexRequest);
}

}  // namespace velt::server
