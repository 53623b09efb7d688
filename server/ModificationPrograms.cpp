#include "ModificationPrograms.h"

#include "RecordLocks.h"
#include "RecordStore.h"
#include "lang/RecordProgram.h"
#include "text/CpLiteral.h"

namespace velt::server {

ModificationOutcome ModifyRecords(Catalogue& db, const Identifiers& ids, std::uint64_t session,
                                  const std::vector<std::uint32_t>& numbers, const std::string& text,
                                  std::uint64_t stepsPerRun) {
    ModificationOutcome out;
    const RecordProgram program(text);
    if (!program.Ready()) {
        out.error = "Błąd programu\r"_cp + program.Error();
        return out;
    }
    std::uint64_t left = stepsPerRun;
    std::vector<ProgramField> given;
    const BatchOutcome batch = WriteRecords(
        db, ids, numbers,
        [&ids, session](std::uint32_t number) -> std::string {
            const auto holder = SharedLocks().Holder(number);
            if (holder && holder->session != session) return HeldMessage(ids.Shown(number), *holder);
            return {};
        },
        [&](std::uint32_t number, std::vector<RecordField>& fields) -> std::string {
            const std::string shown = ids.Shown(number);
            if (left == 0)
                return "Rekord "_cp + shown + ": program przekroczył limit "_cp + std::to_string(stepsPerRun) +
                       " kroków całego przebiegu"_cp;
            given.clear();
            given.reserve(fields.size());
            for (auto& f : fields) given.push_back({std::move(f.key), std::move(f.value)});
            const ProgramRun run = program.Run(given, shown, std::min(left, RecordProgram::kStepsPerRecord));
            left -= std::min(left, run.steps);
            if (!run.error.empty()) return "Rekord "_cp + shown + ": "_cp + run.error;
            fields.clear();
            for (auto& f : given) fields.push_back({std::move(f.key), std::move(f.value)});
            return {};
        });
    out.written = batch.written;
    if (!batch.refusal.empty()) out.error = "Nie zmieniono żadnego rekordu. "_cp + batch.refusal;
    return out;
}

}  // namespace velt::server
