#include "gui/shell/TForm1.h"

#include "gui/browse/BrowserWidget.h"
#include "gui/browse/PictureCache.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/SessionMessages.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/login/TOknoLogowania.h"
#include "gui/login/TOknoZmianyHasla.h"
#include "gui/params/ParameterServices.h"
#include "gui/shell/DesktopServices.h"
#include "gui/shell/RecordPanel.h"
#include "gui/shell/ToolbarStrip.h"
#include "files/UserDirectories.h"
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

// True when the menu has an item the user can see.
bool HasItems(const QMenu* menu) {
    for (const QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) return true;
    return false;
}

}  // namespace

void TForm1::SetImageDirectory(const std::string& directory) { gImageDirectory = directory; }

std::string TForm1::ImageDirectory() {
    if (gImageDirectory.empty())
        gImageDirectory = ProgramImageDirectory(QCoreApplication::applicationDirPath().toStdString() + "/");
    return gImageDirectory;
}

TForm1::TForm1(QWidget* parent) : TForm1(StandardFeatures(), parent) {}

TForm1::TForm1(FeatureList features, QWidget* parent) : QMainWindow(parent), mFeatures(std::move(features)) {
    setObjectName("Form1");
    setWindowTitle(toQString("Wyszukiwanie i katalogowanie"_cp));
    mPasswordWindow = std::make_unique<TOknoZmianyHasla>(this);
    mShell = std::make_unique<VeltShell>(*this, GuiPrompts::Instance(), *mPasswordWindow);
    mLoginWindow = std::make_unique<TOknoLogowania>(mShell->Flow(), this);
    // A failure is shown, and then the status line says the connection is gone.
    mMessages = new SessionMessages(
        [this](const std::string& text, SessionText kind) {
            if (kind == SessionText::Notice) {
                show_message(text);
                return;
            }
            show_error(text);
            if (mShell) mShell->Refresh();
        },
        this);
    PictureCache::Instance().SetImageDirectory(ImageDirectory());
    mMeasurer = std::make_unique<QtCellMeasurer>(QApplication::font(), ImageDirectory());
    MakeMenus();

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
    mParams = std::make_unique<ParameterServices>(*mShell, GuiPrompts::Instance(), GuiPrompts::Instance(), this);
    mSearch->SetCriterionParameters(&mParams->Criteria());
    mDesktop = std::make_unique<DesktopServices>(*mParams, this);
    mCommands = std::make_unique<EntryCommands>(Tabs(), *mSearch, GuiPrompts::Instance(), GuiPrompts::Instance(),
                                                *mDesktop);

    ConnectionLabel = new QLabel(this);
    ConnectionLabel->setObjectName("ConnectionLabel");
    ConnectionLabel->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(ConnectionLabel, 1);

    for (const auto& f : mFeatures) f->Install(*this);
    ShowState(mShell->State());
    TabsChanged();
}

TForm1::~TForm1() {
    // The shell disconnects while the window can still show it; then the
    // tabs stop listening and free what points into the catalogue.
    for (const auto& f : mFeatures) f->Closing();
    mShell->Disconnect();
    TabsWidget* tabs = PageControl1;
    PageControl1 = nullptr;
    delete tabs;
    mFeatures.clear();
    mCommands.reset();
    mDesktop.reset();
    mSearch.reset();
    mParams.reset();
    mShell.reset();
}

