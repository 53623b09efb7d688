// velt-cli's printing module: the program's own printing (gui/print) with a
// QGuiApplication made for the call when the process has none, offscreen
// when no display platform is named.

#include "PrintModule.h"

#include "gui/print/CardPrint.h"
#include "gui/print/ReportPrinting.h"
#include "reports/ReportFile.h"

#include <QTextDocument>

namespace velt::cli {

namespace {

class QtPrintModule : public PrintModule {
public:
    std::string TablePdf(tbl_report& report, const std::string& file) override {
        return gui::WithPrinting([&] { return gui::WriteTablePdf(report, file); });
    }
    std::string DocumentPdf(const std::string& title, const std::string& text, bool formatted,
                            const std::string& file) override {
        return gui::WithPrinting([&] {
            QTextDocument document;
            if (formatted)
                gui::FillFormattedDocument(document, SplitReportLines(text), "");
            else
                gui::FillTextDocument(document, text, "");
            return gui::WriteDocumentPdf(document, title, file);
        });
    }
    std::string CardsPdf(const std::vector<std::string>& text, const CardSettings& settings, int screenResolution,
                         int resolution, CardMeasurer& measurer, const std::string& file,
                         std::vector<std::string>& messages) override {
        gui::CardPrintRequest request;
        request.text = &text;
        request.copies = settings.copies;
        return gui::WithPrinting([&] {
            return gui::WriteCardsPdf(file, settings, screenResolution, resolution, request, &measurer, messages);
        });
    }
};

}  // namespace

}  // namespace velt::cli

extern "C" __attribute__((visibility("default"))) velt::cli::PrintModule* velt_cli_print_module() {
    static velt::cli::QtPrintModule module;
    return &module;
}
