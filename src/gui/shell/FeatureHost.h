#pragma once
// How the features of the program live in the main window. The main window
// keeps the frame, the mode state, the record box and the tabs; each feature
// (searching, reports, editing, attachments, programs, settings, and every
// one that comes later) is a unit of its own that puts its actions into the
// window's menus and toolbar, its buttons on the side panel, and its windows
// under the window, and handles the entries' commands that are its own. A
// feature that is not there leaves no trace: no dead menu item, no button.

#include "shell/EntryCommands.h"
#include "shell/ShellState.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace velt {
class PresentationTabs;
class SearchService;
class VeltShell;
}  // namespace velt

namespace velt::gui {

class DesktopServices;
class ParameterServices;
class QtCellMeasurer;

// The menus features fill, in the menu bar's order, and two pop-ups.
enum class MenuSlot {
    Catalogue,       // "&Katalog"
    Index,           // "Indeks"
    Format,          // "&Format"
    Record,          // "&Rekord"
    RecordImport,    // "&Rekord" → "Pobierz": shown only when it has items
    Query,           // "Za&pytanie"
    Report,          // "&Zestawienie"
    Account,         // "Kon&to": shown only when the server offers it and it has items
    Operation,       // "&Operacja": shown only when the mode allows and it has items
    Login,           // "&Logowanie"
    Settings,        // "&Ustawienia"
    Help,            // "&Pomoc"
    NewRecordPopup,  // under the toolbar's "Dodaj"
    ImportPopup,     // under the toolbar's "Pobieranie"
};

// The places of the editing toolbar, in its order.
enum class ToolSlot { Record, Links, Login, Files, Import };

// An entry's command that a feature handles: its argument (what follows the
// command's word) and the entry's record identifier.
using EntryCommandHandler = std::function<void(const std::string& argument, const std::string& identifier)>;

class Feature;

class FeatureHost {
public:
    virtual ~FeatureHost() = default;

    // The window the feature's windows belong to.
    virtual QMainWindow& Window() = 0;
    virtual VeltShell& Shell() = 0;
    virtual PresentationTabs& Tabs() = 0;
    virtual SearchService& Search() = 0;
    virtual EntryCommands& Commands() = 0;
    virtual ParameterServices& Parameters() = 0;
    // Pictures, files and programs of the desktop.
    virtual DesktopServices& Desktop() = 0;
    // The cells' measurer the browsers share (the list font and the pictures).
    virtual QtCellMeasurer& Measurer() = 0;

    virtual QMenu* Menu(MenuSlot slot) = 0;
    // Puts action on the editing toolbar at its place.
    virtual void AddTool(ToolSlot slot, QAction* action) = 0;
    // Pops menu up under a toolbar action's button (at the cursor without one).
    virtual void PopUnder(QAction* action, QMenu* menu) = 0;
    // Puts a widget on the side panel, under the record box and the zoom.
    virtual void AddSideWidget(QWidget* widget) = 0;

    // The record box: the identifier typed or chosen last.
    virtual std::string RecordBoxText() = 0;
    virtual void PutIntoRecordBox(const std::string& shown) = 0;

    // The search line under "Szukaj": its text, and a new text sought in the active index.
    virtual std::string SearchText() = 0;
    virtual void SeekInActive(const std::string& text) = 0;

    // The feature handles the entries' commands of kind from now on.
    virtual void HandleEntryCommand(EntryCommandKind kind, EntryCommandHandler handler) = 0;

    // Every feature of the window, in the order they were installed.
    virtual const std::vector<std::unique_ptr<Feature>>& Features() const = 0;

    // The feature of type F, or none.
    template <typename F>
    F* Find() const {
        for (const auto& f : Features())
            if (auto* found = dynamic_cast<F*>(f.get())) return found;
        return nullptr;
    }
};

class Feature {
public:
    virtual ~Feature() = default;
    // Adds the feature's actions, menu items, buttons and windows; called
    // once, when every menu and the toolbar of the window exist.
    virtual void Install(FeatureHost& host) = 0;
    // The shell's state changed (a connection, a login, a logout).
    virtual void StateChanged(const ShellState& state) { (void)state; }
    // The descriptor's lists changed (a new catalogue, a reload): menus made
    // from them are made again.
    virtual void DescriptorChanged() {}
    // The window closes: windows of the feature that belong to the
    // catalogue go before it is disconnected.
    virtual void Closing() {}
};

using FeatureList = std::vector<std::unique_ptr<Feature>>;

// The features of the program, in the order they are installed.
FeatureList StandardFeatures();

}  // namespace velt::gui
