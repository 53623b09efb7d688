// Printing through the printer choice: a loan form printed from the main
// window into a PDF chosen in the (fake) print dialog, previewed before the
// configuration is read, the loan printer chosen and kept; a fixed printer
// that is missing; printer settings onto a QPrinter and back; a full disk
// while a PDF or a bitmap is written.

#include "files/FileFaults.h"
#include "gui/print/ReportPrinting.h"
#include "gui/reports/LoanFormPrint.h"
#include "gui/reports/TForm2.h"
#include "gui/shell/TForm1.h"
#include "reports/tbl_report.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QPrinter>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

using namespace velt;
using namespace velt::test;

namespace {

const char* const kLoanForm =
    "[REPORT 700]\r\n[LINE 60]\r\nTEXT #Rewers_%1 10 5\r\nTEXT &nazwisko 10 20\r\nTEXT &sygnatura 300 20\r\n"
    "TEXT &data 10 35\r\nTEXT &opis 300 35 LIMIT 380\r\n[END]\r\n";

// No printer installed; the dialog answers with what the test sets.
struct PdfOnly : PrinterSystem {
    std::string pdf;              // the file the dialog chooses; empty: cancel
    std::string printer;          // or a printer to choose
    int dialogs = 0;
    std::vector<std::string> installed;
    std::vector<std::string> InstalledPrinters() override { return installed; }
    std::string DefaultPrinter() override { return {}; }
    PrinterSettings DefaultSettings(const std::string& p) override {
        PrinterSettings s;
        s.printer = p;
        return s;
    }
    bool PrintDialog(PrinterSettings& s, PrintPages*) override {
        ++dialogs;
        if (pdf.empty() && printer.empty()) return false;
        s.printer = printer;
        s.outputFile = pdf;
        return true;
    }
};

std::string Ini(const std::string& dir) {
    return "[REZERWACJA]\r\nkwit=" + dir + "rewers.rep\r\nustawienia=" + dir + "rewersy.prs\r\n" +
           "[BIBLIOTEKA]\r\nnazwa=Biblioteka Miejska\r\nnalepka1=BM\r\nnalepka2=Wypożyczalnia\r\n"_cp;
}

}  // namespace

TEST(Printing, ALoanFormPrintsIntoThePdfChosenWhenTheLoanPrinterIsMissing) {
    if (!HaveTool("pdftotext")) GTEST_SKIP() << "poppler-utils";
    TempDir dir;
    dir.Write("rewers.rep", kLoanForm);
    const std::string ini = dir.Write("VELT_TCP.INI", Ini(dir.Path()));
    gui::TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    PdfOnly platform;
    PrinterChoice choice(platform, nullptr);
    platform.pdf = dir.Path() + "rewers.pdf";
    ASSERT_TRUE(gui::PrintLoanForm(form.Shell().Settings(),
                                   {"K17", "0042", "Żółkiewska Ewa"_cp, "20261209143005*", "\x1B" "Bdopisek\x1A Pan & Tadeusz\r",
                                    "II-1234", "7", "", ""},
                                   &form, &choice));
    EXPECT_EQ(platform.dialogs, 1) << "no loan printer: the dialog once";
    const auto text = RunTool("pdftotext -enc UTF-8 '" + platform.pdf + "' -", "");
    ASSERT_TRUE(text);
    for (const char* expected : {"Rewers BM", "Żółkiewska Ewa", "II-1234", "09.12.2026", "Pan & Tadeusz"})
        EXPECT_NE(text->find(expected), std::string::npos) << expected << " in\n" << *text;
    EXPECT_EQ(text->find("dopisek"), std::string::npos) << "escape sequences are not printed";
    EXPECT_EQ(form.Shell().Settings().LoanPrinter, "") << "a PDF file is no loan printer";

    // "Drukarka rewersów": the printer chosen is kept, with its settings file.
    platform.installed = {"Rewersy"};
    platform.pdf.clear();
    platform.printer = "Rewersy";
    gui::ChooseLoanPrinter(form.Shell().Settings(), &choice);
    EXPECT_EQ(form.Shell().Settings().LoanPrinter, "Rewersy");
    const LoadedPrinterSettings kept = LoadPrinterSettings(dir.Path() + "rewersy.prs", platform.installed);
    ASSERT_TRUE(kept.settings) << kept.failure;
    EXPECT_EQ(kept.settings->printer, "Rewersy");
    // From now on the loan form goes to that printer without a dialog.
    const int before = platform.dialogs;
    PrinterChoice next(platform, nullptr);
    EXPECT_TRUE(next.SelectPrinter(form.Shell().Settings().LoanPrinter, form.Shell().Settings().LoanPrinterSettings));
    EXPECT_EQ(platform.dialogs, before);
}

