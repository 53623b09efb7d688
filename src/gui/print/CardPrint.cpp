#include "gui/print/CardPrint.h"

#include "cards/CardPrinting.h"
#include "gui/common/QtText.h"
#include "gui/print/QtReportCanvas.h"
#include "text/CpLiteral.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <stdlib.h>
#include <unistd.h>

namespace velt::gui {

namespace {

// An image of a resolution of its own, for measuring without a printer.
const QPaintDevice& DeviceAt(int resolution) {
    static std::vector<std::unique_ptr<QImage>> devices;
    for (const auto& d : devices)
        if (d->logicalDpiY() == resolution) return *d;
    auto image = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(resolution / 0.0254));
    image->setDotsPerMeterX(dotsPerMetre);
    image->setDotsPerMeterY(dotsPerMetre);
    devices.push_back(std::move(image));
    return *devices.back();
}

// A number of points written as long as the one it replaces ("312.000000"
// becomes "311.811024"); empty when it cannot be.
std::string SameLength(double points, std::size_t length) {
    const std::string whole = std::to_string(static_cast<long long>(points));
    if (whole.size() + 2 > length) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(length - whole.size() - 1), points);
    return std::strlen(text) == length ? std::string(text) : std::string();
}

// Qt keeps a PDF page's size in whole points; a card of 110 x 75 mm is
// 311.81 x 212.6 points. The page boxes are rewritten with the card's own
// size, in as many bytes as they had, so that nothing else of the file moves.
void FitPdfPages(const QString& file, const CardSettings& settings) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadWrite)) return;
    QByteArray bytes = pdf.readAll();
    const double mm = 72.0 / 25.4;
    const double shorter = std::min(settings.width, settings.height) * mm;
    const double longer = std::max(settings.width, settings.height) * mm;
    const double width = settings.landscape ? longer : shorter;
    const double height = settings.landscape ? shorter : longer;
    const QByteArray box = "/MediaBox [0 0 ";
    bool changed = false;
    for (qsizetype at = bytes.indexOf(box); at >= 0; at = bytes.indexOf(box, at + 1)) {
        const qsizetype start = at + box.size();
        const qsizetype end = bytes.indexOf(']', start);
        if (end < 0) break;
        const QList<QByteArray> numbers = bytes.mid(start, end - start).trimmed().split(' ');
        if (numbers.size() != 2) continue;
        const std::string w = SameLength(width, static_cast<std::size_t>(numbers[0].size()));
        const std::string h = SameLength(height, static_cast<std::size_t>(numbers[1].size()));
        if (w.empty() || h.empty() || std::abs(numbers[0].toDouble() - width) > 1 ||
            std::abs(numbers[1].toDouble() - height) > 1)
            continue;
        const QByteArray replaced = QByteArray::fromStdString(w + " " + h);
        if (replaced.size() != end - start) continue;
        bytes.replace(start, end - start, replaced);
        changed = true;
    }
    if (!changed) return;
    pdf.seek(0);
    pdf.write(bytes);
}

}  // namespace

QtCardMeasurer::QtCardMeasurer(const QPaintDevice& device) : mDevice(&device), mResolution(device.logicalDpiY()) {}

QtCardMeasurer::QtCardMeasurer(int resolution) : mDevice(&DeviceAt(resolution)), mResolution(resolution) {}

QtCardMeasurer::~QtCardMeasurer() = default;

const QFontMetrics& QtCardMeasurer::Metrics(const CanvasFont& font) {
    std::unique_ptr<QFontMetrics>& metrics =
        mMetrics[FontKey{font.name, font.height, font.bold, font.italic, font.underline}];
    if (!metrics) metrics = std::make_unique<QFontMetrics>(QtCanvasFont(font), mDevice);
    return *metrics;
}

int QtCardMeasurer::TextWidth(const CanvasFont& font, std::string_view text) {
    return Metrics(font).horizontalAdvance(toQString(std::string(text)));
}

int QtCardMeasurer::TextHeight(const CanvasFont& font) { return Metrics(font).height(); }

void PrepareCardPrinter(QPrinter& printer, const CardSettings& settings) {
    printer.setFullPage(true);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A page of the card's size, in the orientation the settings say.
        const double shorter = std::min(settings.width, settings.height);
        const double longer = std::max(settings.width, settings.height);
        printer.setPageLayout(QPageLayout(QPageSize(QSizeF(shorter, longer), QPageSize::Millimeter),
                                          settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                          QMarginsF(0, 0, 0, 0)));
    } else {
        printer.setPageOrientation(settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
}

std::string PrintCards(QPrinter& printer, const CardSettings& settings, int screenResolution,
                       const CardPrintRequest& request, CardMeasurer* measurer, std::vector<std::string>& messages) {
    if (!request.text) return {};
    QtCardMeasurer onPrinter(printer);
    CardLayout layout(settings, screenResolution, measurer ? *measurer : onPrinter);
    const CardGeometry& g = layout.Geometry();
    CardDrawTarget target;
    target.scale = layout.Ratio();
    target.resolution = printer.resolution();
    target.printing = true;
    // On paper the card stands at its offsets; a PDF page is the card itself.
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        target.offsetX = static_cast<int>(std::lround(g.Millimetres(layout.Settings().printLeft) * layout.Ratio()));
        target.offsetY = static_cast<int>(std::lround(g.Millimetres(layout.Settings().printTop) * layout.Ratio()));
    }
    QPainter painter;
    if (!painter.begin(&printer)) return "Nie można rozpocząć drukowania"_cp;
    QtReportCanvas canvas(painter, [&printer] { printer.newPage(); });
    CardPrintJob job(canvas, layout.Settings(), g, target);
    std::set<std::string> told(messages.begin(), messages.end());
    auto tell = [&](const LaidOutCard& card) {
        for (const std::string& m : card.messages)
            if (told.insert(m).second) messages.push_back(m);
    };
    const std::vector<CardRange> cards = FindCards(*request.text);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (request.card != 0 && request.card != number) continue;
        const LaidOutCard card = layout.GenLines(*request.text, cards[i], number);
        tell(card);
        if (request.pages.empty()) {
            job.PrintAll(card, request.copies);
        } else {
            for (const int page : request.pages)
                if (page >= 1) job.Print(card, static_cast<std::size_t>(page) - 1, request.copies);
        }
    }
    painter.end();
    if (printer.outputFormat() == QPrinter::PdfFormat) FitPdfPages(printer.outputFileName(), layout.Settings());
    return {};
}

std::string WriteCardsPdf(const std::string& file, const CardSettings& settings, int screenResolution,
                          int resolution, const CardPrintRequest& request, CardMeasurer* measurer,
                          std::vector<std::string>& messages) {
    std::string temp = file + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return "Nie można zapisać pliku "_cp + file;
    ::close(fd);
    std::string error;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temp.c_str()));
        printer.setResolution(resolution);
        printer.setDocName(toQString("Velt-Karta katalogowa"));
        PrepareCardPrinter(printer, BoundedCardSettings(settings));
        error = PrintCards(printer, settings, screenResolution, request, measurer, messages);
    }
    if (error.empty() && std::rename(temp.c_str(), file.c_str()) != 0) error = "Nie można zapisać pliku "_cp + file;
    if (!error.empty()) ::unlink(temp.c_str());
    return error;
}

}  // namespace velt::gui
