#include "browse/CollectionSources.h"

#include "browse/CellMarkup.h"
#include "browse/EntryHost.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"

#include <cstdio>

namespace velt {

namespace {

// The lines of an entry's display item, or none without the entry.
std::vector<std::string> DisplayLines(const TVeltRecord* entry) {
    if (!entry) return {};
    const int item = velt_files::DisplayItem(entry->Kind);
    return SplitDisplayLines(item > 0 ? entry->Item(item) : std::string());
}

std::string LeftPadded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

// --- coll_serwer -------------------------------------------------------------

coll_serwer::coll_serwer(velt_files& files, const std::string& workingDirectory, EntryHost* host)
    : mFiles(files), mCollection(workingDirectory), mHost(host) {}

std::string coll_serwer::KeyOf(std::int64_t number) {
    if (number <= 0) return {};
    char text[24];
    std::snprintf(text, sizeof text, "%10lld", static_cast<long long>(number));
    return text;
}

std::int64_t coll_serwer::NumberOf(const std::string& key) {
    const std::string_view t = TrimSpaces(key);
    if (t.empty() || t.size() > 10) return 0;
    std::int64_t n = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n <= VrCollection::kMaxNumber ? n : 0;
}

std::string coll_serwer::First() { return KeyOf(mCollection.FirstNumber()); }
std::string coll_serwer::Last() { return KeyOf(mCollection.LastNumber()); }

std::string coll_serwer::Next(const std::string& key) {
    const std::int64_t n = NumberOf(key);
    return n ? KeyOf(mCollection.NextNumber(n)) : std::string();
}

std::string coll_serwer::Prior(const std::string& key) {
    const std::int64_t n = NumberOf(key);
    return n ? KeyOf(mCollection.PriorNumber(n)) : std::string();
}

std::string coll_serwer::RecordIdentifierOf(const std::string& key) const {
    const std::int64_t n = NumberOf(key);
    if (!n) return {};
    if (mFiles.DatabaseKind == kVelt1) return LeftPadded(key, 10);
    return mFiles.RecordIdentifier(static_cast<std::int32_t>(n));
}

std::optional<std::vector<std::string>> coll_serwer::Lines(const std::string& key) {
    const std::int64_t n = NumberOf(key);
    if (!n) return std::nullopt;
    RecordPtr entry;
    if (mFiles.DatabaseKind == kVelt1)
        entry = mFiles.IndexFrom(1, 1, mFiles.CurrentFormat, LeftPadded(key, 10));
    else
        entry = mFiles.IndexFrom(21, 1, mFiles.CurrentFormat, mFiles.RecordIdentifier(static_cast<std::int32_t>(n)));
    std::vector<std::string> lines = SplitDisplayLines(entry ? entry->Item(7) : std::string());
    lines.push_back("\x1B" "B?||kolekcja.bmp");
    return lines;
}

bool coll_serwer::IsChecked(const std::string&, const std::string&) { return true; }

std::string coll_serwer::FindRecord(const std::string& identifier) {
    const std::int32_t n = mFiles.RecordNumber(mFiles.StoredIdentifier(identifier));
    return n > 0 && mCollection.Contains(n) ? KeyOf(n) : std::string();
}

int coll_serwer::Action(const std::string& key, const std::string& command) {
    if (!mHost) return 0;
    const std::string identifier = RecordIdentifierOf(key);
    if (command == "!") {
        if (!identifier.empty())
            mHost->PutIntoRecordBox(std::string(TrimSpaces(mFiles.ShownIdentifier(identifier))));
        return 0;
    }
    if (command == "?") {
        mHost->UserPrompts().plain_message("Kolekcja zawiera "_cp + std::to_string(mCollection.CountNumbers()) +
                                           " rekordów"_cp);
        return 0;
    }
    if (command == "*") {
        // The entry leaves the collection; its neighbour is shown instead.
        std::string shown = Next(key);
        if (shown.empty()) shown = Prior(key);
        mCollection.Exclude(NumberOf(key));
        mHost->ShowInLocal(shown);
        mHost->RefreshAllChecks();
        return 0;
    }
    mHost->EntryCommand(key, command, identifier, true);
    return 0;
}

// --- velt_serwer (index tabs) ------------------------------------------------

velt_serwer::velt_serwer(velt_files& files, velt_order& cursor, coll_serwer* local, EntryHost* host)
    : mFiles(files), mCursor(cursor), mLocal(local), mHost(host) {}

std::string velt_serwer::First() {
    mCursor.First();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Last() {
    mCursor.Last();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Next(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    mCursor.Next();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Prior(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    mCursor.Prior();
    return mCursor.CurrentKey();
}

std::optional<std::vector<std::string>> velt_serwer::Lines(const std::string& key) {
    if (!mCursor.Find(key)) return std::nullopt;
    std::vector<std::string> lines = DisplayLines(mCursor.Current.get());
    lines.push_back("\x1B?kolekcja|" + mFiles.EntryText(mCursor.Current.get()) + "||kolekcja.bmp");
    return lines;
}

bool velt_serwer::IsChecked(const std::string&, const std::string& tag) {
    if (!mLocal || tag.rfind("kolekcja", 0) != 0) return false;
    const PipeSplit parts = SplitAtPipe(tag);
    if (!parts.parted) return false;
    const std::int32_t n = mFiles.RecordNumber(parts.tail);
    return n >= 1 && mLocal->Collection().Contains(n);
}

std::string velt_serwer::EntryIdentifier(const std::string& key) {
    return mCursor.Find(key) ? mFiles.EntryText(mCursor.Current.get()) : std::string();
}

std::string velt_serwer::LocateRecord(const std::string& typed) {
    mCursor.Locate(mFiles.StoredIdentifier(typed));
    return mCursor.CurrentKey();
}

std::string velt_serwer::SeekKey(const std::string& text) {
    mCursor.Seek(text);
    return mCursor.CurrentKey();
}

std::string velt_serwer::AuthorityLetter() {
    const auto first = [](const std::string& t) { return t.substr(0, 1); };
    switch (mCursor.Kind & 0x7F) {
        case 2: return first(mFiles.Parameter("CFG_HELP_N"));
        case 7: return first(mFiles.Parameter("CFG_HELP_W"));
        case 4: {
            const std::string letter = first(mCursor.Prefix);
            if (letter.empty()) return {};
            return mFiles.IndexFrom(8, 1, 0, "TZK" + letter) ? letter : std::string();
        }
        case 21: return mCursor.Prefix;
        default: return {};
    }
}

int velt_serwer::Action(const std::string& key, const std::string& command) {
    if (!mHost) return 0;
    const std::string identifier = EntryIdentifier(key);
    if (command == "!") {
        if (!identifier.empty()) mHost->PutIntoRecordBox(mFiles.ShownIdentifier(identifier));
        return 0;
    }
    if (command == "*") {
        // A double click toggles the record's membership of the local collection.
        const std::int32_t n = mFiles.RecordNumber(identifier);
        if (n == 0 || !mLocal) return 0;
        VrCollection& c = mLocal->Collection();
        if (c.Contains(n)) {
            c.Exclude(n);
            mHost->ShowInLocal(mLocal->First());
        } else {
            c.Include(n);
            mHost->ShowInLocal(coll_serwer::KeyOf(n));
        }
        mHost->RefreshAllChecks();
        return 0;
    }
    if (command.rfind("kolekcja", 0) == 0) {
        const std::int32_t n = mFiles.RecordNumber(command.size() > 9 ? command.substr(9) : std::string());
        mHost->ShowRecordInLocal(n);
        return 0;
    }
    mHost->EntryCommand(key, command, identifier, false);
    return 0;
}

// --- chooser::velt_serwer ----------------------------------------------------

namespace chooser {

velt_serwer::velt_serwer(velt_files& files, velt_order& cursor, Callback callback, ExtraLines extra, Check check)
    : mFiles(files), mCursor(cursor), mCallback(std::move(callback)), mExtra(std::move(extra)), mCheck(std::move(check)) {}

std::string velt_serwer::First() {
    mCursor.First();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Last() {
    mCursor.Last();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Next(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    mCursor.Next();
    return mCursor.CurrentKey();
}

std::string velt_serwer::Prior(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    mCursor.Prior();
    return mCursor.CurrentKey();
}

std::optional<std::vector<std::string>> velt_serwer::Lines(const std::string& key) {
    if (!mCursor.Find(key)) return std::nullopt;
    const TVeltRecord& entry = *mCursor.Current;
    const int item = velt_files::DisplayItem(entry.Kind);
    std::string text = item >= 1 ? entry.Item(item) : std::string();
    if (mExtra) text += mExtra(entry);
    return SplitDisplayLines(text);
}

bool velt_serwer::IsChecked(const std::string& key, const std::string& tag) {
    return mCheck ? mCheck(tag, key) : false;
}

int velt_serwer::Action(const std::string& key, const std::string& command) {
    if (!mCallback) return 0;
    if (command == "!" || command == "*") {
        const std::string identifier = EntryIdentifier(key);
        if (!identifier.empty()) mCallback(command == "!" ? 33 : 42, mFiles.ShownIdentifier(identifier), key);
        return 0;
    }
    mCallback(76, command, key);
    return 0;
}

std::string velt_serwer::LocateRecord(const std::string& typed) {
    mCursor.Locate(mFiles.StoredIdentifier(typed));
    return mCursor.CurrentKey();
}

std::string velt_serwer::EntryIdentifier(const std::string& key) {
    return mCursor.Find(key) ? mFiles.EntryText(mCursor.Current.get()) : std::string();
}

bool velt_serwer::FindKey(const std::string& key) { return mCursor.Find(key); }

std::string velt_serwer::NextRecord(const std::string& key) {
    const std::string record = EntryIdentifier(key);
    if (record.empty()) return {};
    // Forward to the first entry of another record; else backward. Walks
    // are bounded: an index of one record's headings ends somewhere.
    for (int pass = 0; pass < 2; ++pass) {
        std::string k = key;
        for (int steps = 0; steps < 10000; ++steps) {
            k = pass == 0 ? Next(k) : Prior(k);
            if (k.empty()) break;
            if (EntryIdentifier(k) != record) return k;
        }
    }
    return {};
}

}  // namespace chooser

}  // namespace velt
