#include "text/my_record.h"

#include "text/Wildcard.h"

#include <cstring>

namespace velt {

bool my_error::Concerns(const std::string& key) const { return MatchPatterns(keys, key); }

namespace {
const std::string kEmpty;
}

namespace {

// Keys are short: eight bytes at a time, multiplied and folded.
std::size_t HashOf(std::string_view key) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ key.size();
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, key.data() + i, 8);
        h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    if (i < key.size()) std::memcpy(&tail, key.data() + i, key.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

std::size_t my_record::SlotOf(std::string_view key) const {
    const std::size_t mask = mSlots.size() - 1;
    std::size_t i = HashOf(key) & mask;
    while (mSlots[i] != 0 && mFields[mSlots[i] - 1].key != key) i = (i + 1) & mask;
    return i;
}

void my_record::Rehash(std::size_t n) {
    std::size_t size = 16;
    while (size < 2 * n) size *= 2;
    if (size <= mSlots.size()) return;
    mSlots.assign(size, 0);
    for (std::size_t k = 0; k < mFields.size(); ++k) mSlots[SlotOf(mFields[k].key)] = static_cast<std::uint32_t>(k + 1);
}

const my_field* my_record::Find(std::string_view key) const {
    if (mSlots.empty()) return nullptr;
    const std::uint32_t at = mSlots[SlotOf(key)];
    return at == 0 ? nullptr : &mFields[at - 1];
}

my_field* my_record::FindMutable(std::string_view key) {
    return const_cast<my_field*>(static_cast<const my_record*>(this)->Find(key));
}

void my_record::Reserve(std::size_t n) {
    mFields.reserve(n);
    Rehash(n);
}

my_field& my_record::Append(std::string key) {
    Rehash(mFields.size() + 1);
    const std::size_t slot = SlotOf(key);
    mSlots[slot] = static_cast<std::uint32_t>(mFields.size() + 1);
    my_field& f = mFields.emplace_back();
    f.key = std::move(key);
    return f;
}

void my_record::AddField(std::string key, std::string value, std::uint8_t readonly) {
    // One look-up: the slot either holds the key or is where it goes.
    Rehash(mFields.size() + 1);
    const std::size_t slot = SlotOf(key);
    my_field* f;
    if (mSlots[slot] != 0) {
        f = &mFields[mSlots[slot] - 1];
    } else {
        mSlots[slot] = static_cast<std::uint32_t>(mFields.size() + 1);
        f = &mFields.emplace_back();
        f->key = std::move(key);
    }
    f->loaded = value;
    f->value = std::move(value);
    f->readonly = readonly;
}

const std::string& my_record::GetValue(std::string_view key) const {
    const my_field* f = Find(key);
    return f ? f->value : kEmpty;
}

void my_record::SetValue(std::string key, std::string text) {
    if (my_field* f = FindMutable(key)) {
        f->value = std::move(text);
    } else if (!text.empty()) {
        Append(std::move(key)).value = std::move(text);
    }
}

std::uint8_t my_record::IsReadOnly(std::string_view key) const {
    const my_field* f = Find(key);
    return f ? f->readonly : 0;
}

void my_record::SetReadOnly(std::string key, std::uint8_t flag) {
    if (my_field* f = FindMutable(key)) {
        f->readonly = flag;
    } else if (flag == 1) {
        Append(std::move(key)).readonly = 1;
    }
}

bool my_record::IsModified() const {
    for (const my_field& f : mFields)
        if (f.value != f.loaded && f.key.find('#') == std::string::npos) return true;
    return false;
}

int my_record::MaxOccurrence(std::string_view pattern) const {
    int best = 0;
    for (const my_field& f : mFields) {
        int n;
        if (MatchOccurrence(f.key, pattern, n) && n > best) best = n;
    }
    return best;
}

void my_record::AddError(const std::string& message, const std::string& keys) {
    mErrors.emplace_back(message, keys);
}

void my_record::ClearErrorsFor(const std::string& key) {
    std::erase_if(mErrors, [&](const my_error& e) { return e.Concerns(key); });
}

void my_record::CopyFrom(const my_record& other) {
    if (&other == this) return;
    for (const my_field& f : other.mFields) {
        SetValue(f.key, f.value);
        if (!IsReadOnly(f.key)) SetReadOnly(f.key, f.readonly);
    }
    mErrors = other.mErrors;
}

}  // namespace velt
