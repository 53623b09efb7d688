#pragma once
// The server items that ask for their parameters through a parameter form:
// the criteria of "E&lementarne" (CriterionForms, the search service's
// CriterionParameters), the programs of "&Operacja" and the "OPERACJA"
// elements of displayed entries (the program check and run requests, 201 D
// and X), and the reports with a parameter form ("RAPORT" elements and the
// menu's parameter reports, 100/3). The windows that start them and show
// their results call these.

#include "catalogue/DescriptorItems.h"
#include "common/Prompts.h"
#include "params/ParameterForms.h"
#include "search/SearchService.h"

#include <functional>
#include <string>

namespace velt {

class velt_files;

// The parameter window of the criteria with a parameter form.
class CriterionForms : public CriterionParameters {
public:
    // workingDirectory: where the criterion's script reads its includes from.
    CriterionForms(ParameterForms& forms, std::function<std::string()> workingDirectory);
    std::string Ask(const velt_criterium& criterion, std::string& remembered, int& sortPosition,
                    const std::vector<std::string>& sortKeys) override;

private:
    ParameterForms& mForms;
    std::function<std::string()> mWorkingDirectory;
};

// What running a server item needs besides its catalogue.
struct ItemRunContext {
    ParameterForms& forms;
    Prompts& prompts;
    LongOperations& longOps;
    std::string workingDirectory;  // ends with "/"
};

// A program of the descriptor with empty options whose Name or Call is
// name; none when there is no such program.
const velt_programm* OperationProgram(const velt_files& files, const std::string& name);

// The "OPERACJA" element (text after the word): the program's check text in
// front of the element's values, then the form and the run request until a
// run reports no error (true) or the user cancels (false). A check that
// refuses (a text without "|") is shown and nothing runs.
bool RunOperation(velt_files& files, const std::string& text, ItemRunContext& context);
// The same for a program already found, with the element's values (each
// pair followed by "|"): the check text goes in front of them.
bool RunOperationProgram(velt_files& files, const velt_programm& program, const std::string& values,
                         ItemRunContext& context);

// A program item of "&Operacja" for the records text (empty, identifiers
// each followed by "|", or "@" and a remote collection number). With a form:
// the check text (from server version 2008.01.23) gives the starting values
// (a text without "|" is a refusal, shown), then the form and the run
// request repeat while the server answers a text (shown); without a form it
// runs once. redisplay is called after every run.
void RunProgramItem(velt_files& files, const velt_programm& program, const std::string& records,
                    ItemRunContext& context, const std::function<void()>& redisplay);

// The parameters of a report with a form: the remembered values (in and
// out, "ZESTAWIENIA"/"wartości") merged with given (a "RAPORT" element's
// pairs), asked with the report's form and script. True with the values
// accepted; remembered becomes them.
bool AskReportParameters(const velt_report& report, const std::string& given, std::string& remembered,
                         ItemRunContext& context, std::string& values);

// The "RAPORT" element (text after the word): the report it names (the
// first one of that Name with a parameter form), or none.
const velt_report* ElementReport(const velt_files& files, const std::string& text, std::string& given);

// The parameter report request (100/3) into a new work file of the working
// directory, behind the progress window "Tworzenie zestawienia"; the file's
// name, or empty when the server sent no report (the file is then removed).
std::string RunParameterReport(velt_files& files, const velt_report& report, const std::string& values,
                               ItemRunContext& context);

}  // namespace velt
