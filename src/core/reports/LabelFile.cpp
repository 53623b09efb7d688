#include "reports/LabelFile.h"

#include <algorithm>

#include "text/CpLiteral.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace velt {
namespace {

std::string Blanked(const std::string& text, bool bar) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n' || (bar && c == '|')) c = ' ';
    return out;
}

std::string Failure(int code) { return "Błąd otwarcia pliku naklejek nr "_cp + std::to_string(code); }

}  // namespace

std::string LabelLine(const std::string& first, const std::string& second) {
    return Blanked(first, true) + "|" + Blanked(second, true);
}

std::vector<std::string> ElementLabelLines(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t esc = std::min(text.find('\x1B', at), text.size());
        parts.emplace_back(text.substr(at, esc - at));
        at = esc + 1;
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const std::string second = i + 1 < parts.size() ? parts[i + 1] : std::string();
        if (!parts[i].empty()) lines.push_back(LabelLine(parts[i], second));
    }
    return lines;
}

std::string AppendLabelLines(const std::string& path, const std::vector<std::string>& lines, int attempts,
                             std::chrono::milliseconds wait) {
    int fd = -1;
    for (int attempt = 1;; ++attempt) {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return Failure(errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        const int code = errno;
        ::close(fd);
        if (code != EWOULDBLOCK || attempt >= attempts) return Failure(code);
        std::this_thread::sleep_for(wait);
    }
    std::string bytes;
    for (const std::string& line : lines) bytes += Blanked(line, false) + "\r\n";
    std::size_t done = 0;
    int code = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            code = w < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(w);
    }
    ::flock(fd, LOCK_UN);
    if (::close(fd) != 0 && code == 0) code = errno;
    return code == 0 ? std::string() : Failure(code);
}

}  // namespace velt
