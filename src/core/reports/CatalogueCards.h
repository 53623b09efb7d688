#pragma once
// The report kind KARTA: the work file's lines are the text of catalogue
// cards, handed to the catalogue-card window behind a small interface the
// gui implements.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class CatalogueCards {
public:
    virtual ~CatalogueCards() = default;
    // Shows the cards of a card text (its lines, without line ends); the
    // window owns the lines from then on.
    virtual void KartaKatalogowa(std::vector<std::string> lines) = 0;
};

// The most bytes of a card report read.
inline constexpr std::size_t kMaxCardReport = 16 * 1024 * 1024;

// The lines of a card text's bytes: parted by LF, a CR before the LF
// dropped, the last line's end optional.
std::vector<std::string> CardReportLines(std::string_view bytes);

// Reads the lines of the work file (CR LF or LF ends, at most
// kMaxCardReport bytes), removes the file and hands the lines to cards.
// The error text when nothing was handed over ("CARD_REPORT: Brak pliku
// roboczego zestawienia" when the file cannot be opened, "Pusta zawartość
// karty" when it has no line with text), empty otherwise.
std::string HandOverCardReport(const std::string& file, CatalogueCards& cards);

}  // namespace velt
