#include "UploadFile.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace velt::server {

UploadFile::UploadFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/velt-upload-XXXXXX";
    mFd = ::mkstemp(name.data());
    if (mFd >= 0) ::unlink(name.c_str());
}

UploadFile::~UploadFile() {
    if (mFd >= 0) ::close(mFd);
}

void UploadFile::Append(const unsigned char* p, std::size_t n) {
    while (n > 0 && Good()) {
        const ssize_t w = ::write(mFd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            mGood = false;
            return;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
        mSize += w;
    }
}

void UploadFile::Rewind() {
    if (mFd >= 0 && ::lseek(mFd, 0, SEEK_SET) != 0) mGood = false;
}

std::size_t UploadFile::Read(unsigned char* p, std::size_t n) {
    if (mFd < 0) return 0;
    for (;;) {
        const ssize_t r = ::read(mFd, p, n);
        if (r < 0 && errno == EINTR) continue;
        return r > 0 ? static_cast<std::size_t>(r) : 0;
    }
}

}  // namespace velt::server
