#pragma once
// The layout of the message window for one call: the captions, icons and
// buttons of each kind of message, and the sizes computed from the text.

#include "common/Prompts.h"

#include <string>
#include <vector>

namespace velt {

enum class MessageIcon { Question, Exclamation, Error, Information };

struct MessageButton {
    std::string caption;  // a leading "*" marks the default button
    int result;
};

// What one dialog operation shows.
struct MessageKind {
    std::string caption;
    MessageIcon icon;
    std::vector<MessageButton> buttons;
};

MessageKind QuestionKind();
// defaultResult 6 marks "Tak", 7 marks "Nie"; other values mark nothing.
MessageKind QuestionDefaultKind(int defaultResult);
MessageKind WarningKind();
MessageKind ErrorKind();
MessageKind MessageKindInfo();
MessageKind NoticeKind();

// Measures a text broken into lines at word boundaries (tabs expanded) within
// a width: the right and bottom of what it covers.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual void Measure(const std::string& text, int maxWidth, int& right, int& bottom) const = 0;
};

struct PlacedButton {
    std::string caption;  // without the "*"
    int result = 0;
    int left = 0, top = 0, width = 75, height = 24;
    bool isDefault = false;
};

struct MessageGeometry {
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<PlacedButton> buttons;
};

// The window's client size and its buttons' places for text, the label's
// position and the screen width.
MessageGeometry LayoutMessage(const TextMeasurer& measurer, const std::string& text, int screenWidth,
                              int labelLeft, int labelTop, const std::vector<MessageButton>& buttons);

}  // namespace velt
