#include "gui/reader/ReaderFeature.h"

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/params/ParameterServices.h"
#include "gui/reader/TOknoKont.h"
#include "gui/reader/TOknoListyZamowien.h"
#include "gui/reader/TOknoZamawiania.h"
#include "gui/reports/LoanFormPrint.h"
#include "reader/ReaderAccount.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

void ReaderFeature::Install(FeatureHost& host) {
    mHost = &host;
    QWidget* window = &host.Window();
    OknoZamawiania = new TOknoZamawiania(window);
    OknoListyZamowien = new TOknoListyZamowien(host.Measurer(), window);
    KontoItem = host.Menu(MenuSlot::Account)->addAction(toQString("Przeglądanie kont"_cp));
    KontoItem->setObjectName("KontoItem");
    QObject::connect(KontoItem, &QAction::triggered, window, [this] {
        Order("&op=A");
        // What the reader did in the account shows in the tabs.
        mHost->Tabs().RebuildAll();
    });
    host.HandleEntryCommand(EntryCommandKind::Reader, [this](const std::string& command, const std::string& identifier) {
        if (!Order(command)) return;
        velt_files* files = mHost->Shell().Current();
        const std::string shown = files && !identifier.empty() ? files->ShownIdentifier(identifier) : mHost->RecordBoxText();
        mHost->Tabs().RedisplayRecord({}, shown);
    });
}

bool ReaderFeature::Order(const std::string& command) {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return false;
    ReaderServices services(*files, GuiPrompts::Instance(), this);
    return OrderWindow(
        services, *OknoZamawiania,
        [this, &services](const ReaderIdentity& reader, const std::string& password) {
            RunAccount(services, reader, password);
        },
        command);
}

void ReaderFeature::ShowAccount(const ReaderIdentity& reader, const std::string& password) {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return;
    ReaderServices services(*files, GuiPrompts::Instance(), this);
    RunAccount(services, reader, password);
}

void ReaderFeature::RunAccount(ReaderServices& services, const ReaderIdentity& reader, const std::string& password) {
    // The account, its sources and cursors live while the window is shown.
    ReaderAccount account(services, mHost->Parameters().RunContext(), reader, password);
    TOknoKont window(account, mHost->Measurer(), &mHost->Window());
    OknoKont = &window;
    window.exec();
    OknoKont = nullptr;
}

std::optional<std::string> ReaderFeature::ChooseClosedOrder() {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return std::nullopt;
    return velt::ChooseClosedOrder(*files, *OknoListyZamowien);
}

bool ReaderFeature::Enabled() { return mHost->Shell().Settings().PrintLoanForms; }

void ReaderFeature::Print(const LoanFormData& data) {
    PrintLoanForm(mHost->Shell().Settings(), data, &mHost->Window());
}

}  // namespace velt::gui
