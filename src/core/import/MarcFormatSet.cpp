#include "import/MarcFormatSet.h"

#include "lang/ActionScript.h"
#include "lang/Compiler.h"

namespace velt {

bool MarcFormatSet::Load(char letter, const std::string& fileName, const ErrorSink& sink) {
    ProgramPtr program = CompileScript(fileName, {}, sink);
    if (!program) return false;
    mPrograms[static_cast<unsigned char>(letter)] = std::move(program);
    return true;
}

bool MarcFormatSet::Has(char letter) const { return mPrograms[static_cast<unsigned char>(letter)] != nullptr; }

void MarcFormatSet::Clear() {
    for (auto& program : mPrograms) program.reset();
}

MarcFormatter MarcFormatSet::Formatter(ErrorSink errors) const {
    return [programs = mPrograms, errors = std::move(errors)](const my_record& record, char kind) {
        const auto& program = programs[static_cast<unsigned char>(kind)];
        if (!program) return MarcFieldLines(record);
        // The interpreter may write to the record; the caller's stays as it is.
        my_record copy;
        copy.CopyFrom(record);
        const ErrorSink sink = [&errors](const std::string& message) {
            if (errors) errors("Z3950: " + message);
        };
        std::vector<std::string> lines =
            RunActionScript(copy, program.get(), std::string(1, kind), {}, sink, {}, {}, nullptr);
        for (const my_error& e : record.errors()) lines.push_back(e.message);
        return lines;
    };
}

}  // namespace velt
