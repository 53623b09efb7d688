#pragma once
// The marker memo: a TLRichEdit whose content is a MarkerText. Every edit
// goes through the model (typing, Delete, Backspace, cut, copy, paste, the
// marker menu the marker character opens), the document is drawn again from
// it, and the cursor snaps to whole markers after every movement. A change
// the model did not see (dragging text in) is read back from the document.

#include "forms/MarkerText.h"
#include "gui/forms/TLRichEdit.h"

#include <string>

class QMenu;

namespace velt::gui {

class TSMemo : public TLRichEdit {
    Q_OBJECT
public:
    explicit TSMemo(QWidget* parent = nullptr);

    MarkerText& Model() { return mModel; }
    // Replaces the content (no change reported; cursor and selection at 0).
    void LoadText(const std::string& stored);
    std::string StoredText() const { return mModel.StoredText(); }
    void SetReadOnlyText(bool readOnly);

    // The marker menu, made on first use: one item per marker, its code the access key.
    QMenu* MarkerMenu();
    // Inserts the marker of the menu item as choosing it does.
    void ChooseMarker(int index);

    void CopySelection() override;
    void CutSelection() override;
    void PasteClipboard() override;
    void DeleteSelection() override;
    void UndoEdit() override;
    bool CanUndoEdit() const override { return mModel.CanUndo(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Draws the document from the model and puts the cursor where it says.
    void Render();
    // Takes the widget's cursor into the model, snapped.
    void Snap(bool forward);
    void Edited(bool changed);
    void DocumentChanged();
    void TypeText(const QString& text);

    MarkerText mModel;
    QMenu* mMenu = nullptr;
    bool mRendering = false;
};

}  // namespace velt::gui
