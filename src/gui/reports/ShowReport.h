#pragma once
// The report windows of the program and the delivery of a report's work
// file to them: QtReportViewer shows what the core's DeliverReport decided
// (TABELA in the preview TForm2, TEXT and FORMAT in the report window
// "Zestawienie", PLIK opened with its program); ShowReport puts the two
// together for one work file.

#include "catalogue/DescriptorItems.h"
#include "reports/CatalogueCards.h"
#include "reports/ReportDelivery.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace velt {
class ProgramLauncher;
}

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
    ProgramLauncher* launcher = nullptr;            // the label program's (none: the desktop's)
};

// The windows a report is shown in.
class QtReportViewer : public ReportViewer {
public:
    explicit QtReportViewer(const ReportShowContext& context) : mContext(context) {}

    void ShowText(const std::string& title, const std::string& text) override;
    void ShowFormatted(const std::string& title, const std::vector<std::string>& lines) override;
    void ShowTable(std::unique_ptr<tbl_report> table) override;
    void OpenFile(const std::string& path) override;
    void ShowError(const std::string& text) override;

private:
    const ReportShowContext& mContext;
};

// PLIK: the file the report is saved as, asked in the save dialog with the
// report's proposed name; false when the user cancels (the report is then
// not run).
bool AskPlikTarget(QWidget* parent, const velt_report& report, const std::string& directory, std::string& target);

// Shows file as report's kind (reports/ReportDelivery.h); false for a kind
// this program does not show (KARTA without the context's cards; the caller
// says so), true otherwise (an error included).
bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context);

// Label lines appended to the label file, then the label program started.
void AddLabels(const std::vector<std::string>& lines, const ReportShowContext& context);

}  // namespace velt::gui
