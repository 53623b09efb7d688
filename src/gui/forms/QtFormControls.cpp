#include "gui/forms/QtFormControls.h"

#include "forms/FormConversions.h"
#include "gui/common/ConnectionGate.h"
#include "gui/common/QtText.h"
#include "gui/forms/MaskedLineEdit.h"
#include "gui/forms/TLRichEdit.h"
#include "gui/forms/TSMemo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace velt::gui {
namespace {

// No limit of the system's own: Qt's default of 32767 would cut long values.
constexpr int kNoLimit = 1 << 24;

// Password fields show every character as "*".
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QStyle* PasswordStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new StarPasswordStyle;
        style->setParent(qApp);
    }
    return style;
}

// The lookup button's glyph: a small list with an arrow, 12 by 12.
QIcon LookupIcon() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    for (int y = 2; y <= 8; y += 3) p.drawLine(1, y, 6, y);
    p.setBrush(Qt::black);
    const QPoint arrow[] = {QPoint(8, 4), QPoint(11, 4), QPoint(9, 8)};
    p.drawPolygon(arrow, 3);
    return QIcon(pm);
}

QString WithNewLines(const std::string& text) {
    QString q = toQString(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QChar('\r'), QChar('\n'));
    return q;
}

std::string WithCrLf(const QString& text) {
    QString q = text;
    q.replace(QChar('\n'), QStringLiteral("\r\n"));
    return fromQString(q);
}

bool IsEdit(ControlKind k) {
    return k == ControlKind::LineEdit || k == ControlKind::MaskEdit || k == ControlKind::SpinEdit ||
           k == ControlKind::RichEdit || k == ControlKind::MarkerMemo || k == ControlKind::FormattedText ||
           k == ControlKind::ComboBox;
}

bool AutoSized(ControlKind k) { return k == ControlKind::Label || k == ControlKind::MenuLabel; }

}  // namespace

QtFormControl::QtFormControl(ControlKind kind, QWidget* widget, QtFormControl* parent, bool owned,
                             QtControlFactory* factory)
    : mKind(kind), mWidget(widget), mParentControl(parent), mOwned(owned), mFactory(factory) {
    if (parent) parent->mChildControls.push_back(this);
}

QtFormControl::~QtFormControl() {
    mListener = nullptr;
    if (mParentControl) std::erase(mParentControl->mChildControls, this);
    for (QtFormControl* child : mChildControls) child->mParentControl = nullptr;
    if (!mWidget) return;
    mWidget->removeEventFilter(this);
    QObject::disconnect(mWidget, nullptr, this, nullptr);
    if (!mOwned) return;
    // The focus leaves quietly, so hiding the widget moves it to nobody.
    if (QWidget* window = mWidget->window()) {
        QWidget* focused = window->focusWidget();
        if (focused && (focused == mWidget || mWidget->isAncestorOf(focused))) focused->clearFocus();
    }
    if (auto* dialog = qobject_cast<QDialog*>(mWidget.data()); dialog && dialog->isVisible()) dialog->reject();
    if (mKind == ControlKind::TabSheet && mParentControl) {
        if (auto* tabs = qobject_cast<QTabWidget*>(mParentControl->Widget())) {
            mParentControl->mSetting = true;
            tabs->removeTab(tabs->indexOf(mWidget));
            mParentControl->mSetting = false;
        }
    }
    mWidget->hide();
    if (mFactory && mFactory->Keep(mKind, mWidget)) return;
    mWidget->deleteLater();
}