void TForm1::MakeMenus() {
    auto menu = [this](const char* objectName, const std::string& title) {
        QMenu* m = menuBar()->addMenu(toQString(title));
        m->setObjectName(objectName);
        return m;
    };
    Katalog1 = menu("Katalog1", "&Katalog");
    Indeks1 = menu("Indeks1", "Indeks");
    Format1 = menu("Format1", "&Format");
    Rekord1 = menu("Rekord1", "&Rekord");
    Wyszukaj1 = menu("Wyszukaj1", "Za&pytanie");
    Zestawienie1 = menu("Zestawienie1", "&Zestawienie");
    Zamawianie1 = menu("Zamawianie1", "Kon&to");
    Globalnie1 = menu("Globalnie1", "&Operacja");
    Logowanie1 = menu("Logowanie1", "&Logowanie");
    Ustawienia1 = menu("Ustawienia1", "&Ustawienia");
    Pomoc1 = menu("Pomoc1", "&Pomoc");
    ZalogujItem = Logowanie1->addAction(toQString("Zaloguj"_cp));
    WylogujItem = Logowanie1->addAction(toQString("Wyloguj"_cp));
    ZmienHasloItem = Logowanie1->addAction(toQString("Zmień hasło"_cp));
    connect(ZalogujItem, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(WylogujItem, &QAction::triggered, this, [this] { mShell->Logout(); });
    connect(ZmienHasloItem, &QAction::triggered, this, [this] { mShell->ChangePassword(); });
    Pobierz1 = new QMenu(toQString("Pobierz"), Rekord1);
    Pobierz1->setObjectName("Pobierz1");
    NowyMenu = new QMenu(this);
    NowyMenu->setObjectName("NowyMenu");
    ImportMenu = new QMenu(this);
    ImportMenu->setObjectName("ImportMenu");

    // The editing toolbar, in a strip with arrows for when the window is too narrow for it.
    EditButtons = new QToolBar(toQString("Edycja"_cp), this);
    EditButtons->setObjectName("EditButtons");
    LoginButton = new QAction(toQString("Logowanie"), this);
    LoginButton->setObjectName("LoginButton");
    LoginButton->setToolTip(toQString("Logowanie"));
    LogoutButton = new QAction(toQString("Wylogowanie"), this);
    LogoutButton->setObjectName("LogoutButton");
    LogoutButton->setToolTip(toQString("Wylogowanie"));
    connect(LoginButton, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(LogoutButton, &QAction::triggered, this, [this] { mShell->Logout(); });
    ImportButton = new QAction(toQString("Pobieranie"), this);
    ImportButton->setObjectName("ImportButton");
    ImportButton->setToolTip(toQString("Pobieranie rekordów"_cp));
    connect(ImportButton, &QAction::triggered, this, [this] { PopUnder(ImportButton, ImportMenu); });
    AddTool(ToolSlot::Login, LoginButton);
    AddTool(ToolSlot::Login, LogoutButton);
    AddTool(ToolSlot::Import, ImportButton);
    auto* strip = new ToolbarStrip(EditButtons, this);
    ToolsButtonsPanel = addToolBar(toQString("Edycja"_cp));
    ToolsButtonsPanel->setObjectName("ToolsButtonsPanel");
    ToolsButtonsPanel->setMovable(false);
    ToolsButtonsPanel->addWidget(strip);
}

QWidget* TForm1::MakeLeftPanel() {
    auto* panel = new RecordPanel(this);
    Button1 = panel->Button1;
    ComboBox1 = panel->ComboBox1;
    Button2 = panel->Button2;
    Edit1 = panel->Edit1;
    Button3 = panel->Button3;
    Button4 = panel->Button4;
    mSide = panel->Features;
    ComboBox1->setMaxCount(kRecordBoxHistory);
    const auto goTo = [this] {
        const std::string text = fromQString(ComboBox1->currentText().trimmed());
        if (!text.empty()) Tabs().GoTo(text);
    };
    connect(Button1, &QPushButton::clicked, this, goTo);
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this, goTo);
    const auto seek = [this] { SeekInActive(fromQString(Edit1->text())); };
    connect(Button2, &QPushButton::clicked, this, seek);
    connect(Edit1, &QLineEdit::returnPressed, this, seek);
    connect(Button3, &QPushButton::clicked, this, [this] { Zoom(1.25); });
    connect(Button4, &QPushButton::clicked, this, [this] { Zoom(0.8); });
    return panel;
}

QMenu* TForm1::Menu(MenuSlot slot) {
    switch (slot) {
        case MenuSlot::Catalogue: return Katalog1;
        case MenuSlot::Index: return Indeks1;
        case MenuSlot::Format: return Format1;
        case MenuSlot::Record: return Rekord1;
        case MenuSlot::RecordImport: return Pobierz1;
        case MenuSlot::Query: return Wyszukaj1;
        case MenuSlot::Report: return Zestawienie1;
        case MenuSlot::Account: return Zamawianie1;
        case MenuSlot::Operation: return Globalnie1;
        case MenuSlot::Login: return Logowanie1;
        case MenuSlot::Settings: return Ustawienia1;
        case MenuSlot::Help: return Pomoc1;
        case MenuSlot::NewRecordPopup: return NowyMenu;
        case MenuSlot::ImportPopup: return ImportMenu;
    }
    return nullptr;
}

void TForm1::AddTool(ToolSlot slot, QAction* action) {
    mTools[slot].push_back(action);
    // The toolbar in the order of its places.
    for (QAction* a : EditButtons->actions()) EditButtons->removeAction(a);
    for (const auto& [place, actions] : mTools) EditButtons->addActions(QList<QAction*>(actions.begin(), actions.end()));
}

void TForm1::PopUnder(QAction* action, QMenu* menu) {
    QWidget* w = action ? EditButtons->widgetForAction(action) : nullptr;
    menu->popup(w && w->isVisible() ? w->mapToGlobal(QPoint(10, 10)) : QCursor::pos());
}

void TForm1::AddSideWidget(QWidget* widget) { mSide->addWidget(widget); }

void TForm1::HandleEntryCommand(EntryCommandKind kind, EntryCommandHandler handler) {
    mDesktop->Handle(kind, std::move(handler));
}

std::string TForm1::SearchText() { return fromQString(Edit1->text()); }

void TForm1::SeekInActive(const std::string& text) {
    Edit1->setText(toQString(text));
    if (!text.empty()) Tabs().SeekInActive(text);
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
    ToolsButtonsPanel->setVisible(state.EditToolbar);
    EditButtons->setVisible(state.EditToolbar);
    LogoutButton->setEnabled(state.LogoutEnabled);
    WylogujItem->setEnabled(state.LogoutEnabled);
    ZmienHasloItem->setEnabled(state.LogoutEnabled);
    ConnectionLabel->setText(toQString(state.ConnectionText));
    for (const auto& f : mFeatures) f->StateChanged(state);
    ShowMenus();
}

void TForm1::ShowMenus() {
    const ShellState& state = mState;
    Format1->menuAction()->setVisible(state.ServerMenus);
    Wyszukaj1->menuAction()->setVisible(state.ServerMenus);
    Zestawienie1->menuAction()->setVisible(state.ServerMenus);
    Zamawianie1->menuAction()->setVisible(state.AccountMenu && HasItems(Zamawianie1));
    Logowanie1->menuAction()->setVisible(state.LoginMenu);
    Globalnie1->menuAction()->setVisible(state.OperationMenu && HasItems(Globalnie1));
    // "Pobierz" and "Pobieranie" only when an import is there.
    if (HasItems(Pobierz1) && !Rekord1->actions().contains(Pobierz1->menuAction())) Rekord1->addMenu(Pobierz1);
    Pobierz1->menuAction()->setVisible(HasItems(Pobierz1));
    Rekord1->menuAction()->setVisible(state.RecordMenu);
    ImportButton->setVisible(state.RecordMenu && HasItems(ImportMenu));
}

void TForm1::FormatsChanged() {
    if (!PageControl1) return;
    mCommands->SetWorkingDirectory(mShell->Settings().WorkingDirectory);
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
    for (const auto& f : mFeatures) f->DescriptorChanged();
    ShowMenus();
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
    for (const auto& f : mFeatures) f->Closing();
    mShell->Save();
    mShell->Disconnect();
    QMainWindow::closeEvent(e);
}

}  // namespace velt::gui
