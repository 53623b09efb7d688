#include "gui/forms/TSMemo.h"

#include "gui/common/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

namespace velt::gui {
namespace {

// Characters drawn for a marker and for a foreign marker carry this property.
constexpr int kUnitProperty = QTextFormat::UserProperty + 1;
constexpr int kMarkerUnit = 1;
constexpr int kForeignUnit = 2;

QChar ShownQChar(const MarkerText::ShownChar& c) {
    if (c.wide) return QChar(c.wide);
    const QString one = toQString(std::string(1, c.c));
    return one.isEmpty() ? QChar(' ') : one[0];
}

}  // namespace

TSMemo::TSMemo(QWidget* parent) : TLRichEdit(parent) {
    SetAcceptsReturn(false);
    setUndoRedoEnabled(false);  // the model keeps the history
    setLineWrapMode(QTextEdit::WidgetWidth);
    // Changes come from the model (or from DocumentChanged), not from the text edit.
    disconnect(this, &QTextEdit::textChanged, nullptr, nullptr);
    connect(document(), &QTextDocument::contentsChanged, this, &TSMemo::DocumentChanged);
}

void TSMemo::LoadText(const std::string& stored) {
    mModel.LoadText(stored);
    Render();
}

void TSMemo::SetReadOnlyText(bool readOnly) {
    mModel.SetReadOnly(readOnly);
    setReadOnly(readOnly);
}

void TSMemo::Render() {
    mRendering = true;
    mLoading = true;
    QTextCharFormat plain;
    plain.setForeground(palette().color(QPalette::Text));
    plain.setFontWeight(font().weight());
    QTextCharFormat marker = plain;
    marker.setForeground(QColor(255, 0, 0));
    marker.setFontWeight(QFont::Bold);
    marker.setProperty(kUnitProperty, kMarkerUnit);
    QTextCharFormat foreign = plain;
    foreign.setProperty(kUnitProperty, kForeignUnit);

    document()->clear();
    QTextCursor c(document());
    QString run;
    int runKind = -1;
    auto flush = [&] {
        if (run.isEmpty()) return;
        c.insertText(run, runKind == kMarkerUnit ? marker : runKind == kForeignUnit ? foreign : plain);
        run.clear();
    };
    for (const MarkerText::ShownChar& ch : mModel.Shown()) {
        const int kind = ch.marker ? kMarkerUnit : ch.foreign ? kForeignUnit : 0;
        if (kind != runKind) {
            flush();
            runKind = kind;
        }
        run.append(ShownQChar(ch));
    }
    flush();
    QTextCursor place(document());
    place.setPosition(static_cast<int>(mModel.Anchor()));
    place.setPosition(static_cast<int>(mModel.Cursor()), QTextCursor::KeepAnchor);
    setTextCursor(place);
    mLoading = false;
    mRendering = false;
}

void TSMemo::Snap(bool forward) {
    const QTextCursor c = textCursor();
    mModel.Select(static_cast<std::size_t>(c.anchor()), static_cast<std::size_t>(c.position()), forward);
    if (static_cast<std::size_t>(c.anchor()) == mModel.Anchor() && static_cast<std::size_t>(c.position()) == mModel.Cursor())
        return;
    QTextCursor place(document());
    place.setPosition(static_cast<int>(mModel.Anchor()));
    place.setPosition(static_cast<int>(mModel.Cursor()), QTextCursor::KeepAnchor);
    mRendering = true;
    setTextCursor(place);
    mRendering = false;
}

void TSMemo::Edited(bool changed) {
    if (!changed) return;
    Render();
    emit UserChanged();
}

void TSMemo::DocumentChanged() {
    if (mRendering) return;
    // Changed behind the model's back: read the units back from the document.
    std::vector<MarkerText::ShownChar> shown;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin()) shown.push_back({' ', false, false, 0});
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int kind = f.charFormat().property(kUnitProperty).toInt();
            for (QChar q : f.text()) {
                MarkerText::ShownChar ch;
                const std::string bytes = fromQString(QString(q));
                if (bytes.size() == 1) ch.c = bytes[0];
                else ch.wide = q.unicode();
                ch.marker = kind == kMarkerUnit;
                ch.foreign = kind == kForeignUnit;
                shown.push_back(ch);
            }
        }
    }
    mModel.Rebuild(shown, static_cast<std::size_t>(textCursor().position()));
    Render();
    emit UserChanged();
}

