#include "net/ProgramRequests.h"

#include "text/CpLiteral.h"

#include <vector>

namespace velt {

namespace {

std::string ProgramAnswer(TVeltClient& s, char second, const std::vector<std::string>& texts) {
    return s.Exchange(
        RequestCode::Program, second,
        [&] {
            for (const auto& t : texts) s.PUTSTRING(t);
            s.SEND();
            const Answers a = s.ReadAnswers();
            if (a.count == 1) return a[1];
            if (a.count == 2) return a[2];
            return std::string("Bład odpowiedzi"_cp);
        },
        [&] { return s.FailureText(); });
}

}  // namespace

std::string ProgramRun(TVeltClient& s, const std::string& id, const std::string& parameters,
                       const std::string& records) {
    return ProgramAnswer(s, 'X', {id, parameters, records});
}

std::string ProgramCheck(TVeltClient& s, const std::string& id) { return ProgramAnswer(s, 'D', {id}); }

std::string ReaderRequest(TVeltClient& s, const std::string& parameters) {
    return s.Exchange(
        RequestCode::Reader, -1,
        [&] {
            s.PUTSTRING("&client=VELT_TCP" + parameters);
            s.SEND();
            return s.GETSTRING();
        },
        [] { return std::string(); });
}

}  // namespace velt
