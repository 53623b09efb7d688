// Field events of a form run through the kind's field-event scripts.

#include "forms/EventScriptHost.h"

#include "text/CpLiteral.h"
#include "text/PipeList.h"
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
        const PipeSplit parts = SplitAtPipe(line);
        if (!parts.parted) {
            if (mForm) mForm->Refresh(line);
        } else if (parts.head.empty() && mMode == Mode::EditingSheet) {
            FieldEvent(kFormHelp, record, std::string(parts.tail));
        } else {
            record.AddError(std::string(parts.head), std::string(parts.tail));
        }
    }
}

}  // namespace velt
