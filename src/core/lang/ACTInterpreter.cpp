// The action-script host over a my_record and, optionally, the server lookups.

#include "lang/ACTInterpreter.h"

#include "lang/TextFunctions.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"


namespace velt {
namespace {

std::string OccurrenceText(const std::vector<long>& numbers, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < numbers.size(); ++i) {
        out.push_back('.');
        out.append(std::to_string(numbers[i]));
    }
    return out;
}

}  // namespace

bool ParseOccurrences(std::string_view position, std::vector<long>& numbers) {
    numbers.clear();
    std::size_t i = 0;
    while (i < position.size()) {
        if (position[i] != '.') return false;
        ++i;
        long n = 0;
        std::size_t digits = 0;
        while (i < position.size() && position[i] >= '0' && position[i] <= '9') {
            if (++digits > 9) return false;
            n = n * 10 + (position[i] - '0');
            ++i;
        }
        if (digits == 0) return false;
        numbers.push_back(n);
    }
    return true;
}

ACTInterpreter::ACTInterpreter(ErrorSink sink, my_record& record, ScriptLookups* lookups)
    : TInterpreter(std::move(sink)), mRecord(&record), mLookups(lookups) {}

const std::vector<ACTInterpreter::KeyOccurrences>& ACTInterpreter::KeysStartingWith(char c) const {
    const auto& fields = mRecord->fields();
    if (fields.size() < mKeysRead) {
        for (auto& bucket : mKeys) bucket.clear();
        for (auto& bucket : mUnread) bucket.clear();
        mNumbers.clear();
        mKeysRead = 0;
    }
    for (; mKeysRead < fields.size(); ++mKeysRead) {
        const std::string& key = fields[mKeysRead].key;
        if (!key.empty()) mUnread[static_cast<unsigned char>(key[0])].push_back(static_cast<std::uint32_t>(mKeysRead));
    }
    auto& unread = mUnread[static_cast<unsigned char>(c)];
    auto& keys = mKeys[static_cast<unsigned char>(c)];
    std::vector<long> numbers;
    for (const std::uint32_t field : unread) {
        const std::string& key = fields[field].key;
        const auto dot = key.find('.');
        // Keys the walk cannot read (attributes, malformed occurrences) are left out.
        if (dot == std::string::npos || dot == 0 || !ParseOccurrences(std::string_view(key).substr(dot), numbers))
            continue;
        keys.push_back({field, static_cast<std::uint32_t>(mNumbers.size()), static_cast<std::uint32_t>(numbers.size())});
        mNumbers.insert(mNumbers.end(), numbers.begin(), numbers.end());
    }
    unread.clear();
    return keys;
}

template <typename Each>
void ACTInterpreter::ForKeys(const std::string& prefix, Each each) const {
    if (prefix.empty()) {
        for (int c = 0; c < 256; ++c) {
            for (const auto& k : KeysStartingWith(static_cast<char>(c))) each(&mNumbers[k.first], k.count);
        }
        return;
    }
    const auto& fields = mRecord->fields();
    for (const auto& k : KeysStartingWith(prefix[0])) {
        if (fields[k.field].key.compare(0, prefix.size(), prefix) == 0) each(&mNumbers[k.first], k.count);
    }
}

std::string ACTInterpreter::NextOccurrence(const std::string& prefix, const std::string& pos) const {
    std::vector<long> own;
    if (!ParseOccurrences(pos, own) || own.empty()) return pos;
    const std::size_t n = own.size();
    const long current = own.back();
    long best = -1;
    ForKeys(prefix, [&](const long* key, std::size_t count) {
        if (count < n || !std::equal(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(n - 1), key)) return;
        const long candidate = key[n - 1];
        if (candidate > current && (best < 0 || candidate < best)) best = candidate;
    });
    return OccurrenceText(own, n - 1) + "." + std::to_string(best < 0 ? kMissing : best);
}

