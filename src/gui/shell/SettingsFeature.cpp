#include "gui/shell/SettingsFeature.h"

#include "browse/PresentationTabs.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/params/ParameterServices.h"
#include "gui/reports/LoanFormPrint.h"
#include "gui/shell/DesktopServices.h"
#include "gui/text/TOknoDiakrytyczne.h"
#include "params/ProgramLauncher.h"
#include "shell/ShellSettings.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFontDialog>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

void SettingsFeature::Install(FeatureHost& host) {
    mHost = &host;
    QWidget* window = &host.Window();
    QMenu* menu = host.Menu(MenuSlot::Settings);
    QObject::connect(menu->addAction(toQString("Znaki diakrytyczne")), &QAction::triggered, window,
                     [this] { ToggleDiacritics(); });
    QMenu* czcionka = menu->addMenu(toQString("Czcionka"));
    QObject::connect(czcionka->addAction(toQString("Ekran")), &QAction::triggered, window, [this, window] {
        ShellSettings& s = mHost->Shell().Settings();
        QFont current = QApplication::font();
        if (!s.ListFont.empty()) current.setFamily(toQString(s.ListFont));
        if (s.ListFontSize > 0) current.setPointSize(static_cast<int>(s.ListFontSize));
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, window);
        if (!ok) return;
        s.ListFont = fromQString(chosen.family());
        s.ListFontSize = chosen.pointSize();
        mHost->Measurer().SetFont(chosen);
        mHost->Tabs().RebuildAll();
    });
    QObject::connect(czcionka->addAction(toQString("Zestawienia")), &QAction::triggered, window, [this, window] {
        ShellSettings& s = mHost->Shell().Settings();
        QFont current = QApplication::font();
        if (!s.ReportFont.empty()) current.setFamily(toQString(s.ReportFont));
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, window);
        if (ok) s.ReportFont = fromQString(chosen.family());
    });
    QObject::connect(menu->addAction(toQString("Programy zewnętrzne"_cp)), &QAction::triggered, window,
                     [this] { mHost->Parameters().EditAssociations(); });
    Rezerwacje1 = menu->addMenu(toQString("Rezerwacje (rewersy)"));
    Rezerwacje1->setObjectName("Rezerwacje1");
    DrukujRewersyItem = Rezerwacje1->addAction(toQString("Drukuj rewersy"));
    DrukujRewersyItem->setCheckable(true);
    DrukarkaRewersowItem = Rezerwacje1->addAction(toQString("Drukarka rewersów"_cp));
    QObject::connect(DrukujRewersyItem, &QAction::toggled, window, [this](bool on) {
        mHost->Shell().Settings().PrintLoanForms = on;
        DrukarkaRewersowItem->setEnabled(on);
    });
    QObject::connect(DrukarkaRewersowItem, &QAction::triggered, window,
                     [this] { ChooseLoanPrinter(mHost->Shell().Settings()); });
    QMenu* inne = menu->addMenu(toQString("Inne opcje"));
    PytajItem = inne->addAction(toQString("Pytaj przy starcie o poprzedni katalog"));
    PytajItem->setCheckable(true);
    QObject::connect(PytajItem, &QAction::toggled, window,
                     [this](bool on) { mHost->Shell().Settings().AskForLastCatalogue = on; });

    QMenu* help = host.Menu(MenuSlot::Help);
    QObject::connect(help->addAction(toQString("Podstawy użytkowania"_cp)), &QAction::triggered, window, [this] {
        const std::string named = mHost->Shell().Settings().HelpFile;
        const std::string file = HelpDocument(named, fromQPath(QCoreApplication::applicationDirPath()) + "/");
        if (file.empty()) {
            show_message("Brak pliku pomocy"_cp);
        } else if (!named.empty()) {
            mHost->Desktop().OpenFile(file);
        } else if (mHost->Parameters().OpenOwnDocument(file) == kProgramNoAssociation) {
            // The guide is there but nothing on this desktop opens it.
            show_error("Brak programu, który otworzyłby plik "_cp + file);
        }
    });
}

void SettingsFeature::StateChanged(const ShellState&) { ShowSettings(); }

void SettingsFeature::DescriptorChanged() { ShowSettings(); }

void SettingsFeature::ShowSettings() {
    const ShellSettings& s = mHost->Shell().Settings();
    // The loan forms: only with a loan form, and not when nothing is written back.
    Rezerwacje1->menuAction()->setVisible(!s.LoanForm.empty());
    Rezerwacje1->menuAction()->setEnabled(!s.NoWrite);
    DrukujRewersyItem->setChecked(s.PrintLoanForms);
    DrukarkaRewersowItem->setEnabled(s.PrintLoanForms);
    PytajItem->setChecked(s.AskForLastCatalogue);
}

void SettingsFeature::ToggleDiacritics() {
    if (!Diakrytyki) Diakrytyki = new TOknoDiakrytyczne(&mHost->Window());
    Diakrytyki->setVisible(!Diakrytyki->isVisible());
}

}  // namespace velt::gui
