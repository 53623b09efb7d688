#pragma once
// The catalogue descriptor's text: a sequence of groups "{" name "=" value "}",
// where a value may itself hold groups (braces nest). A group without "=" has
// its whole content as name and an empty value; text outside groups is
// ignored; an unmatched "{" runs to the end of the text.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct DescriptorGroup {
    std::string name;
    std::string value;
};

// Cuts the first group named name out of text and returns its value (empty
// when there is none). The groups passed over are put back in front of what
// remains, rebuilt as "{" name "=" value "}", so the text loses exactly the
// group taken.
std::string TakeGroup(std::string& text, std::string_view name);

// Every group of the text, in order: reading them once gives the same lists
// as taking them one by one with TakeGroup.
std::vector<DescriptorGroup> ParseGroups(std::string_view text);

// A list as repeated TakeGroup reads it: the values of the groups named
// name, in order, up to (not including) the first empty one.
std::vector<std::string> GroupValues(const std::vector<DescriptorGroup>& groups, std::string_view name);

// The value of the first group named name; empty when none.
std::string GroupValue(const std::vector<DescriptorGroup>& groups, std::string_view name);

}  // namespace velt
