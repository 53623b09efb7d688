#pragma once
// The parameter forms of the program in one place: the window "Parametry
// zestawienia", the core's ParameterForms over it with the program's form
// settings, the criteria's parameter window for the search service, the
// program launcher, and the file associations of the shell ("Programy
// zewnętrzne", opening files). The main window makes one and hands its
// parts to whoever needs them.

#include "common/Prompts.h"
#include "params/FileAssociations.h"
#include "params/ParameterForms.h"
#include "params/ServerItems.h"
#include "gui/params/QtProgramLauncher.h"

#include <memory>

class QWidget;

namespace velt {
class VeltShell;
}

namespace velt::gui {

class TOknoParametrow;

class ParameterServices {
public:
    ParameterServices(VeltShell& shell, Prompts& prompts, LongOperations& longOps, QWidget* parent);
    ~ParameterServices();

    TOknoParametrow& Window() { return *mWindow; }
    ParameterForms& Forms() { return *mForms; }
    // The search service's parameter window of criteria.
    CriterionParameters& Criteria() { return *mCriteria; }
    ProgramLauncher& Launcher() { return mLauncher; }
    // What programs and reports with a form run with (the working directory of now).
    ItemRunContext RunContext();

    // "Programy zewnętrzne": the associations edited in their form.
    void EditAssociations();
    // Opens a file with its associated program; the result code.
    int OpenWithAssociation(const std::string& file);
    // Opens a document of the program's own (its guide) without asking; the result code.
    int OpenOwnDocument(const std::string& file);
    // Starts a program (result code); one named by the server asks first.
    int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& directory, ProgramOrigin origin);

private:
    VeltShell& mShell;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    FormSettings mSettings;
    TOknoParametrow* mWindow;
    std::unique_ptr<ParameterForms> mForms;
    std::unique_ptr<CriterionForms> mCriteria;
    QtProgramLauncher mLauncher;
};

}  // namespace velt::gui
