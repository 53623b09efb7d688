#include "shell/CatalogueMenu.h"

#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"

#include <charconv>
#include <functional>

namespace velt {

namespace {

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

// The value of key in a catalogue section: the first line that begins with
// the key name and "=", the name compared without regard to letter case.
std::string SectionKey(const std::vector<std::string>& lines, const std::string& key, const std::string& def) {
    const std::string want = FoldName(key) + "=";
    for (const auto& line : lines) {
        if (line.size() < want.size()) continue;
        if (FoldName(line.substr(0, want.size() - 1)) + "=" == want && line[want.size() - 1] == '=')
            return line.substr(want.size());
    }
    return def;
}

std::string WithoutFirstAmpersand(std::string s) {
    const auto amp = s.find('&');
    if (amp != std::string::npos) s.erase(amp, 1);
    return s;
}

}  // namespace

int PortOrDefault(const std::string& text, int def) {
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) return def;
    return port;
}

std::string KatalogItem::PlainCaption() const { return WithoutFirstAmpersand(Caption); }

CatalogueMenu CatalogueMenu::Build(const TMultiIniFile& ini) {
    CatalogueMenu menu;
    const std::vector<std::string> sections = ini.ReadSections();
    std::size_t next = 0;
    // Fills items with the sections that continue prefix; path holds the
    // captions of the enclosing groups.
    std::function<void(std::vector<CatalogueMenuItem>&, const std::string&, const std::string&)> walk =
        [&](std::vector<CatalogueMenuItem>& items, const std::string& prefix, const std::string& path) {
            while (next < sections.size()) {
                const std::string& name = sections[next];
                if (StartsWith(name, "KATALOG")) {
                    if (!StartsWith(name, "KATALOG" + prefix)) return;  // ends the group
                    const auto lines = ini.ReadSectionValues(name);
                    CatalogueMenuItem item;
                    item.Entry.Caption = SectionKey(lines, "nazwa", "Bez nazwy");
                    item.Entry.Host = SectionKey(lines, "ip", "127.0.0.1");
                    item.Entry.Port = PortOrDefault(SectionKey(lines, "port", ""));
                    item.Entry.UserText = SectionKey(lines, "user", "");
                    item.Entry.SectionName = name;
                    item.Entry.NamePath = path.empty() ? "" : " [" + path + "]";
                    items.push_back(std::move(item));
                    ++next;
                } else if (StartsWith(name, "GRUPA")) {
                    if (!StartsWith(name, "GRUPA" + prefix)) return;
                    CatalogueMenuItem group;
                    group.IsGroup = true;
                    group.Caption = SectionKey(ini.ReadSectionValues(name), "nazwa", "Bez nazwy");
                    ++next;
                    const std::string caption = WithoutFirstAmpersand(group.Caption);
                    walk(group.Children, name.substr(5), path.empty() ? caption : path + ". " + caption);
                    items.push_back(std::move(group));
                } else {
                    ++next;
                }
            }
        };
    // A group that ends hands the name back; the top level takes it again.
    while (next < sections.size()) {
        const std::size_t before = next;
        walk(menu.mItems, "", "");
        if (next == before) ++next;  // a name the top level does not take
    }
    return menu;
}

std::vector<const KatalogItem*> CatalogueMenu::Entries() const {
    std::vector<const KatalogItem*> out;
    std::function<void(const std::vector<CatalogueMenuItem>&)> visit = [&](const std::vector<CatalogueMenuItem>& items) {
        for (const auto& i : items) {
            if (i.IsGroup)
                visit(i.Children);
            else
                out.push_back(&i.Entry);
        }
    };
    visit(mItems);
    return out;
}

const KatalogItem* CatalogueMenu::FindSection(const std::string& section) const {
    for (const KatalogItem* e : Entries())
        if (e->SectionName == section) return e;
    return nullptr;
}

const KatalogItem* CatalogueMenu::FindServer(const std::string& host, int port) const {
    for (const KatalogItem* e : Entries())
        if (e->Host == host && e->Port == port) return e;
    return nullptr;
}

const KatalogItem* CatalogueMenu::FirstTopLevel() const {
    if (mItems.empty() || mItems[0].IsGroup) return nullptr;
    return &mItems[0].Entry;
}

}  // namespace velt
