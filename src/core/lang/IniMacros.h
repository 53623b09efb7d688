#pragma once
// The process-wide macro table of the configuration: "INI" (the directory of
// the configuration file, with its final separator) and the keys of the
// section "GLOBAL", in file order. Values use them as "%" name "%"; a name
// that is no macro is looked up in the environment.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Expands every "%" name "%" of text. The text before each "%" is trimmed; a
// lone "%" with no closing one is kept, with the rest of the text, as it
// stands.
std::string ExpandMacros(std::string_view text);

// Replaces the table: names and values in order (values may be fewer while
// the table is being built).
void SetMacroTable(std::vector<std::string> names, std::vector<std::string> values);
// Adds the value of the next name while the table is built.
void AppendMacroValue(std::string value);

}  // namespace velt
