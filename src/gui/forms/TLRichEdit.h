#pragma once
// The rich edit under the memo and formatted-text fields: plain text only
// (a server's text is never taken for markup), its own context menu
// ("Cofnij", "Wytnij", "Kopiuj", "Wklej", "Usuń", "Zaznacz wszystko") and
// clipboard keys, and the paste rule of controls without line breaks: every
// line end of the pasted text becomes one space.

#include <QTextEdit>

class QMenu;

namespace velt::gui {

class TLRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TLRichEdit(QWidget* parent = nullptr);

    // Whether Enter makes a line break (and pasted line breaks stay).
    void SetAcceptsReturn(bool accepts) { mAcceptsReturn = accepts; }
    bool AcceptsReturn() const { return mAcceptsReturn; }
    // At most n characters (0: no limit).
    void SetMaxLength(int n) { mMaxLength = n; }

    // Replaces the text without it counting as the user's change.
    void Load(const QString& text);

    // The context menu, its items enabled as the control stands; the caller owns it.
    QMenu* MakeContextMenu();

    // The clipboard and editing actions of the menu and the keys.
    virtual void CopySelection();
    virtual void CutSelection();
    virtual void PasteClipboard();
    virtual void DeleteSelection();
    virtual void UndoEdit();
    virtual bool CanUndoEdit() const;
    virtual bool HasSelection() const;

signals:
    // The user changed the text (typing, pasting, cutting, undoing).
    void UserChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

    bool mLoading = false;

private:
    void TextChanged();

    bool mAcceptsReturn = true;
    int mMaxLength = 0;
};

}  // namespace velt::gui
