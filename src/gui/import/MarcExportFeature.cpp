#include "gui/import/MarcExportFeature.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

namespace {

// The file dialog's filters, in the order of MarcFileFormat.
const char* const kFilters[] = {"MARC 21 UTF-8 (*.mrc)", "MARC 21 MARC-8 (*.mrc)", "MARCXML (*.xml)"};

}  // namespace

void MarcExportFeature::Install(FeatureHost& host) {
    mHost = &host;
    mFlow = std::make_unique<MarcExportFlow>(host.Shell(), host.Tabs(), GuiPrompts::Instance(), GuiPrompts::Instance(),
                                             *this);
    QWidget* window = &host.Window();
    EksportMenu = host.Menu(MenuSlot::Query)->addMenu(toQString("Eksport MARC"));
    EksportMenu->setObjectName("EksportMenu");
    QAction* remote = EksportMenu->addAction(toQString("Kolekcji zdalnej"));
    remote->setObjectName("EksportZdalnejItem");
    QObject::connect(remote, &QAction::triggered, window, [this] { mFlow->ExportRemote(); });
    QAction* local = EksportMenu->addAction(toQString("Kolekcji lokalnej"));
    local->setObjectName("EksportLokalnejItem");
    QObject::connect(local, &QAction::triggered, window, [this] { mFlow->ExportLocal(); });
    QAction* record = EksportMenu->addAction(toQString("Rekordu"));
    record->setObjectName("EksportRekorduItem");
    QObject::connect(record, &QAction::triggered, window, [this] { mFlow->ExportRecord(mHost->RecordBoxText()); });
    EksportMenu->setEnabled(false);
}

void MarcExportFeature::StateChanged(const ShellState&) {
    // Records leave a catalogue that is there.
    velt_files* files = mHost->Shell().Current();
    EksportMenu->setEnabled(files != nullptr);
}

bool MarcExportFeature::AskExportFile(const std::string& title, const std::string& directory, std::string& file,
                                      MarcFileFormat& format) {
    QFileDialog d(&mHost->Window(), toQString(title), toQPath(directory));
    d.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const char* f : kFilters) filters << QString::fromLatin1(f);
    d.setNameFilters(filters);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
    const int chosen = static_cast<int>(filters.indexOf(d.selectedNameFilter()));
    format = chosen == 2 ? MarcFileFormat::MarcXml : chosen == 1 ? MarcFileFormat::Marc8 : MarcFileFormat::Marc21;
    QString path = d.selectedFiles().front();
    if (!path.contains('.')) path += format == MarcFileFormat::MarcXml ? ".xml" : ".mrc";
    file = fromQPath(path);
    return true;
}

}  // namespace velt::gui
