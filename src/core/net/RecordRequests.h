#pragma once
// The requests of records (200 and a letter): F A N O X D with one text, U T
// with two, H L S with two, I with three, G with a number and a text. How
// their answers are read for editing: editing/EditRequests.h, which velt-cli
// uses too.

#include "net/TVeltClient.h"

#include <vector>

namespace velt {

// 200 and the letter: the answer (count 0 when none came).
Answers EditRequest(TVeltClient& session, char letter, const std::vector<std::string>& texts);
// 200 G: one number and one text.
Answers EditRequestG(TVeltClient& session, std::int32_t number, const std::string& text);

}  // namespace velt
