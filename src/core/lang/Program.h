#pragma once
// A compiled script: chains of program elements in postfix order. Operand
// elements push one text on the interpreter's value stack; operator and
// function elements pop their operands and push one result. Structured
// elements (loop, branch) hold their parts as sub-chains; a call names a
// procedure of the same program.
//
// A program owns every element and every procedure; freeing it (the
// unique_ptr going out of scope) frees them all.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velt {

// Operation codes of program elements.
enum OpCode : std::uint8_t {
    kOpWhile = 0,
    kOpIf = 1,
    kOpCall = 2,
    kOpStore = 3,
    kOpLiteral = 4,
    kOpLoad = 5,
    kOpGetField = 6,
    kOpIsEditable = 7,
    kOpOpen = 8,
    kOpPrint = 9,
    kOpTrace = 10,
    kOpConcat = 11,
    kOpEqual = 12,
    kOpNotEqual = 13,
    kOpGreater = 14,
    kOpStatus = 15,
    kOpNot = 16,
    kOpOr = 17,
    // 18-25 and 27-61: the built-in functions (FunctionTable.h)
    kOpPosition = 26,
    kOpEnterGroup = 62,
    kOpSkip = 63,
    kOpBack = 64,
    kOpSetField = 65,
    kOpSetEditable = 66,
    kOpSetPosition = 67,
};

struct prog_elem;
using Chain = std::vector<prog_elem>;

struct prog_elem {
    std::uint8_t code = 0;
    std::string text;          // literal text
    std::uint16_t index = 0;   // variable number (load, store) or procedure number (call)
    Chain first;               // loop: condition; branch: condition
    Chain second;              // loop: body; branch: then-part
    Chain third;               // branch: else-part
};

struct Procedure {
    std::uint16_t name = 0;    // variable number of the procedure's name
    Chain body;
};

struct Program {
    Chain main;
    std::vector<Procedure> procedures;  // call elements index this list
};

using ProgramPtr = std::unique_ptr<Program>;

// Frees a program and everything it owns (the same as resetting the pointer).
inline void FreeProgram(ProgramPtr& program) { program.reset(); }

}  // namespace velt
