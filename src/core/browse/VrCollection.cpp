#include "browse/VrCollection.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace velt {

namespace {

std::mutex gCreationLock;  // the choice of the file name and its creation
constexpr std::int64_t kScanBlocks = 2048;  // 64 KiB read at a time

// One more than the largest number in front of the first dot of the
// directory's "*.KOL" names (1 when there are none).
std::int64_t NextFileNumber(const std::string& directory) {
    std::int64_t largest = 0;
    DIR* d = ::opendir(directory.c_str());
    if (!d) return 1;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        const auto dot = name.find('.');
        if (dot == std::string::npos || dot == 0 || name.size() < 4 || name.compare(name.size() - 4, 4, ".KOL") != 0)
            continue;
        std::int64_t n = 0;
        bool digits = dot <= 9;
        for (std::size_t i = 0; i < dot && digits; ++i) {
            if (name[i] < '0' || name[i] > '9') digits = false;
            else n = n * 10 + (name[i] - '0');
        }
        if (digits) largest = std::max(largest, n);
    }
    ::closedir(d);
    return largest + 1;
}

bool PRead(int fd, void* p, std::size_t n, std::int64_t at) {
    auto* b = static_cast<char*>(p);
    while (n > 0) {
        const ssize_t r = ::pread(fd, b, n, at);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        b += r;
        n -= static_cast<std::size_t>(r);
        at += r;
    }
    return true;
}

bool PWrite(int fd, const void* p, std::size_t n, std::int64_t at) {
    const auto* b = static_cast<const char*>(p);
    while (n > 0) {
        const ssize_t w = ::pwrite(fd, b, n, at);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        b += w;
        n -= static_cast<std::size_t>(w);
        at += w;
    }
    return true;
}

bool Valid(std::int64_t r) { return r >= 1 && r <= VrCollection::kMaxNumber; }

}  // namespace

VrCollection::VrCollection(const std::string& directory) {
    // Up to four attempts, half a second apart; the name is taken with an
    // exclusive creation, and a name another program took meanwhile makes
    // the next one be tried at once.
    for (int attempt = 0; attempt < 4 && mFd < 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(500));
        std::lock_guard lock(gCreationLock);
        for (std::int64_t n = NextFileNumber(directory), tries = 0; tries < 64; ++n, ++tries) {
            const std::string name = directory + std::to_string(n) + ".KOL";
            const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                mFd = fd;
                mFileName = name;
                mError.clear();
                break;
            }
            mError = std::strerror(errno);
            if (errno != EEXIST) break;
        }
    }
}

VrCollection::~VrCollection() {
    if (mFd < 0) return;
    ::close(mFd);
    ::unlink(mFileName.c_str());
}

void VrCollection::Flush() {
    if (!mDirty || mHeld < 0) return;
    PWrite(mFd, mBlock, kBlockSize, mHeld * kBlockSize);
    mDirty = false;
    mBlocks = std::max(mBlocks, mHeld + 1);
}

void VrCollection::Hold(std::int64_t b) {
    if (b == mHeld) return;
    Flush();
    mHeld = b;
    std::memset(mBlock, 0, kBlockSize);
    if (b < mBlocks) PRead(mFd, mBlock, kBlockSize, b * kBlockSize);
}

std::int64_t VrCollection::Blocks() {
    return std::max(mBlocks, mDirty ? mHeld + 1 : 0);
}

void VrCollection::Clear() {
    if (!Ready()) return;
    mDirty = false;
    mHeld = -1;
    mBlocks = 0;
    if (::ftruncate(mFd, 0) != 0) mError = std::strerror(errno);
}

bool VrCollection::Include(std::int64_t r) {
    if (!Ready() || !Valid(r)) return false;
    const std::int64_t b = r / 256;
    if (b > mBlocks) {
        // The blocks in between are zero: the file grows to them at once.
        Flush();
        if (::ftruncate(mFd, b * kBlockSize) == 0) mBlocks = b;
    }
    Hold(b);
    mBlock[(r % 256) / 8] |= static_cast<std::uint8_t>(1u << (r % 8));
    mDirty = true;
    return true;
}

void VrCollection::Exclude(std::int64_t r) {
    if (!Ready() || !Valid(r) || r / 256 >= Blocks()) return;
    Hold(r / 256);
    mBlock[(r % 256) / 8] &= static_cast<std::uint8_t>(~(1u << (r % 8)));
    mDirty = true;
}

bool VrCollection::Contains(std::int64_t r) {
    if (!Ready() || !Valid(r) || r / 256 >= Blocks()) return false;
    Hold(r / 256);
    return (mBlock[(r % 256) / 8] >> (r % 8)) & 1;
}

