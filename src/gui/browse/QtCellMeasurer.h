#pragma once
// The cells' measurer on Qt: the list font's metrics for texts, the picture
// cache for pictures, and the fonts and pictures the painter takes.

#include "browse/CellLayout.h"

#include <QFont>
#include <QImage>

#include <string>

namespace velt::gui {

class QtCellMeasurer : public CellMeasurer {
public:
    // imageDirectory ends with "/".
    QtCellMeasurer(const QFont& font, std::string imageDirectory);

    void SetFont(const QFont& font) { mFont = font; }
    const QFont& Font() const { return mFont; }
    const std::string& ImageDirectory() const { return mImageDirectory; }

    int FontHeight() const override;
    int TextWidth(std::string_view text, const TextStyle& style) const override;
    int TextHeight(const TextStyle& style) const override;
    int ScrollBarWidth() const override;
    PictureInfo FilePicture(const std::string& fileName) override;
    PictureInfo CarriedPicture(const std::string& jpeg) override;

    // The font of a style.
    QFont FontFor(const TextStyle& style) const;
    // The picture of an item's id (null when there is none).
    const QImage* Picture(const std::string& id) const;

private:
    QFont mFont;
    std::string mImageDirectory;
};

}  // namespace velt::gui
