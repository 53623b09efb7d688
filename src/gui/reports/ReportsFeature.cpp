#include "gui/reports/ReportsFeature.h"

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/params/ParameterServices.h"
#include "gui/cards/CardWindows.h"
#include "gui/reports/QtPrinters.h"
#include "gui/shell/DesktopServices.h"
#include "params/ServerItems.h"
#include "reports/LabelFile.h"
#include "reports/ReportMenu.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>

#include <map>

namespace velt::gui {

void ReportsFeature::Install(FeatureHost& host) {
    mHost = &host;
    // KARTA reports open in the catalogue card window.
    mCards = std::make_shared<CardWindows>(&host.Window(), Printers(), GuiPrompts::Instance());
    QWidget* window = &host.Window();
    ReportPanel = new QWidget(window);
    ReportPanel->setObjectName("ReportPanel");
    auto* buttons = new QHBoxLayout(ReportPanel);
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->setAlignment(Qt::AlignLeft);
    ReportPanel->hide();
    host.AddSideWidget(ReportPanel);
    ZestDlaMenu = new QMenu(window);
    ZestDlaMenu->setObjectName("ZestDlaMenu");
    for (const auto& [scope, caption] : ReportScopeItems())
        QObject::connect(ZestDlaMenu->addAction(toQString(caption)), &QAction::triggered, window,
                         [this, scope = scope] {
                             if (!mCurrentReport.empty()) RunReportForScope(mCurrentReport, scope);
                         });
    host.HandleEntryCommand(EntryCommandKind::Bar, [this](const std::string& argument, const std::string&) {
        AddLabels(ElementLabelLines(argument), ShowContext({}));
    });
    host.HandleEntryCommand(EntryCommandKind::Raport, [this](const std::string& argument, const std::string&) {
        velt_files* f = mHost->Shell().Current();
        if (!f || !f->Ready) return;
        std::string given;
        // No report of that name with a form: nothing happens.
        if (const velt_report* report = ElementReport(*f, argument, given)) RunReportWithForm(*report, given);
    });
}

void ReportsFeature::DescriptorChanged() {
    QMenu* menu = mHost->Menu(MenuSlot::Report);
    menu->clear();
    mCurrentReport.clear();
    for (QObject* child : ReportPanel->children())
        if (auto* b = qobject_cast<QToolButton*>(child)) delete b;
    const velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) {
        ReportPanel->hide();
        return;
    }
    const std::vector<ReportMenuEntry> entries = ReportMenuEntries(files->Reports);
    std::map<std::string, QMenu*> groups;
    QWidget* window = &mHost->Window();
    int shownButtons = 0;
    for (const ReportMenuEntry& e : entries) {
        QMenu* into = menu;
        if (!e.group.empty()) {
            QMenu*& g = groups[e.group];
            if (!g) g = menu->addMenu(toQString(e.group));
            into = g;
        }
        const std::string name = e.name;
        if (!e.withForm) {
            QMenu* scopes = into->addMenu(toQString(e.name));
            for (const auto& [scope, caption] : ReportScopeItems())
                QObject::connect(scopes->addAction(toQString(caption)), &QAction::triggered, window,
                                 [this, name, scope = scope] { RunReportForScope(name, scope); });
        } else {
            QObject::connect(into->addAction(toQString(e.name)), &QAction::triggered, window,
                             [this, name] { RunReportWithForm(name); });
        }
        if (e.icon.empty()) continue;
        auto* b = new QToolButton(ReportPanel);
        b->setFixedSize(26, 26);
        b->setToolTip(toQString(e.name));
        b->setAutoRaise(true);
        const PictureInfo info = mHost->Measurer().FilePicture(e.icon);
        if (const QImage* image = mHost->Measurer().Picture(info.id); image && !image->isNull()) {
            b->setIcon(QIcon(QPixmap::fromImage(*image)));
            b->setIconSize(QSize(info.width, info.height));
        }
        ReportPanel->layout()->addWidget(b);
        ++shownButtons;
        const bool withForm = e.withForm;
        QObject::connect(b, &QToolButton::clicked, window, [this, withForm, name] {
            if (withForm) {
                RunReportWithForm(name);
                return;
            }
            mCurrentReport = name;
            ZestDlaMenu->popup(QCursor::pos());
        });
    }
    ReportPanel->setVisible(shownButtons > 0);
}

