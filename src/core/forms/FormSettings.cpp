// Picture files named by forms.

#include "forms/FormSettings.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace velt {
namespace {

constexpr std::size_t kMaxPictureBytes = 16u << 20;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    char block[65536];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(block, 1, sizeof block, f);
        if (n == 0) break;
        if (bytes.size() + n > kMaxPictureBytes) {
            ok = false;
            break;
        }
        bytes.append(block, n);
    }
    std::fclose(f);
    return ok && !bytes.empty();
}

}  // namespace

std::string PicturePath(const std::string& directory, const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return {};
    std::string relative = name;
    for (char& c : relative)
        if (c == '\\') c = '/';
    if (relative.front() == '/' || relative.find(':') != std::string::npos) return {};
    std::string_view rest = relative;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part == "..") return {};
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    if (relative.back() == '/') return {};
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    return dir + relative;
}

FormPicture LoadPicture(const std::string& directory, const std::string& name) {
    FormPicture picture;
    picture.name = name;
    const std::string path = PicturePath(directory, name);
    if (path.empty()) return picture;
    std::string bytes;
    bool ok = ReadWhole(path, bytes);
    if (!ok) {
        // Forms written on a system that ignores letter case name "USUN.BMP"
        // for usun.bmp: the last part is looked for without case.
        const std::filesystem::path p(path);
        std::error_code ec;
        for (std::filesystem::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
            if (SameIgnoringCase(it->path().filename().string(), p.filename().string())) {
                ok = ReadWhole(it->path().string(), bytes);
                break;
            }
        }
    }
    if (ok) picture.bytes = std::make_shared<const std::string>(std::move(bytes));
    return picture;
}

}  // namespace velt
