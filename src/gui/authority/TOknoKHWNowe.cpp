#include "gui/authority/TOknoKHWNowe.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velt::gui {

namespace {
int gCellHeight = 30;  // shared by every opening of the window
}

int TOknoKHWNowe::CellHeight() { return gCellHeight; }

TOknoKHWNowe::TOknoKHWNowe(QtCellMeasurer& measurer, QWidget* parent) : QDialog(parent), mMeasurer(measurer) {
    setObjectName("OknoKHWNowe");
    setWindowTitle(toQString("Kartoteka wzorcowa"));
    auto* layout = new QVBoxLayout(this);
    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName("TabControl1");
    TabControl1->setExpanding(false);
    layout->addWidget(TabControl1);
    Panel5 = new QWidget(this);
    Panel5->setObjectName("Panel5");
    Panel5->setMinimumSize(420, 260);
    auto* panel = new QVBoxLayout(Panel5);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel5, 1);

    auto* fields = new QGridLayout;
    auto* l1 = new QLabel(toQString("&Początek szukanego hasła:"_cp), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    l1->setBuddy(Edit1);
    auto* l2 = new QLabel(toQString("Znalezione hasło:"_cp), this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit2->setReadOnly(true);
    l2->setBuddy(Edit2);
    PlusButton = new QPushButton("+", this);
    PlusButton->setToolTip(toQString("Powiększ"_cp));
    MinusButton = new QPushButton("-", this);
    MinusButton->setToolTip(toQString("Zmniejsz"));
    for (QPushButton* b : {PlusButton, MinusButton}) {
        b->setFixedWidth(32);
        b->setAutoDefault(false);
    }
    fields->addWidget(l1, 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(PlusButton, 0, 2);
    fields->addWidget(MinusButton, 0, 3);
    fields->addWidget(l2, 1, 0);
    fields->addWidget(Edit2, 1, 1, 1, 3);
    layout->addLayout(fields);

    auto* records = new QHBoxLayout;
    auto button = [this, records](const char* name, const std::string& text, const std::string& hint) {
        auto* b = new QPushButton(toQString(text), this);
        b->setObjectName(name);
        b->setToolTip(toQString(hint));
        b->setAutoDefault(false);
        records->addWidget(b);
        return b;
    };
    OtworzButton = button("OtworzButton", "&Otwórz"_cp, "Otwórz rekord wzorcowy"_cp);
    UsunButton = button("UsunButton", "&Usuń"_cp, "Usuń rekord wzorcowy"_cp);
    PokazButton = button("PokazButton", "O&twarte", "Pokaż otwarte rekordy"_cp);
    NowyButton = button("NowyButton", "&Dodaj", "Dodaj rekord wzorcowy");
    records->addStretch(1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText(toQString("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(toQString("Anuluj"));
    records->addWidget(box);
    layout->addLayout(records);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    Timer1.setSingleShot(true);
    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        if (mModel) mModel->TypingPaused(fromQString(Edit1->text()));
    });
    // Only what the user types starts the timer: the model's own writes do not.
    connect(Edit1, &QLineEdit::textEdited, this, [this] {
        if (mModel && mModel->Typed()) Timer1.start();
    });
    connect(TabControl1, &QTabBar::currentChanged, this, [this](int i) {
        if (!mUpdatingTabs && mModel && i >= 0) mModel->ChooseIndex(i);
    });
    connect(PlusButton, &QPushButton::clicked, this, [this] { Zoom(1.25); });
    connect(MinusButton, &QPushButton::clicked, this, [this] { Zoom(0.8); });
    connect(OtworzButton, &QPushButton::clicked, this, [this] { if (mModel) mModel->OpenRecords(); });
    connect(UsunButton, &QPushButton::clicked, this, [this] { if (mModel) mModel->DeleteRecords(); });
    connect(NowyButton, &QPushButton::clicked, this, [this] { if (mModel) mModel->NewRecord(); });
    connect(PokazButton, &QPushButton::clicked, this, [this] { if (mModel) mModel->ShowOpenRecords(); });
    resize(640, 520);
}

TOknoKHWNowe::~TOknoKHWNowe() {
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
}

std::string TOknoKHWNowe::Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start,
                                 Prompts& prompts, AuthorityEditing* editing) {
    Timer1.stop();
    mModel = std::make_unique<AuthorityLookup>(files, file, mode, *this, prompts, editing);
    setWindowTitle(toQString(file.Name));
    mUpdatingTabs = true;
    while (TabControl1->count() > 0) TabControl1->removeTab(0);
    for (const velt_KHW_index& i : file.Indexes) TabControl1->addTab(toQString(i.Name));
    mUpdatingTabs = false;
    for (QPushButton* b : {OtworzButton, UsunButton, PokazButton, NowyButton}) b->setEnabled(mModel->RecordButtons());
    mBrowser = new BrowserView(mModel->Source(), mMeasurer, gCellHeight, Panel5);
    mBrowser->setObjectName("VrBrowser");
    Panel5->layout()->addWidget(mBrowser);
    mModel->Start(start);
    Edit1->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    Timer1.stop();
    const std::string result = ok ? mModel->Result() : std::string();
    // The browser and the source live for one run.
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
    return result;
}

void TOknoKHWNowe::ShowSearchText(const std::string& text) {
    // setText never counts as typing (textEdited is the user's only).
    Edit1->setText(toQString(text));
}

void TOknoKHWNowe::ShowFoundTerm(const std::string& text) { Edit2->setText(toQString(text)); }

void TOknoKHWNowe::ShowEntry(const std::string& key) {
    if (!mBrowser) return;
    VrBrowser* b = mBrowser->Browser();
    if (!b) {
        // The browser is made once its size settles; it starts at the entry then.
        mBrowser->Rebuild();
        b = mBrowser->Browser();
    }
    if (key.empty()) {
        b->Home();
        return;
    }
    b->ShowKey(key);
    b->Select(key);
}

void TOknoKHWNowe::ListChanged() {
    if (!mBrowser) return;
    mUpdatingTabs = true;
    TabControl1->setCurrentIndex(mModel->Index());
    mUpdatingTabs = false;
    if (mBrowser->Browser()) mBrowser->Browser()->Home();
}

void TOknoKHWNowe::Accept() { accept(); }

void TOknoKHWNowe::Reject() { reject(); }

void TOknoKHWNowe::Zoom(double factor) {
    if (!mBrowser) return;
    const int wanted = static_cast<int>(std::lround(gCellHeight * factor));
    mBrowser->SetLineHeight(wanted);
    // Only a height the browser took is kept for the next opening.
    gCellHeight = mBrowser->LineHeight();
}

void TOknoKHWNowe::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (mBrowser && (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Up || k == Qt::Key_Down) &&
        mBrowser->HandleKey(k))
        return;
    QDialog::keyPressEvent(e);
}

}  // namespace velt::gui
