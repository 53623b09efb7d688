// Criteria, programs and reports of the descriptor asked through their
// parameter forms, and the requests that run them.

#include "params/ServerItems.h"
#include "net/ProgramRequests.h"
#include "net/FileRequests.h"

#include "catalogue/velt_files.h"
#include "files/WorkFile.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"

namespace velt {

namespace {

std::string_view WithoutLeadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The program run request behind the progress window; what it answered.
std::string RunRequest(velt_files& files, const velt_programm& program, const std::string& values,
                       const std::string& records, ItemRunContext& context) {
    std::string answer;
    context.longOps.run_with_progress("Trwa realizacja operacji"_cp, [&] {
        answer = ProgramRun(files.Connection(), program.Id, values, records);
    });
    return answer;
}

bool Broken(const velt_files& files) { return files.Broken(); }

}  // namespace

CriterionForms::CriterionForms(ParameterForms& forms, std::function<std::string()> workingDirectory)
    : mForms(forms), mWorkingDirectory(std::move(workingDirectory)) {}

std::string CriterionForms::Ask(const velt_criterium& criterion, std::string& remembered, int& sortPosition,
                                const std::vector<std::string>& sortKeys) {
    if (!sortKeys.empty()) mForms.OfferSorting(sortKeys, sortPosition);
    std::string result;
    mForms.AskItemFormParameters(criterion.Name, mWorkingDirectory ? mWorkingDirectory() : std::string(),
                                 criterion.Form, result, remembered, criterion.Action);
    if (!result.empty() && !sortKeys.empty()) sortPosition = mForms.ChosenSort();
    return result;
}

const velt_programm* OperationProgram(const velt_files& files, const std::string& name) {
    for (const velt_programm& p : files.Programs)
        if (p.Options.empty() && (p.Name == name || p.Call == name)) return &p;
    return nullptr;
}

bool RunOperation(velt_files& files, const std::string& text, ItemRunContext& context) {
    if (Broken(files)) return false;
    const PipeSplit element = SplitAtPipe(WithoutLeadingSpaces(text));
    const std::string name(element.head);
    const std::string values = element.parted ? std::string(element.tail) + "|" : std::string();
    const velt_programm* found = OperationProgram(files, name);
    if (!found) {
        context.prompts.show_error("Operacja nie jest dostępna"_cp);
        return false;
    }
    // The item is copied: a run may make the owner reload the descriptor.
    return RunOperationProgram(files, velt_programm(*found), values, context);
}

bool RunOperationProgram(velt_files& files, const velt_programm& program, const std::string& given,
                         ItemRunContext& context) {
    if (Broken(files)) return false;
    const std::string check = ProgramCheck(files.Connection(), program.Id);
    if (Broken(files)) return false;
    if (!check.empty() && check.find('|') == std::string::npos) {
        // The server refuses the program here: it does not run.
        context.prompts.show_error(check);
        return false;
    }
    std::string values = check + given;
    for (;;) {
        if (!program.Form.empty() &&
            !context.forms.AskItemParameters(program.Name, context.workingDirectory, program.Form, values,
                                             program.Action))
            return false;
        const std::string error = RunRequest(files, program, values, {}, context);
        if (Broken(files)) return false;
        if (error.empty()) return true;
        context.prompts.show_error(error);
        // Without a form there is nothing the user could change.
        if (program.Form.empty()) return false;
    }
}

void RunProgramItem(velt_files& files, const velt_programm& item, const std::string& records,
                    ItemRunContext& context, const std::function<void()>& redisplay) {
    if (Broken(files)) return;
    const velt_programm program = item;
    const auto after = [&](const std::string& answer) {
        if (redisplay) redisplay();
        if (Broken(files) || answer.empty()) return false;
        context.prompts.plain_message(answer);
        return true;
    };
    if (program.Form.empty()) {
        after(RunRequest(files, program, {}, records, context));
        return;
    }
    std::string values;
    if (files.VersionAtLeast("2008.01.23")) values = ProgramCheck(files.Connection(), program.Id);
    if (Broken(files)) return;
    if (!values.empty() && values.find('|') == std::string::npos) {
        context.prompts.plain_message(values);
        return;
    }
    for (;;) {
        if (!context.forms.AskItemParameters(program.Name, context.workingDirectory, program.Form, values,
                                             program.Action))
            return;
        if (!after(RunRequest(files, program, values, records, context))) return;
    }
}

bool AskReportParameters(const velt_report& report, const std::string& given, std::string& remembered,
                         ItemRunContext& context, std::string& values) {
    values = given.empty() ? remembered : MergePairs(remembered, given);
    if (!context.forms.AskItemParameters(report.Name, context.workingDirectory, report.Form, values, report.Action)) {
        values.clear();
        return false;
    }
    remembered = values;
    return true;
}

const velt_report* ElementReport(const velt_files& files, const std::string& text, std::string& given) {
    const PipeSplit element = SplitAtPipe(WithoutLeadingSpaces(text));
    const std::string_view name = element.head;
    given = std::string(element.tail);
    for (const velt_report& r : files.Reports)
        if (r.Name == name && !r.NoParameterForm) return &r;
    return nullptr;
}

std::string RunParameterReport(velt_files& files, const velt_report& report, const std::string& values,
                               ItemRunContext& context) {
    if (Broken(files)) return {};
    WorkFile target(context.workingDirectory, "report", "tmp");
    if (!target.Made()) {
        context.prompts.show_error("Nie można utworzyć pliku roboczego zestawienia w katalogu "_cp +
                                   context.workingDirectory);
        return {};
    }
    bool received = false;
    context.longOps.run_with_progress("Tworzenie zestawienia"_cp, [&] {
        received = ParameterReport(files.Connection(), report.Id, values, target.Path(), {});
    });
    if (!received) {
        // A transfer the server aborted says so; a broken connection has been reported.
        if (!Broken(files)) context.prompts.show_error("Serwer nie przygotował zestawienia \""_cp + report.Name + "\"");
        return {};
    }
    // Whoever shows the report removes the file.
    return target.Release();
}

}  // namespace velt
