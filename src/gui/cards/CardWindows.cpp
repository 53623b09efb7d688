#include "gui/cards/CardWindows.h"

#include "cards/CardText.h"
#include "gui/cards/TKarta3.h"
#include "gui/reports/QtPrinters.h"

namespace velt::gui {

CardWindows::CardWindows(QWidget* parent, PrinterChoice& printers, Prompts& prompts, std::string settingsPath)
    : mParent(parent), mPrinters(printers), mPrompts(prompts), mSettingsPath(std::move(settingsPath)) {}

void CardWindows::KartaKatalogowa(std::vector<std::string> lines) {
    if (FindCards(lines).empty()) return;
    CardWindowContext context;
    context.printers = &mPrinters;
    context.printerName = &ReportPrinterName();
    context.printerDirectory = PrinterSettingsDirectory();
    context.settingsPath = mSettingsPath;
    context.prompts = &mPrompts;
    TKarta3 window(std::move(lines), context, mParent);
    window.exec();
}

}  // namespace velt::gui
