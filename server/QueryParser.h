#pragma once
// The query language of the search request.
//
//   query  := [ SORTUJ "sort key" ] expr
//   expr   := term { op term }            op: + * / LUB I OPRÓCZ
//   term   := number                      an earlier remote collection
//           | ( expr )
//           | REKORD "id|id|...|"         a list of records
//           | "name" iexpr                a search over the index "name"
//           | "name" "parameters"         a criterion with parameters
//           | "name"                      a criterion without parameters
//   iexpr  := iterm { op iterm }
//   iterm  := kind "text" | DOWOLNY | ( iexpr )
//   kind   := RÓWNY | POCZĄTEK | SŁOWO | LICZBA | WZORZEC
//
// The operators have one precedence and bind from the left: + and LUB widen,
// * and I narrow, / and OPRÓCZ take away. Inside quotes a backslash makes
// the next of " # & ( ) | \ literal. Keywords are compared without regard
// to letter case.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velt::server {

enum class MatchKind { Equal, Prefix, Word, Number, Pattern };

struct QueryNode {
    enum class Type { Collection, Match, Any, RecordList, Criterion, Binary };
    Type type = Type::Any;
    char op = 0;                 // Binary: '+', '*' or '/'
    std::unique_ptr<QueryNode> left, right;
    std::int64_t collection = 0;  // Collection
    std::string index;            // Match, Any: the index name; Criterion: its name
    MatchKind kind = MatchKind::Prefix;
    std::string text;             // Match: the searched text; RecordList: the list; Criterion: parameters
    bool hasParameters = false;   // Criterion
};

struct ParsedQuery {
    bool sorted = false;   // SORTUJ was given
    std::string sortKey;   // empty: no sorting
    std::unique_ptr<QueryNode> root;
    std::string error;     // not empty: the query did not parse (Polish, for the user)
};

ParsedQuery ParseQuery(std::string_view text);

}  // namespace velt::server
