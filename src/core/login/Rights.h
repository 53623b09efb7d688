#pragma once
// The rights of a login, as the server lists them: words parted by blanks
// (or "|", ",", ";"). A right is held when one of the words is exactly it.

#include <string_view>

namespace velt {

// True when rights lists right as a word of its own (never a part of a longer word).
bool HasRight(std::string_view rights, std::string_view right);

// The right of the administrator's commands.
inline constexpr std::string_view kAdministratorRight = "administrowanie";

}  // namespace velt
