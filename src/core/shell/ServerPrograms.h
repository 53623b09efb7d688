#pragma once
// The server's programs of "&Operacja": the records a program runs over, by
// the selection mode of its item (the run itself: params/ServerItems.h).

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

}  // namespace velt
