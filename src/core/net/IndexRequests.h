#pragma once
// The index requests (50, 55-58): an index of a kind, in a display format,
// walked by key. Each answers a record reply with the entry, or none.

#include "net/TVeltClient.h"

namespace velt {

// 50: the entry of key.
RecordPtr IndexFind(TVeltClient& session, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& key);
// 55: the first entry at or after key among those beginning with prefix.
RecordPtr IndexFrom(TVeltClient& session, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix, const std::string& key);
// 56: the entry after key.
RecordPtr IndexNext(TVeltClient& session, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix, const std::string& key);
// 57: the last entry beginning with prefix.
RecordPtr IndexLast(TVeltClient& session, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                    const std::string& prefix);
// 58: the entry before key.
RecordPtr IndexPrior(TVeltClient& session, std::int32_t kind, std::int32_t format, std::int32_t parameter,
                     const std::string& prefix, const std::string& key);

}  // namespace velt
