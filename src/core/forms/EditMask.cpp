// The masked edit's mask and content.

#include "forms/EditMask.h"

namespace velt {
namespace {

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

EditMask::EditMask(std::string_view mask) {
    // The two fields at the end: "; blank" and "; flag".
    if (mask.size() >= 2 && mask[mask.size() - 2] == ';') {
        mBlank = mask.back();
        mask.remove_suffix(2);
        if (mask.size() >= 2 && mask[mask.size() - 2] == ';' && (mask.back() == '0' || mask.back() == '1')) {
            mKeepLiterals = mask.back() == '1';
            mask.remove_suffix(2);
        }
    }
    Case fold = Case::Keep;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        Slot slot;
        slot.fold = fold;
        switch (c) {
        case '!': continue;
        case '>': fold = Case::Upper; continue;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                ++i;
                fold = Case::Keep;
            } else {
                fold = Case::Lower;
            }
            continue;
        case '\\':
            if (i + 1 < mask.size()) {
                slot.literal = true;
                slot.ch = mask[++i];
                mSlots.push_back(slot);
            }
            continue;
        case 'L': case 'l': slot.accept = Accept::Letter; break;
        case 'A': case 'a': slot.accept = Accept::Alnum; break;
        case 'C': case 'c': slot.accept = Accept::Any; break;
        case '0': case '9': slot.accept = Accept::Digit; break;
        case '#': slot.accept = Accept::Sign; break;
        case '_':
            slot.literal = true;
            slot.ch = ' ';
            break;
        default:
            slot.literal = true;
            slot.ch = c;
            break;
        }
        mSlots.push_back(slot);
    }
}

std::string EditMask::Text() const {
    if (mSlots.empty()) return mFree;
    std::string out;
    for (const Slot& s : mSlots) {
        if (s.literal) {
            if (mKeepLiterals) out.push_back(s.ch);
        } else {
            out.push_back(s.filled ? s.ch : ' ');
        }
    }
    return out;
}

std::string EditMask::Display() const {
    if (mSlots.empty()) return mFree;
    std::string out;
    for (const Slot& s : mSlots) out.push_back(s.literal ? s.ch : (s.filled ? s.ch : mBlank));
    return out;
}

void EditMask::SetText(std::string_view text) {
    mCursor = 0;
    if (mSlots.empty()) {
        mFree.assign(text);
        return;
    }
    std::size_t at = 0;
    for (Slot& s : mSlots) {
        if (s.literal) {
            if (mKeepLiterals && at < text.size()) ++at;
            continue;
        }
        s.filled = false;
        s.ch = ' ';
        if (at < text.size()) {
            char c = text[at++];
            if (c != ' ' && c != mBlank && Fits(s, c)) {
                s.ch = c;
                s.filled = true;
            }
        }
    }
    mCursor = 0;
}

void EditMask::SetCursor(std::size_t position) { mCursor = position > Size() ? Size() : position; }

bool EditMask::Fits(const Slot& slot, char& c) const {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32) return false;
    bool ok = false;
    switch (slot.accept) {
    case Accept::Letter: ok = IsLetter(u); break;
    case Accept::Alnum: ok = IsLetter(u) || IsDigit(u); break;
    case Accept::Any: ok = true; break;
    case Accept::Digit: ok = IsDigit(u); break;
    case Accept::Sign: ok = IsDigit(u) || c == '+' || c == '-'; break;
    }
    if (!ok) return false;
    if (slot.fold == Case::Upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (slot.fold == Case::Lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return true;
}

std::size_t EditMask::NextEditable(std::size_t from) const {
    while (from < mSlots.size() && mSlots[from].literal) ++from;
    return from;
}

bool EditMask::Type(char c) {
    if (mSlots.empty()) {
        if (static_cast<unsigned char>(c) < 32) return false;
        mFree.insert(mCursor++, 1, c);
        return true;
    }
    const std::size_t at = NextEditable(mCursor);
    if (at >= mSlots.size()) return false;
    Slot& s = mSlots[at];
    if (c == ' ') {
        s.filled = false;
        s.ch = ' ';
    } else {
        if (!Fits(s, c)) return false;
        s.ch = c;
        s.filled = true;
    }
    mCursor = NextEditable(at + 1);
    return true;
}

bool EditMask::Backspace() {
    if (mSlots.empty()) {
        if (mCursor == 0) return false;
        mFree.erase(--mCursor, 1);
        return true;
    }
    std::size_t at = mCursor;
    while (at > 0) {
        --at;
        if (!mSlots[at].literal) {
            const bool changed = mSlots[at].filled;
            mSlots[at].filled = false;
            mSlots[at].ch = ' ';
            mCursor = at;
            return changed;
        }
    }
    return false;
}

bool EditMask::Delete() {
    if (mSlots.empty()) {
        if (mCursor >= mFree.size()) return false;
        mFree.erase(mCursor, 1);
        return true;
    }
    const std::size_t at = NextEditable(mCursor);
    if (at >= mSlots.size()) return false;
    const bool changed = mSlots[at].filled;
    mSlots[at].filled = false;
    mSlots[at].ch = ' ';
    return changed;
}

bool EditMask::Erase(std::size_t from, std::size_t to) {
    if (mSlots.empty()) {
        if (to > mFree.size()) to = mFree.size();
        if (from >= to) return false;
        mFree.erase(from, to - from);
        SetCursor(from);
        return true;
    }
    if (to > mSlots.size()) to = mSlots.size();
    bool changed = false;
    for (std::size_t i = from; i < to; ++i) {
        if (mSlots[i].literal) continue;
        changed = changed || mSlots[i].filled;
        mSlots[i].filled = false;
        mSlots[i].ch = ' ';
    }
    SetCursor(from);
    return changed;
}

bool EditMask::Paste(std::string_view text) {
    bool changed = false;
    for (char c : text)
        if (Type(c)) changed = true;
    return changed;
}

}  // namespace velt
