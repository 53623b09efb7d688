#include "lang/IniMacros.h"

#include "lang/ProfileFile.h"
#include "text/Trim.h"

#include <cstdlib>
#include <mutex>

namespace velt {

namespace {

struct MacroTable {
    std::mutex lock;
    std::vector<std::string> names;   // folded
    std::vector<std::string> values;
};

// The table lives as long as the process: values expanded after a reader
// is gone still find their macros.
MacroTable& Table() {
    static MacroTable* table = new MacroTable;
    return *table;
}

std::string Lookup(std::string_view name) {
    MacroTable& t = Table();
    const std::string folded = FoldName(name);
    {
        std::lock_guard g(t.lock);
        for (std::size_t i = 0; i < t.names.size(); ++i)
            if (t.names[i] == folded) return i < t.values.size() ? t.values[i] : std::string();
    }
    if (name.empty()) return {};
    const char* env = std::getenv(std::string(name).c_str());
    return env ? env : "";
}

}  // namespace

void SetMacroTable(std::vector<std::string> names, std::vector<std::string> values) {
    MacroTable& t = Table();
    std::lock_guard g(t.lock);
    t.names.clear();
    for (const auto& n : names) t.names.push_back(FoldName(n));
    t.values = std::move(values);
}

void AppendMacroValue(std::string value) {
    MacroTable& t = Table();
    std::lock_guard g(t.lock);
    t.values.push_back(std::move(value));
}

std::string ExpandMacros(std::string_view text) {
    std::string out;
    std::string_view rest = text;
    for (;;) {
        const auto open = rest.find('%');
        if (open == std::string_view::npos) break;
        const auto close = rest.find('%', open + 1);
        if (close == std::string_view::npos) break;  // a lone "%": kept as it stands
        out += TrimBlanks(rest.substr(0, open));
        out += Lookup(TrimBlanks(rest.substr(open + 1, close - open - 1)));
        rest = rest.substr(close + 1);
    }
    out += rest;
    return out;
}

}  // namespace velt
