#pragma once
// Work the GUI thread runs later (a browser rebuilt once its size settles, an
// action after a click, a form's deferred rebuild) may send requests. While
// the connection is taken — a long operation runs on the progress window's
// worker, or a reply is awaited in a nested event loop — such work waits its
// turn instead of starting a second request, which the connection would
// refuse and the work would take for an empty answer.

#include <QObject>
#include <functional>

namespace velt::gui {

// Takes the connection for its lifetime (GUI thread only; holds nest).
class ConnectionHold {
public:
    ConnectionHold();
    ~ConnectionHold();
    ConnectionHold(const ConnectionHold&) = delete;
    ConnectionHold& operator=(const ConnectionHold&) = delete;
};

bool ConnectionHeld();

// Runs work on the GUI thread now when the connection is free and nothing
// waits before it, otherwise once the last hold ends, in the order asked.
// Work whose context is destroyed first is dropped.
void WhenConnectionFree(QObject* context, std::function<void()> work);

// How many pieces of work wait (for tests).
int WorkWaitingForConnection();

}  // namespace velt::gui
