#include "authority/AuthorityLookup.h"

#include "authority/AuthorityEntries.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "net/IndexRequests.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

namespace velt {

namespace {

// Sets the guard for a scope and puts it back.
class Guard {
public:
    Guard(char& guard, char value) : mGuard(guard), mOld(guard) { mGuard = value; }
    ~Guard() { mGuard = mOld; }

private:
    char& mGuard;
    char mOld;
};

}  // namespace

AuthorityLookup::AuthorityLookup(velt_files& files, velt_KHW file, char mode, AuthorityLookupView& view,
                                 Prompts& prompts, AuthorityEditing* editing)
    : mFiles(files),
      mFile(std::move(file)),
      mMode(mode),
      mView(view),
      mPrompts(prompts),
      mEditing(editing),
      mSource(files, [this](const std::string& key, const std::string& command) { return Action(key, command); }) {
    mRecordButtons = mEditing && !mFile.Id.empty() && mEditing->CanEdit(mFile.Id.substr(0, 1));
}

void AuthorityLookup::Start(const std::string& text) {
    mGuard = ' ';
    mFound.clear();
    mOpen.clear();
    mView.ShowFoundTerm({});
    ChooseIndex(0);
    if (!text.empty()) {
        mSource.Cursor().Seek(text);
        ++mSeeks;
        if (const std::string key = mSource.Cursor().CurrentKey(); !key.empty()) {
            Guard g(mGuard, 'C');
            mView.ShowEntry(key);
        }
    }
    Guard g(mGuard, 'L');
    mView.ShowSearchText(text);
}

void AuthorityLookup::ChooseIndex(int i) {
    if (mFile.Indexes.empty()) return;
    if (i < 0 || i >= static_cast<int>(mFile.Indexes.size())) i = 0;
    mIndex = i;
    const velt_KHW_index& x = mFile.Indexes[static_cast<std::size_t>(i)];
    mSource.SetIndex(x.Kind, x.Parameter, x.Prefix, x.Name);
    mView.ListChanged();
}

void AuthorityLookup::Seek(const std::string& text) {
    mSource.Cursor().Seek(text);
    ++mSeeks;
    Guard g(mGuard, 'C');
    mView.ShowEntry(mSource.Cursor().CurrentKey());
}

void AuthorityLookup::TypingPaused(const std::string& text) {
    if (mGuard != ' ') return;
    Seek(text);
}

int AuthorityLookup::Action(const std::string& key, const std::string& command) {
    if (command == "!" || command == "*") {
        if (mGuard != 'L' && mSource.Cursor().Find(key)) {
            const TVeltRecord& entry = *mSource.Cursor().Current;
            const std::string display = EntryDisplay(entry);
            mOpen = EntryTag(display, "open").value_or(std::string());
            if (mGuard == ' ') {
                Guard g(mGuard, 'L');
                mView.ShowSearchText(EntryTag(display, "find").value_or(EntryTerm(entry)));
            }
            switch (mMode) {
                case kFull: mFound = EntryTag(display, "full").value_or(std::string()); break;
                case kKey:
                    mFound = EntryTag(display, "key").value_or(std::string());
                    if (mFound.empty()) mFound = EntryTerm(entry);
                    break;
                default: mFound.clear(); break;
            }
        } else if (command == "*" && mGuard != 'L') {
            // A double click on an entry the server no longer has returns
            // nothing, not the heading chosen before.
            mFound.clear();
        }
        mView.ShowFoundTerm(mFound);
        if (command == "*") mView.Accept();
        return 0;
    }
    // "name|text" with the current index's prefix: the list goes there.
    const auto bar = command.find('|');
    if (bar != std::string::npos && !mFile.Indexes.empty() &&
        TrimSpaces(mFile.Indexes[static_cast<std::size_t>(mIndex)].Prefix) == command.substr(0, bar))
        Seek(command.substr(bar + 1));
    return 0;
}

std::vector<std::string> AuthorityLookup::RecordIdentifiers() {
    if (!mOpen.empty()) return OpenIdentifiers(mOpen);
    std::vector<std::string> ids;
    if (mFile.Indexes.empty() || mFile.Id.empty() || mFound.empty()) return ids;
    const std::string letter = mFile.Id.substr(0, 1);
    const std::string prefix = mFile.Indexes.front().Prefix + mFound;
    TVeltClient& session = mFiles.Connection();
    if (mFiles.DatabaseKind == kVelt2 || mFiles.DatabaseKind == kVelt3) {
        RecordPtr e = IndexFrom(session, 21, 0, 5, prefix, "");
        for (int n = 0; e && n < kMaxWalk && e->Item(2) == letter && e->Item(6) == mFound; ++n) {
            const std::string id = mFiles.ShownIdentifier(e->Item(2) + e->Item(3));
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            e = IndexNext(session, 21, 0, 5, prefix, e->Item(1));
        }
    } else if (mFile.Indexes.front().Kind == 9) {
        RecordPtr e = IndexFrom(session, 9, 0, 2, prefix, "");
        // Longer headings than the index keeps may differ from the term only
        // in what was cut off: they are passed over, within a bound.
        for (int n = 0; e && n < kMaxWalk; ++n) {
            const std::string& term = e->Item(3);
            if (term == mFound) {
                ids.push_back(mFile.Id + e->Item(2).substr(1, 6));
            } else if (term.size() <= 25) {
                break;
            }
            e = IndexNext(session, 9, 0, 2, prefix, e->Item(1));
        }
    }
    return ids;
}

void AuthorityLookup::OpenRecords() {
    if (!mEditing) return;
    const std::vector<std::string> ids = RecordIdentifiers();
    if (ids.empty()) {
        mPrompts.show_error("Nie wskazano rekordu");
        return;
    }
    for (const std::string& id : ids) mEditing->OpenRecord(mFile.Id.substr(0, 1), id);
    mFound.clear();
    mView.Reject();
}

void AuthorityLookup::DeleteRecords() {
    if (!mEditing) return;
    const std::vector<std::string> ids = RecordIdentifiers();
    if (ids.empty()) {
        mPrompts.show_error("Nie wskazano rekordu");
        return;
    }
    for (const std::string& id : ids) mEditing->DeleteRecord(id);
    mFound.clear();
    mView.Reject();
}

void AuthorityLookup::NewRecord() {
    if (!mEditing) return;
    mEditing->NewRecord(mFile.Id.substr(0, 1));
    mFound.clear();
    mView.Reject();
}

void AuthorityLookup::ShowOpenRecords() {
    if (!mEditing) return;
    mEditing->ShowEditor();
    mFound.clear();
    mView.Reject();
}

}  // namespace velt
