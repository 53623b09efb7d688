// The form-description reader: recursive descent over FormLexer's tokens,
// building the my_formular tree and collecting the messages.

#include "forms/FormReader.h"

#include "forms/FormConversions.h"
#include "forms/FormLexer.h"
#include "text/CpLiteral.h"

#include <fstream>
#include <set>
#include <sstream>

namespace velt {
namespace {

using Op = FormExpression::Op;

class Reader {
public:
    Reader(std::string_view text, const std::string& pictureDirectory)
        : mLex(text), mPictures(pictureDirectory) {}

    FormReadResult Read() {
        FormReadResult result;
        result.root = std::make_unique<my_formular>();
        mLex.Next();
        ReadBlock(*result.root);
        if (mLex.Current().kind != FormTokenKind::End) Error("Pominięty fragment opisu"_cp);
        result.messages = std::move(mMessages);
        return result;
    }

private:
    // An error with the token and its line: two texts.
    void Error(const std::string& message) {
        if (mSilent) return;
        Keep({message + " [jest: " + mLex.Current().text + "]", "Linia: \"" + mLex.Line() + "\""});
    }
    // A message of one text (COMBO lists, pictures).
    void Notice(const std::string& message) {
        if (!mSilent) Keep({message, std::string()});
    }
    void Keep(FormMessage m) {
        if (mMessages.size() < kMaxFormMessages) mMessages.push_back(std::move(m));
    }

    // Past the nesting bound the rest of the description is ignored, and
    // the blocks being read end quietly.
    bool TooDeep(int depth) {
        if (depth <= kMaxFormNesting) return false;
        Error("Zbyt głębokie zagnieżdżenie opisu"_cp);
        mLex.Stop();
        mSilent = true;
        return true;
    }

    const FormToken& Tok() const { return mLex.Current(); }
    bool IsString() const { return Tok().kind == FormTokenKind::String; }

    // string := string-token { "+" string-token }; false (nothing consumed)
    // when the token is no string.
    bool ReadStringOperand(std::string& out) {
        if (!IsString()) return false;
        out = Tok().text;
        mLex.Next();
        while (mLex.IsSymbol('+')) {
            mLex.Next();
            if (!IsString()) {
                Error("Spodziewany łańcuch"_cp);
                break;
            }
            out += Tok().text;
            mLex.Next();
        }
        return true;
    }

    bool RequiredString(std::string& out, const std::string& message) {
        if (ReadStringOperand(out)) return true;
        Error(message);
        return false;
    }

    bool Expect(FormKeyword keyword, const std::string& message) {
        if (mLex.IsKeyword(keyword)) {
            mLex.Next();
            return true;
        }
        Error(message);
        return false;
    }

    // expression := [ "+" | "-" ] term { ( "+" | "-" ) term }
    FormExpression ReadExpression(bool& bad, int depth) {
        bool negate = false;
        if (mLex.IsSymbol('+')) {
            mLex.Next();
        } else if (mLex.IsSymbol('-')) {
            negate = true;
            mLex.Next();
        }
        FormExpression e = ReadTerm(bad, depth);
        if (negate) e = FormExpression::Negate(std::move(e));
        while (!bad && (mLex.IsSymbol('+') || mLex.IsSymbol('-'))) {
            const Op op = mLex.IsSymbol('+') ? Op::Add : Op::Subtract;
            mLex.Next();
            FormExpression right = ReadTerm(bad, depth);
            e = FormExpression::Binary(op, std::move(e), std::move(right));
            CheckDepth(e, bad);
        }
        return e;
    }

    FormExpression ReadTerm(bool& bad, int depth) {
        FormExpression e = ReadFactor(bad, depth);
        while (!bad && (mLex.IsSymbol('*') || mLex.IsSymbol('/'))) {
            const Op op = mLex.IsSymbol('*') ? Op::Multiply : Op::Divide;
            mLex.Next();
            FormExpression right = ReadFactor(bad, depth);
            e = FormExpression::Binary(op, std::move(e), std::move(right));
            CheckDepth(e, bad);
        }
        return e;
    }

    FormExpression ReadFactor(bool& bad, int depth) {
        if (Tok().kind == FormTokenKind::Number) {
            FormExpression e = FormExpression::Written(Tok().number);
            mLex.Next();
            return e;
        }
        if (mLex.IsSymbol('(')) {
            if (depth + 1 > kMaxFormNesting) {
                Error("Zbyt głębokie zagnieżdżenie opisu"_cp);
                bad = true;
                return FormExpression::Constant(0);
            }
            mLex.Next();
            FormExpression e = ReadExpression(bad, depth + 1);
            if (!bad) {
                if (mLex.IsSymbol(')')) {
                    mLex.Next();
                } else {
                    Error("Brak nawiasu zamykającego"_cp);
                    bad = true;
                }
            }
            return e;
        }
        Error("Błędne wyrażenie"_cp);
        bad = true;
        return FormExpression::Constant(0);
    }

