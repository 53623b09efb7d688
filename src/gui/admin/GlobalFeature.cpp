#include "gui/admin/GlobalFeature.h"

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/admin/TOknoGlobalne.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/editing/EditingFeature.h"
#include "login/Rights.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

GlobalFeature::GlobalFeature() = default;
GlobalFeature::~GlobalFeature() = default;

void GlobalFeature::Install(FeatureHost& host) {
    mHost = &host;
    mCommands = std::make_unique<AdministratorCommands>(GuiPrompts::Instance(), GuiPrompts::Instance(), *this);
    QMenu* menu = host.Menu(MenuSlot::Operation);
    QWidget* window = &host.Window();
    ProgramMenu = menu->addMenu(toQString("Program (administrator)"));
    ProgramMenu->setObjectName("ProgramAdministratora1");
    ZdalnaItem = ProgramMenu->addAction(toQString("Modyfikuj rekordy kolekcji zdalnej"));
    LokalnaItem = ProgramMenu->addAction(toQString("Modyfikuj rekordy kolekcji lokalnej"));
    RekordItem = ProgramMenu->addAction(toQString("Modyfikuj wskazany rekord"));
    UsunMenu = menu->addMenu(toQString("Usuń globalnie"_cp));
    UsunMenu->setObjectName("UsunGlobalnie1");
    UsunLokalnaItem = UsunMenu->addAction(toQString("Rekordy kolekcji lokalnej"));
    QObject::connect(ZdalnaItem, &QAction::triggered, window, [this] { mCommands->ModifyRemoteCollection(Scene()); });
    QObject::connect(LokalnaItem, &QAction::triggered, window, [this] { mCommands->ModifyLocalCollection(Scene()); });
    QObject::connect(RekordItem, &QAction::triggered, window,
                     [this] { mCommands->ModifyRecord(Scene(), mHost->RecordBoxText()); });
    QObject::connect(UsunLokalnaItem, &QAction::triggered, window, [this] { mCommands->DeleteLocalCollection(Scene()); });
    StateChanged({});
}

void GlobalFeature::StateChanged(const ShellState&) {
    const velt_files* files = mHost->Shell().Current();
    const bool administrator = files && files->LoggedIn() && HasRight(files->Rights(), kAdministratorRight);
    ProgramMenu->menuAction()->setVisible(administrator);
    UsunMenu->menuAction()->setVisible(administrator);
}

AdminScene GlobalFeature::Scene() const {
    AdminScene scene;
    scene.files = mHost->Shell().Current();
    if (const auto* editing = mHost->Find<EditingFeature>()) scene.editing = editing->Editing();
    scene.tabs = &mHost->Tabs();
    scene.recordBox = mHost->RecordBoxText();
    return scene;
}

std::vector<std::string> GlobalFeature::ShowModal(GlobalProgram& program, const std::vector<std::string>& lines) {
    TOknoGlobalne window(program, lines, &mHost->Window());
    window.exec();
    return window.Lines();
}

}  // namespace velt::gui
