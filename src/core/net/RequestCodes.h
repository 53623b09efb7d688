#pragma once
// The first byte of every request the client sends, named once. The
// reference server keeps its own table, so that the two ends are checked
// against each other rather than against one shared list.

#include <cstdint>

namespace velt {

enum class RequestCode : std::uint8_t {
    Goodbye = 0,
    ReleaseCollection = 6,
    Search = 15,
    Status = 30,
    Reader = 38,
    IndexFind = 50,
    IndexFrom = 55,
    IndexNext = 56,
    IndexLast = 57,
    IndexPrior = 58,
    Report = 100,     // second byte: ReportRequestKind
    File = 120,       // second byte 1
    User = 128,
    Password = 129,
    PasswordChange = 134,
    Edit = 200,       // second byte: the edit letter
    Program = 201,    // second byte 'X' run, 'D' check
    Filters = 202,    // second byte 'S' set, 'G' get
    Attachment = 220, // second byte 'L' 'F' 'G' 'A' 'S' 'D'
    KeepAlive = 254,
};

// The second byte of the report request.
enum class ReportRequestKind : std::uint8_t {
    Collection = 1,
    List = 2,
    Parameters = 3,
    CollectionWithParameters = 6,
    ListWithParameters = 7,
};

}  // namespace velt
