#pragma once
// Hands the session's texts to the GUI thread. The session may call its
// message callback on the keep-alive thread (holding the connection's timer
// lock) or on a worker: the text is posted without waiting and shown on the
// GUI thread, a failure with the "Błąd!" window, the server's notice with
// "Komunikat" and the information icon.

#include "net/TVeltClient.h"

#include <QObject>
#include <functional>

namespace velt::gui {

class SessionMessages : public QObject {
    Q_OBJECT
public:
    using Shower = std::function<void(const std::string& text, SessionText kind)>;
    // shower shows one text on the GUI thread (the message window when none).
    explicit SessionMessages(Shower shower = {}, QObject* parent = nullptr);

    // The callback to give a session: posts and returns at once.
    MessageCallback Callback();

private:
    Shower mShower;
};

}  // namespace velt::gui
