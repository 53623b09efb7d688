#pragma once
// The menus of source catalogues the import windows offer: sections of the
// configuration whose names begin with a source prefix (a source) or a group
// prefix (a submenu captioned by its "nazwa", "Bez nazwy" without one); a
// group holds the sections after it whose names continue its name after the
// group prefix, sources and deeper groups alike. Names compare in capitals.

#include <functional>
#include <string>
#include <vector>

namespace velt {

class TMultiIniFile;

// An item of a sources menu: a source, or a group of items.
struct SourceMenuItem {
    int source = -1;  // the source's index; -1 for a group
    std::string caption;
    std::vector<SourceMenuItem> children;
};

// The menu of the sections: readSource is called with each source section in
// menu order and gives the source's index and caption. Groups nested deeper
// than maxDepth are read as plain sections.
std::vector<SourceMenuItem> ReadSourceMenu(const TMultiIniFile& ini, const std::string& groupPrefix,
                                           const std::string& sourcePrefix, int maxDepth,
                                           const std::function<int(const std::string& section, std::string& caption)>& readSource);

// The first source in menu order; -1 when there is none.
int FirstMenuSource(const std::vector<SourceMenuItem>& items);

// The captions from the top of the menu down to the source (the groups and
// then the source's own); empty when the source is not in the menu.
std::vector<std::string> MenuPath(const std::vector<SourceMenuItem>& items, int source);

}  // namespace velt
