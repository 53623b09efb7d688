#include "import/Z3950Query.h"

#include "forms/FormConversions.h"
#include "params/FileAssociations.h"
#include "params/PairText.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/my_record.h"
#include "text/utf.h"

#include <algorithm>
#include <optional>

namespace velt {

namespace {

const Z3950Criterion kCriteria[] = {
    {'@', "autor", 1003, 0, 0, 2, 0, 0, "dc.creator"},
    {'!', "tytu\xB3", 4, 0, 1, 2, 0, 0, "dc.title"},
    {'&', "has\xB3o przedmiotowe", 21, 3, 1, 1, 1, 1, "dc.subject"},
    {'$', "numer ISBN", 7, 3, 1, 1, 1, 1, "bath.isbn"},
    {'#', "numer ISSN", 8, 3, 1, 1, 1, 1, "bath.issn"},
    {'^', "wydawca", 1018, 0, 0, 2, 0, 0, "dc.publisher"},
};

// The operator elements' values: and, or, and-not.
constexpr int kAnd = 0, kOr = 1, kAndNot = 2;

// A term in yaz's prefix notation: quoted when it holds anything the
// notation would read otherwise.
std::string PqfTerm(const std::string& term) {
    bool plain = !term.empty() && term[0] != '@';
    for (const char c : term)
        if (c == ' ' || c == '"' || c == '\\' || c == '{' || c == '}' || static_cast<unsigned char>(c) < 32) plain = false;
    if (plain) return term;
    std::string out = "\"";
    for (const char c : term) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// A term in CQL: always quoted, its quotes and backslashes escaped; the
// masking characters "*" and "?" stay the user's own.
std::string CqlTerm(const std::string& term) {
    std::string out = "\"";
    for (const char c : term) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// A part of the query: an operand, or two parts joined by an operator.
struct Node {
    std::string rpn;
    std::string pqf;
    std::string cql;
    bool empty() const { return rpn.empty(); }
};

class ExpressionParser {
public:
    ExpressionParser(std::string_view text, const QueryRows& rows) : mText(text), mRows(rows) {}

    Z3950Expression Parse() {
        Z3950Expression result;
        std::optional<Node> node = Expression(0);
        if (node && !Failed()) {
            Skip();
            if (mAt < mText.size()) Fail("Błąd w wyrażeniu"_cp + " \"" + std::string(mText.substr(mAt)));
        }
        if (Failed()) {
            result.error = mError;
            return result;
        }
        result.rpn = std::move(node->rpn);
        result.pqf = std::move(node->pqf);
        result.cql = std::move(node->cql);
        return result;
    }

private:
    bool Failed() const { return !mError.empty(); }
    void Fail(std::string message) {
        if (mError.empty()) mError = std::move(message);
    }
    void Skip() {
        while (mAt < mText.size() && mText[mAt] == ' ') ++mAt;
    }
    char Peek() {
        Skip();
        return mAt < mText.size() ? mText[mAt] : '\0';
    }
    bool AtEnd() {
        Skip();
        return mAt >= mText.size();
    }

    // Joins two parts; empty parts drop out, except left of "/".
    std::optional<Node> Combine(Node a, Node b, int op, int depth) {
        if (a.empty() && op == kAndNot && !b.empty()) {
            Fail("Niekompletne wyrażenie wyszukiwawcze"_cp);
            return std::nullopt;
        }
        if (b.empty()) return a;
        if (a.empty()) return b;
        if (depth > kZ3950MaxDepth) {
            Fail("Wyrażenie wyszukiwawcze jest zbyt złożone"_cp);
            return std::nullopt;
        }
        static const char* const kPqf[] = {"@and ", "@or ", "@not "};
        Node n;
        n.rpn = EncodeRpnOperation(a.rpn, b.rpn, op);
        n.pqf = kPqf[op] + a.pqf + " " + b.pqf;
        static const char* const kCql[] = {" and ", " or ", " not "};
        n.cql = "(" + a.cql + kCql[op] + b.cql + ")";
        return n;
    }

    // expression = term { "+" term }
    std::optional<Node> Expression(int depth) {
        std::optional<Node> left = Term(depth);
        int chain = 0;
        while (left && Peek() == '+') {
            ++mAt;
            std::optional<Node> right = Term(depth);
            if (!right) return std::nullopt;
            left = Combine(std::move(*left), std::move(*right), kOr, depth + ++chain);
        }
        return left;
    }

    // term = factor { ("*" | "/") factor }
    std::optional<Node> Term(int depth) {
        std::optional<Node> left = Factor(depth);
        int chain = 0;
        for (char c = Peek(); left && (c == '*' || c == '/'); c = Peek()) {
            ++mAt;
            std::optional<Node> right = Factor(depth);
            if (!right) return std::nullopt;
            left = Combine(std::move(*left), std::move(*right), c == '*' ? kAnd : kAndNot, depth + ++chain);
        }
        return left;
    }

    // factor = number | "(" expression ")"
    std::optional<Node> Factor(int depth) {
        if (AtEnd()) {
            Fail("Niekompletne wyrażenie wyszukiwawcze"_cp);
            return std::nullopt;
        }
        const char c = mText[mAt];
        if (c >= '0' && c <= '9') return Number();
        if (c == '(') {
            if (depth >= kZ3950MaxDepth) {
                Fail("Wyrażenie wyszukiwawcze jest zbyt złożone"_cp);
                return std::nullopt;
            }
            ++mAt;
            std::optional<Node> inner = Expression(depth + 1);
            if (!inner) return std::nullopt;
            if (Peek() != ')') {
                Fail("Spodziewany znak"_cp + " \")\"");
                return std::nullopt;
            }
            ++mAt;
            return inner;
        }
        if (c == ')' || c == '*' || c == '+' || c == '/')
            Fail("Niespodziewany operator"_cp + " \"" + c + "\"");
        else
            Fail("Niespodziewany znak"_cp + " \"" + c + "\"");
        return std::nullopt;
    }

    // A row's number: only 1 to 6 name rows.
    std::optional<Node> Number() {
        const std::size_t from = mAt;
        while (mAt < mText.size() && mText[mAt] >= '0' && mText[mAt] <= '9') ++mAt;
        const std::string_view digits = mText.substr(from, mAt - from);
        // Leading zeros name the same row; anything longer is no row at all.
        const std::string_view value = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
        if (value.size() != 1 || value[0] < '1' || value[0] > '0' + kZ3950Rows) {
            Fail("Błąd w wyrażeniu"_cp + " \"" + std::string(digits));
            return std::nullopt;
        }
        return Operand(mRows[static_cast<std::size_t>(value[0] - '1')]);
    }

    static Node Operand(const QueryRow& row) {
        const Z3950Criterion* criterion = FindCriterion(row.kind);
        if (row.text.empty() || !criterion) return {};
        const AttributeList attributes = SearchAttributes(*criterion);
        Node n;
        n.rpn = EncodeOperand(EncodeAttributesPlusTerm(attributes, row.text));
        for (const auto& [type, value] : attributes)
            n.pqf += "@attr " + std::to_string(type) + "=" + std::to_string(value) + " ";
        n.pqf += PqfTerm(row.text);
        n.cql = std::string(criterion->cqlIndex) + "=" + CqlTerm(row.text);
        return n;
    }

    std::string_view mText;
    const QueryRows& mRows;
    std::size_t mAt = 0;
    std::string mError;
};

QueryRow Row(const std::string& kind, const std::string& text, bool utf8) {
    return {kind, utf8 ? WinUtf().Convert(text) : text};
}

}  // namespace

const Z3950Criterion* FindCriterion(std::string_view value) {
    if (value.size() != 1) return nullptr;
    for (const Z3950Criterion& c : kCriteria)
        if (c.value == value[0]) return &c;
    return nullptr;
}

AttributeList SearchAttributes(const Z3950Criterion& c) {
    AttributeList list{{kBib1Use, c.use}};
    if (c.relation) list.emplace_back(kBib1Relation, c.relation);
    return list;
}

AttributeList ScanAttributes(const Z3950Criterion& c) {
    AttributeList list = SearchAttributes(c);
    const std::pair<std::uint32_t, std::uint32_t> more[] = {
        {kBib1Position, c.position}, {kBib1Structure, c.structure}, {kBib1Truncation, c.truncation}, {6, c.completeness}};
    for (const auto& [type, value] : more)
        if (value) list.emplace_back(type, value);
    return list;
}

std::string DefaultQuestion() { return "Q.1|@|Q.2|!|Q.3|&|Q.4|$|Q.5|^|Q.6|#|"; }

std::string CriterionList() {
    std::string list;
    for (const Z3950Criterion& c : kCriteria) list += std::string(1, c.value) + "|" + c.caption + "|";
    return list;
}

std::string Z3950QueryTitle() { return "Zapytanie Z39.50"; }

// The rows' kinds are 160 units wide, their texts start 60 further right and
// the note under the expression's edit stands clear of it, so that neither
// the longest kind ("hasło przedmiotowe") nor the note is cut.
std::unique_ptr<my_formular> Z3950QueryForm() {
    using E = FormExpression;
    auto root = std::make_unique<act_formular>();
    auto label = [](int x, int y, std::string text) {
        return std::make_unique<my_label>(E::Constant(x), E::Constant(y), std::move(text));
    };
    root->children.push_back(label(20, 2, "Kryterium:"));
    root->children.push_back(label(182, 2, "Szukany tekst:"));
    auto list = std::make_unique<my_list>(E::Constant(0), E::Constant(16), "*", E::Constant(kZ3950Rows),
                                          E::Constant(362), E::Constant(132));
    list->children.push_back(std::make_unique<my_lp>(E::Constant(2), E::Constant(2), "*."));
    auto combo = std::make_unique<my_combo>(E::Constant(20), E::Constant(0), "Q.*", E::Constant(160), CriterionList());
    ParseComboList(combo->list, combo->values, combo->labels);
    list->children.push_back(std::move(combo));
    list->children.push_back(std::make_unique<my_KHW>(E::Constant(182), E::Constant(0), "T.*", E::Constant(180)));
    root->children.push_back(std::move(list));
    root->children.push_back(label(2, 148, "Wyrażenie wiążące kryteria (\"*\"=i, \"+\"=lub \"/\"=oprócz):"_cp));
    root->children.push_back(std::make_unique<my_lineedit>(E::Constant(2), E::Constant(164), "E", E::Constant(360), 0, false));
    root->children.push_back(label(2, 188, "(puste pole jest równoważne 1*2*3*4*5*6)"_cp));
    root->children.push_back(label(0, 204, ""));
    return root;
}

QueryRows RowsOfValues(std::string_view pairs, bool utf8) {
    my_record record;
    FillRecord(record, pairs);
    return RowsOfRecord(record, utf8);
}

QueryRows RowsOfRecord(const my_record& record, bool utf8) {
    QueryRows rows;
    for (int n = 1; n <= kZ3950Rows; ++n)
        rows[static_cast<std::size_t>(n - 1)] =
            Row(record.GetValue("Q." + std::to_string(n)), record.GetValue("T." + std::to_string(n)), utf8);
    return rows;
}

Z3950Expression ParseZ3950Expression(std::string_view expression, const QueryRows& rows) {
    std::string_view text = TrimSpaces(expression);
    if (text.empty()) text = "1*2*3*4*5*6";
    return ExpressionParser(text, rows).Parse();
}

}  // namespace velt
