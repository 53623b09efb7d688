#include "gui/browse/QtCellMeasurer.h"

#include "gui/browse/PictureCache.h"
#include "gui/common/QtText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

#include <cmath>

namespace velt::gui {

QtCellMeasurer::QtCellMeasurer(const QFont& font, std::string imageDirectory)
    : mFont(font), mImageDirectory(std::move(imageDirectory)) {}

QFont QtCellMeasurer::FontFor(const TextStyle& style) const {
    QFont f = mFont;
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    if (style.factor != 1.0) {
        const double size = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize();
        const double scaled = std::max(1.0, size * style.factor);
        if (f.pointSizeF() > 0)
            f.setPointSizeF(scaled);
        else
            f.setPixelSize(static_cast<int>(std::lround(scaled)));
    }
    return f;
}

int QtCellMeasurer::FontHeight() const { return std::max(1, QFontMetrics(mFont).height()); }

int QtCellMeasurer::TextWidth(std::string_view text, const TextStyle& style) const {
    return QFontMetrics(FontFor(style)).horizontalAdvance(toQString(std::string(text)));
}

int QtCellMeasurer::TextHeight(const TextStyle& style) const { return QFontMetrics(FontFor(style)).height(); }

int QtCellMeasurer::ScrollBarWidth() const { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

namespace {
PictureInfo InfoOf(const QImage& image, const std::string& id) {
    if (image.isNull()) return {};
    const QSizeF size = image.deviceIndependentSize();
    return {static_cast<int>(std::lround(size.width())), static_cast<int>(std::lround(size.height())), id};
}
}  // namespace

PictureInfo QtCellMeasurer::FilePicture(const std::string& fileName) {
    const QImage& image = PictureCache::Instance().File(mImageDirectory, fileName);
    const std::string full = !fileName.empty() && fileName[0] == '/' ? fileName : mImageDirectory + fileName;
    return InfoOf(image, full);
}

PictureInfo QtCellMeasurer::CarriedPicture(const std::string& jpeg) {
    std::string id;
    const QImage& image = PictureCache::Instance().Carried(jpeg, id);
    return InfoOf(image, id);
}

const QImage* QtCellMeasurer::Picture(const std::string& id) const {
    return id.empty() ? nullptr : PictureCache::Instance().Find(id);
}

}  // namespace velt::gui
