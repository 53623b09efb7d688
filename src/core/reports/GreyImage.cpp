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
    const auto width = static_cast<std::size_t>(right - left);
    std::uint8_t* row = mPixels.data() + static_cast<std::size_t>(top) * mWidth + left;
    const int rows = bottom - top;
    // Bars are narrow and tall: a call of memset per row of a few bytes costs
    // more than the bytes, so narrow rows are written by two overlapping
    // stores of a fixed size.
    if (width >= 32) {
        for (int y = 0; y < rows; ++y, row += mWidth) std::memset(row, grey, width);
    } else if (width >= 16) {
        std::uint8_t run[16];
        std::memset(run, grey, sizeof run);
        for (int y = 0; y < rows; ++y, row += mWidth) {
            std::memcpy(row, run, 16);
            std::memcpy(row + width - 16, run, 16);
        }
    } else if (width >= 8) {
        std::uint8_t run[8];
        std::memset(run, grey, sizeof run);
        for (int y = 0; y < rows; ++y, row += mWidth) {
            std::memcpy(row, run, 8);
            std::memcpy(row + width - 8, run, 8);
        }
    } else if (width >= 4) {
        std::uint8_t run[4];
        std::memset(run, grey, sizeof run);
        for (int y = 0; y < rows; ++y, row += mWidth) {
            std::memcpy(row, run, 4);
            std::memcpy(row + width - 4, run, 4);
        }
    } else {
        for (int y = 0; y < rows; ++y, row += mWidth) {
            row[0] = grey;
            row[width / 2] = grey;
            row[width - 1] = grey;
        }
    }
}

}  // namespace velt
