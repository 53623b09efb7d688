#include "gui/import/TOknoZ3950.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/common/TListChoice.h"
#include "text/CpLiteral.h"

#include <QActionGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velt::gui {

namespace {

// A group of three radio buttons in a row; the index clicked goes to chosen.
QGroupBox* RadioGroup(const char* name, const std::string& title, const char* const (&items)[3],
                      QRadioButton* (&buttons)[3], QWidget* parent, std::function<void(int)> chosen) {
    auto* box = new QGroupBox(toQString(title), parent);
    box->setObjectName(name);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QRadioButton(toQString(items[i]), box);
        row->addWidget(buttons[i]);
        group->addButton(buttons[i], i);
    }
    row->addStretch(1);
    QObject::connect(group, &QButtonGroup::idClicked, box, std::move(chosen));
    return box;
}

}  // namespace

TOknoZ3950::TOknoZ3950(Z3950Host& host, Prompts& prompts, LongOperations& longOps, ParameterForms& forms,
                       QtCellMeasurer& measurer, QWidget* parent)
    : QWidget(parent, Qt::Window), mPrompts(prompts), mMeasurer(measurer), mLists(std::make_unique<TListChoice>(measurer, this)) {
    setObjectName("OknoZ3950");
    mModel = std::make_unique<Z3950Import>(*this, host, prompts, longOps, forms, *mLists);
    setWindowTitle(toQString("Pobieranie Z39.50"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName("MainMenu");
    layout->setMenuBar(MainMenu);
    ZrodloMenu = MainMenu->addMenu(toQString("Źródło"_cp));
    ZrodloMenu->setObjectName("ZrodloMenu");
    FormatMenu = MainMenu->addMenu(toQString("Format"));
    FormatMenu->setObjectName("FormatMenu");
    ZapytanieItem = MainMenu->addAction(toQString("Zapytanie"));
    ZapytanieItem->setObjectName("ZapytanieItem");
    connect(ZapytanieItem, &QAction::triggered, this, [this] { mModel->Query(); });

    static const char* const kPresentation[3] = {"1-1", "ALA", "UTF-8"};
    static const char* const kSearch[3] = {"1-1", "BN {nnn}c", "UTF-8"};
    auto* groups = new QHBoxLayout;
    RadioGroup1 = RadioGroup("RadioGroup1", "Standard znaków - prezentacja"_cp, kPresentation, Presentation, this,
                             [this](int i) { mModel->SetPresentation(i); });
    RadioGroup2 = RadioGroup("RadioGroup2", "Standard znaków - wyszukiwanie"_cp, kSearch, Search, this,
                             [this](int i) { mModel->SetSearchCharset(i); });
    groups->addWidget(RadioGroup1, 1);
    groups->addWidget(RadioGroup2, 1);
    layout->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    auto button = [this](const char* name, const std::string& text, const std::string& hint) {
        auto* b = new QPushButton(toQString(text), this);
        b->setObjectName(name);
        if (!hint.empty()) b->setToolTip(toQString(hint));
        return b;
    };
    PlusButton = button("PlusButton", "+", "Powiększ"_cp);
    MinusButton = button("MinusButton", "-", "Zmniejsz");
    for (QPushButton* b : {PlusButton, MinusButton}) b->setFixedWidth(b->fontMetrics().horizontalAdvance("MM") + 16);
    PobierzButton = button("PobierzButton", "Pobierz", "Otwórz rekord jako nowy rekord katalogu"_cp);
    KonwertujButton = button("KonwertujButton", "Konwertuj", "Przekształć rekord modułem konwertera"_cp);
    PobierzButton->setEnabled(false);
    KonwertujButton->setEnabled(false);
    Label1 = new QLabel(toQString("Znaleziono:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setReadOnly(true);
    Edit1->setFixedWidth(Edit1->fontMetrics().horizontalAdvance("0000000000") + 12);
    buttons->addWidget(PlusButton);
    buttons->addWidget(MinusButton);
    buttons->addSpacing(12);
    buttons->addWidget(Label1);
    buttons->addWidget(Edit1);
    buttons->addStretch(1);
    buttons->addWidget(PobierzButton);
    buttons->addWidget(KonwertujButton);
    layout->addLayout(buttons);
    CountsLabel = new QLabel(this);
    CountsLabel->setObjectName("CountsLabel");
    CountsLabel->setTextFormat(Qt::PlainText);
    CountsLabel->setWordWrap(true);
    CountsLabel->hide();
    layout->addWidget(CountsLabel);
    connect(PlusButton, &QPushButton::clicked, this, [this] { Zoom(1.25); });
    connect(MinusButton, &QPushButton::clicked, this, [this] { Zoom(0.8); });
    connect(PobierzButton, &QPushButton::clicked, this, [this] { mModel->Take(); });
    connect(KonwertujButton, &QPushButton::clicked, this, [this] { mModel->Convert(); });

    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    auto* panel = new QVBoxLayout(Panel2);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel2, 1);
    resize(900, 640);
}

TOknoZ3950::~TOknoZ3950() {
    // The browser goes before the result list it shows.
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
}

void TOknoZ3950::AddSources(QMenu* into, const std::vector<Z3950SourceItem>& items, std::vector<std::string> path) {
    // A group is searched whole from its own first item.
    if (!path.empty()) {
        QAction* all = into->addAction(toQString("Wszystkie źródła grupy"_cp));
        all->setObjectName("GroupItem");
        connect(all, &QAction::triggered, this, [this, path] { mModel->CheckGroup(path); });
        into->addSeparator();
    }
    for (const Z3950SourceItem& item : items) {
        if (item.source < 0) {
            std::vector<std::string> inner = path;
            inner.push_back(item.caption);
            AddSources(into->addMenu(toQString(item.caption)), item.children, inner);
            continue;
        }
        QAction* a = into->addAction(toQString(item.caption));
        a->setObjectName(toQString(mModel->Settings().Sources()[static_cast<std::size_t>(item.source)].section));
        a->setCheckable(true);
        a->setChecked(item.source == mModel->CurrentSource());
        mSources->addAction(a);
        const int index = item.source;
        connect(a, &QAction::triggered, this, [this, index] { mModel->SelectSource(index); });
    }
}

void TOknoZ3950::BuildMenus() {
    ZrodloMenu->clear();
    FormatMenu->clear();
    delete mSources;
    delete mFormats;
    mSources = new QActionGroup(this);
    mFormats = new QActionGroup(this);
    AddSources(ZrodloMenu, mModel->Settings().Menu(), {});
    ZrodloMenu->addSeparator();
    KilkaItem = ZrodloMenu->addAction(toQString("Kilka źródeł..."_cp));
    KilkaItem->setObjectName("KilkaItem");
    KilkaItem->setEnabled(mModel->Settings().Sources().size() >= 2);
    connect(KilkaItem, &QAction::triggered, this, [this] { ChooseSeveral(); });
    const auto& formats = mModel->Settings().Formats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        QAction* a = FormatMenu->addAction(toQString(formats[i]->name));
        a->setCheckable(true);
        a->setChecked(static_cast<int>(i) == mModel->CurrentFormat());
        mFormats->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { mModel->SelectFormat(index); });
    }
    FormatMenu->menuAction()->setVisible(!formats.empty());
    ShowCharsets(mModel->Presentation(), mModel->SearchCharset());
}

void TOknoZ3950::CloseImport() {
    mModel->Close();
    hide();
}

void TOknoZ3950::ShowCaption(const std::string& caption) {
    setWindowTitle(toQString(caption));
    // The menu follows the source chosen (also one chosen by the model).
    if (mSources)
        for (QAction* a : mSources->actions())
            if (a->objectName() ==
                toQString(mModel->Settings().Sources()[static_cast<std::size_t>(mModel->CurrentSource())].section))
                a->setChecked(true);
}

void TOknoZ3950::ShowCharsets(int presentation, int search) {
    if (presentation >= 0 && presentation < 3) Presentation[presentation]->setChecked(true);
    if (search >= 0 && search < 3) Search[search]->setChecked(true);
}

void TOknoZ3950::ShowResult(Vrserwer* results, const std::string& count) {
    delete mBrowser;
    mBrowser = nullptr;
    Edit1->setText(toQString(count));
    if (!results) return;
    mBrowser = new BrowserView(*results, mMeasurer, mModel->CellHeight(), Panel2);
    mBrowser->setObjectName("VrBrowser");
    Panel2->layout()->addWidget(mBrowser);
    // The panel's size is settled already: the first entries are fetched and
    // drawn now, not after the browser's wait for a settled size.
    if (Panel2->isVisible()) {
        mBrowser->resize(Panel2->size());
        mBrowser->Rebuild();
        mBrowser->show();
    }
}

void TOknoZ3950::RedrawResult() {
    if (mBrowser && mBrowser->Browser()) mBrowser->Browser()->Home();
}

std::string TOknoZ3950::SelectedKey() {
    return mBrowser && mBrowser->Browser() ? mBrowser->Browser()->SelectedKey() : std::string();
}

void TOknoZ3950::EnableButtons(bool take, bool convert) {
    PobierzButton->setEnabled(take);
    KonwertujButton->setEnabled(convert);
}

void TOknoZ3950::ShowWindow() {
    showNormal();
    raise();
    activateWindow();
}

void TOknoZ3950::ShowLater(const std::string& text) {
    // Arisen while the browser drew: shown once the drawing is over.
    QPointer<TOknoZ3950> self(this);
    QTimer::singleShot(0, this, [self, text] {
        if (self) self->mPrompts.show_error(text);
    });
}

void TOknoZ3950::ShowSourceCounts(const std::string& counts) {
    CountsLabel->setText(toQString(counts));
    CountsLabel->setVisible(!counts.empty());
}

void TOknoZ3950::ShowCheckedSources(const std::vector<int>& sources) {
    // Several sources checked: no single source stays checked in the menu.
    if (!mSources) return;
    mSources->setExclusive(false);
    for (QAction* a : mSources->actions()) {
        if (!sources.empty()) a->setChecked(false);
    }
    mSources->setExclusive(true);
}

void TOknoZ3950::ChooseSeveral() {
    QDialog dialog(this);
    dialog.setObjectName("KilkaDialog");
    dialog.setWindowTitle(toQString("Kilka źródeł"_cp));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("SourceList");
    const auto& sources = mModel->Settings().Sources();
    const auto& checked = mModel->CheckedSources();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        auto* item = new QListWidgetItem(toQString(sources[i].name), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = checked.empty() ? static_cast<int>(i) == mModel->CurrentSource()
                                        : std::find(checked.begin(), checked.end(), static_cast<int>(i)) != checked.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    std::vector<int> chosen;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) chosen.push_back(i);
    mModel->CheckSources(chosen);
}

void TOknoZ3950::Zoom(double factor) {
    const int height = mModel->Zoom(factor);
    if (mBrowser) mBrowser->SetLineHeight(height);
}

}  // namespace velt::gui
