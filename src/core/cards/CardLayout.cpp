#include "cards/CardLayout.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace velt {

namespace {

using namespace card_kind;

// Cuts text just after each break character; each piece keeps its break.
// A colon of "::" is no break.
std::vector<std::string> Cut(std::string_view text, std::string_view breaks, bool udc = false) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        piece += c;
        bool cut = breaks.find(c) != std::string_view::npos;
        if (udc && c == ':' && ((i > 0 && text[i - 1] == ':') || (i + 1 < text.size() && text[i + 1] == ':')))
            cut = false;
        if (cut) {
            pieces.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(std::move(piece));
    return pieces;
}

constexpr std::string_view kHeadingBreaks = ",- ";
constexpr std::string_view kParagraphBreaks = " ,";
constexpr std::string_view kUdcBreaks = "+ :";
constexpr std::string_view kInventoryBreaks = " ,";

std::string_view Trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Runs of blanks as one blank.
std::string Collapsed(std::string_view s) {
    std::string out;
    for (const char c : s)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

std::string Underscores(std::string s) {
    std::replace(s.begin(), s.end(), '_', ' ');
    return s;
}

// A filled line as it is kept: without the blanks a break left at its ends
// (a line of blanks alone stays as it is).
std::string Kept(const std::string& line) {
    const std::string_view t = Trimmed(line);
    return t.empty() ? line : std::string(t);
}

class Builder {
public:
    Builder(const CardSettings& settings, const CardGeometry& g, double r, CardMeasurer& measurer,
            const std::vector<std::string>& text, const CardRange& card, int number)
        : mSet(settings), mG(g), mR(r), mMeasure(measurer), mText(text), mCard(card) {
        mOut.number = number;
        mOut.central = card.central;
        const int dpi = measurer.Resolution();
        mHeadingFont = CanvasFontOf(settings.headingFont, dpi);
        mCallFont = CanvasFontOf(settings.callFont, dpi);
        mParagraphFont = CanvasFontOf(settings.paragraphFont, dpi);
        mUdcFont = CanvasFontOf(settings.udcFont, dpi);
        mInventoryFont = CanvasFontOf(settings.inventoryFont, dpi);
        mBranchFont = CanvasFontOf(settings.branchFont, dpi);
        mNoteFont = CanvasFontOf(ContinuationFont(), dpi);
        mW = M(g.W);
        mH = M(g.H);
        mL = M(g.L);
        mRight = M(g.R);
        mT = M(g.T);
        mB = M(g.B);
        mRS = M(g.RS);
        mHi = M(g.Hi);
        mFull = mW - mL - mRight;
        mSample = Height(mParagraphFont);
        mNote = Height(mNoteFont);
        mTable = card.central ? M(g.branchRows * g.rowHeight) : 0;
    }

    LaidOutCard Run() {
        mSections = ReadCardSections(mText, mCard);
        // The card's first section line, kept for the continuation pages.
        for (std::size_t i = mCard.marker + 1; i < mCard.end && i < mText.size(); ++i) {
            if (BlankLine(mText[i])) continue;
            const auto s = SectionOf(mText[i]);
            if (s == CardSection::Calls && !mSections.empty()) {
                mRepeatCalls = &mSections[0];
                if (mSections.size() > 1 && mSections[1].section == CardSection::Heading)
                    mRepeatHeading = &mSections[1];
            } else if (s == CardSection::Heading && !mSections.empty()) {
                mRepeatHeading = &mSections[0];
            }
            break;
        }
        mY = mT;
        mCallBottom = mT;
        mNarrow = mFull;
        for (std::size_t i = 0; i < mSections.size() && !mStopped; ++i) {
            const CardTextSection& section = mSections[i];
            switch (section.section) {
            case CardSection::Calls:
                if (mSet.printCalls) Calls(section, false);
                break;
            case CardSection::Heading:
                if (mSet.printHeading) Heading(section, false);
                mY = mCallBottom = std::max(mY, mCallBottom);
                break;
            case CardSection::Paragraph:
                Paragraphs(section);
                break;
            case CardSection::Udc:
                if (mSet.printUdc) Udc(i);
                break;
            case CardSection::Inventory:
                if (mSet.printInventory && !mCard.central) Inventory(section);
                break;
            case CardSection::Branches:
                if (mCard.central) Branches(section);
                break;
            }
        }
        return std::move(mOut);
    }

private:
    // Screen pixels as measuring pixels, and back.
    int M(double screen) const { return static_cast<int>(std::lround(screen * mR)); }
    int Stored(int measuring) const { return static_cast<int>(std::lround(measuring / mR)); }

    int Width(const CanvasFont& f, std::string_view t) { return mMeasure.TextWidth(f, t); }
    int Height(const CanvasFont& f) { return mMeasure.TextHeight(f); }

    void Tell(std::string message) { mOut.messages.push_back(std::move(message)); }

    void GenLine(std::string text, int x, int y, char kind, bool indented = false, int indent = 0) {
        if (mStopped) return;
        if (text == "_") text = "  ";
        if (text.size() > kMaxCardLineText) text.resize(kMaxCardLineText);
        TLiniaKarty line;
        line.text = std::move(text);
        line.kind = kind;
        line.x = kind == kBranch ? x : Stored(x);
        line.y = kind == kBranch ? y : Stored(y);
        line.indented = indented;
        line.indent = indented ? Stored(indent) : 0;
        mOut.lines.push_back(std::move(line));
    }

    // A page closes only for a line of the card's own text once the page
    // holds one, and that line then goes onto the new page whether it fits
    // or not: the repeated call numbers, the page number and the heading may
    // fill a page alone, and looking again would close pages for ever.
    bool MayClose() const { return !mCard.central && !mStopped && (mPage == 1 || mContentOnPage); }

    // Fills pieces into lines no wider than limit() and hands each to place.
    // A piece wider than a whole line is dropped (with the text-too-large
    // message) when dropWide, else broken between characters so that no
    // text is lost.
    void Fill(const std::vector<std::string>& pieces, const CanvasFont& font, const std::function<int()>& limit,
              bool dropWide, const std::function<void(const std::string&)>& place) {
        std::string line;
        int lineWidth = 0;
        for (const std::string& piece : pieces) {
            if (mStopped) return;
            if (Fits(font, line, lineWidth, piece, limit())) {
                line += piece;
                continue;
            }
            if (!line.empty()) {
                place(Kept(line));
                line.clear();
            }
            lineWidth = Width(font, piece);
            if (lineWidth <= limit()) {
                line = piece;
                continue;
            }
            if (dropWide) {
                lineWidth = 0;
                if (!Trimmed(piece).empty())
                    Tell("Tekst \""_cp + std::string(Trimmed(piece)) +
                         "\" jest zbyt duży i zostanie pominięty \r\nZmniejsz wielkość czcionki"_cp);
                continue;
            }
            // Characters as long as they fit, at least one a line.
            std::string rest = piece;
            while (!rest.empty() && !mStopped) {
                std::size_t n = 1;
                while (n < rest.size() && Width(font, rest.substr(0, n + 1)) <= limit()) ++n;
                if (n == rest.size()) break;
                place(rest.substr(0, n));
                rest.erase(0, n);
            }
            line = rest;
            lineWidth = Width(font, line);
        }
        if (!line.empty() && !mStopped) place(Kept(line));
    }

    // Whether line (lineWidth wide) and piece together are no wider than
    // limit; lineWidth becomes their width when they are. Far below the
    // limit the widths are added; near it the joined text is measured, so
    // that the decision is the measured one.
    bool Fits(const CanvasFont& font, const std::string& line, int& lineWidth, const std::string& piece, int limit) {
        const int sum = lineWidth + Width(font, piece);
        if (sum + std::max(2, limit / 20) <= limit) {
            lineWidth = sum;
            return true;
        }
        const int joined = Width(font, line + piece);
        if (joined > limit) return false;
        lineWidth = joined;
        return true;
    }

    // The height the lines of a section would take at the full width.
    int Estimate(const CardTextSection& section, const CanvasFont& font, std::string_view breaks, bool udc, int gap) {
        int total = 0;
        const int h = Height(font);
        for (const std::string& content : section.lines) {
            std::string line;
            int lineWidth = 0;
            int lines = 0;
            for (const std::string& piece : Cut(Unwrapped(content), breaks, udc)) {
                if (Fits(font, line, lineWidth, piece, mFull)) {
                    line += piece;
                    continue;
                }
                if (!line.empty()) ++lines;
                line.clear();
                lineWidth = Width(font, piece);
                if (lineWidth <= mFull)
                    line = piece;
                else
                    lineWidth = 0;
            }
            if (!line.empty()) ++lines;
            total += lines * (h + gap);
        }
        return total;
    }

    void Calls(const CardTextSection& section, bool again) {
        const int h = Height(mCallFont);
        int widest = -1;
        for (const std::string& content : section.lines) {
            const std::string line = Underscores(std::string(Trimmed(Collapsed(Unwrapped(content)))));
            if (line.empty()) continue;
            if (mY + h + mSample + mNote <= mH - mT - mB - mTable) {
                GenLine(line, mW - mRight - mRS, mY, again ? kCallAgain : kCall);
                widest = std::max(widest, Width(mCallFont, line) + mRight + mRS);
                mY += h;
            } else if (mPage == 1 && !again) {
                Tell("Sygnatury są zbyt duże - zmniejsz wielkość czcionki\r\n Sygnatura "_cp + line +
                     " zostanie pominięta"_cp);
            }
        }
        mCallBottom = mY + M(6);
        mNarrow = widest < 0 ? mFull : mW - mL - M(10) - widest;
    }

    void Heading(const CardTextSection& section, bool again) {
        const int h = Height(mHeadingFont);
        for (const std::string& content : section.lines) {
            const std::string line = Unwrapped(content);
            if (mY + h + mSample + mNote <= mH - mT - mB - mTable) {
                Fill(Cut(line, kHeadingBreaks), mHeadingFont,
                     [this] { return mY <= mCallBottom ? mNarrow : mFull; }, false,
                     [this, h, again](const std::string& text) {
                         GenLine(text, mL + M(2), mY, again ? kHeadingAgain : kHeading);
                         mY += h + M(2);
                     });
            } else if (mPage == 1 && !again) {
                Tell("Hasła są zbyt duże - zmniejsz wielkość czcionki\r\n Hasło "_cp + line +
                     " zostanie pominięte"_cp);
            }
            mIndent = Width(mHeadingFont, line.substr(0, 2));
        }
    }

    void Paragraphs(const CardTextSection& section) {
        std::string joined;
        for (const std::string& line : section.lines) joined += line + " ";
        std::vector<std::string> items;
        for (std::size_t at = 0; at < joined.size();) {
            const std::size_t end = joined.find("</X>", at);
            if (end == std::string::npos) {
                items.push_back(joined.substr(at));
                break;
            }
            items.push_back(joined.substr(at, end + 4 - at));
            at = end + 4;
        }
        const int h = Height(mParagraphFont);
        bool sectionFirst = true;
        for (const std::string& item : items) {
            const std::string_view t = Trimmed(item);
            if (t.empty()) continue;
            const bool indentFirst = WrappedA(t) || (sectionFirst && !WrappedL(t));
            sectionFirst = false;
            const std::string text = Unwrapped(t);
            // Without a heading, an indent of the paragraph's own first two characters.
            const int indent = mIndent >= 0 ? mIndent : Width(mParagraphFont, text.substr(0, 2));
            bool first = true;
            Fill(Cut(text, kParagraphBreaks), mParagraphFont,
                 [this, &first, indentFirst, indent] { return mFull - (first && indentFirst ? indent : 0); }, false,
                 [this, h, &first, indentFirst, indent](const std::string& line) {
                     if (mY + h > mHi - mB - M(2) - mNote && MayClose()) ClosePage();
                     GenLine(line, mL + M(1), mY, kParagraph, first && indentFirst, indent);
                     mY += h + M(3);
                     first = false;
                     mContentOnPage = true;
                 });
        }
    }

    void Udc(std::size_t index) {
        const CardTextSection& section = mSections[index];
        const int bottom = mHi - mB - M(2) - mTable;
        const int estimate = Estimate(section, mUdcFont, kUdcBreaks, true, 0);
        int inventory = 0;
        if (mSet.printInventory && !mCard.central)
            for (std::size_t i = index + 1; i < mSections.size(); ++i)
                if (mSections[i].section == CardSection::Inventory) {
                    inventory = Estimate(mSections[i], mInventoryFont, kInventoryBreaks, false, M(3));
                    break;
                }
        mY = std::max(mY, bottom - mNote - estimate - inventory);
        const int h = Height(mUdcFont);
        int placed = 0;
        for (const std::string& content : section.lines)
            Fill(Cut(Unwrapped(content), kUdcBreaks, true), mUdcFont, [this] { return mFull; }, true,
                 [&](const std::string& line) {
                     if (mY + h > bottom - mNote && MayClose()) {
                         ClosePage();
                         mY = std::max(mY, bottom - mNote - (estimate - placed) - inventory);
                     }
                     GenLine(line, mW - mRight, mY, kUdc);
                     mY += h;
                     placed += h;
                     mContentOnPage = true;
                 });
    }

    void Inventory(const CardTextSection& section) {
        const int estimate = Estimate(section, mInventoryFont, kInventoryBreaks, false, M(3));
        mY = std::max(mY, mHi - mB - mNote - estimate);
        const int h = Height(mInventoryFont);
        int placed = 0;
        for (const std::string& content : section.lines)
            Fill(Cut(Unwrapped(content), kInventoryBreaks), mInventoryFont, [this] { return mFull; }, true,
                 [&](const std::string& line) {
                     if (mY + h > mHi - mB - mNote && MayClose()) {
                         ClosePage();
                         mY = std::max(mY, mHi - mB - mNote - (estimate - placed));
                     }
                     GenLine(line, mL + M(2), mY, kInventory);
                     mY += h + M(3);
                     placed += h + M(3);
                     mContentOnPage = true;
                 });
    }

    void Branches(const CardTextSection& section) {
        const int columns = mG.branchColumns, rows = mG.branchRows;
        const int cellWidth = M(mG.cellWidth), rowHeight = M(mG.rowHeight);
        const int h = Height(mBranchFont);
        int cell = 0;
        for (const std::string& content : section.lines) {
            if (cell >= columns * rows) {
                Tell("Tabela filii jest zbyt mała\r\n Część oznaczeń zostanie pominięta"_cp);
                break;
            }
            const std::string raw = Unwrapped(content);
            const std::string_view trimmed = Trimmed(raw);
            const std::size_t trailing =
                trimmed.empty() ? 0 : raw.size() - (raw.find_last_not_of(' ') + 1);
            const std::string text = Underscores(Collapsed(trimmed));
            const int column = cell / rows + 1, row = cell % rows + 1;
            ++cell;
            if (h > rowHeight || Width(mBranchFont, text + std::string(trailing, ' ')) > cellWidth) {
                Tell("Oznaczenia filii są zbyt duże - zmniejsz wielkość czcionki\r\n Oznaczenie "_cp + text +
                     " zostanie pominięte"_cp);
                continue;
            }
            GenLine(text, column, row, kBranch);
        }
    }

    void ClosePage() {
        if (mPage >= kMaxCardPages) {
            Tell("Karta "_cp + std::to_string(mOut.number) + " ma więcej niż "_cp + std::to_string(kMaxCardPages) +
                 " stron: dalsze strony zostaną pominięte"_cp);
            mStopped = true;
            return;
        }
        const std::string note = ContinuationNote();
        GenLine(note, (mW - Width(mNoteFont, note)) / 2, mHi - mB - mNote, kContinued);
        CiagDalszy();
    }

    void CiagDalszy() {
        ++mPage;
        mContentOnPage = false;
        mY = mT;
        GenLine(std::to_string(mPage) + ".", mL, mT, kPageNumber);
        bool callsAgain = false;
        if (mRepeatCalls && mSet.printCalls) {
            Calls(*mRepeatCalls, true);
            callsAgain = true;
        }
        mY += Height(mHeadingFont);
        if (!callsAgain) {
            mNarrow = mFull;
            mCallBottom = mT;
        }
        if (mRepeatHeading && mSet.printHeading) Heading(*mRepeatHeading, true);
        mY = mCallBottom = std::max(mY, mCallBottom);
    }

    const CardSettings& mSet;
    const CardGeometry& mG;
    double mR;
    CardMeasurer& mMeasure;
    const std::vector<std::string>& mText;
    CardRange mCard;
    std::vector<CardTextSection> mSections;
    const CardTextSection* mRepeatCalls = nullptr;
    const CardTextSection* mRepeatHeading = nullptr;
    LaidOutCard mOut;

    CanvasFont mHeadingFont, mCallFont, mParagraphFont, mUdcFont, mInventoryFont, mBranchFont, mNoteFont;
    int mW = 0, mH = 0, mL = 0, mRight = 0, mT = 0, mB = 0, mRS = 0, mHi = 0;
    int mFull = 0, mSample = 0, mNote = 0, mTable = 0;

    int mPage = 1;
    int mY = 0;
    int mCallBottom = 0;
    int mNarrow = 0;
    int mIndent = -1;  // none until a heading line is read
    bool mContentOnPage = false;
    bool mStopped = false;
};

}  // namespace

double RoundTo2(double value) { return std::round(value * 100.0) / 100.0; }

std::string TLiniaKarty::Stored() const { return (indented ? "<A>" : "<L>") + text + "</X>"; }

CardGeometry CardGeometry::For(const CardSettings& settings, int screenResolution) {
    CardGeometry g;
    g.s = RoundTo2(std::max(screenResolution, 1) / 25.4);
    g.W = g.Millimetres(settings.width);
    g.H = g.Millimetres(settings.height);
    g.L = g.Millimetres(settings.left);
    g.R = g.Millimetres(settings.right);
    g.T = g.Millimetres(settings.top);
    g.B = g.Millimetres(settings.bottom);
    g.RS = g.Millimetres(settings.callRight);
    g.Hi = g.H + 1;
    g.branchColumns = std::max(settings.branchColumns, 1);
    g.branchRows = std::max(settings.branchRows, 1);
    g.cellWidth = static_cast<int>(std::lround(static_cast<double>(g.W - g.L - g.R) / g.branchColumns));
    g.rowHeight = g.Millimetres(settings.branchRowHeight);
    return g;
}

int CardGeometry::Millimetres(int mm) const { return static_cast<int>(std::lround(mm * s)); }

int LaidOutCard::ZliczStrony() const {
    int pages = 1;
    for (const TLiniaKarty& line : lines) pages += line.kind == card_kind::kContinued;
    return pages;
}

std::vector<CardPage> CardPages(const LaidOutCard& card) {
    std::vector<CardPage> pages;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < card.lines.size(); ++i)
        if (card.lines[i].kind == card_kind::kContinued) {
            pages.push_back({begin, i + 1});
            begin = i + 1;
        }
    pages.push_back({begin, card.lines.size()});
    return pages;
}

