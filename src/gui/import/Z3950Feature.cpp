#include "gui/import/Z3950Feature.h"

#include "editing/TEdycja.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/import/TOknoZ3950.h"
#include "gui/params/ParameterServices.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

Z3950Feature::~Z3950Feature() {
    if (!mHost) return;
    mHost->Shell().RemoveConfigurationSection(this);
    // The window's model acts for this feature: it goes with it.
    delete OknoZ3950;
}

void Z3950Feature::Install(FeatureHost& host) {
    mHost = &host;
    OknoZ3950 = new TOknoZ3950(*this, GuiPrompts::Instance(), GuiPrompts::Instance(), host.Parameters().Forms(),
                               host.Measurer(), &host.Window());
    ProtokolZ3950Item = host.Menu(MenuSlot::RecordImport)->addAction(toQString("Protokół Z3950"_cp));
    ProtokolZ3950Item->setObjectName("ProtokolZ3950Item");
    ProtokolZ3950Popup = host.Menu(MenuSlot::ImportPopup)->addAction(toQString("Protokół Z39.50"_cp));
    ProtokolZ3950Popup->setObjectName("ProtokolZ3950Popup");
    for (QAction* a : {ProtokolZ3950Item, ProtokolZ3950Popup}) {
        // Shown once the configuration names sources.
        a->setVisible(false);
        QObject::connect(a, &QAction::triggered, OknoZ3950, [this] { OknoZ3950->Open(); });
    }
    host.Shell().AddConfigurationSection(this);
}

void Z3950Feature::ReadConfiguration(const TMultiIniFile& ini) {
    OknoZ3950->Model().ReadConfiguration(ini, [](const std::string& text) { GuiPrompts::Instance().plain_message(text); });
    OknoZ3950->BuildMenus();
    const bool available = OknoZ3950->Model().Available();
    ProtokolZ3950Item->setVisible(available);
    ProtokolZ3950Popup->setVisible(available);
}

void Z3950Feature::WriteConfiguration(ProfileFile& file) { OknoZ3950->Model().WriteConfiguration(file); }

void Z3950Feature::StateChanged(const ShellState& state) {
    // Records come in for a logged-in librarian only: the window goes with the login.
    if (!state.RecordMenu && OknoZ3950->isVisible()) OknoZ3950->CloseImport();
}

void Z3950Feature::Closing() { OknoZ3950->CloseImport(); }

velt_files* Z3950Feature::Catalogue() { return mHost->Shell().Current(); }

ImportEditor* Z3950Feature::Editor() {
    mEditor.session = dynamic_cast<TEdycja*>(mHost->Shell().Flow().Editing());
    return mEditor.session ? &mEditor : nullptr;
}

const ConverterModules* Z3950Feature::Converters() { return &mHost->Shell().Converters(); }

}  // namespace velt::gui
