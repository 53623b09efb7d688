#pragma once
// What core logic asks of the user and of the long-operation window, without
// knowing the toolkit: the GUI implements these with its message window and
// progress window, tests with scripted answers.

#include <cstdint>
#include <functional>
#include <string>

namespace velt {

// Modal results of the message window.
enum DialogResult : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

class Prompts {
public:
    virtual ~Prompts() = default;
    // "Pytanie": kYes (Tak) or kNo (Nie); kCancel when a message is already showing.
    virtual DialogResult ask_question(const std::string& text) = 0;
    // As ask_question, the button whose result is defaultResult taking the focus.
    virtual DialogResult ask_question_default(const std::string& text, DialogResult defaultResult) = 0;
    // "Ostrzeżenie!": kYes, kNo or kCancel (Zrezygnuj).
    virtual DialogResult ask_warning(const std::string& text) = 0;
    virtual void show_error(const std::string& text) = 0;    // "Błąd!"
    virtual void show_message(const std::string& text) = 0;  // "Komunikat", information
    virtual void show_notice(const std::string& text) = 0;   // "Komunikat", exclamation
    // The platform's plain message box: the text and one acknowledgement.
    virtual void plain_message(const std::string& text) = 0;
    // The busy (hourglass) cursor on or off. Calls nest: the cursor returns
    // when every "on" has had its "off".
    virtual void busy(bool on) = 0;
};

// The busy cursor for the life of a scope.
class BusyCursor {
public:
    explicit BusyCursor(Prompts& prompts) : mPrompts(prompts) { mPrompts.busy(true); }
    ~BusyCursor() { mPrompts.busy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Prompts& mPrompts;
};

// Lifts the busy cursor of an enclosing scope while the user reads a message.
class BusyPause {
public:
    explicit BusyPause(Prompts& prompts) : mPrompts(prompts) { mPrompts.busy(false); }
    ~BusyPause() { mPrompts.busy(true); }
    BusyPause(const BusyPause&) = delete;
    BusyPause& operator=(const BusyPause&) = delete;

private:
    Prompts& mPrompts;
};

// A progress function handed to a gauge operation: position and maximum;
// answers whether to go on.
using GaugeFunction = std::function<bool(std::int64_t position, std::int64_t maximum)>;

class LongOperations {
public:
    virtual ~LongOperations() = default;
    // Runs work on a worker thread behind the modal window showing text;
    // returns when it has finished. An exception from work is shown once.
    virtual void run_with_progress(const std::string& text, const std::function<void()>& work) = 0;
    // Likewise with a gauge that work moves through the function it is given.
    virtual void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) = 0;
    // A progress function for a transfer on the calling thread: shows the
    // gauge while position < maximum and hides the window at the end.
    virtual bool download_progress(std::int64_t position, std::int64_t maximum) = 0;
};

}  // namespace velt