std::string ACTInterpreter::NewOccurrence(const std::string& prefix, const std::string& pos) const {
    std::vector<long> own;
    if (!ParseOccurrences(pos, own) || own.empty()) return pos;
    // Missing parents are created too: climb to the first level whose parent
    // exists, take a new occurrence there and the first one below it.
    std::size_t level = own.size();
    while (level > 1 && own[level - 2] == kMissing) --level;
    // The group is cut to the level only when a missing parent was climbed.
    const std::string cut = level < own.size() ? prefix.substr(0, std::min(prefix.size(), level)) : prefix;
    long largest = 0;
    ForKeys(cut, [&](const long* key, std::size_t count) {
        if (count < level || !std::equal(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(level - 1), key)) return;
        largest = std::max(largest, key[level - 1]);
    });
    std::string out = OccurrenceText(own, level - 1) + "." + std::to_string(largest + 1);
    for (std::size_t i = level; i < own.size(); ++i) out += ".1";
    return out;
}

void ACTInterpreter::EnterGroup(const std::string& tags) {
    if (mGroup.size() + tags.size() > kMaxGroup)
        throw ScriptFailure("grupa dłuższa niż "_cp + std::to_string(kMaxGroup) + " znaków"_cp);
    mGroupStack.push_back({mGroup, mPosition, mRecord});
    for (const char c : tags) {
        mGroup.push_back(c);
        mPosition = NextOccurrence(mGroup, mPosition + ".0");
    }
}

bool ACTInterpreter::PointsAtNothing() const {
    const auto dot = mPosition.rfind('.');
    if (dot == std::string::npos) return true;
    return mPosition.compare(dot + 1, std::string::npos, std::to_string(kMissing)) == 0;
}

bool ACTInterpreter::Status() { return !PointsAtNothing(); }

void ACTInterpreter::Skip() {
    if (!mPosition.empty()) mPosition = NextOccurrence(mGroup, mPosition);
}

void ACTInterpreter::LeaveGroup() {
    if (mGroupStack.empty()) {
        Report("ACT: błąd skryptu: za dużo BACK"_cp);
        return;
    }
    mGroup = std::move(mGroupStack.back().group);
    mPosition = std::move(mGroupStack.back().position);
    mRecord = mGroupStack.back().record;
    mGroupStack.pop_back();
}

std::string ACTInterpreter::GetField() { return mRecord->GetValue(mGroup + mPosition); }

bool ACTInterpreter::CanWrite() {
    if (!mGroup.empty()) return true;
    // Without a group the key would be the bare position: no field of a record.
    Report("ACT: błąd skryptu: zapis pola przed GRUPA"_cp);
    return false;
}

void ACTInterpreter::SetField(const std::string& value) {
    if (!CanWrite()) return;
    if (!mPosition.empty() && PointsAtNothing()) mPosition = NewOccurrence(mGroup, mPosition);
    std::string text = value;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    mRecord->SetValue(mGroup + mPosition, std::move(text));
}

bool ACTInterpreter::IsReadOnly() { return mRecord->IsReadOnly(mGroup + mPosition) != 0; }

void ACTInterpreter::SetReadOnly(bool flag) {
    if (!CanWrite()) return;
    if (!mPosition.empty() && PointsAtNothing()) mPosition = NewOccurrence(mGroup, mPosition);
    mRecord->SetReadOnly(mGroup + mPosition, flag ? 1 : 0);
}

std::string ACTInterpreter::GetPosition() { return mPosition; }
void ACTInterpreter::SetPosition(const std::string& position) { mPosition = position; }
char ACTInterpreter::Marker() { return '^'; }

std::string ACTInterpreter::Last(const std::string& key) { return mLookups ? mLookups->Last(key) : std::string(); }

std::string ACTInterpreter::Select(const std::string& kinds, const std::string& start, const std::string& pattern) {
    return mLookups ? mLookups->Select(kinds, start, pattern) : std::string();
}

std::string ACTInterpreter::References(const std::string& id, const std::string& kinds) {
    return mLookups ? mLookups->References(id, kinds) : std::string();
}

std::string ACTInterpreter::Config(const std::string& name) { return mLookups ? mLookups->Config(name) : std::string(); }

}  // namespace velt
