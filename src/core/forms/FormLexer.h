#pragma once
// The form-description language's tokenizer: turns the description text into
// keywords, numbers, strings, the symbols ( ) * + , - / and error tokens, one
// token of look-ahead, line by line. Only the space and line ends separate
// tokens; "{...}" comments run across lines and separate like a space.
//
// A string token is quoted pieces ('ab') and character codes (\13) written
// next to each other; a code above 255 or a quoted piece left open at the end
// of its line makes the whole token an error token.

#include <cstdint>
#include <string>
#include <string_view>

namespace velt {

// The 29 keywords in table order; their numbers are the values.
enum FormKeyword : int {
    kKwNone = 0,
    kKwBegin = 1, kKwEnd, kKwProcedure, kKwOn, kKwList, kKwTabs, kKwForm, kKwDynamic, kKwLabel, kKwNo,
    kKwText, kKwField, kKwMemo, kKwMultiline, kKwMarkers, kKwNumber, kKwSpin, kKwDate, kKwCombo, kKwCheck,
    kKwButton, kKwSpeed, kKwMenu, kKwDictionary, kKwMask, kKwOf, kKwDefault, kKwPassword, kKwLimit,
};

enum class FormTokenKind { Keyword, Number, String, Symbol, Error, End };

struct FormToken {
    FormTokenKind kind = FormTokenKind::End;
    FormKeyword keyword = kKwNone;
    std::int32_t number = 0;  // a number's value, saturated at the largest 32-bit integer
    std::string text;         // what messages show after " [jest: "; a string's value
};

// The keyword's name in upper case ("BEGIN"), empty for kKwNone.
std::string_view FormKeywordName(FormKeyword keyword);

class FormLexer {
public:
    explicit FormLexer(std::string_view text);

    // Reads the next token into Current().
    void Next();
    const FormToken& Current() const { return mToken; }
    // The whole source line the current token was found in.
    const std::string& Line() const { return mTokenLine; }
    // From now on every token is the end token.
    void Stop();

    bool IsKeyword(FormKeyword k) const { return mToken.kind == FormTokenKind::Keyword && mToken.keyword == k; }
    bool IsSymbol(char c) const {
        return mToken.kind == FormTokenKind::Symbol && mToken.text.size() == 1 && mToken.text[0] == c;
    }

private:
    bool NextLine();
    void ReadString();

    std::string_view mText;
    std::size_t mNextLine = 0;  // where the next line starts in mText
    std::string mLine;
    std::string mTokenLine;
    std::size_t mPos = 0;
    bool mHaveLine = false;
    bool mStopped = false;
    FormToken mToken;
};

}  // namespace velt
