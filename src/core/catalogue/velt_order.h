#pragma once
// The cursor over one server index: wraps the five index requests and keeps
// the current entry.

#include "net/TVeltClient.h"

#include <cstdint>
#include <string>

namespace velt {

class velt_order {
public:
    velt_order(TVeltClient* session, std::string prefix, std::int32_t parameter, std::uint8_t kind,
               std::string name, std::string authorityLink = {});

    // Items[1] of Current; empty when there is none.
    std::string CurrentKey() const;
    // Makes the entry whose key equals key Current; true when found. The same
    // key in the same format as Current costs no request.
    bool Find(const std::string& key);
    // Current becomes the first entry (none when the index is empty).
    void First();
    // Current becomes the first entry at or after key.
    void Seek(const std::string& key);
    // Current becomes the last entry.
    void Last();
    // Current becomes the entry after it; nothing is sent without Current.
    void Next();
    // Current becomes the entry before it; nothing is sent without Current.
    void Prior();
    // Current becomes the entry a typed text points to, by the index kind.
    void Locate(const std::string& typed);
    void ReleaseCurrent() { Current.reset(); }

    std::string Name;
    TVeltClient* Session;
    std::uint8_t Kind;
    std::int32_t Parameter;
    std::string Prefix;
    RecordPtr Current;
    std::int32_t Format = 0;
    std::string AuthorityLink;
    std::int32_t CurrentFormat = 0;

private:
    RecordPtr From(const std::string& prefix, std::int32_t format, std::int32_t parameter,
                   const std::string& key = {});
    RecordPtr FindRequest(std::uint8_t kind, std::int32_t format, std::int32_t parameter,
                          const std::string& key);
};

}  // namespace velt
