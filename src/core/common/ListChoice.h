#pragma once
// Choosing one value from a list ("Wybór z listy"): the entries a caller
// offers (a value and the text shown for it, which may have several lines
// separated by CR), the rule of the choice (no entry: nothing; one entry:
// its value, without asking; several: the window), and what the core asks
// of the window. The Z39.50 import's scan and the editor commands' "DL"
// use it.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct ListChoiceEntry {
    std::string value;
    std::string text;  // lines separated by CR
};

// The entries of a "DL" text: value and display text, repeatedly, each
// ended by the byte 01 (a last text may lack it). A value without its
// text is no entry.
std::vector<ListChoiceEntry> ParseListChoice(std::string_view entries);

class ListChoiceWindow {
public:
    virtual ~ListChoiceWindow() = default;
    // Shows the entries' texts in a scrolling list titled "Wybór z listy";
    // the index of the entry clicked, or -1 when the window was closed
    // otherwise.
    virtual int ShowListChoice(const std::vector<ListChoiceEntry>& entries) = 0;
};

// The value chosen: empty for no entry, the only entry's value without
// showing anything, else what the user chose in the window (empty when the
// window was closed without a choice).
std::string ChooseFromList(const std::vector<ListChoiceEntry>& entries, ListChoiceWindow& window);

// The caption of the window.
std::string ListChoiceTitle();

}  // namespace velt
