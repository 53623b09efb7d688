#include "gui/shell/DesktopServices.h"

#include "gui/browse/Tjpg_form.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/params/ParameterServices.h"
#include "params/ProgramLauncher.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <QCoreApplication>

namespace velt::gui {

DesktopServices::DesktopServices(ParameterServices& parameters, QWidget* parent)
    : mParameters(parameters), mParent(parent) {}

void DesktopServices::ShowJpeg(const std::string& path) {
    if (!mJpgForm) mJpgForm = new Tjpg_form(mParent);
    mJpgForm->ShowFile(path);
}

void DesktopServices::OpenFile(const std::string& path) {
    // The file associations of "Programy zewnętrzne" first; the desktop's
    // program for the type only after the user agreed; never a program.
    mParameters.OpenWithAssociation(path);
}

void DesktopServices::StartProgram(const std::string& program, const std::string& parameters) {
    const std::string trimmed(TrimSpaces(program));
    if (trimmed.empty()) return;
    // The entry names the program: the user sees exactly what would run,
    // with its arguments as a list.
    const std::string found = FindProgram(trimmed);
    const int result = mParameters.RunProgram(found.empty() ? trimmed : found, SplitParameters(parameters),
                                              fromQPath(QCoreApplication::applicationDirPath()),
                                              ProgramOrigin::Server);
    if (result <= 32 && result != kProgramRefused) show_error("Nie można uruchomić programu "_cp + trimmed);
}

bool DesktopServices::LaterCommand(EntryCommandKind kind, const std::string& argument, const std::string& identifier) {
    const auto found = mHandlers.find(kind);
    if (found == mHandlers.end()) return false;
    found->second(argument, identifier);
    return true;
}

}  // namespace velt::gui
