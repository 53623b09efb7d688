#pragma once
// The files of server/forms, carried inside the program (EmbedFiles.cmake
// turns them into byte arrays at build time): the form descriptions (.frm),
// field-event scripts (.act), initial records (.new) and field help (.hlp)
// of each record kind, all Windows-1250 text.

#include <cstddef>
#include <string_view>
#include <vector>

namespace velt::server {

struct EmbeddedFile {
    const char* name;
    const char* data;
    std::size_t size;
};

const std::vector<EmbeddedFile>& EmbeddedFiles();

}  // namespace velt::server
