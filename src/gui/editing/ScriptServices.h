#pragma once
// What the form scripts' commands reach beyond the edit session
// (editing/EditorCommands.h): the font, file, list and tree dialogs, the
// label file, the closed orders, files opened with their programs and other
// catalogues. The editing window's scripts get them through the session;
// the parameter window's scripts through the same session while there is
// one, otherwise through commands of their own without a session.

#include "editing/EditorCommands.h"

#include <functional>
#include <memory>

class QWidget;

namespace velt::gui {

class FeatureHost;

class QtCommandDialogs : public CommandDialogs {
public:
    explicit QtCommandDialogs(FeatureHost& host) : mHost(host) {}

    std::optional<CommandFont> ChooseFont(const CommandFont& font) override;
    std::optional<std::string> ChooseFileToOpen(const std::string& name, const std::string& filter,
                                                const std::string& directory) override;
    std::optional<std::string> ChooseFileToSave(const std::string& name, const std::string& filter,
                                                const std::string& directory) override;
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override;
    int ShowTreeChoice(const std::vector<StructureNode>& nodes) override;

private:
    std::optional<std::string> ChooseFile(bool save, const std::string& name, const std::string& filter,
                                          const std::string& directory);
    QWidget* Parent() const;

    FeatureHost& mHost;
};

class ScriptServices : public LabelPrinter, public ClosedOrdersChooser, public FileOpener {
public:
    explicit ScriptServices(FeatureHost& host);
    ~ScriptServices() override;

    // The services for an edit session's commands (prompts, catalogue and
    // session are the session's own).
    EditorServices Services();

    // The command function of the parameter window's scripts: the edit
    // session's (editing() gives it, or none) or one without a session.
    ExternalRoutine ParameterCommands(std::function<EditorCommands*()> editing);

    void AddLabel(const std::string& identifier, const std::string& rest) override;
    std::optional<std::string> ChooseClosedOrder(const std::string& argument) override;
    void OpenFile(const std::string& path) override;

private:
    FeatureHost& mHost;
    QtCommandDialogs mDialogs;
    std::unique_ptr<ConnectingCatalogues> mConnector;
    std::unique_ptr<EditorCommands> mWithoutSession;
};

}  // namespace velt::gui
