#include "files/WindowSizes.h"

#include "files/AtomicFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace velt {

namespace {

std::optional<int> Dimension(std::string_view text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (v < WindowSizes::kSmallest || v > WindowSizes::kLargest) return std::nullopt;
    return v;
}

// A name is one line without "=".
bool ValidName(const std::string& name) {
    return !name.empty() && name.size() <= 200 && name.find_first_of("=\r\n") == std::string::npos;
}

}  // namespace

void WindowSizes::Load() {
    mSizes.clear();
    std::ifstream in(mPath, std::ios::binary);
    std::string line;
    for (int n = 0; n < 1000 && std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        const auto x = line.find('x', eq == std::string::npos ? 0 : eq);
        if (eq == std::string::npos || x == std::string::npos) continue;
        const auto w = Dimension(std::string_view(line).substr(eq + 1, x - eq - 1));
        const auto h = Dimension(std::string_view(line).substr(x + 1));
        const std::string name = line.substr(0, eq);
        if (w && h && ValidName(name)) mSizes[name] = {*w, *h};
    }
}

std::optional<WindowSize> WindowSizes::Find(const std::string& name) const {
    const auto it = mSizes.find(name);
    if (it == mSizes.end()) return std::nullopt;
    return it->second;
}

bool WindowSizes::Keep(const std::string& name, WindowSize size) {
    if (!ValidName(name) || !Dimension(std::to_string(size.width)) || !Dimension(std::to_string(size.height)))
        return false;
    const auto it = mSizes.find(name);
    if (it != mSizes.end() && it->second.width == size.width && it->second.height == size.height) return true;
    mSizes[name] = size;
    std::string text;
    for (const auto& [n, s] : mSizes) text += n + "=" + std::to_string(s.width) + "x" + std::to_string(s.height) + "\n";
    // The configuration directory may not be there yet.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(mPath).parent_path(), ec);
    return WriteFileAtomically(mPath, text).empty();
}

}  // namespace velt
