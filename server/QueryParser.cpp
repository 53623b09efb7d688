#include "QueryParser.h"

#include "Fold.h"
#include "text/CpLiteral.h"

#include <vector>

namespace velt::server {

namespace {

constexpr int kMaxDepth = 64;  // nested parentheses

struct Token {
    enum class Type { End, Quoted, Number, Word, Open, Close, Op } type = Type::End;
    std::string text;  // Quoted: unescaped content; Word: as written; Op: the operator
    char op = 0;       // Op: '+', '*' or '/'
    std::size_t at = 0;
};

struct TokenizeError {
    std::string text;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<Token> Tokenize(std::string_view q) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < q.size()) {
        const char c = q[i];
        if (IsSpace(c)) {
            ++i;
            continue;
        }
        Token t;
        t.at = i + 1;
        if (c == '"') {
            t.type = Token::Type::Quoted;
            ++i;
            bool closed = false;
            while (i < q.size()) {
                const char d = q[i];
                if (d == '\\' && i + 1 < q.size()) {
                    const char e = q[i + 1];
                    if (e == '"' || e == '#' || e == '&' || e == '(' || e == ')' || e == '|' || e == '\\') {
                        t.text.push_back(e);
                        i += 2;
                        continue;
                    }
                }
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                t.text.push_back(d);
                ++i;
            }
            if (!closed) throw TokenizeError{"Brak zamykającego cudzysłowu (znak "_cp + std::to_string(t.at) + ")"};
        } else if (c == '(' || c == ')') {
            t.type = c == '(' ? Token::Type::Open : Token::Type::Close;
            ++i;
        } else if (c == '+' || c == '*' || c == '/') {
            t.type = Token::Type::Op;
            t.op = c;
            ++i;
        } else if (c >= '0' && c <= '9') {
            t.type = Token::Type::Number;
            while (i < q.size() && q[i] >= '0' && q[i] <= '9') t.text.push_back(q[i++]);
        } else {
            t.type = Token::Type::Word;
            while (i < q.size() && !IsSpace(q[i]) && q[i] != '"' && q[i] != '(' && q[i] != ')' && q[i] != '+' &&
                   q[i] != '*' && q[i] != '/')
                t.text.push_back(q[i++]);
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.at = q.size() + 1;
    out.push_back(end);
    return out;
}

struct ParseError {
    std::string text;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : mTokens(std::move(tokens)) {}

    ParsedQuery Run() {
        ParsedQuery result;
        if (IsWord(Peek(), "SORTUJ")) {
            Take();
            if (Peek().type != Token::Type::Quoted) Fail("Po słowie SORTUJ oczekiwano nazwy klucza w cudzysłowie"_cp);
            result.sorted = true;
            result.sortKey = Take().text;
        }
        if (Peek().type == Token::Type::End) Fail("Puste wyrażenie wyszukiwawcze"_cp);
        result.root = Expr(0);
        if (Peek().type != Token::Type::End) Fail("Nieoczekiwany element wyrażenia"_cp);
        return result;
    }

private:
    const Token& Peek(std::size_t ahead = 0) const {
        return mTokens[std::min(mPos + ahead, mTokens.size() - 1)];
    }
    Token Take() {
        Token t = Peek();
        if (mPos < mTokens.size() - 1) ++mPos;
        return t;
    }
    [[noreturn]] void Fail(const std::string& why) const {
        throw ParseError{why + " (znak "_cp + std::to_string(Peek().at) + ")"};
    }

    static bool IsWord(const Token& t, const char* keyword) {
        return t.type == Token::Type::Word && Fold(t.text) == Fold(keyword);
    }
    static bool IsWordCp(const Token& t, const std::string& keyword) {
        return t.type == Token::Type::Word && Fold(t.text) == Fold(keyword);
    }

    // The operator at the cursor, or 0.
    char OperatorAt(std::size_t ahead) const {
        const Token& t = Peek(ahead);
        if (t.type == Token::Type::Op) return t.op;
        if (IsWord(t, "LUB")) return '+';
        if (IsWord(t, "I")) return '*';
        if (IsWordCp(t, "OPRÓCZ"_cp)) return '/';
        return 0;
    }

    bool IsKind(const Token& t, MatchKind* kind = nullptr) const {
        struct K {
            std::string word;
            MatchKind kind;
        };
        static const K kinds[] = {{"RÓWNY"_cp, MatchKind::Equal},  {"POCZĄTEK"_cp, MatchKind::Prefix},
                                  {"SŁOWO"_cp, MatchKind::Word},   {"LICZBA"_cp, MatchKind::Number},
                                  {"WZORZEC"_cp, MatchKind::Pattern}};
        for (const auto& k : kinds)
            if (IsWordCp(t, k.word)) {
                if (kind) *kind = k.kind;
                return true;
            }
        return false;
    }

    // Whether the tokens from ahead on begin an index term.
    bool StartsIndexTerm(std::size_t ahead) const {
        while (Peek(ahead).type == Token::Type::Open) ++ahead;
        return IsKind(Peek(ahead)) || IsWord(Peek(ahead), "DOWOLNY");
    }

    static std::unique_ptr<QueryNode> Join(char op, std::unique_ptr<QueryNode> l, std::unique_ptr<QueryNode> r) {
        auto n = std::make_unique<QueryNode>();
        n->type = QueryNode::Type::Binary;
        n->op = op;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::unique_ptr<QueryNode> Expr(int depth) {
        auto left = Term(depth);
        while (const char op = OperatorAt(0)) {
            Take();
            left = Join(op, std::move(left), Term(depth));
        }
        return left;
    }

    std::unique_ptr<QueryNode> Term(int depth) {
        if (depth > kMaxDepth) Fail("Zbyt głęboko zagnieżdżone nawiasy"_cp);
        const Token& t = Peek();
        auto node = std::make_unique<QueryNode>();
        switch (t.type) {
            case Token::Type::Number: {
                const std::string digits = Take().text;
                if (digits.size() > 9) Fail("Zbyt duży numer kolekcji"_cp);
                node->type = QueryNode::Type::Collection;
                node->collection = std::stoll(digits);
                return node;
            }
            case Token::Type::Open: {
                Take();
                auto inner = Expr(depth + 1);
                if (Peek().type != Token::Type::Close) Fail("Brak nawiasu zamykającego"_cp);
                Take();
                return inner;
            }
            case Token::Type::Quoted: {
                const std::string name = Take().text;
                if (StartsIndexTerm(0)) return IndexExpr(name, depth);
                node->type = QueryNode::Type::Criterion;
                node->index = name;
                if (Peek().type == Token::Type::Quoted) {
                    node->text = Take().text;
                    node->hasParameters = true;
                }
                return node;
            }
            case Token::Type::Word:
                if (IsWord(t, "REKORD")) {
                    Take();
                    if (Peek().type != Token::Type::Quoted) Fail("Po słowie REKORD oczekiwano listy rekordów w cudzysłowie"_cp);
                    node->type = QueryNode::Type::RecordList;
                    node->text = Take().text;
                    return node;
                }
                if (IsKind(t) || IsWord(t, "DOWOLNY")) Fail("Brak nazwy indeksu przed warunkiem"_cp);
                Fail("Nieznane słowo \""_cp + t.text + "\"");
            case Token::Type::End:
                Fail("Niepełne wyrażenie wyszukiwawcze"_cp);
            default:
                Fail("Nieoczekiwany element wyrażenia"_cp);
        }
    }

    // An expression over one index; it ends at an operator that is not
    // followed by another term of the same index.
    std::unique_ptr<QueryNode> IndexExpr(const std::string& index, int depth) {
        auto left = IndexTerm(index, depth);
        for (;;) {
            const char op = OperatorAt(0);
            if (!op || !StartsIndexTerm(1)) return left;
            Take();
            left = Join(op, std::move(left), IndexTerm(index, depth));
        }
    }

    std::unique_ptr<QueryNode> IndexTerm(const std::string& index, int depth) {
        if (depth > kMaxDepth) Fail("Zbyt głęboko zagnieżdżone nawiasy"_cp);
        auto node = std::make_unique<QueryNode>();
        node->index = index;
        if (Peek().type == Token::Type::Open) {
            Take();
            auto inner = IndexExpr(index, depth + 1);
            if (Peek().type != Token::Type::Close) Fail("Brak nawiasu zamykającego"_cp);
            Take();
            return inner;
        }
        if (IsWord(Peek(), "DOWOLNY")) {
            Take();
            node->type = QueryNode::Type::Any;
            return node;
        }
        MatchKind kind{};
        if (!IsKind(Peek(), &kind)) Fail("Oczekiwano rodzaju wyszukiwania (RÓWNY, POCZĄTEK, SŁOWO, LICZBA, WZORZEC)"_cp);
        Take();
        if (Peek().type != Token::Type::Quoted) Fail("Oczekiwano szukanego tekstu w cudzysłowie"_cp);
        node->type = QueryNode::Type::Match;
        node->kind = kind;
        node->text = Take().text;
        return node;
    }

    std::vector<Token> mTokens;
    std::size_t mPos = 0;
};

}  // namespace

ParsedQuery ParseQuery(std::string_view text) {
    try {
        return Parser(Tokenize(text)).Run();
    } catch (const TokenizeError& e) {
        ParsedQuery q;
        q.error = "Błąd w zapytaniu: "_cp + e.text;
        return q;
    } catch (const ParseError& e) {
        ParsedQuery q;
        q.error = "Błąd w zapytaniu: "_cp + e.text;
        return q;
    }
}

}  // namespace velt::server