    // Long operator chains make deep trees too; they are bounded like parentheses.
    void CheckDepth(const FormExpression& e, bool& bad) {
        if (e.Depth() <= kMaxFormNesting) return;
        Error("Zbyt głębokie zagnieżdżenie opisu"_cp);
        bad = true;
    }

    // An expression read once, when the description is read; false (and
    // value untouched) when it was erroneous.
    bool TryValue(int& value) {
        bool bad = false;
        const FormExpression e = ReadExpression(bad, 0);
        if (!bad) value = e.Evaluate(FormExpression::kSheetHeight);
        return !bad;
    }
    int ValueOf(int fallback) {
        int value = fallback;
        TryValue(value);
        return value;
    }

    // "ON" e { "," e } with exactly k values; a missing or wrong one takes
    // its default (x 0, y 0, w 200, h 100).
    struct Positions {
        FormExpression v[4];
    };
    Positions ReadPositions(int k) {
        static constexpr int kDefaults[4] = {0, 0, 200, 100};
        Positions p;
        for (int i = 0; i < k; ++i) {
            const bool present = i == 0 ? mLex.IsKeyword(kKwOn) : mLex.IsSymbol(',');
            if (!present) {
                Error(i == 0 ? "Spodziewany ON" : "Spodziewany przecinek");
                p.v[i] = FormExpression::Constant(kDefaults[i]);
                continue;
            }
            mLex.Next();
            bool bad = false;
            FormExpression e = ReadExpression(bad, 0);
            p.v[i] = bad ? FormExpression::Constant(kDefaults[i]) : std::move(e);
        }
        for (int i = k; i < 4; ++i) p.v[i] = FormExpression::Constant(kDefaults[i]);
        return p;
    }

    // "LIMIT" n; 0 when absent or without its number.
    int ReadLimit() {
        if (!mLex.IsKeyword(kKwLimit)) return 0;
        mLex.Next();
        if (Tok().kind != FormTokenKind::Number) {
            Error("Brak wartości dla LIMIT"_cp);
            return 0;
        }
        const int n = Tok().number;
        mLex.Next();
        return n;
    }

    FormPicture Picture(const std::string& name) {
        FormPicture picture = LoadPicture(mPictures, name);
        if (!picture.Loaded() && mMissingPictures.insert(name).second) Notice("Brak pliku \"" + name + "\"");
        return picture;
    }

    void ReadBlock(my_formular& into) {
        if (!mLex.IsKeyword(kKwBegin)) {
            Error("Spodziewany BEGIN");
            return;
        }
        if (TooDeep(++mDepth)) return;
        mLex.Next();
        while (!mSilent && Tok().kind == FormTokenKind::Keyword && Tok().keyword >= kKwOn &&
               Tok().keyword <= kKwDictionary)
            ReadStatement(into);
        if (!mSilent) {
            if (mLex.IsKeyword(kKwEnd)) mLex.Next();
            else Error("Spodziewany END");
        }
        --mDepth;
    }

    void Add(my_formular& into, std::unique_ptr<my_formular> object) { into.children.push_back(std::move(object)); }

