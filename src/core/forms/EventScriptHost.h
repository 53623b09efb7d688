#pragma once
// The host of a form whose field events run a kind's field-event scripts,
// and what the windows do with the lines the scripts print: SHOW hands them
// to the form; CHANGE, EXIT and HELP turn each into a refresh of a field, an
// error of the record, or (in an editing sheet) the HELP event of the field
// named after a leading "|", handled at once.
//
// A script whose HELP asks for the HELP of a field whose script asks for it
// again would never end: such chains stop at kMaxHelpDepth with one message.

#include "forms/my_editor.h"
#include "lang/EventScripts.h"

#include <functional>
#include <string>
#include <vector>

namespace velt {

class EventScriptHost : public FormHost {
public:
    // The editing window reads "|field" as a HELP request and any other line
    // with "|" as an error; the parameter window reads every line with "|"
    // as an error.
    enum class Mode { EditingSheet, ParameterWindow };
    static constexpr int kMaxHelpDepth = 16;

    EventScriptHost(const act_script& scripts, std::string kind, ExternalRoutine external, ErrorSink sink,
                    Mode mode = Mode::EditingSheet);

    // The laid-out form the refreshes go to (none: refreshes are dropped).
    void SetForm(my_editor* form) { mForm = form; }
    // Called after CHANGE and EXIT have been handled, to show the record's errors.
    void SetErrorsChanged(std::function<void()> shown) { mErrorsChanged = std::move(shown); }
    // What the scripts' server lookups (LAST, SELECT, CFG...) ask (the
    // catalogue); none: they find nothing.
    void SetCatalogue(ScriptLookups* catalogue) { mCatalogue = catalogue; }
    // The field that last received the focus.
    const std::string& CurrentField() const { return mCurrentField; }

    std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) override;

private:
    std::vector<std::string> Run(int event, my_record& record, const std::string& field);
    void Handle(const std::vector<std::string>& lines, my_record& record);

    const act_script& mScripts;
    std::string mKind;
    ExternalRoutine mExternal;
    ErrorSink mSink;
    Mode mMode;
    my_editor* mForm = nullptr;
    ScriptLookups* mCatalogue = nullptr;
    std::function<void()> mErrorsChanged;
    std::string mCurrentField;
    int mHelpDepth = 0;
    bool mChainReported = false;
};

}  // namespace velt
