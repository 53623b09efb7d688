#include "files/WorkFile.h"

#include "files/FileFaults.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace velt {

WorkFile::WorkFile(const std::string& directory, std::string_view prefix, std::string_view extension) {
    // The extension comes from a name a server gave: it never adds a directory.
    if (extension.find('/') != std::string_view::npos || extension.find('\0') != std::string_view::npos) {
        mError = EINVAL;
        return;
    }
    if (const int injected = files_detail::InjectedFault(FileStep::Create)) {
        mError = injected;
        return;
    }
    std::string name = directory + std::string(prefix) + "XXXXXX";
    int suffix = 0;
    if (!extension.empty()) {
        name += "." + std::string(extension);
        suffix = static_cast<int>(extension.size() + 1);
    }
    const int fd = ::mkostemps(name.data(), suffix, O_CLOEXEC);
    if (fd < 0) {
        mError = errno;
        return;
    }
    ::close(fd);
    mPath = std::move(name);
}

WorkFile WorkFile::Adopt(std::string path) {
    WorkFile file;
    file.mPath = std::move(path);
    return file;
}

WorkFile::~WorkFile() {
    if (!mKept) Remove();
}

WorkFile::WorkFile(WorkFile&& other) noexcept
    : mPath(std::exchange(other.mPath, {})), mError(other.mError), mKept(other.mKept) {}

WorkFile& WorkFile::operator=(WorkFile&& other) noexcept {
    if (this != &other) {
        if (!mKept) Remove();
        mPath = std::exchange(other.mPath, {});
        mError = other.mError;
        mKept = other.mKept;
    }
    return *this;
}

std::string WorkFile::Release() {
    mKept = true;
    return mPath;
}

void WorkFile::Remove() {
    if (!mPath.empty()) ::unlink(mPath.c_str());
    mPath.clear();
}

}  // namespace velt
