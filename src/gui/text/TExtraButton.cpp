#include "gui/text/TExtraButton.h"

namespace velt::gui {

TExtraButton::TExtraButton(const QString& character, QWidget* parent) : QToolButton(parent) {
    setText(character);
    setAutoRaise(true);  // flat
    setFocusPolicy(Qt::NoFocus);
    QFont f = font();
    f.setBold(true);
    f.setPointSize(10);
    setFont(f);
}

}  // namespace velt::gui
