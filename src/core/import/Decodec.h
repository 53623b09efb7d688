#pragma once
// Reads one whole BER element tree from the connection's buffer. Nothing the
// peer sends is trusted: a length of more than 4 octets, beyond the buffer or
// beyond its parent, an indefinite length on a primitive element, a tag too
// large, or nesting deeper than kMaxDepth set the connection's error with
// the text of a malformed response and give no tree.

#include "import/DataElement.h"
#include "import/UniSocket.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velt {

class Decodec {
public:
    static constexpr int kMaxDepth = 64;

    explicit Decodec(UniSocket& socket) : mSocket(socket) {}

    // The element at the read position and everything inside it; depth 1 is
    // a whole APDU (its response is then logged). Nothing on a failure.
    std::unique_ptr<DataElement> DecodeElement(int depth);

private:
    // limit: what is left of the parent element (-1: no definite parent).
    bool Decode(int depth, DataElement& e, std::int64_t limit);
    bool Malformed(const std::string& reason);

    UniSocket& mSocket;
};

}  // namespace velt