std::int64_t VrCollection::FindBlock(std::int64_t from, bool upward) {
    Flush();
    const std::int64_t blocks = Blocks();
    if (from < 0 || from >= blocks) return -1;
    mScan.resize(static_cast<std::size_t>(kScanBlocks * kBlockSize));
    std::int64_t at = from;
    while (at >= 0 && at < blocks) {
        const std::int64_t first = upward ? at : std::max<std::int64_t>(0, at - kScanBlocks + 1);
        const std::int64_t count = upward ? std::min(kScanBlocks, blocks - at) : at - first + 1;
        if (!PRead(mFd, mScan.data(), static_cast<std::size_t>(count * kBlockSize), first * kBlockSize)) return -1;
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t i = upward ? k : count - 1 - k;
            const std::uint8_t* p = mScan.data() + i * kBlockSize;
            std::uint64_t w[4];
            std::memcpy(w, p, sizeof w);
            if (w[0] | w[1] | w[2] | w[3]) return first + i;
        }
        at = upward ? at + count : first - 1;
    }
    return -1;
}

namespace {

// The lowest bit at or above from (the highest at or below, downward) set in
// a block; -1 when none.
int BitIn(const std::uint8_t* block, int from, bool upward) {
    if (upward) {
        for (int i = from; i < 256;) {
            const std::uint8_t byte = block[i / 8] >> (i % 8);
            if (byte) return i + std::countr_zero(byte);
            i = (i / 8 + 1) * 8;
        }
        return -1;
    }
    for (int i = from; i >= 0;) {
        const std::uint8_t byte = static_cast<std::uint8_t>(block[i / 8] << (7 - i % 8));
        if (byte) return i - std::countl_zero(byte);
        i = (i / 8) * 8 - 1;
    }
    return -1;
}

}  // namespace

std::int64_t VrCollection::NextNumber(std::int64_t r) {
    if (!Ready()) return 0;
    if (r < 0) r = -1;
    if (r >= kMaxNumber) return 0;
    // The higher bits of r's own block first, then the next block with any.
    std::int64_t block = (r + 1) / 256;
    int from = static_cast<int>((r + 1) % 256);
    for (;;) {
        if (block >= Blocks()) return 0;
        if (block != mHeld) {
            block = FindBlock(block, true);
            if (block < 0) return 0;
            if (block != (r + 1) / 256) from = 0;
        }
        Hold(block);
        const int bit = BitIn(mBlock, from, true);
        if (bit >= 0) {
            const std::int64_t n = block * 256 + bit;
            return Valid(n) ? n : 0;
        }
        ++block;
        from = 0;
    }
}

std::int64_t VrCollection::PriorNumber(std::int64_t r) {
    if (!Ready() || r <= 1) return 0;
    if (r > kMaxNumber + 1) r = kMaxNumber + 1;
    std::int64_t block = (r - 1) / 256;
    int from = static_cast<int>((r - 1) % 256);
    if (block >= Blocks()) {
        block = Blocks() - 1;
        from = 255;
    }
    while (block >= 0) {
        if (block != mHeld) {
            const std::int64_t found = FindBlock(block, false);
            if (found < 0) return 0;
            if (found != block) from = 255;
            block = found;
        }
        Hold(block);
        const int bit = BitIn(mBlock, from, false);
        if (bit >= 0) {
            const std::int64_t n = block * 256 + bit;
            return Valid(n) ? n : 0;
        }
        --block;
        from = 255;
    }
    return 0;
}

std::int64_t VrCollection::FirstNumber() { return NextNumber(0); }

std::int64_t VrCollection::LastNumber() { return PriorNumber(kMaxNumber + 1); }

std::int64_t VrCollection::CountNumbers() {
    if (!Ready()) return 0;
    Flush();
    const std::int64_t blocks = Blocks();
    mScan.resize(static_cast<std::size_t>(kScanBlocks * kBlockSize));
    std::int64_t count = 0;
    for (std::int64_t at = 0; at < blocks; at += kScanBlocks) {
        const std::int64_t n = std::min(kScanBlocks, blocks - at);
        if (!PRead(mFd, mScan.data(), static_cast<std::size_t>(n * kBlockSize), at * kBlockSize)) break;
        for (std::int64_t i = 0; i < n * kBlockSize; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, mScan.data() + i, 8);
            count += std::popcount(w);
        }
    }
    return count;
}

std::int64_t VrCollection::FileSize() {
    Flush();
    struct stat st {};
    return Ready() && ::fstat(mFd, &st) == 0 ? st.st_size : 0;
}

}  // namespace velt
