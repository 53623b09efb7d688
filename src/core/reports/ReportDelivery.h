#pragma once
// What becomes of a report's work file, decided once for every kind: TABELA
// opens in the preview, TEXT and FORMAT in the report window, ETYKIETA goes
// into the label file and starts the label program, PLIK replaces the file
// the user chose and opens it, KARTA's lines go to the catalogue cards. The
// work file is read here and removed; the windows implement ReportViewer and
// only show what they are given.

#include "reports/CatalogueCards.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class ProgramLauncher;
class Prompts;
class tbl_report;
struct velt_report;

// The report kinds the program shows (a descriptor's "lan").
enum class ReportKind { Format, Karta, Text, Etykieta, Tabela, Plik, Unknown };

// The kind of a report's language; Unknown for any other text.
ReportKind ParseReportKind(std::string_view language);

// The most bytes of a text report read.
inline constexpr std::size_t kMaxShownReport = 16 * 1024 * 1024;

class ReportViewer {
public:
    virtual ~ReportViewer() = default;
    // TEXT: the whole text in the report window under title.
    virtual void ShowText(const std::string& title, const std::string& text) = 0;
    // FORMAT: the lines of formatted paragraphs in the report window.
    virtual void ShowFormatted(const std::string& title, const std::vector<std::string>& lines) = 0;
    // TABELA: the report in its preview window.
    virtual void ShowTable(std::unique_ptr<tbl_report> table) = 0;
    // PLIK: the saved file, opened with the program the user set for it.
    virtual void OpenFile(const std::string& path) = 0;
    // A failure, shown once.
    virtual void ShowError(const std::string& text) = 0;
};

// What the delivery needs beyond the viewer.
struct ReportDelivery {
    std::string labelFile;        // the label file, with its directory
    std::string labelProgram;     // "NAKLEJKI"/"program", empty for none
    std::string libraryName;      // the library's name (%0 of table reports)
    std::string label1, label2;   // the library's label texts
    std::string plikTarget;       // PLIK: the file the user chose (empty: the report is dropped)
    CatalogueCards* cards = nullptr;      // KARTA: the catalogue-card window
    ProgramLauncher* launcher = nullptr;  // starts the label program
    Prompts* prompts = nullptr;           // asked by the launcher
};

// Delivers the work file of report by its kind and removes it. False for a
// kind the program cannot show (KARTA without cards): the caller says so and
// the work file is removed all the same; true otherwise (errors went to the
// viewer).
bool DeliverReport(const velt_report& report, const std::string& file, const ReportDelivery& how,
                   ReportViewer& viewer);

// Label lines appended to the label file, then the label program started in
// the file's directory with the file's name and the two label texts.
void DeliverLabels(const std::vector<std::string>& lines, const ReportDelivery& how, ReportViewer& viewer);

}  // namespace velt
