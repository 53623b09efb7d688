#include "reports/CatalogueCards.h"

#include "reports/ReportFile.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velt {

namespace {

// The bytes of the file, at most max; false when it cannot be opened or read.
bool ReadAtMost(const std::string& file, std::size_t max, std::string& bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    bool ok = true;
    while (bytes.size() < max) {
        const std::size_t want = std::min(sizeof buffer, max - bytes.size());
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::vector<std::string> CardReportLines(std::string_view bytes) { return SplitReportLines(bytes); }

std::string HandOverCardReport(const std::string& file, CatalogueCards& cards) {
    std::string bytes;
    const bool read = ReadAtMost(file, kMaxCardReport, bytes);
    ::unlink(file.c_str());
    if (!read) return "CARD_REPORT: Brak pliku roboczego zestawienia";
    std::vector<std::string> lines = CardReportLines(bytes);
    bool text = false;
    for (const std::string& line : lines)
        if (line.find_first_not_of(" \t\r") != std::string::npos) text = true;
    if (!text) return "Pusta zawartość karty"_cp;
    cards.KartaKatalogowa(std::move(lines));
    return {};
}

}  // namespace velt