ReportShowContext ReportsFeature::ShowContext(const std::string& plikTarget) {
    ShellSettings& settings = mHost->Shell().Settings();
    ReportShowContext context{&mHost->Window(), settings.ReportFont,
                              [](const std::string& text) { GuiPrompts::Instance().show_error(text); }};
    const std::string& labels = settings.LabelFile;
    context.labelFile = !labels.empty() && labels[0] == '/' ? labels : settings.WorkingDirectory + labels;
    context.labelProgram = settings.LabelProgram;
    context.libraryName = settings.LibraryName;
    context.label1 = settings.LabelText1;
    context.label2 = settings.LabelText2;
    context.plikTarget = plikTarget;
    context.open = [this](const std::string& path) { mHost->Desktop().OpenFile(path); };
    context.cards = mCards;
    context.launcher = &mHost->Parameters().Launcher();
    return context;
}

void ReportsFeature::ShowReportFile(const velt_report& report, const std::string& file, const std::string& plikTarget) {
    if (!ShowReport(report, file, ShowContext(plikTarget)))
        show_message("Zestawienie \""_cp + report.Name + "\": tego rodzaju zestawień program nie pokazuje"_cp);
}

void ReportsFeature::RunReportForScope(const std::string& name, ReportScope scope) {
    velt_files* f = mHost->Shell().Current();
    if (!f || !f->Ready) return;
    const velt_report* found = nullptr;
    for (const velt_report& r : f->Reports)
        if (r.Name == name && r.NoParameterForm && !found) found = &r;
    if (!found) return;
    const velt_report chosen = *found;  // the descriptor may go while the request runs
    std::vector<std::string> ids;
    PresentationTabs& tabs = mHost->Tabs();
    if (scope == ReportScope::LocalCollection) {
        if (coll_serwer* local = tabs.Local()) {
            VrCollection& c = local->Collection();
            for (std::int64_t n = c.FirstNumber(); n; n = c.NextNumber(n))
                ids.push_back(f->ShownIdentifier(f->RecordIdentifier(static_cast<std::int32_t>(n))));
        }
    } else if (scope == ReportScope::Record) {
        const std::string id(TrimBlanks(mHost->RecordBoxText()));
        if (!id.empty()) ids.push_back(id);
    }
    ShellSettings& settings = mHost->Shell().Settings();
    std::string target;
    if (ParseReportKind(chosen.Language) == ReportKind::Plik &&
        !AskPlikTarget(&mHost->Window(), chosen, settings.WorkingDirectory, target))
        return;
    ItemRunContext context = mHost->Parameters().RunContext();
    const std::string file = RunScopedReport(*f, chosen, scope, ReportRecordList(ids), "", context);
    if (!file.empty()) ShowReportFile(chosen, file, target);
}

void ReportsFeature::RunReportWithForm(const velt_report& report, const std::string& given) {
    velt_files* f = mHost->Shell().Current();
    if (!f || !f->Ready) return;
    ShellSettings& settings = mHost->Shell().Settings();
    std::string values;
    const velt_report chosen = report;  // the descriptor may go while the form is open
    ItemRunContext context = mHost->Parameters().RunContext();
    if (!AskReportParameters(chosen, given, settings.ReportValues, context, values)) return;
    std::string target;
    if (ParseReportKind(chosen.Language) == ReportKind::Plik &&
        !AskPlikTarget(&mHost->Window(), chosen, settings.WorkingDirectory, target))
        return;
    const std::string file = RunParameterReport(*f, chosen, values, context);
    if (!file.empty()) ShowReportFile(chosen, file, target);
}

void ReportsFeature::RunReportWithForm(const std::string& name) {
    const velt_files* f = mHost->Shell().Current();
    if (!f) return;
    for (const velt_report& r : f->Reports)
        if (r.Name == name && !r.NoParameterForm) return RunReportWithForm(r, {});
}

}  // namespace velt::gui
