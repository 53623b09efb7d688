// Tokenizer of the form-description language.

#include "forms/FormLexer.h"

#include <array>

namespace velt {
namespace {

constexpr std::array<std::string_view, 30> kKeywordNames = {
    "",       "BEGIN", "END",   "PROCEDURE", "ON",     "LIST",  "TABS",   "FORM",   "DYNAMIC",    "LABEL",
    "NO",     "TEXT",  "FIELD", "MEMO",      "MULTILINE", "MARKERS", "NUMBER", "SPIN", "DATE", "COMBO",
    "CHECK",  "BUTTON", "SPEED", "MENU",     "DICTIONARY", "MASK", "OF",     "DEFAULT", "PASSWORD", "LIMIT",
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSymbolChar(char c) {
    return c == '(' || c == ')' || c == '*' || c == '+' || c == ',' || c == '-' || c == '/';
}

}  // namespace

std::string_view FormKeywordName(FormKeyword keyword) {
    const auto i = static_cast<std::size_t>(keyword);
    return i < kKeywordNames.size() ? kKeywordNames[i] : std::string_view();
}

FormLexer::FormLexer(std::string_view text) : mText(text) {}

void FormLexer::Stop() {
    mStopped = true;
    mToken = FormToken{};
}

// Lines end with LF, CR LF or a lone CR: the server's text is CR-separated.
bool FormLexer::NextLine() {
    if (mNextLine >= mText.size()) {
        mHaveLine = false;
        return false;
    }
    std::size_t end = mNextLine;
    while (end < mText.size() && mText[end] != '\n' && mText[end] != '\r') ++end;
    mLine.assign(mText.substr(mNextLine, end - mNextLine));
    if (end < mText.size() && mText[end] == '\r' && end + 1 < mText.size() && mText[end + 1] == '\n') ++end;
    mNextLine = end + 1;
    mPos = 0;
    mHaveLine = true;
    return true;
}

void FormLexer::Next() {
    mToken = FormToken{};
    if (mStopped) return;
    bool inComment = false;
    for (;;) {
        if (!mHaveLine || mPos >= mLine.size()) {
            if (!NextLine()) {
                mTokenLine = mLine;  // the end token belongs to the last line read
                return;
            }
            continue;
        }
        if (inComment) {
            const auto close = mLine.find('}', mPos);
            if (close == std::string::npos) {
                mPos = mLine.size();
                continue;
            }
            mPos = close + 1;
            inComment = false;
            continue;
        }
        const char c = mLine[mPos];
        if (c == ' ') {
            ++mPos;
            continue;
        }
        if (c == '{') {
            ++mPos;
            inComment = true;
            continue;
        }
        break;
    }
    mTokenLine = mLine;
    const char c = mLine[mPos];
    const std::size_t start = mPos;
    if (IsLetter(c)) {
        while (mPos < mLine.size() && IsLetter(mLine[mPos])) {
            char u = mLine[mPos++];
            if (u >= 'a' && u <= 'z') u = static_cast<char>(u - 'a' + 'A');
            mToken.text.push_back(u);
        }
        mToken.kind = FormTokenKind::Error;  // the language has no identifiers
        for (std::size_t k = 1; k < kKeywordNames.size(); ++k) {
            if (kKeywordNames[k] == mToken.text) {
                mToken.kind = FormTokenKind::Keyword;
                mToken.keyword = static_cast<FormKeyword>(k);
                break;
            }
        }
        return;
    }
    if (IsDigit(c)) {
        std::int64_t value = 0;
        while (mPos < mLine.size() && IsDigit(mLine[mPos])) {
            value = value * 10 + (mLine[mPos++] - '0');
            if (value > INT32_MAX) value = INT32_MAX;
        }
        mToken.kind = FormTokenKind::Number;
        mToken.number = static_cast<std::int32_t>(value);
        mToken.text = mLine.substr(start, mPos - start);
        return;
    }
    if (IsSymbolChar(c)) {
        ++mPos;
        mToken.kind = FormTokenKind::Symbol;
        mToken.text.assign(1, c);
        return;
    }
    if (c == '\'' || c == '\\') {
        ReadString();
        return;
    }
    ++mPos;
    mToken.kind = FormTokenKind::Error;
    mToken.text.assign(1, c);
}

void FormLexer::ReadString() {
    const std::size_t start = mPos;
    bool bad = false;
    for (;;) {
        if (mPos >= mLine.size()) break;
        const char c = mLine[mPos];
        if (c == '\'') {
            const auto close = mLine.find('\'', mPos + 1);
            if (close == std::string::npos) {
                // Not closed on its line: the rest of the line is the error token.
                mToken.kind = FormTokenKind::Error;
                mToken.text = mLine.substr(start);
                mPos = mLine.size();
                return;
            }
            mToken.text.append(mLine, mPos + 1, close - mPos - 1);
            mPos = close + 1;
        } else if (c == '\\') {
            ++mPos;
            int code = 0;
            while (mPos < mLine.size() && IsDigit(mLine[mPos])) {
                if (code <= 255) code = code * 10 + (mLine[mPos] - '0');
                ++mPos;
            }
            if (code > 255) bad = true;  // one byte per character in the system's code page
            mToken.text.push_back(static_cast<char>(code & 0xFF));
        } else {
            break;
        }
    }
    if (bad) {
        mToken.kind = FormTokenKind::Error;
        mToken.text = mLine.substr(start, mPos - start);
        return;
    }
    mToken.kind = FormTokenKind::String;
}

}  // namespace velt
