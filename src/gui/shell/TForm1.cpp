#include "gui/shell/TForm1.h"

#include "gui/browse/BrowserWidget.h"
#include "gui/browse/PictureCache.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/common/SessionMessages.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/login/TOknoLogowania.h"
#include "gui/login/TOknoZmianyHasla.h"
#include "gui/params/ParameterServices.h"
#include "gui/search/TOknoElementarne.h"
#include "gui/search/TOknoFiltrow.h"
#include "gui/search/TOknoZlozone.h"
#include "shell/UserDirectories.h"
#include "text/CpLiteral.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <functional>

namespace velt::gui {

namespace {
std::string gImageDirectory;
}

void TForm1::SetImageDirectory(const std::string& directory) { gImageDirectory = directory; }

std::string TForm1::ImageDirectory() {
    if (gImageDirectory.empty())
        gImageDirectory = ProgramImageDirectory(QCoreApplication::applicationDirPath().toStdString() + "/");
    return gImageDirectory;
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle(toQString("Wyszukiwanie i katalogowanie"_cp));
    mPasswordWindow = std::make_unique<TOknoZmianyHasla>(this);
    mShell = std::make_unique<VeltShell>(*this, GuiPrompts::Instance(), *mPasswordWindow);
    mLoginWindow = std::make_unique<TOknoLogowania>(mShell->Flow(), this);
    mMessages = new SessionMessages({}, this);
    PictureCache::Instance().SetImageDirectory(ImageDirectory());
    mMeasurer = std::make_unique<QtCellMeasurer>(QApplication::font(), ImageDirectory());

    auto menu = [this](const char* objectName, const std::string& title) {
        QMenu* m = menuBar()->addMenu(toQString(title));
        m->setObjectName(objectName);
        return m;
    };
    Katalog1 = menu("Katalog1", "&Katalog");
    Indeks1 = menu("Indeks1", "Indeks");
    Format1 = menu("Format1", "&Format");
    Wyszukaj1 = menu("Wyszukaj1", "Za&pytanie");
    Zestawienie1 = menu("Zestawienie1", "&Zestawienie");
    Zamawianie1 = menu("Zamawianie1", "Kon&to");
    Logowanie1 = menu("Logowanie1", "&Logowanie");
    ZalogujItem = Logowanie1->addAction(toQString("Zaloguj"_cp));
    WylogujItem = Logowanie1->addAction(toQString("Wyloguj"_cp));
    ZmienHasloItem = Logowanie1->addAction(toQString("Zmień hasło"_cp));
    connect(ZalogujItem, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(WylogujItem, &QAction::triggered, this, [this] { mShell->Logout(); });
    connect(ZmienHasloItem, &QAction::triggered, this, [this] { mShell->ChangePassword(); });

    EditButtons = addToolBar(toQString("Edycja"_cp));
    EditButtons->setObjectName("EditButtons");
    LoginButton = EditButtons->addAction(toQString("Logowanie"_cp));
    LoginButton->setObjectName("LoginButton");
    LogoutButton = EditButtons->addAction(toQString("Wylogowanie"_cp));
    LogoutButton->setObjectName("LogoutButton");
    connect(LoginButton, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(LogoutButton, &QAction::triggered, this, [this] { mShell->Logout(); });

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 0);
    row->setSpacing(6);
    row->addWidget(MakeLeftPanel());
    PageControl1 = new TabsWidget(*mShell, GuiPrompts::Instance(), *mMeasurer, *this, central);
    row->addWidget(PageControl1, 1);
    setCentralWidget(central);
    mSearch = std::make_unique<SearchService>(*mShell, GuiPrompts::Instance(), GuiPrompts::Instance(),
                                              [this](std::int32_t n) { Tabs().ShowRemoteCollection(n); });
    mCommands = std::make_unique<EntryCommands>(Tabs(), *mSearch, GuiPrompts::Instance(), GuiPrompts::Instance(), *this);
    MakeSearchMenu();
    mParams = std::make_unique<ParameterServices>(*mShell, GuiPrompts::Instance(), GuiPrompts::Instance(), this);
    mSearch->SetCriterionParameters(&mParams->Criteria());
    MakeCollectionMenu();
    MakeToolbarAndMenus();
    MakeEditing();

    ConnectionLabel = new QLabel(this);
    ConnectionLabel->setObjectName("ConnectionLabel");
    ConnectionLabel->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(ConnectionLabel, 1);
    ShowState(mShell->State());
    TabsChanged();
}

TForm1::~TForm1() {
    // The shell disconnects while the window can still show it; then the
    // tabs stop listening and free what points into the catalogue.
    mShell->Disconnect();
    TabsWidget* tabs = PageControl1;
    PageControl1 = nullptr;
    delete tabs;
    mCommands.reset();
    mSearch.reset();
    mParams.reset();
    mShell.reset();
}

QWidget* TForm1::MakeLeftPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel2");
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    Button1 = new QPushButton(toQString("Idź do"_cp), panel);
    Button1->setObjectName("Button1");
    Button1->setToolTip(toQString("Wyszukaj podany rekord"_cp));
    ComboBox1 = new QComboBox(panel);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxCount(kRecordBoxHistory);
    ComboBox1->setMinimumWidth(140);
    Button2 = new QPushButton(toQString("Szukaj"_cp), panel);
    Button2->setObjectName("Button2");
    Button2->setToolTip(toQString("Szukaj w bieżącym indeksie"_cp));
    Edit1 = new QLineEdit(panel);
    Edit1->setObjectName("Edit1");
    auto* zoom = new QHBoxLayout;
    Button3 = new QPushButton("+", panel);
    Button3->setObjectName("Button3");
    Button3->setToolTip(toQString("Powiększ"_cp));
    Button4 = new QPushButton("-", panel);
    Button4->setObjectName("Button4");
    Button4->setToolTip(toQString("Zmniejsz"_cp));
    zoom->addWidget(Button3);
    zoom->addWidget(Button4);
    col->addWidget(Button1);
    col->addWidget(ComboBox1);
    col->addSpacing(8);
    col->addWidget(Button2);
    col->addWidget(Edit1);
    col->addSpacing(8);
    col->addLayout(zoom);
    col->addSpacing(8);
    SpeedButton1 = new QPushButton(toQString("Kartoteka wzorcowa"), panel);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setToolTip(toQString("Wyszukaj w kartotece wzorcowej"));
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { NotYet("Wyszukaj w kartotece wzorcowej"); });
    col->addWidget(SpeedButton1);
    ReportPanel = new QWidget(panel);
    ReportPanel->setObjectName("ReportPanel");
    auto* reports = new QHBoxLayout(ReportPanel);
    reports->setContentsMargins(0, 4, 0, 0);
    reports->setAlignment(Qt::AlignLeft);
    ReportPanel->hide();
    col->addWidget(ReportPanel);
    col->addStretch(1);
    const auto goTo = [this] {
        const std::string text = fromQString(ComboBox1->currentText().trimmed());
        if (!text.empty()) Tabs().GoTo(text);
    };
    connect(Button1, &QPushButton::clicked, this, goTo);
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this, goTo);
    const auto seek = [this] {
        const std::string text = fromQString(Edit1->text());
        if (!text.empty()) Tabs().SeekInActive(text);
    };
    connect(Button2, &QPushButton::clicked, this, seek);
    connect(Edit1, &QLineEdit::returnPressed, this, seek);
    connect(Button3, &QPushButton::clicked, this, [this] { Zoom(1.25); });
    connect(Button4, &QPushButton::clicked, this, [this] { Zoom(0.8); });
    return panel;
}

