#include "reports/ReportFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace velt {

std::string WriteReportFile(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return std::strerror(errno);
    int err = 0;
    std::size_t done = 0;
    while (done < bytes.size() && err == 0) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) err = w < 0 ? errno : EIO;
        else done += static_cast<std::size_t>(w);
    }
    // mkstemp makes the file private; an output file is for others to read.
    if (err == 0 && ::fchmod(fd, 0644) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return std::strerror(err);
    }
    return {};
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
