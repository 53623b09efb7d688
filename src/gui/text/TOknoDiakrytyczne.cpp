#include "gui/text/TOknoDiakrytyczne.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"
#include "text/Diakrytyki.h"
#include "gui/text/TExtraButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

namespace velt::gui {

TOknoDiakrytyczne::TOknoDiakrytyczne(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("OknoDiakrytyczne");
    setWindowTitle(toQString("Znaki diakrytyczne"_cp));
    const std::string characters = DiacriticPalette();
    for (int i = 0; i < static_cast<int>(characters.size()); ++i) {
        auto* b = new TExtraButton(toQString(characters.substr(static_cast<std::size_t>(i), 1)), this);
        b->setObjectName(QStringLiteral("Znak%1").arg(i));
        const PalettePosition p = PaletteButtonPosition(i);
        b->setGeometry(p.x, p.y, kPaletteButtonWidth, kPaletteButtonHeight);
        connect(b, &QToolButton::clicked, this, [this, b] { TypeCharacter(b->Character()); });
        mButtons.append(b);
    }
    const PalettePosition last = PaletteButtonPosition(static_cast<int>(characters.size()) - 1);
    setFixedSize(last.x + kPaletteButtonWidth, 2 * kPaletteButtonHeight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (mTarget) mTarget->activateWindow();
    });
    connect(qApp, &QApplication::focusChanged, this, &TOknoDiakrytyczne::FocusChanged);
}

void TOknoDiakrytyczne::FocusChanged(QWidget*, QWidget* now) {
    if (now && now->window() != this) mTarget = now->window();
}

void TOknoDiakrytyczne::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && mTarget) Timer1->start();
}

bool TOknoDiakrytyczne::TypeCharacter(const QString& character) {
    if (!mTarget) return false;
    QWidget* focused = mTarget->focusWidget();
    if (!qobject_cast<QLineEdit*>(focused) && !qobject_cast<QTextEdit*>(focused) &&
        !qobject_cast<QPlainTextEdit*>(focused))
        return false;
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
    QApplication::sendEvent(focused, &press);
    QApplication::sendEvent(focused, &release);
    return true;
}

}  // namespace velt::gui
