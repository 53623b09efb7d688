#pragma once
// The administrator's programs in "&Operacja", after the server's programs:
// "Program (administrator)" with "Modyfikuj rekordy kolekcji zdalnej",
// "Modyfikuj rekordy kolekcji lokalnej" and "Modyfikuj wskazany rekord"
// (each opening "Program globalnej modyfikacji", TOknoGlobalne), and "Usuń
// globalnie" with "Rekordy kolekcji lokalnej". Both are there only for a
// login with the right "administrowanie"; the commands are the core's
// AdministratorCommands.

#include "admin/AdministratorCommands.h"
#include "gui/shell/FeatureHost.h"

#include <memory>

class QAction;
class QMenu;

namespace velt::gui {

class GlobalFeature : public Feature, public GlobalProgramWindow {
public:
    GlobalFeature();
    ~GlobalFeature() override;
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;

    // GlobalProgramWindow: TOknoGlobalne, made for the command and freed after it.
    std::vector<std::string> ShowModal(GlobalProgram& program, const std::vector<std::string>& lines) override;

    // Where the commands run now: the catalogue, its edit session, the tabs, the record box.
    AdminScene Scene() const;

    QMenu* ProgramMenu = nullptr;       // "Program (administrator)"
    QAction* ZdalnaItem = nullptr;      // "Modyfikuj rekordy kolekcji zdalnej"
    QAction* LokalnaItem = nullptr;     // "Modyfikuj rekordy kolekcji lokalnej"
    QAction* RekordItem = nullptr;      // "Modyfikuj wskazany rekord"
    QMenu* UsunMenu = nullptr;          // "Usuń globalnie"
    QAction* UsunLokalnaItem = nullptr; // "Rekordy kolekcji lokalnej"

private:
    FeatureHost* mHost = nullptr;
    std::unique_ptr<AdministratorCommands> mCommands;
};

}  // namespace velt::gui