TEST(Printing, BeforeTheConfigurationTheLoanFormIsOnlyPreviewedAndAMissingDescriptionIsSaid) {
    TempDir dir;
    std::vector<std::string> errors;
    gui::LoanFormPrinting how;
    how.error = [&](const std::string& e) { errors.push_back(e); };
    how.configured = true;
    how.description = dir.Path() + "brak.rep";
    LoanFormData data{"K1", "1", "Nowak", "20261209", "", "", "", "", ""};
    EXPECT_FALSE(gui::PrintLoanForm(data, how));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("brak.rep"), std::string::npos) << errors[0];

    // Not configured: "rewers.rep" of the working directory, in the preview.
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.Path());
    dir.Write("rewers.rep", kLoanForm);
    how.configured = false;
    bool previewed = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* w = qobject_cast<gui::TForm2*>(QApplication::activeModalWidget())) {
            previewed = w->Report().data().size() == 1 && w->Report().data()[0].find("&nazwisko=Nowak") != std::string::npos;
            w->reject();
        }
    });
    poll.start();
    EXPECT_TRUE(gui::PrintLoanForm(data, how));
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(previewed);
}

TEST(Printing, AFixedPrinterThatIsMissingIsSaidAndNothingPrints) {
    std::vector<std::string> messages;
    auto report = std::make_unique<tbl_report>(
        "T", std::vector<std::string>{"[REPORT 100]", "[LINE 20]", "TEXT &a 0 0", "[END]"},
        std::vector<std::string>{"&a=1"});
    gui::TForm2 w(std::move(report), [&](const std::string& m) { messages.push_back(m); });
    w.SetFixedPrinter("Drukarka, której nie ma"_cp, "");
    w.Print();
    EXPECT_EQ(messages, std::vector<std::string>{"Brak drukarki \"Drukarka, której nie ma\""_cp});
}

TEST(Printing, PrinterSettingsGoOntoAQPrinterAndBack) {
    PrinterSettings s;
    s.outputFile = "/tmp/x.pdf";
    s.paper = "A5";
    s.orientation = 2;
    s.copies = 2;
    s.colour = false;
    QPrinter printer(QPrinter::HighResolution);
    gui::ApplyPrinterSettings(printer, s);
    const PrinterSettings back = gui::ReadPrinterSettings(printer);
    EXPECT_EQ(back.outputFile, s.outputFile);
    EXPECT_EQ(back.paper, "A5");
    EXPECT_EQ(back.orientation, 2);
    EXPECT_EQ(back.copies, 2);
    EXPECT_FALSE(back.colour);
}

// A full disk while a report goes into a PDF (a table from its preview, a
// FORMAT or TEXT document) or into a bitmap: the old file stays as it was,
// nothing is left beside it, and the preview says why.
TEST(Printing, APdfOrBitmapThatCannotBeWrittenLeavesTheOldFile) {
    TempDir dir;
    const std::string pdf = dir.Write("lista.pdf", "%PDF stary");
    const std::string bmp = dir.Write("strona.bmp", "BM stary");
    const std::string full = " (brak miejsca na dysku)"_cp;
    std::vector<std::string> messages;
    gui::TForm2 window(std::make_unique<tbl_report>("Lista"_cp, std::vector<std::string>{"[REPORT 700]", "[LINE 40]",
                                                                                    "TEXT &t 10 5", "[END]"},
                                               std::vector<std::string>{"&t=Zażółć"_cp, "&t=gęślą"_cp}),
                  [&messages](const std::string& m) { messages.push_back(m); });
    QTextDocument document;
    gui::FillTextDocument(document, "WYKAZ\r\n", "");
    for (const FileStep step : {FileStep::Sync, FileStep::Rename}) {
        {
            FileFaultScope fault(step, 1, ENOSPC);
            EXPECT_EQ(window.PrintToPdf(pdf), "Nie można zapisać pliku "_cp + pdf + full);
        }
        {
            FileFaultScope fault(step, 1, ENOSPC);
            EXPECT_EQ(gui::WriteDocumentPdf(document, "Wykaz", pdf), "Nie można zapisać pliku "_cp + pdf + full);
        }
        {
            FileFaultScope fault(step, 1, ENOSPC);
            EXPECT_EQ(window.SaveWith(0, bmp), "Nie można zapisać pliku "_cp + bmp + full);
        }
        EXPECT_EQ(TempDir::Read(pdf), "%PDF stary");
        EXPECT_EQ(TempDir::Read(bmp), "BM stary");
        EXPECT_EQ(TempDir::List(dir.Path()).size(), 2u) << "no temporary is left";
    }
    ASSERT_EQ(window.PrintToPdf(pdf), "");
    EXPECT_EQ(TempDir::Read(pdf).rfind("%PDF-", 0), 0u);
    EXPECT_TRUE(messages.empty());
}
