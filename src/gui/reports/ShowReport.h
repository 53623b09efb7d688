#pragma once
// Showing the work file of a report by its kind: TABELA in the preview
// window TForm2, TEXT and FORMAT in the report window "Zestawienie",
// ETYKIETA into the label file, PLIK renamed to the file chosen and opened
// with its program, KARTA's lines handed to the catalogue cards. The work
// file is removed once read.

#include "catalogue/DescriptorItems.h"
#include "reports/CatalogueCards.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace velt::gui {

struct ReportShowContext {
    ReportShowContext(QWidget* parentWindow, std::string font, std::function<void(const std::string&)> showError)
        : parent(parentWindow), reportFont(std::move(font)), error(std::move(showError)) {}

    QWidget* parent = nullptr;
    std::string reportFont;                         // "ZESTAWIENIA"/"font", empty for the default
    std::function<void(const std::string&)> error;  // shows an error text
    std::string labelFile;                          // the label file, with its directory
    std::string labelProgram;                       // "NAKLEJKI"/"program", empty for none
    std::string libraryName;                        // the library's name
    std::string label1, label2;                     // the library's label texts
    std::string plikTarget;                         // PLIK: the file the user chose
    std::function<void(const std::string&)> open;   // PLIK: opens a file with its program
    std::shared_ptr<CatalogueCards> cards;          // KARTA: the catalogue-card window
};

// PLIK: the file the report is saved as, asked in the save dialog with the
// report's proposed name; false when the user cancels (the report is then
// not run).
bool AskPlikTarget(QWidget* parent, const velt_report& report, const std::string& directory, std::string& target);

// Shows file as report's kind; false for a kind this program does not show
// yet (KARTA without the context's cards; the caller says so), true
// otherwise (an error included).
bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context);

// The report window of a TEXT report: the lines of file, "Drukuj".
void ShowTextReport(const std::string& title, const std::string& file, const ReportShowContext& context);

// The labels of an ETYKIETA report: the lines of file appended to the label
// file, then the label program started in the file's directory with the
// file's name and the two label texts as its arguments.
void AddReportLabels(const std::string& file, const ReportShowContext& context);
// Label lines appended to the label file, then the label program started.
void AddLabels(const std::vector<std::string>& lines, const ReportShowContext& context);

// The report window of a FORMAT report: its paragraphs with their indents
// and fonts (reports/FormattedText.h), "Drukuj".
void ShowFormattedReport(const std::string& title, const std::string& file, const ReportShowContext& context);

}  // namespace velt::gui