void TForm1::MakeSearchMenu() {
    OknoZlozone = new TOknoZlozone(*mSearch, this);
    OknoElementarne = new TOknoElementarne(*mSearch, this);
    OknoFiltrow = new TOknoFiltrow(*mSearch, this);
    PodstawoweItem = Wyszukaj1->addAction(toQString("Podstawowe"));
    connect(PodstawoweItem, &QAction::triggered, this, [] {
        plain_message("Panel kryteriów nie jest jeszcze dostępny w tej wersji programu"_cp);
    });
    UstawFiltrItem = Wyszukaj1->addAction(toQString("&Ustaw filtr"));
    UstawFiltrItem->setVisible(false);
    connect(UstawFiltrItem, &QAction::triggered, this, [this] {
        if (OknoFiltrow->ShowFilters(QCursor::pos())) mSearch->RerunAfterFilters();
    });
    Elementarne1 = Wyszukaj1->addMenu(toQString("E&lementarne"));
    Elementarne1->setObjectName("Elementarne1");
    ZlozoneItem = Wyszukaj1->addAction(toQString("&Złożone"_cp));
    ZlozoneItem->setObjectName("ZlozoneItem");
    connect(ZlozoneItem, &QAction::triggered, this, [this] { OknoZlozone->Open(); });
}

