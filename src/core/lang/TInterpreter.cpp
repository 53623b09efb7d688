// The interpreter: walks the element chains, keeps the value stack, and
// dispatches the functions to TextFunctions and the host operations.

#include "lang/TInterpreter.h"

#include "lang/TextFunctions.h"
#include "text/CpLiteral.h"
#include "text/converter.h"
#include "text/utf.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

namespace velt {
namespace {

const std::string kNoValue = "*** brak wartości ***"_cp;
const std::string kFalse = "N";

std::mt19937_64& Generator() {
    // One per thread (scripts may run on worker threads), seeded from the
    // clock when the thread first uses it.
    thread_local std::mt19937_64 generator(
        static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return generator;
}

std::string CurrentTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

[[noreturn]] void Abstract() { throw ScriptFailure("Abstract Error"); }

}  // namespace

TInterpreter::TInterpreter(ErrorSink sink)
    : mSink(std::move(sink)), mVars(kVariables + 1), mSet(kVariables + 1, false) {}

TInterpreter::~TInterpreter() = default;

void TInterpreter::SetVariable(int number, std::string value) {
    if (number < 1 || number > kVariables) return;
    mVars[static_cast<std::size_t>(number)] = std::move(value);
    mSet[static_cast<std::size_t>(number)] = true;
}

const std::string& TInterpreter::Variable(int number) const {
    if (number >= 1 && number <= kVariables && mSet[static_cast<std::size_t>(number)])
        return mVars[static_cast<std::size_t>(number)];
    return kNoValue;
}

void TInterpreter::Report(const std::string& message) const {
    if (mSink) mSink(message);
}

std::vector<std::string> TInterpreter::Run(const Program& program, ExternalRoutine external) {
    mOutput.clear();
    mOutputSize = 0;
    mStack.clear();
    mExternal = std::move(external);
    mProgram = &program;
    mSteps = 0;
    mDepth = 0;
    mBlocks = 0;
    try {
        Execute(program.main);
    } catch (const ScriptFailure& failure) {
        Report("INTERPRETE: " + std::string(failure.what()));
    } catch (const std::bad_alloc&) {
        Report("INTERPRETE: brak pamięci"_cp);
    } catch (const std::exception& failure) {
        // A host operation or the external routine failed.
        Report("INTERPRETE: " + std::string(failure.what()));
    }
    mProgram = nullptr;
    mStack.clear();
    return std::move(mOutput);
}

void TInterpreter::Spend(std::uint64_t steps) {
    mSteps += steps;
    if (mSteps > Limits.steps)
        throw ScriptFailure("skrypt przekroczył limit "_cp + std::to_string(Limits.steps) + " kroków"_cp);
}

void TInterpreter::Push(std::string value) {
    if (value.size() > Limits.textSize) throw TooLong(Limits.textSize);
    // Long texts cost work: every 64 bytes made count as a step.
    Spend(value.size() / 64);
    mStack.push_back(std::move(value));
}

std::string TInterpreter::Pop() {
    // A compiled program always leaves its operands; an empty stack means a
    // program built some other way.
    if (mStack.empty()) throw ScriptFailure("pusty stos");
    std::string top = std::move(mStack.back());
    mStack.pop_back();
    return top;
}

void TInterpreter::Execute(const Chain& chain) {
    // Every open block is a frame of the machine stack: nesting inside
    // recursion is bounded as a whole, not only the calls.
    if (mBlocks >= Limits.blockDepth)
        throw ScriptFailure("bloki programu zagnieżdżone głębiej niż "_cp + std::to_string(Limits.blockDepth));
    struct BlockGuard {
        int& blocks;
        explicit BlockGuard(int& b) : blocks(b) { ++blocks; }
        ~BlockGuard() { --blocks; }
    } blockGuard(mBlocks);
    for (const prog_elem& e : chain) {
        Spend(1);
        switch (e.code) {
            case kOpWhile:
                for (;;) {
                    Execute(e.first);
                    if (!Pop().empty()) break;
                    Execute(e.second);
                    Spend(1);
                }
                break;
            case kOpIf:
                Execute(e.first);
                Execute(Pop().empty() ? e.second : e.third);
                break;
            case kOpCall:
                if (e.index >= mProgram->procedures.size()) throw ScriptFailure("nieznany podprogram");
                if (mDepth >= Limits.callDepth)
                    throw ScriptFailure("wywołania podprogramów zagnieżdżone głębiej niż "_cp + std::to_string(Limits.callDepth));
                ++mDepth;
                Execute(mProgram->procedures[e.index].body);
                --mDepth;
                break;
            default: Step(e); break;
        }
    }
}

// Every element that opens no block; apart from Execute so that the frames
// of nested blocks stay small.
void TInterpreter::Step(const prog_elem& e) {
    switch (e.code) {
        case kOpStore: SetVariable(e.index, Pop()); break;
        case kOpLiteral: Push(e.text); break;
        case kOpLoad: Push(Variable(e.index)); break;
        case kOpGetField: Push(GetField()); break;
        case kOpIsEditable: Push(IsReadOnly() ? kFalse : std::string()); break;
        case kOpPosition: Push(GetPosition()); break;
        case kOpStatus: Push(Status() ? std::string() : kFalse); break;
        case kOpPrint: {
            std::string text = Pop();
            mOutputSize += text.size();
            if (mOutputSize > Limits.outputSize)
                throw ScriptFailure("wydruk dłuższy niż "_cp + std::to_string(Limits.outputSize) + " bajtów"_cp);
            mOutput.push_back(std::move(text));
            break;
        }
        case kOpTrace: {
            // The traced value leaves the stack whether or not anyone listens.
            std::string text = Pop();
            Report(text);
            break;
        }
        case kOpOpen: Open(Pop()); break;
        case kOpEnterGroup: EnterGroup(Pop()); break;
        case kOpSkip: Skip(); break;
        case kOpBack: LeaveGroup(); break;
        case kOpSetField: SetField(Pop()); break;
        case kOpSetPosition: SetPosition(Pop()); break;
        case kOpSetEditable: {
            std::string flag = Pop();
            while (!flag.empty() && flag.back() == ' ') flag.pop_back();
            SetReadOnly(!flag.empty());
            break;
        }
        case kOpConcat: {
            std::string right = Pop();
            std::string left = Pop();
            if (left.size() + right.size() > Limits.textSize)
                throw TooLong(Limits.textSize);
            left += right;
            Push(std::move(left));
            break;
        }
        case kOpEqual:
        case kOpNotEqual: {
            const std::string right = Pop();
            const std::string left = Pop();
            const bool same = left == right;
            Push((same == (e.code == kOpEqual)) ? std::string() : kFalse);
            break;
        }
        case kOpGreater: {
            const std::string right = Pop();
            const std::string left = Pop();
            Push(CollationTable.Compare(left, right) > 0 ? std::string() : kFalse);
            break;
        }
        case kOpOr: {
            const std::string right = Pop();
            const std::string left = Pop();
            Push(left.empty() || right.empty() ? std::string() : kFalse);
            break;
        }
        case kOpNot: Push(Pop().empty() ? kFalse : std::string()); break;
        default:
            if ((e.code >= 18 && e.code <= 25) || (e.code >= 27 && e.code <= 61))
                Function(e.code);
            else
                Report("INTERPRETE: nieznana instrukcja " + std::to_string(e.code));
            break;
    }
}

void TInterpreter::Function(std::uint8_t code) {
    // Operands come off the stack last first.
    auto pop2 = [this](std::string& a, std::string& b) {
        b = Pop();
        a = Pop();
    };
    std::string a, b, c;
    // The work of a function grows with its arguments: charge them too,
    // SORT and AGREGATE (which do more than a pass over them) more.
    const auto charge = [&] { Spend((a.size() + b.size() + c.size()) / ((code == 40 || code == 47) ? 4 : 64)); };
    switch (code) {
        case 18: pop2(a, b); Push(Head(a, b)); break;
        case 19: pop2(a, b); Push(Tail(a, b)); break;
        case 20: c = Pop(); pop2(a, b); Push(Sep(a, b, c)); break;
        case 21: Push(Reverse(Pop())); break;
        case 22: Push(UpperTable.Convert(Pop())); break;
        case 23: Push(LowerTable.Convert(Pop())); break;
        case 24: pop2(a, b); Push(a.empty() ? std::string() : a + b); break;
        case 25: pop2(a, b); Push(b.empty() ? std::string() : a + b); break;
        case 27: Push(Config(Pop())); break;
        case 28:
            pop2(a, b);
            // The matcher may take the product of the lengths: charged before it runs.
            Spend(static_cast<std::uint64_t>(a.size() + 1) * (b.size() + 1) / 256);
            Push(Matches(a, b));
            break;
        case 29: pop2(a, b); Push(Position(a, b)); break;
        case 30: Push(Succ(Pop())); break;
        case 31: pop2(a, b); Push(Add(a, b)); break;
        case 32: pop2(a, b); Push(Mul(a, b)); break;
        case 33: c = Pop(); pop2(a, b); Push(Div(a, b, c)); break;
        case 34: pop2(a, b); Push(Gt(a, b)); break;
        case 35: pop2(a, b); Push(Ge(a, b)); break;
        case 36: Push(Ascii(Pop())); break;
        case 37: Push(Chr(Pop())); break;
        case 38: c = Pop(); pop2(a, b); charge(); Push(Replace(a, b, c, Limits.textSize)); break;
        case 39: Push(Trim(Pop())); break;
        case 40: pop2(a, b); charge(); Push(Agregate(a, b)); break;
        case 41: pop2(a, b); Push(Form(a, b)); break;
        case 42: pop2(a, b); Push(RForm(a, b)); break;
        case 43: Push(DatePlus(Pop(), TodayDays())); break;
        case 44:
            a = Pop();
            if (!a.empty()) RequireInteger(a);
            Push(CurrentTime());
            break;
        case 45: pop2(a, b); Push(Days(a, b, TodayDays())); break;
        case 46: {
            const std::int32_t n = RequireInteger(Pop());
            Push(n <= 0 ? "0" : std::to_string(Generator()() % static_cast<std::uint64_t>(n)));
            break;
        }
        case 47: pop2(a, b); charge(); Push(Sort(a, b)); break;
        case 48: Push(Omit(Pop(), Marker())); break;
        case 49: pop2(a, b); Push(Subfield(a, b, Marker())); break;
        case 50: Push(MarkerOf(Pop(), Marker())); break;
        case 51: Push(Mak(Pop())); break;
        case 52: Push(Uri(Pop())); break;
        case 53: Push(WinUtf().Convert(Pop())); break;
        case 54: c = Pop(); pop2(a, b); Push(Select(a, b, c)); break;
        case 55: pop2(a, b); Push(First(a + b)); break;
        case 56: pop2(a, b); Push(Find(a, b)); break;
        case 57: c = Pop(); pop2(a, b); Push(Next(a + b, c)); break;
        case 58: pop2(a, b); Push(Last(a + b)); break;
        case 59: a = Pop(); Push(mExternal ? mExternal(a) : std::string()); break;
        case 60: Push(References(Pop(), std::string())); break;
        case 61: pop2(a, b); Push(References(a, b)); break;
        default: Report("INTERPRETE: nieznana instrukcja " + std::to_string(code)); break;
    }
}

void TInterpreter::EnterGroup(const std::string&) { Abstract(); }
bool TInterpreter::Status() { Abstract(); }
void TInterpreter::Skip() { Abstract(); }
void TInterpreter::LeaveGroup() { Abstract(); }
std::string TInterpreter::GetField() { Abstract(); }
void TInterpreter::SetField(const std::string&) { Abstract(); }
bool TInterpreter::IsReadOnly() { Abstract(); }
void TInterpreter::SetReadOnly(bool) { Abstract(); }
std::string TInterpreter::GetPosition() { Abstract(); }
void TInterpreter::SetPosition(const std::string&) { Abstract(); }
char TInterpreter::Marker() { Abstract(); }
std::string TInterpreter::First(const std::string&) { Abstract(); }
std::string TInterpreter::Find(const std::string&, const std::string&) { Abstract(); }
std::string TInterpreter::Next(const std::string&, const std::string&) { Abstract(); }
std::string TInterpreter::Last(const std::string&) { Abstract(); }
std::string TInterpreter::Select(const std::string&, const std::string&, const std::string&) { Abstract(); }
std::string TInterpreter::References(const std::string&, const std::string&) { Abstract(); }
void TInterpreter::Open(const std::string&) { Abstract(); }
std::string TInterpreter::Config(const std::string&) { Abstract(); }

}  // namespace velt