void QtFormControl::Connect() {
    QWidget* w = mWidget;
    w->installEventFilter(this);
    switch (mKind) {
    case ControlKind::LineEdit:
        connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this, [this] { Changed(); });
        break;
    case ControlKind::MaskEdit:
        connect(static_cast<MaskedLineEdit*>(w), &MaskedLineEdit::UserChanged, this, [this] { Changed(); });
        break;
    case ControlKind::SpinEdit:
        connect(static_cast<QSpinBox*>(w), &QSpinBox::valueChanged, this, [this] {
            if (!mSetting) Changed();
        });
        break;
    case ControlKind::RichEdit:
    case ControlKind::MarkerMemo:
        connect(static_cast<TLRichEdit*>(w), &TLRichEdit::UserChanged, this, [this] { Changed(); });
        break;
    case ControlKind::ComboBox:
        connect(static_cast<QComboBox*>(w), &QComboBox::activated, this, [this](int i) { Chosen(i); });
        break;
    case ControlKind::CheckBox:
    case ControlKind::Button:
    case ControlKind::SpeedButton:
    case ControlKind::LookupButton:
        connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, this, [this] { Clicked(); });
        break;
    case ControlKind::ScrollBar:
        connect(static_cast<QScrollBar*>(w), &QScrollBar::valueChanged, this, [this](int v) {
            if (!mSetting && mListener) mListener->ControlScrolled(*this, v);
        });
        break;
    case ControlKind::PageControl:
        connect(static_cast<QTabWidget*>(w), &QTabWidget::currentChanged, this, [this](int i) {
            if (!mSetting && mListener) mListener->ControlPageShown(*this, i);
        });
        break;
    default: break;
    }
}

void QtFormControl::Changed() {
    if (mListener && !mSetting) mListener->ControlChanged(*this);
}

void QtFormControl::Clicked() {
    if (mListener) mListener->ControlClicked(*this);
}

void QtFormControl::Chosen(int index) {
    if (mListener && !mSetting) mListener->ControlChosen(*this, index);
}

bool QtFormControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mWidget) return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A menu, a message box or another window taking the focus for a
        // while is no leaving of the control, nor is its coming back.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        if (!mListener) return false;
        if (event->type() == QEvent::FocusIn) mListener->ControlEntered(*this);
        else mListener->ControlLeft(*this);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::ContextMenu: {
        if (mKind == ControlKind::ListMarker && event->type() == QEvent::MouseButtonPress) {
            Clicked();
            return true;
        }
        if (mKind != ControlKind::MenuLabel && mKind != ControlKind::MenuPicture) return false;
        const QPointer<QtFormControl> self(this);
        const QPoint at = QCursor::pos();
        Clicked();  // the edit being left stores its text before the menu shows
        if (self && mMenu) mMenu->popup(at);
        return true;
    }
    default: return false;
    }
}

void QtFormControl::FitContent() {
    if (mKind != ControlKind::ScrollBox || !mContent) return;
    const QRect r = mContent->childrenRect();
    mContent->resize(std::max(r.right() + 1, 1), std::max(r.bottom() + 1, 1));
}

void QtFormControl::SetGeometry(const PixelRect& rect) {
    if (mKind == ControlKind::TabSheet || mKind == ControlKind::PopupWindow) return;
    if (mKind == ControlKind::ScrollBox && mParentControl && mParentControl->Kind() == ControlKind::TabSheet) return;
    if (AutoSized(mKind) && rect.width == 0) {
        mWidget->move(rect.left, rect.top);
        mWidget->adjustSize();
    } else {
        mWidget->setGeometry(rect.left, rect.top, rect.width, rect.height);
    }
    if (mParentControl) mParentControl->FitContent();
}

