#pragma once
// Record editing in the main window: the toolbar's "Otwórz", "Usuń",
// "Otwarte" and "Dodaj", "&Rekord" with "&Dodaj", "&Otwórz" and "&Usuń",
// the new-record menus made from the server's kinds after every login, the
// editing window "Otwarte rekordy", and the edit session the shell starts at
// each login.

#include "gui/shell/FeatureHost.h"

#include <memory>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace velt {
class TEdycja;
}

namespace velt::gui {

class ScriptServices;
class Tokno_edycji;

class EditingFeature : public Feature {
public:
    EditingFeature();
    ~EditingFeature() override;
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;

    // The edit session of the login; none while nobody is logged in.
    TEdycja* Editing() const;
    // Others hear of every record the session saved or deleted (source and
    // identifier as users see them), after the tabs.
    using ChangeListener = std::function<void(const std::string& source, const std::string& identifier)>;
    void AddChangeListener(ChangeListener listener) { mListeners.push_back(std::move(listener)); }

    // The record box's record opened, deleted; the open records shown; a new record of the kind.
    void OpenRecordOfBox();
    void DeleteRecordOfBox();
    void ShowOpenRecords();
    void StartNewRecord(const std::string& code);

    QAction* OtworzButton = nullptr;
    QAction* UsunButton = nullptr;
    QAction* PokazButton = nullptr;
    QAction* NowyButton = nullptr;
    QMenu* Dodaj1 = nullptr;
    Tokno_edycji* OknoEdycji = nullptr;

private:
    void BuildNewRecordMenus();

    FeatureHost* mHost = nullptr;
    std::unique_ptr<ScriptServices> mScripts;
    std::vector<ChangeListener> mListeners;
};

}  // namespace velt::gui
