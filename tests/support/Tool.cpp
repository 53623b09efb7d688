#include "support/Tool.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace velt::test {

std::optional<std::string> RunTool(const std::string& command, const std::string& input) {
    char name[] = "/tmp/velt-tool-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return std::nullopt;
    const bool written = ::write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size());
    ::close(fd);
    std::optional<std::string> result;
    if (written) {
        const std::string line = "(" + command + ") < " + name;
        if (FILE* p = ::popen(line.c_str(), "r")) {
            std::string out;
            char buf[65536];
            std::size_t got;
            while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
            if (::pclose(p) == 0) result = std::move(out);
        }
    }
    ::unlink(name);
    return result;
}

bool HaveTool(const std::string& program) {
    const std::string line = "command -v " + program + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

}  // namespace velt::test
