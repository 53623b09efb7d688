#include "gui/reports/ShowReport.h"

#include "gui/common/QtText.h"
#include "gui/reports/TForm2.h"
#include "text/CpLiteral.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFont>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {
namespace {

// The most of a text report shown.
constexpr qint64 kMaxShownReport = 16 * 1024 * 1024;

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
    auto* window = new QDialog(context.parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("OknoZestawienia");
    window->setWindowTitle(toQString(title.empty() ? std::string("Zestawienie") : title));
    auto* layout = new QVBoxLayout(window);
    auto* edit = new QPlainTextEdit(window);
    edit->setObjectName("RichEdit1");
    edit->setReadOnly(true);
    edit->setPlainText(toQString(text));
    if (!context.reportFont.empty()) edit->setFont(QFont(toQString(context.reportFont)));
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QPushButton* print = buttons->addButton(toQString("&Drukuj"), QDialogButtonBox::ActionRole);
    QObject::connect(print, &QPushButton::clicked, window, [window, edit] {
        QPrinter printer;
        printer.setDocName(window->windowTitle());
        QPrintDialog dialog(&printer, window);
        if (dialog.exec() == QDialog::Accepted) edit->document()->print(&printer);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    layout->addWidget(buttons);
    window->resize(720, 520);
    window->show();
}

bool ShowReport(const velt_report& report, const std::string& file, const ReportShowContext& context) {
    if (report.Language == "TEXT") {
        ShowTextReport(report.Name, file, context);
        return true;
    }
    if (report.Language == "TABELA") {
        auto table = std::make_unique<tbl_report>(tbl_report::FromSrpFile(report.Name, file));
        QFile::remove(QString::fromLocal8Bit(file.c_str()));
        if (!table->Refusal().empty()) {
            if (context.error) context.error(table->Refusal());
            return true;
        }
        auto* window = new TForm2(std::move(table), context.error, context.parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showMaximized();
        return true;
    }
    static const std::string kLater[] = {"FORMAT", "KARTA", "ETYKIETA", "PLIK"};
    for (const std::string& kind : kLater)
        if (report.Language == kind) return false;
    if (context.error) context.error("Nieznany typ zestawienia \"" + report.Language + "\"");
    return true;
}

}  // namespace velt::gui
