#pragma once
// Runs an outside program as an independent oracle: the input goes to its
// standard input from a temporary file, its standard output comes back.

#include <optional>
#include <string>

namespace velt::test {

// The output of the shell command fed with input; nothing when the command
// could not be run or exited non-zero.
std::optional<std::string> RunTool(const std::string& command, const std::string& input);

// True when the program is on the PATH.
bool HaveTool(const std::string& program);

}  // namespace velt::test
