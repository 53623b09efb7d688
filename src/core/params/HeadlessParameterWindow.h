#pragma once
// The parameter window without a display: the form laid out over headless
// controls, the user played by a function that types, chooses and presses
// "Wykonaj" (Execute) or closes the window (leaving without Execute). What
// the window would have shown is kept for the caller: velt-cli, the tests and
// the fuzz targets use it.

#include "forms/HeadlessControls.h"
#include "params/ParameterForms.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class HeadlessParameterWindow : public ParameterWindow {
public:
    // Acts as the user while a form is shown; without it "Wykonaj" is
    // pressed once, and the window is closed when that found errors.
    std::function<void(HeadlessParameterWindow&)> user;
    // Answers the open-file dialog (none: nothing chosen).
    std::function<std::string(const std::string& fileName, const std::string& filter)> chooser;

    bool ShowParameters(ParameterDialog& dialog) override;
    void trace(const std::string& message) override { traces.push_back(message); }
    void ShowFormMessages(const std::vector<FormMessage>& messages) override;
    std::string ChooseFile(const std::string& fileName, const std::string& filter) override;

    // While a form is shown: "Wykonaj"; true when the window closed. The
    // errors that kept it open are in errors.
    bool Execute();
    // The dialog shown, its laid-out form and the main control of a field
    // (none when the form has no editor of that field).
    ParameterDialog* Dialog() const { return mDialog; }
    my_editor* Form() const { return mForm.get(); }
    HeadlessControl* Control(const std::string& field) const;
    const my_editor* Editor(const std::string& field) const;
    HeadlessControls& Controls() { return mControls; }
    // The sort entry chosen in the group box.
    int sortChoice = -1;  // -1: keep the offered one

    // What was shown.
    std::vector<std::string> titles;
    std::vector<FormSettings> settings;           // the settings of every form shown
    std::vector<SortOffer> offers;
    std::vector<std::vector<std::string>> errors;  // each refused "Wykonaj"
    std::vector<std::string> traces;
    std::vector<std::string> messages;             // the reader's and compiler's, text then line
    int shown = 0;

private:
    HeadlessControls mControls;
    std::unique_ptr<HeadlessControl> mRoot;
    std::unique_ptr<my_editor> mForm;
    std::unique_ptr<FormContext> mContext;
    ParameterDialog* mDialog = nullptr;
    bool mClosed = false;
};

}  // namespace velt
