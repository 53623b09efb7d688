#pragma once
// "Znaki diakrytyczne": an always-on-top tool window with one button per
// accented character. A click types the character into the focused edit
// control of the window that was active before, as if the key had been
// pressed; when the palette itself is activated it hands the focus back to
// that window after 100 ms.

#include <QPointer>
#include <QWidget>

class QTimer;

namespace velt::gui {

class TExtraButton;

class TOknoDiakrytyczne : public QWidget {
    Q_OBJECT
public:
    explicit TOknoDiakrytyczne(QWidget* parent = nullptr);

    // The buttons in palette order.
    const QList<TExtraButton*>& Buttons() const { return mButtons; }
    // The window the characters go to: the last active window but this one.
    QWidget* TargetWindow() const { return mTarget; }

    // Types the character into the target window's focused edit control;
    // false when there is no such control.
    bool TypeCharacter(const QString& character);

protected:
    void changeEvent(QEvent* event) override;

private:
    void FocusChanged(QWidget* old, QWidget* now);

    QList<TExtraButton*> mButtons;
    QPointer<QWidget> mTarget;
    QTimer* Timer1 = nullptr;
};

}  // namespace velt::gui
