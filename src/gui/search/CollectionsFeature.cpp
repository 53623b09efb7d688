#include "gui/search/CollectionsFeature.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "search/SearchService.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

namespace {

const char* kFilter = "Pliki kolekcji (*.num)";

}  // namespace

void CollectionsFeature::Install(FeatureHost& host) {
    mHost = &host;
    mFlows = std::make_unique<CollectionFlows>(host.Shell(), host.Tabs(), host.Search().History(),
                                               GuiPrompts::Instance(), GuiPrompts::Instance(), *this);
    QMenu* menu = host.Menu(MenuSlot::Query);
    QWidget* window = &host.Window();
    menu->addSeparator();
    QMenu* zachowaj = menu->addMenu(toQString("Zachowaj kolekcję"_cp));
    QObject::connect(zachowaj->addAction(toQString("Lokalną"_cp)), &QAction::triggered, window,
                     [this] { mFlows->SaveLocal(); });
    QObject::connect(zachowaj->addAction(toQString("Zdalną"_cp)), &QAction::triggered, window,
                     [this] { mFlows->SaveRemote(); });
    QMenu* odtworz = menu->addMenu(toQString("Odtwórz kolekcję"_cp));
    QObject::connect(odtworz->addAction(toQString("Lokalną"_cp)), &QAction::triggered, window,
                     [this] { mFlows->RestoreLocal(); });
    QObject::connect(odtworz->addAction(toQString("Zdalną"_cp)), &QAction::triggered, window,
                     [this] { mFlows->RestoreRemote(); });
    QMenu* kopiuj = menu->addMenu(toQString("Skopiuj kolekcję"_cp));
    QObject::connect(kopiuj->addAction(toQString("Zdalną do lokalnej"_cp)), &QAction::triggered, window,
                     [this] { mFlows->CopyRemoteToLocal(); });
    QObject::connect(kopiuj->addAction(toQString("Lokalną do zdalnej"_cp)), &QAction::triggered, window,
                     [this] { mFlows->CopyLocalToRemote(); });
    QMenu* skasuj = menu->addMenu(toQString("Skasuj kolekcję"_cp));
    QObject::connect(skasuj->addAction(toQString("Lokalną"_cp)), &QAction::triggered, window,
                     [this] { mFlows->DeleteLocal(); });
}

std::string CollectionsFeature::AskSaveFile(const std::string& title, const std::string& directory) {
    QFileDialog d(&mHost->Window(), toQString(title), toQPath(directory), kFilter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix("num");
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return fromQPath(d.selectedFiles().front());
}

std::string CollectionsFeature::AskOpenFile(const std::string& title, const std::string& directory) {
    return fromQPath(QFileDialog::getOpenFileName(&mHost->Window(), toQString(title), toQPath(directory),
                                        kFilter));
}

}  // namespace velt::gui
