#pragma once
// The query texts the client sends, composed byte for byte as the search
// windows compose them. Pure functions over what the user chose: every byte
// can be tested without a window.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The match kinds of the elementary window, in the order of its buttons.
enum class MatchKind { None, Rowny, Poczatek, Slowo, Liczba, Wzorzec };
// Its operator buttons; Implicit is "OK" on an empty expression.
enum class QueryOperator { Lub, I, Oprocz, Implicit };

// The text, quoted.
std::string Quote(std::string_view text);
// " RÓWNY " and the others, with a space on either side; empty for None.
std::string MatchKindText(MatchKind kind);
// " LUB ", " I ", " OPRÓCZ ", or "LUB" for the implicit operator.
std::string OperatorText(QueryOperator op);
bool ExceptFlag(QueryOperator op);

// A searched text for inside its quotes: a backslash before each of
// " # & ( ) | and before a backslash, so that a text ending in one can never
// escape its closing quote.
std::string EscapeSearchText(std::string_view text);
// A parameter list for inside its quotes: a backslash before each double
// quote and each backslash (the "|" of the name|value| pairs stays).
std::string EscapeParameterList(std::string_view text);

// The sort prefix: nothing without sort keys; "SORTUJ \"\" " for position 0;
// "SORTUJ", the quoted name of sort key sortIndex and a space otherwise (a
// position past the list counts as 0).
std::string SortPrefix(const std::vector<std::string>& sortKeys, int sortIndex);

// The elementary window's two memos.
struct ElementaryState {
    std::vector<std::string> wzorce;     // the searched texts, one a line
    std::vector<std::string> wyrazenie;  // the expression built so far
};

// An operator button: the non-empty lines of wzorce joined by the operator,
// each with the kind and quoted; wrapped around the expression so far.
// Nothing changes when wzorce has no non-empty line.
void AddCriterion(ElementaryState& state, MatchKind kind, QueryOperator op);
// The expression: the lines of wyrazenie concatenated.
std::string Expression(const ElementaryState& state);

// "OK" of the elementary window: the implicit criterion when the expression
// is empty, then the query (sort prefix, quoted index name, one space and the
// expression). The expression taken is left in expression.
std::string ElementaryQuery(ElementaryState& state, MatchKind kind, const std::string& index,
                            const std::string& prefix, std::string& expression);

// A criterion with a parameter form: prefix, the quoted name, one space and
// the quoted, escaped parameter list.
std::string CriterionQuery(const std::string& prefix, const std::string& name, const std::string& parameters);
// A criterion without one: always "SORTUJ \"\" " and the quoted name.
std::string PlainCriterionQuery(const std::string& name);

// The name|value| pairs cleaned: spaces around names and after values
// removed, pairs with an empty value dropped.
std::string CleanPairs(std::string_view pairs);
// The history label of a criterion: the quoted name and each kept pair's
// quoted value followed by a space.
std::string CriterionLabel(const std::string& name, std::string_view cleanedPairs);

// The readable label of a query: without its "SORTUJ" part, the unquoted
// pieces trimmed, quoted pieces kept with their quotes, and a quoted list of
// name|value| pairs written as its values.
std::string ReadableQueryLabel(std::string_view query);

}  // namespace velt
