#include "gui/cards/TKarta3.h"

#include "cards/CardCorrection.h"
#include "cards/CardDrawing.h"
#include "cards/CardPrinting.h"
#include "gui/cards/TKarta4.h"
#include "gui/cards/TKarta5.h"
#include "gui/cards/TKarta6.h"
#include "gui/common/QtText.h"
#include "gui/print/CardPrint.h"
#include "gui/print/QtReportCanvas.h"
#include "gui/print/ReportPrinting.h"
#include "text/CpLiteral.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace velt::gui {

namespace {

// Where the images of a view stand: 15 pixels in, 10 between them.
constexpr int kImageMargin = 15;
constexpr int kImageGap = 10;

}  // namespace

TKarta3::TKarta3(std::vector<std::string> lines, CardWindowContext context, QWidget* parent)
    : QDialog(parent), mText(std::move(lines)), mContext(std::move(context)) {
    setObjectName("TKarta3");
    setWindowTitle("Karta katalogowa");
    mScreen = std::max(logicalDpiY(), 1);
    mSettings = ReadCardSettings(mContext.settingsPath);

    auto* layout = new QVBoxLayout(this);
    auto* middle = new QHBoxLayout;
    layout->addLayout(middle, 1);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    middle->addWidget(ScrollBox1, 1);
    auto* column = new QVBoxLayout;
    middle->addLayout(column);
    auto button = [this, column](QPushButton*& b, const char* name, const std::string& caption) {
        b = new QPushButton(toQString(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        column->addWidget(b);
    };
    button(DrukujButton, "DrukujButton", "&Drukuj");
    button(DrukujKarteButton, "DrukujKarteButton", "Drukuj &kartę"_cp);
    button(UstawDrukarkeButton, "UstawDrukarkeButton", "Ustaw drukarkę"_cp);
    button(ParametryButton, "ParametryButton", "Ustaw parametry karty");
    column->addSpacing(12);
    button(PoprzedniaButton, "PoprzedniaButton", "&Poprzednia karta");
    button(NastepnaButton, "NastepnaButton", "&Następna karta"_cp);
    button(CiagDalszyButton, "CiagDalszyButton", "Ciąg dalszy"_cp);
    column->addSpacing(12);
    button(EdytujButton, "EdytujButton", "&Edytuj kartę"_cp);
    column->addStretch();
    button(ZakonczButton, "ZakonczButton", "&Zakończ"_cp);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setToolTip(toQString("Wyświetla: hasło karty, zakres widocznych stron/liczbę stron; numer kolejny i "
                                     "liczbę kart w kolekcji "_cp));
    Panel0 = new QLabel(StatusBar1);
    Panel0->setObjectName("Panel0");
    Panel1 = new QLabel(StatusBar1);
    Panel1->setObjectName("Panel1");
    StatusBar1->addWidget(Panel0, 1);
    StatusBar1->addPermanentWidget(Panel1);
    layout->addWidget(StatusBar1);

    connect(DrukujButton, &QPushButton::clicked, this, [this] { PrintAll(); });
    connect(DrukujKarteButton, &QPushButton::clicked, this, [this] { PrintCurrent(); });
    connect(UstawDrukarkeButton, &QPushButton::clicked, this, [this] { UstawDrukarke(); });
    connect(ParametryButton, &QPushButton::clicked, this, [this] { UstawParametry(); });
    connect(NastepnaButton, &QPushButton::clicked, this, [this] { ShowCard(mCurrent + 1); });
    connect(PoprzedniaButton, &QPushButton::clicked, this, [this] { ShowCard(mCurrent - 1); });
    connect(CiagDalszyButton, &QPushButton::clicked, this, [this] { CiagDalszyK(); });
    connect(EdytujButton, &QPushButton::clicked, this, [this] { EdytujKarte(); });
    connect(ZakonczButton, &QPushButton::clicked, this, &QDialog::accept);

    MakePrinter();
    ParametryKarty();
    // The window fits one card in height, the buttons beside it.
    const CardGeometry g = CardGeometry::For(mSettings, mScreen);
    resize(g.W + 1 + 2 * kImageMargin + 30 + column->sizeHint().width() + 30,
           std::max(g.Hi + 2 * kImageMargin + StatusBar1->sizeHint().height() + 30, column->sizeHint().height() + 60));
}

TKarta3::~TKarta3() = default;

int TKarta3::MeasuringResolution() const { return mPrinter->resolution(); }

void TKarta3::MakePrinter() {
    PrinterSettings target;
    if (mContext.printers) {
        const std::string name = mContext.printerName ? *mContext.printerName : std::string();
        mContext.printers->SelectPrinter(name, name.empty() ? std::string()
                                                            : PrinterSettingsFile(mContext.printerDirectory, name));
        target = mContext.printers->Current();
    }
    mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    ApplyPrinterSettings(*mPrinter, target);
    // Without any printer the cards are measured as a PDF file prints them.
    if (target.printer.empty() || !mPrinter->isValid()) mPrinter->setOutputFormat(QPrinter::PdfFormat);
    PrepareCardPrinter(*mPrinter, mSettings);
}

void TKarta3::Tell(const std::vector<std::string>& messages) {
    if (!mContext.prompts) return;
    for (const std::string& m : messages) mContext.prompts->show_error(m);
}

void TKarta3::ParametryKarty() {
    mCards = FindCards(mText);
    if (mCards.empty()) {
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    mCurrent = std::clamp(mCurrent, 1, CardCount());
    PoprzedniaButton->setEnabled(mCurrent > 1);
    NastepnaButton->setEnabled(mCurrent < CardCount());
    QtCardMeasurer measurer(*mPrinter);
    CardLayout layout(mSettings, mScreen, measurer);
    mCard = layout.GenLines(mText, mCards[static_cast<std::size_t>(mCurrent) - 1], mCurrent);
    ShowView(1);
    Tell(mCard.messages);
}

void TKarta3::ShowCard(int number) {
    mCurrent = std::clamp(number, 1, std::max(CardCount(), 1));
    ParametryKarty();
}

void TKarta3::ShowView(int firstPage) {
    const std::vector<CardPage> pages = CardPages(mCard);
    const int count = static_cast<int>(pages.size());
    mFirstPage = std::clamp(firstPage, 1, count);
    const int last = std::min(mFirstPage + kPagesPerView - 1, count);
    const CardSettings settings = BoundedCardSettings(mSettings);
    const CardGeometry g = CardGeometry::For(settings, mScreen);

    mImages.clear();
    auto* view = new QWidget;
    view->setObjectName("Pages");
    int width = 0, bottom = 0;
    for (int p = mFirstPage; p <= last; ++p) {
        // The preview's text is never cut: a line running past the card widens its image.
        QImage image(2 * (g.W + 1), g.Hi, QImage::Format_RGB32);
        image.fill(Qt::white);
        CardPageExtent extent;
        {
            QPainter painter(&image);
            QtReportCanvas canvas(painter);
            CardDrawTarget target;
            target.resolution = mScreen;
            extent = DrawCardPage(canvas, mCard, pages[static_cast<std::size_t>(p) - 1], settings, g, target);
        }
        image = image.copy(0, 0, std::max(g.W + 1, extent.right + 2), g.Hi);
        auto* label = new QLabel(view);
        label->setObjectName(QString("Image%1").arg(p - mFirstPage + 1));
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setPixmap(QPixmap::fromImage(image));
        const int top = kImageMargin + (p - mFirstPage) * (g.Hi + 2 + kImageGap);
        label->setGeometry(kImageMargin, top, image.width() + 2, image.height() + 2);
        width = std::max(width, kImageMargin + image.width() + 2 + kImageMargin);
        bottom = top + image.height() + 2 + kImageMargin;
        mImages.push_back(std::move(image));
    }
    view->resize(width, bottom);
    ScrollBox1->setWidget(view);  // the old view goes

    CiagDalszyButton->setEnabled(last < count);
    EdytujButton->setEnabled(last >= count);
    Panel0->setText(toQString(CardViewPanel(mCard, mFirstPage, last)));
    Panel1->setText(toQString(CardNumberPanel(mCurrent, CardCount())));
}

void TKarta3::CiagDalszyK() {
    if (mFirstPage + kPagesPerView <= mCard.ZliczStrony()) ShowView(mFirstPage + kPagesPerView);
}

void TKarta3::PrintAll() {
    if (CardCount() == 1) {
        PrintCurrent();
        return;
    }
    const int printed = CardCount() * mSettings.copies;
    if (!mContext.prompts || mContext.prompts->ask_question(PrintAllQuestion(printed)) != kYes) return;
    Print(0, {}, mSettings.copies);
    ShowCard(1);
}

void TKarta3::PrintCurrent() {
    TKarta5 window(mCard.ZliczStrony(), mSettings.copies, this);
    mPrintWindow = &window;
    const int result = window.exec();
    mPrintWindow = nullptr;
    if (result != QDialog::Accepted) return;
    const std::vector<int> pages = window.Pages();
    if (!pages.empty()) Print(mCurrent, pages, window.Copies());
}

bool TKarta3::Print(int card, const std::vector<int>& pages, int copies) {
    if (!mContext.printers) return false;
    PrinterSettings target = mContext.printers->Current();
    if (target.printer.empty() && target.outputFile.empty()) {
        // No printer yet: the print dialog first (a printer or a PDF file).
        UstawDrukarke();
        target = mContext.printers->Current();
        if (target.printer.empty() && target.outputFile.empty()) return false;
    }
    std::string error;
    std::vector<std::string> messages;
    {
        std::unique_ptr<BusyCursor> busy;
        if (mContext.prompts) busy = std::make_unique<BusyCursor>(*mContext.prompts);
        QPrinter printer(QPrinter::HighResolution);
        ApplyPrinterSettings(printer, target);
        printer.setCopyCount(1);  // the copies are pages of the document
        printer.setDocName(toQString("Velt-Karta katalogowa"));
        PrepareCardPrinter(printer, mSettings);
        CardPrintRequest request;
        request.text = &mText;
        request.card = card;
        request.pages = pages;
        request.copies = copies;
        error = PrintCards(printer, mSettings, mScreen, request, nullptr, messages);
    }
    if (!error.empty()) {
        if (mContext.prompts) mContext.prompts->show_error("Błąd druku: "_cp + error);
        return false;
    }
    // What the preview has told already is not told again.
    std::vector<std::string> fresh;
    for (const std::string& m : messages)
        if (std::find(mCard.messages.begin(), mCard.messages.end(), m) == mCard.messages.end()) fresh.push_back(m);
    Tell(fresh);
    return true;
}

void TKarta3::UstawDrukarke() {
    if (!mContext.printers) return;
    std::string unnamed;
    std::string& name = mContext.printerName ? *mContext.printerName : unnamed;
    if (!mContext.printers->ChoosePrinterIn(name, mContext.printerDirectory, nullptr)) return;
    // The new printer measures from now on.
    const PrinterSettings chosen = mContext.printers->Current();
    mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    ApplyPrinterSettings(*mPrinter, chosen);
    if (chosen.printer.empty() || !mPrinter->isValid()) mPrinter->setOutputFormat(QPrinter::PdfFormat);
    PrepareCardPrinter(*mPrinter, mSettings);
    ParametryKarty();
}

void TKarta3::UstawParametry() {
    if (!mContext.prompts) return;
    TKarta4 window(mSettings, mContext.settingsPath, *mContext.prompts, this);
    window.onApply = [this](const CardSettings& settings) { ApplySettings(settings); };
    mSettingsWindow = &window;
    window.exec();
    mSettingsWindow = nullptr;
}

void TKarta3::ApplySettings(const CardSettings& settings) {
    mSettings = BoundedCardSettings(settings);
    PrepareCardPrinter(*mPrinter, mSettings);
    ParametryKarty();
}

void TKarta3::EdytujKarte() {
    const std::vector<std::string> lines = CorrectionLines(mCard);
    // The preview is cleared while the card is corrected.
    ScrollBox1->setWidget(new QWidget);
    mImages.clear();
    TKarta6 window(lines, mSettings.paragraphFont, this);
    mCorrectionWindow = &window;
    const int result = window.exec();
    mCorrectionWindow = nullptr;
    if (result == QDialog::Accepted)
        mText = GenerujNowaKarta(mText, mCurrent, CorrectedParagraphs(window.Lines()));
    ParametryKarty();
}

}  // namespace velt::gui
