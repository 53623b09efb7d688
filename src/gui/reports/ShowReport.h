#pragma once
// Showing the work file of a report by its kind: TABELA in the preview
// window TForm2, TEXT and FORMAT in the report window "Zestawienie". The
// work file is removed once read.

#include "catalogue/DescriptorItems.h"

#include <functional>
#include <string>

class QWidget;

namespace velt::gui {

struct ReportShowContext {
    QWidget* parent = nullptr;
    std::string reportFont;                         // "ZESTAWIENIA"/"font", empty for the default
    std::function<void(const std::string&)> error;  // shows an error text
};

// Shows file as report's kind; false for a kind this program does not show
// yet (the caller says so), true otherwise (an error included).
bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context);

// The report window of a TEXT report: the lines of file, "Drukuj".
void ShowTextReport(const std::string& title, const std::string& file, const ReportShowContext& context);

// The report window of a FORMAT report: its paragraphs with their indents
// and fonts (reports/FormattedText.h), "Drukuj".
void ShowFormattedReport(const std::string& title, const std::string& file, const ReportShowContext& context);

}  // namespace velt::gui
