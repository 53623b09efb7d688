#pragma once
// The GUI edge of the system's texts: Windows-1250 bytes to QString and back.
// Every text shown in a widget passes through here, never through
// fromLocal8Bit or toLatin1. A character the code page lacks travels inside
// the core as the escape ESC "U" hhhh SUB and is the real character here.

#include <QString>
#include <string>

namespace velt::gui {

// The Windows-1250 text as a QString; escapes become their characters.
QString toQString(const std::string& cp1250);
// The QString as Windows-1250 bytes; what the code page lacks becomes an escape.
std::string fromQString(const QString& text);

}  // namespace velt::gui
