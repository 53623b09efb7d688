#pragma once
// The data source of a scrolling browser: it knows only keys and their
// neighbours. A key is a text naming one entry; the empty text means no
// entry. The browser asks for the first or last key, steps with Next and
// Prior, draws an entry from its Lines (cell markup, one text a line) and
// reports what the user did to it with Action.

#include <optional>
#include <string>
#include <vector>

namespace velt {

class Vrserwer {
public:
    virtual ~Vrserwer() = default;

    // The key of the first entry; empty when there is none.
    virtual std::string First() = 0;
    // The key of the last entry; empty when there is none.
    virtual std::string Last() = 0;
    // The key after key; empty after the last entry or for an unknown key.
    virtual std::string Next(const std::string& key) = 0;
    // The key before key; empty before the first entry.
    virtual std::string Prior(const std::string& key) = 0;
    // The entry's cell content, one markup line a text; nothing leaves the cell blank.
    virtual std::optional<std::vector<std::string>> Lines(const std::string& key) = 0;
    // The user acted on the entry: "!" selected, "*" double click, else the
    // command of the element clicked.
    virtual int Action(const std::string& key, const std::string& command) = 0;
    // Whether the check element with command tag in the entry is shown.
    virtual bool IsChecked(const std::string& key, const std::string& tag) {
        (void)key;
        (void)tag;
        return false;
    }
};

}  // namespace velt
