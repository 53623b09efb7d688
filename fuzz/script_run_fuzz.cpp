// Compiles arbitrary bytes as an action script and, when it compiles, runs
// it over a small record under a small budget; the same bytes are also read
// as a field-event file and every event is dispatched for a few keys. Nothing
// may crash, hang or grow without bound.

#include "lang/ACTInterpreter.h"
#include "lang/Compiler.h"
#include "lang/EventScripts.h"
#include "text/my_record.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    velt::my_record record("A");
    record.AddField("245Z.1.1.2.1", " ^aTytu\xB3 ^bpodtytu\xB3", 0);
    record.AddField("245Z.1.1.5.1", "drugi", 1);
    record.AddField("100Z.1.1.1.1", "Kowalski, Jan [1950-]", 0);
    record.AddField("L.1", "leader", 0);
    const velt::ErrorSink sink = [](const std::string&) {};
    velt::RunLimits limits;
    limits.steps = 20000;
    limits.callDepth = 200;
    limits.textSize = 1u << 16;
    limits.outputSize = 1u << 18;
    {
        std::istringstream in(input);
        const auto program = velt::CompileOpenText(in, {"N"}, "/nonexistent-velt-fuzz/script", sink);
        if (program) {
            velt::ACTInterpreter act(sink, record, nullptr);
            act.Limits = limits;
            act.SetVariable(4, "3");
            act.Run(*program, [](const std::string& a) { return a + a; });
        }
    }
    {
        std::istringstream in(input);
        velt::act_script scripts = velt::LoadEventScripts(in, "/nonexistent-velt-fuzz/ACT", sink);
        for (int event = 0; event <= 4; ++event)
            for (const char* key : {"245Z.1.1.2.1", "100Z.1.1.1.1", "x"})
                velt::RunEvent(scripts, "A", record, {}, sink, event, key, nullptr, limits);
    }
    return 0;
}
