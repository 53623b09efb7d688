#pragma once
// The items of the catalogue descriptor other than the index cursors: display
// formats, reports, search criteria, server programs, filters and authority
// files. Plain values; the descriptor owns them.

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

struct velt_format {
    std::uint16_t Id = 0;
    std::string Name;  // "nam"
    std::string Type;  // "typ"
};

struct velt_report {
    std::uint16_t Id = 0;
    std::string Name;              // "nam"
    std::string Group;             // "fat": the caption of the report menu group
    bool NoParameterForm = true;   // "par" is empty
    std::string Language;          // "lan"
    std::string Icon;              // "ico"
    std::string Form;              // "par" when not empty, else "win"
    std::string Action;            // "act"
    std::string Options;           // "opt"
};

struct velt_criterium {
    std::string Name;           // "nam"
    std::string Type;           // "typ"
    std::string AuthorityLink;  // "khw"
    std::string Form;           // "par"
    std::string Action;         // "act"
    std::string Options;        // "opt"
};

struct velt_programm {
    std::string Name;     // "nam"
    std::string Id;       // "id"
    std::string Form;     // "par"
    std::string Action;   // "act"
    std::string Options;  // "opt"
    std::string Call;     // "cal"
};

struct velt_KHW_index {
    std::string Name;             // "nam"
    std::uint8_t Kind = 0;        // "tab"
    std::int32_t Parameter = 0;   // "ind"
    std::string Prefix;           // "pre"
};

struct velt_KHW {
    std::string Name;  // "nam"
    std::string Id;    // "id"
    std::vector<velt_KHW_index> Indexes;
};

struct velt_filter {
    std::string Name;  // "nam"
    std::string Id;    // "id"
};

// Attachment names offered for records of one prefix letter ("blob" groups).
struct AttachmentNames {
    std::string Prefix;              // "id"
    std::vector<std::string> Names;  // every "nam"
};

}  // namespace velt
