#pragma once
// What the main window shows for the shell's state, computed in one place
// (VeltShell::State) and shown by the window in one place: the mode, the
// caption, the connection text and which menus and commands are there.

#include <string>

namespace velt {

// Modes of the main window.
enum class ShellMode {
    NoEditing = 0,      // no record editing in this catalogue (or no catalogue)
    LoggedOut = 1,      // editing possible, nobody logged in
    LoggedIn = 2,       // logged in, VELT2 or VELT3 database
    LoggedInVelt1 = 3,  // logged in, VELT1 database
};

struct ShellState {
    ShellMode Mode = ShellMode::NoEditing;
    std::string Caption;         // the main window's caption
    std::string ConnectionText;  // where the window is connected, and who is logged in
    bool Connected = false;      // a catalogue whose descriptor was read
    bool ServerMenus = false;    // "&Format", "Za&pytanie", "&Zestawienie"
    bool AccountMenu = false;    // "Kon&to"
    bool EditToolbar = false;    // the editing toolbar (login and logout buttons at least)
    bool LoginMenu = false;      // "&Logowanie"
    bool LogoutEnabled = false;  // "Wyloguj", "Wylogowanie", "Zmień hasło"
    bool RecordMenu = false;     // "&Rekord" and the open, delete, show and new buttons
    bool LinksButton = false;    // "Modyfikuj powiązania"
    bool BlobButton = false;     // "Pliki multimedialne"
    bool OperationMenu = false;  // "&Operacja"

    bool operator==(const ShellState&) const = default;
};

}  // namespace velt
