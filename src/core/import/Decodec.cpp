#include "import/Decodec.h"

#include "text/CpLiteral.h"

#include <cstdint>

namespace velt {

bool Decodec::Malformed(const std::string& reason) {
    mSocket.Fail(UniSocket::TextMalformed(reason));
    return false;
}

std::unique_ptr<DataElement> Decodec::DecodeElement(int depth) {
    auto e = std::make_unique<DataElement>();
    const bool ok = Decode(depth, *e, -1);
    if (depth == 1) mSocket.LogReceived();
    if (!ok || mSocket.Failed()) return nullptr;
    return e;
}

bool Decodec::Decode(int depth, DataElement& e, std::int64_t limit) {
    if (depth > kMaxDepth) return Malformed("zbyt głębokie zagnieżdżenie elementów"_cp);
    const unsigned char id = mSocket.ReadByte();
    if (mSocket.Failed()) return false;
    std::int64_t size = 1;
    e.cls = id >> 6;
    e.constructed = (id & 0x20) != 0;
    std::uint32_t tag = id & 0x1F;
    if (tag == 31) {
        tag = 0;
        unsigned char b;
        int octets = 0;
        do {
            b = mSocket.ReadByte();
            if (mSocket.Failed()) return false;
            ++size;
            if (++octets > 4 || tag > (0x7FFFFFFFu >> 7)) return Malformed("za duży numer znacznika"_cp);
            tag = (tag << 7) | (b & 0x7F);
        } while (b & 0x80);
    }
    e.tag = static_cast<std::int32_t>(tag);

    const unsigned char first = mSocket.ReadByte();
    if (mSocket.Failed()) return false;
    ++size;
    bool indefinite = false;
    std::uint32_t length = 0;
    if (first == 0x80) {
        if (!e.constructed) return Malformed("nieokreślona długość elementu prostego"_cp);
        indefinite = true;
    } else if (first & 0x80) {
        const int m = first & 0x7F;
        if (m > 4) return Malformed("długość zapisana na więcej niż 4 bajtach"_cp);
        for (int i = 0; i < m; ++i) {
            const unsigned char b = mSocket.ReadByte();
            if (mSocket.Failed()) return false;
            length = (length << 8) | b;
        }
        size += m;
    } else {
        length = first;
    }
    // A child that claims more than its parent holds is refused before any
    // of its content is waited for.
    if (limit >= 0 && size + (indefinite ? 0 : static_cast<std::int64_t>(length)) > limit)
        return Malformed("element wychodzi poza element nadrzędny"_cp);
    if (!indefinite && !mSocket.Fits(length)) {
        mSocket.Fail(UniSocket::TextTooLarge());
        return false;
    }

    if (e.constructed) {
        if (!indefinite) {
            std::int64_t remaining = length;
            while (remaining > 0 && !mSocket.Failed()) {
                e.children.emplace_back();
                if (!Decode(depth + 1, e.children.back(), remaining)) return false;
                remaining -= e.children.back().size;
                if (remaining < 0) return Malformed("element wychodzi poza element nadrzędny"_cp);
            }
            size += length;
        } else {
            // Inside a definite parent the children and the end-of-contents
            // octets must fit what the parent has left.
            std::int64_t left = limit >= 0 ? limit - size - 2 : -1;
            while (!mSocket.AtEndOfContents()) {
                if (mSocket.Failed()) return false;
                e.children.emplace_back();
                if (!Decode(depth + 1, e.children.back(), left)) return false;
                size += e.children.back().size;
                if (left >= 0) left -= e.children.back().size;
            }
            if (mSocket.Failed()) return false;
            size += 2;
        }
    } else {
        if (!mSocket.ReadBytes(length, e.content)) return false;
        size += length;
    }
    if (size > static_cast<std::int64_t>(UniSocket::kBufferSize)) {
        mSocket.Fail(UniSocket::TextTooLarge());
        return false;
    }
    e.size = static_cast<std::int32_t>(size);
    return !mSocket.Failed();
}

}  // namespace velt
