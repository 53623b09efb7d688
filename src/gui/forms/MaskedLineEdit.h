#pragma once
// The masked edit: a line edit whose content is an EditMask, because the
// platform's mask notation ("99.99.9999;0; ") is not Qt's and Qt's masked
// text drops the blanks whose places the field editors need. Typing
// overwrites the next editable position; Backspace and Delete blank one.

#include "forms/EditMask.h"

#include <QLineEdit>

#include <string>

namespace velt::gui {

class MaskedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedLineEdit(QWidget* parent = nullptr);

    void SetMask(const std::string& mask);
    // The text in the mask's form (without literals when the mask drops them).
    void SetMaskText(const std::string& text);
    std::string MaskText() const;
    const EditMask& Mask() const { return mMask; }

signals:
    void UserChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Show();
    void EraseSelection();
    void Edited(bool changed);

    EditMask mMask;
};

}  // namespace velt::gui
