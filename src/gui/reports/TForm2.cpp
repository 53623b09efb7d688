#include "gui/reports/TForm2.h"

#include "files/AtomicFile.h"
#include "gui/common/QtText.h"
#include "gui/print/QtReportCanvas.h"
#include "gui/print/ReportPrinting.h"
#include "gui/reports/QtPrinters.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"

#include <QBuffer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <stdlib.h>
#include <unistd.h>

namespace velt::gui {
namespace {

// The picture of the sheet shown, as a bitmap file.
class SaveAsBitmap : public my_save {
public:
    explicit SaveAsBitmap(const QImage& image) : mImage(image) {}
    std::string Filter() const override { return "Mapę bitową (BMP)|*.bmp"_cp; }
    std::string Save(my_report&, const std::string& file) override {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !mImage.save(&buffer, "BMP")) return "Nie można zapisać pliku "_cp + file;
        return WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }

private:
    const QImage& mImage;
};

// The most pixels a preview sheet takes (a side of 32767 is what a QImage
// paints reliably).
constexpr int kMaxSheetSide = 32000;

}  // namespace

TForm2::TForm2(std::unique_ptr<tbl_report> report, std::function<void(const std::string&)> message, QWidget* parent)
    : QDialog(parent), mReport(std::move(report)), mMessage(std::move(message)) {
    setObjectName("TForm2");
    setWindowTitle(toQString(mReport->title));
    mReport->scale = 1.0;
    mReport->originX = mReport->originY = 0;
    mSheets = mReport->Sheets();
    mSavers.push_back(std::make_unique<SaveAsBitmap>(mImage));
    mSavers.push_back(std::make_unique<save_as_velt>());
    mSavers.push_back(std::make_unique<save_as_csv>());

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto button = [this, bar](QPushButton*& b, const char* name, const std::string& text) {
        b = new QPushButton(toQString(text), this);
        b->setObjectName(name);
        bar->addWidget(b);
    };
    button(Button5, "Button5", "|<");
    button(Button2, "Button2", "<<");
    button(Button3, "Button3", ">>");
    button(Button6, "Button6", ">|");
    button(Button1, "Button1", "Drukuj");
    button(Button4, "Button4", "Zapisz");
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName("Gauge1");
    Gauge1->hide();
    bar->addWidget(Gauge1);
    bar->addStretch();
    layout->addLayout(bar);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->verticalScrollBar()->setSingleStep(20);  // a wheel notch moves the sheet 20 pixels
    layout->addWidget(ScrollBox1, 1);

    connect(Button5, &QPushButton::clicked, this, [this] { ShowSheet(0); });
    connect(Button2, &QPushButton::clicked, this, [this] { ShowSheet(mCurrent - 1); });
    connect(Button3, &QPushButton::clicked, this, [this] { ShowSheet(mCurrent + 1); });
    connect(Button6, &QPushButton::clicked, this, [this] { ShowSheet(SheetCount() - 1); });
    connect(Button1, &QPushButton::clicked, this, [this] { Print(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Save(); });
    resize(900, 700);
    ShowSheet(0);
}

TForm2::~TForm2() = default;

void TForm2::ShowSheet(int index) {
    mCurrent = std::clamp(index, 0, SheetCount() - 1);
    const ReportSheet& sheet = Sheet();
    for (QPushButton* b : {Button5, Button2, Button3, Button6, Button1, Button4}) b->hide();
    Gauge1->setRange(0, std::max(sheet.count, 1));
    Gauge1->setValue(0);
    Gauge1->show();
    const int width = std::clamp(RoundPixels(mReport->ReportWidth()) + mReport->originX, 1, kMaxSheetSide);
    const int height = std::clamp(mReport->SheetPixels(sheet), 1, kMaxSheetSide);
    mImage = QImage(width, height, QImage::Format_RGB32);
    mImage.fill(Qt::white);
    {
        QPainter painter(&mImage);
        QtReportCanvas canvas(painter);
        mReport->DrawSheet(canvas, sheet, [this](int drawn) {
            Gauge1->setValue(drawn);
            if (drawn % 10 == 0) Gauge1->repaint();  // the window is not back in its loop yet
        });
    }
    Gauge1->setValue(std::max(sheet.count, 1));
    Gauge1->hide();
    Image1->setPixmap(QPixmap::fromImage(mImage));
    Image1->resize(mImage.size());
    Button1->show();
    Button4->show();
    Button5->setVisible(mCurrent > 0);
    Button2->setVisible(mCurrent > 0);
    Button3->setVisible(mCurrent + 1 < SheetCount());
    Button6->setVisible(mCurrent + 1 < SheetCount());
    ShowMessages();
}

void TForm2::ShowMessages() {
    const std::vector<std::string>& messages = mReport->Messages();
    for (; mMessagesShown < messages.size(); ++mMessagesShown)
        if (mMessage) mMessage(messages[mMessagesShown]);
}

std::string TForm2::SaveFilter() const {
    std::string filter;
    for (const auto& saver : mSavers) filter += (filter.empty() ? "" : "|") + saver->Filter();
    return filter;
}

std::string TForm2::SaveWith(std::size_t saver, const std::string& file) {
    if (saver >= mSavers.size()) return NotForThisReport();
    return mSavers[saver]->Save(*mReport, file);
}

void TForm2::Save() {
    QStringList filters;
    for (const auto& saver : mSavers) {
        const std::string f = saver->Filter();
        const PipeSplit parts = SplitAtPipe(f);
        filters << toQString(std::string(parts.head)) + " (" + toQString(std::string(parts.tail)) + ")";
    }
    QFileDialog dialog(this, toQString("Zapisz"), QString(), filters.join(";;"));
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const auto index = static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    QString name = dialog.selectedFiles().front();
    const std::string filter = mSavers[index]->Filter();
    const std::string_view pattern = SplitAtPipe(filter).tail;
    const QString suffix = toQString(std::string(pattern.substr(std::min<std::size_t>(1, pattern.size()))));  // "*.srp" -> ".srp"
    if (!name.contains('.')) name += suffix;
    const std::string error = SaveWith(index, fromQPath(name));
    if (!error.empty() && mMessage) mMessage(error);
}

std::string TForm2::PrintTo(QPrinter& printer) {
    const std::string error = PrintTableReport(*mReport, printer);
    ShowMessages();
    return error;
}

std::string TForm2::PrintToPdf(const std::string& file) {
    const std::string error = WriteTablePdf(*mReport, file);
    ShowMessages();
    return error;
}

void TForm2::SetFixedPrinter(const std::string& name, const std::string& settingsFile) {
    mFixedPrinter = name;
    mFixedSettings = settingsFile;
}

void TForm2::Print() {
    PrinterChoice& printers = Printers();
    if (!mFixedPrinter.empty()) {
        if (!printers.SelectPrinter(mFixedPrinter, mFixedSettings)) {
            if (mMessage) mMessage("Brak drukarki \""_cp + mFixedPrinter + "\"");
            return;
        }
        mReport->pageFrom = mReport->pageTo = 0;
    } else {
        // The dialog offers the pages the report has on the printer it starts with.
        std::string& name = ReportPrinterName();
        printers.SelectPrinter(name, name.empty() ? std::string() : PrinterSettingsFile(PrinterSettingsDirectory(), name));
        QPrinter probe(QPrinter::HighResolution);
        ApplyPrinterSettings(probe, printers.Current());
        if (mReport->orientation == 1) probe.setPageOrientation(QPageLayout::Portrait);
        if (mReport->orientation == 2) probe.setPageOrientation(QPageLayout::Landscape);
        probe.setFullPage(true);
        const QRect paper = probe.pageLayout().fullRectPixels(probe.resolution());
        PrintPages pages;
        pages.last = std::min(mReport->CountPages(PrinterPage{probe.resolution(), paper.width(), paper.height()}),
                              kMaxPrintDialogPages);
        pages.orientation = mReport->orientation;
        if (!printers.ChoosePrinterIn(name, PrinterSettingsDirectory(), &pages)) return;
        mReport->pageFrom = pages.from;
        mReport->pageTo = pages.to;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQString(mReport->title));
    ApplyPrinterSettings(printer, printers.Current());
    const std::string error = PrintTo(printer);
    if (!error.empty() && mMessage) mMessage("Błąd druku: "_cp + error);
}

}  // namespace velt::gui
