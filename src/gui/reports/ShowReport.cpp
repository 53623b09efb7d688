#include "gui/reports/ShowReport.h"

#include "gui/common/QtText.h"
#include "gui/params/QtProgramLauncher.h"
#include "gui/print/ReportPrinting.h"
#include "gui/reports/QtPrinters.h"
#include "gui/reports/TForm2.h"
#include "reports/LoanForm.h"
#include "reports/tbl_report.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

// The report window "Zestawienie": the text widget given, "Drukuj" printing
// its document under the window's title.
QDialog* ReportWindow(const std::string& title, QWidget* text, QTextDocument* document, QWidget* parent) {
    auto* window = new QDialog(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("OknoZestawienia");
    window->setWindowTitle(toQString(title.empty() ? std::string("Zestawienie") : title));
    auto* layout = new QVBoxLayout(window);
    text->setParent(window);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(window);
    buttons->addButton(toQString("&Zamknij"), QDialogButtonBox::RejectRole);
    QPushButton* print = buttons->addButton(toQString("&Drukuj"), QDialogButtonBox::ActionRole);
    QObject::connect(print, &QPushButton::clicked, window, [window, document] {
        PrinterChoice& printers = Printers();
        if (!printers.ChoosePrinterIn(ReportPrinterName(), PrinterSettingsDirectory(), nullptr)) return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(window->windowTitle());
        ApplyPrinterSettings(printer, printers.Current());
        document->print(&printer);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    layout->addWidget(buttons);
    window->resize(720, 520);
    return window;
}

ReportDelivery DeliveryOf(const ReportShowContext& context) {
    static QtProgramLauncher desktop;
    ReportDelivery how;
    how.labelFile = context.labelFile;
    how.labelProgram = context.labelProgram;
    how.libraryName = context.libraryName;
    how.label1 = context.label1;
    how.label2 = context.label2;
    how.plikTarget = context.plikTarget;
    how.cards = context.cards.get();
    how.launcher = context.launcher ? context.launcher : &desktop;
    return how;
}

}  // namespace

void QtReportViewer::ShowText(const std::string& title, const std::string& text) {
    auto* edit = new QPlainTextEdit;
    edit->setObjectName("RichEdit1");
    edit->setReadOnly(true);
    FillTextDocument(*edit->document(), text, mContext.reportFont);
    edit->setFont(edit->document()->defaultFont());
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->moveCursor(QTextCursor::Start);  // the report is read from its beginning
    ReportWindow(title, edit, edit->document(), mContext.parent)->show();
}

void QtReportViewer::ShowFormatted(const std::string& title, const std::vector<std::string>& lines) {
    auto* edit = new QTextEdit;
    edit->setObjectName("RichEdit1");
    edit->setReadOnly(true);
    edit->setAcceptRichText(false);
    FillFormattedDocument(*edit->document(), lines, mContext.reportFont);
    edit->moveCursor(QTextCursor::Start);
    ReportWindow(title, edit, edit->document(), mContext.parent)->show();
}

void QtReportViewer::ShowTable(std::unique_ptr<tbl_report> table) {
    auto* window = new TForm2(std::move(table), mContext.error, mContext.parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showMaximized();
}

void QtReportViewer::OpenFile(const std::string& path) {
    if (mContext.open) mContext.open(path);
}

void QtReportViewer::ShowError(const std::string& text) {
    if (mContext.error) mContext.error(text);
}

bool AskPlikTarget(QWidget* parent, const velt_report& report, const std::string& directory, std::string& target) {
    QFileDialog dialog(parent, toQString(report.Name));
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(toQPath(directory));
    dialog.selectFile(toQString(PlikDefaultName(report.Options)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    target = fromQPath(dialog.selectedFiles().front());
    return true;
}

bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context) {
    QtReportViewer viewer(context);
    return DeliverReport(report, file, DeliveryOf(context), viewer);
}

void AddLabels(const std::vector<std::string>& lines, const ReportShowContext& context) {
    QtReportViewer viewer(context);
    DeliverLabels(lines, DeliveryOf(context), viewer);
}

}  // namespace velt::gui
