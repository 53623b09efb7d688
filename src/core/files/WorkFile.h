#pragma once
// A work file: a new empty file of a name no other program (nor another
// window of this one) has, in the working directory, for a server's answer
// on its way to a window. It is removed when its owner ends, unless kept.

#include <string>
#include <string_view>

namespace velt {

class WorkFile {
public:
    // Nothing made.
    WorkFile() = default;
    // Makes directory + prefix + six characters + "." + extension (no
    // extension: nothing after the six characters). Made() tells whether it
    // could be made.
    WorkFile(const std::string& directory, std::string_view prefix, std::string_view extension = {});
    // Takes over a work file another made and handed over (Release): it is
    // removed with this object. An empty path makes nothing.
    static WorkFile Adopt(std::string path);
    // Removes the file unless it was kept.
    ~WorkFile();
    WorkFile(WorkFile&& other) noexcept;
    WorkFile& operator=(WorkFile&& other) noexcept;
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool Made() const { return !mPath.empty(); }
    // The file's name; empty when none was made.
    const std::string& Path() const { return mPath; }
    // The system's error code when it could not be made, else 0.
    int ErrorCode() const { return mError; }

    // The file stays after this object; whoever got its name removes it.
    void Keep() { mKept = true; }
    // Keeps the file and hands its name over.
    std::string Release();
    // Removes the file now.
    void Remove();

private:
    std::string mPath;
    int mError = 0;
    bool mKept = false;
};

}  // namespace velt
