#pragma once
// What the links window shows in each access mode, decided in one place:
// the main window sets the mode after every login and logout.
//
//   mode 0  not logged in           tool buttons and "&Rekord", "&Struktura" hidden
//   mode 1  logged in, no editing   tool buttons and "&Rekord" shown, disabled;
//                                   "&Struktura" shown (disabled) only on VELT1
//   mode 2  editing, VELT2 or VELT3 everything enabled; "&Struktura" only on VELT1;
//   mode 3  editing, VELT1          the sort submenu made again; "Operacja"
//                                   shown when it has items

#include <cstdint>

namespace velt {

enum class LinksAccessMode { NotLoggedIn = 0, NoEditing = 1, Editing = 2, EditingVelt1 = 3 };

struct LinksAccess {
    bool toolsVisible = false;
    bool toolsEnabled = false;
    bool recordMenuVisible = false;
    bool recordMenuEnabled = false;
    bool structureMenuVisible = false;
    bool structureMenuEnabled = false;
    bool rebuildSortMenu = false;
    bool operationMenu = false;  // "Operacja" may show (when it has items)
    bool operator==(const LinksAccess&) const = default;
};

// The mode of a login: editing means an edit session with record kinds.
LinksAccessMode AccessModeFor(bool loggedIn, bool editing, std::uint8_t databaseKind);
LinksAccess AccessFor(LinksAccessMode mode, std::uint8_t databaseKind);

}  // namespace velt
