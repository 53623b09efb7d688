#pragma once
// Printing catalogue cards: every page of a card on a page of its own of one
// document (a printer's job or a PDF file), each as many times as the copies
// say; and what the card windows show around it: the print-all question, the
// page boxes of "Drukowanie bieżącej karty", the views of ten pages and the
// status bar.

#include "cards/CardDrawing.h"
#include "cards/CardLayout.h"

#include <string>
#include <vector>

namespace velt {

class CardPrintJob {
public:
    // Draws on canvas, whose NewPage starts the next page of the document.
    CardPrintJob(ReportCanvas& canvas, const CardSettings& settings, const CardGeometry& geometry,
                 const CardDrawTarget& target);
    // Page (from 0) of card, copies times, each on a page of its own.
    void Print(const LaidOutCard& card, std::size_t page, int copies);
    // Every page of card.
    void PrintAll(const LaidOutCard& card, int copies);
    // The pages drawn so far.
    int Pages() const { return mPages; }

private:
    ReportCanvas& mCanvas;
    const CardSettings& mSettings;
    const CardGeometry& mGeometry;
    CardDrawTarget mTarget;
    int mPages = 0;
};

// Lays out each card of text in turn and prints all its pages; the messages
// of the layouts, each text once.
std::vector<std::string> PrintCards(CardLayout& layout, const std::vector<std::string>& text, CardPrintJob& job,
                                    int copies);

// "Zostaną wydrukowane n karty katalogowe. Drukować?" below 5, else
// "Zostanie wydrukowane n kart katalogowych. Drukować?".
std::string PrintAllQuestion(int printed);

// The page check boxes a column of "Drukowanie bieżącej karty" holds: 4, or
// for more than 24 pages as many as make six columns.
int PageBoxesPerColumn(int pages);

// The pages a view of the card window shows at most.
inline constexpr int kPagesPerView = 10;

// The status bar of the card window: "  " + the first heading line of the
// view + ": " + its pages ("1-10", "11") + "/" + the card's pages; and
// "  Karta k z n".
std::string CardViewPanel(const LaidOutCard& card, int firstPage, int lastPage);
std::string CardNumberPanel(int number, int count);

}  // namespace velt
