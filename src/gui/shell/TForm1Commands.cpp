// The main window's commands beyond the shell's: the editing toolbar and the
// menus made from the descriptor (reports, programs, new records), the
// collection commands, the attachments of the record box's record, and what
// the entries' commands ask of the windows.

#include "gui/shell/TForm1.h"

#include "browse/CollectionCommands.h"
#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/browse/Tjpg_form.h"
#include "gui/cards/CardWindows.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/params/ParameterServices.h"
#include "gui/reports/LoanFormPrint.h"
#include "gui/reports/QtPrinters.h"
#include "gui/reports/ShowReport.h"
#include "gui/text/TOknoDiakrytyczne.h"
#include "params/ProgramLauncher.h"
#include "reports/LabelFile.h"
#include "params/ServerItems.h"
#include "reports/ReportRuns.h"
#include "shell/ServerPrograms.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

Prompts& UserPrompts() { return GuiPrompts::Instance(); }

}  // namespace

void TForm1::NotYet(const std::string& what) {
    show_message(what + ": ta funkcja nie jest jeszcze dostępna w tej wersji programu"_cp);
}

std::string TForm1::CurrentRecord() { return RecordBoxText(); }

void TForm1::MakeToolbarAndMenus() {
    // The editing toolbar, in the order the system has it.
    auto add = [this](const char* name, const std::string& text, const std::string& hint) {
        QAction* a = new QAction(toQString(text), this);
        a->setObjectName(name);
        a->setToolTip(toQString(hint));
        return a;
    };
    OtworzButton = add("OtworzButton", "Otwórz"_cp, "Otwórz rekord"_cp);
    UsunButton = add("UsunButton", "Usuń"_cp, "Usuń rekord"_cp);
    PokazButton = add("PokazButton", "Otwarte"_cp, "Pokaż otwarte rekordy"_cp);
    PokazButton->setEnabled(false);
    NowyButton = add("NowyButton", "Dodaj", "Dodaj rekord");
    PowiazButton = add("PowiazButton", "Powiązania"_cp, "Modyfikuj powiązania"_cp);
    BlobButton = add("BlobButton", "Pliki", "Pliki multimedialne");
    ImportButton = add("ImportButton", "Pobieranie", "Pobieranie rekordów"_cp);
    ImportButton->setVisible(false);
    const QList<QAction*> before = EditButtons->actions();
    EditButtons->insertActions(before.isEmpty() ? nullptr : before.front(),
                               {OtworzButton, UsunButton, PokazButton, NowyButton, PowiazButton});
    EditButtons->addAction(BlobButton);
    EditButtons->addAction(ImportButton);
    LoginButton->setToolTip(toQString("Logowanie"));
    LogoutButton->setToolTip(toQString("Wylogowanie"));
    NowyMenu = new QMenu(this);
    NowyMenu->setObjectName("NowyMenu");
    ImportMenu = new QMenu(this);
    ImportMenu->setObjectName("ImportMenu");
    BlobMenu = new QMenu(this);
    BlobMenu->setObjectName("BlobMenu");
    ZestDlaMenu = new QMenu(this);
    ZestDlaMenu->setObjectName("ZestDlaMenu");
    auto popUnder = [this](QAction* button, QMenu* menu) {
        QWidget* w = EditButtons->widgetForAction(button);
        menu->popup(w ? w->mapToGlobal(QPoint(10, 10)) : QCursor::pos());
    };
    connect(OtworzButton, &QAction::triggered, this, [this] { OpenRecordOfBox(); });
    connect(UsunButton, &QAction::triggered, this, [this] { DeleteRecordOfBox(); });
    connect(PokazButton, &QAction::triggered, this, [this] { ShowOpenRecords(); });
    connect(NowyButton, &QAction::triggered, this, [this, popUnder] { popUnder(NowyButton, NowyMenu); });
    connect(PowiazButton, &QAction::triggered, this, [this] {
        if (!CurrentRecord().empty()) NotYet("Modyfikuj powiązania"_cp);
    });
    connect(BlobButton, &QAction::triggered, this, [this, popUnder] {
        if (CurrentRecord().empty()) return;
        BuildBlobMenu();
        popUnder(BlobButton, BlobMenu);
    });
    connect(ImportButton, &QAction::triggered, this, [this, popUnder] { popUnder(ImportButton, ImportMenu); });
    for (QMenu* m : {ImportMenu}) {
        connect(m->addAction(toQString("Protokół Z39.50"_cp)), &QAction::triggered, this,
                [this] { NotYet("Protokół Z39.50"_cp); });
        connect(m->addAction(toQString("Systemy VELT")), &QAction::triggered, this, [this] { NotYet("Systemy VELT"); });
    }
    const std::pair<const char*, ReportScope> scopes[] = {{"Dla kolekcji zdalnej", ReportScope::RemoteCollection},
                                                         {"Dla kolekcji lokalnej", ReportScope::LocalCollection},
                                                         {"Wyróżniony rekord", ReportScope::Record}};
    for (const auto& [caption, scope] : scopes)
        connect(ZestDlaMenu->addAction(QString::fromUtf8(caption)), &QAction::triggered, this, [this, scope = scope] {
            if (mCurrentReport) RunReportForScope(mCurrentReport->Name, scope);
        });

    // "&Rekord", after "Za&pytanie" in the menu bar's order of the system.
    Rekord1 = new QMenu(toQString("&Rekord"), this);
    Rekord1->setObjectName("Rekord1");
    menuBar()->insertMenu(Wyszukaj1->menuAction(), Rekord1);
    Dodaj1 = Rekord1->addMenu(toQString("&Dodaj"));
    Dodaj1->setObjectName("Dodaj1");
    connect(Rekord1->addAction(toQString("&Otwórz"_cp)), &QAction::triggered, OtworzButton, &QAction::trigger);
    connect(Rekord1->addAction(toQString("&Usuń"_cp)), &QAction::triggered, UsunButton, &QAction::trigger);
    QMenu* pobierz = Rekord1->addMenu(toQString("Pobierz"));
    connect(pobierz->addAction(toQString("Protokół Z3950"_cp)), &QAction::triggered, this,
            [this] { NotYet("Protokół Z39.50"_cp); });
    connect(pobierz->addAction(toQString("Systemy VELT")), &QAction::triggered, this, [this] { NotYet("Systemy VELT"); });

    Globalnie1 = new QMenu(toQString("&Operacja"), this);
    Globalnie1->setObjectName("Globalnie1");
    menuBar()->insertMenu(Logowanie1->menuAction(), Globalnie1);
    QMenu* admin = new QMenu(toQString("Program (administrator)"), Globalnie1);
    for (const char* t : {"Modyfikuj rekordy kolekcji zdalnej", "Modyfikuj rekordy kolekcji lokalnej",
                          "Modyfikuj wskazany rekord"})
        connect(admin->addAction(toQString(t)), &QAction::triggered, this,
                [this] { NotYet("Program (administrator)"); });
    ProgramAdminItem = Globalnie1->addMenu(admin);
    QMenu* usun = new QMenu(toQString("Usuń globalnie"_cp), Globalnie1);
    connect(usun->addAction(toQString("Rekordy kolekcji lokalnej")), &QAction::triggered, this,
            [this] { NotYet("Usuń globalnie"_cp); });
    UsunGlobalnieItem = Globalnie1->addMenu(usun);

    Ustawienia1 = menuBar()->addMenu(toQString("&Ustawienia"));
    Ustawienia1->setObjectName("Ustawienia1");
    QAction* znaki = Ustawienia1->addAction(toQString("Znaki diakrytyczne"));
    connect(znaki, &QAction::triggered, this, [this] {
        if (!Diakrytyki) Diakrytyki = new TOknoDiakrytyczne(this);
        Diakrytyki->setVisible(!Diakrytyki->isVisible());
    });
    QMenu* czcionka = Ustawienia1->addMenu(toQString("Czcionka"));
    connect(czcionka->addAction(toQString("Ekran")), &QAction::triggered, this, [this] {
        ShellSettings& s = mShell->Settings();
        QFont current = QApplication::font();
        if (!s.ListFont.empty()) current.setFamily(toQString(s.ListFont));
        if (s.ListFontSize > 0) current.setPointSize(static_cast<int>(s.ListFontSize));
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, this);
        if (!ok) return;
        s.ListFont = fromQString(chosen.family());
        s.ListFontSize = chosen.pointSize();
        mMeasurer->SetFont(chosen);
        Tabs().RebuildAll();
    });
    connect(czcionka->addAction(toQString("Zestawienia")), &QAction::triggered, this, [this] {
        ShellSettings& s = mShell->Settings();
        QFont current = QApplication::font();
        if (!s.ReportFont.empty()) current.setFamily(toQString(s.ReportFont));
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, this);
        if (ok) s.ReportFont = fromQString(chosen.family());
    });
    connect(Ustawienia1->addAction(toQString("Programy zewnętrzne"_cp)), &QAction::triggered, this,
            [this] { mParams->EditAssociations(); });
    QMenu* rezerwacje = Ustawienia1->addMenu(toQString("Rezerwacje (rewersy)"));
    DrukujRewersyItem = rezerwacje->addAction(toQString("Drukuj rewersy"));
    DrukujRewersyItem->setCheckable(true);
    DrukarkaRewersowItem = rezerwacje->addAction(toQString("Drukarka rewersów"_cp));
    connect(DrukujRewersyItem, &QAction::toggled, this, [this](bool on) {
        mShell->Settings().PrintLoanForms = on;
        DrukarkaRewersowItem->setEnabled(on);
    });
    connect(DrukarkaRewersowItem, &QAction::triggered, this, [this] { ChooseLoanPrinter(); });
    QMenu* inne = Ustawienia1->addMenu(toQString("Inne opcje"));
    PytajItem = inne->addAction(toQString("Pytaj przy starcie o poprzedni katalog"));
    PytajItem->setCheckable(true);
    connect(PytajItem, &QAction::toggled, this, [this](bool on) { mShell->Settings().AskForLastCatalogue = on; });
    Pomoc1 = menuBar()->addMenu(toQString("&Pomoc"));
    Pomoc1->setObjectName("Pomoc1");
    connect(Pomoc1->addAction(toQString("Podstawy użytkowania"_cp)), &QAction::triggered, this, [this] {
        const std::string help = mShell->Settings().HelpFile;
        if (help.empty() || !QFileInfo::exists(QString::fromLocal8Bit(help.c_str())))
            show_message("Brak pliku pomocy"_cp);
        else
            OpenFile(help);
    });
}

