#include "files/UserDirectories.h"

#include <cstdlib>
#include <sys/stat.h>

namespace velt {

namespace {

std::string Base(const char* xdgVariable, const char* fallback) {
    const char* xdg = std::getenv(xdgVariable);
    if (xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + fallback;
}

void MakePath(const std::string& dir) {
    for (std::size_t i = 1; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == '/') ::mkdir(dir.substr(0, i).c_str(), 0700);
}

}  // namespace

std::string UserConfigDirectory() { return Base("XDG_CONFIG_HOME", "/.config") + "/velt/"; }

std::string UserDataDirectory() {
    const std::string dir = Base("XDG_DATA_HOME", "/.local/share") + "/velt/";
    MakePath(dir);
    return dir;
}

std::string ProgramImageDirectory(const std::string& programDir) {
    struct stat st {};
    if (::stat((programDir + "totop@2x.png").c_str(), &st) == 0) return programDir;
    const std::string installed = programDir + "../share/velt/";
    if (::stat((installed + "totop@2x.png").c_str(), &st) == 0) return installed;
    return programDir;
}

}  // namespace velt
