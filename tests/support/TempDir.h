#pragma once
// A directory of the test's own, removed at the end.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace velt::test {

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        mPath = std::filesystem::temp_directory_path() /
                ("velt-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(mPath);
    }
    ~TempDir() { std::filesystem::remove_all(mPath); }
    // The directory with a final "/".
    std::string Path() const { return mPath.string() + "/"; }
    // Writes bytes to a file of the directory; its full name.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string file = Path() + name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static bool Exists(const std::string& file) { return std::filesystem::exists(file); }
    // The names in a directory.
    static std::vector<std::string> List(const std::string& directory) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(directory)) names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path mPath;
};

}  // namespace velt::test
