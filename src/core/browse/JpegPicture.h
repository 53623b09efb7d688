#pragma once
// JPEG pictures from the network (carried in display lines, fetched as
// files) decoded with libjpeg, safely: a broken picture is an error text,
// never the end of the process (libjpeg's own error handler exits), and a
// picture beyond a sane size is refused before its pixels are made.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, rows top down
    std::string error;              // why there is no picture
    bool Ok() const { return error.empty() && width > 0 && height > 0; }
};

// The largest picture decoded: 64 megapixels, at most 16384 on either side.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{64} << 20;
inline constexpr int kMaxPictureSide = 16384;

// Decodes a JPEG; the picture, or an empty one with its error.
RgbPicture DecodeJpeg(std::string_view bytes);

// The size of a JPEG from its header only; false when it cannot be read.
bool JpegSize(std::string_view bytes, int& width, int& height);

}  // namespace velt
