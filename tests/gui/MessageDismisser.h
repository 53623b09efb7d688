#pragma once
// Closes every message box a window test meets, keeping its text, so that a
// test against the server never waits on a box nobody answers.

#include "gui/common/TOknoKomunikatu.h"

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>

namespace velt::test {

class MessageDismisser {
public:
    MessageDismisser() {
        mTimer.setInterval(10);
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<gui::TOknoKomunikatu*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(box->Label1->text());
            box->reject();
        });
        mTimer.start();
    }
    QStringList texts;

private:
    QTimer mTimer;
};

}  // namespace velt::test
