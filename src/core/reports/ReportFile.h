#pragma once
// Writing a report's output file whole, for anyone to read, through the
// files layer (AtomicFile): a failure never leaves half a file under that
// name, nor changes the old file.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Writes bytes to path; empty on success, else the failure's text
// ("Nie można zapisać pliku ...").
std::string WriteReportFile(const std::string& path, std::string_view bytes);

// The lines of a work file's bytes: parted by LF, a CR before the LF
// dropped, the last line's end optional.
std::vector<std::string> SplitReportLines(std::string_view bytes);

}  // namespace velt
