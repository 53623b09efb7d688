#pragma once
// The pieces of a type-1 (RPN) query over the Bib-1 attribute set, ready
// encoded for Z3950Client::SendSearch and ScanTerms.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

// Bib-1 attribute types.
inline constexpr std::uint32_t kBib1Use = 1;
inline constexpr std::uint32_t kBib1Relation = 2;
inline constexpr std::uint32_t kBib1Position = 3;
inline constexpr std::uint32_t kBib1Structure = 4;
inline constexpr std::uint32_t kBib1Truncation = 5;

// (attribute type, value) pairs, sent in this order.
using AttributeList = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// The AttributesPlusTerm [102]: the attribute list [44] and the general term [45].
std::string EncodeAttributesPlusTerm(const AttributeList& attributes, std::string_view term);

// The RPN structure of one operand: [0] holding the AttributesPlusTerm.
std::string EncodeOperand(std::string_view attributesPlusTerm);

// The RPN structure of two operands joined by an operator (0 and, 1 or, 2 and-not).
std::string EncodeRpnOperation(std::string_view left, std::string_view right, int op);

}  // namespace velt
