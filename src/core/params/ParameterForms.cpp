// Parameter forms without the window: the dialog's record and "Wykonaj"
// step, the imposed settings, the answer, and the bridge for server items.

#include "params/ParameterForms.h"

#include "forms/my_formular.h"
#include "text/CpLiteral.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace velt {

namespace {

// Ignores every event: a form asked without scripts.
class SilentHost : public FormHost {
public:
    std::vector<std::string> FieldEvent(int, my_record&, const std::string&) override { return {}; }
};

SilentHost gSilent;

// The program's form settings imposed on for the life of a scope, then put back.
class ImposedSettings {
public:
    explicit ImposedSettings(FormSettings& settings) : mSettings(settings), mSaved(settings) {
        mSettings = ParameterSettings(mSettings);
    }
    ~ImposedSettings() { mSettings = mSaved; }
    ImposedSettings(const ImposedSettings&) = delete;
    ImposedSettings& operator=(const ImposedSettings&) = delete;

private:
    FormSettings& mSettings;
    FormSettings mSaved;
};

// The field-event scripts of a server item, run as the parameter window
// runs them: SHOW gives its lines to the form; CHANGE, EXIT and HELP refresh
// fields and add errors; ENTER does nothing.
class BridgeScripts : public ParameterEvents {
public:
    BridgeScripts(const act_script& scripts, ExternalRoutine commands, ErrorSink sink)
        : mHost(scripts, "", std::move(commands), std::move(sink), EventScriptHost::Mode::ParameterWindow) {}
    void Attach(my_editor* form) override {
        ParameterEvents::Attach(form);
        mHost.SetForm(form);
    }
    std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) override {
        if (event == kFormEnter) return {};
        return mHost.FieldEvent(event, record, field);
    }

private:
    EventScriptHost mHost;
};

bool SameError(const my_error& a, const my_error& b) { return a.message == b.message && a.keys == b.keys; }

}  // namespace

std::string ServerTextLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

FormSettings ParameterSettings(FormSettings base) {
    base.maxOccurrence = 999;
    base.decimalSeparator = ',';
    base.maskFont = "Courier New/-14/B";
    base.storeShownValues = true;
    return base;
}

WindowSize ParameterWindowSize(const my_formular& form, const FormSettings& settings, int panelHeight,
                               int executeRight, int sortRight, bool sortShown) {
    WindowSize size;
    size.width = std::max(SatAdd(form.RightEdge(settings), 2), SatAdd(sortShown ? sortRight : executeRight, 5));
    size.height = SatAdd(SatAdd(form.BottomEdge(settings), panelHeight), 10);
    return size;
}

// --- ParameterDialog ---

ParameterDialog::ParameterDialog(std::string title, const my_formular& form, const std::string& initial,
                                 FormHost* callback, FormSettings settings, SortOffer sort)
    : mTitle(std::move(title)), mForm(form), mCallback(callback),
      mEvents(dynamic_cast<ParameterEvents*>(callback)), mSettings(std::move(settings)), mSort(std::move(sort)) {
    FillRecord(mRecord, initial);
    mChosenSort = mSort.selected;
}

FormHost& ParameterDialog::Host() { return mCallback ? *mCallback : gSilent; }

void ParameterDialog::Attach(my_editor* form) {
    mLaidOut = form;
    if (mEvents) mEvents->Attach(form);
}

std::vector<std::string> ParameterDialog::Execute() {
    if (mLaidOut) mLaidOut->Commit();
    // What the previous "WYKONAJ" found goes (it is asked again); the errors
    // of the fields stay until the user leaves those fields.
    if (!mExecuteErrors.empty()) {
        std::vector<my_error> kept = mRecord.errors();
        for (const my_error& old : mExecuteErrors) {
            const auto it = std::find_if(kept.begin(), kept.end(), [&](const my_error& e) { return SameError(e, old); });
            if (it != kept.end()) kept.erase(it);
        }
        mRecord.ClearErrors();
        for (const my_error& e : kept) mRecord.AddError(e.message, e.keys);
        mExecuteErrors.clear();
    }
    const std::size_t before = mRecord.errors().size();
    Host().FieldEvent(kFormHelp, mRecord, "WYKONAJ");
    const auto& errors = mRecord.errors();
    if (errors.size() > before) mExecuteErrors.assign(errors.begin() + static_cast<std::ptrdiff_t>(before), errors.end());

    std::vector<std::string> shown;
    for (const my_error& e : errors) shown.push_back(e.message.empty() ? "Błędna wartość pola "_cp + e.keys : e.message);
    for (const my_field& f : mRecord.fields()) {
        if (CarriesEscapeOne(f.key) || CarriesEscapeOne(f.value))
            shown.push_back("Wartość pola \""_cp + f.key +
                            "\" zawiera znak ESC, po którym następuje 1; takiej wartości nie można przekazać"_cp);
    }
    return shown;
}

// --- ParameterForms ---

ParameterForms::ParameterForms(ParameterWindow& window, FormSettings& settings,
                               std::function<std::string()> pictureDirectory)
    : mWindow(window), mSettings(settings), mPictureDirectory(std::move(pictureDirectory)) {}

ParameterForms::~ParameterForms() = default;

