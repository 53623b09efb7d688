#pragma once
// Asking the user for values through a parameter form ("Parametry
// zestawienia"), without the window: the record a form edits, the settings
// the window imposes while it is open, the "Wykonaj" step, the answer as a
// pair text, the sorting a search criterion may offer, and the bridge that
// turns a form text and a script text received from the server into a shown
// form. The window (ParameterWindow) only lays the form out, shows it and
// reports the user's choice; tests drive it with headless controls.
//
// Texts from the server are read from memory, never written to fixed work
// files: two instances of the program share the working directory.

#include "forms/EventScriptHost.h"
#include "forms/FormReader.h"
#include "forms/my_editor.h"
#include "lang/EventScripts.h"
#include "params/PairText.h"
#include "text/my_record.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class ParameterDialog;

// A form's event callback that is told which laid-out form its field
// refreshes go to (none once the form is gone).
class ParameterEvents : public FormHost {
public:
    virtual void Attach(my_editor* form) { mForm = form; }

protected:
    my_editor* mForm = nullptr;
};

// What the core asks of the parameter window.
class ParameterWindow {
public:
    virtual ~ParameterWindow() = default;
    // Shows the dialog's form modally: lays it out for the dialog's record
    // with its host and settings (Attach), offers its sorting, and on
    // "Wykonaj" asks Execute, closing only when that found no error (the
    // errors are shown and the window stays open otherwise). True when it
    // closed through "Wykonaj"; the chosen sorting goes to SetChosenSort.
    virtual bool ShowParameters(ParameterDialog& dialog) = 0;
    // The window's published trace: the message as a plain message.
    virtual void trace(const std::string& message) = 0;
    // The reader's and the compiler's messages about a form or its script.
    virtual void ShowFormMessages(const std::vector<FormMessage>& messages) = 0;
    // The open-file dialog; the chosen file, or empty.
    virtual std::string ChooseFile(const std::string& fileName, const std::string& filter) = 0;
};

// The sorting offered with the next form: "bez sortowania" and the names.
struct SortOffer {
    std::vector<std::string> items;  // empty: no sorting offered
    int selected = 0;
};

// One showing of a parameter form.
class ParameterDialog {
public:
    ParameterDialog(std::string title, const my_formular& form, const std::string& initial, FormHost* callback,
                    FormSettings settings, SortOffer sort);

    const std::string& Title() const { return mTitle; }
    const my_formular& Form() const { return mForm; }
    my_record& Record() { return mRecord; }
    // The host the layout reports to: the callback, or one that ignores events.
    FormHost& Host();
    const FormSettings& Settings() const { return mSettings; }
    const SortOffer& Sort() const { return mSort; }
    void SetChosenSort(int index) { mChosenSort = index; }
    int ChosenSort() const { return mChosenSort; }

    // The window laid the form out (or removed it: none).
    void Attach(my_editor* form);
    // "Wykonaj": commits the control being edited, raises the HELP event of
    // "WYKONAJ" (the script validates or computes values then), and returns
    // the errors that keep the window open: the record's errors and every
    // value a pair text cannot carry. Empty: the answer may go.
    std::vector<std::string> Execute();
    // Every field of the record in record order ("||" without fields).
    std::string Answer() const { return RecordPairs(mRecord); }

private:
    std::string mTitle;
    const my_formular& mForm;
    my_record mRecord;
    FormHost* mCallback;
    ParameterEvents* mEvents;
    FormSettings mSettings;
    SortOffer mSort;
    int mChosenSort = 0;
    my_editor* mLaidOut = nullptr;
    std::vector<my_error> mExecuteErrors;  // what the last "WYKONAJ" added
};

// The window's width and height for a form: the form's right edge + 2, but
// at least 5 pixels right of the sort group box when it is shown, else of
// "Wykonaj"; the form's bottom edge + the bottom panel + 10.
struct WindowSize {
    int width = 0;
    int height = 0;
};
WindowSize ParameterWindowSize(const my_formular& form, const FormSettings& settings, int panelHeight,
                               int executeRight, int sortRight, bool sortShown);

