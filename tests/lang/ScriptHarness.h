#pragma once
// Compiles a script given as text and runs it over a record, keeping every
// text that reached the error sink.

#include "lang/ACTInterpreter.h"
#include "lang/ActionScript.h"
#include "lang/Compiler.h"
#include "text/my_record.h"

#include <sstream>
#include <string>
#include <vector>

namespace velt::test {

struct ScriptRun {
    bool compiled = false;
    std::vector<std::string> printed;
    std::vector<std::string> messages;  // compile and run-time reports in order

    // The one printed text, or a marker that there was not exactly one.
    std::string Printed() const { return printed.size() == 1 ? printed[0] : "<" + std::to_string(printed.size()) + " texts>"; }
};

inline ScriptRun RunScript(const std::string& source, my_record& record,
                           const std::vector<std::string>& names = {},
                           const std::vector<std::string>& values = {}) {
    ScriptRun run;
    ErrorSink sink = [&run](const std::string& m) { run.messages.push_back(m); };
    std::istringstream in(source);
    ProgramPtr program = CompileOpenText(in, names, "skrypt", sink);
    run.compiled = program != nullptr;
    if (program) run.printed = RunActionScript(record, program.get(), "A", {}, sink, values, {});
    return run;
}

inline ScriptRun RunScript(const std::string& source) {
    my_record record;
    return RunScript(source, record);
}

// The value PRINT(expression) prints.
inline std::string Eval(const std::string& expression) {
    const ScriptRun run = RunScript("BEGIN PRINT(" + expression + ") END");
    if (!run.messages.empty()) return "<" + run.messages.front() + ">";
    return run.Printed();
}

}  // namespace velt::test
