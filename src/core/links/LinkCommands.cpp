#include "links/LinkCommands.h"

#include "browse/CellMarkup.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"

namespace velt {

namespace {

bool Starts(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

constexpr std::string_view kCollection = "kolekcja|";

// The item's name: the text after the word up to "|", blanks removed.
std::string NameOf(std::string_view rest) { return std::string(TrimSpaces(SplitAtPipe(rest).head)); }

}  // namespace

LinkCommand ClassifyLinkCommand(std::string_view c) {
    using K = LinkCommandKind;
    const auto after = [&c](std::size_t n) { return std::string(c.size() > n ? c.substr(n) : std::string_view()); };
    if (Starts(c, "JPG")) return {K::Picture, after(4)};
    if (Starts(c, "BLOB")) return {K::Attachment, after(4)};
    if (Starts(c, "BAR")) return {K::Labels, std::string(TrimSpaces(after(3)))};
    if (Starts(c, "@")) return {K::Program, after(1)};
    if (Starts(c, "&")) return {K::Order, std::string(c)};
    if (Starts(c, "RAPORT")) return {K::Report, after(6)};
    if (Starts(c, "OPERACJA")) return {K::Operation, after(8)};
    if (Starts(c, "rekord")) return {K::Record, after(6)};
    if (Starts(c, kCollection)) return {K::Collection, after(kCollection.size())};
    if (c.find('|') != std::string_view::npos) return {K::IndexText, std::string(c)};
    return {K::Other, std::string(c)};
}

std::vector<ReportItem> ReportItems(std::string_view displayText) {
    std::vector<ReportItem> items;
    for (const std::string& line : SplitDisplayLines(displayText)) {
        for (const MarkupElement& e : ParseMarkupLine(line)) {
            if (e.command != 'B' && e.command != 'I') continue;
            std::string command, content;
            SplitPicture(e.text, e.command == 'B', command, content);
            if (Starts(command, "RAPORT"))
                items.push_back({"Zestawienie \""_cp + NameOf(std::string_view(command).substr(6)) + "\"", command});
            else if (Starts(command, "OPERACJA"))
                items.push_back({"Operacja \""_cp + NameOf(std::string_view(command).substr(8)) + "\"", command});
        }
    }
    return items;
}

std::string CollectionButtonLine(const std::string& identifier) {
    return "\x1B" "B" + std::string(kCollection) + identifier + "||kolekcja.bmp";
}

void SplitRecordCommand(std::string_view argument, std::string& identifier, std::string& index) {
    const std::string_view rest = argument;
    const auto first = rest.find_first_not_of(' ');
    const auto space = first == std::string_view::npos ? std::string_view::npos : rest.find(' ', first);
    identifier = std::string(TrimSpaces(rest.substr(0, space)));
    index = space == std::string_view::npos ? std::string() : std::string(TrimSpaces(rest.substr(space + 1)));
}

}  // namespace velt
