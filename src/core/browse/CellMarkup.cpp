#include "browse/CellMarkup.h"

#include "text/PipeList.h"

namespace velt {

namespace {

constexpr char kEsc = 27;
constexpr char kSub = 26;

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// ESC "U" hhhh SUB at line[at]: a character, not a command.
bool IsCharacterEscape(std::string_view line, std::size_t at) {
    return at + 7 <= line.size() && line[at] == kEsc && line[at + 1] == 'U' && IsHex(line[at + 2]) &&
           IsHex(line[at + 3]) && IsHex(line[at + 4]) && IsHex(line[at + 5]) && line[at + 6] == kSub;
}

}  // namespace

std::vector<MarkupElement> ParseMarkupLine(std::string_view line) {
    std::vector<MarkupElement> out;
    out.reserve(8);
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] != kEsc || IsCharacterEscape(line, i)) {
            // Text up to the next ESC that begins a command.
            std::size_t end = i;
            while (end < line.size()) {
                if (line[end] == kEsc) {
                    if (!IsCharacterEscape(line, end)) break;
                    end += 7;
                    continue;
                }
                ++end;
            }
            out.push_back({0, line.substr(i, end - i)});
            i = end;
            continue;
        }
        if (i + 1 >= line.size()) break;  // a lone ESC at the end names nothing
        const char command = line[i + 1];
        const auto sub = line.find(kSub, i + 2);
        const auto end = sub == std::string_view::npos ? line.size() : sub;
        out.push_back({command, line.substr(i + 2, end - i - 2)});
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
    const PipeSplit parts = SplitAtPipe(argument);
    text = std::string(parts.parted ? parts.tail : argument);
}

void SplitPicture(std::string_view argument, bool withCommand, std::string& command, std::string& content) {
    const auto dbl = argument.find("||");
    if (dbl != std::string_view::npos) {
        command = std::string(argument.substr(0, dbl));
        content = std::string(argument.substr(dbl + 2));
        return;
    }
    command = withCommand ? std::string(argument) : std::string();
    content = std::string(argument);
}

bool ParseMarkupColour(std::string_view argument, std::uint32_t& colour) {
    if (argument.empty()) return false;
    if (argument[0] == '$') {
        if (argument.size() < 2 || argument.size() > 9) return false;
        std::uint32_t v = 0;
        for (const char c : argument.substr(1)) {
            if (!IsHex(c)) return false;
            v = v * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        colour = v & 0xFFFFFF;
        return true;
    }
    switch (argument[0]) {
        case '0': colour = 0x000000; return true;
        case 'B': colour = 0xFF0000; return true;
        case 'G': colour = 0x008000; return true;
        case 'L': colour = 0x00FF00; return true;
        case 'R': colour = 0x0000FF; return true;
        case 'Y': colour = 0x00FFFF; return true;
        default: return false;
    }
}

std::string DecodeCarriedPicture(std::string_view argument) {
    std::string out;
    out.reserve(argument.size());
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != kEsc) {
            out.push_back(argument[i]);
            continue;
        }
        if (++i >= argument.size()) break;
        switch (argument[i]) {
            case 1: out.push_back('\0'); break;
            case 2: out.push_back(kSub); break;
            case 3: out.push_back(kEsc); break;
            case 4: out.push_back('\r'); break;
            case 5: out.push_back('|'); break;
            default: out.push_back(argument[i]); break;
        }
    }
    return out;
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

std::string NeutraliseMarkup(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == kEsc && IsCharacterEscape(out, i)) {
            i += 6;
            continue;
        }
        if (out[i] == kEsc || out[i] == kSub) out[i] = ' ';
    }
    return out;
}

}  // namespace velt
