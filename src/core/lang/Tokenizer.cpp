// Tokenizer of the formatting language: lines, includes, comments, tokens.

#include "lang/Tokenizer.h"

#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <algorithm>
#include <filesystem>

namespace velt {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The name by which two include paths are known to be the same file.
std::string Identity(const std::string& path) {
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : canonical.string();
}

}  // namespace

bool ReadSourceLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

Tokenizer::Tokenizer(std::istream& main, std::string fileName, const std::vector<std::string>& parameters,
                     ErrorSink sink)
    : mMain(main), mMainName(std::move(fileName)), mSink(std::move(sink)) {
    mMainIdentity = mMainName.empty() ? std::string() : Identity(mMainName);
    mNames = {"LP", "HEADER", "REKORD"};
    // Parameters take the numbers from 4 on in the caller's order, even when
    // a name repeats, because the caller sets them by position; a name used
    // in the script finds its first number.
    for (const auto& p : parameters) {
        std::string upper = p;
        for (auto& c : upper) c = Upper(c);
        AddName(upper);
    }
}

Tokenizer::~Tokenizer() = default;

const std::string& Tokenizer::FileName() const {
    return mIncludes.empty() ? mMainName : mIncludes.back()->name;
}

std::vector<std::string> Tokenizer::TakeErrors() {
    std::vector<std::string> out;
    out.swap(mErrors);
    return out;
}

void Tokenizer::Stop() {
    mStopped = true;
    mToken = Token{};
}

std::uint16_t Tokenizer::NameNumber(const std::string& upper) {
    const auto it = std::find(mNames.begin(), mNames.end(), upper);
    if (it != mNames.end()) return static_cast<std::uint16_t>(it - mNames.begin() + 1);
    return AddName(upper);
}

std::uint16_t Tokenizer::AddName(const std::string& upper) {
    if (static_cast<int>(mNames.size()) >= kMaxNames) {
        // The interpreter has no room for more variables; report it once.
        if (!mNamesOverflow)
            mErrors.push_back("Zbyt wiele nazw w skrypcie (najwyżej 200 razem z LP, HEADER, REKORD i parametrami)"_cp);
        mNamesOverflow = true;
        return 0;
    }
    mNames.push_back(upper);
    return static_cast<std::uint16_t>(mNames.size());
}

