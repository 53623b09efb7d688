#pragma once
// The catalogue cards of a KARTA report while this program has no card
// window: the user is told so, and the card text is let go.

#include "reports/CatalogueCards.h"

#include <functional>
#include <string>

namespace velt::gui {

class UnavailableCatalogueCards : public CatalogueCards {
public:
    explicit UnavailableCatalogueCards(std::function<void(const std::string&)> show) : mShow(std::move(show)) {}
    // Shows UnavailableCardsText(); the lines are dropped.
    void KartaKatalogowa(std::vector<std::string> lines) override;

private:
    std::function<void(const std::string&)> mShow;
};

// What the user is told instead of the cards.
std::string UnavailableCardsText();

}  // namespace velt::gui
