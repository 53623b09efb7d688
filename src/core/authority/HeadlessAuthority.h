#pragma once
// The authority windows without a screen, for velt-cli and the tests: each
// window runs its model from the start text and "chooses" the N-th entry at
// or after it with a double click, as a user would; 0 cancels.

#include "authority/AuthorityWindows.h"

namespace velt {

class Prompts;
class LongOperations;

class HeadlessAuthority : public AuthorityWindows {
public:
    HeadlessAuthority(Prompts& prompts, LongOperations& longOps, std::string workingDirectory)
        : mPrompts(prompts), mLongOps(longOps), mWorkingDirectory(std::move(workingDirectory)) {}

    // Which entry the next window chooses (1 the first at or after the
    // start, 0 none: the window is cancelled).
    int pick = 1;

    std::string Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) override;
    std::string TermSearch(velt_files& files, const std::string& start, const std::string& reference) override;
    ChosenRecord SelectRecord(velt_files& files, const std::string& startIdentifier, const std::string& startText,
                              int indexPosition) override;
    ChosenRecord SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                   const std::string& formatType) override;

private:
    Prompts& mPrompts;
    LongOperations& mLongOps;
    std::string mWorkingDirectory;
};

}  // namespace velt
