// The preview window of a table report offscreen: the sheets and the
// buttons that go through them, the picture drawn, the savers, the PDF
// output read back with poppler (pages, paper, texts with their Polish
// letters) and its barcode decoded by zbarimg; ShowReport by kind.

#include "gui/reports/ShowReport.h"
#include "gui/reports/TForm2.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QFontInfo>
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <string>
#include <vector>

using namespace velt;
using namespace velt::gui;
using namespace velt::test;

namespace {

const std::vector<std::string> kDescription = {
    "[REPORT 700]",
    "[HEADER 60]",
    "TEXT #Strona_%P 10 5",
    "TEXT &tytul 300 5 FIRST",
    "BOX 0 0 700 50 BOLD",
    "[LINE 40]",
    "TEXT &tytul 10 5 LIMIT 400",
    "BAR &kod 450 2 240 36 MODE=15 WHEN &kod",
    "[FOOTER 30]",
    "H 0 5 700",
    "[END]",
};

std::vector<std::string> Data(int count, int groupEnd) {
    std::vector<std::string> data;
    for (int i = 1; i <= count; ++i)
        data.push_back(std::string(i == groupEnd ? "*" : "") + "&tytul=Zażółć gęślą jaźń "_cp + std::to_string(i) +
                       (i == 1 ? "&kod=5901234123457" : ""));
    return data;
}

std::unique_ptr<TForm2> Window(std::vector<std::string>* messages, int count = 250, int groupEnd = 120) {
    auto report = std::make_unique<tbl_report>("Lista próbna"_cp, kDescription, Data(count, groupEnd));
    return std::make_unique<TForm2>(std::move(report), [messages](const std::string& m) {
        if (messages) messages->push_back(m);
    });
}

bool Shown(QPushButton* b) { return !b->isHidden(); }

}  // namespace