void TForm1::BuildDescriptorMenus() {
    BuildReports();
    BuildPrograms();
    BuildNewRecordMenus();
    DrukujRewersyItem->setChecked(mShell->Settings().PrintLoanForms);
    DrukarkaRewersowItem->setEnabled(mShell->Settings().PrintLoanForms);
    PytajItem->setChecked(mShell->Settings().AskForLastCatalogue);
}

void TForm1::BuildReports() {
    Zestawienie1->clear();
    mCurrentReport = nullptr;
    for (QObject* child : ReportPanel->children())
        if (auto* b = qobject_cast<QToolButton*>(child)) delete b;
    const velt_files* files = mShell->Current();
    if (!files || !files->Ready) return;
    std::map<std::string, QMenu*> groups;
    int buttons = 0;
    for (const velt_report& r : files->Reports) {
        static const std::string kinds[] = {"FORMAT", "KARTA", "TEXT", "ETYKIETA", "TABELA", "PLIK"};
        if (std::find(std::begin(kinds), std::end(kinds), r.Language) == std::end(kinds)) continue;
        QMenu* into = Zestawienie1;
        if (!r.Group.empty()) {
            QMenu*& g = groups[r.Group];
            if (!g) g = Zestawienie1->addMenu(toQString(r.Group));
            into = g;
        }
        const std::string name = r.Name;
        if (r.NoParameterForm) {
            QMenu* scopes = into->addMenu(toQString(r.Name));
            const std::pair<const char*, ReportScope> kinds[] = {
                {"Dla kolekcji zdalnej", ReportScope::RemoteCollection},
                {"Dla kolekcji lokalnej", ReportScope::LocalCollection},
                {"Wyróżniony rekord", ReportScope::Record}};
            for (const auto& [caption, scope] : kinds)
                connect(scopes->addAction(QString::fromUtf8(caption)), &QAction::triggered, this,
                        [this, name, scope = scope] { RunReportForScope(name, scope); });
        } else {
            connect(into->addAction(toQString(r.Name)), &QAction::triggered, this,
                    [this, name] { RunReportWithForm(name); });
        }
        if (!r.Icon.empty()) {
            auto* b = new QToolButton(ReportPanel);
            b->setFixedSize(26, 26);
            b->setToolTip(toQString(r.Name));
            b->setAutoRaise(true);
            const PictureInfo info = mMeasurer->FilePicture(r.Icon);
            if (const QImage* image = mMeasurer->Picture(info.id); image && !image->isNull()) {
                b->setIcon(QIcon(QPixmap::fromImage(*image)));
                b->setIconSize(QSize(info.width, info.height));
            }
            ReportPanel->layout()->addWidget(b);
            ++buttons;
            const bool withForm = !r.NoParameterForm;
            const velt_report* report = &r;
            connect(b, &QToolButton::clicked, this, [this, withForm, report, name] {
                if (withForm) {
                    RunReportWithForm(name);
                    return;
                }
                mCurrentReport = report;
                ZestDlaMenu->popup(QCursor::pos());
            });
        }
    }
    ReportPanel->setVisible(buttons > 0);
}

