#include "gui/common/ServerWaitWindow.h"

#include "gui/common/ConnectionGate.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoProgresji.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace velt::gui {

ServerWaitWindow::ServerWaitWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("OknoOczekiwania");
    setWindowTitle(toQString("Oczekiwanie na odpowiedź serwera"_cp));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(toQString("Serwer nie odpowiada. Można czekać dalej albo przerwać połączenie."_cp));
    Label1->setWordWrap(true);
    layout->addWidget(Label1);
    Button1 = new QPushButton(toQString("&Przerwij"_cp), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignCenter);
    connect(Button1, &QPushButton::clicked, this, [this] { mInterrupt = true; });
    setMinimumWidth(360);
}

ServerWaitWindow& ServerWaitWindow::Instance() {
    static ServerWaitWindow* window = new ServerWaitWindow;
    return *window;
}

void ServerWaitWindow::Install() { SetServerWait(&Instance()); }

WaitDecision ServerWaitWindow::Waiting(std::chrono::milliseconds waited) {
    if (QThread::currentThread() == qApp->thread()) return WaitingOnGuiThread(waited);
    if (TOknoProgresji::OnWorkerThread()) {
        TOknoProgresji& progress = TOknoProgresji::Instance();
        if (waited >= kShowAfter) progress.OfferInterrupt(true);
        return progress.InterruptRequested() ? WaitDecision::Interrupt : WaitDecision::GoOn;
    }
    return WaitDecision::GoOn;  // the keep-alive thread: nobody to ask
}

WaitDecision ServerWaitWindow::WaitingOnGuiThread(std::chrono::milliseconds waited) {
    if (waited < kShowAfter) return WaitDecision::GoOn;
    if (!isVisible()) {
        mInterrupt = false;
        adjustSize();
        if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
        show();
        raise();
    }
    // Only this window takes input; the rest of the program just repaints,
    // and deferred work waits for the open request to end.
    ConnectionHold hold;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return mInterrupt ? WaitDecision::Interrupt : WaitDecision::GoOn;
}

void ServerWaitWindow::WaitEnded() {
    if (QThread::currentThread() == qApp->thread()) {
        hide();
        mInterrupt = false;
    } else if (TOknoProgresji::OnWorkerThread()) {
        TOknoProgresji::Instance().OfferInterrupt(false);
    }
}

void ServerWaitWindow::reject() { mInterrupt = true; }

void ServerWaitWindow::closeEvent(QCloseEvent* e) {
    // Closing the window is giving up, too; it disappears when the wait ends.
    mInterrupt = true;
    e->ignore();
}

}  // namespace velt::gui
