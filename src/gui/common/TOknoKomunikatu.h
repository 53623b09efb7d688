#pragma once
// The one message window of the program: questions, warnings, errors and
// notices with the system's captions and buttons, laid out for each call.

#include "common/MessageLayout.h"

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace velt::gui {

class TOknoKomunikatu : public QDialog {
    Q_OBJECT
public:
    explicit TOknoKomunikatu(QWidget* parent = nullptr);

    // The window the dialog functions use (made on first use).
    static TOknoKomunikatu& Instance();

    // Shows text as kind and answers the chosen button's result; 2 at once
    // when the window is already showing (nothing is shown).
    int Ask(const MessageKind& kind, const std::string& text);

    // Shows text through show_message: a tracing sink.
    void trace(const std::string& text);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    // The buttons of the call being shown.
    const std::vector<QPushButton*>& Buttons() const { return mButtons; }

private:
    std::vector<QPushButton*> mButtons;
};

int ask_question(const std::string& text);
int ask_question_default(const std::string& text, int defaultResult);
int ask_warning(const std::string& text);
void show_error(const std::string& text);
void show_message(const std::string& text);
void show_notice(const std::string& text);

}  // namespace velt::gui
