#include "gui/common/QtText.h"

#include "text/utf.h"

namespace velt::gui {

QString toQString(const std::string& cp1250) {
    return QString::fromStdString(WinUtf().Convert(cp1250));
}

std::string fromQString(const QString& text) {
    return UtfVeltwin().Convert(text.toStdString());
}

}  // namespace velt::gui
