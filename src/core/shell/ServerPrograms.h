#pragma once
// The server's programs of "&Operacja": the records a program runs over, by
// the selection mode of its item, and the run itself with its parameter
// form asked first, answered in a loop until the server is content.

#include "catalogue/DescriptorItems.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>
#include <string>

namespace velt {

class LongOperations;
class Prompts;
class VrCollection;
class velt_files;

// The selection modes of a program item.
enum class ProgramMode { Automatic = 0, CurrentRecord = 1, LocalCollection = 2, RemoteCollection = 3 };

// The modes a program's options offer ("L" local, "R" remote, "S" current,
// any other automatic), with their captions; one automatic without options.
std::vector<std::pair<ProgramMode, std::string>> ProgramModes(const velt_programm& program);

// The records text of a mode: empty for automatic; the record followed by
// "|"; the local collection's shown identifiers each followed by "|"; "@"
// and the remote collection's number. Empty with error set when there is
// nothing to run over.
std::string ProgramRecords(ProgramMode mode, const std::string& record, VrCollection* local, const velt_files& files,
                           std::string& error);

// The parameter window of a program (its name, form and script) with the
// starting values; the accepted values, or nothing when cancelled.
using ProgramParameters =
    std::function<std::optional<std::string>(const velt_programm& program, const std::string& values)>;

// Runs a program over records. With a parameter form the check request
// (from 2008.01.23) gives the starting values, or a refusal (a text without
// "|", shown and the end); the form is asked until the server's answer is
// empty. Without one it runs at once. Answers are shown with plain_message;
// redisplay runs after every run. False when nothing ran.
bool RunServerProgram(velt_files& files, const velt_programm& program, const std::string& records, Prompts& prompts,
                      LongOperations& longOps, const ProgramParameters& ask, const std::function<void()>& redisplay);

}  // namespace velt
