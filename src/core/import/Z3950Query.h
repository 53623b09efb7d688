#pragma once
// The query of the Z39.50 import: the six criterion kinds of the query form
// with their Bib-1 attributes, the form itself (built in code, not read from
// a text), and the expression that combines the form's rows into a type-1
// (RPN) query.
//
// The expression is the user's own text: every number, nesting and length
// is bounded before it is trusted, and a row that does not exist is an
// error, never an operand that silently drops out.

#include "forms/my_formular.h"
#include "import/RpnQuery.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velt {

class my_record;

struct Z3950Criterion {
    char value;               // the form's value of the kind
    const char* caption;      // Windows-1250
    std::uint32_t use;        // Bib-1 use
    std::uint32_t relation;   // 0: not sent
    // Sent with scan terms only; 0: not sent.
    std::uint32_t position, structure, truncation, completeness;
    const char* cqlIndex;     // the CQL index of SRU searches and scans
};

// The kind of a form value ("@", "!", "&", "$", "#", "^"); nullptr for any other text.
const Z3950Criterion* FindCriterion(std::string_view value);
// Use, then relation when the kind has one: the attributes of a search operand.
AttributeList SearchAttributes(const Z3950Criterion& criterion);
// Every attribute the kind has: those of a scan term.
AttributeList ScanAttributes(const Z3950Criterion& criterion);

inline constexpr int kZ3950Rows = 6;
// Deeper nesting or longer operator chains are refused (the servers' own
// decoders stop far earlier than the machine stack would).
inline constexpr int kZ3950MaxDepth = 64;

// The values the form starts with before any query was kept.
std::string DefaultQuestion();
// The combo's list: value "|" caption "|" for every kind.
std::string CriterionList();
// The query form: six rows of a kind and a search text (fields "Q.n" and
// "T.n", the text's lookup button scanning), and the expression "E".
std::unique_ptr<my_formular> Z3950QueryForm();
// The title of the parameter window that shows it.
std::string Z3950QueryTitle();

// One row of the form as it is searched: its kind's value and its text,
// already converted for searching.
struct QueryRow {
    std::string kind;
    std::string text;
};
using QueryRows = std::array<QueryRow, kZ3950Rows>;

// The rows of the form's values (a pair text), the texts turned into UTF-8
// when utf8 (the search character set "UTF-8"), else sent as they are.
QueryRows RowsOfValues(std::string_view pairs, bool utf8);
// The same for the form's record.
QueryRows RowsOfRecord(const my_record& record, bool utf8);

struct Z3950Expression {
    std::string rpn;    // the RPN structure; empty: none (an error, or only empty rows)
    std::string pqf;    // the same query in yaz's prefix notation
    std::string cql;    // the same query in CQL (for SRU; the texts as the rows hold them)
    std::string error;  // the first error, as the user sees it; empty when none
};

// The query of the expression over the rows; an empty expression stands for
// "1*2*3*4*5*6". A row whose text or kind is empty is an empty operand,
// which drops out of "*" and "+"; an empty operand left of "/" is an error
// (it would search what was meant to be excluded).
Z3950Expression ParseZ3950Expression(std::string_view expression, const QueryRows& rows);

}  // namespace velt