void ParameterForms::OfferSorting(const std::vector<std::string>& names, int index) {
    mOffer.items.clear();
    mOffer.items.push_back("bez sortowania");
    mOffer.items.insert(mOffer.items.end(), names.begin(), names.end());
    mOffer.selected = index >= 0 && static_cast<std::size_t>(index) <= names.size() ? index : 0;
}

std::string ParameterForms::AskParameters(const std::string& title, const my_formular& form,
                                          const std::string& initial, FormHost* callback) {
    // The offer holds for this form only: the group box is hidden again after it.
    SortOffer offer = std::exchange(mOffer, SortOffer{});
    if (mShowing) {
        mWindow.trace("Okno parametrów jest już otwarte"_cp);
        return {};
    }
    mShowing = true;
    struct Shown {
        bool& flag;
        ~Shown() { flag = false; }
    } shown{mShowing};
    ImposedSettings imposed(mSettings);
    ParameterDialog dialog(title, form, initial, callback, mSettings, std::move(offer));
    const bool executed = mWindow.ShowParameters(dialog);
    dialog.Attach(nullptr);
    mChosenSort = dialog.ChosenSort();
    return executed ? dialog.Answer() : std::string();
}

std::unique_ptr<my_formular> ParameterForms::ReadForm(const std::string& formText) {
    FormReadResult read =
        ReadFormDescription(ServerTextLines(formText), mPictureDirectory ? mPictureDirectory() : std::string());
    if (!read.messages.empty()) mWindow.ShowFormMessages(read.messages);
    return std::move(read.root);
}

std::string ParameterForms::AskParametersFromFile(const std::string& title, const std::string& formFile,
                                                  const std::string& initial) {
    return AskParametersWithScript(title, formFile, initial, nullptr);
}

std::string ParameterForms::AskParametersWithScript(const std::string& title, const std::string& formFile,
                                                    const std::string& initial, FormHost* callback) {
    FormReadResult read =
        ReadFormDescriptionFile(formFile, mPictureDirectory ? mPictureDirectory() : std::string());
    if (!read.messages.empty()) mWindow.ShowFormMessages(read.messages);
    if (!read.root) {
        mOffer = {};
        return {};
    }
    return AskParameters(title, *read.root, initial, callback);
}

std::string ParameterForms::AskFormParameters(const std::string& title, const my_formular& form,
                                              std::string& remembered, FormHost* callback) {
    const std::string answer = AskParameters(title, form, remembered, callback);
    if (answer.empty()) return {};
    remembered = answer;
    // List fields appear as "R.*" and match every row's field.
    const std::vector<std::string> ids = form.FieldIds({});
    std::vector<ParameterPair> kept;
    for (auto& pair : ReadPairs(answer)) {
        const bool own = std::any_of(ids.begin(), ids.end(), [&](const std::string& id) { return MatchWildcard(id, pair.first); });
        if (own) kept.push_back(std::move(pair));
    }
    return kept.empty() ? std::string("||") : JoinPairs(kept);
}

act_script ParameterForms::CompileItemScript(const std::string& directory, const std::string& scriptText) {
    // A compiler error comes as two texts, the message and then its line.
    std::vector<FormMessage> messages;
    const ErrorSink collect = [&messages](const std::string& text) {
        if (!messages.empty() && messages.back().line.empty() && text.rfind("Linia ", 0) == 0)
            messages.back().line = text;
        else if (messages.size() < kMaxFormMessages)
            messages.push_back({text, {}});
    };
    std::istringstream source(ServerTextLines(scriptText));
    act_script script = LoadEventScripts(source, directory + "act.tmp", collect);
    if (!messages.empty()) mWindow.ShowFormMessages(messages);
    return script;
}

std::unique_ptr<ParameterEvents> ParameterForms::ScriptEvents(const act_script& script) {
    ParameterWindow* window = &mWindow;
    return std::make_unique<BridgeScripts>(script, mCommands, [window](const std::string& text) { window->trace(text); });
}

std::unique_ptr<ParameterEvents> ParameterForms::LoadScript(const std::string& directory,
                                                             const std::string& scriptText) {
    mScript = CompileItemScript(directory, scriptText);
    return ScriptEvents(mScript);
}

bool ParameterForms::AskItemParameters(const std::string& title, const std::string& directory,
                                       const std::string& formText, std::string& values,
                                       const std::string& scriptText) {
    const std::unique_ptr<my_formular> form = ReadForm(formText);
    if (!form) {
        mOffer = {};
        return false;
    }
    std::unique_ptr<ParameterEvents> events;
    if (!scriptText.empty()) events = LoadScript(directory, scriptText);
    const std::string answer = AskParameters(title, *form, values, events.get());
    if (answer.empty()) return false;
    values = answer;
    return true;
}

void ParameterForms::AskItemFormParameters(const std::string& title, const std::string& directory,
                                           const std::string& formText, std::string& result,
                                           std::string& remembered, const std::string& scriptText) {
    result.clear();
    const std::unique_ptr<my_formular> form = ReadForm(formText);
    if (!form) {
        mOffer = {};
        return;
    }
    std::unique_ptr<ParameterEvents> events;
    if (!scriptText.empty()) events = LoadScript(directory, scriptText);
    result = AskFormParameters(title, *form, remembered, events.get());
}

}  // namespace velt
