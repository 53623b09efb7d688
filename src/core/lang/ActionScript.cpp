// RunActionScript: an ACTInterpreter for one run.

#include "lang/ActionScript.h"

#include "lang/ACTInterpreter.h"
#include "text/CpLiteral.h"

#include <exception>

namespace velt {

std::vector<std::string> RunActionScript(my_record& record, const Program* program, const std::string& kind,
                                         const ExternalRoutine& external, const ErrorSink& sink,
                                         const std::vector<std::string>& parameters, const std::string& header,
                                         ScriptLookups* lookups, const RunLimits& limits) {
    if (!program) return {};
    try {
        ACTInterpreter act(sink, record, lookups);
        act.Limits = limits;
        act.SetVariable(2, header);
        act.SetVariable(3, kind);
        for (std::size_t i = 0; i < parameters.size() && i + 4 <= TInterpreter::kVariables; ++i)
            act.SetVariable(static_cast<int>(i + 4), parameters[i]);
        std::vector<std::string> printed = act.Run(*program, external);
        if (act.GroupsOpen() && sink) sink("ACT_TCP: za mało BACK"_cp);
        return printed;
    } catch (const std::exception& failure) {
        if (sink) sink("ACT_TCP.EXECUTE: " + std::string(failure.what()));
        return {};
    }
}

}  // namespace velt
