#include "gui/params/ParameterServices.h"

#include "gui/params/TOknoParametrow.h"
#include "shell/VeltShell.h"

namespace velt::gui {

ParameterServices::ParameterServices(VeltShell& shell, Prompts& prompts, LongOperations& longOps, QWidget* parent)
    : mShell(shell), mPrompts(prompts), mLongOps(longOps), mWindow(new TOknoParametrow(prompts, parent)) {
    // Pictures of the forms come from the directory of the configuration file.
    mForms = std::make_unique<ParameterForms>(*mWindow, mSettings,
                                              [this] { return DirectoryOf(mShell.ConfigFile()); });
    mCriteria = std::make_unique<CriterionForms>(*mForms, [this] { return mShell.Settings().WorkingDirectory; });
}

ParameterServices::~ParameterServices() = default;

ItemRunContext ParameterServices::RunContext() {
    return ItemRunContext{*mForms, mPrompts, mLongOps, mShell.Settings().WorkingDirectory};
}

void ParameterServices::EditAssociations() { mShell.Associations().EditAssociations(*mForms); }

int ParameterServices::OpenWithAssociation(const std::string& file) {
    return mShell.Associations().OpenWithAssociation(file, mLauncher, mPrompts);
}

int ParameterServices::OpenOwnDocument(const std::string& file) {
    return mShell.Associations().OpenOwnDocument(file, mLauncher, mPrompts);
}

int ParameterServices::RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& directory, ProgramOrigin origin) {
    return velt::RunProgram(mLauncher, mPrompts, program, arguments, directory, kShowNormal, origin);
}

}  // namespace velt::gui
