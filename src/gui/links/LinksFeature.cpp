#include "gui/links/LinksFeature.h"

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/editing/EditingFeature.h"
#include "gui/links/TOknoPowiazan.h"
#include "gui/links/TWyborPowiazan.h"
#include "gui/params/ParameterServices.h"
#include "gui/reader/ReaderFeature.h"
#include "gui/shell/DesktopServices.h"
#include "links/LinkEditing.h"
#include "params/ServerItems.h"
#include "shell/ServerPrograms.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

LinksFeature::LinksFeature() = default;

LinksFeature::~LinksFeature() {
    // The window goes with the main window; the model it points at goes first.
    if (mWindow) mWindow->SetModel(nullptr);
}

void LinksFeature::Install(FeatureHost& host) {
    mHost = &host;
    QWidget* window = &host.Window();
    PowiazaniaButton = new QAction(toQString("Powiązania"_cp), window);
    PowiazaniaButton->setObjectName("PowiazaniaButton");
    PowiazaniaButton->setToolTip(toQString("Modyfikuj powiązania"_cp));
    PowiazaniaButton->setVisible(false);
    host.AddTool(ToolSlot::Links, PowiazaniaButton);
    QObject::connect(PowiazaniaButton, &QAction::triggered, window, [this] { ShowLinksOfRecordBox(); });

    host.HandleEntryCommand(EntryCommandKind::Powiazania, [this](const std::string& argument, const std::string& id) {
        velt_files* files = mHost->Shell().Current();
        if (!files) return;
        const std::string record = id.empty() ? files->StoredIdentifier(mHost->RecordBoxText()) : id;
        ShowLinks(record, argument);
    });
    host.HandleEntryCommand(EntryCommandKind::Struktura, [this](const std::string& argument, const std::string&) {
        velt_files* files = mHost->Shell().Current();
        if (!files) return;
        // The record as the record box takes it, then the structure.
        const auto first = argument.find_first_not_of(' ');
        const std::string text = first == std::string::npos ? std::string() : argument.substr(first);
        const PipeSplit parts = SplitAtPipe(text);
        ShowLinks(files->StoredIdentifier(std::string(TrimSpaces(parts.head))), std::string(TrimSpaces(parts.tail)));
    });
    if (auto* editing = host.Find<EditingFeature>())
        editing->AddChangeListener([this](const std::string& source, const std::string& identifier) {
            velt_files* files = mHost->Shell().Current();
            const std::string& shown = identifier.empty() ? source : identifier;
            if (mSchema && files == mSchemaFiles && !shown.empty()) mSchema->RefreshLinks(files->StoredIdentifier(shown));
        });
}

LinkSchema* LinksFeature::SchemaForCatalogue() {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return nullptr;
    if (!mWindow) mWindow = new TOknoPowiazan(mHost->Measurer(), &mHost->Window());
    if (!mSchema || mSchemaFiles != files) {
        mWindow->SetModel(nullptr);
        mSchema = std::make_unique<LinkSchema>(*files, *mWindow, *this, GuiPrompts::Instance(), GuiPrompts::Instance());
        mSchemaFiles = files;
        mWindow->SetModel(mSchema.get());
        ApplyAccessMode();
        BuildOperations();
    }
    mSchema->SetCaptionFormat(mHost->Tabs().TreeFormat());
    mWindow->SetFonts(mHost->Measurer().Font());
    return mSchema.get();
}

void LinksFeature::ShowLinks(const std::string& identifier, const std::string& structure) {
    if (identifier.empty()) return;
    if (LinkSchema* schema = SchemaForCatalogue()) schema->ShowLinks(identifier, structure);
}

void LinksFeature::ShowLinksOfRecordBox() {
    velt_files* files = mHost->Shell().Current();
    const std::string typed(TrimSpaces(mHost->RecordBoxText()));
    if (!files || typed.empty()) return;
    ShowLinks(files->StoredIdentifier(typed), kDefaultStructure);
}

void LinksFeature::StateChanged(const ShellState& state) {
    mState = state;
    const velt_files* files = mHost->Shell().Current();
    const bool structure = files && files->Ready && files->FormatByType(kDefaultStructure) != 0;
    PowiazaniaButton->setVisible(state.LinksButton || (state.RecordMenu && structure));
    // The model of a catalogue that is gone goes with its window.
    if (mSchema && mSchemaFiles != files) {
        if (mWindow) {
            mWindow->SetModel(nullptr);
            mWindow->close();
        }
        mSchema.reset();
        mSchemaFiles = nullptr;
    }
    ApplyAccessMode();
    BuildOperations();
}

void LinksFeature::DescriptorChanged() { BuildOperations(); }

void LinksFeature::Closing() {
    if (mWindow) mWindow->close();
    if (mChoice && mChoice->isVisible()) mChoice->reject();
}

void LinksFeature::ApplyAccessMode() {
    if (!mSchema) return;
    const velt_files* files = mHost->Shell().Current();
    const bool loggedIn = files && files->LoggedIn();
    TEdycja* editing = Editing();
    mSchema->SetAccessMode(AccessModeFor(loggedIn, editing && !editing->Kinds().Empty(),
                                         files ? files->DatabaseKind : kVelt2));
}

