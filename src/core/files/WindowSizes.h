#pragma once
// The sizes the user gave the program's windows, kept between runs in one
// small text file of the configuration directory: a line a window, its name,
// "=", width, "x", height. Lines that cannot be read are dropped; sizes are
// kept within what a screen can show.

#include <map>
#include <optional>
#include <string>

namespace velt {

struct WindowSize {
    int width = 0;
    int height = 0;
};

class WindowSizes {
public:
    static constexpr int kSmallest = 80;
    static constexpr int kLargest = 16384;

    explicit WindowSizes(std::string path) : mPath(std::move(path)) {}

    // Reads the file (a missing one is no size at all).
    void Load();
    // The size kept for a window, none when there is none.
    std::optional<WindowSize> Find(const std::string& name) const;
    // Keeps a size and writes the file; false when it could not be written.
    bool Keep(const std::string& name, WindowSize size);

private:
    std::string mPath;
    std::map<std::string, WindowSize> mSizes;
};

}  // namespace velt
