#include "gui/reports/QtPrinters.h"

#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/print/ReportPrinting.h"
#include "files/UserDirectories.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace velt::gui {

std::vector<std::string> QtPrinterSystem::InstalledPrinters() {
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(fromQString(n));
    return names;
}

std::string QtPrinterSystem::DefaultPrinter() { return fromQString(QPrinterInfo::defaultPrinterName()); }

PrinterSettings QtPrinterSystem::DefaultSettings(const std::string& printer) {
    QPrinter p(QPrinter::HighResolution);
    if (!printer.empty()) {
        p.setPrinterName(toQString(printer));
    } else {
        p.setOutputFormat(QPrinter::PdfFormat);  // no printer at all: a PDF file
    }
    PrinterSettings s = ReadPrinterSettings(p);
    s.printer = printer;
    s.outputFile.clear();
    s.orientation = 0;
    return s;
}

bool QtPrinterSystem::PrintDialog(PrinterSettings& settings, PrintPages* pages) {
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrinterSettings(printer, settings);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setObjectName("PrintDialog1");
    if (pages) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        dialog.setMinMax(1, pages->last);
        dialog.setFromTo(pages->from, pages->to);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    settings = ReadPrinterSettings(printer);
    if (pages) {
        const bool range = printer.printRange() == QPrinter::PageRange;
        pages->from = range ? printer.fromPage() : 0;
        pages->to = range ? printer.toPage() : 0;
    }
    return true;
}

PrinterChoice& Printers() {
    static QtPrinterSystem* system = new QtPrinterSystem;
    static PrinterChoice* choice = new PrinterChoice(*system, [](const std::string& m) { plain_message(m); });
    return *choice;
}

std::string& ReportPrinterName() {
    static std::string name;
    return name;
}

std::string PrinterSettingsDirectory() { return UserConfigDirectory(); }

}  // namespace velt::gui
