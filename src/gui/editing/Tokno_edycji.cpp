#include "gui/editing/Tokno_edycji.h"

#include "editing/TEdycja.h"
#include "gui/common/QtText.h"
#include "gui/editing/EditSheetPage.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QWheelEvent>

namespace velt::gui {

RecordNewItem::RecordNewItem(const std::string& code, const std::string& caption, QObject* parent)
    : QAction(toQString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")), parent), Code(code) {
    // The caption is the server's text: an "&" in it is a character, not a mnemonic.
}

Tokno_edycji::Tokno_edycji(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName("okno_edycji");
    setWindowTitle(toQString("Otwarte rekordy"));
    resize(1000, 680);

    ToolBar1 = addToolBar(toQString("Rekord"));
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    auto add = [this](const char* name, const std::string& text, const std::string& hint) {
        QAction* a = ToolBar1->addAction(toQString(text));
        a->setObjectName(name);
        a->setToolTip(toQString(hint));
        return a;
    };
    ZamknijButton = add("ZamknijButton", "Zamknij", "Zamknij rekord");
    ZapiszButton = add("ZapiszButton", "Zapisz", "Zapisz rekord");
    usunbutton = add("usunbutton", "Usuń"_cp, "Usuń rekord"_cp);
    SpeedButton3 = add("SpeedButton3", "Sprawdź"_cp, "Zweryfikuj rekord");
    NowyButton = add("NowyButton", "Dodaj", "Dodaj nowy rekord");
    ZapiszWszystkieSpeedButton = add("ZapiszWszystkieSpeedButton", "Zapisz wszystkie", "Zapisz wszystkie rekordy");
    SkalaButton = add("SkalaButton", "Skala", "Zmień skalę formularza"_cp);

    NowyMenu = new QMenu(this);
    NowyMenu->setObjectName("NowyMenu");
    SkalaMenu = new QMenu(this);
    SkalaMenu->setObjectName("SkalaMenu");
    // The menu's texts are not the factors: 135% is 1.36.
    for (const auto& [text, factor] : {std::pair{"100%", 1.0}, {"125%", 1.24}, {"135%", 1.36}, {"175%", 1.75}}) {
        const double f = factor;
        connect(SkalaMenu->addAction(QString::fromLatin1(text)), &QAction::triggered, this, [this, f] {
            if (!mSession) return;
            mSession->SetZoom(f);
            if (onZoom) onZoom(f);
        });
    }

    Rekord1 = menuBar()->addMenu(toQString("Rekord"));
    Rekord1->setObjectName("Rekord1");
    QAction* zamknij = Rekord1->addAction(toQString("Zamknij"));
    QAction* zapisz = Rekord1->addAction(toQString("Zapisz"));
    Dodaj1 = Rekord1->addMenu(toQString("Dodaj"));
    Dodaj1->setObjectName("Dodaj1");
    QAction* usun = Rekord1->addAction(toQString("Usuń"_cp));
    Rekord1->addAction(toQString("Otwórz"_cp));  // no action, as the system has it
    Ustawienia1 = menuBar()->addMenu(toQString("Ustawienia"));
    Ustawienia1->setObjectName("Ustawienia1");
    connect(Ustawienia1->addAction(toQString("Znaki diakrytyczne")), &QAction::triggered, this, [this] {
        if (onDiacritics) onDiacritics();
    });
    PomocyItem = menuBar()->addAction(toQString("Pomocy"));
    PomocyItem->setObjectName("PomocyItem");

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setDocumentMode(true);
    setCentralWidget(PageControl1);

    connect(ZamknijButton, &QAction::triggered, this, [this] { Run(&TEdycja::CloseActive); });
    connect(zamknij, &QAction::triggered, this, [this] { Run(&TEdycja::CloseActive); });
    connect(ZapiszButton, &QAction::triggered, this, [this] { Run(&TEdycja::SaveActive); });
    connect(zapisz, &QAction::triggered, this, [this] { Run(&TEdycja::SaveActive); });
    connect(usunbutton, &QAction::triggered, this, [this] { Run(&TEdycja::DeleteActive); });
    connect(usun, &QAction::triggered, this, [this] { Run(&TEdycja::DeleteActive); });
    connect(SpeedButton3, &QAction::triggered, this, [this] { Run(&TEdycja::CheckActive); });
    connect(ZapiszWszystkieSpeedButton, &QAction::triggered, this, [this] { Run(&TEdycja::SaveAll); });
    connect(PomocyItem, &QAction::triggered, this, [this] { Run(&TEdycja::Help); });
    connect(NowyButton, &QAction::triggered, this, [this] { PopUp(NowyButton, NowyMenu); });
    connect(SkalaButton, &QAction::triggered, this, [this] { PopUp(SkalaButton, SkalaMenu); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (mSession) mSession->Activate(index);
    });
    qApp->installEventFilter(this);
}

Tokno_edycji::~Tokno_edycji() { qApp->removeEventFilter(this); }

void Tokno_edycji::Run(void (TEdycja::*command)()) {
    if (mSession) (mSession->*command)();
}

void Tokno_edycji::PopUp(QAction* button, QMenu* menu) {
    QWidget* w = ToolBar1->widgetForAction(button);
    menu->popup(w ? w->mapToGlobal(QPoint(10, 10)) : QCursor::pos());
}

std::unique_ptr<SheetView> Tokno_edycji::AddSheet() { return std::make_unique<EditSheetPage>(PageControl1); }

void Tokno_edycji::ShowSheet(SheetView& sheet) {
    if (auto* page = dynamic_cast<EditSheetPage*>(&sheet)) PageControl1->setCurrentWidget(page);
}

EditSheetPage* Tokno_edycji::ActivePage() const { return qobject_cast<EditSheetPage*>(PageControl1->currentWidget()); }

void Tokno_edycji::ShowWindow() {
    if (isMinimized() || isMaximized()) showNormal();
    show();
    raise();
    activateWindow();
}

void Tokno_edycji::HideWindow() { hide(); }

void Tokno_edycji::MaximiseWindow() { showMaximized(); }

void Tokno_edycji::KindsChanged() {
    for (QMenu* m : {NowyMenu, Dodaj1}) m->clear();
    if (!mSession) return;
    for (const auto& kind : mSession->Kinds().All()) {
        for (QMenu* m : {NowyMenu, Dodaj1}) {
            auto* item = new RecordNewItem(kind->code, kind->caption, m);
            m->addAction(item);
            connect(item, &QAction::triggered, this, [this, code = kind->code] {
                if (mSession) mSession->NewRecord(code);
            });
        }
    }
}

void Tokno_edycji::ShowFormMessages(const std::vector<FormMessage>& messages) {
    // What the kinds' forms and scripts gave at the login is shown beside the
    // main window, not in a box that stops the login until it is answered.
    if (messages.empty()) return;
    QString all;
    for (const FormMessage& m : messages) {
        all += toQString(m.text) + QLatin1Char('\n');
        if (!m.line.empty()) all += toQString(m.line) + QLatin1Char('\n');
    }
    if (!FormMessagesWindow) {
        FormMessagesWindow = new QDialog(parentWidget() ? parentWidget() : this);
        FormMessagesWindow->setObjectName("FormMessages");
        FormMessagesWindow->setWindowTitle(toQString("Formularze rekordów"_cp));
        auto* layout = new QVBoxLayout(FormMessagesWindow);
        FormMessagesText = new QPlainTextEdit(FormMessagesWindow);
        FormMessagesText->setReadOnly(true);
        FormMessagesText->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(FormMessagesText);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, FormMessagesWindow);
        connect(buttons, &QDialogButtonBox::accepted, FormMessagesWindow, &QDialog::hide);
        layout->addWidget(buttons);
        FormMessagesWindow->resize(640, 300);
    }
    FormMessagesText->setPlainText(all);
    FormMessagesWindow->show();
}

void Tokno_edycji::closeEvent(QCloseEvent* e) {
    // The window closes only when no record is left open.
    if (mSession && !mSession->CloseWindow()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

bool Tokno_edycji::eventFilter(QObject* watched, QEvent* event) {
    if (!mSession || (event->type() != QEvent::KeyPress && event->type() != QEvent::Wheel)) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    if (event->type() == QEvent::Wheel) {
        // The active form sees the wheel before the control under the mouse.
        EditSheetPage* page = ActivePage();
        if (!page || !(w == page->Canvas() || page->Canvas()->isAncestorOf(w))) return false;
        return mSession->Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y() / 120);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    const int k = key->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
        const int n = k - Qt::Key_F1 + 1;
        if (mods == Qt::NoModifier) {
            mSession->FunctionKey(n, false);
            return true;
        }
        if (mods == Qt::ControlModifier) {
            mSession->FunctionKey(n, true);
            return true;
        }
        return false;
    }
    if (k == Qt::Key_T && mods == Qt::AltModifier) {
        mSession->ShowChangedFields();
        return true;
    }
    return false;
}

}  // namespace velt::gui