void TForm1::BuildPrograms() {
    // The program items go; the last two items stay.
    const QList<QAction*> actions = Globalnie1->actions();
    for (QAction* a : actions)
        if (a != ProgramAdminItem && a != UsunGlobalnieItem) {
            Globalnie1->removeAction(a);
            a->deleteLater();
        }
    const velt_files* files = mShell->Current();
    const bool admin = files && files->Ready && files->Session->Rights().find("administrowanie") != std::string::npos;
    ProgramAdminItem->setVisible(admin);
    UsunGlobalnieItem->setVisible(admin);
    if (!files || !files->Ready) return;
    QAction* before = ProgramAdminItem;
    for (std::size_t i = 0; i < files->Programs.size(); ++i) {
        const velt_programm& p = files->Programs[i];
        const auto modes = ProgramModes(p);
        const std::size_t index = i;
        auto run = [this, index](ProgramMode mode) {
            velt_files* f = mShell->Current();
            if (!f || index >= f->Programs.size()) return;
            std::string error;
            const std::string records =
                ProgramRecords(mode, CurrentRecord(), Tabs().Local() ? &Tabs().Local()->Collection() : nullptr, *f, error);
            if (!error.empty()) {
                plain_message(error);
                return;
            }
            ItemRunContext context = mParams->RunContext();
            RunProgramItem(*f, f->Programs[index], records, context,
                           [this] { Tabs().RedisplayRecord({}, CurrentRecord()); });
        };
        if (p.Options.empty()) {
            QAction* a = new QAction(toQString(p.Name), Globalnie1);
            connect(a, &QAction::triggered, this, [run] { run(ProgramMode::Automatic); });
            Globalnie1->insertAction(before, a);
            continue;
        }
        QMenu* sub = new QMenu(toQString(p.Name), Globalnie1);
        for (const auto& [mode, caption] : modes) {
            const ProgramMode m = mode;
            connect(sub->addAction(toQString(caption)), &QAction::triggered, this, [run, m] { run(m); });
        }
        Globalnie1->insertMenu(before, sub);
    }
}

