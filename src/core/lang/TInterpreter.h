#pragma once
// The formatting language's interpreter: runs a compiled Program over its
// 200 variables and a value stack, collects what the script prints, and
// reaches the record and the server only through the host operations, which
// a subclass supplies (ACTInterpreter). Operations a host does not supply end
// the run with "Abstract Error".
//
// A run never throws: a failure ends it, "INTERPRETE: " and the failure's
// message go to the error sink, and Run returns what was printed so far.
// Runaway scripts are ended the same way (RunLimits): procedure calls nest
// only so deep, a run executes only so many elements, and no text grows
// beyond a size.

#include "lang/ErrorSink.h"
#include "lang/Program.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velt {

// The limits that end a runaway script.
struct RunLimits {
    std::uint64_t steps = 50'000'000;      // elements executed in one run
    int callDepth = 1000;                  // procedure calls nested
    int blockDepth = 4000;                 // blocks (calls, IF, WHILE) open at once: the machine stack
    std::size_t textSize = 16u << 20;      // bytes of one text
    std::size_t outputSize = 64u << 20;    // bytes printed in one run
};

class TInterpreter {
public:
    static constexpr int kVariables = 200;

    explicit TInterpreter(ErrorSink sink);
    virtual ~TInterpreter();

    // Runs the program's main block; the printed texts, also after a failure.
    std::vector<std::string> Run(const Program& program, ExternalRoutine external = {});

    // Variable 1..200 ("*** brak wartości ***" until set); others are ignored.
    void SetVariable(int number, std::string value);
    const std::string& Variable(int number) const;
    // The steps the last run took (the budget of RunLimits.steps).
    std::uint64_t StepsTaken() const { return mSteps; }

    RunLimits Limits;

protected:
    // Host operations; the interpreter itself supplies none.
    virtual void EnterGroup(const std::string& tags);
    virtual bool Status();
    virtual void Skip();
    virtual void LeaveGroup();
    virtual std::string GetField();
    virtual void SetField(const std::string& value);
    virtual bool IsReadOnly();
    virtual void SetReadOnly(bool flag);
    virtual std::string GetPosition();
    virtual void SetPosition(const std::string& position);
    virtual char Marker();
    virtual std::string First(const std::string& key);
    virtual std::string Find(const std::string& a, const std::string& b);
    virtual std::string Next(const std::string& key, const std::string& c);
    virtual std::string Last(const std::string& key);
    virtual std::string Select(const std::string& kinds, const std::string& start, const std::string& pattern);
    virtual std::string References(const std::string& id, const std::string& kinds);
    virtual void Open(const std::string& text);
    virtual std::string Config(const std::string& name);

    // Sends a text to the error sink, when there is one.
    void Report(const std::string& message) const;
    bool HasSink() const { return static_cast<bool>(mSink); }

private:
    void Execute(const Chain& chain);
    [[gnu::noinline]] void Step(const prog_elem& e);
    void Function(std::uint8_t code);
    // Counts steps against the budget; ends the run beyond it.
    void Spend(std::uint64_t steps);
    void Push(std::string value);
    std::string Pop();

    ErrorSink mSink;
    std::vector<std::string> mVars;  // [0] unused
    std::vector<bool> mSet;          // variables given a value (the others read as no value)
    std::vector<std::string> mStack;
    std::vector<std::string> mOutput;
    std::size_t mOutputSize = 0;
    ExternalRoutine mExternal;
    const Program* mProgram = nullptr;
    std::uint64_t mSteps = 0;
    int mDepth = 0;
    int mBlocks = 0;
};

}  // namespace velt
