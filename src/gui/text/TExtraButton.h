#pragma once
// A flat button of the accented-character palette; it carries its character.

#include <QToolButton>

namespace velt::gui {

class TExtraButton : public QToolButton {
    Q_OBJECT
public:
    TExtraButton(const QString& character, QWidget* parent);

    // The character the button types.
    QString Character() const { return text(); }
};

}  // namespace velt::gui
