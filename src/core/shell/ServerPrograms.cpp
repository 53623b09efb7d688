#include "shell/ServerPrograms.h"

#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <optional>

namespace velt {

std::vector<std::pair<ProgramMode, std::string>> ProgramModes(const velt_programm& program) {
    std::vector<std::pair<ProgramMode, std::string>> modes;
    if (program.Options.empty()) {
        modes.emplace_back(ProgramMode::Automatic, program.Name);
        return modes;
    }
    for (const char c : program.Options) {
        switch (c) {
            case 'L': modes.emplace_back(ProgramMode::LocalCollection, "rekordy kolekcji lokalnej"); break;
            case 'R': modes.emplace_back(ProgramMode::RemoteCollection, "rekordy kolekcji zdalnej"); break;
            case 'S': modes.emplace_back(ProgramMode::CurrentRecord, "bieżący rekord"_cp); break;
            default: modes.emplace_back(ProgramMode::Automatic, "automatycznie"); break;
        }
    }
    return modes;
}

std::string ProgramRecords(ProgramMode mode, const std::string& record, VrCollection* local, const velt_files& files,
                           std::string& error) {
    error.clear();
    switch (mode) {
        case ProgramMode::Automatic:
            return {};
        case ProgramMode::CurrentRecord: {
            const std::string r(TrimSpaces(record));
            if (r.empty()) error = "Brak wyróżnionego rekordu"_cp;
            return r.empty() ? std::string() : r + "|";
        }
        case ProgramMode::LocalCollection: {
            std::string text;
            if (local)
                for (std::int64_t n = local->FirstNumber(); n; n = local->NextNumber(n))
                    text += files.ShownIdentifier(files.RecordIdentifier(static_cast<std::int32_t>(n))) + "|";
            if (text.empty()) error = "Kolekcja lokalna jest pusta";
            return text;
        }
        case ProgramMode::RemoteCollection:
            if (files.RemoteCollection == 0) {
                error = "Brak kolekcji zdalnej";
                return {};
            }
            return "@" + std::to_string(files.RemoteCollection);
    }
    return {};
}

}  // namespace velt
