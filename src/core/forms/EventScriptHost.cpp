// Field events of a form run through the kind's field-event scripts.

#include "forms/EventScriptHost.h"

#include "text/CpLiteral.h"
#include "text/my_record.h"

namespace velt {

EventScriptHost::EventScriptHost(const act_script& scripts, std::string kind, ExternalRoutine external,
                                 ErrorSink sink, Mode mode)
    : mScripts(scripts), mKind(std::move(kind)), mExternal(std::move(external)), mSink(std::move(sink)),
      mMode(mode) {}

std::vector<std::string> EventScriptHost::Run(int event, my_record& record, const std::string& field) {
    return RunEvent(mScripts, mKind, record, mExternal, mSink, event, field, mCatalogue);
}

std::vector<std::string> EventScriptHost::FieldEvent(int event, my_record& record, const std::string& field) {
    switch (event) {
    case kFormShow: return Run(event, record, field);
    case kFormEnter:
        // The editing window only remembers where the user is.
        mCurrentField = field;
        return {};
    case kFormHelp: {
        if (mHelpDepth >= kMaxHelpDepth) {
            if (!mChainReported && mSink) mSink("Przerwany łańcuch zdarzeń HELP pola "_cp + field);
            mChainReported = true;
            return {};
        }
        ++mHelpDepth;
        Handle(Run(event, record, field), record);
        if (--mHelpDepth == 0) mChainReported = false;
        return {};
    }
    default:
        Handle(Run(event, record, field), record);
        if (mErrorsChanged) mErrorsChanged();
        return {};
    }
}

void EventScriptHost::Handle(const std::vector<std::string>& lines, my_record& record) {
    for (const std::string& line : lines) {
        const auto bar = line.find('|');
        if (bar == std::string::npos) {
            if (mForm) mForm->Refresh(line);
        } else if (bar == 0 && mMode == Mode::EditingSheet) {
            FieldEvent(kFormHelp, record, line.substr(1));
        } else {
            record.AddError(line.substr(0, bar), line.substr(bar + 1));
        }
    }
}

}  // namespace velt
