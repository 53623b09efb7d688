// Recursive-descent compiler of the formatting language. Expressions come
// out in postfix order: operand elements first, their operator after them.
// All binary operators share one precedence and group from the left.

#include "lang/Compiler.h"

#include "lang/Tokenizer.h"
#include "text/CpLiteral.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace velt {
namespace {

// Deeper nesting than this (of statements, brackets or negations) stops the
// compilation: the interpreter's walk over the tree must not exhaust the stack.
constexpr int kMaxNesting = 500;

class Parser {
public:
    Parser(std::istream& source, const std::vector<std::string>& parameters, const std::string& fileName,
           const ErrorSink& sink)
        : mSink(sink), mTokens(source, fileName, parameters, sink) {}

    ProgramPtr Compile();
    void RefuseIncludes() { mTokens.RefuseIncludes(); }

private:
    const Token& Tok() const { return mTokens.Current(); }
    bool IsKeyword(Keyword k) const { return Tok().kind == TokenKind::Keyword && Tok().keyword == k; }
    void Advance();
    // Steps over the keyword, or reports the message when it is not there.
    void Expect(Keyword k, const char* message);
    // Steps over a token of the kind, or reports the message.
    void Expect(TokenKind kind, const char* message);
    void Error(const std::string& message);
    void FlushTokenizerErrors();
    bool Enter();
    void Leave() { --mDepth; }

    void Procedures();
    void Statements(Chain& out);
    void Statement(Chain& out);
    void BracketArgument(Chain& out);
    void Expression(Chain& out);
    void Operand(Chain& out);
    void FunctionCall(Chain& out, const FunctionInfo& f);
    void Assignment(Chain& out, std::uint8_t code, std::uint16_t index, const std::string& missing);

    static prog_elem Element(std::uint8_t code) {
        prog_elem e;
        e.code = code;
        return e;
    }
    static prog_elem Literal(std::string text) {
        prog_elem e = Element(kOpLiteral);
        e.text = std::move(text);
        return e;
    }

