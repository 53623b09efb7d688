#include "gui/search/TOknoElementarne.h"

#include "gui/common/QtText.h"
#include "gui/search/TOknoZlozone.h"
#include "text/CpLiteral.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

std::vector<std::string> LinesOf(const QPlainTextEdit* memo) {
    std::vector<std::string> lines;
    const QString text = memo->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& l : text.split('\n')) lines.push_back(fromQString(l));
    return lines;
}

void SetLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
    QStringList l;
    for (const std::string& s : lines) l << toQString(s);
    memo->setPlainText(l.join('\n'));
}

}  // namespace

TOknoElementarne::TOknoElementarne(SearchService& service, QWidget* parent) : QDialog(parent), mService(service) {
    setObjectName("OknoElementarne");
    setWindowTitle(toQString("Zapytanie elementarne"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* label = new QLabel(toQString("&Szukany tekst (alternatywy w kolejnych liniach):"_cp), this);
    wzorce = new QPlainTextEdit(this);
    wzorce->setObjectName("wzorce");
    label->setBuddy(wzorce);
    left->addWidget(label);
    left->addWidget(wzorce, 1);
    KHWButton = new QPushButton(toQString("&Kartoteka wzorcowa"), this);
    KHWButton->setObjectName("KHWButton");
    KHWButton->setToolTip(toQString("Wyszukaj w kartotece wzorcowej"));
    KHWButton->setAutoDefault(false);
    KHWButton->hide();
    left->addWidget(KHWButton, 0, Qt::AlignLeft);
    top->addLayout(left, 2);
    auto* options = new QGroupBox(toQString("Opcje:"), this);
    auto* ol = new QVBoxLayout(options);
    auto radio = [&](const char* name, const std::string& caption) {
        auto* r = new QRadioButton(toQString(caption), options);
        r->setObjectName(name);
        ol->addWidget(r);
        return r;
    };
    rowny = radio("rowny", "&Równy"_cp);
    poczatek = radio("poczatek", "&Początek"_cp);
    slowo = radio("slowo", "S&łowo"_cp);
    liczba = radio("liczba", "&Liczba");
    wzorzec = radio("wzorzec", "&Wzorzec");
    top->addWidget(options);
    auto* adding = new QGroupBox(toQString("Dodaj kryterium:"), this);
    auto* al = new QVBoxLayout(adding);
    auto button = [&](QWidget* parentBox, QBoxLayout* into, const char* name, const std::string& caption) {
        auto* b = new QPushButton(toQString(caption), parentBox);
        b->setObjectName(name);
        b->setAutoDefault(false);
        into->addWidget(b);
        return b;
    };
    Button2 = button(adding, al, "Button2", "Poszerz (lub)"_cp);
    Button3 = button(adding, al, "Button3", "Zawęż (i)"_cp);
    Button4 = button(adding, al, "Button4", "Zawęż (oprócz)"_cp);
    al->addStretch(1);
    top->addWidget(adding);
    layout->addLayout(top, 1);
    auto* expression = new QGroupBox(toQString("Wyrażenie wyszukiwawcze"_cp), this);
    auto* el = new QVBoxLayout(expression);
    wyrazenie = new QPlainTextEdit(expression);
    wyrazenie->setObjectName("wyrazenie");
    el->addWidget(wyrazenie);
    layout->addWidget(expression, 1);
    auto* bottom = new QHBoxLayout;
    GroupBox1 = new QGroupBox(toQString("Sortowanie wyniku"), this);
    GroupBox1->setObjectName("GroupBox1");
    auto* sl = new QVBoxLayout(GroupBox1);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName("ComboBox1");
    sl->addWidget(ComboBox1);
    bottom->addWidget(GroupBox1, 1);
    Button5 = button(this, bottom, "Button5", "P&oprzednie");
    Button1 = button(this, bottom, "Button1", "OK");
    Button1->setDefault(true);
    auto* cancel = button(this, bottom, "Anuluj", "Anuluj");
    layout->addLayout(bottom);
    connect(Button2, &QPushButton::clicked, this, [this] { Operator(QueryOperator::Lub); });
    connect(Button3, &QPushButton::clicked, this, [this] { Operator(QueryOperator::I); });
    connect(Button4, &QPushButton::clicked, this, [this] { Operator(QueryOperator::Oprocz); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        const auto& sent = mService.SentExpressions();
        if (mPrevious < 0 || mPrevious >= static_cast<int>(sent.size())) return;
        wyrazenie->setPlainText(toQString(sent[static_cast<std::size_t>(mPrevious)]));
        --mPrevious;
    });
    connect(Button1, &QPushButton::clicked, this, [this] { Ok(); });
    connect(KHWButton, &QPushButton::clicked, this, [this] {
        if (!mAuthority || mLink.empty()) return;
        // The line the cursor is on is where the heading is looked up from, and where it goes.
        QTextCursor line = wzorce->textCursor();
        line.select(QTextCursor::LineUnderCursor);
        const std::string heading = mAuthority(mLink, fromQString(line.selectedText()));
        if (heading.empty()) return;
        line.insertText(toQString(heading));
        wzorce->setTextCursor(line);
        wzorce->setFocus();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 440);
}

ElementaryState TOknoElementarne::State() const { return {LinesOf(wzorce), LinesOf(wyrazenie)}; }

void TOknoElementarne::Show(const ElementaryState& state) {
    SetLines(wzorce, state.wzorce);
    SetLines(wyrazenie, state.wyrazenie);
}

MatchKind TOknoElementarne::Kind() const {
    if (rowny->isChecked()) return MatchKind::Rowny;
    if (poczatek->isChecked()) return MatchKind::Poczatek;
    if (slowo->isChecked()) return MatchKind::Slowo;
    if (liczba->isChecked()) return MatchKind::Liczba;
    if (wzorzec->isChecked()) return MatchKind::Wzorzec;
    return MatchKind::None;
}

void TOknoElementarne::Operator(QueryOperator op) {
    ElementaryState s = State();
    AddCriterion(s, Kind(), op);
    Show(s);
}

void TOknoElementarne::Prepare(const std::string& index, const std::string& authorityLink) {
    mIndex = index;
    mLink = authorityLink;
    KHWButton->setVisible(!mLink.empty() && mAuthority);
    setWindowTitle(toQString("Szukaj wg \""_cp + index + "\""));
    mPrevious = static_cast<int>(mService.SentExpressions().size()) - 1;
    poczatek->setChecked(true);
    wzorce->clear();
    wyrazenie->clear();
    FillSortingList(GroupBox1, ComboBox1, mService);
    wzorce->setFocus();
}

void TOknoElementarne::question(const std::string& index, const std::string& authorityLink) {
    Prepare(index, authorityLink);
    exec();
}

void TOknoElementarne::Ok() {
    ElementaryState s = State();
    const int sort = GroupBox1->isVisibleTo(this) ? std::max(0, ComboBox1->currentIndex()) : 0;
    const bool done = mService.RunElementary(s, Kind(), mIndex, sort);
    Show(s);
    if (done) accept();
}

}  // namespace velt::gui
