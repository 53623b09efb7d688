#pragma once
// The core's prompts and long operations, answered by the message window,
// the plain message box and the progress window.

#include "common/Prompts.h"

namespace velt::gui {

class GuiPrompts : public Prompts, public LongOperations {
public:
    DialogResult ask_question(const std::string& text) override;
    DialogResult ask_question_default(const std::string& text, DialogResult defaultResult) override;
    DialogResult ask_warning(const std::string& text) override;
    void show_error(const std::string& text) override;
    void show_message(const std::string& text) override;
    void show_notice(const std::string& text) override;
    void plain_message(const std::string& text) override;
    void busy(bool on) override;

    void run_with_progress(const std::string& text, const std::function<void()>& work) override;
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override;
    bool download_progress(std::int64_t position, std::int64_t maximum) override;

    // The one instance of the program.
    static GuiPrompts& Instance();

private:
    int mBusyDepth = 0;
};

}  // namespace velt::gui
