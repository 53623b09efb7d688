#pragma once
// Runs act once ready() holds, looked at every 10 ms, so that a test can act
// inside a modal window's own loop.

#include <QObject>
#include <QTimer>

#include <functional>

namespace velt::test {

inline void WhenReady(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, act] {
        if (!ready()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

}  // namespace velt::test
