#pragma once
// Names of files that come from a server (pictures of forms and display
// lines, files of scripts): one rule for all of them. A name is taken only
// as a plain file name or a relative path that stays inside the directory
// it is meant for; it never reaches a file elsewhere.

#include <string>
#include <string_view>

namespace velt {

// The name as a relative path: backslashes (the separators of the system
// the forms are written for) read as "/"; empty when the name is refused:
// empty, absolute, with a drive ("C:"), a zero byte, a ".." part or an
// empty part ("a//b", "a/").
std::string RelativeServerName(std::string_view name);

// directory (its "/" at the end added when missing) followed by the name's
// relative path; empty when the name is refused.
std::string PathInside(const std::string& directory, std::string_view name);

}  // namespace velt
