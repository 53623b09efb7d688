#pragma once
// The fixed vocabulary of the formatting language: its keywords (whose
// numbers are the parser's token kinds) and its built-in functions with
// their argument counts and operation codes.

#include <cstdint>
#include <string_view>

namespace velt {

enum Keyword : int {
    kNoKeyword = 0,
    kwBEGIN = 1,
    kwEND,
    kwOK,
    kwPROCEDURE,
    kwWHILE,
    kwENDDO,
    kwIF,
    kwELSE,
    kwENDIF,
    kwPRINT,
    kwTRACE,
    kwPOZYCJA,
    kwSKIP,
    kwBACK,
    kwOR,
    kwGRUPA,
    kwEDYTOWALNE,
    kwOPEN,
    kwPOLE,
};

struct FunctionInfo {
    std::string_view name;
    int arguments;
    std::uint8_t code;
};

// The keyword number of a name in capitals, kNoKeyword when it is none.
Keyword FindKeyword(std::string_view upperName);
// The built-in function of a name in capitals, nullptr when it is none.
const FunctionInfo* FindFunction(std::string_view upperName);
// The function of an operation code, nullptr for other codes.
const FunctionInfo* FunctionByCode(std::uint8_t code);

}  // namespace velt
