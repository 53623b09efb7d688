#pragma once
// The user's own directories: the program directory is read-only once
// installed, so configuration and data are looked for here first.

#include <string>

namespace velt {

// $XDG_CONFIG_HOME/velt/ (or ~/.config/velt/), ending with "/".
std::string UserConfigDirectory();
// $XDG_DATA_HOME/velt/ (or ~/.local/share/velt/), ending with "/"; made when missing.
std::string UserDataDirectory();
// Where the program's own pictures are: its own directory (the build tree),
// or the data directory beside it once installed (../share/velt/); ends with "/".
std::string ProgramImageDirectory(const std::string& programDir);

}  // namespace velt
