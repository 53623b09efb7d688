#pragma once
// A modification program: one script of the formatting language, compiled
// once and run over many records one at a time, as the catalogue server runs
// an administrator's program over a collection. Its text comes over the
// network, not from a directory: lines end with CR (as the program sends
// them), LF or CR LF, a "[PLIK ...]" include line is an error of the
// program and no file is ever opened, and the text is at most kMaxText
// bytes.
//
// The script works on the record's fields as a field-event script does
// (GRUPA, POLE, SKIP, BACK; REKORD is the record's identifier); the record
// number (001) and the change stamp (005) are read-only. A record fails when
// the run ends in a failure or reports an error of the script, when a
// printed line holding "|" after its first character names an error
// ("message|key patterns"), or when
// the run spends its step budget: a loop that never ends ("WHILE" without
// "SKIP") is stopped, never left to hold the server. Other printed lines are
// ignored. LAST, SELECT, REFERENCES and CFG find nothing; FIRST, FIND, NEXT
// and OPEN end the run.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct Program;

struct ProgramField {
    std::string key;
    std::string value;
};

struct ProgramRun {
    std::string error;        // empty: the record's fields are the program's result
    std::uint64_t steps = 0;  // what the run spent of its budget
};

class RecordProgram {
public:
    static constexpr std::size_t kMaxText = std::size_t{16} << 20;  // bytes of a program's text
    static constexpr std::uint64_t kStepsPerRecord = 1'000'000;
    // A text made while running a program, as long as a record may be.
    static constexpr std::size_t kMaxValue = std::size_t{4} << 20;

    // Compiles the text; Error() says why it cannot run.
    explicit RecordProgram(std::string_view text);
    ~RecordProgram();
    RecordProgram(const RecordProgram&) = delete;
    RecordProgram& operator=(const RecordProgram&) = delete;

    bool Ready() const { return mProgram != nullptr; }
    // The compiler's messages, one a line (CR between them), at most a few.
    const std::string& Error() const { return mError; }

    // Runs the program over the fields of the record identifier, within
    // steps (at most kStepsPerRecord). On failure the fields are left in any
    // state.
    ProgramRun Run(std::vector<ProgramField>& fields, const std::string& identifier,
                   std::uint64_t steps = kStepsPerRecord) const;

private:
    std::unique_ptr<Program> mProgram;
    std::string mError;
};

// The text with every line end (CR, LF or CR LF) made LF.
std::string ProgramLines(std::string_view text);

}  // namespace velt
