// Picture files named by forms.

#include "forms/FormSettings.h"

#include "files/ServerNames.h"

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

namespace {

std::string& ProgramPictures() {
    static std::string directory;
    return directory;
}

// The file name in dir, or one that differs from it only in letter case:
// forms written on a system that ignores case name "USUN.BMP" for usun.bmp.
bool ReadFound(const std::string& dir, const std::string& relative, std::string& bytes) {
    const std::string path = PathInside(dir, relative);
    if (path.empty()) return false;
    if (ReadWhole(path, bytes)) return true;
    const std::filesystem::path p(path);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(p.parent_path(), ec), end; !ec && it != end; it.increment(ec))
        if (SameIgnoringCase(it->path().filename().string(), p.filename().string()))
            return ReadWhole(it->path().string(), bytes);
    return false;
}

// The picture of relative in dir: "x.bmp" drawn as "x@2x.png" (twice the
// size) or "x.png" is taken before the file of the name itself, as the
// browser's pictures are.
bool ReadPicture(const std::string& dir, const std::string& relative, FormPicture& picture) {
    const auto slash = relative.find_last_of('/');
    const auto dot = relative.find_last_of('.');
    const std::string base =
        dot == std::string::npos || (slash != std::string::npos && dot < slash) ? relative : relative.substr(0, dot);
    std::string bytes;
    int density = 1;
    bool found = ReadFound(dir, base + "@2x.png", bytes);
    if (found) density = 2;
    else found = ReadFound(dir, base + ".png", bytes) || ReadFound(dir, relative, bytes);
    if (!found) return false;
    picture.bytes = std::make_shared<const std::string>(std::move(bytes));
    picture.density = density;
    return true;
}

}  // namespace

void SetProgramPictureDirectory(std::string directory) { ProgramPictures() = std::move(directory); }

const std::string& ProgramPictureDirectory() { return ProgramPictures(); }

FormPicture LoadPicture(const std::string& directory, const std::string& name) {
    FormPicture picture;
    picture.name = name;
    // A name from a server's form never leaves the picture directory.
    const std::string relative = RelativeServerName(name);
    if (relative.empty()) return picture;
    if (ReadPicture(directory, relative, picture)) return picture;
    if (!ProgramPictures().empty() && ProgramPictures() != directory) ReadPicture(ProgramPictures(), relative, picture);
    return picture;
}

}  // namespace velt
