#include "files/ServerNames.h"

namespace velt {

std::string RelativeServerName(std::string_view name) {
    if (name.empty() || name.find('\0') != std::string_view::npos || name.find(':') != std::string_view::npos)
        return {};
    std::string relative(name);
    for (char& c : relative)
        if (c == '\\') c = '/';
    std::string_view rest = relative;
    for (;;) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        // An empty part is a leading "/" (absolute), "//" or a final "/".
        if (part.empty() || part == "..") return {};
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return relative;
}

std::string PathInside(const std::string& directory, std::string_view name) {
    std::string relative = RelativeServerName(name);
    if (relative.empty()) return {};
    std::string path = directory;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    return path + relative;
}

}  // namespace velt
