#include "search/QueryText.h"

#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/Wildcard.h"

namespace velt {

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string MatchKindText(MatchKind kind) {
    switch (kind) {
        case MatchKind::Rowny: return " RÓWNY "_cp;
        case MatchKind::Poczatek: return " POCZĄTEK "_cp;
        case MatchKind::Slowo: return " SŁOWO "_cp;
        case MatchKind::Liczba: return " LICZBA ";
        case MatchKind::Wzorzec: return " WZORZEC ";
        case MatchKind::None: break;
    }
    return {};
}

std::string OperatorText(QueryOperator op) {
    switch (op) {
        case QueryOperator::Lub: return " LUB ";
        case QueryOperator::I: return " I ";
        case QueryOperator::Oprocz: return " OPRÓCZ "_cp;
        case QueryOperator::Implicit: break;
    }
    return "LUB";
}

bool ExceptFlag(QueryOperator op) { return op == QueryOperator::Oprocz; }

namespace {

std::string EscapeWith(std::string_view text, std::string_view special) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        if (special.find(c) != std::string_view::npos) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

}  // namespace

std::string EscapeSearchText(std::string_view text) { return EscapeWith(text, "\"#&()|\\"); }

std::string EscapeParameterList(std::string_view text) { return EscapeWith(text, "\"\\"); }

std::string SortPrefix(const std::vector<std::string>& sortKeys, int sortIndex) {
    if (sortKeys.empty()) return {};
    if (sortIndex <= 0 || sortIndex > static_cast<int>(sortKeys.size())) return "SORTUJ \"\" ";
    return "SORTUJ " + Quote(sortKeys[static_cast<std::size_t>(sortIndex - 1)]) + " ";
}

std::string Expression(const ElementaryState& state) {
    std::string e;
    for (const std::string& line : state.wyrazenie) e += line;
    return e;
}

void AddCriterion(ElementaryState& state, MatchKind kind, QueryOperator op) {
    const std::string opText = OperatorText(op);
    const std::string kindText = MatchKindText(kind);
    std::string criterion;
    int counted = 0;
    for (const std::string& line : state.wzorce) {
        if (line.empty()) continue;
        if (!criterion.empty()) criterion += " " + opText;
        criterion += kindText + Quote(EscapeSearchText(line));
        ++counted;
    }
    if (counted == 0) return;
    state.wzorce.clear();
    const std::string previous = Expression(state);
    std::string prefix;
    if (!previous.empty())
        prefix = "(" + previous + ") " + opText;
    else if (ExceptFlag(op))
        prefix = "DOWOLNY " + opText;
    state.wyrazenie = {prefix + criterion};
}

std::string ElementaryQuery(ElementaryState& state, MatchKind kind, const std::string& index,
                            const std::string& prefix, std::string& expression) {
    expression = Expression(state);
    if (TrimSpaces(expression).empty()) {
        AddCriterion(state, kind, QueryOperator::Implicit);
        expression = Expression(state);
    }
    return prefix + Quote(index) + " " + expression;
}

std::string CriterionQuery(const std::string& prefix, const std::string& name, const std::string& parameters) {
    return prefix + Quote(name) + " " + Quote(EscapeParameterList(parameters));
}

std::string PlainCriterionQuery(const std::string& name) { return "SORTUJ \"\" " + Quote(name); }

std::string CleanPairs(std::string_view pairs) {
    std::string out;
    for (auto [name, value] : PipePairs(pairs, PipeEnd::Open)) {
        name = TrimSpaces(name);
        while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
        if (!value.empty()) out += std::string(name) + "|" + std::string(value) + "|";
    }
    return out;
}

std::string CriterionLabel(const std::string& name, std::string_view cleanedPairs) {
    std::string label = Quote(name);
    for (const auto& pair : PipePairs(cleanedPairs, PipeEnd::Closed)) label += Quote(pair.second) + " ";
    return label;
}

std::string ReadableQueryLabel(std::string_view query) {
    std::string_view q = query;
    // Without the sort part: up to "SORTUJ" and the quoted key after it.
    if (const auto s = q.find("SORTUJ"); s != std::string_view::npos) {
        std::size_t at = s + 6;
        const auto open = q.find('"', at);
        if (open != std::string_view::npos) {
            std::size_t close = open + 1;
            while (close < q.size() && (q[close] != '"' || q[close - 1] == '\\')) ++close;
            at = close < q.size() ? close + 1 : q.size();
        }
        q = q.substr(at);
    }
    std::string out;
    std::size_t i = 0;
    while (i < q.size()) {
        const auto open = q.find('"', i);
        const std::string_view plain = q.substr(i, open == std::string_view::npos ? std::string_view::npos : open - i);
        const std::string_view trimmed = TrimSpaces(plain);
        if (!trimmed.empty()) out += std::string(trimmed) + " ";
        if (open == std::string_view::npos) break;
        std::size_t close = open + 1;
        while (close < q.size() && (q[close] != '"' || q[close - 1] == '\\')) ++close;
        const std::string_view content = q.substr(open + 1, close - open - 1);
        if (MatchWildcard("*|*|", content)) {
            // Pairs of texts each followed by "|": their second texts.
            for (const auto& pair : PipePairs(content, PipeEnd::Closed)) out += std::string(pair.second) + " ";
        } else {
            out += "\"" + std::string(TrimSpaces(content)) + "\" ";
        }
        i = close + 1;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace velt
