#include "gui/common/TOknoKomunikatu.h"

#include "gui/common/QtText.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace velt::gui {

namespace {

constexpr int kLabelLeft = 56;
constexpr int kLabelTop = 12;

class FontMeasurer : public TextMeasurer {
public:
    explicit FontMeasurer(const QFont& font) : mMetrics(font) {}
    void Measure(const std::string& text, int maxWidth, int& right, int& bottom) const override {
        const QRect r = mMetrics.boundingRect(QRect(0, 0, maxWidth, 100000),
                                              Qt::TextWordWrap | Qt::TextExpandTabs, toQString(text));
        right = r.right();
        bottom = r.bottom();
    }

private:
    QFontMetrics mMetrics;
};

QStyle::StandardPixmap IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Question: return QStyle::SP_MessageBoxQuestion;
    case MessageIcon::Exclamation: return QStyle::SP_MessageBoxWarning;
    case MessageIcon::Error: return QStyle::SP_MessageBoxCritical;
    default: return QStyle::SP_MessageBoxInformation;
    }
}

}  // namespace

TOknoKomunikatu::TOknoKomunikatu(QWidget* parent) : QDialog(parent) {
    setObjectName("OknoKomunikatu");
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint);
    setModal(true);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(12, kLabelTop, 32, 32);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);  // server texts are never markup
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

TOknoKomunikatu& TOknoKomunikatu::Instance() {
    static TOknoKomunikatu* window = new TOknoKomunikatu;
    return *window;
}

int TOknoKomunikatu::Ask(const MessageKind& kind, const std::string& text) {
    if (isVisible()) return velt::kCancel;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    const MessageGeometry g =
        LayoutMessage(FontMeasurer(Label1->font()), text, screenWidth, kLabelLeft, kLabelTop, kind.buttons);
    setFixedSize(g.clientWidth, g.clientHeight);
    Label1->setText(toQString(text));
    Label1->setGeometry(kLabelLeft, kLabelTop, g.clientWidth - kLabelLeft - 5, g.clientHeight - kLabelTop - 44);
    setWindowTitle(toQString(kind.caption));
    Image1->setPixmap(style()->standardIcon(IconOf(kind.icon)).pixmap(32, 32));
    QPushButton* focus = nullptr;
    for (const PlacedButton& b : g.buttons) {
        auto* button = new QPushButton(toQString(b.caption), this);
        button->setObjectName(toQString(b.caption));
        button->setGeometry(b.left, b.top, b.width, b.height);
        button->setAutoDefault(false);
        const int result = b.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        if (b.isDefault || !focus) focus = button;
        mButtons.push_back(button);
    }
    if (focus) {
        focus->setDefault(true);
        focus->setFocus();
    }
    if (screen) move(screen->geometry().center() - rect().center());
    const int result = exec();
    for (QPushButton* b : mButtons) delete b;
    mButtons.clear();
    return result;
}

void TOknoKomunikatu::trace(const std::string& text) { show_message(text); }

int ask_question(const std::string& text) { return TOknoKomunikatu::Instance().Ask(QuestionKind(), text); }

int ask_question_default(const std::string& text, int defaultResult) {
    return TOknoKomunikatu::Instance().Ask(QuestionDefaultKind(defaultResult), text);
}

int ask_warning(const std::string& text) { return TOknoKomunikatu::Instance().Ask(WarningKind(), text); }

void show_error(const std::string& text) { TOknoKomunikatu::Instance().Ask(ErrorKind(), text); }

void show_message(const std::string& text) { TOknoKomunikatu::Instance().Ask(MessageKindInfo(), text); }

void show_notice(const std::string& text) { TOknoKomunikatu::Instance().Ask(NoticeKind(), text); }

}  // namespace velt::gui