void LinksFeature::BuildOperations() {
    if (!mWindow) return;
    QMenu* menu = mWindow->Operacja1;
    menu->clear();
    const velt_files* files = mHost->Shell().Current();
    if (files && files->Ready && files == mSchemaFiles) {
        for (std::size_t i = 0; i < files->Programs.size(); ++i) {
            const velt_programm& p = files->Programs[i];
            // The links program itself is the window's own business.
            if (p.Call.rfind("WIAZANIE", 0) == 0) continue;
            auto run = [this, i](ProgramMode mode) {
                velt_files* f = mHost->Shell().Current();
                if (!f || !mSchema || i >= f->Programs.size()) return;
                std::string error;
                const std::string record = f->ShownIdentifier(mSchema->Displayed());
                coll_serwer* local = mHost->Tabs().Local();
                const std::string records = ProgramRecords(mode, record, local ? &local->Collection() : nullptr, *f, error);
                if (!error.empty()) {
                    GuiPrompts::Instance().plain_message(error);
                    return;
                }
                ItemRunContext context = mHost->Parameters().RunContext();
                RunProgramItem(*f, f->Programs[i], records, context, [this] {
                    if (mSchema && !mSchema->Displayed().empty()) mSchema->RefreshLinks(mSchema->Displayed());
                });
            };
            if (p.Options.empty()) {
                QObject::connect(menu->addAction(toQString(p.Name)), &QAction::triggered, mWindow,
                                 [run] { run(ProgramMode::Automatic); });
                continue;
            }
            QMenu* sub = menu->addMenu(toQString(p.Name));
            for (const auto& [mode, caption] : ProgramModes(p)) {
                const ProgramMode m = mode;
                QObject::connect(sub->addAction(toQString(caption)), &QAction::triggered, mWindow, [run, m] { run(m); });
            }
        }
    }
    if (mSchema) mSchema->SetAccessMode(mSchema->AccessMode());
}

TWyborPowiazan* LinksFeature::Choice() {
    if (!mChoice) mChoice = new TWyborPowiazan(mHost->Measurer(), &mHost->Window());
    return mChoice;
}

std::string LinksFeature::ChooseInList(velt_files& files, const std::string& identifier, const std::string& structure,
                                       LinkCallback pick, LinkCallback goTo) {
    return Choice()->Model().ChooseInList(files, identifier, structure, std::move(pick), std::move(goTo));
}

std::string LinksFeature::ChooseInTree(velt_files& files, const std::string& identifier, const std::string& structure,
                                       LinkCallback pick, LinkCallback goTo, std::int32_t componentFormat) {
    return Choice()->Model().ChooseInTree(files, identifier, structure, std::move(pick), std::move(goTo),
                                          componentFormat);
}

std::string LinksFeature::ChooseForImport(velt_files& files, const std::string& identifier,
                                          const std::string& structure, LinkCallback convert, LinkCallback fetch) {
    return Choice()->Model().ChooseForImport(files, identifier, structure, std::move(convert), std::move(fetch));
}

VrCollection* LinksFeature::LocalCollection() {
    coll_serwer* local = mHost->Tabs().Local();
    return local && local->Ready() ? &local->Collection() : nullptr;
}

void LinksFeature::ShowInLocal(std::int64_t number) {
    PresentationTabs& tabs = mHost->Tabs();
    coll_serwer* local = tabs.Local();
    if (!local) return;
    tabs.ShowInLocal(number > 0 ? coll_serwer::KeyOf(number) : local->First());
    tabs.RefreshAllChecks();
}

bool LinksFeature::GoTo(const std::string& typed) {
    const std::string text(TrimSpaces(typed));
    if (text.empty()) return false;
    return mHost->Tabs().GoTo(text);
}

void LinksFeature::GoToRecordInIndex(const std::string& record, const std::string& index) {
    mHost->Tabs().LocateInTab(record, index);
}

void LinksFeature::FindInIndex(const std::string& index, const std::string& text) {
    PresentationTabs& tabs = mHost->Tabs();
    const int tab = tabs.FindTab(index);
    if (tab < 0) return;
    tabs.Activate(tab);
    mHost->SeekInActive(text);
}

void LinksFeature::ShowPicture(const std::string& path) { mHost->Desktop().ShowJpeg(path); }

void LinksFeature::OpenFile(const std::string& path) { mHost->Desktop().OpenFile(path); }

void LinksFeature::StartProgram(const std::string& program, const std::string& parameters) {
    mHost->Desktop().StartProgram(program, parameters);
}

void LinksFeature::PrintLabels(const std::string& pairs) {
    mHost->Desktop().LaterCommand(EntryCommandKind::Bar, pairs, {});
}

bool LinksFeature::PlaceOrder(const std::string& command) {
    auto* reader = mHost->Find<ReaderFeature>();
    return reader && reader->Order(command);
}

void LinksFeature::RunTableReport(const std::string& argument) {
    mHost->Desktop().LaterCommand(EntryCommandKind::Raport, argument, {});
}

bool LinksFeature::RunOperation(const std::string& argument) {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return false;
    ItemRunContext context = mHost->Parameters().RunContext();
    return velt::RunOperation(*files, argument, context);
}

void LinksFeature::RecordChanged(const std::string& shown) { mHost->Tabs().RedisplayRecord({}, shown); }

TEdycja* LinksFeature::Editing() {
    auto* editing = mHost->Find<EditingFeature>();
    return editing ? editing->Editing() : nullptr;
}

std::string LinksFeature::WorkingDirectory() { return mHost->Shell().Settings().WorkingDirectory; }

}  // namespace velt::gui
