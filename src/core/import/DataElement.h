#pragma once
// One decoded BER element: its place on the wire, its class and tag, the
// content octets of a primitive element or the children of a constructed one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velt {

struct DataElement {
    enum Class { Universal = 0, Application = 1, Context = 2, Private = 3 };

    std::int32_t size = 0;     // identifier + length octets + content (+2 for an indefinite end)
    std::int32_t cls = 0;      // Class
    std::int32_t tag = 0;
    bool constructed = false;
    std::string content;       // a primitive element's content octets
    std::vector<DataElement> children;  // a constructed element's children, in order

    // The first child with the tag at or after index from, nullptr when none.
    const DataElement* Child(std::int32_t tag, std::size_t from = 0) const;
    // The index of the first child with the tag at or after from; -1 when none.
    long IndexOf(std::int32_t tag, std::size_t from = 0) const;
    // The content of a primitive element, or the joined contents of the
    // children of a constructed string (segmented OCTET STRING).
    std::string Octets() const;
};

}  // namespace velt
