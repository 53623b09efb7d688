#pragma once
// The local collection: a set of record numbers kept in a bit-set file in
// the working directory. Block i of 32 bytes holds the numbers 256 i to
// 256 i + 255; number r is bit r mod 8 of byte (r mod 256) div 8 of block
// r div 256. The file is as long as the highest block ever touched.
//
// The file's name is the next free number with the extension "KOL",
// created exclusively, so two programs sharing a working directory never
// share a file; a process-wide lock guards the choice. One block is kept in
// memory at a time; scans read the file in larger runs.

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class VrCollection {
public:
    static constexpr int kBlockSize = 32;
    static constexpr std::int64_t kMaxNumber = 0x7FFFFFFF;  // record numbers are 1 .. 2^31 - 1

    // Creates a new file in directory (ending with "/"); Ready tells whether
    // it worked, Error why not.
    explicit VrCollection(const std::string& directory);
    // Closes and deletes the file.
    ~VrCollection();
    VrCollection(const VrCollection&) = delete;
    VrCollection& operator=(const VrCollection&) = delete;

    bool Ready() const { return mFd >= 0; }
    const std::string& Error() const { return mError; }
    const std::string& FileName() const { return mFileName; }

    // Truncates the file to no blocks.
    void Clear();
    // Numbers outside 1 .. 2^31 - 1 are refused (false) and change nothing.
    bool Include(std::int64_t r);
    void Exclude(std::int64_t r);
    bool Contains(std::int64_t r);
    // The lowest, highest, next above r and prior below r of the numbers
    // present; 0 when none.
    std::int64_t FirstNumber();
    std::int64_t LastNumber();
    std::int64_t NextNumber(std::int64_t r);
    std::int64_t PriorNumber(std::int64_t r);
    std::int64_t CountNumbers();
    // The file's length in bytes.
    std::int64_t FileSize();

private:
    using Block = std::uint8_t[kBlockSize];
    // Makes block b the one held (writing the one held back first); a block
    // beyond the file's end reads as zeros.
    void Hold(std::int64_t b);
    void Flush();
    std::int64_t Blocks();
    // Scans blocks from `from` upward (or downward) for one that is not
    // empty; -1 when none.
    std::int64_t FindBlock(std::int64_t from, bool upward);

    int mFd = -1;
    std::string mFileName;
    std::string mError;
    std::int64_t mBlocks = 0;      // the file's length in blocks
    std::int64_t mHeld = -1;       // the block in mBlock
    bool mDirty = false;
    std::uint8_t mBlock[kBlockSize] = {};
    std::vector<std::uint8_t> mScan;  // a run of blocks read at once
};

}  // namespace velt
