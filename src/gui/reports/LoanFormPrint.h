#pragma once
// Printing a loan form: its one data line laid out by the table report
// "rewers" of the configured description, printed on the loan printer
// without a dialog (the print dialog only when that printer is missing), or
// previewed before the configuration has been read.

#include "reports/LoanForm.h"
#include "reports/PrinterChoice.h"
#include "shell/ShellSettings.h"

#include <functional>
#include <string>

class QWidget;

namespace velt::gui {

struct LoanFormPrinting {
    std::string description;   // "REZERWACJA"/"kwit"
    std::string printer;       // "REZERWACJA"/"drukarka": replaced by the printer chosen
    std::string settingsFile;  // "REZERWACJA"/"ustawienia"
    bool configured = false;   // false: the form is only previewed
    std::string libraryName;   // %0 of the description
    QWidget* parent = nullptr;
    std::function<void(const std::string&)> error;
    PrinterChoice* printers = nullptr;  // nullptr: this run's choice over the platform
};

// Prints (or previews) the form of data; false when nothing was printed.
bool PrintLoanForm(const LoanFormData& data, LoanFormPrinting& how);

// The loan form of a reservation with the shell's settings ("REZERWACJA",
// "BIBLIOTEKA", whose label texts replace the data's): on the loan printer, chosen in the print dialog when it is
// missing (the choice is kept).
bool PrintLoanForm(ShellSettings& settings, const LoanFormData& data, QWidget* parent,
                   PrinterChoice* printers = nullptr);

// "Drukarka rewersów": the loan printer chosen in the print dialog, kept in
// the settings and its settings file.
void ChooseLoanPrinter(ShellSettings& settings, PrinterChoice* printers = nullptr);

}  // namespace velt::gui