void TForm1::BuildSearchItems() {
    if (!Elementarne1) return;
    Elementarne1->clear();
    const velt_files* files = mShell->Current();
    UstawFiltrItem->setVisible(files && files->Ready && !files->Filters.empty());
    if (!files || !files->Ready) return;
    for (const velt_criterium& c : files->Criteria) {
        if (c.Options.find('N') != std::string::npos) continue;
        QAction* a = Elementarne1->addAction(toQString(c.Name));
        const velt_criterium criterion = c;  // the item keeps its own copy
        connect(a, &QAction::triggered, this, [this, criterion] {
            if (criterion.Type != "INDEX")
                mSearch->SpecialQuestion(criterion);
            else
                OknoElementarne->question(criterion.Name);
        });
    }
}

void TForm1::Zoom(double factor) {
    const auto height = static_cast<std::int64_t>(std::lround(mShell->Settings().ListLineHeight * factor));
    Tabs().SetLineHeight(height);
}

void TForm1::BuildCatalogueMenu() {
    Katalog1->clear();
    std::function<void(QMenu*, const std::vector<CatalogueMenuItem>&)> fill = [&](QMenu* into,
                                                                                 const std::vector<CatalogueMenuItem>& items) {
        for (const auto& item : items) {
            if (item.IsGroup) {
                fill(into->addMenu(toQString(item.Caption)), item.Children);
                continue;
            }
            QAction* a = into->addAction(toQString(item.Entry.Caption));
            a->setObjectName(toQString(item.Entry.SectionName));
            const KatalogItem* entry = &item.Entry;
            connect(a, &QAction::triggered, this, [this, entry] {
                if (!mShell->StopEditing()) return;  // records still open: the catalogue stays
                ComboBox1->clear();  // the record box belongs to the catalogue
                mShell->Click(*entry);
            });
        }
    };
    fill(Katalog1, mShell->Menu().Items());
}

void TForm1::ShowState(const ShellState& state) {
    mState = state;
    setWindowTitle(toQString(state.Caption));
    Format1->menuAction()->setVisible(state.ServerMenus);
    Wyszukaj1->menuAction()->setVisible(state.ServerMenus);
    Zestawienie1->menuAction()->setVisible(state.ServerMenus);
    Zamawianie1->menuAction()->setVisible(state.AccountMenu);
    EditButtons->setVisible(state.EditToolbar);
    Logowanie1->menuAction()->setVisible(state.LoginMenu);
    LogoutButton->setEnabled(state.LogoutEnabled);
    WylogujItem->setEnabled(state.LogoutEnabled);
    ZmienHasloItem->setEnabled(state.LogoutEnabled);
    ConnectionLabel->setText(toQString(state.ConnectionText));
    if (Rekord1) {
        Rekord1->menuAction()->setVisible(state.RecordMenu);
        for (QAction* a : {OtworzButton, UsunButton, PokazButton, NowyButton}) a->setVisible(state.RecordMenu);
        PowiazButton->setVisible(state.LinksButton);
        BlobButton->setVisible(state.BlobButton);
        Globalnie1->menuAction()->setVisible(state.OperationMenu);
        BuildNewRecordMenus();
        BuildPrograms();
    }
}