void TForm1::BuildNewRecordMenus() {
    Dodaj1->clear();
    NowyMenu->clear();
    NowyMenu->addSection(toQString("Rekord VELT"));
    const velt_files* files = mShell->Current();
    if (!files || !files->Ready || !files->Session->LoggedIn()) return;
    std::string pairs = files->Session->Parameter("formularze");
    if (pairs.empty()) pairs = files->Session->Parameter("rekordy");
    // code "|" caption "|" pairs
    std::size_t at = 0;
    while (at < pairs.size()) {
        const auto b1 = pairs.find('|', at);
        if (b1 == std::string::npos) break;
        const auto b2 = pairs.find('|', b1 + 1);
        if (b2 == std::string::npos) break;
        const std::string code = pairs.substr(at, b1 - at);
        const std::string caption = pairs.substr(b1 + 1, b2 - b1 - 1);
        for (QMenu* m : {Dodaj1, NowyMenu})
            connect(m->addAction(toQString(caption)), &QAction::triggered, this,
                    [this, code] { StartNewRecord(code); });
        at = b2 + 1;
    }
}

// --- entries' commands -------------------------------------------------------

void TForm1::ShowJpeg(const std::string& path) {
    if (!JpgForm) JpgForm = new Tjpg_form(this);
    JpgForm->ShowFile(path);
}

void TForm1::OpenFile(const std::string& path) {
    // The file associations of "Programy zewnętrzne" first; the desktop's
    // program for the type only after the user agreed; never a program.
    mParams->OpenWithAssociation(path);
}

