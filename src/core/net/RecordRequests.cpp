#include "net/RecordRequests.h"

namespace velt {

Answers EditRequest(TVeltClient& s, char letter, const std::vector<std::string>& texts) {
    return s.Exchange(
        RequestCode::Edit, static_cast<unsigned char>(letter),
        [&] {
            for (const auto& t : texts) s.PUTSTRING(t);
            s.SEND();
            return s.ReadAnswers();
        },
        [] { return Answers(); });
}

Answers EditRequestG(TVeltClient& s, std::int32_t number, const std::string& text) {
    return s.Exchange(
        RequestCode::Edit, 'G',
        [&] {
            s.PUTINTEGER(number);
            s.PUTSTRING(text);
            s.SEND();
            return s.ReadAnswers();
        },
        [] { return Answers(); });
}

}  // namespace velt