std::string Tokenizer::CurrentDirectory() const {
    const std::string& name = FileName();
    const auto slash = name.find_last_of('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// An include line starts with "[PLIK " and ends with "]" (blanks around
// ignored); the name between them, trimmed, is relative to the directory of
// the file that holds the line.
bool Tokenizer::OpenInclude(const std::string& trimmed) {
    std::string name(TrimBlanks(std::string_view(trimmed).substr(6, trimmed.size() - 7)));
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string path = CurrentDirectory() + name;
    if (static_cast<int>(mIncludes.size()) >= kMaxIncludeDepth) {
        mErrors.push_back("Zbyt głęboko zagnieżdżone pliki dołączane: \""_cp + path + "\"");
        return false;
    }
    auto include = std::make_unique<Include>();
    include->name = path;
    include->stream.open(path, std::ios::binary);
    if (!include->stream || std::filesystem::is_directory(path)) {
        // Reported, but not counted as an error of the script.
        if (mSink) mSink(FileName() + ": brak pliku \"" + path + "\"");
        return false;
    }
    include->identity = Identity(path);
    bool loops = include->identity == mMainIdentity;
    for (const auto& open : mIncludes) loops = loops || open->identity == include->identity;
    if (loops) {
        mErrors.push_back("Zapętlone dołączanie pliku \""_cp + path + "\"");
        return false;
    }
    include->savedLine = mLineNumber;
    mIncludes.push_back(std::move(include));
    mLineNumber = 0;
    return true;
}

// Makes the next line current; false at the end of the whole input.
bool Tokenizer::ReadLine() {
    for (;;) {
        if (mStopped) return false;
        bool got = false;
        while (!mIncludes.empty()) {
            if (ReadSourceLine(mIncludes.back()->stream, mLine)) {
                got = true;
                break;
            }
            mLineNumber = mIncludes.back()->savedLine;
            mIncludes.pop_back();
        }
        if (!got && !ReadSourceLine(mMain, mLine)) {
            mLine.clear();
            mLineValid = false;
            return false;
        }
        ++mLineNumber;
        mPos = 0;
        const std::string trimmed(TrimBlanks(mLine));
        if (trimmed.size() >= 7 && trimmed.compare(0, 6, "[PLIK ") == 0 && trimmed.back() == ']') {
            if (mIncludesAllowed)
                OpenInclude(trimmed);
            else
                mErrors.push_back("Dołączanie plików jest tu niedostępne: "_cp + trimmed);
            continue;  // an include line yields no tokens
        }
        mLineValid = true;
        return true;
    }
}

void Tokenizer::ReadLiteral() {
    mToken.kind = TokenKind::Literal;
    std::string text;
    for (;;) {
        if (mPos < mLine.size() && mLine[mPos] == '\'') {
            const auto close = mLine.find('\'', mPos + 1);
            if (close == std::string::npos) {
                // A literal may not run past its line.
                text.append(mLine, mPos + 1, std::string::npos);
                mPos = mLine.size();
                mToken.kind = TokenKind::End;
                mToken.text = text;
                return;
            }
            text.append(mLine, mPos + 1, close - mPos - 1);
            mPos = close + 1;
        } else if (mPos < mLine.size() && mLine[mPos] == '\\') {
            ++mPos;
            const std::size_t start = mPos;
            unsigned code = 0;
            while (mPos < mLine.size() && IsDigit(mLine[mPos])) {
                if (code <= 255) code = code * 10 + static_cast<unsigned>(mLine[mPos] - '0');
                ++mPos;
            }
            if (code > 255) {
                mErrors.push_back("Kod znaku większy niż 255: \\"_cp + mLine.substr(start, mPos - start));
                continue;
            }
            text.push_back(static_cast<char>(code));
        } else {
            break;
        }
    }
    mToken.text = std::move(text);
}

void Tokenizer::Next() {
    mToken = Token{};
    if (mStopped) return;
    bool inComment = false;
    for (;;) {
        if (!mLineValid || mPos >= mLine.size()) {
            mLineValid = false;
            if (!ReadLine()) return;  // end of input: the end token
            continue;
        }
        const char c = mLine[mPos];
        if (inComment) {
            const auto close = mLine.find('}', mPos);
            if (close == std::string::npos) {
                mPos = mLine.size();
            } else {
                mPos = close + 1;
                inComment = false;
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            ++mPos;
            continue;
        }
        if (c == '{') {
            inComment = true;
            ++mPos;
            continue;
        }
        break;
    }
    const char c = mLine[mPos];
    if (IsLetter(c)) {
        std::string upper;
        while (mPos < mLine.size() && (IsLetter(mLine[mPos]) || IsDigit(mLine[mPos])))
            upper.push_back(Upper(mLine[mPos++]));
        mToken.text = upper;
        if (const Keyword k = FindKeyword(upper); k != kNoKeyword) {
            mToken.kind = TokenKind::Keyword;
            mToken.keyword = k;
        } else if (const FunctionInfo* f = FindFunction(upper)) {
            mToken.kind = TokenKind::Function;
            mToken.function = f;
        } else {
            mToken.kind = TokenKind::Name;
            mToken.name = NameNumber(upper);
        }
        return;
    }
    if (c == '\'' || c == '\\') {
        ReadLiteral();
        return;
    }
    ++mPos;
    mToken.text = std::string(1, c);
    switch (c) {
        case '+': mToken.kind = TokenKind::Plus; break;
        case '=': mToken.kind = TokenKind::Equal; break;
        case '#': mToken.kind = TokenKind::Hash; break;
        case '>': mToken.kind = TokenKind::Greater; break;
        case '!': mToken.kind = TokenKind::Bang; break;
        case '(': mToken.kind = TokenKind::LParen; break;
        case ')': mToken.kind = TokenKind::RParen; break;
        case ',': mToken.kind = TokenKind::Comma; break;
        default: mToken.kind = TokenKind::End; break;
    }
}

}  // namespace velt
