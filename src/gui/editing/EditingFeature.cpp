#include "gui/editing/EditingFeature.h"

#include "authority/AuthorityWindows.h"
#include "catalogue/velt_files.h"
#include "editing/RecordKinds.h"
#include "editing/TEdycja.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/editing/ScriptServices.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/params/ParameterServices.h"
#include "gui/shell/SettingsFeature.h"
#include "browse/PresentationTabs.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

EditingFeature::EditingFeature() = default;
EditingFeature::~EditingFeature() = default;

void EditingFeature::Install(FeatureHost& host) {
    mHost = &host;
    QWidget* window = &host.Window();
    auto add = [window](const char* name, const std::string& text, const std::string& hint) {
        QAction* a = new QAction(toQString(text), window);
        a->setObjectName(name);
        a->setToolTip(toQString(hint));
        return a;
    };
    OtworzButton = add("OtworzButton", "Otwórz"_cp, "Otwórz rekord"_cp);
    UsunButton = add("UsunButton", "Usuń"_cp, "Usuń rekord"_cp);
    PokazButton = add("PokazButton", "Otwarte"_cp, "Pokaż otwarte rekordy"_cp);
    PokazButton->setEnabled(false);
    NowyButton = add("NowyButton", "Dodaj", "Dodaj rekord");
    for (QAction* a : {OtworzButton, UsunButton, PokazButton, NowyButton}) host.AddTool(ToolSlot::Record, a);
    QObject::connect(OtworzButton, &QAction::triggered, window, [this] { OpenRecordOfBox(); });
    QObject::connect(UsunButton, &QAction::triggered, window, [this] { DeleteRecordOfBox(); });
    QObject::connect(PokazButton, &QAction::triggered, window, [this] { ShowOpenRecords(); });
    QObject::connect(NowyButton, &QAction::triggered, window,
                     [this] { mHost->PopUnder(NowyButton, mHost->Menu(MenuSlot::NewRecordPopup)); });

    QMenu* record = host.Menu(MenuSlot::Record);
    Dodaj1 = record->addMenu(toQString("&Dodaj"));
    Dodaj1->setObjectName("Dodaj1");
    QObject::connect(record->addAction(toQString("&Otwórz"_cp)), &QAction::triggered, OtworzButton, &QAction::trigger);
    QObject::connect(record->addAction(toQString("&Usuń"_cp)), &QAction::triggered, UsunButton, &QAction::trigger);

    OknoEdycji = new Tokno_edycji(window);
    mScripts = std::make_unique<ScriptServices>(host);
    // The parameter windows' scripts command as the editing window's do.
    host.Parameters().Forms().SetCommands(mScripts->ParameterCommands([this]() -> EditorCommands* {
        TEdycja* editing = Editing();
        return editing ? &editing->Commands() : nullptr;
    }));
    VeltShell& shell = host.Shell();
    OknoEdycji->onZoom = [&shell](double factor) { shell.Settings().EditScale = factor; };
    OknoEdycji->onDiacritics = [this] {
        if (auto* settings = mHost->Find<SettingsFeature>()) settings->ToggleDiacritics();
    };
    shell.SetEditingFactory([this](velt_files& files) -> std::unique_ptr<EditingService> {
        VeltShell& shell = mHost->Shell();
        EditingNotifications notifications;
        // A saved or deleted record is shown again in every tab.
        notifications.changed = [this](const std::string& source, const std::string& identifier) {
            mHost->Tabs().RedisplayRecord(source, identifier);
            for (const ChangeListener& l : mListeners) l(source, identifier);
        };
        notifications.count = [this](int count) { PokazButton->setEnabled(count > 0); };
        EditingSetup setup;
        setup.zoom = shell.Settings().EditScale;
        const std::string& config = shell.ConfigFile();
        setup.pictureDirectory = config.substr(0, config.find_last_of('/') + 1);
        // The scripts' commands: the authority windows, dialogs, labels and the rest.
        setup.services = mScripts->Services();
        return std::make_unique<TEdycja>(files, GuiPrompts::Instance(), *OknoEdycji, std::move(notifications), setup);
    });
}

void EditingFeature::StateChanged(const ShellState& state) {
    for (QAction* a : {OtworzButton, UsunButton, PokazButton, NowyButton}) a->setVisible(state.RecordMenu);
    BuildNewRecordMenus();
}

TEdycja* EditingFeature::Editing() const { return dynamic_cast<TEdycja*>(mHost->Shell().Flow().Editing()); }

void EditingFeature::OpenRecordOfBox() {
    TEdycja* editing = Editing();
    const std::string id = mHost->RecordBoxText();
    const velt_files* files = mHost->Shell().Current();
    if (!editing || id.empty() || !files) return;
    // The form code is the identifier's first character; a VELT1 number has none.
    std::string code = id.substr(0, 1);
    if (files->DatabaseKind == kVelt1 && (code[0] == ' ' || (code[0] >= '0' && code[0] <= '9'))) code.clear();
    editing->OpenRecord(code, id);
}

void EditingFeature::DeleteRecordOfBox() {
    TEdycja* editing = Editing();
    const std::string id = mHost->RecordBoxText();
    if (editing && !id.empty()) editing->DeleteRecord(id);
}

void EditingFeature::ShowOpenRecords() {
    if (TEdycja* editing = Editing()) editing->ShowEditor();
}

void EditingFeature::StartNewRecord(const std::string& code) {
    if (TEdycja* editing = Editing()) editing->NewRecord(code);
}

void EditingFeature::BuildNewRecordMenus() {
    QMenu* popup = mHost->Menu(MenuSlot::NewRecordPopup);
    Dodaj1->clear();
    popup->clear();
    popup->addSection(toQString("Rekord VELT"));
    const velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready || !files->LoggedIn()) return;
    for (const auto& [code, caption] : ServerKindList(files->Connection()))
        for (QMenu* m : {Dodaj1, popup})
            QObject::connect(m->addAction(toQString(caption)), &QAction::triggered, &mHost->Window(),
                             [this, code = code] { StartNewRecord(code); });
}

}  // namespace velt::gui
