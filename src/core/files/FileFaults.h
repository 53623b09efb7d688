#pragma once
// A seam for tests: the steps of the files layer fail on demand, as a full
// disk, a lost permission or an interrupted rename would make them fail.
// The faults are process-wide; a test arms them with a FileFaultScope around
// the write it checks. Nothing arms them in the program.

#include <cerrno>

namespace velt {

// The steps of writing a file that can be made to fail.
enum class FileStep {
    Create,  // making the temporary or the work file
    Write,   // one write of bytes
    Sync,    // flushing the file to the disk
    Rename,  // putting the temporary in place of the target
};

// The nth step of that kind from now (1: the next one) fails with error;
// the steps before it succeed. One fault per kind of step at a time.
void InjectFileFault(FileStep step, int nth = 1, int error = ENOSPC);
// From now on, until cleared, every write takes at most a few bytes, as a
// write interrupted by a signal does.
void InjectShortWrites();
// No fault armed any more.
void ClearFileFaults();

// The faults of a test: armed when made, cleared when it ends.
class FileFaultScope {
public:
    FileFaultScope() = default;
    FileFaultScope(FileStep step, int nth = 1, int error = ENOSPC) { InjectFileFault(step, nth, error); }
    ~FileFaultScope() { ClearFileFaults(); }
    FileFaultScope(const FileFaultScope&) = delete;
    FileFaultScope& operator=(const FileFaultScope&) = delete;
};

namespace files_detail {

// The error armed for this step now (counting the step), or 0.
int InjectedFault(FileStep step);
// How many of n bytes the next write may take.
unsigned long WriteLimit(unsigned long n);

}  // namespace files_detail

}  // namespace velt