PixelRect QtFormControl::Geometry() const {
    const QRect g = mWidget->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void QtFormControl::SetVisible(bool visible) {
    if (mKind == ControlKind::TabSheet || mKind == ControlKind::PopupWindow) return;
    mWidget->setVisible(visible);
    if (mParentControl) mParentControl->FitContent();
}

bool QtFormControl::IsVisible() const {
    if (mKind == ControlKind::PopupWindow) return mWidget->isVisible();
    return !mWidget->isHidden();
}

void QtFormControl::SetEnabled(bool enabled) { mWidget->setEnabled(enabled); }
bool QtFormControl::IsEnabled() const { return mWidget->isEnabled(); }

void QtFormControl::SetReadOnly(bool readOnly) {
    mReadOnly = readOnly;
    switch (mKind) {
    case ControlKind::LineEdit:
    case ControlKind::MaskEdit: static_cast<QLineEdit*>(mWidget.data())->setReadOnly(readOnly); break;
    case ControlKind::SpinEdit: static_cast<QSpinBox*>(mWidget.data())->setReadOnly(readOnly); break;
    case ControlKind::MarkerMemo: static_cast<TSMemo*>(mWidget.data())->SetReadOnlyText(readOnly); break;
    case ControlKind::RichEdit:
    case ControlKind::FormattedText: static_cast<QTextEdit*>(mWidget.data())->setReadOnly(readOnly); break;
    default: break;
    }
    if (IsEdit(mKind)) {
        // Read-only fields are light grey, editable ones white.
        QPalette p = mWidget->palette();
        p.setColor(QPalette::Base, readOnly ? QColor(224, 224, 224) : QColor(Qt::white));
        mWidget->setPalette(p);
    }
}

void QtFormControl::SetFont(const FontSpec& spec) {
    QWidget* target = mWidget;
    if (mKind == ControlKind::PageControl) target = static_cast<QTabWidget*>(mWidget.data())->tabBar();
    QFont f = target->font();
    if (!spec.face.empty()) f.setFamily(toQString(spec.face));
    if (spec.height != 0) f.setPixelSize(std::abs(spec.height));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    target->setFont(f);
    if (AutoSized(mKind)) mWidget->adjustSize();
}

void QtFormControl::SetHint(const std::string& hint) { mWidget->setToolTip(toQString(hint)); }

bool QtFormControl::CanFocus() const {
    if (mKind == ControlKind::Label || mKind == ControlKind::ListMarker || mKind == ControlKind::MenuLabel ||
        mKind == ControlKind::MenuPicture)
        return false;
    QWidget* window = mWidget->window();
    return mWidget->isEnabled() && (mWidget == window || mWidget->isVisibleTo(window));
}

void QtFormControl::SetFocus() { mWidget->setFocus(Qt::OtherFocusReason); }

bool QtFormControl::HasFocus() const {
    QWidget* window = mWidget->window();
    for (QWidget* f = window ? window->focusWidget() : nullptr; f; f = f->parentWidget())
        if (f == mWidget) return true;
    return false;
}

void QtFormControl::SetText(const std::string& text) {
    const QString q = toQString(text);
    mSetting = true;
    switch (mKind) {
    case ControlKind::Label:
    case ControlKind::MenuLabel: {
        auto* label = static_cast<QLabel*>(mWidget.data());
        label->setText(q);
        label->adjustSize();
        break;
    }
    case ControlKind::LineEdit: static_cast<QLineEdit*>(mWidget.data())->setText(q); break;
    case ControlKind::MaskEdit: static_cast<MaskedLineEdit*>(mWidget.data())->SetMaskText(text); break;
    case ControlKind::RichEdit:
    case ControlKind::FormattedText: static_cast<TLRichEdit*>(mWidget.data())->Load(WithNewLines(text)); break;
    case ControlKind::MarkerMemo: static_cast<TSMemo*>(mWidget.data())->LoadText(text); break;
    case ControlKind::CheckBox:
    case ControlKind::Button:
    case ControlKind::SpeedButton: static_cast<QAbstractButton*>(mWidget.data())->setText(q); break;
    case ControlKind::TabSheet:
        if (mParentControl)
            if (auto* tabs = qobject_cast<QTabWidget*>(mParentControl->Widget())) tabs->setTabText(tabs->indexOf(mWidget), q);
        break;
    case ControlKind::PopupWindow: mWidget->setWindowTitle(q); break;
    default: break;
    }
    mSetting = false;
}

std::string QtFormControl::Text() const {
    switch (mKind) {
    case ControlKind::Label:
    case ControlKind::MenuLabel: return fromQString(static_cast<QLabel*>(mWidget.data())->text());
    case ControlKind::LineEdit: return fromQString(static_cast<QLineEdit*>(mWidget.data())->text());
    case ControlKind::MaskEdit: return static_cast<MaskedLineEdit*>(mWidget.data())->MaskText();
    case ControlKind::RichEdit:
    case ControlKind::FormattedText: return WithCrLf(static_cast<QTextEdit*>(mWidget.data())->toPlainText());
    case ControlKind::MarkerMemo: return static_cast<TSMemo*>(mWidget.data())->StoredText();
    case ControlKind::SpinEdit: return std::to_string(static_cast<QSpinBox*>(mWidget.data())->value());
    case ControlKind::ComboBox: return fromQString(static_cast<QComboBox*>(mWidget.data())->currentText());
    case ControlKind::CheckBox:
    case ControlKind::Button:
    case ControlKind::SpeedButton: return fromQString(static_cast<QAbstractButton*>(mWidget.data())->text());
    case ControlKind::PopupWindow: return fromQString(mWidget->windowTitle());
    default: return {};
    }
}

void QtFormControl::SetMaxLength(int n) {
    if (mKind == ControlKind::LineEdit) static_cast<QLineEdit*>(mWidget.data())->setMaxLength(n > 0 ? n : kNoLimit);
    if (mKind == ControlKind::RichEdit) static_cast<TLRichEdit*>(mWidget.data())->SetMaxLength(n);
}

void QtFormControl::SetPassword(bool password) {
    if (mKind != ControlKind::LineEdit) return;
    auto* edit = static_cast<QLineEdit*>(mWidget.data());
    edit->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    if (password) edit->setStyle(PasswordStyle());
}

void QtFormControl::SetMask(const std::string& mask) {
    if (mKind == ControlKind::MaskEdit) static_cast<MaskedLineEdit*>(mWidget.data())->SetMask(mask);
}

void QtFormControl::SetMultiline(bool acceptsReturn, bool wordWrap) {
    auto* edit = qobject_cast<TLRichEdit*>(mWidget.data());
    if (!edit) return;
    edit->SetAcceptsReturn(acceptsReturn);
    edit->setLineWrapMode(wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    if (mKind == ControlKind::MarkerMemo && !wordWrap) {
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

void QtFormControl::ClearUndo() {
    if (mKind == ControlKind::MarkerMemo) static_cast<TSMemo*>(mWidget.data())->Model().ClearUndo();
    else if (auto* edit = qobject_cast<QTextEdit*>(mWidget.data())) edit->document()->clearUndoRedoStacks();
}

void QtFormControl::SetRange(int minimum, int maximum) {
    mSetting = true;
    if (mKind == ControlKind::SpinEdit) {
        // Equal bounds mean no bound at all.
        auto* spin = static_cast<QSpinBox*>(mWidget.data());
        if (minimum == maximum) spin->setRange(INT_MIN, INT_MAX);
        else spin->setRange(std::min(minimum, maximum), std::max(minimum, maximum));
    } else if (mKind == ControlKind::ScrollBar) {
        static_cast<QScrollBar*>(mWidget.data())->setRange(minimum, maximum);
    }
    mSetting = false;
}

void QtFormControl::SetValue(int value) {
    mSetting = true;
    switch (mKind) {
    case ControlKind::SpinEdit: static_cast<QSpinBox*>(mWidget.data())->setValue(value); break;
    case ControlKind::ScrollBar: static_cast<QScrollBar*>(mWidget.data())->setValue(value); break;
    case ControlKind::ComboBox: static_cast<QComboBox*>(mWidget.data())->setCurrentIndex(value); break;
    default: break;
    }
    mSetting = false;
}

int QtFormControl::Value() const {
    switch (mKind) {
    case ControlKind::SpinEdit: return static_cast<QSpinBox*>(mWidget.data())->value();
    case ControlKind::ScrollBar: return static_cast<QScrollBar*>(mWidget.data())->value();
    case ControlKind::ComboBox: return static_cast<QComboBox*>(mWidget.data())->currentIndex();
    default: return 0;
    }
}

void QtFormControl::SetItems(const std::vector<std::string>& items) {
    auto* combo = qobject_cast<QComboBox*>(mWidget.data());
    if (!combo) return;
    mSetting = true;
    combo->clear();
    for (const std::string& item : items) combo->addItem(toQString(item));
    mSetting = false;
}

void QtFormControl::SetChecked(bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(mWidget.data())) box->setChecked(checked);
}

bool QtFormControl::IsChecked() const {
    auto* box = qobject_cast<QCheckBox*>(mWidget.data());
    return box && box->isChecked();
}

void QtFormControl::SetDefault(bool isDefault) {
    if (auto* button = qobject_cast<QPushButton*>(mWidget.data())) {
        button->setDefault(isDefault);
        button->setAutoDefault(isDefault);
    }
}

void QtFormControl::SetPicture(const FormPicture& picture) {
    QPixmap pm;
    if (picture.Loaded())
        pm.loadFromData(reinterpret_cast<const uchar*>(picture.bytes->data()), static_cast<uint>(picture.bytes->size()));
    // The program's own pictures are drawn at twice their size.
    if (!pm.isNull()) pm.setDevicePixelRatio(picture.density);
    if (auto* button = qobject_cast<QToolButton*>(mWidget.data())) {
        button->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
        if (!pm.isNull()) button->setIconSize(pm.deviceIndependentSize().toSize());
    } else if (auto* label = qobject_cast<QLabel*>(mWidget.data())) {
        label->setScaledContents(true);
        label->setPixmap(pm);
    }
}

void QtFormControl::SetRuns(const std::vector<TextRun>& runs) {
    auto* edit = qobject_cast<TLRichEdit*>(mWidget.data());
    if (!edit) return;
    edit->Load(QString());
    QTextCursor c(edit->document());
    for (const TextRun& run : runs) {
        if (run.newLine) c.insertBlock();
        QTextCharFormat f;
        f.setForeground(QColor((run.color >> 16) & 255, (run.color >> 8) & 255, run.color & 255));
        f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run.italic);
        c.insertText(toQString(run.text), f);  // plain text: no markup is ever read from it
    }
    edit->document()->clearUndoRedoStacks();
}

QMenu* QtFormControl::BuildMenu(QMenu* into, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
        if (e.item >= 0) {
            QAction* a = into->addAction(toQString(e.caption));
            const int item = e.item;
            connect(a, &QAction::triggered, this, [this, item] { Chosen(item); });
        } else {
            BuildMenu(into->addMenu(toQString(e.caption)), e.entries);
        }
    }
    return into;
}

void QtFormControl::SetMenu(const std::vector<MenuEntry>& menu) {
    if (mMenu) mMenu->deleteLater();
    mMenu = BuildMenu(new QMenu(mWidget), menu);
    mWidget->setCursor(Qt::PointingHandCursor);
}

void QtFormControl::SetMarkers(char markerChar, const std::vector<TSequence>& markers) {
    auto* memo = qobject_cast<TSMemo*>(mWidget.data());
    if (!memo) return;
    memo->Model().SetMarkerChar(markerChar);
    for (const TSequence& m : markers) memo->Model().AddMarker(m);
}

void QtFormControl::ScrollIntoView(FormControl& control) {
    auto* area = qobject_cast<QScrollArea*>(mWidget.data());
    auto& target = static_cast<QtFormControl&>(control);
    if (area && target.Widget()) area->ensureWidgetVisible(target.Widget());
}

bool QtFormControl::ScrollVertically(int pixels) {
    auto* area = qobject_cast<QScrollArea*>(mWidget.data());
    if (!area) return false;
    QScrollBar* bar = area->verticalScrollBar();
    if (bar->maximum() <= bar->minimum()) return false;
    bar->setValue(bar->value() - pixels);
    return true;
}

int QtFormControl::ActivePage() const {
    auto* tabs = qobject_cast<QTabWidget*>(mWidget.data());
    return tabs ? tabs->currentIndex() : 0;
}

void QtFormControl::SetClientSize(int width, int height) {
    if (mKind == ControlKind::PopupWindow) mWidget->setFixedSize(width, height);
}

void QtFormControl::MoveTo(int x, int y) { mWidget->move(x, y); }

void QtFormControl::ShowModal() {
    if (auto* dialog = qobject_cast<QDialog*>(mWidget.data())) dialog->exec();
}

void QtFormControl::Close() {
    if (auto* dialog = qobject_cast<QDialog*>(mWidget.data()); dialog && dialog->isVisible()) dialog->reject();
}

void QtFormControl::ScreenPosition(int& x, int& y) const {
    const QPoint p = mWidget->mapToGlobal(QPoint(0, 0));
    x = p.x();
    y = p.y();
}

namespace {

constexpr std::size_t kMaxKept = 4000;

bool Keepable(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::LineEdit:
    case ControlKind::MaskEdit:
    case ControlKind::SpinEdit:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
    case ControlKind::Button: return true;
    default: return false;
    }
}

// A kept widget as a new one would be, but for its font and palette, which
// every control sets anew.
void Empty(ControlKind kind, QWidget* w) {
    w->setEnabled(true);
    w->setToolTip(QString());
    switch (kind) {
    case ControlKind::Label: static_cast<QLabel*>(w)->clear(); break;
    case ControlKind::LineEdit: {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setReadOnly(false);
        edit->setEchoMode(QLineEdit::Normal);
        edit->setMaxLength(kNoLimit);
        edit->clear();
        break;
    }
    case ControlKind::MaskEdit: {
        auto* edit = static_cast<MaskedLineEdit*>(w);
        edit->setReadOnly(false);
        edit->SetMask(std::string());
        edit->SetMaskText(std::string());
        break;
    }
    case ControlKind::SpinEdit: {
        auto* spin = static_cast<QSpinBox*>(w);
        spin->setReadOnly(false);
        spin->setRange(0, 99);
        spin->setValue(0);
        break;
    }
    case ControlKind::ComboBox: static_cast<QComboBox*>(w)->clear(); break;
    case ControlKind::CheckBox: {
        auto* box = static_cast<QCheckBox*>(w);
        box->setChecked(false);
        box->setText(QString());
        break;
    }
    case ControlKind::Button: {
        auto* button = static_cast<QPushButton*>(w);
        button->setDefault(false);
        button->setAutoDefault(false);
        button->setText(QString());
        break;
    }
    default: break;
    }
}

}  // namespace

