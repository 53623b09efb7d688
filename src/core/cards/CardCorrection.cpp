#include "cards/CardCorrection.h"

#include <algorithm>

namespace velt {

namespace {

std::string_view Trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

std::vector<std::string> CorrectionLines(const LaidOutCard& card) {
    std::vector<std::string> memo;
    for (const TLiniaKarty& line : card.lines)
        if (line.kind == card_kind::kParagraph) memo.push_back((line.indented ? "  " : "") + line.text);
    return memo;
}

std::vector<std::string> CorrectedParagraphs(const std::vector<std::string>& memo) {
    std::vector<std::string> out;
    for (const std::string& raw : memo) {
        std::string line = raw;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string_view trimmed = Trimmed(line);
        if (trimmed.empty()) {
            out.push_back("<A>_</X>");
        } else if (line.rfind("  ", 0) == 0) {
            out.push_back("<A>" + std::string(trimmed) + "</X>");
        } else {
            out.push_back("<L>" + std::string(trimmed) + "</X>");
        }
    }
    return out;
}

std::vector<std::string> GenerujNowaKarta(const std::vector<std::string>& text, int number,
                                          const std::vector<std::string>& paragraphs) {
    const std::vector<CardRange> cards = FindCards(text);
    if (number < 1 || number > static_cast<int>(cards.size())) return text;
    const CardRange card = cards[static_cast<std::size_t>(number) - 1];

    std::vector<std::string> generated;
    bool first = true;
    for (const std::string& p : paragraphs) {
        if (first || p.rfind("<A>", 0) == 0) generated.push_back("[PARAGRAF]");
        generated.push_back(p);
        first = false;
    }

    std::vector<std::string> out(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(card.marker) + 1);
    bool inParagraph = false, placed = false;
    for (std::size_t i = card.marker + 1; i < card.end; ++i) {
        const std::string& line = text[i];
        if (const auto s = SectionOf(line)) {
            inParagraph = *s == CardSection::Paragraph;
            const bool after = *s == CardSection::Udc || *s == CardSection::Inventory || *s == CardSection::Branches;
            if (!placed && (inParagraph || after)) {
                out.insert(out.end(), generated.begin(), generated.end());
                placed = true;
            }
            if (inParagraph) continue;
        }
        if (!inParagraph) out.push_back(line);
    }
    if (!placed) out.insert(out.end(), generated.begin(), generated.end());
    out.insert(out.end(), text.begin() + static_cast<std::ptrdiff_t>(card.end), text.end());
    return out;
}

std::vector<std::string> AddParagraph(std::vector<std::string> lines, MemoCaret& caret) {
    if (lines.empty()) lines.emplace_back();
    caret.line = std::clamp(caret.line, 0, static_cast<int>(lines.size()) - 1);
    std::string& line = lines[static_cast<std::size_t>(caret.line)];
    caret.column = std::clamp(caret.column, 0, static_cast<int>(line.size()));
    if (caret.column == 0) {
        line.insert(0, "  ");
        caret.column = 2;
        return lines;
    }
    std::string rest = "  " + line.substr(static_cast<std::size_t>(caret.column));
    line.resize(static_cast<std::size_t>(caret.column));
    lines.insert(lines.begin() + caret.line + 1, std::move(rest));
    ++caret.line;
    caret.column = 2;
    return lines;
}

}  // namespace velt
