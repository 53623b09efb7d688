// The main window's part in record editing: the editing window made once,
// the edit session made at each login (the shell starts and stops it), and
// the commands of the editing toolbar and the new-record menus.

#include "gui/shell/TForm1.h"

#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/common/GuiPrompts.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/text/TOknoDiakrytyczne.h"

#include <QAction>

namespace velt::gui {

void TForm1::MakeEditing() {
    OknoEdycji = new Tokno_edycji(this);
    OknoEdycji->onZoom = [this](double factor) { mShell->Settings().EditScale = factor; };
    OknoEdycji->onDiacritics = [this] {
        if (!Diakrytyki) Diakrytyki = new TOknoDiakrytyczne(this);
        Diakrytyki->setVisible(!Diakrytyki->isVisible());
    };
    mShell->SetEditingFactory([this](velt_files& files) -> std::unique_ptr<EditingService> {
        EditingNotifications notifications;
        // A saved or deleted record is shown again in every tab.
        notifications.changed = [this](const std::string& source, const std::string& identifier) {
            Tabs().RedisplayRecord(source, identifier);
        };
        notifications.count = [this](int count) { PokazButton->setEnabled(count > 0); };
        EditingSetup setup;
        setup.zoom = mShell->Settings().EditScale;
        const std::string& config = mShell->ConfigFile();
        setup.pictureDirectory = config.substr(0, config.find_last_of('/') + 1);
        return std::make_unique<TEdycja>(files, GuiPrompts::Instance(), *OknoEdycji, std::move(notifications), setup);
    });
}

TEdycja* TForm1::Editing() const { return dynamic_cast<TEdycja*>(mShell->Flow().Editing()); }

void TForm1::OpenRecordOfBox() {
    TEdycja* editing = Editing();
    const std::string id = RecordBoxText();
    const velt_files* files = mShell->Current();
    if (!editing || id.empty() || !files) return;
    // The form code is the identifier's first character; a VELT1 number has none.
    std::string code = id.substr(0, 1);
    if (files->DatabaseKind == kVelt1 && (code[0] == ' ' || (code[0] >= '0' && code[0] <= '9'))) code.clear();
    editing->OpenRecord(code, id);
}

void TForm1::DeleteRecordOfBox() {
    TEdycja* editing = Editing();
    const std::string id = RecordBoxText();
    if (editing && !id.empty()) editing->DeleteRecord(id);
}

void TForm1::ShowOpenRecords() {
    if (TEdycja* editing = Editing()) editing->ShowEditor();
}

void TForm1::StartNewRecord(const std::string& code) {
    if (TEdycja* editing = Editing()) editing->NewRecord(code);
}

}  // namespace velt::gui
