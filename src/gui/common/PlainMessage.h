#pragma once
// The platform's plain message box: a text and one acknowledgement, no
// caption of the system's own. Tests may take the texts instead.

#include <functional>
#include <string>

namespace velt::gui {

// Shows text in the plain message box (on the GUI thread).
void plain_message(const std::string& text);

// Replaces the box by handler (none: the box again); for tests.
void SetPlainMessageHandler(std::function<void(const std::string&)> handler);

}  // namespace velt::gui