QMenu* TSMemo::MarkerMenu() {
    if (mMenu) return mMenu;
    mMenu = new QMenu(this);
    const std::vector<std::string> captions = mModel.MenuCaptions();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        QAction* a = mMenu->addAction(toQString(captions[i]));
        connect(a, &QAction::triggered, this, [this, i] { ChooseMarker(static_cast<int>(i)); });
    }
    return mMenu;
}

void TSMemo::ChooseMarker(int index) {
    Snap(false);
    Edited(mModel.ChooseMarker(static_cast<std::size_t>(index)));
}

void TSMemo::TypeText(const QString& text) {
    for (QChar q : text) {
        const std::string bytes = fromQString(QString(q));
        if (bytes.size() == 1 && mModel.IsMarkerChar(bytes[0])) {
            if (isReadOnly()) return;
            MarkerMenu()->exec(viewport()->mapToGlobal(cursorRect().bottomLeft()));
            continue;
        }
        Snap(false);
        Edited(mModel.Paste(bytes));
    }
}

void TSMemo::CopySelection() {
    Snap(false);
    const std::string stored = mModel.Copy();
    if (!stored.empty()) QApplication::clipboard()->setText(toQString(stored));
}

void TSMemo::CutSelection() {
    if (isReadOnly()) return;
    Snap(false);
    std::string stored;
    if (mModel.Cut(stored)) {
        QApplication::clipboard()->setText(toQString(stored));
        Edited(true);
    }
}

void TSMemo::PasteClipboard() {
    if (isReadOnly()) return;
    Snap(false);
    Edited(mModel.Paste(fromQString(QApplication::clipboard()->text())));
}

void TSMemo::DeleteSelection() {
    Snap(false);
    Edited(mModel.Delete());
}

void TSMemo::UndoEdit() { Edited(mModel.Undo()); }

void TSMemo::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source->hasText()) return;
    Snap(false);
    Edited(mModel.Paste(fromQString(source->text())));
}

void TSMemo::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) TypeText(event->commitString());
    event->accept();
}

void TSMemo::mouseReleaseEvent(QMouseEvent* event) {
    TLRichEdit::mouseReleaseEvent(event);
    Snap(false);
}

void TSMemo::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrl = mods & Qt::ControlModifier, shift = mods & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left: case Qt::Key_Up: case Qt::Key_Home: case Qt::Key_PageUp:
        QTextEdit::keyPressEvent(event);
        return Snap(false);
    case Qt::Key_Right: case Qt::Key_Down: case Qt::Key_End: case Qt::Key_PageDown:
        QTextEdit::keyPressEvent(event);
        return Snap(true);
    case Qt::Key_Return: case Qt::Key_Enter:
        event->ignore();
        return;
    case Qt::Key_Delete:
        if (shift) return CutSelection();
        if (ctrl) {
            if (textCursor().hasSelection()) DeleteSelection();
            return;
        }
        if (!isReadOnly()) DeleteSelection();
        return;
    case Qt::Key_Backspace:
        if (mods == 0 && !isReadOnly()) {
            Snap(false);
            Edited(mModel.Backspace());
        }
        return;
    case Qt::Key_Insert:
        if (ctrl) return CopySelection();
        if (shift) return PasteClipboard();
        return;
    default: break;
    }
    if (ctrl) {
        switch (event->key()) {
        case Qt::Key_C: return CopySelection();
        case Qt::Key_X: return CutSelection();
        case Qt::Key_V: return PasteClipboard();
        case Qt::Key_Z: return UndoEdit();
        case Qt::Key_A:
            selectAll();
            return Snap(true);
        default: return;
        }
    }
    if (!event->text().isEmpty() && !isReadOnly() && !(mods & Qt::AltModifier)) {
        TypeText(event->text());
        return;
    }
    event->ignore();
}

}  // namespace velt::gui
