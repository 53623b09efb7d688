#include "gui/common/ConnectionGate.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <deque>

namespace velt::gui {

namespace {

struct Waiting {
    QPointer<QObject> context;
    std::function<void()> work;
};

int gHolds = 0;
bool gDrainPosted = false;
std::deque<Waiting>& Queue() {
    static std::deque<Waiting> queue;
    return queue;
}

void Drain() {
    gDrainPosted = false;
    auto& queue = Queue();
    while (gHolds == 0 && !queue.empty()) {
        Waiting next = std::move(queue.front());
        queue.pop_front();
        if (next.context) next.work();
    }
}

void PostDrain() {
    if (gDrainPosted || Queue().empty()) return;
    gDrainPosted = true;
    QTimer::singleShot(0, qApp, &Drain);
}

}  // namespace

ConnectionHold::ConnectionHold() { ++gHolds; }

ConnectionHold::~ConnectionHold() {
    if (--gHolds == 0) PostDrain();
}

bool ConnectionHeld() { return gHolds > 0; }

void WhenConnectionFree(QObject* context, std::function<void()> work) {
    if (gHolds == 0 && Queue().empty()) {
        work();
        return;
    }
    Queue().push_back({context, std::move(work)});
    if (gHolds == 0) PostDrain();
}

int WorkWaitingForConnection() { return static_cast<int>(Queue().size()); }

}  // namespace velt::gui