    void ReadStatement(my_formular& into) {
        const FormKeyword keyword = Tok().keyword;
        if (keyword == kKwOn) {
            Positions p = ReadPositions(2);
            auto group = std::make_unique<my_formular>(std::move(p.v[0]), std::move(p.v[1]));
            ReadBlock(*group);
            Add(into, std::move(group));
            return;
        }
        if (keyword == kKwMultiline) {
            Error("Błędny element opisu "_cp + Tok().text);
            mLex.Next();
            return;
        }
        mLex.Next();
        switch (keyword) {
        case kKwList: return ReadList(into);
        case kKwTabs: return ReadTabs(into);
        case kKwForm: return ReadSubForm(into);
        case kKwDynamic: return ReadDynamic(into);
        case kKwLabel:
        case kKwNo: {
            std::string text;
            if (!RequiredString(text, "Spodziewany łancuch"_cp)) return;
            Positions p = ReadPositions(2);
            if (keyword == kKwLabel) Add(into, std::make_unique<my_label>(std::move(p.v[0]), std::move(p.v[1]), text));
            else Add(into, std::make_unique<my_lp>(std::move(p.v[0]), std::move(p.v[1]), text));
            return;
        }
        case kKwText: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            Positions p = ReadPositions(4);
            Add(into, std::make_unique<my_text>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]),
                                                std::move(p.v[3])));
            return;
        }
        case kKwField: return ReadField(into);
        case kKwMemo: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            bool multiline = false;
            if (mLex.IsKeyword(kKwMultiline)) {
                multiline = true;
                mLex.Next();
            }
            const int limit = ReadLimit();
            Positions p = ReadPositions(4);
            Add(into, std::make_unique<my_memo>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]),
                                                std::move(p.v[3]), limit, multiline));
            return;
        }
        case kKwMarkers: {
            std::string id, spec;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            if (!RequiredString(spec, "Spodziewana specyfikacja znaczników"_cp)) return;
            Positions p = ReadPositions(4);
            Add(into, std::make_unique<my_markedit>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]),
                                                    std::move(p.v[3]), spec));
            return;
        }
        case kKwNumber: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            const int width = ValueOf(10);
            int decimals = 0;
            if (mLex.IsSymbol(',')) {
                mLex.Next();
                decimals = ValueOf(0);
            }
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_number>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), width,
                                                  decimals));
            return;
        }
        case kKwSpin: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            const int width = ValueOf(10);
            int minimum = 1, maximum = 10000;
            if (mLex.IsKeyword(kKwLimit)) {
                mLex.Next();
                int first = 0;
                const bool firstOk = TryValue(first);
                if (mLex.IsSymbol(',')) {
                    mLex.Next();
                    if (firstOk) minimum = first;
                    TryValue(maximum);
                } else if (firstOk) {
                    maximum = first;
                }
            }
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_spin>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), width,
                                                minimum, maximum));
            return;
        }
        case kKwDate: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_date>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2])));
            return;
        }
        case kKwCombo: {
            std::string id, list;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            if (!RequiredString(list, "Spodziewana lista dozwolonych wartości"_cp)) return;
            Positions p = ReadPositions(3);
            auto combo = std::make_unique<my_combo>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), list);
            switch (ParseComboList(list, combo->values, combo->labels)) {
            case ComboListError::Empty: Notice("Brak listy wartości pola "_cp + id); break;
            case ComboListError::Unclosed: Notice("Błąd pola COMBO: "_cp + id); break;
            case ComboListError::None: break;
            }
            Add(into, std::move(combo));
            return;
        }
        case kKwCheck: {
            std::string id, caption;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            if (!RequiredString(caption, "Spodziewany napis"_cp)) return;
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_check>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), caption));
            return;
        }
        case kKwButton: {
            std::string id, caption;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            if (!RequiredString(caption, "Spodziewany napis"_cp)) return;
            bool isDefault = false;
            if (mLex.IsKeyword(kKwDefault)) {
                isDefault = true;
                mLex.Next();
            }
            Positions p = ReadPositions(4);
            Add(into, std::make_unique<my_button>(std::move(p.v[0]), std::move(p.v[1]), id, caption, std::move(p.v[2]),
                                                  std::move(p.v[3]), isDefault));
            return;
        }
        case kKwSpeed: {
            std::string id, bitmap;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
            if (!RequiredString(bitmap, "Spodziewany napis"_cp)) return;
            Positions p = ReadPositions(4);
            Add(into, std::make_unique<my_speed>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]),
                                                 std::move(p.v[3]), Picture(bitmap)));
            return;
        }
        case kKwMenu: {
            std::string spec, text;
            if (!RequiredString(spec, "Spodziewany identyfikator pola"_cp)) return;
            if (mLex.IsKeyword(kKwLabel)) {
                mLex.Next();
                if (!RequiredString(text, "Spodziewany napis"_cp)) return;
                Positions p = ReadPositions(2);
                Add(into, std::make_unique<my_menu>(std::move(p.v[0]), std::move(p.v[1]), spec, text));
            } else if (mLex.IsKeyword(kKwMask)) {
                mLex.Next();
                if (!RequiredString(text, "Spodziewana nazwa pliku graficznego"_cp)) return;
                Positions p = ReadPositions(4);
                Add(into, std::make_unique<my_menu>(std::move(p.v[0]), std::move(p.v[1]), spec, Picture(text),
                                                    std::move(p.v[2]), std::move(p.v[3])));
            } else {
                Error("Spodziewane słowo MASK lub LABEL"_cp);
            }
            return;
        }
        case kKwDictionary: {
            std::string id;
            if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_KHW>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2])));
            return;
        }
        default: return;  // PROCEDURE and the keywords of statements' insides never start one
        }
    }

    void ReadField(my_formular& into) {
        std::string id;
        if (!RequiredString(id, "Spodziewany identyfikator pola"_cp)) return;
        if (mLex.IsKeyword(kKwMask)) {
            mLex.Next();
            std::string mask;
            if (!RequiredString(mask, "Spodziewana maska edycji"_cp)) return;
            Positions p = ReadPositions(3);
            Add(into, std::make_unique<my_mask>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), mask));
            return;
        }
        const int limit = ReadLimit();
        bool password = false;
        if (mLex.IsKeyword(kKwPassword)) {
            password = true;
            mLex.Next();
        }
        Positions p = ReadPositions(3);
        Add(into, std::make_unique<my_lineedit>(std::move(p.v[0]), std::move(p.v[1]), id, std::move(p.v[2]), limit,
                                                password));
    }

    void ReadList(my_formular& into) {
        std::string variable;
        if (!RequiredString(variable, "Spodziewana zmienna listy"_cp)) return;
        if (!Expect(kKwOf, "Spodziewane OF")) return;
        bool bad = false;
        FormExpression rows = ReadExpression(bad, 0);
        if (bad) rows = FormExpression::Constant(1);
        Positions p = ReadPositions(4);
        auto list = std::make_unique<my_list>(std::move(p.v[0]), std::move(p.v[1]), variable, std::move(rows),
                                              std::move(p.v[2]), std::move(p.v[3]));
        ReadBlock(*list);
        Add(into, std::move(list));
    }

    void ReadTabs(my_formular& into) {
        Positions p = ReadPositions(4);
        auto tabs = std::make_unique<my_tabs>(std::move(p.v[0]), std::move(p.v[1]), std::move(p.v[2]), std::move(p.v[3]));
        std::string caption;
        while (!mSilent && ReadStringOperand(caption)) {
            auto page = std::make_unique<my_formular>();
            ReadBlock(*page);
            tabs->captions.push_back(caption);
            tabs->children.push_back(std::move(page));
        }
        if (!mSilent) {
            if (mLex.IsKeyword(kKwEnd)) mLex.Next();
            else Error("Spodziewany END");
        }
        Add(into, std::move(tabs));
    }

    void ReadSubForm(my_formular& into) {
        std::string id, caption, bitmap;
        if (!RequiredString(id, "Spodziewana nazwa pola"_cp)) return;
        if (!Expect(kKwMask, "Spodziewane słowo MASK"_cp)) return;
        if (!RequiredString(caption, "Spodziewana nazwa podformularza"_cp)) return;
        FormPicture picture;
        if (mLex.IsKeyword(kKwSpeed)) {
            mLex.Next();
            if (ReadStringOperand(bitmap)) picture = Picture(bitmap);
            else Error("Spodziewana nazwa bitmapy"_cp);
        }
        Positions p = ReadPositions(4);
        // The third and fourth values place the pop-up: kept as offsets from the button.
        FormExpression dx = FormExpression::Binary(Op::Subtract, p.v[2], p.v[0]);
        FormExpression dy = FormExpression::Binary(Op::Subtract, p.v[3], p.v[1]);
        auto form = std::make_unique<my_form>(std::move(p.v[0]), std::move(p.v[1]), id, caption, std::move(picture),
                                              std::move(dx), std::move(dy));
        ReadBlock(*form);
        Add(into, std::move(form));
    }

    void ReadDynamic(my_formular& into) {
        std::string id, variable;
        if (!RequiredString(id, "Spodziewana nazwa pola"_cp)) return;
        if (!Expect(kKwOf, "Spodziewane słowo OF"_cp)) return;
        if (!RequiredString(variable, "Spodziewana zmienna sterująca"_cp)) return;
        Positions p = ReadPositions(4);
        auto dynamic = std::make_unique<my_dynamic>(std::move(p.v[0]), std::move(p.v[1]), id, variable,
                                                    std::move(p.v[2]), std::move(p.v[3]));
        std::string key;
        while (!mSilent && ReadStringOperand(key)) {
            auto section = std::make_unique<my_formular>();
            ReadBlock(*section);
            dynamic->keys.push_back(key);
            dynamic->children.push_back(std::move(section));
        }
        if (!mSilent) {
            if (mLex.IsKeyword(kKwEnd)) mLex.Next();
            else Error("Do DYNAMIC brakuje END");
        }
        Add(into, std::move(dynamic));
    }

    FormLexer mLex;
    std::string mPictures;
    std::vector<FormMessage> mMessages;
    std::set<std::string> mMissingPictures;
    int mDepth = 0;
    bool mSilent = false;
};

}  // namespace

FormReadResult ReadFormDescription(std::string_view text, const std::string& pictureDirectory) {
    return Reader(text, pictureDirectory).Read();
}

FormReadResult ReadFormDescriptionFile(const std::string& fileName, const std::string& pictureDirectory) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        FormReadResult result;
        result.messages.push_back({"Brak pliku \"" + fileName + "\"", std::string()});
        return result;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ReadFormDescription(bytes.str(), pictureDirectory);
}

}  // namespace velt
