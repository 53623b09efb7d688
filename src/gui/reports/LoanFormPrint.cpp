#include "gui/reports/LoanFormPrint.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/print/ReportPrinting.h"
#include "gui/reports/QtPrinters.h"
#include "gui/reports/TForm2.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <QPrinter>

#include <memory>

namespace velt::gui {

bool PrintLoanForm(const LoanFormData& data, LoanFormPrinting& how) {
    auto fail = [&](const std::string& text) {
        if (how.error) how.error(text);
        return false;
    };
    const std::string description = how.configured ? how.description : std::string("rewers.rep");
    auto report = std::make_unique<tbl_report>(
        tbl_report::FromDescriptionFile("rewers", {LoanFormLine(data)}, description));
    if (!report->Refusal().empty()) return fail(report->Refusal());
    report->Macros().libraryName = how.libraryName;
    report->Macros().label1 = data.label1;
    report->Macros().label2 = data.label2;
    if (!how.configured) {
        TForm2 preview(std::move(report), how.error, how.parent);
        preview.exec();
        return true;
    }
    PrinterChoice& printers = how.printers ? *how.printers : Printers();
    if (!printers.SelectPrinter(how.printer, how.settingsFile) &&
        !printers.ChoosePrinter(how.printer, how.settingsFile, nullptr))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQString("rewers"));
    ApplyPrinterSettings(printer, printers.Current());
    if (!printer.isValid()) return fail("W systemie brak drukarki \""_cp + how.printer + "\"");
    report->pageFrom = report->pageTo = 0;
    const std::string error = PrintTableReport(*report, printer);
    if (!error.empty()) return fail("Błąd druku: "_cp + error);
    for (const std::string& m : report->Messages())
        if (how.error) how.error(m);
    return true;
}

bool PrintLoanForm(ShellSettings& settings, const LoanFormData& given, QWidget* parent, PrinterChoice* printers) {
    LoanFormData data = given;
    data.label1 = settings.LabelText1;
    data.label2 = settings.LabelText2;
    LoanFormPrinting how;
    how.description = settings.LoanForm;
    how.printer = settings.LoanPrinter;
    how.settingsFile = settings.LoanPrinterSettings;
    how.configured = settings.ConfigurationRead;
    how.libraryName = settings.LibraryName;
    how.parent = parent;
    how.error = [](const std::string& text) { GuiPrompts::Instance().show_error(text); };
    how.printers = printers;
    const bool printed = PrintLoanForm(data, how);
    if (settings.ConfigurationRead) settings.LoanPrinter = how.printer;
    return printed;
}

void ChooseLoanPrinter(ShellSettings& settings, PrinterChoice* printers) {
    std::string name = settings.LoanPrinter;
    PrinterChoice& choice = printers ? *printers : Printers();
    if (choice.ChoosePrinter(name, settings.LoanPrinterSettings, nullptr)) settings.LoanPrinter = name;
}

}  // namespace velt::gui
