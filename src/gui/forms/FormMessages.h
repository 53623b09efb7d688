#pragma once
// The reader's messages as the user sees them: one error as the system's two
// plain message boxes (the message, then its line); many errors from one
// broken description as one scrollable message instead of dozens of boxes.

#include "forms/FormReader.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace velt::gui {

void ShowFormMessages(const std::vector<FormMessage>& messages, QWidget* parent = nullptr);

// Replaces the scrollable message by handler (it gets the whole text, one
// line per text); none: the dialog again. For tests.
void SetFormMessagesHandler(std::function<void(const std::string&)> handler);

}  // namespace velt::gui
