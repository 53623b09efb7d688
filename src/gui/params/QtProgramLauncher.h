#pragma once
// Programs started by the operating system, with an argument list (no
// shell in between): QProcess, detached. Paths and arguments are the bytes
// of the file system.

#include "params/ProgramLauncher.h"

namespace velt::gui {

class QtProgramLauncher : public ProgramLauncher {
public:
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory,
               std::string& why) override;
};

}  // namespace velt::gui