std::string ContinuationNote() { return "(ciąg dalszy na następnej karcie)"_cp; }

CardFont ContinuationFont() { return CardFont{"Arial", 9, 238, false, false, false}; }

CanvasFont CanvasFontOf(const CardFont& font, int resolution) {
    CanvasFont f;
    f.name = font.face;
    f.height = std::max(1, static_cast<int>(std::lround(font.points * static_cast<double>(resolution) / 72.0)));
    f.bold = font.bold;
    f.italic = font.italic;
    f.underline = font.underline;
    return f;
}

CardLayout::CardLayout(const CardSettings& settings, int screenResolution, CardMeasurer& measurer)
    : mSettings(BoundedCardSettings(settings)),
      mGeometry(CardGeometry::For(mSettings, screenResolution)),
      mMeasurer(measurer) {
    mRatio = RoundTo2(std::max(measurer.Resolution(), 1) / (mGeometry.s * 25.4));
    if (mRatio <= 0) mRatio = 0.01;
}

LaidOutCard CardLayout::GenLines(const std::vector<std::string>& text, const CardRange& card, int number) {
    Builder builder(mSettings, mGeometry, mRatio, mMeasurer, text, card, number);
    return builder.Run();
}

LaidOutCard CardLayout::RysujKarte(const std::vector<std::string>& text, int number) {
    const std::vector<CardRange> cards = FindCards(text);
    if (number < 1 || number > static_cast<int>(cards.size())) return {};
    return GenLines(text, cards[static_cast<std::size_t>(number) - 1], number);
}

}  // namespace velt
