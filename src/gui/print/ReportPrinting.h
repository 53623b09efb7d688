#pragma once
// Printing the reports, on a printer or into a PDF file, with QtGui only: the
// preview windows and velt-cli (which has no windows) share it.

#include "reports/PrinterChoice.h"

#include <functional>
#include <string>
#include <vector>

class QFont;
class QPrinter;
class QTextDocument;

namespace velt {
class tbl_report;
}

namespace velt::gui {

// Prints a table report's pages of its page range, page by page, the report
// placed between its margins; the error text or empty. The report draws
// into the preview at scale 1 with both origins 0 afterwards.
std::string PrintTableReport(tbl_report& report, QPrinter& printer);
// The whole report as a PDF file of A4 pages (landscape for a landscape
// report), written under a unique name then renamed; the error or empty.
std::string WriteTablePdf(tbl_report& report, const std::string& file);

// The document of a FORMAT report ("[PARAGRAF", "[CZCIONKA" and text lines)
// and of a TEXT report (its lines as they are, in a fixed-pitch face unless
// font names the report font).
void FillFormattedDocument(QTextDocument& document, const std::vector<std::string>& lines, const std::string& font);
void FillTextDocument(QTextDocument& document, const std::string& text, const std::string& font);
// A face whose letters are all as wide, wherever the program runs: the
// system's fixed font when it is so, else the first usual monospaced face
// there is (for text reports and anything lined up with blanks).
QFont FixedPitchFont();
// A document as a PDF file of A4 pages under title, written then renamed.
std::string WriteDocumentPdf(QTextDocument& document, const std::string& title, const std::string& file);

// The settings chosen for a printer, onto a QPrinter and back.
void ApplyPrinterSettings(QPrinter& printer, const PrinterSettings& settings);
PrinterSettings ReadPrinterSettings(const QPrinter& printer);

// Runs work with a QGuiApplication (offscreen when no display platform is
// named) when the process has none yet; for the command line.
std::string WithPrinting(const std::function<std::string()>& work);

}  // namespace velt::gui
