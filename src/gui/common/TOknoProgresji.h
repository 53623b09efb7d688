#pragma once
// The modal progress window ("Proszę czekać...") behind which long operations
// run on a worker thread, showing either a text or a gauge. The worker
// touches the window only through queued calls to the GUI thread.

#include "common/Prompts.h"

#include <QDialog>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velt::gui {

class TOknoProgresji : public QDialog {
    Q_OBJECT
public:
    explicit TOknoProgresji(QWidget* parent = nullptr);
    ~TOknoProgresji() override;

    static TOknoProgresji& Instance();

    // Runs work on a worker thread (TWatek) behind the window showing text;
    // returns when the work has ended and the window closed.
    void run_with_progress(const std::string& text, const std::function<void()>& work);
    // Likewise with the gauge (TProgressWatek); work moves it through the
    // function it is given.
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work);
    // A transfer's progress on the calling thread: the gauge shows while
    // position < maximum; the window hides at the end. Always "go on".
    bool download_progress(std::int64_t position, std::int64_t maximum);
    // Hides the window and restores the cursor after a transfer, however it ended.
    void download_finished();

    // Shows or hides "Przerwij" (a reply is late); any thread may ask.
    void OfferInterrupt(bool shown);
    // True once the user pressed "Przerwij" in this run.
    bool InterruptRequested() const { return mInterruptRequested; }
    // True on the worker thread of a run.
    static bool OnWorkerThread();

    QLabel* Panel1 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Przerwij", shown while a reply is late

    // True while a worker is attached.
    bool Working() const { return mWorking; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void Run(const std::function<void()>& body);
    void SetGauge(std::int64_t position, std::int64_t maximum);

    std::function<void()> mPending;  // the work the show event starts
    std::thread mWorker;
    std::atomic<bool> mWorking{false};
    std::atomic<bool> mInterruptRequested{false};
    std::atomic<bool> mInterruptOffered{false};
    bool mDownloadShown = false;
};

}  // namespace velt::gui
