#include "gui/reports/ShowReport.h"

#include "gui/common/QtText.h"
#include "gui/print/ReportPrinting.h"
#include "gui/reports/QtPrinters.h"
#include "gui/reports/TForm2.h"
#include "reports/FormattedText.h"
#include "reports/LabelFile.h"
#include "reports/LoanForm.h"
#include "reports/ReportFile.h"
#include "text/CpLiteral.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velt::gui {
namespace {

// The most of a text report shown.
constexpr qint64 kMaxShownReport = 16 * 1024 * 1024;

}  // namespace

namespace {

// The report window "Zestawienie": the text widget given, "Drukuj" printing
// its document under the window's title.
QDialog* ReportWindow(const std::string& title, QWidget* text, QTextDocument* document, const ReportShowContext& context) {
    auto* window = new QDialog(context.parent);
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

// The lines of a work file (without line ends), at most kMaxShownReport
// bytes; false when it cannot be opened. The file goes once read.
bool TakeLines(const std::string& file, std::vector<std::string>& lines) {
    QFile in(QString::fromLocal8Bit(file.c_str()));
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = in.read(kMaxShownReport);
    in.close();
    QFile::remove(in.fileName());
    lines = SplitReportLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
}

}  // namespace

void ShowTextReport(const std::string& title, const std::string& file, const ReportShowContext& context) {
    QFile in(QString::fromLocal8Bit(file.c_str()));
    if (!in.open(QIODevice::ReadOnly)) {
        if (context.error) context.error("TEXT_REPORT: Brak pliku roboczego zestawienia");
        return;
    }
    const QByteArray bytes = in.read(kMaxShownReport);
    const std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    in.close();
    QFile::remove(in.fileName());
    auto* edit = new QPlainTextEdit;
    edit->setObjectName("RichEdit1");
    edit->setReadOnly(true);
    FillTextDocument(*edit->document(), text, context.reportFont);
    edit->setFont(edit->document()->defaultFont());
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->moveCursor(QTextCursor::Start);  // the report is read from its beginning
    ReportWindow(title, edit, edit->document(), context)->show();
}

void ShowFormattedReport(const std::string& title, const std::string& file, const ReportShowContext& context) {
    std::vector<std::string> lines;
    if (!TakeLines(file, lines)) {
        if (context.error) context.error("SPEC_REPORT: Brak pliku roboczego zestawienia");
        return;
    }
    auto* edit = new QTextEdit;
    edit->setObjectName("RichEdit1");
    edit->setReadOnly(true);
    edit->setAcceptRichText(false);
    FillFormattedDocument(*edit->document(), lines, context.reportFont);
    edit->moveCursor(QTextCursor::Start);
    ReportWindow(title, edit, edit->document(), context)->show();
}

void AddReportLabels(const std::string& file, const ReportShowContext& context) {
    std::vector<std::string> lines;
    if (!TakeLines(file, lines)) {
        if (context.error) context.error("BARC_REPORT: Brak pliku roboczego zestawienia");
        return;
    }
    AddLabels(lines, context);
}

void AddLabels(const std::vector<std::string>& lines, const ReportShowContext& context) {
    if (lines.empty()) return;
    const std::string error = AppendLabelLines(context.labelFile, lines);
    if (!error.empty()) {
        if (context.error) context.error(error);
        return;
    }
    if (context.labelProgram.empty()) return;
    const QFileInfo labels(QString::fromLocal8Bit(context.labelFile.c_str()));
    // An argument list: nothing in the texts is read by a shell.
    if (!QProcess::startDetached(toQString(context.labelProgram),
                                 {labels.fileName(), toQString(context.label1), toQString(context.label2)},
                                 labels.absolutePath()) &&
        context.error)
        context.error("Błąd uruchomienia programu \""_cp + context.labelProgram + "\"");
}

bool AskPlikTarget(QWidget* parent, const velt_report& report, const std::string& directory, std::string& target) {
    QFileDialog dialog(parent, toQString(report.Name));
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(QString::fromLocal8Bit(directory.c_str()));
    dialog.selectFile(toQString(PlikDefaultName(report.Options)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    target = dialog.selectedFiles().front().toLocal8Bit().toStdString();
    return true;
}

bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context) {
    if (report.Language == "TEXT") {
        ShowTextReport(report.Name, file, context);
        return true;
    }
    if (report.Language == "ETYKIETA") {
        AddReportLabels(file, context);
        return true;
    }
    if (report.Language == "FORMAT") {
        ShowFormattedReport(report.Name, file, context);
        return true;
    }
    if (report.Language == "TABELA") {
        auto table = std::make_unique<tbl_report>(tbl_report::FromSrpFile(report.Name, file));
        QFile::remove(QString::fromLocal8Bit(file.c_str()));
        if (!table->Refusal().empty()) {
            if (context.error) context.error(table->Refusal());
            return true;
        }
        table->Macros().libraryName = context.libraryName;
        table->Macros().label1 = context.label1;
        table->Macros().label2 = context.label2;
        auto* window = new TForm2(std::move(table), context.error, context.parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showMaximized();
        return true;
    }
    if (report.Language == "PLIK") {
        if (context.plikTarget.empty()) {
            QFile::remove(QString::fromLocal8Bit(file.c_str()));
            return true;
        }
        // The whole file replaces the chosen one only once it has come.
        QFile::remove(QString::fromLocal8Bit(context.plikTarget.c_str()));
        if (!QFile::rename(QString::fromLocal8Bit(file.c_str()), QString::fromLocal8Bit(context.plikTarget.c_str()))) {
            QFile::remove(QString::fromLocal8Bit(file.c_str()));
            if (context.error) context.error("Nie można zapisać pliku "_cp + context.plikTarget);
            return true;
        }
        if (context.open) context.open(context.plikTarget);
        return true;
    }
    if (report.Language == "KARTA") {
        if (!context.cards) return false;
        const std::string error = HandOverCardReport(file, *context.cards);
        if (!error.empty() && context.error) context.error(error);
        return true;
    }
    if (context.error) context.error("Nieznany typ zestawienia \"" + report.Language + "\"");
    return true;
}

}  // namespace velt::gui
