#pragma once
// An upload on its way into the database: a temporary file of its own
// (created and unlinked at once, so nothing is left behind whatever happens),
// filled chunk by chunk and read back in pieces.

#include <cstddef>
#include <cstdint>

namespace velt::server {

class UploadFile {
public:
    UploadFile();
    ~UploadFile();
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    // Appends n bytes; a failed write makes the file no longer Good.
    void Append(const unsigned char* p, std::size_t n);
    // False when the file could not be made or written.
    bool Good() const { return mFd >= 0 && mGood; }
    std::int64_t Size() const { return mSize; }
    // Goes back to the first byte for reading.
    void Rewind();
    // Reads up to n bytes; 0 at the end or on an error.
    std::size_t Read(unsigned char* p, std::size_t n);

private:
    int mFd = -1;
    bool mGood = true;
    std::int64_t mSize = 0;
};

}  // namespace velt::server