void TForm1::FormatsChanged() {
    if (!PageControl1) return;
    BuildSearchItems();
    if (Rekord1) BuildDescriptorMenus();
    if (mCommands) mCommands->SetWorkingDirectory(mShell->Settings().WorkingDirectory);
    Format1->clear();
    auto* group = new QActionGroup(Format1);
    for (const FormatItem& f : Tabs().Formats()) {
        QAction* a = Format1->addAction(toQString(f.caption));
        a->setCheckable(true);
        a->setChecked(f.checked);
        group->addAction(a);
        const std::int32_t id = f.id;
        connect(a, &QAction::triggered, this, [this, id] { Tabs().SetFormat(id); });
    }
}

void TForm1::TabsChanged() {
    if (!PageControl1) return;
    // The list font of the configuration, for every browser made from now on.
    const ShellSettings& settings = mShell->Settings();
    QFont font = QApplication::font();
    if (!settings.ListFont.empty()) font.setFamily(toQString(settings.ListFont));
    if (settings.ListFontSize > 0) font.setPointSize(static_cast<int>(settings.ListFontSize));
    mMeasurer->SetFont(font);
    Indeks1->clear();
    const auto& sheets = Tabs().Sheets();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        QAction* a = Indeks1->addAction(toQString(sheets[i].caption));
        a->setCheckable(true);
        a->setChecked(static_cast<int>(i) == PageControl1->currentIndex());
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { Tabs().Activate(index); });
    }
    Indeks1->menuAction()->setVisible(!sheets.empty());
}

void TForm1::PutIntoRecordBox(const std::string& shown) {
    const QString text = toQString(shown);
    if (ComboBox1->currentText() == text) return;
    ComboBox1->insertItem(0, text);
    ComboBox1->setCurrentIndex(0);
    while (ComboBox1->count() > kRecordBoxHistory) ComboBox1->removeItem(ComboBox1->count() - 1);
}

std::string TForm1::RecordBoxText() { return fromQString(ComboBox1->currentText().trimmed()); }

void TForm1::EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                          bool local) {
    mCommands->Run(key, command, identifier, local);
}

void TForm1::FatalStop() {
    QTimer::singleShot(0, this, [this] {
        close();
        QCoreApplication::exit(1);
    });
}

bool TForm1::ShowLogin(velt_files& files, const std::string& proposedUser) {
    mLoginWindow->ProposedUser = proposedUser;
    return mLoginWindow->ShowLogin(files);
}

MessageCallback TForm1::SessionMessageCallback() { return mMessages->Callback(); }

void TForm1::keyPressEvent(QKeyEvent* e) {
    // Page Up, Page Down and the arrows anywhere in the window move the active tab.
    if (BrowserWidget* page = PageControl1->ActivePage()) {
        const int k = e->key();
        if ((k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Up || k == Qt::Key_Down) &&
            page->HandleKey(k))
            return;
    }
    QMainWindow::keyPressEvent(e);
}

void TForm1::wheelEvent(QWheelEvent* e) {
    if (BrowserWidget* page = PageControl1->ActivePage()) {
        page->HandleWheel(e->angleDelta().y());
        e->accept();
        return;
    }
    QMainWindow::wheelEvent(e);
}

void TForm1::closeEvent(QCloseEvent* e) {
    // The program ends only when no record is open (or what was typed is kept).
    if (!mShell->StopEditing()) {
        e->ignore();
        return;
    }
    mShell->Save();
    mShell->Disconnect();
    QMainWindow::closeEvent(e);
}

}  // namespace velt::gui
