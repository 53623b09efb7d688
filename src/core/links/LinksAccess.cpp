#include "links/LinksAccess.h"

#include "catalogue/Identifiers.h"

namespace velt {

LinksAccessMode AccessModeFor(bool loggedIn, bool editing, std::uint8_t databaseKind) {
    if (!loggedIn) return LinksAccessMode::NotLoggedIn;
    if (!editing) return LinksAccessMode::NoEditing;
    return databaseKind == kVelt1 ? LinksAccessMode::EditingVelt1 : LinksAccessMode::Editing;
}

LinksAccess AccessFor(LinksAccessMode mode, std::uint8_t databaseKind) {
    const bool velt1 = databaseKind == kVelt1;
    LinksAccess a;
    switch (mode) {
        case LinksAccessMode::NotLoggedIn:
            break;
        case LinksAccessMode::NoEditing:
            a.toolsVisible = true;
            a.recordMenuVisible = true;
            a.structureMenuVisible = velt1;
            break;
        case LinksAccessMode::Editing:
        case LinksAccessMode::EditingVelt1:
            a.toolsVisible = a.toolsEnabled = true;
            a.recordMenuVisible = a.recordMenuEnabled = true;
            a.structureMenuVisible = a.structureMenuEnabled = velt1;
            a.rebuildSortMenu = true;
            a.operationMenu = true;
            break;
    }
    return a;
}

}  // namespace velt
