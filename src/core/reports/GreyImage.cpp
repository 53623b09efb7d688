#include "reports/GreyImage.h"

#include <algorithm>
#include <cstring>

namespace velt {

GreyImage::GreyImage(int width, int height, std::uint8_t background) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide ||
        static_cast<std::int64_t>(width) * height > kMaxImagePixels)
        return;
    mWidth = width;
    mHeight = height;
    mPixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background);
}

void GreyImage::FillRect(const CanvasRect& rect, CanvasColour colour) {
    const int left = std::max(rect.left, 0), right = std::min(rect.right, mWidth);
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, mHeight);
    if (left >= right || top >= bottom) return;
    // ITU-R BT.601 weights, as greyscale conversions usually take them.
    const auto grey = static_cast<std::uint8_t>((299 * colour.red + 587 * colour.green + 114 * colour.blue + 500) / 1000);
    for (int y = top; y < bottom; ++y)
        std::memset(mPixels.data() + static_cast<std::size_t>(y) * mWidth + left, grey,
                    static_cast<std::size_t>(right - left));
}

}  // namespace velt
