#pragma once
// The editing window without a window: pages over headless controls that
// keep what the session showed on them, prompts that answer from a queue and
// keep every text, and a catalogue logged in to velt-server.

#include "catalogue/velt_files.h"
#include "editing/HeadlessEditing.h"
#include "editing/TEdycja.h"
#include "forms/HeadlessControls.h"
#include "text/CpLiteral.h"

#include "support/ServerProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace velt::test {

// Prompts answering questions from a queue (Tak when it is empty) and keeping
// "ask:", "warn:", "error:", "message:", "notice:" and "plain:" texts.
struct QueuePrompts : Prompts {
    std::vector<std::string> shown;
    std::deque<DialogResult> answers;
    std::vector<DialogResult> defaults;  // the default of every ask_question_default
    int busyDepth = 0;
    DialogResult Next() {
        if (answers.empty()) return kYes;
        const DialogResult r = answers.front();
        answers.pop_front();
        return r;
    }
    DialogResult ask_question(const std::string& t) override {
        shown.push_back("ask:" + t);
        return Next();
    }
    DialogResult ask_question_default(const std::string& t, DialogResult d) override {
        defaults.push_back(d);
        shown.push_back("ask:" + t);
        return Next();
    }
    DialogResult ask_warning(const std::string& t) override {
        shown.push_back("warn:" + t);
        return Next();
    }
    void show_error(const std::string& t) override { shown.push_back("error:" + t); }
    void show_message(const std::string& t) override { shown.push_back("message:" + t); }
    void show_notice(const std::string& t) override { shown.push_back("notice:" + t); }
    void plain_message(const std::string& t) override { shown.push_back("plain:" + t); }
    void busy(bool on) override { busyDepth += on ? 1 : -1; }
    // The texts since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(shown);
        return out;
    }
};

using velt::HeadlessEditor;
using velt::HeadlessSheet;

// The main control of a field's editor on a sheet (none: a test failure).
inline HeadlessControl* FieldControl(edit_sheet& sheet, const std::string& id) {
    const my_editor* found = nullptr;
    if (sheet.Form())
        sheet.Form()->Walk([&](const my_editor& e, int) {
            if (!found && e.FieldId() && *e.FieldId() == id && e.MainControl()) found = &e;
        });
    if (!found) ADD_FAILURE() << "no editor of " << id;
    return found ? const_cast<HeadlessControl*>(static_cast<const HeadlessControl*>(found->MainControl())) : nullptr;
}

// A catalogue of velt-server logged in as a librarian, the notifications it
// heard, and an editing session over the headless window.
struct Editing {
    explicit Editing(const ServerProcess& server, const std::string& workDir, const std::string& user = "bibliotekarz",
                     AuthorityWindows* authority = nullptr)
        : files("127.0.0.1",
                [this](const std::string& m, SessionText kind) {
                    if (kind == SessionText::Failure) sessionMessages.push_back(m);
                },
                true, server.Port()) {
        EXPECT_TRUE(files.Ready) << files.ErrorText;
        EXPECT_EQ(files.Connection().Login(user, user, "modyfikowanie"), "");
        files.LoadDescriptor();
        EditingNotifications n;
        n.changed = [this](const std::string& s, const std::string& id) { changes.push_back(s + ">" + id); };
        n.count = [this](int c) { counts.push_back(c); };
        EditingSetup setup;
        setup.services.authority = authority;
        session = std::make_unique<TEdycja>(files, prompts, editor, n, setup);
        session->StartEditing(workDir);
    }
    // The sheets go unasked and unkept: a forced stop would keep their
    // changes for the next test's login.
    ~Editing() { session.reset(); }
    edit_sheet& Sheet(int i = -1) {
        const auto& sheets = session->Sheets();
        if (i < 0) i = session->ActiveIndex();
        EXPECT_TRUE(i >= 0 && i < static_cast<int>(sheets.size())) << "no sheet " << i;
        return *sheets.at(static_cast<std::size_t>(i));
    }

    std::vector<std::string> sessionMessages;
    velt_files files;
    QueuePrompts prompts;
    HeadlessEditor editor;
    std::vector<std::string> changes;
    std::vector<int> counts;
    std::unique_ptr<TEdycja> session;
};

}  // namespace velt::test
