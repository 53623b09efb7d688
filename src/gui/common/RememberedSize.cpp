#include "gui/common/RememberedSize.h"

#include "files/UserDirectories.h"
#include "files/WindowSizes.h"
#include "gui/common/QtText.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velt::gui {

namespace {

WindowSizes& Sizes() {
    static WindowSizes sizes = [] {
        WindowSizes s(UserConfigDirectory() + "okna.txt");
        s.Load();
        return s;
    }();
    return sizes;
}

class SizeKeeper : public QObject {
public:
    SizeKeeper(QWidget* window, std::string name) : QObject(window), mName(std::move(name)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && !mRestored) {
            mRestored = true;
            if (const auto kept = Sizes().Find(mName)) {
                // Never larger than the screen it comes up on.
                QSize size(kept->width, kept->height);
                if (const QScreen* screen = window->screen()) size = size.boundedTo(screen->availableSize());
                window->resize(size.expandedTo(window->minimumSizeHint()));
            }
        } else if (event->type() == QEvent::Hide && mRestored && !window->isMaximized() && !window->isMinimized()) {
            Sizes().Keep(mName, {window->width(), window->height()});
        }
        return false;
    }

private:
    std::string mName;
    bool mRestored = false;
};

}  // namespace

void RememberSize(QWidget* window) { RememberSize(window, window->objectName()); }

void RememberSize(QWidget* window, const QString& name) {
    if (!window || name.isEmpty()) return;
    window->installEventFilter(new SizeKeeper(window, fromQString(name)));
}

}  // namespace velt::gui
