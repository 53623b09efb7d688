#include "net/SearchRequests.h"

#include "text/CpLiteral.h"

namespace velt {

namespace {
std::string ReplyError() { return "Bład odpowiedzi"_cp; }
}  // namespace

RecordPtr Search(TVeltClient& s, const std::string& query) {
    return s.Exchange(
        RequestCode::Search, -1,
        [&] {
            s.PUTSTRING(query);
            s.SEND();
            return s.ReadRecord(0);
        },
        [] { return RecordPtr(); });
}

void ReleaseCollection(TVeltClient& s, std::int32_t number) {
    s.Exchange(
        RequestCode::ReleaseCollection, -1,
        [&] {
            s.PUTINTEGER(number);
            s.SEND();
            (void)s.ReadRecord(0);
            return true;
        },
        [] { return false; });
}

std::string SetFilters(TVeltClient& s, const std::string& flags) {
    return s.Exchange(
        RequestCode::Filters, 'S',
        [&] {
            s.PUTSTRING(flags);
            s.SEND();
            const Answers a = s.ReadAnswers();
            return a.count == 1 ? a[1] : ReplyError();
        },
        [&] { return s.FailureText(); });
}

FilterAnswer GetFilters(TVeltClient& s) {
    return s.Exchange(
        RequestCode::Filters, 'G',
        [&] {
            s.SEND();
            const Answers a = s.ReadAnswers();
            if (a.count == 1 || a.count == 2) return FilterAnswer{a[1], a[2]};
            return FilterAnswer{ReplyError(), {}};
        },
        [&] { return FilterAnswer{s.FailureText(), {}}; });
}

}  // namespace velt
