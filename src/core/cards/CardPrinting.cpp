#include "cards/CardPrinting.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace velt {

CardPrintJob::CardPrintJob(ReportCanvas& canvas, const CardSettings& settings, const CardGeometry& geometry,
                           const CardDrawTarget& target)
    : mCanvas(canvas), mSettings(settings), mGeometry(geometry), mTarget(target) {}

void CardPrintJob::Print(const LaidOutCard& card, std::size_t page, int copies) {
    const std::vector<CardPage> pages = CardPages(card);
    if (page >= pages.size()) return;
    for (int copy = 0; copy < std::max(copies, 1); ++copy) {
        // One document: a new page for every card page after the first.
        if (mPages > 0) mCanvas.NewPage();
        DrawCardPage(mCanvas, card, pages[page], mSettings, mGeometry, mTarget);
        ++mPages;
    }
}

void CardPrintJob::PrintAll(const LaidOutCard& card, int copies) {
    const std::size_t pages = CardPages(card).size();
    for (std::size_t p = 0; p < pages; ++p) Print(card, p, copies);
}

std::vector<std::string> PrintCards(CardLayout& layout, const std::vector<std::string>& text, CardPrintJob& job,
                                    int copies) {
    std::vector<std::string> messages;
    std::set<std::string> told;
    int number = 0;
    for (const CardRange& range : FindCards(text)) {
        const LaidOutCard card = layout.GenLines(text, range, ++number);
        for (const std::string& m : card.messages)
            if (told.insert(m).second) messages.push_back(m);
        job.PrintAll(card, copies);
    }
    return messages;
}

std::string PrintAllQuestion(int printed) {
    if (printed < 5) return "Zostaną wydrukowane "_cp + std::to_string(printed) + " karty katalogowe. Drukować?"_cp;
    return "Zostanie wydrukowane "_cp + std::to_string(printed) + " kart katalogowych. Drukować?"_cp;
}

int PageBoxesPerColumn(int pages) {
    if (pages <= 24) return 4;
    return (pages + 5) / 6;
}

std::string CardViewPanel(const LaidOutCard& card, int firstPage, int lastPage) {
    const std::vector<CardPage> pages = CardPages(card);
    std::string heading;
    for (int p = firstPage; p <= lastPage && heading.empty(); ++p) {
        if (p < 1 || p > static_cast<int>(pages.size())) continue;
        const CardPage& page = pages[static_cast<std::size_t>(p) - 1];
        for (std::size_t i = page.begin; i < page.end; ++i)
            if (card.lines[i].kind == card_kind::kHeading || card.lines[i].kind == card_kind::kHeadingAgain) {
                heading = card.lines[i].text;
                break;
            }
    }
    const std::string range =
        firstPage == lastPage ? std::to_string(firstPage) : std::to_string(firstPage) + "-" + std::to_string(lastPage);
    return "  " + heading + ": " + range + "/" + std::to_string(card.ZliczStrony());
}

std::string CardNumberPanel(int number, int count) {
    return "  Karta " + std::to_string(number) + " z " + std::to_string(count);
}

}  // namespace velt
