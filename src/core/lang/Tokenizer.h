#pragma once
// The formatting language's tokenizer: reads the script line by line,
// follows "[PLIK name]" include lines, skips "{...}" comments, and turns the
// text into keywords, function names, names (numbered in the names table),
// text literals and single-character tokens. Any other character, the end of
// the input and a literal left open at the end of a line are the end token.
//
// Errors the tokenizer finds (too many names, a character code above 255, an
// include that loops or nests too deep) are queued for the compiler, which
// reports them with the token they belong to.

#include "lang/ErrorSink.h"
#include "lang/LanguageTables.h"

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace velt {

enum class TokenKind { End, Keyword, Function, Name, Literal, Plus, Equal, Hash, Greater, Bang, LParen, RParen, Comma };

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = kNoKeyword;
    const FunctionInfo* function = nullptr;
    std::uint16_t name = 0;  // names-table number of a name (0: the table was full)
    std::string text;        // as written; a literal's value
};

// Reads one line without its line ending (LF, CR LF or a lone CR at the end);
// false at the end of the input.
bool ReadSourceLine(std::istream& in, std::string& line);

class Tokenizer {
public:
    static constexpr int kMaxNames = 200;
    static constexpr int kMaxIncludeDepth = 16;

    // Starts before the first line of main; parameters take the numbers from 4.
    Tokenizer(std::istream& main, std::string fileName, const std::vector<std::string>& parameters,
              ErrorSink sink);
    ~Tokenizer();

    // Reads the next token into Current().
    void Next();
    const Token& Current() const { return mToken; }
    // From now on every token is the end token and no line is read.
    void Stop();
    // Include lines are errors from now on, never opened: the script came
    // from elsewhere than a directory its includes could be read from.
    void RefuseIncludes() { mIncludesAllowed = false; }

    // The file being read (an include or the main script), its line number
    // and the whole current line.
    const std::string& FileName() const;
    int LineNumber() const { return mLineNumber; }
    const std::string& Line() const { return mLine; }

    // Errors found since the last call, oldest first.
    std::vector<std::string> TakeErrors();

    // The names table: number -> name (1 "LP", 2 "HEADER", 3 "REKORD", ...).
    const std::vector<std::string>& Names() const { return mNames; }

private:
    struct Include {
        std::string name;
        std::string identity;  // the file's canonical name, to find loops
        int savedLine = 0;
        std::ifstream stream;
    };

    bool ReadLine();
    bool OpenInclude(const std::string& trimmed);
    std::string CurrentDirectory() const;
    std::uint16_t NameNumber(const std::string& upper);
    // Appends the name (0 when the table is full).
    std::uint16_t AddName(const std::string& upper);
    void ReadLiteral();

    std::istream& mMain;
    std::string mMainName;
    std::string mMainIdentity;
    ErrorSink mSink;
    std::vector<std::unique_ptr<Include>> mIncludes;
    std::string mLine;
    std::size_t mPos = 0;
    int mLineNumber = 0;
    bool mLineValid = false;  // mLine holds a line not yet used up
    bool mStopped = false;
    bool mNamesOverflow = false;
    bool mIncludesAllowed = true;
    std::vector<std::string> mNames;
    std::vector<std::string> mErrors;
    Token mToken;
};

}  // namespace velt