void TForm1::StartProgram(const std::string& program, const std::string& parameters) {
    const std::string trimmed(TrimSpaces(program));
    if (trimmed.empty()) return;
    // The entry names the program: the user sees exactly what would run,
    // with its arguments as a list.
    const std::string found = FindProgram(trimmed);
    const int result = mParams->RunProgram(found.empty() ? trimmed : found, SplitParameters(parameters),
                                           fromQString(QCoreApplication::applicationDirPath()), ProgramOrigin::Server);
    if (result <= 32 && result != kProgramRefused) show_error("Nie można uruchomić programu "_cp + trimmed);
}

bool TForm1::PrintLoanForm(const std::string& id, const std::string& card, const std::string& readerName,
                           const std::string& dateTime, const std::string& description, const std::string& shelfmark,
                           const std::string& sn, PrinterChoice* printers) {
    ShellSettings& settings = mShell->Settings();
    LoanFormData data{id, card, readerName, dateTime, description, shelfmark, sn, settings.LabelText1,
                      settings.LabelText2};
    LoanFormPrinting how;
    how.description = settings.LoanForm;
    how.printer = settings.LoanPrinter;
    how.settingsFile = settings.LoanPrinterSettings;
    how.configured = settings.ConfigurationRead;
    how.libraryName = settings.LibraryName;
    how.parent = this;
    how.error = [](const std::string& text) { GuiPrompts::Instance().show_error(text); };
    how.printers = printers;
    const bool printed = gui::PrintLoanForm(data, how);
    if (settings.ConfigurationRead) settings.LoanPrinter = how.printer;
    return printed;
}

void TForm1::ChooseLoanPrinter(PrinterChoice* printers) {
    ShellSettings& settings = mShell->Settings();
    std::string name = settings.LoanPrinter;
    PrinterChoice& choice = printers ? *printers : Printers();
    if (choice.ChoosePrinter(name, settings.LoanPrinterSettings, nullptr)) settings.LoanPrinter = name;
}

ReportShowContext TForm1::ReportContext(const std::string& plikTarget) {
    ReportShowContext context{this, mShell->Settings().ReportFont,
                              [](const std::string& text) { GuiPrompts::Instance().show_error(text); }};
    const std::string& labels = mShell->Settings().LabelFile;
    context.labelFile = !labels.empty() && labels[0] == '/' ? labels : mShell->Settings().WorkingDirectory + labels;
    context.labelProgram = mShell->Settings().LabelProgram;
    context.libraryName = mShell->Settings().LibraryName;
    context.label1 = mShell->Settings().LabelText1;
    context.label2 = mShell->Settings().LabelText2;
    context.plikTarget = plikTarget;
    context.open = [this](const std::string& path) { OpenFile(path); };
    context.cards = std::make_shared<CardWindows>(this, Printers(), GuiPrompts::Instance());
    return context;
}

void TForm1::ShowReportFile(const velt_report& report, const std::string& file, const std::string& plikTarget) {
    const ReportShowContext context = ReportContext(plikTarget);
    if (!ShowReport(report, file, context)) {
        QFile::remove(QString::fromLocal8Bit(file.c_str()));
        NotYet("Zestawienie \""_cp + report.Name + "\"");
    }
}

void TForm1::RunReportForScope(const std::string& name, ReportScope scope) {
    velt_files* f = mShell->Current();
    if (!f || !f->Ready) return;
    const velt_report* found = nullptr;
    for (const velt_report& r : f->Reports)
        if (r.Name == name && r.NoParameterForm && !found) found = &r;
    if (!found) return;
    const velt_report chosen = *found;  // the descriptor may go while the request runs
    std::vector<std::string> ids;
    if (scope == ReportScope::LocalCollection) {
        if (coll_serwer* local = Tabs().Local()) {
            VrCollection& c = local->Collection();
            for (std::int64_t n = c.FirstNumber(); n; n = c.NextNumber(n))
                ids.push_back(f->ShownIdentifier(f->RecordIdentifier(static_cast<std::int32_t>(n))));
        }
    } else if (scope == ReportScope::Record) {
        const std::string id(TrimBlanks(CurrentRecord()));
        if (!id.empty()) ids.push_back(id);
    }
    std::string target;
    if (chosen.Language == "PLIK" && !AskPlikTarget(this, chosen, mShell->Settings().WorkingDirectory, target)) return;
    ItemRunContext context = mParams->RunContext();
    const std::string file = RunScopedReport(*f, chosen, scope, ReportRecordList(ids), "", context);
    if (!file.empty()) ShowReportFile(chosen, file, target);
}

