#pragma once
// The program's way out of a reply that does not come.
//
// A request on the GUI thread that has waited about 2 s for the server shows
// the modal window "Oczekiwanie na odpowiedź serwera" with "Przerwij"; while
// it is up the GUI thread keeps painting (from what the models hold: the
// request is still open, so nothing may send another). A request on the
// worker behind the progress window gets "Przerwij" in that window instead.
// "Przerwij" breaks the connection like any other failure; the user connects
// again from the catalogue menu. The keep-alive thread waits without asking.

#include "net/ServerWait.h"

#include <QDialog>
#include <atomic>

class QLabel;
class QPushButton;

namespace velt::gui {

class ServerWaitWindow : public QDialog, public ServerWait {
    Q_OBJECT
public:
    // How long a reply may take before the window shows.
    static constexpr std::chrono::milliseconds kShowAfter{2000};

    static ServerWaitWindow& Instance();
    // Makes the window the process-wide hook (at start-up, on the GUI thread).
    static void Install();

    WaitDecision Waiting(std::chrono::milliseconds waited) override;
    void WaitEnded() override;

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Przerwij"

protected:
    void reject() override;  // Escape is "Przerwij"
    void closeEvent(QCloseEvent* e) override;

private:
    explicit ServerWaitWindow(QWidget* parent = nullptr);
    WaitDecision WaitingOnGuiThread(std::chrono::milliseconds waited);

    std::atomic<bool> mInterrupt{false};
};

}  // namespace velt::gui
