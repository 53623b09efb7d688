#include "gui/params/ProgramsFeature.h"

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/params/ParameterServices.h"
#include "params/ServerItems.h"
#include "shell/ServerPrograms.h"
#include "shell/VeltShell.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

void ProgramsFeature::Install(FeatureHost& host) {
    mHost = &host;
    host.HandleEntryCommand(EntryCommandKind::Operacja, [this](const std::string& argument, const std::string&) {
        velt_files* f = mHost->Shell().Current();
        if (!f || !f->Ready) return;
        ItemRunContext context = mHost->Parameters().RunContext();
        if (RunOperation(*f, argument, context)) mHost->Tabs().RedisplayRecord({}, mHost->RecordBoxText());
    });
}

void ProgramsFeature::StateChanged(const ShellState&) { BuildPrograms(); }

void ProgramsFeature::DescriptorChanged() { BuildPrograms(); }

void ProgramsFeature::BuildPrograms() {
    QMenu* menu = mHost->Menu(MenuSlot::Operation);
    // The program items go before anything else of the menu.
    QAction* before = nullptr;
    for (QAction* a : menu->actions())
        if (std::find(mItems.begin(), mItems.end(), a) == mItems.end()) {
            before = a;
            break;
        }
    for (QAction* a : mItems) {
        menu->removeAction(a);
        if (a->menu()) a->menu()->deleteLater();
        a->deleteLater();
    }
    mItems.clear();
    const velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return;
    QWidget* window = &mHost->Window();
    for (std::size_t i = 0; i < files->Programs.size(); ++i) {
        const velt_programm& p = files->Programs[i];
        const std::size_t index = i;
        auto run = [this, index](ProgramMode mode) {
            velt_files* f = mHost->Shell().Current();
            if (!f || index >= f->Programs.size()) return;
            std::string error;
            const std::string record = mHost->RecordBoxText();
            coll_serwer* local = mHost->Tabs().Local();
            const std::string records =
                ProgramRecords(mode, record, local ? &local->Collection() : nullptr, *f, error);
            if (!error.empty()) {
                plain_message(error);
                return;
            }
            ItemRunContext context = mHost->Parameters().RunContext();
            RunProgramItem(*f, f->Programs[index], records, context,
                           [this] { mHost->Tabs().RedisplayRecord({}, mHost->RecordBoxText()); });
        };
        if (p.Options.empty()) {
            QAction* a = new QAction(toQString(p.Name), menu);
            QObject::connect(a, &QAction::triggered, window, [run] { run(ProgramMode::Automatic); });
            menu->insertAction(before, a);
            mItems.push_back(a);
            continue;
        }
        QMenu* sub = new QMenu(toQString(p.Name), menu);
        for (const auto& [mode, caption] : ProgramModes(p)) {
            const ProgramMode m = mode;
            QObject::connect(sub->addAction(toQString(caption)), &QAction::triggered, window, [run, m] { run(m); });
        }
        mItems.push_back(menu->insertMenu(before, sub));
    }
}

}  // namespace velt::gui
