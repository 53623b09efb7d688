#include "gui/forms/TLRichEdit.h"

#include "forms/FormConversions.h"
#include "gui/common/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

namespace velt::gui {

TLRichEdit::TLRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QTextEdit::textChanged, this, &TLRichEdit::TextChanged);
}

void TLRichEdit::Load(const QString& text) {
    mLoading = true;
    setPlainText(text);
    mLoading = false;
}

void TLRichEdit::TextChanged() {
    if (mLoading) return;
    if (mMaxLength > 0 && toPlainText().size() > mMaxLength) {
        // Typing past the limit takes the last characters back.
        mLoading = true;
        QTextCursor c = textCursor();
        const int over = toPlainText().size() - mMaxLength;
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, std::min(over, c.position()));
        c.removeSelectedText();
        mLoading = false;
    }
    emit UserChanged();
}

QMenu* TLRichEdit::MakeContextMenu() {
    auto* menu = new QMenu(this);
    const bool editable = !isReadOnly();
    QAction* undo = menu->addAction(QStringLiteral("Cofnij"), this, &TLRichEdit::UndoEdit);
    undo->setEnabled(editable && CanUndoEdit());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Wytnij"), this, &TLRichEdit::CutSelection)->setEnabled(editable && HasSelection());
    menu->addAction(QStringLiteral("Kopiuj"), this, &TLRichEdit::CopySelection)->setEnabled(HasSelection());
    menu->addAction(QStringLiteral("Wklej"), this, &TLRichEdit::PasteClipboard)->setEnabled(editable);
    menu->addAction(QString::fromUtf8("Usuń"), this, &TLRichEdit::DeleteSelection)->setEnabled(editable);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Zaznacz wszystko"), this, &QTextEdit::selectAll);
    return menu;
}

void TLRichEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = MakeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool TLRichEdit::HasSelection() const { return textCursor().hasSelection(); }
bool TLRichEdit::CanUndoEdit() const { return document()->isUndoAvailable(); }
void TLRichEdit::UndoEdit() { undo(); }
void TLRichEdit::CopySelection() { copy(); }

void TLRichEdit::CutSelection() {
    if (!isReadOnly()) cut();
}

void TLRichEdit::PasteClipboard() {
    if (!isReadOnly()) paste();
}

void TLRichEdit::DeleteSelection() {
    if (isReadOnly()) return;
    QTextCursor c = textCursor();
    if (c.hasSelection()) c.removeSelectedText();
    else c.deleteChar();
}

void TLRichEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source->hasText()) return;
    QString text = source->text();
    if (!mAcceptsReturn) text = toQString(PastedAsOneLine(fromQString(text)));
    textCursor().insertText(text);
}

void TLRichEdit::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !mAcceptsReturn) {
        event->ignore();  // the window's default button may take it
        return;
    }
    if (ctrl && event->key() == Qt::Key_C) return CopySelection();
    if (ctrl && event->key() == Qt::Key_X) return CutSelection();
    if (ctrl && event->key() == Qt::Key_V) return PasteClipboard();
    QTextEdit::keyPressEvent(event);
}

}  // namespace velt::gui
