#include "net/IndexRequests.h"

namespace velt {

namespace {

// One helper for the five: kind, format and parameter, then the prefix and
// the key when the request has them.
RecordPtr IndexRequest(TVeltClient& s, RequestCode code, std::int32_t kind, std::int32_t format,
                       std::int32_t parameter, const std::string* prefix, const std::string* key) {
    return s.Exchange(
        code, -1,
        [&] {
            s.PUTINTEGER(kind);
            s.PUTINTEGER(format);
            s.PUTINTEGER(parameter);
            if (prefix) s.PUTSTRING(*prefix);
            if (key) s.PUTSTRING(*key);
            s.SEND();
            return s.ReadRecord(static_cast<std::uint32_t>(kind));
        },
        [] { return RecordPtr(); });
}

}  // namespace

RecordPtr IndexFind(TVeltClient& s, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& key) {
    return IndexRequest(s, RequestCode::IndexFind, kind, format, parameter, nullptr, &key);
}

RecordPtr IndexFrom(TVeltClient& s, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix, const std::string& key) {
    return IndexRequest(s, RequestCode::IndexFrom, kind, format, parameter, &prefix, &key);
}

RecordPtr IndexNext(TVeltClient& s, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix, const std::string& key) {
    return IndexRequest(s, RequestCode::IndexNext, kind, format, parameter, &prefix, &key);
}

RecordPtr IndexLast(TVeltClient& s, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix) {
    static const std::string none;
    return IndexRequest(s, RequestCode::IndexLast, kind, format, parameter, &prefix, &none);
}

RecordPtr IndexPrior(TVeltClient& s, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                     const std::string& prefix, const std::string& key) {
    return IndexRequest(s, RequestCode::IndexPrior, kind, format, parameter, &prefix, &key);
}

}  // namespace velt
