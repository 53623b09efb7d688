#pragma once
// The catalogue cards of the program: a KARTA report's card text shown in
// the card window "Karta katalogowa", modally, with the run's printer choice
// and the user's Velt_kar.ini.

#include "cards/CardSettings.h"
#include "common/Prompts.h"
#include "reports/CatalogueCards.h"
#include "reports/PrinterChoice.h"

#include <string>

class QWidget;

namespace velt::gui {

class CardWindows : public CatalogueCards {
public:
    // The printer used last and the per-printer settings files are those of
    // the reports (ReportPrinterName, PrinterSettingsDirectory).
    CardWindows(QWidget* parent, PrinterChoice& printers, Prompts& prompts,
                std::string settingsPath = CardSettingsPath());
    // Shows the cards; a text without any card shows nothing.
    void KartaKatalogowa(std::vector<std::string> lines) override;

private:
    QWidget* mParent;
    PrinterChoice& mPrinters;
    Prompts& mPrompts;
    std::string mSettingsPath;
};

}  // namespace velt::gui
