#include "gui/common/GuiPrompts.h"

#include "gui/common/PlainMessage.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/common/TOknoProgresji.h"

#include <QApplication>

namespace velt::gui {

GuiPrompts& GuiPrompts::Instance() {
    static GuiPrompts prompts;
    return prompts;
}

DialogResult GuiPrompts::ask_question(const std::string& text) {
    return static_cast<DialogResult>(gui::ask_question(text));
}
DialogResult GuiPrompts::ask_question_default(const std::string& text, DialogResult d) {
    return static_cast<DialogResult>(gui::ask_question_default(text, d));
}
DialogResult GuiPrompts::ask_warning(const std::string& text) { return static_cast<DialogResult>(gui::ask_warning(text)); }
void GuiPrompts::show_error(const std::string& text) { gui::show_error(text); }
void GuiPrompts::show_message(const std::string& text) { gui::show_message(text); }
void GuiPrompts::show_notice(const std::string& text) { gui::show_notice(text); }
void GuiPrompts::plain_message(const std::string& text) { gui::plain_message(text); }

void GuiPrompts::busy(bool on) {
    // Nested scopes share one cursor; an unmatched "off" is ignored.
    if (on) {
        if (mBusyDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (mBusyDepth > 0 && --mBusyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void GuiPrompts::run_with_progress(const std::string& text, const std::function<void()>& work) {
    TOknoProgresji::Instance().run_with_progress(text, work);
}

void GuiPrompts::run_with_gauge(const std::function<void(const GaugeFunction&)>& work) {
    TOknoProgresji::Instance().run_with_gauge(work);
}

bool GuiPrompts::download_progress(std::int64_t position, std::int64_t maximum) {
    return TOknoProgresji::Instance().download_progress(position, maximum);
}

}  // namespace velt::gui
