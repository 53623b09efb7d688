#include "import/DataElement.h"

namespace velt {

long DataElement::IndexOf(std::int32_t wanted, std::size_t from) const {
    for (std::size_t i = from; i < children.size(); ++i)
        if (children[i].tag == wanted) return static_cast<long>(i);
    return -1;
}

const DataElement* DataElement::Child(std::int32_t wanted, std::size_t from) const {
    const long i = IndexOf(wanted, from);
    return i < 0 ? nullptr : &children[static_cast<std::size_t>(i)];
}

std::string DataElement::Octets() const {
    if (!constructed) return content;
    std::string out;
    for (const auto& c : children) out += c.Octets();
    return out;
}

}  // namespace velt
