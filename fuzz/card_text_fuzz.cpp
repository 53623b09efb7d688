// The card text of a KARTA report over any bytes, laid out with settings
// read from the input too: the bytes before the first NUL are a
// Velt_kar.ini, the rest the card text. Every card is laid out (the first
// 50), within its bounds of pages and line length, a page ends only with
// its continuation note and a central card never continues; its
// correction, taken back unchanged, regenerates a text with as many cards.

#include "cards/CardCorrection.h"
#include "cards/CardLayout.h"
#include "cards/CardSettings.h"
#include "cards/StandardFaces.h"
#include "reports/CatalogueCards.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velt;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = bytes.find('\0');
    CardSettings settings;
    if (nul != std::string_view::npos) {
        static const std::string ini = "/tmp/velt-card-fuzz-" + std::to_string(::getpid()) + ".ini";
        if (std::FILE* f = std::fopen(ini.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, nul, f);
            std::fclose(f);
            settings = ReadCardSettings(ini);
        }
    }
    if (!(settings == BoundedCardSettings(settings))) std::abort();
    const std::vector<std::string> text = CardReportLines(nul == std::string_view::npos ? bytes : bytes.substr(nul + 1));
    const std::vector<CardRange> cards = FindCards(text);
    StandardFaceMeasurer measurer(300 + static_cast<int>(size % 1000));
    CardLayout layout(settings, 96 + static_cast<int>(size % 200), measurer);
    for (std::size_t i = 0; i < cards.size() && i < 50; ++i) {
        const LaidOutCard card = layout.GenLines(text, cards[i], static_cast<int>(i) + 1);
        const int pages = card.ZliczStrony();
        if (pages < 1 || pages > kMaxCardPages) std::abort();
        if (card.central && pages != 1) std::abort();
        if (static_cast<int>(CardPages(card).size()) != pages) std::abort();
        for (const TLiniaKarty& line : card.lines) {
            if (line.text.size() > kMaxCardLineText) std::abort();
            const std::string stored = line.Stored();
            if (stored.size() < 7 || stored.compare(stored.size() - 4, 4, "</X>") != 0) std::abort();
        }
        const std::vector<std::string> again =
            GenerujNowaKarta(text, static_cast<int>(i) + 1, CorrectedParagraphs(CorrectionLines(card)));
        if (FindCards(again).size() != cards.size()) std::abort();
    }
    return 0;
}
