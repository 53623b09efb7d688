#include "gui/common/SessionMessages.h"

#include "gui/common/TOknoKomunikatu.h"

#include <QMetaObject>
#include <QPointer>

namespace velt::gui {

SessionMessages::SessionMessages(Shower shower, QObject* parent) : QObject(parent), mShower(std::move(shower)) {}

MessageCallback SessionMessages::Callback() {
    QPointer<SessionMessages> self(this);
    return [self](const std::string& text, SessionText kind) {
        if (!self) return;
        // Never a blocking hand-over: the caller may hold the timer lock that
        // a request on the GUI thread is waiting for.
        QMetaObject::invokeMethod(
            self.data(),
            [self, text, kind] {
                if (!self) return;
                if (self->mShower)
                    self->mShower(text, kind);
                else if (kind == SessionText::Notice)
                    show_message(text);
                else
                    show_error(text);
            },
            Qt::QueuedConnection);
    };
}

}  // namespace velt::gui
