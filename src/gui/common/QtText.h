#pragma once
// The GUI edge of the system's texts: Windows-1250 bytes to QString and back.
// Every text shown in a widget passes through here, never through
// fromLocal8Bit or toLatin1. A character the code page lacks travels inside
// the core as the escape ESC "U" hhhh SUB and is the real character here.
//
// Paths are not texts: in the core they are the bytes the system's calls
// take, and they cross the edge through toQPath / fromQPath (the file
// system's own encoding, as QFile reads and writes names), never through
// the code page.

#include <QString>
#include <string>

namespace velt::gui {

// The Windows-1250 text as a QString; escapes become their characters.
QString toQString(const std::string& cp1250);
// The QString as Windows-1250 bytes; what the code page lacks becomes an escape.
std::string fromQString(const QString& text);

// The path's bytes as a QString for QFile, QProcess and the file dialogs.
QString toQPath(const std::string& path);
// A QString path as the bytes the system's calls take.
std::string fromQPath(const QString& path);

}  // namespace velt::gui
