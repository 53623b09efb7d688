#include "gui/browse/AttachmentsFeature.h"

#include "browse/Attachments.h"
#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

void AttachmentsFeature::Install(FeatureHost& host) {
    mHost = &host;
    QWidget* window = &host.Window();
    BlobButton = new QAction(toQString("Pliki"), window);
    BlobButton->setObjectName("BlobButton");
    BlobButton->setToolTip(toQString("Pliki multimedialne"));
    BlobButton->setVisible(false);
    host.AddTool(ToolSlot::Files, BlobButton);
    BlobMenu = new QMenu(window);
    BlobMenu->setObjectName("BlobMenu");
    QObject::connect(BlobButton, &QAction::triggered, window, [this] {
        if (mHost->RecordBoxText().empty()) return;
        BuildBlobMenu();
        mHost->PopUnder(BlobButton, BlobMenu);
    });
}

void AttachmentsFeature::StateChanged(const ShellState& state) { BlobButton->setVisible(state.BlobButton); }

void AttachmentsFeature::BuildBlobMenu() {
    BlobMenu->clear();
    velt_files* files = mHost->Shell().Current();
    const std::string record = mHost->RecordBoxText();
    if (!files || !files->Ready || record.empty()) return;
    QMenu* add = BlobMenu->addMenu(toQString("Dodaj plik"));
    QMenu* remove = BlobMenu->addMenu(toQString("Usuń plik"_cp));
    QMenu* fetch = BlobMenu->addMenu(toQString("Pobierz plik"));
    AttachmentChoices choices;
    {
        BusyCursor busy(GuiPrompts::Instance());
        choices = ReadAttachmentChoices(*files, record);
    }
    QWidget* window = &mHost->Window();
    if (choices.addUnnamed)
        QObject::connect(add->addAction(toQString("załącznik do rekordu"_cp)), &QAction::triggered, window,
                         [this] { AddAttachment({}); });
    for (const std::string& n : choices.addNames)
        QObject::connect(add->addAction(toQString(n)), &QAction::triggered, window, [this, n] { AddAttachment(n); });
    const std::string identifier = files->StoredIdentifier(record);
    for (const std::string& n : choices.present) {
        QObject::connect(remove->addAction(toQString(n)), &QAction::triggered, window,
                         [this, n] { DeleteAttachment(n); });
        QObject::connect(fetch->addAction(toQString(n)), &QAction::triggered, window,
                         [this, n, identifier] { mHost->Commands().FetchAttachment(identifier, n, false); });
    }
}

void AttachmentsFeature::AddAttachment(const std::string& name, std::string file) {
    velt_files* files = mHost->Shell().Current();
    const std::string record = mHost->RecordBoxText();
    if (!files || record.empty()) return;
    if (file.empty()) {
        ShellSettings& s = mHost->Shell().Settings();
        const QString chosen = QFileDialog::getOpenFileName(&mHost->Window(), toQString("Dodaj plik"),
                                                            toQPath(s.MediaPath),
                                                            toQString("Dowolny plik (*)"));
        if (chosen.isEmpty()) return;
        s.MediaPath = fromQPath(QFileInfo(chosen).absolutePath()) + "/";
        file = fromQPath(chosen);
    }
    std::string error;
    GuiPrompts::Instance().run_with_gauge([&](const GaugeFunction& gauge) {
        error = velt::AddAttachment(*files, record, name, file,
                                    [&](std::int64_t d, std::int64_t t) { gauge(d, t); });
    });
    if (!error.empty()) show_error(error);
    mHost->Tabs().RedisplayRecord({}, record);
}

void AttachmentsFeature::DeleteAttachment(const std::string& name) {
    velt_files* files = mHost->Shell().Current();
    const std::string record = mHost->RecordBoxText();
    if (!files || record.empty()) return;
    if (ask_question("Plik "_cp + name + " zostanie usunięty. Czy jesteś pewien?"_cp) != kYes) return;
    std::string error;
    {
        BusyCursor busy(GuiPrompts::Instance());
        error = velt::DeleteAttachment(*files, record, name);
    }
    if (!error.empty()) show_error(error);
    mHost->Tabs().RedisplayRecord({}, record);
}

}  // namespace velt::gui
