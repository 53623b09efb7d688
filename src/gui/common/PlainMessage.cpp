#include "gui/common/PlainMessage.h"

#include "gui/common/QtText.h"

#include <QMessageBox>

namespace velt::gui {

namespace {
std::function<void(const std::string&)>& Handler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}
}  // namespace

void plain_message(const std::string& text) {
    if (Handler()) {
        Handler()(text);
        return;
    }
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(toQString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void SetPlainMessageHandler(std::function<void(const std::string&)> handler) { Handler() = std::move(handler); }

}  // namespace velt::gui
