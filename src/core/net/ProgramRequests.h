#pragma once
// The server's programs (201) and the reader services' request (38).

#include "net/TVeltClient.h"

namespace velt {

// 201 X: runs the program id with its parameters over records (empty, shown
// identifiers each followed by "|", or "@" and a collection number). The
// answer's text: the first of one, the second of two, "Bład odpowiedzi"
// for any other count.
std::string ProgramRun(TVeltClient& session, const std::string& id, const std::string& parameters,
                       const std::string& records);
// 201 D: the program's check, read as ProgramRun's answer.
std::string ProgramCheck(TVeltClient& session, const std::string& id);

// 38: the reader services' parameters ("&client=VELT_TCP" put first); the
// server's answer text, empty after a failure.
std::string ReaderRequest(TVeltClient& session, const std::string& parameters);

}  // namespace velt
