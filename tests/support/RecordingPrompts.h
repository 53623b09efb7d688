#pragma once
// Prompts for core logic under test: questions answered from a field, and
// every text the user would have seen kept as "ask:", "error:", "message:",
// "notice:" or "plain:" followed by the text.

#include "common/Prompts.h"

#include <string>
#include <vector>

namespace velt::test {

struct RecordingPrompts : Prompts {
    std::vector<std::string> shown;
    DialogResult answer = kYes;
    int busyDepth = 0;  // how many busy(true) are not yet undone
    DialogResult ask_question(const std::string& t) override {
        shown.push_back("ask:" + t);
        return answer;
    }
    DialogResult ask_question_default(const std::string&, DialogResult d) override { return d; }
    DialogResult ask_warning(const std::string&) override { return kCancel; }
    void show_error(const std::string& t) override { shown.push_back("error:" + t); }
    void show_message(const std::string& t) override { shown.push_back("message:" + t); }
    void show_notice(const std::string& t) override { shown.push_back("notice:" + t); }
    void plain_message(const std::string& t) override { shown.push_back("plain:" + t); }
    void busy(bool on) override { busyDepth += on ? 1 : -1; }
};

}  // namespace velt::test
