#include "files/AtomicFile.h"

#include "files/FileFaults.h"
#include "text/CpLiteral.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velt {

namespace {

using files_detail::InjectedFault;

// The directory of path, for flushing the rename to the disk.
std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The rename is on the disk only when its directory is: flushed here. A
// file system that cannot flush a directory has nothing more to do, so a
// failure changes nothing that could be told.
void SyncDirectory(const std::string& path) {
    const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string WriteFailureReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return " (brak miejsca na dysku)"_cp;
        case EACCES:
        case EPERM:
        case EROFS:
            return " (brak uprawnień)"_cp;
        default:
            return {};
    }
}

std::string WriteFailureText(const std::string& path, int error) {
    return "Nie można zapisać pliku "_cp + path + WriteFailureReason(error);
}

AtomicFile::AtomicFile(std::string target, mode_t mode) : mTarget(std::move(target)) {
    if (mTarget.empty() || mTarget.back() == '/') {
        mError = EISDIR;
        return;
    }
    if (const int injected = InjectedFault(FileStep::Create)) {
        mError = injected;
        return;
    }
    std::string temp = mTarget + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        mError = errno;
        return;
    }
    mFd = fd;
    mTemp = std::move(temp);
    // mkstemp makes the file private; the caller says who may read it.
    if (::fchmod(mFd, mode) != 0) Fail(errno);
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Fail(int error) {
    if (mError == 0) mError = error != 0 ? error : EIO;
    Discard();
}

void AtomicFile::Discard() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
    if (!mTemp.empty()) ::unlink(mTemp.c_str());
    mTemp.clear();
}

bool AtomicFile::Write(const void* data, std::size_t n) {
    const auto* at = static_cast<const unsigned char*>(data);
    while (n > 0 && mFd >= 0) {
        ssize_t w;
        if (const int injected = InjectedFault(FileStep::Write)) {
            errno = injected;
            w = -1;
        } else {
            w = ::write(mFd, at, files_detail::WriteLimit(n));
        }
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            // A write that takes nothing makes no progress: the disk is full.
            Fail(w < 0 ? errno : ENOSPC);
            return false;
        }
        at += w;
        n -= static_cast<std::size_t>(w);
    }
    if (mFd < 0 && mError == 0) mError = EBADF;
    return mFd >= 0;
}

std::string AtomicFile::Commit() {
    if (mFd < 0) {
        if (mError == 0) mError = EBADF;
        return ErrorText();
    }
    int error = InjectedFault(FileStep::Sync);
    if (error == 0 && ::fsync(mFd) != 0) error = errno;
    const int fd = mFd;
    mFd = -1;
    // A failed close may be the last write failing (a full disk over NFS).
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) error = InjectedFault(FileStep::Rename);
    if (error == 0 && ::rename(mTemp.c_str(), mTarget.c_str()) != 0) error = errno;
    if (error != 0) {
        Fail(error);
        return ErrorText();
    }
    mTemp.clear();
    SyncDirectory(mTarget);
    return {};
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
    AtomicFile file(path, mode);
    if (!file.Write(bytes)) return file.ErrorText();
    return file.Commit();
}

std::string MoveFileOver(const std::string& from, const std::string& to, mode_t mode) {
    if (::chmod(from.c_str(), mode) != 0) return WriteFailureText(to, errno);
    int error = InjectedFault(FileStep::Rename);
    if (error == 0 && ::rename(from.c_str(), to.c_str()) == 0) {
        SyncDirectory(to);
        return {};
    }
    if (error == 0) error = errno;
    if (error != EXDEV) return WriteFailureText(to, error);
    // Another file system: the bytes are copied, and the copy put in place.
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return WriteFailureText(to, errno);
    AtomicFile copy(to, mode);
    error = 0;
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(in, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0 || !copy.Write(block, static_cast<std::size_t>(n))) break;
    }
    ::close(in);
    if (error != 0) return WriteFailureText(to, error);
    if (std::string failure = copy.Open() ? copy.Commit() : copy.ErrorText(); !failure.empty()) return failure;
    ::unlink(from.c_str());
    return {};
}

int MakeDirectories(const std::string& directory, mode_t mode) {
    std::string path;
    for (std::size_t i = 0; i <= directory.size(); ++i) {
        if (i == directory.size() || directory[i] == '/') {
            if (!path.empty() && ::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return errno;
        }
        if (i < directory.size()) path.push_back(directory[i]);
    }
    return 0;
}

}  // namespace velt
