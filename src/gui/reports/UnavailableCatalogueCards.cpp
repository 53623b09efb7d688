#include "gui/reports/UnavailableCatalogueCards.h"

#include "text/CpLiteral.h"

namespace velt::gui {

std::string UnavailableCardsText() {
    return "Karta katalogowa: okno kart katalogowych nie jest jeszcze dostępne w tej wersji programu"_cp;
}

void UnavailableCatalogueCards::KartaKatalogowa(std::vector<std::string> lines) {
    lines.clear();
    if (mShow) mShow(UnavailableCardsText());
}

}  // namespace velt::gui
