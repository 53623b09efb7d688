#pragma once
// BER encoding of single elements: callers build an APDU from nested
// EncodeElement calls over contents made by the other helpers.

#include "import/UniSocket.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velt {

class Codec {
public:
    explicit Codec(UniSocket& socket) : mSocket(socket) {}

    // Identifier, length and content of one element of class cls (0 to 3).
    static std::string EncodeElement(int cls, bool constructed, std::string_view content, std::uint32_t tag);
    // The content octets of a non-negative INTEGER (100000 gives 01 86 A0).
    static std::string EncodeInteger(std::uint32_t n);
    // The content octets of an OBJECT IDENTIFIER in dotted text; empty when
    // the text is not one (fewer than two arcs, not digits, out of range).
    static std::string EncodeOid(std::string_view dotted);
    // A BIT STRING's content as "0"/"1" characters.
    static std::string BitsOf(std::string_view content);
    // An INTEGER's content read as an unsigned big-endian number; nothing
    // when it is empty or does not fit 32 bits.
    static std::optional<std::uint32_t> DecodeInteger(std::string_view content);

    UniSocket& Socket() const { return mSocket; }

private:
    UniSocket& mSocket;
};

}  // namespace velt
