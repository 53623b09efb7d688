#include "import/SourceMenu.h"

#include "lang/TMultiIniFile.h"
#include "text/converter.h"

namespace velt {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string Upper(std::string_view text) { return UpperTable.Convert(text); }

struct Walker {
    const TMultiIniFile& ini;
    const std::vector<std::string>& sections;
    std::string group, source;  // the prefixes, in capitals
    int maxDepth;
    const std::function<int(const std::string&, std::string&)>& readSource;

    // Sources and groups of this level from i into items; a source or group
    // of another prefix ends the level.
    void Walk(std::size_t& i, const std::string& prefix, int depth, std::vector<SourceMenuItem>& items) {
        while (i < sections.size()) {
            const std::string& name = sections[i];
            const std::string upper = Upper(name);
            if (StartsWith(upper, source)) {
                if (!StartsWith(upper, source + prefix)) return;
                SourceMenuItem item;
                item.source = readSource(name, item.caption);
                if (item.source >= 0) items.push_back(std::move(item));
                ++i;
            } else if (StartsWith(upper, group) && depth < maxDepth) {
                if (!StartsWith(upper, group + prefix)) return;
                SourceMenuItem g;
                g.caption = ini.ReadString(name, "nazwa", "Bez nazwy");
                ++i;
                Walk(i, upper.substr(group.size()), depth + 1, g.children);
                items.push_back(std::move(g));
            } else {
                ++i;
            }
        }
    }
};

bool PathTo(const std::vector<SourceMenuItem>& items, int source, std::vector<std::string>& path) {
    for (const SourceMenuItem& item : items) {
        path.push_back(item.caption);
        if (item.source == source) return true;
        if (item.source < 0 && PathTo(item.children, source, path)) return true;
        path.pop_back();
    }
    return false;
}

}  // namespace

std::vector<SourceMenuItem> ReadSourceMenu(const TMultiIniFile& ini, const std::string& groupPrefix,
                                           const std::string& sourcePrefix, int maxDepth,
                                           const std::function<int(const std::string&, std::string&)>& readSource) {
    const std::vector<std::string> sections = ini.ReadSections();
    Walker w{ini, sections, Upper(groupPrefix), Upper(sourcePrefix), maxDepth, readSource};
    std::vector<SourceMenuItem> menu;
    std::size_t i = 0;
    w.Walk(i, "", 0, menu);
    return menu;
}

int FirstMenuSource(const std::vector<SourceMenuItem>& items) {
    for (const SourceMenuItem& item : items) {
        if (item.source >= 0) return item.source;
        if (const int s = FirstMenuSource(item.children); s >= 0) return s;
    }
    return -1;
}

std::vector<std::string> MenuPath(const std::vector<SourceMenuItem>& items, int source) {
    std::vector<std::string> path;
    if (!PathTo(items, source, path)) path.clear();
    return path;
}

}  // namespace velt
