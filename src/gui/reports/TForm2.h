#pragma once
// The preview window of a table report: one sheet at a time (up to 100
// lines, a group's end ending it early) drawn at one pixel a unit, the
// buttons to go through the sheets, "Drukuj" (the print dialog; a printer
// or a PDF file) and "Zapisz" (the report's savers).

#include "reports/my_save.h"
#include "reports/tbl_report.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace velt::gui {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Takes the report and draws sheet 1 of group 1; message shows the
    // report's messages (description faults, barcodes that could not be drawn).
    TForm2(std::unique_ptr<tbl_report> report, std::function<void(const std::string&)> message,
           QWidget* parent = nullptr);
    ~TForm2() override;

    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QPushButton* Button5 = nullptr;  // |<
    QPushButton* Button2 = nullptr;  // <<
    QPushButton* Button3 = nullptr;  // >>
    QPushButton* Button6 = nullptr;  // >|
    QPushButton* Button1 = nullptr;  // Drukuj
    QPushButton* Button4 = nullptr;  // Zapisz

    // The sheet shown (from 0 among all the sheets) and its picture.
    int CurrentSheet() const { return mCurrent; }
    const ReportSheet& Sheet() const { return mSheets[static_cast<std::size_t>(mCurrent)]; }
    int SheetCount() const { return static_cast<int>(mSheets.size()); }
    const QImage& Picture() const { return mImage; }
    tbl_report& Report() { return *mReport; }

    void ShowSheet(int index);

    // The save dialog's filter: the savers' filter texts joined by "|".
    std::string SaveFilter() const;
    // Writes file with saver index (in the filter's order); the error text
    // or empty.
    std::string SaveWith(std::size_t saver, const std::string& file);

    // Prints the report's pages of its page range on printer (page by page,
    // the report placed between its margins); the error text or empty. The
    // report draws into the preview at scale 1 with both origins 0 afterwards.
    std::string PrintTo(QPrinter& printer);
    // The whole report as a PDF file of A4 pages, written then renamed.
    std::string PrintToPdf(const std::string& file);
    // "Drukuj" prints on this printer with its settings file, without the
    // dialog ("Brak drukarki" when it is missing).
    void SetFixedPrinter(const std::string& name, const std::string& settingsFile);
    // "Drukuj": the fixed printer, or the print dialog (a printer or a PDF
    // file) preset with the printer and settings used last.
    void Print();

private:
    void Save();
    void ShowMessages();

    std::unique_ptr<tbl_report> mReport;
    std::function<void(const std::string&)> mMessage;
    std::vector<ReportSheet> mSheets;
    std::vector<std::unique_ptr<my_save>> mSavers;
    std::size_t mMessagesShown = 0;
    int mCurrent = 0;
    QImage mImage;
    std::string mFixedPrinter;
    std::string mFixedSettings;
};

}  // namespace velt::gui