// The settings the window imposes while a form is shown: maximum
// occurrence 999, decimal separator ",", mask font "Courier New/-14/B", and
// spins and combos storing what they show (the answer is what the user saw).
FormSettings ParameterSettings(FormSettings base);

class ParameterForms {
public:
    // settings: the program's form settings, imposed on while a form is
    // shown and restored afterwards; pictures of the forms come from the
    // directory pictureDirectory gives (ending with "/").
    ParameterForms(ParameterWindow& window, FormSettings& settings, std::function<std::string()> pictureDirectory);
    ~ParameterForms();

    // The editor commands offered to the forms' scripts (none by default).
    void SetCommands(ExternalRoutine commands) { mCommands = std::move(commands); }

    // The form asked with the initial values; the answer, or empty when
    // cancelled ("||" for a form without fields). One form is shown at a
    // time: asked while one is open (a script's command), it answers empty.
    std::string AskParameters(const std::string& title, const my_formular& form, const std::string& initial,
                              FormHost* callback);
    // The same for the description in a file, without scripts; "Brak pliku"
    // and no window when it cannot be read.
    std::string AskParametersFromFile(const std::string& title, const std::string& formFile,
                                      const std::string& initial);
    // Likewise, with the event callback.
    std::string AskParametersWithScript(const std::string& title, const std::string& formFile,
                                        const std::string& initial, FormHost* callback);
    // Asks with the remembered values; on an answer, remembered becomes the
    // whole answer and the result keeps the pairs of the form's own fields
    // ("||" when none is kept). Empty when cancelled.
    std::string AskFormParameters(const std::string& title, const my_formular& form, std::string& remembered,
                                  FormHost* callback);

    // Offers sorting with the next form: "bez sortowania" and the names, the
    // index selected (0 when out of range). Read ChosenSort after it closed.
    void OfferSorting(const std::vector<std::string>& names, int index);
    int ChosenSort() const { return mChosenSort; }

    // The bridge for server items. directory is where the item's script
    // would have been written: its "[PLIK ...]" includes are read from there.
    // True when values were returned (they replace values).
    bool AskItemParameters(const std::string& title, const std::string& directory, const std::string& formText,
                           std::string& values, const std::string& scriptText);
    // The same files, then AskFormParameters; result empty when cancelled.
    void AskItemFormParameters(const std::string& title, const std::string& directory, const std::string& formText,
                               std::string& result, std::string& remembered, const std::string& scriptText);

    // A server's form text read (its messages shown); none when it cannot be read.
    std::unique_ptr<my_formular> ReadForm(const std::string& formText);
    // A server's field-event script text compiled (its messages shown);
    // directory is where its "[PLIK ...]" includes are read from.
    act_script CompileItemScript(const std::string& directory, const std::string& scriptText);
    // The event callback of a form whose scripts are script, run as this
    // window runs them, with the editor commands; script must outlive it.
    std::unique_ptr<ParameterEvents> ScriptEvents(const act_script& script);

    // The window's trace, offered to scripts.
    void trace(const std::string& message) { mWindow.trace(message); }
    ParameterWindow& Window() { return mWindow; }
    // The current parameter script (replaced by every bridge call that brings one).
    const act_script& CurrentScript() const { return mScript; }

private:
    // Compiles the script as the current one; the callback that runs it.
    std::unique_ptr<ParameterEvents> LoadScript(const std::string& directory, const std::string& scriptText);

    ParameterWindow& mWindow;
    FormSettings& mSettings;
    std::function<std::string()> mPictureDirectory;
    ExternalRoutine mCommands;
    SortOffer mOffer;
    int mChosenSort = 0;
    act_script mScript;
    bool mShowing = false;
};

// The lines of a server text (CR-separated pieces, or CR LF) as LF lines.
std::string ServerTextLines(std::string_view text);

}  // namespace velt
