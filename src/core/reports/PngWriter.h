#pragma once
// PNG files of grey pictures, written without a compression library: the
// image data go into stored (uncompressed) deflate blocks.

#include "reports/GreyImage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velt {

// The CRC-32 of PNG chunks (and zip): polynomial 0xEDB88320, reflected.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);
// The Adler-32 checksum of a zlib stream.
std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler = 1);

// The zlib stream (RFC 1950) of bytes in stored deflate blocks.
std::string StoredZlib(std::string_view bytes);

// The PNG file of the picture: 8-bit greyscale, no interlace; empty for an
// empty picture.
std::string EncodeGreyPng(const GreyImage& image);

}  // namespace velt
