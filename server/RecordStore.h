#pragma once
// Writing records: a save (a changed or a new record) and a delete, each in
// one SQLite transaction that also brings the index entries, words, sort
// columns, references and links up to date (RecordIndex), so a reader on
// another connection sees the record before or after, never half-way.
// Writes are taken one at a time across the whole server: the current text
// is read, edited and validated inside the same lock, so two saves of one
// record never lose each other's changes.

#include "Catalogue.h"
#include "Identifiers.h"
#include "RecordText.h"
#include "Validation.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velt::server {

// Run inside the write lock before anything is read: a non-empty text
// refuses the write (the caller's reservation is checked here).
using WriteGuard = std::function<std::string()>;
// Changes the record's fields; errors refuse the write.
using RecordEdit = std::function<std::vector<FieldError>(std::vector<RecordField>& fields)>;

struct WriteOutcome {
    std::uint32_t number = 0;        // the record written (a new one: its new number)
    std::string refusal;             // the whole write refused (guard, missing record, no number left)
    std::vector<FieldError> errors;  // edit and validation errors: nothing was written
    bool ok() const { return refusal.empty() && errors.empty(); }
};

// Edits and validates record number (0: a new record of kind letter, made
// from base, the kind's initial record); when store, writes it with its
// change stamp and re-indexes it. The stored text keeps no empty fields,
// no record number field and no working fields.
WriteOutcome WriteRecord(Catalogue& db, const Identifiers& ids, char letter, std::uint32_t number,
                         const std::string& base, const WriteGuard& guard, const RecordEdit& edit, bool store);

// What is done to one record of a batch (its number, its fields as a save
// gets them); a refusal's text stops the whole batch.
using BatchEdit = std::function<std::string(std::uint32_t number, std::vector<RecordField>& fields)>;
// Run inside the write lock before a record of a batch is read: a non-empty
// text refuses it (and so the batch).
using BatchGuard = std::function<std::string(std::uint32_t number)>;

struct BatchOutcome {
    std::string refusal;      // why the batch was not written: nothing was
    std::uint32_t failed = 0; // the record the refusal concerns
    std::size_t written = 0;  // records changed (those the edit left as they were are not written)
};

// Edits, validates and writes the records in one transaction under the
// write lock, re-indexing each: every one of them, or none. A missing
// record, a guard's refusal, an edit's refusal or a validation error (its
// first message after "Rekord " and the identifier) stops the batch at that
// record.
BatchOutcome WriteRecords(Catalogue& db, const Identifiers& ids, const std::vector<std::uint32_t>& numbers,
                          const BatchGuard& guard, const BatchEdit& edit);

// Deletes a record with its entries, words, references, links, attachments
// and copies. Refused (the reason) for an authority record that others
// refer to, for a record others are attached to and for a book with a copy
// lent, reserved or ordered.
std::string DeleteRecord(Catalogue& db, const Identifiers& ids, std::uint32_t number, const WriteGuard& guard);

// Runs f under the server's write lock (for work that must not interleave
// with a write, such as a whole modification program's bookkeeping).
void UnderWriteLock(const std::function<void()>& f);

// Fills the indexes that have no entry at all (an index this server added
// to a catalogue written by an older one) from every record, as saving
// would have; the other indexes are left as they are. Returns how many
// entries it wrote.
std::size_t FillEmptyIndexes(const std::string& path, const Identifiers& ids);

// The change stamp of the 005 field: YYYYMMDDhhmmss.0, local time.
std::string ChangeStamp();

}  // namespace velt::server
