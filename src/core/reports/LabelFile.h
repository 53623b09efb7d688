#pragma once
// The label file the label program prints from: lines "first|second"
// appended while no other program holds the file.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// One label line: first + "|" + second, with CR, LF and "|" inside either
// text turned into blanks so that a text cannot add a line or a column.
std::string LabelLine(const std::string& first, const std::string& second);

// The label lines of an entry's "BAR" element (the text after the word):
// trimmed, read as pairs parted by ESC (identifier, label data); a pair
// without an identifier gives no label, a last text without its partner
// pairs with an empty one.
std::vector<std::string> ElementLabelLines(std::string_view text);

// Appends lines (each ended by CR LF; a CR or LF inside becomes a blank) to
// the label file, creating it when missing. While another program holds the
// file (an exclusive lock on it), waits and tries again, attempts times in
// all; then, or for any other failure, "Błąd otwarcia pliku naklejek nr "
// and the system's error number. Empty on success.
std::string AppendLabelLines(const std::string& path, const std::vector<std::string>& lines, int attempts = 20,
                             std::chrono::milliseconds wait = std::chrono::milliseconds(500));

}  // namespace velt
