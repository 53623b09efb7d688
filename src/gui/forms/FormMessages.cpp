#include "gui/forms/FormMessages.h"

#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace velt::gui {
namespace {

std::function<void(const std::string&)>& Handler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

}  // namespace

void SetFormMessagesHandler(std::function<void(const std::string&)> handler) { Handler() = std::move(handler); }

void ShowFormMessages(const std::vector<FormMessage>& messages, QWidget* parent) {
    if (messages.empty()) return;
    if (messages.size() == 1) {
        plain_message(messages[0].text);
        if (!messages[0].line.empty()) plain_message(messages[0].line);
        return;
    }
    std::string all;
    for (const FormMessage& m : messages) {
        all += m.text + "\r\n";
        if (!m.line.empty()) all += m.line + "\r\n";
    }
    if (Handler()) {
        Handler()(all);
        return;
    }
    QDialog box(parent);
    box.setObjectName(QStringLiteral("FormMessages"));
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QPlainTextEdit(&box);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString shown = toQString(all);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text->setPlainText(shown);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.resize(640, 400);
    box.exec();
}

}  // namespace velt::gui
