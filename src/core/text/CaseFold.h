#pragma once
// Upper-casing of Windows-1250 texts for case-insensitive names.

#include <string>
#include <string_view>

namespace velt {

// The text with every small letter as its capital.
std::string UpperCase(std::string_view text);

}  // namespace velt
