// A modification program run over records one at a time.

#include "lang/RecordProgram.h"

#include "lang/ACTInterpreter.h"
#include "lang/Compiler.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include <algorithm>
#include <sstream>

namespace velt {

namespace {

// The compiler reports two texts an error; a program full of them need
// not come back whole.
constexpr int kMaxMessages = 10;

bool StartsWith(const std::string& text, std::string_view prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

// What the interpreter and its host report when a run goes wrong; anything
// else reaching the sink is a TRACE of the script.
bool IsFailure(const std::string& message) {
    return StartsWith(message, "INTERPRETE: ") || StartsWith(message, "ACT: ") || StartsWith(message, "ACT_TCP");
}

}  // namespace

std::string ProgramLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

RecordProgram::RecordProgram(std::string_view text) {
    if (text.size() > kMaxText) {
        mError = "Program jest dłuższy niż "_cp + std::to_string(kMaxText >> 20) + " MiB"_cp;
        return;
    }
    std::istringstream source(ProgramLines(text));
    int messages = 0;
    const ErrorSink sink = [&](const std::string& message) {
        if (++messages > kMaxMessages) return;
        if (!mError.empty()) mError += '\r';
        mError += message;
    };
    mProgram = CompileOpenText(source, {}, "program", sink, false);
    if (mProgram) mError.clear();
    else if (mError.empty()) mError = "Błąd kompilacji programu"_cp;
}

RecordProgram::~RecordProgram() = default;

ProgramRun RecordProgram::Run(std::vector<ProgramField>& fields, const std::string& identifier,
                              std::uint64_t steps) const {
    ProgramRun run;
    if (!mProgram) {
        run.error = mError;
        return run;
    }
    my_record record(identifier);
    record.Reserve(fields.size());
    for (auto& f : fields) {
        // The record's number and change stamp are the server's.
        const bool own = f.key.compare(0, 3, "001") == 0 || f.key.compare(0, 3, "005") == 0;
        record.AddField(std::move(f.key), std::move(f.value), own ? 1 : 0);
    }
    std::string failure;
    const ErrorSink sink = [&failure](const std::string& message) {
        if (failure.empty() && IsFailure(message)) failure = message;
    };
    std::vector<std::string> printed;
    {
        ACTInterpreter act(sink, record, nullptr);
        act.Limits.steps = std::min(steps, kStepsPerRecord);
        act.Limits.textSize = kMaxValue;
        act.Limits.outputSize = kMaxValue;
        act.SetVariable(2, "");
        act.SetVariable(3, identifier);
        printed = act.Run(*mProgram);
        run.steps = act.StepsTaken();
        if (failure.empty() && act.GroupsOpen()) failure = "ACT_TCP: za mało BACK"_cp;
    }
    if (failure.empty()) {
        for (const std::string& line : printed) {
            const auto bar = line.find('|');
            // "|field" asks the editing window for a field's help: nothing here.
            if (bar == std::string::npos || bar == 0) continue;
            failure = line.substr(0, bar);
            break;
        }
    }
    fields.clear();
    fields.reserve(record.fields().size());
    for (const my_field& f : record.fields()) fields.push_back({f.key, f.value});
    run.error = std::move(failure);
    return run;
}

}  // namespace velt
