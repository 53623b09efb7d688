#pragma once
// The reader services: request 38 (a parameter list "&name=value..." in,
// one such list out), the indexes of the circulation (kind 6 copies, kinds
// 15, 16 and 17 a reader's orders, reservations and loans, kind 70 the
// closed orders) and the reader's programs, whose calls carry the reader's
// card, password and name.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

struct Session;

// The two display formats of the circulation (descriptor "id").
inline constexpr int kFormatAccount = 7;  // type "konta"
inline constexpr int kFormatCopy = 8;     // type "inwentarz"

// The programs of readers (descriptor "id").
inline constexpr std::int32_t kRenewAllProgram = 4;
inline constexpr std::int32_t kExtensionProgram = 5;

// One index request of a circulation kind.
struct CirculationQuery {
    std::uint8_t code;  // 50, 55, 56, 57, 58
    int kind;
    int format;
    int parameter;
    std::string prefix;
    std::string key;
};

// Whether the index kind is one of the circulation's.
bool CirculationKind(int kind);
// The entry a request of a circulation kind answers; empty for none.
std::vector<std::string> CirculationIndex(Session& session, const CirculationQuery& query);

// The descriptor groups of the readers' programs.
std::string ReaderProgramGroups();
// The answer of a reader's program (201 D or X); none when id is no
// reader's program.
std::optional<std::string> ReaderProgram(Session& session, const std::string& id, char letter,
                                         const std::string& parameters);

// The caption of a copy's command in a display ("zarezerwuj", "zamów").
std::string CommandCaption(const std::string& command, bool lent);

// Request 38's parameter value (the first "&name=", "%hh" read as its byte).
std::string ReaderParameterValue(const std::string& text, const std::string& name);

}  // namespace velt::server
