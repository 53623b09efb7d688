// The PNG writer against Python's zlib, which reads the stream and checks
// every checksum on its own; the grey picture's clipping and bounds.

#include "reports/PngWriter.h"
#include "support/Hex.h"
#include "support/Tool.h"

#include <gtest/gtest.h>

#include <string>

using namespace velt;

namespace {

// Python reads a PNG: it checks the signature and each chunk's CRC, inflates
// IDAT with zlib (which checks the Adler-32) and prints "W H", a line feed and
// the pixels without the filter bytes.
const char* const kReadPng = R"(python3 -c '
import sys, zlib, struct
d = sys.stdin.buffer.read()
assert d[:8] == b"\x89PNG\r\n\x1a\n"
i, idat, hdr, types = 8, b"", None, []
while i < len(d):
    n, = struct.unpack(">I", d[i:i+4]); t = d[i+4:i+8]; body = d[i+8:i+8+n]
    crc, = struct.unpack(">I", d[i+8+n:i+12+n])
    assert crc == zlib.crc32(t + body) & 0xffffffff, t
    types.append(t)
    if t == b"IHDR": hdr = struct.unpack(">IIBBBBB", body)
    if t == b"IDAT": idat += body
    i += 12 + n
assert types[0] == b"IHDR" and types[-1] == b"IEND" and i == len(d)
w, h, depth, colour, comp, filt, inter = hdr
assert (depth, colour, comp, filt, inter) == (8, 0, 0, 0, 0)
raw = zlib.decompress(idat)
assert len(raw) == h * (w + 1)
out = b"".join(raw[r*(w+1)+1:(r+1)*(w+1)] for r in range(h) if raw[r*(w+1)] == 0)
sys.stdout.buffer.write(b"%d %d\n" % (w, h) + out)
')";

const char* const kInflate =
    "python3 -c 'import sys, zlib; sys.stdout.buffer.write(zlib.decompress(sys.stdin.buffer.read()))'";

std::string Bytes(std::size_t n) {
    std::string s;
    s.reserve(n);
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>((i * 131 + i / 256) & 0xFF);
    return s;
}

}  // namespace

TEST(PngWriter, ChecksumsMatchTheirPublishedCheckValues) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("IEND"), 0xAE426082u);  // the tail of every PNG file
    EXPECT_EQ(Adler32("Wikipedia"), 0x11E60398u);
    EXPECT_EQ(Adler32(""), 1u);
    // Split sums continue where they stopped.
    const std::string long1 = Bytes(100000);
    EXPECT_EQ(Crc32(long1.substr(5000), Crc32(long1.substr(0, 5000))), Crc32(long1));
    EXPECT_EQ(Adler32(long1.substr(7000), Adler32(long1.substr(0, 7000))), Adler32(long1));
}

TEST(PngWriter, StoredBlocksInflateBackWithPythonsZlib) {
    ASSERT_TRUE(test::HaveTool("python3")) << "python3 is missing: scripts/deps.sh installs it";
    // Around the 65535 bytes of one stored block, and the 5552 of one Adler run.
    for (const std::size_t n : {0u, 1u, 5552u, 5553u, 65534u, 65535u, 65536u, 200000u}) {
        const std::string data = Bytes(n);
        const std::string z = StoredZlib(data);
        EXPECT_EQ(z.size(), 2 + (n == 0 ? 5 : (n + 65534) / 65535 * 5) + n + 4) << n;
        const auto back = test::RunTool(kInflate, z);
        ASSERT_TRUE(back) << "zlib refused " << n << " bytes";
        EXPECT_EQ(*back == data, true) << n;
    }
}

TEST(PngWriter, PythonReadsThePictureBack) {
    ASSERT_TRUE(test::HaveTool("python3"));
    const struct {
        int width, height;
    } sizes[] = {{1, 1}, {3, 2}, {300, 250}, {70000 / 3, 5}};
    for (const auto& s : sizes) {
        GreyImage image(s.width, s.height);
        image.FillRect({0, 0, s.width / 2 + 1, s.height}, kCanvasBlack);
        image.FillRect({s.width / 3, s.height / 2, s.width, s.height}, CanvasColour{128, 128, 128});
        const std::string png = EncodeGreyPng(image);
        const auto read = test::RunTool(kReadPng, png);
        ASSERT_TRUE(read) << s.width << "x" << s.height;
        const std::string expected = std::to_string(s.width) + " " + std::to_string(s.height) + "\n" +
                                     std::string(image.Pixels().begin(), image.Pixels().end());
        EXPECT_EQ(*read == expected, true) << s.width << "x" << s.height;
    }
}

TEST(GreyImage, ClipsRectanglesAndTakesTheLuminanceOfAColour) {
    GreyImage image(4, 3);
    image.FillRect({-10, -10, 2, 1}, kCanvasBlack);
    image.FillRect({3, 2, 100, 100}, CanvasColour{255, 0, 0});
    image.FillRect({2, 0, 2, 3}, kCanvasBlack);   // empty
    image.FillRect({9, 9, 20, 20}, kCanvasBlack);  // outside
    const std::string expected = {0, 0, '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', 76};
    EXPECT_BYTES_EQ(std::string(image.Pixels().begin(), image.Pixels().end()), expected);
}

TEST(GreyImage, FillsExactlyTheRectangleAtEveryWidth) {
    // Narrow rows are written by overlapping stores of fixed sizes: none may
    // reach past the rectangle, however wide it is and wherever it lies.
    for (int width = 1; width <= 70; ++width) {
        for (const int left : {0, 1, 5, 80 - width}) {
            GreyImage image(80, 4);
            image.FillRect({left, 1, left + width, 3}, CanvasColour{10, 10, 10});
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 80; ++x) {
                    const bool inside = y >= 1 && y < 3 && x >= left && x < left + width;
                    ASSERT_EQ(image.At(x, y), inside ? 10 : 255)
                        << "width " << width << " left " << left << " at " << x << "," << y;
                }
        }
    }
}

TEST(GreyImage, RefusesSidesOutsideItsBounds) {
    const struct {
        int width, height;
    } cases[] = {{0, 5}, {5, 0}, {-1, 5}, {kMaxImageSide + 1, 1}, {1, kMaxImageSide + 1}, {kMaxImageSide, kMaxImageSide}};
    for (const auto& c : cases) {
        GreyImage image(c.width, c.height);
        EXPECT_EQ(image.Width(), 0) << c.width << "x" << c.height;
        EXPECT_TRUE(image.Pixels().empty());
        EXPECT_EQ(EncodeGreyPng(image), "");
        image.FillRect({0, 0, 10, 10}, kCanvasBlack);  // nothing to fill, nothing broken
    }
}
