#pragma once
// One message about a record, attached to the fields whose keys match its
// "|"-separated key patterns ("*" attaches it to the whole record).

#include <string>

namespace velt {

class my_error {
public:
    my_error(std::string message, std::string keys) : message(std::move(message)), keys(std::move(keys)) {}

    // True when one of the key patterns matches the key.
    bool Concerns(const std::string& key) const;

    std::string message;  // shown to the user
    std::string keys;     // key patterns, "|"-separated
};

}  // namespace velt
