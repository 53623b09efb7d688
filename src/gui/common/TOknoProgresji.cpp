#include "gui/common/TOknoProgresji.h"

#include "gui/common/PlainMessage.h"
#include "gui/common/ConnectionGate.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <exception>

namespace velt::gui {

TOknoProgresji::TOknoProgresji(QWidget* parent) : QDialog(parent) {
    setObjectName("OknoProgresji");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(toQString("Proszę czekać..."_cp));
    setModal(true);
    setFixedSize(252, 75);
    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setTextFormat(Qt::PlainText);
    Panel1->setGeometry(8, 20, 236, 35);
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName("Gauge1");
    Gauge1->setGeometry(8, 26, 236, 22);
    Gauge1->setTextVisible(false);
    Gauge1->setStyleSheet("QProgressBar::chunk { background-color: navy; }");
    Button1 = new QPushButton(toQString("&Przerwij"_cp), this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(86, 62, 80, 26);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, [this] {
        mInterruptRequested = true;
        Button1->setEnabled(false);
    });
}

namespace {
thread_local bool tOnWorker = false;
}

bool TOknoProgresji::OnWorkerThread() { return tOnWorker; }

void TOknoProgresji::OfferInterrupt(bool shown) {
    if (mInterruptOffered.exchange(shown) == shown) return;
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            Button1->setVisible(shown);
            Button1->setEnabled(!mInterruptRequested);
            setFixedSize(252, shown ? 96 : 75);
        },
        Qt::QueuedConnection);
}

TOknoProgresji::~TOknoProgresji() {
    if (mWorker.joinable()) mWorker.join();
}

TOknoProgresji& TOknoProgresji::Instance() {
    static TOknoProgresji* window = new TOknoProgresji;
    return *window;
}

void TOknoProgresji::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!mPending) return;
    // The worker starts once the window is up; it closes the window through
    // a queued call when its work has ended, however it ended.
    auto work = std::move(mPending);
    mPending = nullptr;
    mWorking = true;
    mInterruptRequested = false;
    mWorker = std::thread([this, work] {
        tOnWorker = true;
        std::string failure;
        try {
            work();
        } catch (const std::exception& ex) {
            failure = ex.what();
            if (failure.empty()) failure = "Błąd operacji"_cp;
        } catch (...) {
            failure = "Błąd operacji"_cp;
        }
        OfferInterrupt(false);
        QMetaObject::invokeMethod(this, [this, failure] {
            if (!failure.empty()) plain_message(failure);
            mWorking = false;
            done(1);
        }, Qt::QueuedConnection);
    });
}

void TOknoProgresji::closeEvent(QCloseEvent* e) {
    if (mWorking) {
        e->ignore();  // the operation cannot be interrupted
        return;
    }
    QDialog::closeEvent(e);
}

void TOknoProgresji::reject() {
    if (!mWorking) QDialog::reject();
}

void TOknoProgresji::Run(const std::function<void()>& body) {
    if (mWorking || isVisible()) return;  // one long operation at a time
    mPending = body;
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        // The worker has the connection until the window closes.
        ConnectionHold hold;
        exec();
        if (mWorker.joinable()) mWorker.join();
    }
    QApplication::restoreOverrideCursor();
}

void TOknoProgresji::run_with_progress(const std::string& text, const std::function<void()>& work) {
    Panel1->setText(toQString(text));
    Panel1->show();
    Gauge1->hide();
    Run(work);
}

void TOknoProgresji::SetGauge(std::int64_t position, std::int64_t maximum) {
    // The gauge holds thousandths, so any size fits its integer range.
    Gauge1->setRange(0, 1000);
    Gauge1->setValue(maximum > 0 ? static_cast<int>(std::clamp<std::int64_t>(position * 1000 / maximum, 0, 1000)) : 0);
}

void TOknoProgresji::run_with_gauge(const std::function<void(const GaugeFunction&)>& work) {
    Panel1->hide();
    Gauge1->show();
    Gauge1->setRange(0, 1000);
    Gauge1->setValue(0);
    Run([this, work] {
        const GaugeFunction progress = [this](std::int64_t position, std::int64_t maximum) {
            QMetaObject::invokeMethod(this, [this, position, maximum] { SetGauge(position, maximum); },
                                      Qt::QueuedConnection);
            return true;
        };
        work(progress);
    });
}

bool TOknoProgresji::download_progress(std::int64_t position, std::int64_t maximum) {
    if (position < maximum) {
        Panel1->hide();
        Gauge1->show();
        SetGauge(position, maximum);
        if (!mDownloadShown) {
            mDownloadShown = true;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            show();
        }
        // The transfer's request is still open.
        ConnectionHold hold;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        download_finished();
    }
    return true;
}

void TOknoProgresji::download_finished() {
    if (!mDownloadShown) return;
    mDownloadShown = false;
    hide();
    QApplication::restoreOverrideCursor();
}

}  // namespace velt::gui
