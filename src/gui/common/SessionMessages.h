#pragma once
// Hands the session's message texts to the GUI thread. The session may call
// its message callback on the keep-alive thread (holding the connection's
// timer lock) or on a worker: the text is posted without waiting and shown
// on the GUI thread, in the plain message box.

#include "net/TVeltClient.h"

#include <QObject>
#include <functional>

namespace velt::gui {

class SessionMessages : public QObject {
    Q_OBJECT
public:
    // shower shows one text on the GUI thread (the plain message box when none).
    explicit SessionMessages(std::function<void(const std::string&)> shower = {}, QObject* parent = nullptr);

    // The callback to give a session: posts and returns at once.
    MessageCallback Callback();

private:
    std::function<void(const std::string&)> mShower;
};

}  // namespace velt::gui
