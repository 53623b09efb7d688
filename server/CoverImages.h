#pragma once
// The cover pictures of the catalogue's books (JPEG files).

#include <string_view>

namespace velt::server {

// Design 1..4; the small picture is carried in display lines, the large one
// is sent by the file request. Empty for an unknown design.
std::string_view CoverPicture(int design, bool large);

}  // namespace velt::server
