#include "cards/CardText.h"

namespace velt {

namespace {

constexpr std::string_view kMarkers[] = {"[SYGNATURY]", "[HASLO]", "[PARAGRAF]", "[UKD]", "[INWENTARZ]", "[FILIE]"};
constexpr CardSection kOrder[] = {CardSection::Calls,     CardSection::Heading,   CardSection::Paragraph,
                                  CardSection::Udc,       CardSection::Inventory, CardSection::Branches};

bool Has(std::string_view line, std::string_view word) { return line.find(word) != std::string_view::npos; }

}  // namespace

std::string_view SectionMarker(CardSection section) { return kMarkers[static_cast<int>(section)]; }

bool StartsCard(std::string_view line) { return Has(line, "[KARTA]") || Has(line, "[KARTA_CENTRALNA]"); }

std::optional<CardSection> SectionOf(std::string_view line) {
    if (StartsCard(line)) return std::nullopt;
    for (const CardSection s : kOrder)
        if (Has(line, SectionMarker(s))) return s;
    return std::nullopt;
}

bool BlankLine(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

bool WrappedA(std::string_view line) { return line.substr(0, 3) == "<A>"; }
bool WrappedL(std::string_view line) { return line.substr(0, 3) == "<L>"; }

std::string Unwrapped(std::string_view line) {
    if (!WrappedA(line) && !WrappedL(line)) return std::string(line);
    line.remove_prefix(3);
    if (line.size() >= 4 && line.substr(line.size() - 4) == "</X>") line.remove_suffix(4);
    return std::string(line);
}

std::vector<CardRange> FindCards(const std::vector<std::string>& lines) {
    std::vector<CardRange> cards;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!StartsCard(lines[i])) continue;
        if (!cards.empty()) cards.back().end = i;
        const std::string_view trimmed = [&] {
            std::string_view v = lines[i];
            const auto b = v.find_first_not_of(" \t\r");
            if (b == std::string_view::npos) return std::string_view();
            return v.substr(b, v.find_last_not_of(" \t\r") - b + 1);
        }();
        cards.push_back({i, lines.size(), trimmed == "[KARTA_CENTRALNA]"});
    }
    return cards;
}

std::vector<CardTextSection> ReadCardSections(const std::vector<std::string>& lines, const CardRange& card) {
    std::vector<CardTextSection> sections;
    for (std::size_t i = card.marker + 1; i < card.end && i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (BlankLine(line)) continue;
        if (const auto s = SectionOf(line)) {
            sections.push_back({*s, {}});
        } else if (!sections.empty()) {
            sections.back().lines.push_back(line);
        }
    }
    return sections;
}

}  // namespace velt
