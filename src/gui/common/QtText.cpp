#include "common/QtText.h"

#include "text/Cp1250.h"

namespace velt::gui {

QString toQString(const std::string& cp1250) {
    return QString::fromStdString(Cp1250ToUtf8(cp1250));
}

std::string fromQString(const QString& text) {
    return Utf8ToCp1250(text.toStdString());
}

}  // namespace velt::gui
