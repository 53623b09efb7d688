#pragma once
// A window or dialog that comes back at the size the user last gave it
// (files/WindowSizes.h, in the configuration directory's "okna.txt").

class QWidget;
class QString;

namespace velt::gui {

// From now on, window is shown at its kept size and keeps its size when it
// is hidden; name defaults to the window's object name.
void RememberSize(QWidget* window);
void RememberSize(QWidget* window, const QString& name);

}  // namespace velt::gui
