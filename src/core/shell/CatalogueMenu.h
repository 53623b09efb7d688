#pragma once
// The catalogue list of the configuration: every section beginning with
// "KATALOG" is a catalogue server, every section beginning with "GRUPA" opens
// a group (a submenu) that takes the following sections continuing its name.

#include <memory>
#include <string>
#include <vector>

namespace velt {

class TMultiIniFile;

// One catalogue server of the list.
struct KatalogItem {
    std::string Caption = "Bez nazwy";  // "nazwa"
    std::string Host = "127.0.0.1";     // "ip"
    int Port = 8000;                     // "port"
    std::string UserText;                // "user"
    std::string SectionName;
    // The captions of the groups around it, " [" a ". " b "]"; empty at the top.
    std::string NamePath;

    // The caption without its first "&".
    std::string PlainCaption() const;
    // The first character "-" switches record editing off.
    bool EditingOff() const { return !UserText.empty() && UserText[0] == '-'; }
    // The second character "-" hides the reader-account menu.
    bool AccountOff() const { return UserText.size() > 1 && UserText[1] == '-'; }
};

struct CatalogueMenuItem {
    bool IsGroup = false;
    std::string Caption;                       // a group's caption
    KatalogItem Entry;                         // a catalogue's entry
    std::vector<CatalogueMenuItem> Children;  // a group's items
};

class CatalogueMenu {
public:
    // Builds the list from the sections of the configuration in file order.
    static CatalogueMenu Build(const TMultiIniFile& ini);

    const std::vector<CatalogueMenuItem>& Items() const { return mItems; }
    // Every catalogue entry, depth first in menu order.
    std::vector<const KatalogItem*> Entries() const;
    // The entry of a section name; none when there is none.
    const KatalogItem* FindSection(const std::string& section) const;
    // The first entry (depth first) with exactly this host and port.
    const KatalogItem* FindServer(const std::string& host, int port) const;
    // The first top-level item when it is a catalogue (not a group).
    const KatalogItem* FirstTopLevel() const;

private:
    std::vector<CatalogueMenuItem> mItems;
};

// A port that is no port (outside 1..65535, or not a number) gives the default.
int PortOrDefault(const std::string& text, int def = 8000);

}  // namespace velt
