#include "gui/common/QtText.h"

#include "text/utf.h"

#include <QFile>

namespace velt::gui {

QString toQString(const std::string& cp1250) {
    return QString::fromStdString(WinUtf().Convert(cp1250));
}

std::string fromQString(const QString& text) {
    return UtfVeltwin().Convert(text.toStdString());
}

QString toQPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string fromQPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace velt::gui
