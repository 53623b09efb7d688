#include "import/RpnQuery.h"

#include "import/Codec.h"

namespace velt {

namespace {
constexpr int kCtx = 2;  // context-specific class
}

std::string EncodeAttributesPlusTerm(const AttributeList& attributes, std::string_view term) {
    std::string list;
    for (const auto& [type, value] : attributes) {
        const std::string element = Codec::EncodeElement(kCtx, false, Codec::EncodeInteger(type), 120) +
                                    Codec::EncodeElement(kCtx, false, Codec::EncodeInteger(value), 121);
        list += Codec::EncodeElement(0, true, element, 16);
    }
    return Codec::EncodeElement(kCtx, true,
                                Codec::EncodeElement(kCtx, true, list, 44) + Codec::EncodeElement(kCtx, false, term, 45),
                                102);
}

std::string EncodeOperand(std::string_view attributesPlusTerm) {
    return Codec::EncodeElement(kCtx, true, attributesPlusTerm, 0);
}

std::string EncodeRpnOperation(std::string_view left, std::string_view right, int op) {
    const std::string oper = Codec::EncodeElement(kCtx, true, Codec::EncodeElement(kCtx, false, "", static_cast<std::uint32_t>(op)), 46);
    return Codec::EncodeElement(kCtx, true, std::string(left) + std::string(right) + oper, 1);
}

}  // namespace velt