bool QtControlFactory::Keep(ControlKind kind, QWidget* widget) {
    if (!Keepable(kind) || mKept.size() >= kMaxKept || !widget->parentWidget()) return false;
    if (kind == ControlKind::LineEdit && static_cast<QLineEdit*>(widget)->echoMode() != QLineEdit::Normal) return false;
    Empty(kind, widget);
    mKept.push_back({kind, widget});
    return true;
}

QWidget* QtControlFactory::Reuse(ControlKind kind, QWidget* parent) {
    for (std::size_t i = mKept.size(); i-- > 0;) {
        Kept& k = mKept[i];
        if (!k.widget) {
            mKept.erase(mKept.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (k.kind != kind || k.widget->parentWidget() != parent) continue;
        QWidget* w = k.widget;
        mKept.erase(mKept.begin() + static_cast<std::ptrdiff_t>(i));
        return w;
    }
    return nullptr;
}

std::unique_ptr<FormControl> QtControlFactory::Create(ControlKind kind, FormControl& parentControl) {
    auto& parent = static_cast<QtFormControl&>(parentControl);
    QWidget* host = parent.Container();
    QWidget* w = Keepable(kind) ? Reuse(kind, host) : nullptr;
    QWidget* content = nullptr;
    if (w) {
        auto control = std::make_unique<QtFormControl>(kind, w, &parent, true, this);
        control->Connect();
        return control;
    }
    switch (kind) {
    case ControlKind::Panel: w = new QWidget(host); break;
    case ControlKind::ScrollBox: {
        auto* area = new QScrollArea(host);
        area->setFrameShape(QFrame::NoFrame);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        content = new QWidget;
        area->setWidget(content);
        if (parent.Kind() == ControlKind::TabSheet && host->layout()) host->layout()->addWidget(area);
        w = area;
        break;
    }
    case ControlKind::PopupWindow: {
        auto* dialog = new QDialog(host->window(), Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                       Qt::WindowCloseButtonHint);
        dialog->setModal(true);
        w = dialog;
        break;
    }
    case ControlKind::PageControl: {
        auto* tabs = new QTabWidget(host);
        tabs->setTabPosition(QTabWidget::East);
        w = tabs;
        break;
    }
    case ControlKind::TabSheet: {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        if (auto* tabs = qobject_cast<QTabWidget*>(parent.Widget())) {
            parent.mSetting = true;
            tabs->addTab(page, QString());
            parent.mSetting = false;
        }
        w = page;
        break;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(host);
        label->setTextFormat(Qt::PlainText);
        w = label;
        break;
    }
    case ControlKind::MenuLabel:
    case ControlKind::MenuPicture: {
        auto* label = new QLabel(host);
        label->setTextFormat(Qt::PlainText);
        label->setCursor(Qt::PointingHandCursor);
        w = label;
        break;
    }
    case ControlKind::LineEdit: {
        auto* edit = new QLineEdit(host);
        edit->setMaxLength(kNoLimit);
        w = edit;
        break;
    }
    case ControlKind::MaskEdit: w = new MaskedLineEdit(host); break;
    case ControlKind::SpinEdit: w = new QSpinBox(host); break;
    case ControlKind::RichEdit: w = new TLRichEdit(host); break;
    case ControlKind::FormattedText: {
        auto* edit = new TLRichEdit(host);
        edit->SetAcceptsReturn(false);
        w = edit;
        break;
    }
    case ControlKind::MarkerMemo: w = new TSMemo(host); break;
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(host);
        combo->setEditable(false);
        combo->setMaxVisibleItems(35);
        w = combo;
        break;
    }
    case ControlKind::CheckBox: w = new QCheckBox(host); break;
    case ControlKind::Button: w = new QPushButton(host); break;
    case ControlKind::SpeedButton:
    case ControlKind::LookupButton: {
        auto* button = new QToolButton(host);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        if (kind == ControlKind::LookupButton) button->setIcon(LookupIcon());
        w = button;
        break;
    }
    case ControlKind::ScrollBar: w = new QScrollBar(Qt::Vertical, host); break;
    case ControlKind::ListMarker: {
        w = new QWidget(host);
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, QColor(0, 255, 0));
        w->setPalette(p);
        w->setCursor(Qt::PointingHandCursor);
        break;
    }
    }
    if (kind != ControlKind::TabSheet && kind != ControlKind::PopupWindow &&
        !(kind == ControlKind::ScrollBox && parent.Kind() == ControlKind::TabSheet))
        w->hide();
    auto control = std::make_unique<QtFormControl>(kind, w, &parent, true, this);
    control->mContent = content;
    control->Connect();
    return control;
}

void QtControlFactory::Post(std::function<void()> task) {
    QTimer::singleShot(0, qApp, [task = std::move(task)]() mutable { WhenConnectionFree(qApp, std::move(task)); });
}

std::unique_ptr<QtFormControl> QtControlFactory::Wrap(QWidget* widget) {
    return std::make_unique<QtFormControl>(ControlKind::Panel, widget, nullptr, false);
}

void InstallFormFontSubstitutes() {
    static bool done = false;
    if (done) return;
    done = true;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

}  // namespace velt::gui
