#include "gui/import/TOknoRTK.h"

#include "browse/VrBrowser.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/common/RememberedSize.h"
#include "text/CpLiteral.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {

TOknoRTK::TOknoRTK(RtkHost& host, Prompts& prompts, LongOperations& longOps, QtCellMeasurer& measurer, QWidget* parent)
    : QWidget(parent, Qt::Window), mMeasurer(measurer) {
    setObjectName("OknoRTK");
    mModel = std::make_unique<RtkImport>(*this, host, prompts, longOps);
    setWindowTitle(toQString(RtkImport::TextNotConnected()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName("MainMenu");
    layout->setMenuBar(MainMenu);
    ZrodloMenu = MainMenu->addMenu(toQString("Ź&ródło"_cp));
    ZrodloMenu->setObjectName("ZrodloMenu");
    FormatMenu = MainMenu->addMenu(toQString("&Format"));
    FormatMenu->setObjectName("FormatMenu");
    IndeksMenu = MainMenu->addMenu(toQString("&Indeks"));
    IndeksMenu->setObjectName("IndeksMenu");
    ZapytanieItem = MainMenu->addAction(toQString("&Zapytanie"));
    ZapytanieItem->setObjectName("ZapytanieItem");
    AktualizacjaItem = MainMenu->addAction(toQString("&Aktualizacja"));
    AktualizacjaItem->setObjectName("AktualizacjaItem");
    connect(ZapytanieItem, &QAction::triggered, this, [this] { mModel->Query(); });
    connect(AktualizacjaItem, &QAction::triggered, this, [this] { mModel->Update(); });
    ShowMenus({}, {}, false);

    auto* row = new QHBoxLayout;
    auto button = [this](const char* name, const std::string& text, const std::string& hint) {
        auto* b = new QPushButton(toQString(text), this);
        b->setObjectName(name);
        if (!hint.empty()) b->setToolTip(toQString(hint));
        return b;
    };
    PlusButton = button("PlusButton", "+", "Powiększ"_cp);
    MinusButton = button("MinusButton", "-", "Zmniejsz");
    for (QPushButton* b : {PlusButton, MinusButton}) b->setFixedWidth(b->fontMetrics().horizontalAdvance("MM") + 16);
    PobierzButton = button("PobierzButton", "&Pobierz", "Otwórz rekord jako nowy rekord katalogu"_cp);
    KonwertujButton = button("KonwertujButton", "&Konwertuj", "Przekształć rekord modułem konwertera"_cp);
    PobierzButton->setEnabled(false);
    KonwertujButton->setEnabled(false);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setPlaceholderText(toQString("Szukany tekst w indeksie"));
    SzukajButton = button("SzukajButton", "&Szukaj", "");
    SzukajButton->setDefault(true);
    row->addWidget(PlusButton);
    row->addWidget(MinusButton);
    row->addSpacing(12);
    row->addWidget(Edit1, 1);
    row->addWidget(SzukajButton);
    row->addSpacing(12);
    row->addWidget(PobierzButton);
    row->addWidget(KonwertujButton);
    layout->addLayout(row);
    connect(PlusButton, &QPushButton::clicked, this, [this] {
        const int h = mModel->Zoom(1.25);
        if (mBrowser) mBrowser->SetLineHeight(h);
    });
    connect(MinusButton, &QPushButton::clicked, this, [this] {
        const int h = mModel->Zoom(0.8);
        if (mBrowser) mBrowser->SetLineHeight(h);
    });
    connect(PobierzButton, &QPushButton::clicked, this, [this] { mModel->Take(); });
    connect(KonwertujButton, &QPushButton::clicked, this, [this] { mModel->Convert(); });
    connect(SzukajButton, &QPushButton::clicked, this, [this] { mModel->Seek(fromQString(Edit1->text())); });
    connect(Edit1, &QLineEdit::returnPressed, SzukajButton, &QPushButton::click);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1, 1);

    BlobMenu = new QMenu(this);
    BlobMenu->setObjectName("BlobMenu");
    resize(900, 640);
    RememberSize(this);
}

TOknoRTK::~TOknoRTK() {
    // The browser goes before the source list it shows.
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
}

void TOknoRTK::AddSources(QMenu* into, const std::vector<SourceMenuItem>& items) {
    for (const SourceMenuItem& item : items) {
        if (item.source < 0) {
            AddSources(into->addMenu(toQString(item.caption)), item.children);
            continue;
        }
        QAction* a = into->addAction(toQString(item.caption));
        a->setObjectName(toQString(mModel->Settings().Sources()[static_cast<std::size_t>(item.source)].section));
        a->setCheckable(true);
        a->setChecked(item.source == mModel->Settings().ChosenSource());
        mSources->addAction(a);
        const int index = item.source;
        connect(a, &QAction::triggered, this, [this, index] { mModel->Connect(index); });  // with the busy cursor
    }
}

void TOknoRTK::BuildMenus() {
    ZrodloMenu->clear();
    delete mSources;
    mSources = new QActionGroup(this);
    AddSources(ZrodloMenu, mModel->Settings().Menu());
    AktualizacjaItem->setEnabled(mModel->Settings().CanUpdate());
}

void TOknoRTK::Open() {
    showNormal();
    raise();
    activateWindow();
    mModel->Open();
}

void TOknoRTK::CloseImport() {
    mModel->Close();
    hide();
}

void TOknoRTK::closeEvent(QCloseEvent* e) {
    // Closing drops the source session; the window can be opened again.
    mModel->Close();
    e->accept();
}

void TOknoRTK::ShowCaption(const std::string& caption) { setWindowTitle(toQString(caption)); }

void TOknoRTK::ShowSource(Vrserwer* source) {
    delete mBrowser;
    mBrowser = nullptr;
    if (!source) return;
    mBrowser = new BrowserView(*source, mMeasurer, mModel->CellHeight(), Panel1);
    mBrowser->setObjectName("VrBrowser");
    Panel1->layout()->addWidget(mBrowser);
    if (Panel1->isVisible()) {
        mBrowser->resize(Panel1->size());
        mBrowser->Rebuild();
        mBrowser->show();
    }
}

void TOknoRTK::ShowFrom(const std::string& key) {
    if (mBrowser && mBrowser->Browser()) mBrowser->Browser()->Select(key);
}

void TOknoRTK::Redraw() {
    if (mBrowser) mBrowser->Rebuild();
}

std::string TOknoRTK::SelectedKey() {
    return mBrowser && mBrowser->Browser() ? mBrowser->Browser()->SelectedKey() : std::string();
}

void TOknoRTK::EnableButtons(bool take, bool convert) {
    PobierzButton->setEnabled(take);
    KonwertujButton->setEnabled(convert);
}

void TOknoRTK::ShowMenus(const std::vector<std::string>& indexes, const std::vector<std::string>& formats, bool query) {
    IndeksMenu->clear();
    FormatMenu->clear();
    auto* indexGroup = new QActionGroup(IndeksMenu);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        QAction* a = IndeksMenu->addAction(toQString(indexes[i]));
        a->setCheckable(true);
        a->setChecked(i == 0);
        indexGroup->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { mModel->SelectIndex(index); });
    }
    auto* formatGroup = new QActionGroup(FormatMenu);
    for (std::size_t i = 0; i < formats.size(); ++i) {
        QAction* a = FormatMenu->addAction(toQString(formats[i]));
        a->setCheckable(true);
        a->setChecked(i == 0);
        formatGroup->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { mModel->SelectFormat(index); });
    }
    IndeksMenu->menuAction()->setVisible(!indexes.empty());
    FormatMenu->menuAction()->setVisible(!formats.empty());
    ZapytanieItem->setVisible(query);
}

void TOknoRTK::PopUpAttachmentMenu(const std::vector<std::string>& targets) {
    BlobMenu->clear();
    connect(BlobMenu->addAction(toQString("Pobierz plik")), &QAction::triggered, this, [this] { mModel->FetchAttachment(); });
    QMenu* copy = BlobMenu->addMenu(toQString("Skopiuj plik"));
    copy->setEnabled(!targets.empty());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const int index = static_cast<int>(i);
        connect(copy->addAction(toQString(targets[i])), &QAction::triggered, this, [this, index] { mModel->CopyAttachment(index); });
    }
    BlobMenu->popup(QCursor::pos());
}

}  // namespace velt::gui
