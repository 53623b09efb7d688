#pragma once
// Searching and the server's collections: the search (15) that makes a
// remote collection, releasing one (6), and the result filters (202).

#include "net/TVeltClient.h"

namespace velt {

// 15: the search reply (its meaning: search/QueryHistory.h); none after a failure.
RecordPtr Search(TVeltClient& session, const std::string& query);
// 6: the server frees the collection.
void ReleaseCollection(TVeltClient& session, std::int32_t number);

// 202 S: the error text, empty when the server took the flags.
std::string SetFilters(TVeltClient& session, const std::string& flags);

struct FilterAnswer {
    std::string error;  // empty on success
    std::string flags;  // the filters' flags, with a two-text answer
};
// 202 G.
FilterAnswer GetFilters(TVeltClient& session);

}  // namespace velt
