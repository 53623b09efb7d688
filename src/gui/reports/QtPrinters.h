#pragma once
// The platform's printers for the printer choice: the installed printers
// (CUPS through QPrinterInfo) and Qt's print dialog, which also offers a PDF
// file. One choice serves the whole run, so that the settings a printer got
// in the dialog stay with it until the program ends.

#include "reports/PrinterChoice.h"

class QPrinter;
class QWidget;

namespace velt::gui {

class QtPrinterSystem : public PrinterSystem {
public:
    std::vector<std::string> InstalledPrinters() override;
    std::string DefaultPrinter() override;
    PrinterSettings DefaultSettings(const std::string& printer) override;
    bool PrintDialog(PrinterSettings& settings, PrintPages* pages) override;
};

// This run's printer choice over the platform; its messages are plain messages.
PrinterChoice& Printers();
// The printer the last report was printed on (empty: the default one).
std::string& ReportPrinterName();
// The directory of the per-printer settings files (the user's configuration;
// made when the first file is saved).
std::string PrinterSettingsDirectory();

}  // namespace velt::gui
