// Value conversions of the field editors and the operands' little languages.

#include "forms/FormConversions.h"

#include "forms/FormExpression.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"

#include <algorithm>
#include <charconv>

namespace velt {
namespace {

constexpr char kEsc = 27;
constexpr char kSub = 26;

// s[from, from + n) cut to what s holds.
std::string_view Part(std::string_view s, std::size_t from, std::size_t n) {
    if (from >= s.size()) return {};
    return s.substr(from, n);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string WithoutSpaces(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string PadLeft(std::string s, std::size_t width, char fill = ' ') {
    if (s.size() < width) s.insert(0, width - s.size(), fill);
    return s;
}

std::string PadRight(std::string s, std::size_t width, char fill = ' ') {
    if (s.size() < width) s.append(width - s.size(), fill);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

ComboListError ParseComboList(std::string_view list, std::vector<std::string>& values,
                              std::vector<std::string>& labels) {
    values.clear();
    labels.clear();
    if (list.empty()) {
        values.emplace_back();
        labels.emplace_back("*");
        return ComboListError::Empty;
    }
    PipeReader reader(list);
    std::string_view value, label;
    bool valueClosed = false, labelClosed = false;
    while (reader.Next(value, &valueClosed)) {
        values.emplace_back(value);
        if (!valueClosed || !reader.Next(label, &labelClosed) || !labelClosed) {
            labels.emplace_back("*");
            return ComboListError::Unclosed;
        }
        labels.emplace_back(label.empty() ? std::string_view("*") : label);
    }
    return ComboListError::None;
}

std::string DateToDisplay(std::string_view stored) {
    std::string out;
    out += Part(stored, 6, 2);
    out += Part(stored, 4, 2);
    out += Part(stored, 0, 4);
    return out;
}

std::string DateToStore(std::string_view text) {
    const std::string_view t = TrimRight(text);
    if (t.empty()) return {};
    const std::string padded = PadRight(std::string(t), 8);
    const std::string_view p = padded;
    std::string out;
    out += p.substr(4, 4);
    out += p.substr(2, 2);
    out += p.substr(0, 2);
    return out;
}

std::string DateError(std::string_view stored) {
    if (stored.empty()) return {};
    if (stored.size() != 8 || stored.find(' ') != std::string_view::npos)
        return "Data powinna mieć postać DD.MM.RRRR"_cp;
    const std::string shown =
        std::string(stored.substr(6, 2)) + "." + std::string(stored.substr(4, 2)) + "." + std::string(stored.substr(0, 4));
    bool valid = std::all_of(stored.begin(), stored.end(), IsDigit);
    if (valid) {
        const int year = std::stoi(std::string(stored.substr(0, 4)));
        const int month = std::stoi(std::string(stored.substr(4, 2)));
        const int day = std::stoi(std::string(stored.substr(6, 2)));
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        valid = year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
                day <= kDays[month - 1] + ((month == 2 && leap) ? 1 : 0);
    }
    if (valid) return {};
    return "Błędna data \""_cp + shown + "\"";
}

std::string NumberMask(int width, int decimals) {
    std::string mask;
    if (decimals <= 0) {
        mask.assign(static_cast<std::size_t>(std::max(width, 1)), '9');
    } else {
        mask.assign(static_cast<std::size_t>(std::max(width - decimals - 1, 0)), '9');
        mask += ',';
        mask.append(static_cast<std::size_t>(decimals), '9');
    }
    return mask + ";0; ";
}

std::string NumberToDisplay(std::string_view stored, int width, int decimals, char separator) {
    if (stored.find_first_not_of(' ') == std::string_view::npos) return {};
    std::string out = PadLeft(std::string(stored), static_cast<std::size_t>(std::max(width, 0)));
    if (decimals > 0) std::erase(out, separator);
    return out;
}

std::string NumberToStore(std::string_view text, int width, int decimals, char separator) {
    const std::string_view t = TrimRight(text);
    if (t.empty()) return {};
    if (decimals <= 0) return PadLeft(WithoutSpaces(t), static_cast<std::size_t>(std::max(width, 0)));
    const std::size_t whole = static_cast<std::size_t>(std::max(width - decimals - 1, 0));
    std::string integer, fraction;
    if (t.size() > whole) {
        integer = WithoutSpaces(t.substr(0, whole));
        fraction = WithoutSpaces(Part(t, whole, static_cast<std::size_t>(decimals)));
    } else {
        integer = WithoutSpaces(t);
    }
    return PadLeft(integer, whole) + separator + PadRight(fraction, static_cast<std::size_t>(decimals), '0');
}

std::optional<int> ParseSpinValue(std::string_view text) {
    const auto b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return std::nullopt;
    text = TrimRight(text.substr(b));
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int ClampSpin(int value, int minimum, int maximum) {
    if (minimum == maximum) return value;
    return std::clamp(value, std::min(minimum, maximum), std::max(minimum, maximum));
}

int SpinShownValue(std::string_view stored, int minimum, int maximum, bool creation) {
    int value;
    if (const auto parsed = ParseSpinValue(stored)) {
        value = *parsed;
    } else if (creation) {
        value = (minimum >= 0 || maximum < 0) ? minimum : 0;
    } else {
        value = minimum;
    }
    return ClampSpin(value, minimum, maximum);
}

std::string SpinStored(int value, int width) {
    return PadLeft(std::to_string(value), static_cast<std::size_t>(std::max(width, 0)));
}

std::string MemoToDisplay(std::string_view stored, bool multiline) {
    if (!multiline) return std::string(stored);
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == kEsc && i + 1 < stored.size() && stored[i + 1] == '/') {
            out += "\r\n";
            ++i;
        } else {
            out.push_back(stored[i]);
        }
    }
    return out;
}

namespace {

// The length of the escape at text[i] (ESC ... SUB within 64 characters and
// without other control characters, else ESC and the one character after it);
// 0 when ESC ends the text or is followed by a control character.
std::size_t EscapeLength(std::string_view text, std::size_t i) {
    for (std::size_t j = i + 1; j < text.size() && j < i + 64; ++j) {
        const auto c = static_cast<unsigned char>(text[j]);
        if (c == kSub) return j - i + 1;
        if (c < 32) break;
    }
    if (i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 32) return 2;
    return 0;
}

}  // namespace

std::string MemoToStore(std::string_view text, bool multiline) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (multiline) {
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out.push_back(kEsc);
                out.push_back('/');
            } else {
                out.push_back(c);
            }
            continue;
        }
        if (c == kEsc) {
            if (const std::size_t n = EscapeLength(text, i)) {
                out.append(text.substr(i, n));
                i += n - 1;
            }
            continue;
        }
        if (static_cast<unsigned char>(c) >= 32) out.push_back(c);
    }
    return out;
}

std::string PastedAsOneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<TextRun> FormatTextLines(const std::vector<std::string>& lines) {
    std::vector<TextRun> runs;
    std::uint32_t color = 0;
    bool bold = true, italic = false, newLine = false, first = true;
    for (const std::string& line : lines) {
        std::size_t i = 0;
        while (i < line.size()) {
            if (line[i] == kEsc) {
                const auto end = line.find(kSub, i + 1);
                const std::string_view command =
                    std::string_view(line).substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
                i = end == std::string::npos ? line.size() : end + 1;
                if (command.empty()) continue;
                if (command[0] == '/') {
                    newLine = true;
                } else if (command[0] == 'C' && command.size() > 1) {
                    switch (command[1]) {
                    case 'B': color = 0x0000FF; break;
                    case 'G': color = 0x008000; break;
                    case 'L': color = 0x00FF00; break;
                    case 'R': color = 0xFF0000; break;
                    case 'Y': color = 0xFFFF00; break;
                    case '$': {
                        // The platform's order: 0xBBGGRR.
                        std::uint64_t v = 0;
                        const std::string_view hex = command.substr(2);
                        bool ok = !hex.empty() && hex.size() <= 8;
                        for (char h : hex) {
                            if (HexValue(h) < 0) ok = false;
                            else v = v * 16 + static_cast<std::uint64_t>(HexValue(h));
                        }
                        if (!ok || v > 0xFFFFFF) {
                            color = 0;
                        } else {
                            color = static_cast<std::uint32_t>(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
                        }
                        break;
                    }
                    default: color = 0; break;
                    }
                } else if (command[0] == 'S') {
                    const std::string_view letters = command.substr(1);
                    bold = letters.find('B') != std::string_view::npos;
                    italic = letters.find('I') != std::string_view::npos;
                }
                continue;
            }
            auto end = line.find(kEsc, i);
            if (end == std::string::npos) end = line.size();
            const std::string piece = line.substr(i, end - i);
            i = end;
            if (piece.empty()) continue;
            runs.push_back({first ? piece : " " + piece, newLine, color, bold, italic});
            first = false;
            newLine = false;
        }
    }
    if (newLine) runs.push_back({std::string(), true, color, bold, italic});
    return runs;
}

std::string PlainTextOf(const std::vector<TextRun>& runs) {
    std::string out;
    for (const auto& r : runs) {
        if (r.newLine) out += "\r\n";
        out += r.text;
    }
    return out;
}

namespace {

constexpr int kMaxMenuDepth = 16;

struct MenuReader {
    PipeReader pieces;
    std::vector<std::string>& ids;

    bool Pair(std::string& id, std::string& caption) {
        std::string_view piece;
        bool closed = false;
        if (!pieces.Next(piece, &closed) || !closed) return false;
        id.assign(piece);
        caption.assign(pieces.Take());
        return true;
    }

    std::vector<MenuEntry> Read(int depth) {
        std::vector<MenuEntry> entries;
        std::string id, caption;
        while (Pair(id, caption)) {
            if (caption.empty()) break;
            if (!id.empty()) {
                entries.push_back({caption, static_cast<int>(ids.size()), {}});
                ids.push_back(id);
            } else if (depth < kMaxMenuDepth) {
                MenuEntry sub{caption, -1, {}};
                sub.entries = Read(depth + 1);
                entries.push_back(std::move(sub));
            }
        }
        return entries;
    }
};

}  // namespace

std::vector<MenuEntry> ParseMenuSpec(std::string_view spec, std::vector<std::string>& itemIds) {
    itemIds.clear();
    MenuReader reader{PipeReader(spec), itemIds};
    return reader.Read(0);
}

MarkerSpec ParseMarkerSpec(std::string_view spec) {
    MarkerSpec out;
    const std::vector<std::string_view> items = SplitPipeList(spec);
    if (items.empty() || items[0].empty()) return out;
    out.markerChar = items[0][0];
    for (std::size_t i = 1; i < items.size(); i += 2) {
        const std::string_view code = items[i];
        if (code.empty()) break;
        TSequence m;
        m.code = code[0];
        m.display.assign(1, code[0]);
        m.description = i + 1 < items.size() ? std::string(items[i + 1]) : std::string();
        m.repeatable = code.size() > 1;
        if (m.repeatable) m.description += "*";
        out.markers.push_back(std::move(m));
    }
    return out;
}

int ZoomedFontHeight(int height, double zoom) { return RoundHalfEven(height * zoom); }

FontSpec MaskFont(std::string_view setting, double zoom, int baseFontHeight) {
    FontSpec font;
    font.height = ZoomedFontHeight(baseFontHeight, zoom);
    font.bold = true;
    if (setting.empty()) return font;
    const auto first = setting.find('/');
    const std::string_view face = setting.substr(0, first);
    std::string_view height, style;
    if (first != std::string_view::npos) {
        const auto second = setting.find('/', first + 1);
        height = setting.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
        if (second != std::string_view::npos) style = setting.substr(second + 1);
    }
    if (!face.empty()) font.face = std::string(face);
    if (!height.empty()) {
        if (const auto h = ParseSpinValue(height)) font.height = ZoomedFontHeight(*h, zoom);
    }
    font.bold = style.find('B') != std::string_view::npos;
    return font;
}

}  // namespace velt
