#include "gui/search/TOknoZlozone.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velt::gui {

void FillSortingList(QGroupBox* box, QComboBox* list, const SearchService& service) {
    const std::vector<std::string> keys = service.SortKeys();
    box->setVisible(!keys.empty());
    list->clear();
    if (keys.empty()) return;
    list->addItem(toQString("bez sortowania"));
    for (const std::string& k : keys) list->addItem(toQString(k));
    const int at = service.SortIndex();
    list->setCurrentIndex(at < list->count() ? at : 0);
}

TOknoZlozone::TOknoZlozone(SearchService& service, QWidget* parent) : QDialog(parent), mService(service) {
    setObjectName("OknoZlozone");
    setWindowTitle(toQString("Zapytanie złożone"_cp));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(toQString("&Wyrażenie (numery kolekcji, + * / i nawiasy):"_cp), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    label->setBuddy(Edit1);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    auto* hl = new QLabel(toQString("&Historia zapytań:"_cp), this);
    historia = new QListWidget(this);
    historia->setObjectName("historia");
    hl->setBuddy(historia);
    layout->addWidget(hl);
    layout->addWidget(historia, 1);
    auto* row = new QHBoxLayout;
    RadioGroup1 = new QGroupBox(toQString("podwójne kliknięcie"_cp), this);
    RadioGroup1->setObjectName("RadioGroup1");
    auto* radios = new QVBoxLayout(RadioGroup1);
    mOperators = new QButtonGroup(this);
    const char* captions[] = {"poszerz (\"lub\")", "zawęż (\"i\")", "zawęż (\"oprócz\")"};
    for (int i = 0; i < 3; ++i) {
        Operators[i] = new QRadioButton(QString::fromUtf8(captions[i]), RadioGroup1);
        mOperators->addButton(Operators[i], i);
        radios->addWidget(Operators[i]);
    }
    Operators[1]->setChecked(true);
    row->addWidget(RadioGroup1);
    GroupBox2 = new QGroupBox(toQString("Sortowanie wyniku"), this);
    GroupBox2->setObjectName("GroupBox2");
    auto* sorting = new QVBoxLayout(GroupBox2);
    ComboBox1 = new QComboBox(GroupBox2);
    ComboBox1->setObjectName("ComboBox1");
    sorting->addWidget(ComboBox1);
    sorting->addStretch(1);
    row->addWidget(GroupBox2, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Button1 = buttons->button(QDialogButtonBox::Ok);
    Button1->setObjectName("Button1");
    Button1->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText(toQString("Anuluj"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(historia, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = historia->row(item);
        const auto& entries = mService.History().Entries();
        if (row < 0 || row >= static_cast<int>(entries.size())) return;
        Edit1->setText(toQString(SearchService::CombineWithCollection(fromQString(Edit1->text()),
                                                                      entries[static_cast<std::size_t>(row)].collection,
                                                                      mOperators->checkedId())));
    });
    resize(520, 420);
}

void TOknoZlozone::RefreshHistory() {
    historia->clear();
    for (const HistoryEntry& e : mService.History().Entries()) historia->addItem(toQString(e.Line()));
}

void TOknoZlozone::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FillSortingList(GroupBox2, ComboBox1, mService);
    RefreshHistory();
    Edit1->setFocus();
}

void TOknoZlozone::Open() {
    Edit1->clear();
    exec();
}

void TOknoZlozone::Ok() {
    const int sort = GroupBox2->isVisible() ? ComboBox1->currentIndex() : 0;
    if (mService.RunComplex(fromQString(Edit1->text()), std::max(0, sort))) accept();
    RefreshHistory();
}

}  // namespace velt::gui