bool TForm1::RunReportElement(const std::string& argument) {
    velt_files* f = mShell->Current();
    if (!f || !f->Ready) return true;
    std::string given, values;
    const velt_report* report = ElementReport(*f, argument, given);
    if (!report) return true;  // no report of that name with a form: nothing happens
    RunReportWithForm(*report, given);
    return true;
}

void TForm1::RunReportWithForm(const velt_report& report, const std::string& given) {
    velt_files* f = mShell->Current();
    if (!f || !f->Ready) return;
    std::string values;
    const velt_report chosen = report;  // the descriptor may go while the form is open
    ItemRunContext context = mParams->RunContext();
    if (!AskReportParameters(chosen, given, mShell->Settings().ReportValues, context, values)) return;
    std::string target;
    if (chosen.Language == "PLIK" && !AskPlikTarget(this, chosen, mShell->Settings().WorkingDirectory, target)) return;
    const std::string file = RunParameterReport(*f, chosen, values, context);
    if (!file.empty()) ShowReportFile(chosen, file, target);
}

void TForm1::RunReportWithForm(const std::string& name) {
    const velt_files* f = mShell->Current();
    if (!f) return;
    for (const velt_report& r : f->Reports)
        if (r.Name == name && !r.NoParameterForm) return RunReportWithForm(r, {});
}

bool TForm1::LaterCommand(EntryCommandKind kind, const std::string& argument, const std::string&) {
    switch (kind) {
        case EntryCommandKind::Bar: AddLabels(ElementLabelLines(argument), ReportContext({})); return true;
        case EntryCommandKind::Raport: return RunReportElement(argument);
        case EntryCommandKind::Operacja: {
            velt_files* f = mShell->Current();
            if (!f || !f->Ready) return true;
            ItemRunContext context = mParams->RunContext();
            if (RunOperation(*f, argument, context)) Tabs().RedisplayRecord({}, CurrentRecord());
            return true;
        }
        case EntryCommandKind::Struktura:
        case EntryCommandKind::Powiazania: NotYet("Modyfikuj powiązania"_cp); return true;
        case EntryCommandKind::Reader: NotYet("Usługi dla czytelnika"_cp); return true;
        default: return false;
    }
}

// --- collection commands -----------------------------------------------------

void TForm1::MakeCollectionMenu() {
    Wyszukaj1->addSeparator();
    QMenu* zachowaj = Wyszukaj1->addMenu(toQString("Zachowaj kolekcję"_cp));
    connect(zachowaj->addAction(toQString("Lokalną"_cp)), &QAction::triggered, this, [this] { SaveLocalCollection(); });
    connect(zachowaj->addAction(toQString("Zdalną"_cp)), &QAction::triggered, this, [this] { SaveRemoteCollectionFile(); });
    QMenu* odtworz = Wyszukaj1->addMenu(toQString("Odtwórz kolekcję"_cp));
    connect(odtworz->addAction(toQString("Lokalną"_cp)), &QAction::triggered, this, [this] { RestoreLocalCollection(); });
    connect(odtworz->addAction(toQString("Zdalną"_cp)), &QAction::triggered, this, [this] { RestoreRemoteCollection(); });
    QMenu* kopiuj = Wyszukaj1->addMenu(toQString("Skopiuj kolekcję"_cp));
    connect(kopiuj->addAction(toQString("Zdalną do lokalnej"_cp)), &QAction::triggered, this, [this] { CopyRemoteToLocal(); });
    connect(kopiuj->addAction(toQString("Lokalną do zdalnej"_cp)), &QAction::triggered, this, [this] { CopyLocalToRemote(); });
    QMenu* skasuj = Wyszukaj1->addMenu(toQString("Skasuj kolekcję"_cp));
    connect(skasuj->addAction(toQString("Lokalną"_cp)), &QAction::triggered, this, [this] { DeleteLocalCollection(); });
    Kolekcja1 = zachowaj;
}

namespace {

QString Dir(const std::string& d) { return QString::fromLocal8Bit(d.c_str()); }
const char* kFilter = "Pliki kolekcji (*.num)";

}  // namespace

