#include "authority/TermSearch.h"

#include "authority/AuthorityEntries.h"
#include "catalogue/velt_files.h"

namespace velt {

TermSearch::TermSearch(velt_files& files, std::string reference, TermSearchView& view)
    : mFiles(files),
      mReference(std::move(reference)),
      mView(view),
      mSource(files, [this](const std::string& key, const std::string& command) { return Action(key, command); }) {
    // VELT1 servers keep the value lists under the reference and one blank.
    const bool velt1 = mFiles.DatabaseKind == kVelt1;
    mSource.SetIndex(TermListKind(mFiles), 2, velt1 ? mReference + " " : mReference, "KHW");
}

void TermSearch::Seek(const std::string& text) {
    mSource.Cursor().Seek(text);
    const std::string key = mSource.Cursor().CurrentKey();
    if (key.empty()) return;
    const char old = mGuard;
    mGuard = 'C';
    mView.ShowEntry(key);
    mGuard = old;
}

void TermSearch::Start(const std::string& text) {
    mGuard = ' ';
    mText.clear();
    // Writing the start text runs the typing rule once: one seek.
    mView.ShowSearchText(text);
    TextChanged(text);
}

void TermSearch::TextChanged(const std::string& text) {
    mText = text;
    if (mGuard == ' ') Seek(text);
}

int TermSearch::Action(const std::string& key, const std::string& command) {
    if (command == "!" || command == "*") {
        const bool write = command == "*" || mGuard == ' ';
        if (write && mSource.Cursor().Find(key)) {
            const std::string term = EntryTerm(*mSource.Cursor().Current);
            const char old = mGuard;
            mGuard = 'L';
            mText = term;
            mView.ShowSearchText(term);
            mGuard = old;
            if (command == "*") mView.Accept();
        }
        return 0;
    }
    const auto bar = command.find('|');
    if (bar != std::string::npos && command.substr(0, bar) == mReference) Seek(command.substr(bar + 1));
    return 0;
}

}  // namespace velt