TEST(TForm2, ButtonsGoThroughTheSheetsAndGroups) {
    std::vector<std::string> messages;
    auto w = Window(&messages);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Lista próbna"));
    ASSERT_EQ(w->SheetCount(), 4);  // 100, 20 (the group ends), 100, 30
    EXPECT_EQ(w->CurrentSheet(), 0);
    EXPECT_FALSE(Shown(w->Button5));
    EXPECT_FALSE(Shown(w->Button2));
    EXPECT_TRUE(Shown(w->Button3));
    EXPECT_TRUE(Shown(w->Button6));
    EXPECT_TRUE(Shown(w->Button1));
    EXPECT_TRUE(Shown(w->Button4));
    EXPECT_TRUE(w->Gauge1->isHidden());
    EXPECT_EQ(w->Picture().height(), 60 + 30 + 100 * 40);
    EXPECT_EQ(w->Picture().width(), 700);
    EXPECT_EQ(w->Image1->pixmap().size(), w->Picture().size());
    // The header's frame is black, the page is white.
    EXPECT_EQ(w->Picture().pixelColor(0, 20), QColor(Qt::black));
    EXPECT_EQ(w->Picture().pixelColor(699, 55), QColor(Qt::white));

    QTest::mouseClick(w->Button3, Qt::LeftButton);
    EXPECT_EQ(w->CurrentSheet(), 1);
    EXPECT_TRUE(w->Sheet().endsGroup);
    EXPECT_EQ(w->Picture().height(), 60 + 30 + 20 * 40);
    EXPECT_TRUE(Shown(w->Button2));
    QTest::mouseClick(w->Button3, Qt::LeftButton);
    EXPECT_EQ(w->Sheet().group, 2);
    EXPECT_EQ(w->Sheet().number, 1);
    QTest::mouseClick(w->Button6, Qt::LeftButton);
    EXPECT_EQ(w->CurrentSheet(), 3);
    EXPECT_FALSE(Shown(w->Button3));
    EXPECT_FALSE(Shown(w->Button6));
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    EXPECT_EQ(w->CurrentSheet(), 2);
    QTest::mouseClick(w->Button5, Qt::LeftButton);
    EXPECT_EQ(w->CurrentSheet(), 0);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST(TForm2, SaversWriteTheReportAndTheSheet) {
    TempDir dir;
    auto w = Window(nullptr, 30, 0);
    EXPECT_EQ(w->SaveFilter(),
              "Mapę bitową (BMP)|*.bmp|Zestawienie VELT (SRP)|*.srp|Tabela tekstowa (CSV)|*.csv"_cp);
    ASSERT_EQ(w->SaveWith(1, dir.Path() + "z.srp"), "");
    tbl_report back = tbl_report::FromSrpFile("T", dir.Path() + "z.srp");
    EXPECT_EQ(back.data(), w->Report().data());
    ASSERT_EQ(w->SaveWith(2, dir.Path() + "z.csv"), "");
    EXPECT_EQ(TempDir::Read(dir.Path() + "z.csv").rfind("tytul\r\n\"Zażółć gęślą jaźń 1\"\r\n"_cp, 0), 0u);
    ASSERT_EQ(w->SaveWith(0, dir.Path() + "z.bmp"), "");
    const QImage bitmap(QString::fromStdString(dir.Path() + "z.bmp"));
    EXPECT_EQ(bitmap.size(), w->Picture().size());
    EXPECT_NE(w->SaveWith(1, dir.Path() + "missing/z.srp"), "");
}

TEST(TForm2, PdfHasThePagesTextsAndBarcodeWhereTheyBelong) {
    if (!HaveTool("pdfinfo") || !HaveTool("pdftotext") || !HaveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils";
    TempDir dir;
    std::vector<std::string> messages;
    auto w = Window(&messages, 120, 30);
    const std::string pdf = dir.Path() + "lista.pdf";
    ASSERT_EQ(w->PrintToPdf(pdf), "");
    EXPECT_DOUBLE_EQ(w->Report().scale, 1.0) << "the preview draws at scale 1 again";
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const int pages = w->Report().CountPages(PrinterPage{printer.resolution(), paper.width(), paper.height()});
    ASSERT_GT(pages, 2);
    const auto info = RunTool("pdfinfo '" + pdf + "'", "");
    ASSERT_TRUE(info);
    const std::size_t at = info->find("Pages:");
    ASSERT_NE(at, std::string::npos) << *info;
    EXPECT_EQ(std::stoi(info->substr(at + 6)), pages) << *info;
    EXPECT_NE(info->find("Page size:       595 x 842 pts (A4)"), std::string::npos) << *info;
    const auto first = RunTool("pdftotext -f 1 -l 1 -enc UTF-8 '" + pdf + "' -", "");
    ASSERT_TRUE(first);
    EXPECT_NE(first->find("Strona 1"), std::string::npos) << *first;
    EXPECT_NE(first->find("Zażółć gęślą jaźń 1\n"), std::string::npos) << *first;
    // The page with line 31 starts the second group: its header says page 1,
    // and the page before it ends with line 30.
    int with31 = 0;
    for (int p = 1; p <= pages && with31 == 0; ++p) {
        const auto text = RunTool("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) + " -enc UTF-8 '" +
                                      pdf + "' -",
                                  "");
        ASSERT_TRUE(text);
        if (text->find("Zażółć gęślą jaźń 31\n") == std::string::npos) continue;
        with31 = p;
        EXPECT_NE(text->find("Strona 1"), std::string::npos) << *text;
        EXPECT_EQ(text->find("jaźń 30\n"), std::string::npos) << *text;
    }
    ASSERT_GT(with31, 1);
    const auto before = RunTool("pdftotext -f " + std::to_string(with31 - 1) + " -l " + std::to_string(with31 - 1) +
                                    " -enc UTF-8 '" + pdf + "' -",
                                "");
    ASSERT_TRUE(before);
    EXPECT_NE(before->find("Zażółć gęślą jaźń 30\n"), std::string::npos) << *before;
    if (HaveTool("zbarimg")) {
        ASSERT_TRUE(RunTool("pdftoppm -f 1 -l 1 -r 200 -png '" + pdf + "' '" + dir.Path() + "page'", ""));
        const auto decoded = RunTool("zbarimg -q --raw '" + dir.Path() + "page-" +
                                         std::string(pages >= 10 ? "01" : "1") + ".png'",
                                     "");
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, "5901234123457\n");
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST(TForm2, ShowReportOpensTablesAndNamesWhatItCannotShow) {
    TempDir dir;
    std::vector<std::string> errors;
    QWidget parent;
    const ReportShowContext context{&parent, "", [&errors](const std::string& e) { errors.push_back(e); }};
    velt_report table;
    table.Name = "Lista tytułów"_cp;
    table.Language = "TABELA";
    std::string srp;
    for (const std::string& l : kDescription) srp += l + "\r\n";
    srp += "&tytul=A\r\n&tytul=B\r\n";
    const std::string work = dir.Write("report1.tmp", srp);
    EXPECT_TRUE(ShowReport(table, work, context));
    auto* preview = parent.findChild<TForm2*>("TForm2");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QString::fromUtf8("Lista tytułów"));
    EXPECT_EQ(preview->Report().lineCount, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(work))) << "the work file goes once read";
    preview->close();

    EXPECT_TRUE(ShowReport(table, dir.Path() + "none.tmp", context));
    velt_report odd = table;
    odd.Language = "WIERSZ";
    EXPECT_TRUE(ShowReport(odd, work, context));
    odd.Language = "KARTA";
    EXPECT_FALSE(ShowReport(odd, work, context));
    EXPECT_EQ(errors, (std::vector<std::string>{"Brak pliku: " + dir.Path() + "none.tmp",
                                                "Nieznany typ zestawienia \"WIERSZ\""}));
    velt_report text = table;
    text.Language = "TEXT";
    ShowReport(text, dir.Path() + "none.tmp", context);
    EXPECT_EQ(errors.back(), "TEXT_REPORT: Brak pliku roboczego zestawienia");
}

TEST(TForm2, DrawingFaultsAreShownOnce) {
    std::vector<std::string> messages;
    auto report = std::make_unique<tbl_report>(
        "T", std::vector<std::string>{"[REPORT 100]", "[LINE 20]", "BAR &k 0 0 50 10 MODE=99", "[END]"},
        std::vector<std::string>{"&k=1", "&k=2"});
    TForm2 w(std::move(report), [&messages](const std::string& m) { messages.push_back(m); });
    w.ShowSheet(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("MODE=99"), std::string::npos) << messages[0];
}

TEST(TForm2, FormatReportsShowTheirParagraphsAndFonts) {
    TempDir dir;
    std::vector<std::string> errors;
    QWidget parent;
    const ReportShowContext context{&parent, "", [&errors](const std::string& e) { errors.push_back(e); }};
    velt_report format;
    format.Name = "Opis";
    format.Language = "FORMAT";
    const std::string work =
        dir.Write("report2.tmp", "[PARAGRAF 10 4 2\r\nAla\r\nma\r\n\bkota\r\n[CZCIONKA +B 12]\r\nGruby\r\n"
                                 "[PARAGRAF 0 0 0\r\nŁąka\r\n"_cp);
    EXPECT_TRUE(ShowReport(format, work, context));
    auto* window = parent.findChild<QDialog*>("OknoZestawienia");
    ASSERT_NE(window, nullptr);
    auto* edit = window->findChild<QTextEdit*>("RichEdit1");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("Ala makota Gruby\n\nŁąka"));
    const QTextBlock first = edit->document()->firstBlock();
    EXPECT_EQ(first.blockFormat().textIndent(), 10);
    EXPECT_EQ(first.blockFormat().leftMargin(), 4);
    QTextCursor cursor(edit->document());
    cursor.setPosition(first.position() + 13);  // inside "Gruby"
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(cursor.charFormat().fontPointSize(), 12);
    cursor.setPosition(first.position() + 2);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(work)));
    window->close();
    ShowReport(format, dir.Path() + "none.tmp", context);
    EXPECT_EQ(errors, std::vector<std::string>{"SPEC_REPORT: Brak pliku roboczego zestawienia"});
}

