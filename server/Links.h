#pragma once
// The hierarchies of records: multi-volume works and their volumes, serials
// and their issues, collections and their parts. A record names the record
// it belongs to in DOK_IDO (its shown identifier; the links table keeps the
// pairs, see RecordIndex); a record's DOK_SKL holds its parts in the order a
// component sort gave them.
//
// - The structure text of a record (the format "struktura", kind 21
//   parameter 1): the whole hierarchy the record belongs to, from its root,
//   one line a record: (level - 1) spaces, "|", the shown identifier, "|",
//   the caption; a record's parts follow it, one level deeper, in DOK_SKL
//   order and then by record number.
// - The links program (201, call "WIAZANIE|DOK_IDO"): X with the parameters
//   "DOK_IDO|parent|" ("DOK_IDO||" detaches) and the records "child|..."
//   writes DOK_IDO of every child, each in its own transaction with the
//   re-indexing; it refuses a record that does not exist, a record under
//   itself or under its own part, and a record another user has open. D is
//   its check: empty for a user with the right "modyfikowanie".

#include "Catalogue.h"
#include "Identifiers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

struct Session;

// The links program's number in the descriptor.
inline constexpr std::int32_t kLinksProgram = 6;
// The most records a structure text lists.
inline constexpr std::size_t kMaxStructureLines = 5000;

// The parts of a record: those in its DOK_SKL first, in that order, then the
// others by record number.
std::vector<std::uint32_t> OrderedParts(Catalogue& db, const Identifiers& ids, std::uint32_t number);
// Whether the record belongs to a hierarchy (it has a superior or parts).
bool InHierarchy(Catalogue& db, std::uint32_t number);
// The structure text of the hierarchy of a record, its captions made by caption.
std::string StructureText(Catalogue& db, const Identifiers& ids, std::uint32_t number,
                          const std::function<std::string(const RecordRow&)>& caption);

// The descriptor group of the links program for this session (users who
// may modify records), or nothing.
std::string LinksProgramGroup(const Session& session);
// The answer of a 201 request for the links program; none for another program.
std::optional<std::string> LinksProgram(Session& session, const std::string& id, char letter,
                                        const std::string& parameters, const std::string& records);

}  // namespace velt::server
