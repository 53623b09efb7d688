#include "gui/forms/MaskedLineEdit.h"

#include "gui/common/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace velt::gui {

MaskedLineEdit::MaskedLineEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(1 << 24);
    // Every change goes through the mask; a free edit never reaches it.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!mMask.Empty()) {
            Show();
            return;
        }
        mMask.SetText(fromQString(text()));
        emit UserChanged();
    });
}

void MaskedLineEdit::SetMask(const std::string& mask) {
    mMask = EditMask(mask);
    setContextMenuPolicy(mMask.Empty() ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    setAcceptDrops(mMask.Empty());
    Show();
}

void MaskedLineEdit::SetMaskText(const std::string& text) {
    mMask.SetText(text);
    Show();
}

std::string MaskedLineEdit::MaskText() const { return mMask.Text(); }

void MaskedLineEdit::Show() {
    const int at = mMask.Empty() ? cursorPosition() : static_cast<int>(mMask.Cursor());
    setText(toQString(mMask.Display()));
    setCursorPosition(at);
}

void MaskedLineEdit::EraseSelection() {
    const int from = selectionStart();
    const int length = selectedText().size();
    mMask.Erase(static_cast<std::size_t>(from), static_cast<std::size_t>(from + length));
}

void MaskedLineEdit::Edited(bool changed) {
    Show();
    if (changed) emit UserChanged();
}

void MaskedLineEdit::keyPressEvent(QKeyEvent* event) {
    if (mMask.Empty() || isReadOnly()) return QLineEdit::keyPressEvent(event);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    mMask.SetCursor(static_cast<std::size_t>(cursorPosition()));
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (hasSelectedText()) {
            EraseSelection();
            return Edited(true);
        }
        return Edited(mMask.Backspace());
    case Qt::Key_Delete:
        if (hasSelectedText()) {
            if (shift) QApplication::clipboard()->setText(selectedText());
            EraseSelection();
            return Edited(true);
        }
        return Edited(mMask.Delete());
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End:
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape:
        return QLineEdit::keyPressEvent(event);
    case Qt::Key_Insert:
        if (shift) {
            if (hasSelectedText()) EraseSelection();
            return Edited(mMask.Paste(fromQString(QApplication::clipboard()->text())));
        }
        return QLineEdit::keyPressEvent(event);
    default: break;
    }
    if (ctrl) {
        switch (event->key()) {
        case Qt::Key_C: return QLineEdit::keyPressEvent(event);
        case Qt::Key_A: return selectAll();
        case Qt::Key_X:
            QApplication::clipboard()->setText(selectedText());
            EraseSelection();
            return Edited(true);
        case Qt::Key_V:
            if (hasSelectedText()) EraseSelection();
            return Edited(mMask.Paste(fromQString(QApplication::clipboard()->text())));
        default: return;
        }
    }
    const QString typed = event->text();
    if (typed.isEmpty() || typed[0].unicode() < 32) return QLineEdit::keyPressEvent(event);
    bool changed = false;
    if (hasSelectedText()) {
        EraseSelection();
        changed = true;
    }
    for (char c : fromQString(typed))
        if (mMask.Type(c)) changed = true;
    Edited(changed);
}

}  // namespace velt::gui
