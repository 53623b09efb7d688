#include "gui/common/SessionMessages.h"

#include "gui/common/PlainMessage.h"

#include <QMetaObject>
#include <QPointer>

namespace velt::gui {

SessionMessages::SessionMessages(std::function<void(const std::string&)> shower, QObject* parent)
    : QObject(parent), mShower(std::move(shower)) {}

MessageCallback SessionMessages::Callback() {
    QPointer<SessionMessages> self(this);
    return [self](const std::string& text) {
        if (!self) return;
        // Never a blocking hand-over: the caller may hold the timer lock that
        // a request on the GUI thread is waiting for.
        QMetaObject::invokeMethod(
            self.data(),
            [self, text] {
                if (!self) return;
                if (self->mShower)
                    self->mShower(text);
                else
                    plain_message(text);
            },
            Qt::QueuedConnection);
    };
}

}  // namespace velt::gui