    const ErrorSink& mSink;
    Tokenizer mTokens;
    ProgramPtr mProgram = std::make_unique<Program>();
    std::map<std::uint16_t, std::uint16_t> mProcedureOf;  // name number -> procedure number
    int mErrors = 0;
    int mDepth = 0;
    bool mTooDeep = false;
};

void Parser::Advance() {
    mTokens.Next();
    FlushTokenizerErrors();
}

void Parser::Expect(TokenKind kind, const char* message) {
    if (Tok().kind == kind)
        Advance();
    else
        Error(message);
}

void Parser::Expect(Keyword k, const char* message) {
    if (IsKeyword(k))
        Advance();
    else
        Error(message);
}

void Parser::FlushTokenizerErrors() {
    for (const auto& e : mTokens.TakeErrors()) Error(e);
}

void Parser::Error(const std::string& message) {
    ++mErrors;
    if (!mSink) return;
    mSink(mTokens.FileName() + ": " + message + " [jest: " + Tok().text + "]");
    mSink("Linia " + std::to_string(mTokens.LineNumber()) + ": \"" + mTokens.Line() + "\"");
}

bool Parser::Enter() {
    if (++mDepth <= kMaxNesting) return true;
    if (!mTooDeep) {
        mTooDeep = true;
        Error("Zbyt głębokie zagnieżdżenie instrukcji lub wyrażeń"_cp);
        mTokens.Stop();
    }
    return false;
}

ProgramPtr Parser::Compile() {
    Advance();
    Procedures();
    Expect(kwBEGIN, "Spodziewany BEGIN");
    Statements(mProgram->main);
    // The main block's END is not read past: the source stays at the next line.
    if (!IsKeyword(kwEND)) Error("Spodziewany END");
    if (mErrors > 0) return nullptr;
    return std::move(mProgram);
}

void Parser::Procedures() {
    while (IsKeyword(kwPROCEDURE)) {
        Advance();
        if (Tok().kind != TokenKind::Name) {
            Error("Spodziewana nazwa podprogramu");
            return;
        }
        const auto number = static_cast<std::uint16_t>(mProgram->procedures.size());
        mProgram->procedures.push_back(Procedure{Tok().name, {}});
        mProcedureOf[Tok().name] = number;  // known from here on: it may call itself
        Advance();
        if (!IsKeyword(kwBEGIN)) {
            Error("Spodziewany BEGIN (podprogram}");
            continue;
        }
        Advance();
        Chain body;
        Statements(body);
        mProgram->procedures[number].body = std::move(body);
        Expect(kwEND, "Spodziewany END");
    }
}

void Parser::Statements(Chain& out) {
    for (;;) {
        const Token& t = Tok();
        if (t.kind == TokenKind::End) return;
        if (t.kind == TokenKind::Keyword &&
            (t.keyword == kwEND || t.keyword == kwELSE || t.keyword == kwENDIF || t.keyword == kwENDDO))
            return;
        Statement(out);
    }
}

void Parser::BracketArgument(Chain& out) {
    if (Tok().kind != TokenKind::LParen) {
        Error("Spodziewany  (");
        out.push_back(Literal("*****"));
        return;
    }
    Advance();
    Expression(out);
    Expect(TokenKind::RParen, "Spodziewany )");
}

void Parser::Assignment(Chain& out, std::uint8_t code, std::uint16_t index, const std::string& missing) {
    Advance();
    if (Tok().kind != TokenKind::Equal) {
        Error(missing);
        return;
    }
    Advance();
    Expression(out);
    prog_elem e = Element(code);
    e.index = index;
    out.push_back(std::move(e));
}

void Parser::Statement(Chain& out) {
    if (!Enter()) {
        Leave();
        return;
    }
    const Token& t = Tok();
    if (t.kind == TokenKind::Keyword) {
        switch (t.keyword) {
            case kwWHILE: {
                Advance();
                prog_elem loop = Element(kOpWhile);
                Expression(loop.first);
                Statements(loop.second);
                Expect(kwENDDO, "Spodziewane ENDDO");
                out.push_back(std::move(loop));
                Leave();
                return;
            }
            case kwIF: {
                Advance();
                prog_elem branch = Element(kOpIf);
                Expression(branch.first);
                Statements(branch.second);
                if (IsKeyword(kwELSE)) {
                    Advance();
                    Statements(branch.third);
                }
                Expect(kwENDIF, "Spodziewane ENDIF");
                out.push_back(std::move(branch));
                Leave();
                return;
            }
            case kwPRINT:
            case kwTRACE:
            case kwOPEN:
            case kwGRUPA: {
                const std::uint8_t code = t.keyword == kwPRINT   ? kOpPrint
                                          : t.keyword == kwTRACE ? kOpTrace
                                          : t.keyword == kwOPEN  ? kOpOpen
                                                                 : kOpEnterGroup;
                Advance();
                BracketArgument(out);
                out.push_back(Element(code));
                Leave();
                return;
            }
            case kwSKIP:
            case kwBACK:
                out.push_back(Element(t.keyword == kwSKIP ? kOpSkip : kOpBack));
                Advance();
                Leave();
                return;
            case kwPOLE:
                Assignment(out, kOpSetField, 0, "Spodziewany znak przypisania polu wartości"_cp);
                Leave();
                return;
            case kwEDYTOWALNE:
                Assignment(out, kOpSetEditable, 0, "Spodziewany znak przypisania");
                Leave();
                return;
            case kwPOZYCJA:
                Assignment(out, kOpSetPosition, 0, "Spodziewany znak przypisania wartości"_cp);
                Leave();
                return;
            default:
                break;
        }
    } else if (t.kind == TokenKind::Name) {
        if (const auto it = mProcedureOf.find(t.name); it != mProcedureOf.end()) {
            prog_elem call = Element(kOpCall);
            call.index = it->second;
            out.push_back(std::move(call));
            Advance();
        } else {
            Assignment(out, kOpStore, t.name, "Spodziewany znak przypisania");
        }
        Leave();
        return;
    }
    Error("Błędna instrukcja "_cp + t.text);
    Advance();
    Leave();
}

void Parser::Expression(Chain& out) {
    if (!Enter()) {
        Leave();
        return;
    }
    Operand(out);
    for (;;) {
        std::uint8_t code;
        switch (Tok().kind) {
            case TokenKind::Plus: code = kOpConcat; break;
            case TokenKind::Equal: code = kOpEqual; break;
            case TokenKind::Hash: code = kOpNotEqual; break;
            case TokenKind::Greater: code = kOpGreater; break;
            default:
                if (IsKeyword(kwOR)) {
                    code = kOpOr;
                    break;
                }
                Leave();
                return;
        }
        Advance();
        Operand(out);
        out.push_back(Element(code));
    }
}

void Parser::FunctionCall(Chain& out, const FunctionInfo& f) {
    Advance();
    if (Tok().kind != TokenKind::LParen) {
        Error("Spodziewany  (");
        out.push_back(Literal("*****"));
        return;
    }
    Advance();
    for (int i = 0; i < f.arguments; ++i) {
        if (i > 0) {
            Expect(TokenKind::Comma, "Spodziewany przecinek");
        }
        Expression(out);
    }
    Expect(TokenKind::RParen, "Spodziewany )");
    out.push_back(Element(f.code));
}

void Parser::Operand(Chain& out) {
    if (!Enter()) {
        Leave();
        out.push_back(Literal("***"));
        return;
    }
    const Token& t = Tok();
    switch (t.kind) {
        case TokenKind::Literal:
            out.push_back(Literal(t.text));
            Advance();
            break;
        case TokenKind::Name: {
            prog_elem load = Element(kOpLoad);
            load.index = t.name;
            out.push_back(std::move(load));
            Advance();
            break;
        }
        case TokenKind::Function:
            FunctionCall(out, *t.function);
            break;
        case TokenKind::LParen:
            Advance();
            Expression(out);
            Expect(TokenKind::RParen, "Spodziewany )");
            break;
        case TokenKind::Bang:
            Advance();
            Operand(out);
            out.push_back(Element(kOpNot));
            break;
        case TokenKind::Keyword:
            if (t.keyword == kwPOLE || t.keyword == kwEDYTOWALNE || t.keyword == kwPOZYCJA || t.keyword == kwOK) {
                out.push_back(Element(t.keyword == kwPOLE         ? kOpGetField
                                      : t.keyword == kwEDYTOWALNE ? kOpIsEditable
                                      : t.keyword == kwPOZYCJA    ? kOpPosition
                                                                  : kOpStatus));
                Advance();
                break;
            }
            if (t.keyword == kwGRUPA) {
                // Enters the group and yields whether it landed on an occurrence.
                Advance();
                BracketArgument(out);
                out.push_back(Element(kOpEnterGroup));
                out.push_back(Element(kOpStatus));
                break;
            }
            [[fallthrough]];
        default:
            Error("Błędne wyrażenie "_cp + t.text);
            out.push_back(Literal("***"));
            Advance();
            break;
    }
    Leave();
}

}  // namespace

ProgramPtr CompileOpenText(std::istream& source, const std::vector<std::string>& parameters,
                           const std::string& fileName, const ErrorSink& sink, bool includes) {
    Parser parser(source, parameters, fileName, sink);
    if (!includes) parser.RefuseIncludes();
    return parser.Compile();
}

ProgramPtr CompileScript(const std::string& fileName, const std::vector<std::string>& parameters,
                         const ErrorSink& sink) {
    if (fileName.empty()) {
        if (sink) sink("Pusta nazwa pliku skryptu");
        return nullptr;
    }
    // A directory opens as a stream on Linux; it is no script file.
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(fileName, ec)) in.open(fileName, std::ios::binary);
    if (!in.is_open()) {
        if (sink) sink("Brak pliku \"" + fileName + "\"");
        return nullptr;
    }
    return CompileOpenText(in, parameters, fileName, sink);
}

}  // namespace velt
