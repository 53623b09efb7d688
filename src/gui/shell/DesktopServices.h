#pragma once
// What the entries' commands and the features ask of the desktop: the
// picture viewer, opening a file with the program the user set for it,
// starting a program an entry names (after asking), and the entries'
// commands that belong to features, passed to the feature that took them.

#include "shell/EntryCommands.h"

#include <functional>
#include <map>
#include <string>

class QWidget;

namespace velt::gui {

class ParameterServices;
class Tjpg_form;

class DesktopServices : public EntryWindows {
public:
    using Handler = std::function<void(const std::string& argument, const std::string& identifier)>;

    DesktopServices(ParameterServices& parameters, QWidget* parent);

    // EntryWindows
    void ShowJpeg(const std::string& path) override;
    void OpenFile(const std::string& path) override;
    void StartProgram(const std::string& program, const std::string& parameters) override;
    bool LaterCommand(EntryCommandKind kind, const std::string& argument, const std::string& identifier) override;

    // The commands of kind go to handler from now on.
    void Handle(EntryCommandKind kind, Handler handler) { mHandlers[kind] = std::move(handler); }
    // The picture viewer, once a picture was shown.
    Tjpg_form* JpgForm() const { return mJpgForm; }

private:
    ParameterServices& mParameters;
    QWidget* mParent;
    Tjpg_form* mJpgForm = nullptr;
    std::map<EntryCommandKind, Handler> mHandlers;
};

}  // namespace velt::gui
