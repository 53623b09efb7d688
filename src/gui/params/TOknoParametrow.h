#pragma once
// "Parametry zestawienia": the modal window of parameter forms. The form
// goes on PanelFormularza as on any form sheet; Panel1 at the bottom holds
// "Wykonaj" (Button1, the default button) and, when a search criterion
// offers sorting, "Sortowanie wyniku" (GroupBox1 with ComboBox1). What the
// form edits, the "Wykonaj" step and the answer are the core's
// (ParameterDialog); the window lays out, shows and reports.

#include "common/Prompts.h"
#include "params/ParameterForms.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QFileDialog;
class QGroupBox;
class QPushButton;

namespace velt::gui {

class FormSheet;

class TOknoParametrow : public QDialog, public ParameterWindow {
    Q_OBJECT
public:
    explicit TOknoParametrow(Prompts& prompts, QWidget* parent = nullptr);
    ~TOknoParametrow() override;

    // ParameterWindow
    bool ShowParameters(ParameterDialog& dialog) override;
    void trace(const std::string& message) override;
    void ShowFormMessages(const std::vector<FormMessage>& messages) override;
    std::string ChooseFile(const std::string& fileName, const std::string& filter) override;

    // The dialog shown now (none while the window is closed).
    ParameterDialog* Shown() const { return mDialog; }
    // Replaces the open-file dialog (tests): the file name and the filter
    // give the chosen file.
    void SetFileChooser(std::function<std::string(const std::string&, const std::string&)> chooser) {
        mChooser = std::move(chooser);
    }

    FormSheet* PanelFormularza = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Wykonaj"
    QGroupBox* GroupBox1 = nullptr;  // "Sortowanie wyniku"
    QComboBox* ComboBox1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;

    static constexpr int kPanelHeight = 46;

private:
    // "Wykonaj": the core's step; the window closes only without errors.
    void Execute();

    Prompts& mPrompts;
    ParameterDialog* mDialog = nullptr;
    std::function<std::string(const std::string&, const std::string&)> mChooser;
};

}  // namespace velt::gui
