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

    QLabel* Panel1 = nullptr;
    QProgressBar* Gauge1 = nullptr;

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
    bool mDownloadShown = false;
};

}  // namespace velt::gui