TEST(TForm2, TextReportsOpenAtTheirBeginningInAFixedPitchFace) {
    TempDir dir;
    QWidget parent;
    const ReportShowContext context{&parent, "", nullptr};
    velt_report text;
    text.Name = "Wykaz";
    text.Language = "TEXT";
    std::string lines = "WYKAZ NABYTKÓW\r\n"_cp;
    for (int i = 0; i < 300; ++i) lines += "pozycja " + std::to_string(i) + "\r\n";
    EXPECT_TRUE(ShowReport(text, dir.Write("report3.tmp", lines), context));
    auto* window = parent.findChild<QDialog*>("OknoZestawienia");
    ASSERT_NE(window, nullptr);
    auto* edit = window->findChild<QPlainTextEdit*>("RichEdit1");
    ASSERT_NE(edit, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(edit->textCursor().position(), 0);
    EXPECT_EQ(edit->verticalScrollBar()->value(), 0) << "the first lines are in view";
    EXPECT_TRUE(QFontInfo(edit->font()).fixedPitch());
    window->close();
}

TEST(TForm2, LabelReportsAppendToTheLabelFileAndStartTheProgram) {
    TempDir dir;
    std::vector<std::string> errors;
    ReportShowContext context{nullptr, "", [&errors](const std::string& e) { errors.push_back(e); }};
    context.labelFile = dir.Path() + "NAKLEJKI.DAT";
    // The program writes its arguments beside the label file.
    const std::string program = dir.Write("etykiety.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > argumenty.txt\n");
    ::chmod(program.c_str(), 0755);
    context.labelProgram = program;
    context.label1 = "Biblioteka \"Główna\"; rm -rf /"_cp;
    context.label2 = "Filia";
    velt_report labels;
    labels.Name = "Etykiety";
    labels.Language = "ETYKIETA";
    const std::string work = dir.Write("report3.tmp", "II 10|Biblioteka\r\nII 11|Biblioteka\r\n");
    EXPECT_TRUE(ShowReport(labels, work, context));
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(TempDir::Read(dir.Path() + "NAKLEJKI.DAT"), "II 10|Biblioteka\r\nII 11|Biblioteka\r\n");
    std::string args;
    for (int i = 0; i < 200 && args.empty(); ++i) {
        QTest::qWait(10);
        args = TempDir::Read(dir.Path() + "argumenty.txt");
    }
    EXPECT_EQ(args, "NAKLEJKI.DAT\nBiblioteka \"Główna\"; rm -rf /\nFilia\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(work)));

    context.labelProgram = dir.Path() + "brak-programu";
    ShowReport(labels, dir.Write("report4.tmp", "A|B\r\n"), context);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Błąd uruchomienia programu \""_cp + dir.Path() + "brak-programu\"");
    ShowReport(labels, dir.Path() + "none.tmp", context);
    EXPECT_EQ(errors.back(), "BARC_REPORT: Brak pliku roboczego zestawienia");
}

TEST(TForm2, PlikReportsReplaceTheChosenFileWholeAndOpenIt) {
    TempDir dir;
    std::vector<std::string> errors, opened;
    ReportShowContext context{nullptr, "", [&errors](const std::string& e) { errors.push_back(e); }};
    context.open = [&opened](const std::string& path) { opened.push_back(path); };
    velt_report plik;
    plik.Name = "Eksport";
    plik.Language = "PLIK";
    plik.Options = "Dokument|*.csv";
    context.plikTarget = dir.Write("raport.csv", "stary");
    const std::string work = dir.Write("report5.tmp", "a,b\r\n1,2\r\n");
    EXPECT_TRUE(ShowReport(plik, work, context));
    EXPECT_EQ(TempDir::Read(context.plikTarget), "a,b\r\n1,2\r\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(work)));
    EXPECT_EQ(opened, std::vector<std::string>{context.plikTarget});
    context.plikTarget = dir.Path() + "brak/raport.csv";
    ShowReport(plik, dir.Write("report6.tmp", "x"), context);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path() + "report6.tmp")));
}
