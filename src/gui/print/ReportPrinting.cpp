#include "gui/print/ReportPrinting.h"

#include "files/AtomicFile.h"
#include "gui/common/QtText.h"
#include "gui/print/QtReportCanvas.h"
#include "reports/FormattedText.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

namespace velt::gui {

namespace {

void PdfOutput(QPrinter& printer, const std::string& temp, const std::string& title) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(toQPath(temp));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(toQString(title));
}

QPageSize::PageSizeId PaperId(const std::string& name) {
    static const std::pair<const char*, QPageSize::PageSizeId> kPapers[] = {
        {"A3", QPageSize::A3},         {"A4", QPageSize::A4},         {"A5", QPageSize::A5},
        {"A6", QPageSize::A6},         {"B4", QPageSize::B4},         {"B5", QPageSize::B5},
        {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal},   {"Executive", QPageSize::Executive},
        {"Tabloid", QPageSize::Tabloid}, {"DL", QPageSize::DLE},      {"C5", QPageSize::C5E},
    };
    for (const auto& [n, id] : kPapers)
        if (name == n) return id;
    return QPageSize::Custom;
}

}  // namespace

std::string PrintTableReport(tbl_report& report, QPrinter& printer) {
    printer.setFullPage(true);
    const int ppi = printer.resolution();
    const QRect paper = printer.pageLayout().fullRectPixels(ppi);
    const PrinterPage page{ppi, paper.width(), paper.height()};
    std::string error;
    if (report.CountPages(page) == 0 && !report.LayoutFor(page).error.empty()) {
        error = report.LayoutFor(page).error;
    } else {
        QPainter painter;
        if (!painter.begin(&printer)) {
            error = "Nie można rozpocząć drukowania"_cp;
        } else {
            QtReportCanvas canvas(painter, [&printer] { printer.newPage(); });
            error = report.Print(canvas, page);
            painter.end();
        }
    }
    report.scale = 1.0;
    report.originX = report.originY = 0;
    return error;
}

std::string WriteTablePdf(tbl_report& report, const std::string& file) {
    // The printer writes the temporary by its name; it takes the file's
    // name only when the whole document is on the disk.
    AtomicFile pdf(file);
    if (!pdf.Open()) return pdf.ErrorText();
    std::string error;
    {
        QPrinter printer(QPrinter::HighResolution);
        PdfOutput(printer, pdf.TemporaryPath(), report.title);
        if (report.orientation == 2) printer.setPageOrientation(QPageLayout::Landscape);
        error = PrintTableReport(report, printer);
    }
    return error.empty() ? pdf.Commit() : error;
}

void FillFormattedDocument(QTextDocument& document, const std::vector<std::string>& lines, const std::string& font) {
    document.clear();
    if (!font.empty()) document.setDefaultFont(QFont(toQString(font)));
    QTextCursor cursor(&document);
    bool first = true;
    for (const FormattedParagraph& p : ReadFormattedText(lines)) {
        QTextBlockFormat block;
        block.setTextIndent(p.firstIndent);
        block.setLeftMargin(p.leftIndent);
        block.setRightMargin(p.rightIndent);
        if (first) cursor.setBlockFormat(block);
        else cursor.insertBlock(block);
        first = false;
        for (const FormattedRun& run : p.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            if (run.points > 0) format.setFontPointSize(run.points);
            cursor.insertText(toQString(run.text), format);
        }
    }
}

QFont FixedPitchFont() {
    // The system's fixed font is not fixed pitch everywhere (where fontconfig
    // gives "monospace" a face of two widths, as with the Noto fonts): the
    // first face that is, of the system's own and the usual monospaced ones.
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(system).fixedPitch()) return system;
    static const char* const kFamilies[] = {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "Noto Mono",
                                            "Courier New", "Nimbus Mono PS", "FreeMono", "Courier"};
    for (const char* family : kFamilies) {
        QFont font(QString::fromLatin1(family));
        if (system.pointSizeF() > 0) font.setPointSizeF(system.pointSizeF());
        font.setStyleHint(QFont::TypeWriter);
        const QFontInfo info(font);
        if (info.fixedPitch() && info.family().compare(font.family(), Qt::CaseInsensitive) == 0) return font;
    }
    QFont fallback = system;
    fallback.setStyleHint(QFont::TypeWriter);
    fallback.setFixedPitch(true);
    return fallback;
}

void FillTextDocument(QTextDocument& document, const std::string& text, const std::string& font) {
    // Text reports line their columns up with blanks: a fixed-pitch face
    // unless the configuration names the report font.
    document.setDefaultFont(font.empty() ? FixedPitchFont() : QFont(toQString(font)));
    document.setPlainText(toQString(text));
}

std::string WriteDocumentPdf(QTextDocument& document, const std::string& title, const std::string& file) {
    AtomicFile pdf(file);
    if (!pdf.Open()) return pdf.ErrorText();
    {
        QPrinter printer(QPrinter::HighResolution);
        PdfOutput(printer, pdf.TemporaryPath(), title);
        document.print(&printer);
    }
    return pdf.Commit();
}

void ApplyPrinterSettings(QPrinter& printer, const PrinterSettings& s) {
    if (!s.outputFile.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(toQPath(s.outputFile));
    } else if (!s.printer.empty()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(toQString(s.printer));
    }
    if (const QPageSize::PageSizeId id = PaperId(s.paper); id != QPageSize::Custom) printer.setPageSize(QPageSize(id));
    if (s.orientation == 1) printer.setPageOrientation(QPageLayout::Portrait);
    if (s.orientation == 2) printer.setPageOrientation(QPageLayout::Landscape);
    printer.setCopyCount(s.copies);
    printer.setDuplex(s.duplex == 1   ? QPrinter::DuplexLongSide
                      : s.duplex == 2 ? QPrinter::DuplexShortSide
                                      : QPrinter::DuplexNone);
    printer.setColorMode(s.colour ? QPrinter::Color : QPrinter::GrayScale);
    if (s.resolution > 0) printer.setResolution(s.resolution);
}

PrinterSettings ReadPrinterSettings(const QPrinter& printer) {
    PrinterSettings s;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        s.outputFile = fromQPath(printer.outputFileName());
    else
        s.printer = fromQString(printer.printerName());
    s.paper = "Custom";
    const QPageSize::PageSizeId id = printer.pageLayout().pageSize().id();
    for (const std::string& name : KnownPaperNames())
        if (PaperId(name) == id) s.paper = name;
    s.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    s.copies = std::clamp(printer.copyCount(), 1, 999);
    s.duplex = printer.duplex() == QPrinter::DuplexLongSide ? 1 : printer.duplex() == QPrinter::DuplexShortSide ? 2 : 0;
    s.colour = printer.colorMode() == QPrinter::Color;
    s.resolution = 0;
    return s;
}

std::string WithPrinting(const std::function<std::string()>& work) {
    if (QGuiApplication::instance()) return work();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "velt-cli";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return work();
}

}  // namespace velt::gui
