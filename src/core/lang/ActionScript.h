#pragma once
// One run of a compiled script over a record: the entry the editing window,
// the parameter window and the MARC conversion use.

#include "lang/ErrorSink.h"
#include "lang/Program.h"
#include "lang/TInterpreter.h"

#include <string>
#include <vector>

namespace velt {

class my_record;
class ScriptLookups;

// Runs the program over the record with "HEADER" = header, "REKORD" = kind
// and the parameters in variables 4, 5, ...; the printed texts. A GRUPA left
// open is reported as "ACT_TCP: za mało BACK". The lookups (may be none)
// answer LAST, SELECT, REFERENCES and CFG.
std::vector<std::string> RunActionScript(my_record& record, const Program* program, const std::string& kind,
                                         const ExternalRoutine& external, const ErrorSink& sink,
                                         const std::vector<std::string>& parameters, const std::string& header,
                                         ScriptLookups* lookups = nullptr, const RunLimits& limits = {});

}  // namespace velt
