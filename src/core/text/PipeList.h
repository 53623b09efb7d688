#pragma once
// Lists of texts each followed by "|", as the server writes its pair texts,
// kind lists and choice lists ("K|Książka|T|Temat|"), and texts with one
// "|" between a head and a tail ("name|values"). One reading for all of
// them: a piece ends at a "|" or at the end of the text, empty pieces are
// pieces, and the final "|" closes the last piece rather than opening an
// empty one after it.

#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

// Reads a "|"-list piece by piece.
class PipeReader {
public:
    explicit PipeReader(std::string_view text) : mText(text) {}

    // True when every piece has been read.
    bool AtEnd() const { return mAt >= mText.size(); }
    // The next piece into piece; false (piece empty) at the end. closed,
    // when given, tells whether a "|" ended the piece.
    bool Next(std::string_view& piece, bool* closed = nullptr);
    // The next piece, or an empty one at the end.
    std::string_view Take();
    // What has not been read yet.
    std::string_view Rest() const { return AtEnd() ? std::string_view() : mText.substr(mAt); }

private:
    std::string_view mText;
    std::size_t mAt = 0;
};

// Every piece of the list, empty ones kept: "a||b|" gives a, "", b; "a|b"
// gives a, b; "" gives none.
std::vector<std::string_view> SplitPipeList(std::string_view text);

// Whether the value of the last pair must be followed by its "|".
enum class PipeEnd {
    Closed,  // "a|b|c|d" gives (a, b) only
    Open,    // "a|b|c|d" gives (a, b) and (c, d)
};

// The (name, value) pairs of "name|value|name|value|", at most max of them.
// A name without its "|" after it never makes a pair.
std::vector<std::pair<std::string_view, std::string_view>> PipePairs(
    std::string_view text, PipeEnd end, std::size_t max = std::numeric_limits<std::size_t>::max());

// A text parted at its first "|".
struct PipeSplit {
    std::string_view head;  // before the "|", or the whole text when there is none
    std::string_view tail;  // after it, or empty
    bool parted = false;    // whether there was a "|"
};

// The text parted at its first "|".
PipeSplit SplitAtPipe(std::string_view text);

}  // namespace velt
