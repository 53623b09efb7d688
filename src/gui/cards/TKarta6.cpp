#include "gui/cards/TKarta6.h"

#include "cards/CardCorrection.h"
#include "gui/common/QtText.h"
#include "gui/print/QtReportCanvas.h"
#include "cards/CardLayout.h"
#include "text/CpLiteral.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace velt::gui {

TKarta6::TKarta6(const std::vector<std::string>& lines, const CardFont& font, QWidget* parent) : QDialog(parent) {
    setObjectName("TKarta6");
    setWindowTitle(toQString("Korekta wydruku karty katalogowej"_cp));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The paragraph font at the screen's size.
    Memo1->setFont(QtCanvasFont(CanvasFontOf(font, logicalDpiY())));
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + toQString(lines[i]);
    Memo1->setPlainText(text);
    layout->addWidget(Memo1, 1);
    auto* buttons = new QHBoxLayout;
    DodajAkapitButton = new QPushButton("&Dodaj Akapit", this);
    DodajAkapitButton->setObjectName("DodajAkapitButton");
    ZakonczButton = new QPushButton(toQString("&Zakończ Edycję"_cp), this);
    ZakonczButton->setObjectName("ZakonczButton");
    AnulujButton = new QPushButton("&Anuluj", this);
    AnulujButton->setObjectName("AnulujButton");
    buttons->addWidget(DodajAkapitButton);
    buttons->addStretch();
    buttons->addWidget(ZakonczButton);
    buttons->addWidget(AnulujButton);
    layout->addLayout(buttons);
    connect(DodajAkapitButton, &QPushButton::clicked, this, [this] { DodajAkapit(); });
    connect(ZakonczButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(AnulujButton, &QPushButton::clicked, this, &QDialog::reject);
    // Wide enough for a line of the card, tall enough for its lines.
    const QFontMetrics metrics(Memo1->font());
    const int rows = static_cast<int>(lines.size()) + 2;
    resize(std::clamp(metrics.horizontalAdvance(QString(60, 'n')) + 60, 520, 1100),
           std::clamp(rows * metrics.lineSpacing() + 90, 300, 760));
}

std::vector<std::string> TKarta6::Lines() const {
    std::vector<std::string> lines;
    for (const QString& line : Memo1->toPlainText().split('\n')) lines.push_back(fromQString(line));
    return lines;
}

void TKarta6::DodajAkapit() {
    QTextCursor cursor = Memo1->textCursor();
    MemoCaret caret{cursor.blockNumber(), cursor.positionInBlock()};
    const std::vector<std::string> lines = AddParagraph(Lines(), caret);
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + toQString(lines[i]);
    Memo1->setPlainText(text);
    QTextCursor at(Memo1->document()->findBlockByNumber(caret.line));
    at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, caret.column);
    Memo1->setTextCursor(at);
    Memo1->setFocus();
}

}  // namespace velt::gui
