#include "gui/admin/TOknoGlobalne.h"

#include "admin/GlobalModification.h"
#include "gui/common/QtText.h"
#include "gui/common/RememberedSize.h"
#include "text/CpLiteral.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {

TOknoGlobalne::TOknoGlobalne(GlobalProgram& program, const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent), mProgram(program) {
    setObjectName("TOknoGlobalne");
    setWindowTitle(toQString("Program globalnej modyfikacji"));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A program reads best with its indentation in columns.
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1->setTabStopDistance(4 * Memo1->fontMetrics().horizontalAdvance(' '));
    layout->addWidget(Memo1, 1);
    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    Button1 = button("Button1", toQString("Otwórz"_cp));
    Button2 = button("Button2", toQString("Zapisz"));
    buttons->addStretch();
    Button4 = button("Button4", toQString("Wykonaj"));
    Button3 = button("Button3", toQString("Rezygnacja"));
    layout->addLayout(buttons);

    OpenDialog1 = new QFileDialog(this, toQString("Otwórz"_cp), QString(), toQString("Pliki programów [*.apr] (*.apr)"_cp));
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    SaveDialog1 = new QFileDialog(this, toQString("Zapisz"), QString(), toQString("Pliki programów (*.apr)"_cp));
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setDefaultSuffix("apr");

    connect(Button1, &QPushButton::clicked, this, &TOknoGlobalne::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TOknoGlobalne::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TOknoGlobalne::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);

    SetLines(lines);
    const QFontMetrics metrics(Memo1->font());
    resize(std::max(640, metrics.horizontalAdvance(QString(72, 'n')) + 60), 28 * metrics.lineSpacing() + 80);
    RememberSize(this);
}

std::vector<std::string> TOknoGlobalne::Lines() const { return TextLines(fromQString(Memo1->toPlainText())); }

void TOknoGlobalne::SetLines(const std::vector<std::string>& lines) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + toQString(lines[i]);
    Memo1->setPlainText(text);
}

void TOknoGlobalne::Button1Click() {
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty()) return;
    const std::string path = fromQPath(OpenDialog1->selectedFiles().front());
    Memo1->clear();
    SetLines(mProgram.Open(path));
}

void TOknoGlobalne::Button2Click() {
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    mProgram.Save(fromQPath(SaveDialog1->selectedFiles().front()), Lines());
}

void TOknoGlobalne::Button4Click() {
    // The lines are read here, on the GUI thread, before the run begins.
    if (mProgram.Execute(Lines())) accept();
}

}  // namespace velt::gui
