#pragma once
// The format set of the Z39.50 import: one compiled program per record kind
// letter, run with the action-script interpreter over a MARC record to give
// its display lines.

#include "import/usmarc.h"
#include "lang/ErrorSink.h"
#include "lang/Program.h"

#include <array>
#include <memory>
#include <string>

namespace velt {

class MarcFormatSet {
public:
    // Compiles the program for records of the kind letter from the file; on a
    // compile error the slot stays as it was, the sink has the reports, false.
    bool Load(char letter, const std::string& fileName, const ErrorSink& sink);
    // True when records of the kind letter have a program.
    bool Has(char letter) const;
    // Empties every slot.
    void Clear();
    // The display lines of records: the program of their kind letter run with
    // the letter as the record's kind, its errors to the sink after "Z3950: ";
    // a kind without a program shows the record's fields. The formatter keeps
    // the programs alive on its own.
    MarcFormatter Formatter(ErrorSink errors) const;

private:
    std::array<std::shared_ptr<const Program>, 256> mPrograms;
};

}  // namespace velt
