#pragma once
// Field-event scripts: a file of entries, each a header line naming an event
// and a key pattern ("[CHANGE 245Z.1.1.<N>.1]") followed by one script. The
// editing and parameter windows run the scripts whose event and pattern
// match the field at hand; the pattern's placeholders hand the matched parts
// of the key to the script as its parameters.

#include "lang/ErrorSink.h"
#include "lang/Program.h"
#include "lang/TInterpreter.h"

#include <istream>
#include <string>
#include <vector>

namespace velt {

class my_record;
class ScriptLookups;

// Field events.
enum FieldEvent : int { kEventShow = 0, kEventEnter = 1, kEventChange = 2, kEventExit = 3, kEventHelp = 4 };

struct action_pattern {
    std::string pattern;             // key pattern, each placeholder replaced by "&"
    std::vector<std::string> names;  // the placeholders' names in order
    int event = kEventShow;
    ProgramPtr program;              // none when the script did not compile
};

using act_script = std::vector<action_pattern>;

// The entries of the file; empty for an empty name or a file that cannot be read.
act_script LoadEventScripts(const std::string& fileName, const ErrorSink& sink);
// The same from an open source; fileName names it in messages.
act_script LoadEventScripts(std::istream& source, const std::string& fileName, const ErrorSink& sink);

// Runs every entry of the event whose pattern matches the key; what they printed.
std::vector<std::string> RunEvent(const act_script& scripts, const std::string& kind, my_record& record,
                                  const ExternalRoutine& external, const ErrorSink& sink, int event,
                                  const std::string& key, ScriptLookups* lookups = nullptr,
                                  const RunLimits& limits = {});

// Frees the programs and the entries.
void FreeEventScripts(act_script& scripts);

// Matches a key against an entry's pattern ("&" captures the shortest run
// that lets the rest match, "*" any run, "?" one character); the captures
// in order, or false.
bool MatchEventPattern(const std::string& pattern, const std::string& key, std::vector<std::string>& captures);

}  // namespace velt
