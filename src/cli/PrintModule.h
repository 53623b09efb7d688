#pragma once
// Printing for velt-cli in a module of its own: the commands that print
// (PDF files of reports, and of catalogue cards) load it when they need it,
// so that every other command starts without the toolkit. The module is
// the program's own printing (gui/print) behind this small interface.

#include <string>

#include <vector>

namespace velt {
class CardMeasurer;
struct CardSettings;
class tbl_report;
}

namespace velt::cli {

class PrintModule {
public:
    virtual ~PrintModule() = default;
    // A table report as a PDF file of A4 pages; the error or empty.
    virtual std::string TablePdf(tbl_report& report, const std::string& file) = 0;
    // A FORMAT report's lines (formatted) or a TEXT report's text as a PDF
    // under title; the error or empty.
    virtual std::string DocumentPdf(const std::string& title, const std::string& text, bool formatted,
                                    const std::string& file) = 0;
    // Every card of a card text laid out with settings (measured by measurer
    // at resolution) as a PDF of pages of the card's size, each page as many
    // times as the settings' copies; the layout's messages go to messages.
    virtual std::string CardsPdf(const std::vector<std::string>& text, const CardSettings& settings,
                                 int screenResolution, int resolution, CardMeasurer& measurer,
                                 const std::string& file, std::vector<std::string>& messages) = 0;
};

// The name the module's entry point is exported under (extern "C", taking
// nothing and returning a PrintModule* that lives as long as the process).
inline constexpr const char* kPrintModuleEntry = "velt_cli_print_module";
// The module's file name, beside velt-cli or in the installed library directory.
inline constexpr const char* kPrintModuleFile = "velt-cli-print.so";

// The module, loaded on first use; none (and why) when it cannot be loaded.
PrintModule* LoadPrintModule(std::string& why);

}  // namespace velt::cli
