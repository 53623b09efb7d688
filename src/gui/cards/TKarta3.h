#pragma once
// "Karta katalogowa": the cards of a KARTA report, one at a time, each page
// an image in the scroll box (ten pages a view, "Ciąg dalszy" for the next
// ten), with the status bar saying the heading, the pages shown and the
// card's number. It prints every card ("&Drukuj") or the current one
// ("Drukuj &kartę") on the printer chosen with "Ustaw drukarkę" (a printer
// or a PDF file of pages of the card's size), edits the settings ("Ustaw
// parametry karty") and corrects the current card's paragraphs ("&Edytuj
// kartę"). Texts are measured on the printer, so the preview breaks lines
// where the print does.

#include "cards/CardLayout.h"
#include "common/Prompts.h"
#include "reports/PrinterChoice.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QStatusBar;

namespace velt::gui {

class TKarta4;
class TKarta5;
class TKarta6;

// What a card window works with.
struct CardWindowContext {
    PrinterChoice* printers = nullptr;    // this run's printer choice
    std::string* printerName = nullptr;   // the printer used last, kept for the next report
    std::string printerDirectory;         // where the per-printer settings files are
    std::string settingsPath;             // Velt_kar.ini
    Prompts* prompts = nullptr;           // the messages and questions; the settings window needs them
};

class TKarta3 : public QDialog {
    Q_OBJECT
public:
    // Takes the card text; reads the settings; card 1 is shown.
    TKarta3(std::vector<std::string> lines, CardWindowContext context, QWidget* parent = nullptr);
    ~TKarta3() override;

    QPushButton* DrukujButton = nullptr;         // "&Drukuj"
    QPushButton* DrukujKarteButton = nullptr;    // "Drukuj &kartę"
    QPushButton* UstawDrukarkeButton = nullptr;  // "Ustaw drukarkę"
    QPushButton* ParametryButton = nullptr;      // "Ustaw parametry karty"
    QPushButton* NastepnaButton = nullptr;       // "&Następna karta"
    QPushButton* PoprzedniaButton = nullptr;     // "&Poprzednia karta"
    QPushButton* CiagDalszyButton = nullptr;     // "Ciąg dalszy"
    QPushButton* EdytujButton = nullptr;         // "&Edytuj kartę"
    QPushButton* ZakonczButton = nullptr;        // "&Zakończ"
    QScrollArea* ScrollBox1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Panel0 = nullptr;
    QLabel* Panel1 = nullptr;

    int CardCount() const { return static_cast<int>(mCards.size()); }
    int CurrentCard() const { return mCurrent; }
    // The current card as laid out for the preview.
    const LaidOutCard& Card() const { return mCard; }
    // The pages of the view (from 1) and their images.
    int FirstPageShown() const { return mFirstPage; }
    const std::vector<QImage>& Images() const { return mImages; }
    const std::vector<std::string>& Text() const { return mText; }
    const CardSettings& Settings() const { return mSettings; }
    // The pixels an inch the cards are measured at (the printer's).
    int MeasuringResolution() const;

    // Prepares and shows the current card from its first page.
    void ParametryKarty();
    // Shows card number (from 1).
    void ShowCard(int number);
    // "Ciąg dalszy": the next ten pages.
    void CiagDalszyK();
    // "&Drukuj": every card after the question (one card: as "Drukuj &kartę").
    void PrintAll();
    // "Drukuj &kartę": the pages and copies chosen in "Drukowanie bieżącej karty".
    void PrintCurrent();
    // Prints what is asked on the chosen printer; false when nothing printed.
    bool Print(int card, const std::vector<int>& pages, int copies);
    // "Ustaw drukarkę": the print dialog chooses the printer (or a PDF file).
    void UstawDrukarke();
    // "Ustaw parametry karty".
    void UstawParametry();
    // "&Edytuj kartę".
    void EdytujKarte();
    // New settings: kept and the card shown again.
    void ApplySettings(const CardSettings& settings);

    // The windows opened from here while they are open (for the tests).
    TKarta4* SettingsWindow() const { return mSettingsWindow; }
    TKarta5* PrintWindow() const { return mPrintWindow; }
    TKarta6* CorrectionWindow() const { return mCorrectionWindow; }

private:
    void MakePrinter();
    void ShowView(int firstPage);
    void Tell(const std::vector<std::string>& messages);

    std::vector<std::string> mText;
    std::vector<CardRange> mCards;
    CardWindowContext mContext;
    CardSettings mSettings;
    std::unique_ptr<QPrinter> mPrinter;  // measured on, and the target's settings
    int mScreen = 96;
    int mCurrent = 1;
    int mFirstPage = 1;
    LaidOutCard mCard;
    std::vector<QImage> mImages;
    TKarta4* mSettingsWindow = nullptr;
    TKarta5* mPrintWindow = nullptr;
    TKarta6* mCorrectionWindow = nullptr;
};

}  // namespace velt::gui
