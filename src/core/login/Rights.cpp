#include "login/Rights.h"

namespace velt {

bool HasRight(std::string_view rights, std::string_view right) {
    if (right.empty()) return false;
    constexpr std::string_view kSeparators = " \t|,;";
    std::size_t at = 0;
    while (at < rights.size()) {
        at = rights.find_first_not_of(kSeparators, at);
        if (at == std::string_view::npos) break;
        std::size_t end = rights.find_first_of(kSeparators, at);
        if (end == std::string_view::npos) end = rights.size();
        if (rights.substr(at, end - at) == right) return true;
        at = end;
    }
    return false;
}

}  // namespace velt
