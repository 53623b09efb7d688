#include "text/CpLiteral.h"
#include "browse/JpegPicture.h"

#include <gtest/gtest.h>

#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jpeglib.h>

using namespace velt;

namespace {

// A JPEG of w by h pixels, red on the left half and blue on the right.
std::string MakeJpeg(int w, int h) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[x * 3] = x < w / 2 ? 255 : 0;
        row[x * 3 + 2] = x < w / 2 ? 0 : 255;
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

}  // namespace

TEST(JpegPicture, DecodesSizeAndPixels) {
    const std::string jpeg = MakeJpeg(64, 32);
    int w = 0, h = 0;
    ASSERT_TRUE(JpegSize(jpeg, w, h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 32);
    const RgbPicture p = DecodeJpeg(jpeg);
    ASSERT_TRUE(p.Ok()) << p.error;
    EXPECT_EQ(p.rgb.size(), 64u * 32 * 3);
    EXPECT_GT(p.rgb[(16 * 64 + 4) * 3], 200) << "red on the left";
    EXPECT_GT(p.rgb[(16 * 64 + 60) * 3 + 2], 200) << "blue on the right";
}

// A broken picture is an error of that picture; the process goes on.
TEST(JpegPicture, BrokenAndHugePicturesAreErrorsNotTheEnd) {
    const std::string good = MakeJpeg(40, 40);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"garbage", std::string(500, 'x')},
        {"header only", good.substr(0, 20)},
        {"cut in the data", good.substr(0, good.size() / 2)},
        {"no end marker", good.substr(0, good.size() - 2)},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const RgbPicture p = DecodeJpeg(tc.bytes);
        // libjpeg fills a cut picture with grey and warns: either an error or a whole picture.
        if (!p.Ok()) {
            EXPECT_FALSE(p.error.empty());
            EXPECT_TRUE(p.rgb.empty());
        } else {
            EXPECT_EQ(p.rgb.size(), 40u * 40 * 3);
        }
    }
    EXPECT_FALSE(DecodeJpeg("").Ok());
    EXPECT_FALSE(DecodeJpeg(std::string(500, 'x')).Ok());
    // The frame header claims 30000 by 30000 pixels: refused before any pixel is made.
    std::string huge = good;
    const auto sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = static_cast<char>(30000 >> 8);
    huge[sof + 6] = static_cast<char>(30000 & 0xFF);
    huge[sof + 7] = static_cast<char>(30000 >> 8);
    huge[sof + 8] = static_cast<char>(30000 & 0xFF);
    const RgbPicture p = DecodeJpeg(huge);
    EXPECT_FALSE(p.Ok());
    EXPECT_EQ(p.error, "Obraz jest za duży"_cp) << "a text for the user, in the code page";
}
