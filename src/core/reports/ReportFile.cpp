#include "reports/ReportFile.h"

#include "files/AtomicFile.h"

namespace velt {

std::string WriteReportFile(const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(path, bytes, kSharedFileMode);
}

std::vector<std::string> SplitReportLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::size_t stop = end;
        if (stop > at && bytes[stop - 1] == '\r') --stop;
        lines.emplace_back(bytes.substr(at, stop - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace velt
