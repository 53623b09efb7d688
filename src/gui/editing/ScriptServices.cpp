#include "gui/editing/ScriptServices.h"

#include "authority/AuthorityWindows.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/TListChoice.h"
#include "gui/common/TTreeChoice.h"
#include "gui/params/ParameterServices.h"
#include "gui/reader/ReaderFeature.h"
#include "gui/reports/ReportsFeature.h"
#include "gui/shell/FeatureHost.h"
#include "shell/VeltShell.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMainWindow>

namespace velt::gui {

QWidget* QtCommandDialogs::Parent() const {
    // Over the window the script runs in (the editing or the parameter window).
    if (QWidget* active = QApplication::activeWindow()) return active;
    return &mHost.Window();
}

std::optional<CommandFont> QtCommandDialogs::ChooseFont(const CommandFont& font) {
    QFont preset(toQString(font.face));
    if (font.size > 0) preset.setPointSize(font.size);
    preset.setBold(font.bold);
    preset.setItalic(font.italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, preset, Parent(), toQString("Czcionka"));
    if (!ok) return std::nullopt;
    CommandFont out;
    out.face = fromQString(chosen.family());
    out.charset = font.charset;  // Qt fonts cover every script; the script's own is kept
    out.size = chosen.pointSize() > 0 ? chosen.pointSize() : font.size;
    out.bold = chosen.bold();
    out.italic = chosen.italic();
    return out;
}

std::optional<std::string> QtCommandDialogs::ChooseFile(bool save, const std::string& name, const std::string& filter,
                                                        const std::string& directory) {
    QFileDialog dialog(Parent());
    dialog.setObjectName(save ? "SaveDialog1" : "OpenDialog1");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileFilter& f : ReadFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& p : f.patterns) patterns << toQString(p == "*.*" ? std::string("*") : p);
        filters << toQString(f.description) + " (" + patterns.join(' ') + ")";
    }
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    const QString file = toQPath(name);
    const QFileInfo info(file);
    dialog.setDirectory(info.isAbsolute() ? info.absolutePath() : toQPath(directory));
    if (!info.suffix().isEmpty()) dialog.setDefaultSuffix(info.suffix());
    if (!name.empty()) dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fromQPath(dialog.selectedFiles().front());
}

std::optional<std::string> QtCommandDialogs::ChooseFileToOpen(const std::string& name, const std::string& filter,
                                                              const std::string& directory) {
    return ChooseFile(false, name, filter, directory);
}

std::optional<std::string> QtCommandDialogs::ChooseFileToSave(const std::string& name, const std::string& filter,
                                                              const std::string& directory) {
    return ChooseFile(true, name, filter, directory);
}

int QtCommandDialogs::ShowListChoice(const std::vector<ListChoiceEntry>& entries) {
    TListChoice window(mHost.Measurer(), Parent());
    return window.ShowListChoice(entries);
}

int QtCommandDialogs::ShowTreeChoice(const std::vector<StructureNode>& nodes) {
    TTreeChoice window(Parent());
    return window.ShowTreeChoice(nodes);
}

ScriptServices::ScriptServices(FeatureHost& host)
    : mHost(host), mDialogs(host), mConnector(std::make_unique<ConnectingCatalogues>(GuiPrompts::Instance())) {}

ScriptServices::~ScriptServices() = default;

EditorServices ScriptServices::Services() {
    EditorServices s;
    s.dialogs = &mDialogs;
    s.authority = mHost.Find<AuthorityWindows>();
    s.labels = this;
    s.orders = this;
    s.opener = this;
    s.connector = mConnector.get();
    return s;
}

ExternalRoutine ScriptServices::ParameterCommands(std::function<EditorCommands*()> editing) {
    return [this, editing = std::move(editing)](const std::string& command) {
        if (EditorCommands* session = editing()) return session->Run(command);
        // No edit session: the commands that need one say so.
        VeltShell& shell = mHost.Shell();
        if (!mWithoutSession) mWithoutSession = std::make_unique<EditorCommands>(Services());
        EditorServices& s = mWithoutSession->Services();
        s.prompts = &GuiPrompts::Instance();
        s.files = shell.Current();
        s.workingDirectory = shell.Settings().WorkingDirectory;
        return mWithoutSession->Run(command);
    };
}

void ScriptServices::AddLabel(const std::string& identifier, const std::string& rest) {
    if (auto* reports = mHost.Find<ReportsFeature>()) AddLabels({identifier + "|" + rest}, reports->ShowContext({}));
}

std::optional<std::string> ScriptServices::ChooseClosedOrder(const std::string&) {
    auto* reader = mHost.Find<ReaderFeature>();
    return reader ? reader->ChooseClosedOrder() : std::nullopt;
}

void ScriptServices::OpenFile(const std::string& path) { mHost.Parameters().OpenWithAssociation(path); }

}  // namespace velt::gui
