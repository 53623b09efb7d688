#include "gui/import/RtkFeature.h"

#include "browse/PresentationTabs.h"
#include "editing/TEdycja.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/import/TOknoRTK.h"
#include "gui/links/LinksFeature.h"
#include "gui/search/SearchFeature.h"
#include "gui/shell/DesktopServices.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

RtkFeature::~RtkFeature() {
    if (!mHost) return;
    mHost->Shell().RemoveConfigurationSection(this);
    // The window's model acts for this feature: it goes with it.
    delete OknoRTK;
}

void RtkFeature::Install(FeatureHost& host) {
    mHost = &host;
    OknoRTK = new TOknoRTK(*this, GuiPrompts::Instance(), GuiPrompts::Instance(), host.Measurer(), &host.Window());
    SystemyVeltItem = host.Menu(MenuSlot::RecordImport)->addAction(toQString("Systemy VELT"));
    SystemyVeltItem->setObjectName("SystemyVeltItem");
    SystemyVeltPopup = host.Menu(MenuSlot::ImportPopup)->addAction(toQString("Systemy VELT"));
    SystemyVeltPopup->setObjectName("SystemyVeltPopup");
    for (QAction* a : {SystemyVeltItem, SystemyVeltPopup}) {
        // Shown once the configuration names source catalogues.
        a->setVisible(false);
        QObject::connect(a, &QAction::triggered, OknoRTK, [this] { OknoRTK->Open(); });
    }
    host.Shell().AddConfigurationSection(this);
}

void RtkFeature::ReadConfiguration(const TMultiIniFile& ini) {
    OknoRTK->Model().ReadConfiguration(ini);
    OknoRTK->BuildMenus();
    const bool available = !OknoRTK->Model().Settings().Sources().empty();
    SystemyVeltItem->setVisible(available);
    SystemyVeltPopup->setVisible(available);
}

void RtkFeature::WriteConfiguration(ProfileFile& file) { OknoRTK->Model().WriteConfiguration(file); }

void RtkFeature::StateChanged(const ShellState& state) {
    // Records come in for a logged-in librarian only: the window goes with the login.
    if (!state.RecordMenu && OknoRTK->isVisible()) OknoRTK->CloseImport();
}

void RtkFeature::Closing() { OknoRTK->CloseImport(); }

velt_files* RtkFeature::Local() { return mHost->Shell().Current(); }

ImportEditor* RtkFeature::Editor() {
    mEditor.session = dynamic_cast<TEdycja*>(mHost->Shell().Flow().Editing());
    return mEditor.session ? &mEditor : nullptr;
}

const ConverterModules* RtkFeature::Converters() { return &mHost->Shell().Converters(); }

std::string RtkFeature::AskCriteria(velt_files& source, int& sort) {
    auto* search = mHost->Find<SearchFeature>();
    return search ? search->AskCriteria(source, sort) : std::string();
}

void RtkFeature::ChooseForImport(velt_files& source, const std::string& identifier, const std::string& structure,
                                 std::function<void(const std::string&)> take,
                                 std::function<void(const std::string&)> convert) {
    auto* links = mHost->Find<LinksFeature>();
    if (!links) return;
    LinkCallback fetch, change;
    if (take) fetch = [take](const std::string& shown) {
        take(shown);
        return true;
    };
    if (convert) change = [convert](const std::string& shown) {
        convert(shown);
        return true;
    };
    links->ChooseForImport(source, identifier, structure, change, fetch);
}

void RtkFeature::ShowPicture(const std::string& file) { mHost->Desktop().ShowJpeg(file); }

void RtkFeature::OpenFile(const std::string& file) { mHost->Desktop().OpenFile(file); }

void RtkFeature::ReloadConfiguration() {
    const std::string& config = mHost->Shell().ConfigFile();
    if (config.empty()) return;
    ReadConfiguration(TMultiIniFile(config));
}

std::string RtkFeature::WorkingDirectory() { return mHost->Shell().Settings().WorkingDirectory; }

std::string RtkFeature::RecordBoxText() { return mHost->RecordBoxText(); }

void RtkFeature::RecordChanged(const std::string& identifier) { mHost->Tabs().RedisplayRecord(identifier, identifier); }

}  // namespace velt::gui
