#pragma once
// The formatting language's compiler: a recursive-descent parser that turns
// one script (procedures, then BEGIN ... END) into a Program. Every error is
// reported through the sink as two texts — file, message and the token, then
// "Linia " with the line — and compilation goes on to find more; a script
// with any error gives no program.

#include "lang/ErrorSink.h"
#include "lang/Program.h"

#include <istream>
#include <string>
#include <vector>

namespace velt {

// Compiles the script file; none on any error ("Pusta nazwa pliku skryptu"
// for an empty name, "Brak pliku" for a file that cannot be opened).
ProgramPtr CompileScript(const std::string& fileName, const std::vector<std::string>& parameters,
                         const ErrorSink& sink);

// Compiles one script from the source's current line up to the line holding
// the main block's END; the rest of that line is dropped and the source is
// left at the next line. fileName names the source in messages and is the
// directory includes are looked for in; without includes an include line is
// an error of the script and no file is opened.
ProgramPtr CompileOpenText(std::istream& source, const std::vector<std::string>& parameters,
                           const std::string& fileName, const ErrorSink& sink, bool includes = true);

}  // namespace velt
