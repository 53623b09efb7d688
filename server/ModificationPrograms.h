#pragma once
// The administrator's modification programs (200 G over a remote collection
// of the connection, 200 L over a list of shown identifiers): one script of
// the client's own formatting language (lang/RecordProgram.h), the same
// language the program compiles for its forms, run over every record in
// turn with REKORD its identifier. A run is all or nothing: every record the
// program changed is validated and all of them are written with their
// re-indexing in one transaction, or none is and the answer names the first
// record that failed and why (a record another session holds, a missing
// record, the program's failure on it, a step budget spent, a rule the
// changed record would break). Records the program leaves as they were are
// not written.

#include "Catalogue.h"
#include "Identifiers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velt::server {

// The steps of one whole run, over however many records: a run that would
// take longer holds every other writer up too long.
inline constexpr std::uint64_t kStepsPerRun = 1'000'000'000;

struct ModificationOutcome {
    std::string error;         // empty: done
    std::size_t written = 0;   // records changed
};

// Runs the program text over the records. session: the connection running
// it (its own reservations do not stop it).
ModificationOutcome ModifyRecords(Catalogue& db, const Identifiers& ids, std::uint64_t session,
                                  const std::vector<std::uint32_t>& numbers, const std::string& program,
                                  std::uint64_t stepsPerRun = kStepsPerRun);

}  // namespace velt::server
