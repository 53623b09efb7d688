#pragma once
// Writing a report's output file whole: the bytes go into a uniquely named
// file beside it, which is renamed over the name only once it is complete,
// so a failure never leaves half a file under that name.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Writes bytes to path; the system's error text, or empty on success.
std::string WriteReportFile(const std::string& path, std::string_view bytes);

// The lines of a work file's bytes: parted by LF, a CR before the LF
// dropped, the last line's end optional.
std::vector<std::string> SplitReportLines(std::string_view bytes);

}  // namespace velt
