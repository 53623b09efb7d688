#include "text/CpLiteral.h"
#include "browse/JpegPicture.h"

#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jpeglib.h>

namespace velt {

namespace {

// libjpeg's default handler calls exit(): ours jumps back to the decoder.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* mgr = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, mgr->text);
    std::longjmp(mgr->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings are not shown

// Runs body over a decompressor reading bytes; false with error set when
// libjpeg gave up. Nothing with a destructor may live inside body across a
// libjpeg call that can fail, so body only touches the struct and out.
template <typename Body>
bool WithDecompressor(std::string_view bytes, std::string& error, Body body) {
    jpeg_decompress_struct info{};
    ErrorManager mgr{};
    info.err = jpeg_std_error(&mgr.base);
    mgr.base.error_exit = OnError;
    mgr.base.emit_message = OnMessage;
    if (setjmp(mgr.jump)) {
        jpeg_destroy_decompress(&info);
        error = mgr.text[0] ? mgr.text : "JPEG";
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    const bool ok = body(info);
    jpeg_destroy_decompress(&info);
    return ok;
}

}  // namespace

bool JpegSize(std::string_view bytes, int& width, int& height) {
    if (bytes.size() < 4) return false;
    std::string error;
    int w = 0, h = 0;
    const bool ok = WithDecompressor(bytes, error, [&](jpeg_decompress_struct& info) {
        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
        w = static_cast<int>(info.image_width);
        h = static_cast<int>(info.image_height);
        return true;
    });
    if (!ok) return false;
    width = w;
    height = h;
    return true;
}

RgbPicture DecodeJpeg(std::string_view bytes) {
    RgbPicture picture;
    if (bytes.size() < 4) {
        picture.error = "Za krótki plik JPEG"_cp;
        return picture;
    }
    std::string error;
    std::vector<std::uint8_t>* rgb = &picture.rgb;
    int width = 0, height = 0;
    bool tooLarge = false;
    const bool ok = WithDecompressor(bytes, error, [&](jpeg_decompress_struct& info) {
        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
        const std::int64_t w = info.image_width, h = info.image_height;
        if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels) {
            tooLarge = true;
            return false;
        }
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        if (info.output_components != 3) return false;
        width = static_cast<int>(info.output_width);
        height = static_cast<int>(info.output_height);
        rgb->resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = rgb->data() + static_cast<std::size_t>(info.output_scanline) * width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        return true;
    });
    if (!ok) {
        picture.rgb.clear();
        picture.rgb.shrink_to_fit();
        picture.error = tooLarge ? std::string("Obraz jest za duży"_cp) : "Uszkodzony plik JPEG: " + error;
        return picture;
    }
    picture.width = width;
    picture.height = height;
    return picture;
}

}  // namespace velt
