#include "browse/CellMarkup.h"

namespace velt {

namespace {
constexpr char kEsc = 27;
constexpr char kSub = 26;
}  // namespace

std::vector<MarkupElement> ParseMarkupLine(std::string_view line) {
    std::vector<MarkupElement> out;
    std::size_t i = 0;
    while (i < line.size()) {
        const auto esc = line.find(kEsc, i);
        if (esc != i) {
            const auto end = esc == std::string_view::npos ? line.size() : esc;
            out.push_back({0, std::string(line.substr(i, end - i))});
            i = end;
            continue;
        }
        if (esc + 1 >= line.size()) break;  // a lone ESC at the end names nothing
        const char command = line[esc + 1];
        const auto sub = line.find(kSub, esc + 2);
        const auto end = sub == std::string_view::npos ? line.size() : sub;
        out.push_back({command, std::string(line.substr(esc + 2, end - esc - 2))});
        i = sub == std::string_view::npos ? line.size() : sub + 1;
    }
    return out;
}

void SplitLink(std::string_view argument, std::string& command, std::string& text) {
    const auto dbl = argument.find("||");
    if (dbl != std::string_view::npos) {
        command = std::string(argument.substr(0, dbl));
        text = std::string(argument.substr(dbl + 2));
        return;
    }
    command = std::string(argument);
    const auto bar = argument.find('|');
    text = std::string(bar == std::string_view::npos ? argument : argument.substr(bar + 1));
}

std::string MarkupPlainText(std::string_view line) {
    std::string out;
    for (const auto& e : ParseMarkupLine(line)) {
        if (e.command == 0) {
            out += e.text;
        } else if (e.command == 'L') {
            std::string command, text;
            SplitLink(e.text, command, text);
            out += text;
        } else if (e.command == '/') {
            out += ' ';
        }
    }
    return out;
}

std::vector<std::string> SplitDisplayLines(std::string_view text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    std::size_t from = 0;
    for (;;) {
        const auto cr = text.find('\r', from);
        out.emplace_back(text.substr(from, cr == std::string_view::npos ? std::string_view::npos : cr - from));
        if (cr == std::string_view::npos) break;
        from = cr + 1;
        if (from < text.size() && text[from] == '\n') ++from;
        if (from >= text.size()) break;
    }
    return out;
}

}  // namespace velt