void TForm1::SaveLocalCollection(std::string file) {
    coll_serwer* local = Tabs().Local();
    velt_files* files = mShell->Current();
    if (!local || !files || local->Collection().CountNumbers() == 0) return;
    if (file.empty()) {
        QFileDialog d(this, toQString("Zachowaj kolekcję"_cp), Dir(mShell->Settings().WorkingDirectory), kFilter);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix("num");
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return;
        file = d.selectedFiles().front().toLocal8Bit().toStdString();
    }
    const std::string error = SaveCollectionFile(file, local->Collection(), files->Rules());
    if (!error.empty()) plain_message(error);
}

void TForm1::RestoreLocalCollection(std::string file) {
    coll_serwer* local = Tabs().Local();
    velt_files* files = mShell->Current();
    if (!local || !files) return;
    if (file.empty()) {
        file = QFileDialog::getOpenFileName(this, toQString("Odtwórz kolekcję"_cp), Dir(mShell->Settings().WorkingDirectory),
                                            kFilter)
                   .toLocal8Bit()
                   .toStdString();
        if (file.empty()) return;
    }
    if (!ReadCollectionFile(file).opened) {
        plain_message("Błąd otwarcia pliku "_cp + file);
        return;
    }
    local->Collection().Clear();
    LoadCollectionFile(file, local->Collection(), files->Rules());
    Tabs().ShowInLocal(local->First());
    Tabs().RefreshAllChecks();
    Tabs().Activate(Tabs().FindTab(PresentationTabs::LocalCaption()));
}

void TForm1::SaveRemoteCollectionFile(std::string file) {
    velt_files* files = mShell->Current();
    if (!files || files->RemoteCollection == 0) return;
    if (!files->Session->VersionAtLeast("2003.03.21")) {
        plain_message("Niedostępne dla tej wersji serwera"_cp);
        return;
    }
    if (file.empty()) {
        QFileDialog d(this, toQString("Zachowaj kolekcję"_cp), Dir(mShell->Settings().WorkingDirectory), kFilter);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix("num");
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return;
        file = d.selectedFiles().front().toLocal8Bit().toStdString();
    }
    std::string error;
    bool wrote = false;
    GuiPrompts::Instance().run_with_progress("Tworzenie zestawienia", [&] { error = SaveRemoteCollection(*files, file, wrote); });
    if (!error.empty()) plain_message(error);
}

void TForm1::RestoreRemoteCollection(std::string file) {
    velt_files* files = mShell->Current();
    if (!files) return;
    if (file.empty()) {
        file = QFileDialog::getOpenFileName(this, toQString("Odtwórz kolekcję"_cp), Dir(mShell->Settings().WorkingDirectory),
                                            kFilter)
                   .toLocal8Bit()
                   .toStdString();
        if (file.empty()) return;
    }
    const CollectionFileLines lines = ReadCollectionFile(file);
    if (!lines.opened) {
        plain_message("Błąd otwarcia pliku "_cp + file);
        return;
    }
    const std::string query = RecordListQuery(lines.lines);
    std::int32_t n = 0;
    {
        BusyCursor busy(UserPrompts());
        n = mSearch->History().RunQuery(query);
    }
    if (n == 0) return;
    mSearch->History().AddToHistory("\"" + QFileInfo(Dir(file)).fileName().toLocal8Bit().toStdString() + "\"", n, query);
    Tabs().ShowRemoteCollection(n);
}

void TForm1::CopyRemoteToLocal() {
    coll_serwer* local = Tabs().Local();
    velt_files* files = mShell->Current();
    if (!local || !files) return;
    std::string error;
    GuiPrompts::Instance().run_with_progress("Tworzenie zestawienia", [&] {
        error = velt::CopyRemoteToLocal(*files, local->Collection(), mShell->Settings().WorkingDirectory);
    });
    if (!error.empty()) plain_message(error);
    Tabs().ShowInLocal(local->First());
    Tabs().RefreshAllChecks();
    if (files->RemoteCollection != 0) Tabs().Activate(Tabs().FindTab(PresentationTabs::LocalCaption()));
}

