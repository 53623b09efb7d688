#include "CoverImages.h"

#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jpeglib.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace velt::server {

namespace {

constexpr unsigned char kBase[4][3] = {{150, 40, 40}, {40, 90, 150}, {40, 120, 60}, {170, 130, 30}};

// A book cover of the design: a shaded ground, a light title band, lines of
// text below it and a dark border.
std::string Encode(int design, int w, int h, int quality) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = rgb.data() + (static_cast<std::size_t>(y) * w + x) * 3;
            const double shade = 0.6 + 0.4 * static_cast<double>(h - y) / h;
            const bool band = y > h * 0.18 && y < h * 0.42 && x > w * 0.1 && x < w * 0.9;
            const bool line = y > h * 0.55 && y < h * 0.85 && (y * 10 / h) % 2 == 0 && x > w * 0.2 && x < w * 0.8;
            const bool border = x < w / 30 + 1 || x >= w - w / 30 - 1 || y < h / 40 + 1 || y >= h - h / 40 - 1;
            for (int c = 0; c < 3; ++c) {
                double v = kBase[design][c] * shade;
                if (band) v = 235 - c * 5;
                if (line) v = v * 0.5 + 110;
                if (border) v = 30;
                p[c] = static_cast<unsigned char>(v > 255 ? 255 : v);
            }
        }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = rgb.data() + static_cast<std::size_t>(cinfo.next_scanline) * w * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string jpeg(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return jpeg;
}

struct Covers {
    std::array<std::string, 4> small, large;
    Covers() {
        for (int d = 0; d < 4; ++d) {
            small[static_cast<std::size_t>(d)] = Encode(d, 30, 40, 50);
            large[static_cast<std::size_t>(d)] = Encode(d, 240, 320, 75);
        }
    }
};

}  // namespace

std::string_view CoverPicture(int design, bool large) {
    // Encoded once, on first use, by whichever connection asks first.
    static const Covers covers;
    if (design < 1 || design > 4) return {};
    const auto i = static_cast<std::size_t>(design - 1);
    return large ? covers.large[i] : covers.small[i];
}

}  // namespace velt::server
