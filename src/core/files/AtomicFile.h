#pragma once
// One way to write a file whole: the bytes go into a new temporary of a
// unique name beside the target, are flushed to the disk, and only then the
// temporary takes the target's name (and the directory is flushed too).
// Until that rename nothing of the old file changes; on any failure the
// temporary is removed and the old file stays as it was.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace velt {

// A file for anyone to read: reports, settings, collections.
inline constexpr mode_t kSharedFileMode = 0644;
// A file for its owner only: the stored login, kept records.
inline constexpr mode_t kPrivateFileMode = 0600;

// What the user can act upon in a failed write, as " (brak miejsca na
// dysku)" or " (brak uprawnień)"; empty for any other cause.
std::string WriteFailureReason(int error);
// The text the user is shown for a file that could not be written:
// "Nie można zapisać pliku " and the name, then WriteFailureReason.
std::string WriteFailureText(const std::string& path, int error);

// A file written in chunks and put in place whole (a transfer, a printout).
class AtomicFile {
public:
    // Makes the temporary beside target, with the given mode; Open() tells
    // whether it was made.
    explicit AtomicFile(std::string target, mode_t mode = kSharedFileMode);
    // An uncommitted temporary is removed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // True while the temporary is there and nothing has failed.
    bool Open() const { return mFd >= 0; }
    // Writes all n bytes (whatever the system takes at a time); false, and
    // the temporary removed, on a failure or when not open.
    bool Write(const void* data, std::size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Flushes, closes and renames the temporary over the target: empty on
    // success, else the failure's text (the temporary then removed).
    std::string Commit();
    // Removes the temporary; the target stays as it was.
    void Discard();

    const std::string& Target() const { return mTarget; }
    // The temporary's name, for a writer that writes by name into it
    // before Commit (a PDF printer); empty when not open.
    const std::string& TemporaryPath() const { return mTemp; }
    // The system's error code of the first failure, 0 when none.
    int ErrorCode() const { return mError; }
    // The failure's text for the user; empty when none.
    std::string ErrorText() const { return mError == 0 ? std::string() : WriteFailureText(mTarget, mError); }

private:
    void Fail(int error);

    std::string mTarget;
    std::string mTemp;
    int mFd = -1;
    int mError = 0;
};

// Writes bytes whole over path: empty on success, else the failure's text
// with the old file unchanged.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode = kSharedFileMode);

// Puts a finished file (a work file) in place of to, with mode: a rename
// when both are on one file system, else a copy written whole as above.
// Empty on success (from is gone), else the failure's text, to unchanged
// and from left to its owner.
std::string MoveFileOver(const std::string& from, const std::string& to, mode_t mode = kSharedFileMode);

// Makes the directory and those above it that are missing, with mode; the
// system's error code, or 0.
int MakeDirectories(const std::string& directory, mode_t mode = 0700);

}  // namespace velt
