#include "gui/editing/EditSheetPage.h"

#include "gui/common/QtText.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

QPlainTextEdit* Pane(QWidget* parent, const char* name) {
    auto* pane = new QPlainTextEdit(parent);
    pane->setObjectName(name);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setFocusPolicy(Qt::ClickFocus);
    pane->hide();
    return pane;
}

// Lines as the pane's plain text (never read as markup).
void Fill(QPlainTextEdit* pane, const std::vector<std::string>& lines) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += QLatin1Char('\n');
        text += toQString(lines[i]);
    }
    pane->setPlainText(text);
    pane->moveCursor(QTextCursor::Start);
    pane->ensureCursorVisible();
    pane->setVisible(!lines.empty());
}

}  // namespace

EditSheetPage::EditSheetPage(QTabWidget* tabs) : mTabs(tabs) {
    InstallFormFontSubstitutes();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    mScroll = new QScrollArea(this);
    mScroll->setObjectName("ScrollBox1");
    mScroll->setFrameShape(QFrame::NoFrame);
    mScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mScroll->setWidgetResizable(false);
    mCanvas = new QWidget;
    mCanvas->setObjectName("FormCanvas");
    mScroll->setWidget(mCanvas);
    row->addWidget(mScroll);
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    mErrors = Pane(panel, "ErrorList");
    mErrors->setFixedHeight(150);
    QPalette yellow = mErrors->palette();
    yellow.setColor(QPalette::Base, QColor(255, 255, 0));
    yellow.setColor(QPalette::Text, Qt::black);
    mErrors->setPalette(yellow);
    mHelp = Pane(panel, "HelpPane");
    col->addWidget(mErrors);
    col->addWidget(mHelp, 1);
    col->addStretch(0);
    row->addWidget(panel, 1);
    mRoot = mControls.Wrap(mCanvas);
    if (mTabs) mTabs->addTab(this, QString());
}

EditSheetPage::~EditSheetPage() {
    // The form's controls went with the sheet's form; the host's wrapper now.
    mRoot.reset();
}

void EditSheetPage::SetCaption(const std::string& caption) {
    if (!mTabs) return;
    const int i = mTabs->indexOf(this);
    if (i >= 0) mTabs->setTabText(i, toQString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

int EditSheetPage::ClientHeight() {
    // A page just added has its size only once the layouts above it ran.
    if (QWidget* stack = parentWidget())
        if (QLayout* l = stack->layout()) l->activate();
    if (layout()) layout()->activate();
    return mScroll->viewport()->height();
}

void EditSheetPage::SetFormSize(int width, int height) {
    mCanvas->resize(std::max(width, 1), std::max(height, 1));
    mScroll->setFixedWidth(std::max(width, 1) + mScroll->verticalScrollBar()->sizeHint().width());
}

void EditSheetPage::ShowErrors(const std::vector<std::string>& messages) { Fill(mErrors, messages); }

void EditSheetPage::ShowHelp(const std::vector<std::string>& lines) { Fill(mHelp, lines); }

void EditSheetPage::SetPageVisible(bool visible) { mCanvas->setVisible(visible); }

}  // namespace velt::gui