void TForm1::CopyLocalToRemote() {
    coll_serwer* local = Tabs().Local();
    velt_files* files = mShell->Current();
    if (!local || !files) return;
    const std::string query = LocalCollectionQuery(local->Collection(), *files);
    std::int32_t n = 0;
    {
        BusyCursor busy(UserPrompts());
        n = mSearch->History().RunQuery(query);
    }
    if (n == 0) return;
    mSearch->History().AddToHistory("Kolekcja lokalna", n, query);
    Tabs().ShowRemoteCollection(n);
}

void TForm1::DeleteLocalCollection() {
    coll_serwer* local = Tabs().Local();
    if (!local) return;
    local->Collection().Clear();
    Tabs().ShowInLocal({});
    Tabs().RefreshAllChecks();
}

// --- attachments -------------------------------------------------------------

void TForm1::BuildBlobMenu() {
    BlobMenu->clear();
    velt_files* files = mShell->Current();
    const std::string record = CurrentRecord();
    if (!files || !files->Ready || record.empty()) return;
    const std::string identifier = files->StoredIdentifier(record);
    QMenu* add = BlobMenu->addMenu(toQString("Dodaj plik"));
    QMenu* remove = BlobMenu->addMenu(toQString("Usuń plik"_cp));
    QMenu* fetch = BlobMenu->addMenu(toQString("Pobierz plik"));
    // The names a file may be added under: the descriptor's, or the server's.
    std::vector<std::string> names;
    for (const AttachmentNames& a : files->Attachments)
        if (!a.Prefix.empty() && a.Prefix[0] == record[0] && !a.Names.empty()) {
            names = a.Names;
            break;
        }
    auto split = [](const std::string& text) {
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at <= text.size()) {
            const auto bar = text.find('|', at);
            const std::string part = text.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
            if (!part.empty()) out.push_back(part);
            if (bar == std::string::npos) break;
            at = bar + 1;
        }
        return out;
    };
    if (names.empty() && files->Session->VersionAtLeast("2007.10.30")) names = split(files->Session->AttachmentKinds(identifier));
    if (names.empty()) {
        connect(add->addAction(toQString("załącznik do rekordu"_cp)), &QAction::triggered, this,
                [this] { AddAttachment({}); });
    }
    for (const std::string& n : names)
        connect(add->addAction(toQString(n)), &QAction::triggered, this, [this, n] { AddAttachment(n); });
    for (const std::string& n : split(files->Session->AttachmentList(identifier))) {
        connect(remove->addAction(toQString(n)), &QAction::triggered, this, [this, n] { DeleteAttachment(n); });
        connect(fetch->addAction(toQString(n)), &QAction::triggered, this, [this, n, identifier] {
            mCommands->FetchAttachment(identifier, n, false);
        });
    }
}

void TForm1::AddAttachment(const std::string& name, std::string file) {
    velt_files* files = mShell->Current();
    const std::string record = CurrentRecord();
    if (!files || record.empty()) return;
    if (file.empty()) {
        ShellSettings& s = mShell->Settings();
        const QString chosen = QFileDialog::getOpenFileName(this, toQString("Dodaj plik"), Dir(s.MediaPath),
                                                            toQString("Dowolny plik (*)"));
        if (chosen.isEmpty()) return;
        s.MediaPath = QFileInfo(chosen).absolutePath().toLocal8Bit().toStdString() + "/";
        file = chosen.toLocal8Bit().toStdString();
    }
    const std::string identifier = files->StoredIdentifier(record);
    std::string error;
    GuiPrompts::Instance().run_with_gauge([&](const GaugeFunction& gauge) {
        const auto progress = [&](std::int64_t d, std::int64_t t) { gauge(d, t); };
        error = name.empty() ? files->Session->AttachmentAdd(identifier, file, progress)
                             : files->Session->AttachmentAddAs(identifier, name, file, progress);
    });
    if (!error.empty() && !files->Session->Broken()) show_error(error);
    Tabs().RedisplayRecord({}, record);
}

void TForm1::DeleteAttachment(const std::string& name) {
    velt_files* files = mShell->Current();
    const std::string record = CurrentRecord();
    if (!files || record.empty()) return;
    if (ask_question("Plik "_cp + name + " zostanie usunięty. Czy jesteś pewien?"_cp) != kYes) return;
    std::string error;
    {
        BusyCursor busy(UserPrompts());
        error = files->Session->AttachmentDelete(files->StoredIdentifier(record), name);
    }
    if (!error.empty() && !files->Session->Broken()) show_error(error);
    Tabs().RedisplayRecord({}, record);
}

}  // namespace velt::gui
