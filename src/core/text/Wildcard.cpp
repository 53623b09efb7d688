#include "text/Wildcard.h"

namespace velt {

// Greedy matching with one remembered star: linear in practice, never
// exponential, since a later star supersedes the earlier one.
bool WildcardMatch(std::string_view p, std::string_view t) {
    std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starT = ti;
            continue;
        }
        if (pi < p.size()) {
            const bool escaped = p[pi] == '\\' && pi + 1 < p.size();
            const char pc = escaped ? p[pi + 1] : p[pi];
            if ((!escaped && pc == '?') || pc == t[ti]) {
                pi += escaped ? 2 : 1;
                ++ti;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        pi = starP;
        ti = ++starT;
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace velt
