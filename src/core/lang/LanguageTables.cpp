// The keyword and function tables of the formatting language.

#include "lang/LanguageTables.h"

#include <array>

namespace velt {
namespace {

constexpr std::array<std::string_view, 19> kKeywords = {
    "BEGIN", "END",  "OK",   "PROCEDURE", "WHILE", "ENDDO", "IF",    "ELSE",       "ENDIF", "PRINT",
    "TRACE", "POZYCJA", "SKIP", "BACK",   "OR",    "GRUPA", "EDYTOWALNE", "OPEN", "POLE",
};

constexpr std::array<FunctionInfo, 43> kFunctions = {{
    {"HEAD", 2, 18},     {"TAIL", 2, 19},     {"SEP", 3, 20},       {"REVERSE", 1, 21},
    {"UP", 1, 22},       {"LO", 1, 23},       {"TA", 2, 24},        {"PR", 2, 25},
    {"CFG", 1, 27},      {"MATCHES", 2, 28},  {"POSITION", 2, 29},  {"SUCC", 1, 30},
    {"ADD", 2, 31},      {"MUL", 2, 32},      {"DIV", 3, 33},       {"GT", 2, 34},
    {"GE", 2, 35},       {"ASCII", 1, 36},    {"CHR", 1, 37},       {"REPLACE", 3, 38},
    {"TRIM", 1, 39},     {"AGREGATE", 2, 40}, {"FORM", 2, 41},      {"RFORM", 2, 42},
    {"DATE", 1, 43},     {"TIME", 1, 44},     {"DAYS", 2, 45},      {"RANDOM", 1, 46},
    {"SORT", 2, 47},     {"OMIT", 1, 48},     {"SUBFIELD", 2, 49},  {"MARKER", 1, 50},
    {"MAK", 1, 51},      {"URI", 1, 52},      {"UTF8", 1, 53},      {"SELECT", 3, 54},
    {"FIRST", 2, 55},    {"FIND", 2, 56},     {"NEXT", 3, 57},      {"LAST", 2, 58},
    {"EXTERNAL", 1, 59}, {"REFERENCES", 1, 60}, {"REFS", 2, 61},
}};

}  // namespace

Keyword FindKeyword(std::string_view upperName) {
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        if (kKeywords[i] == upperName) return static_cast<Keyword>(i + 1);
    return kNoKeyword;
}

const FunctionInfo* FindFunction(std::string_view upperName) {
    for (const auto& f : kFunctions)
        if (f.name == upperName) return &f;
    return nullptr;
}

const FunctionInfo* FunctionByCode(std::uint8_t code) {
    for (const auto& f : kFunctions)
        if (f.code == code) return &f;
    return nullptr;
}

}  // namespace velt
