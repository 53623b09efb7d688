#include "reports/ReportDescription.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace velt {
namespace {

constexpr std::size_t kMaxDescriptionMessages = 40;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

std::string MissingWord(std::string_view line) {
    return "Brak oczekiwanego parametru w \"" + std::string(line) + "\"";
}

// The words of a line with every "]" taken out (the section and [REPORT
// lines end with one, which carries nothing).
std::string WithoutBrackets(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line)
        if (c != ']') out += c;
    return out;
}

// Reads an element line's words one after another, noting a missing word
// once per line.
class WordReader {
public:
    WordReader(std::string_view line, std::vector<std::string>& messages)
        : mLine(line), mWords(SplitWords(line)), mMessages(messages) {}

    std::size_t Count() const { return mWords.size(); }
    std::string_view At(std::size_t i) const { return i < mWords.size() ? mWords[i] : std::string_view(); }

    // Word i, or empty with the message when the line has fewer words.
    std::string_view Need(std::size_t i) {
        if (i < mWords.size()) return mWords[i];
        if (!mReported) mMessages.push_back(MissingWord(mLine));
        mReported = true;
        return {};
    }

    double Number(std::size_t i) {
        double v = 0;
        ParseReportNumber(Need(i), v);
        return v;
    }

    ReportCoord Coord(std::size_t i) {
        const std::string_view w = Need(i);
        ReportCoord c;
        if (w == "+") {
            c.last = true;
        } else {
            ParseReportNumber(w, c.value);
        }
        return c;
    }

    bool Has(std::string_view word, std::size_t from) const {
        for (std::size_t i = from; i < mWords.size(); ++i)
            if (mWords[i] == word) return true;
        return false;
    }

private:
    std::string_view mLine;
    std::vector<std::string_view> mWords;
    std::vector<std::string>& mMessages;
    bool mReported = false;
};

ElementPlace PlaceOf(const WordReader& words) {
    // The order of the tests decides when a line has several of them.
    if (words.Has("FIRST", 1)) return ElementPlace::First;
    if (words.Has("LAST", 1)) return ElementPlace::Last;
    if (words.Has("NOFIRST", 1)) return ElementPlace::NoFirst;
    if (words.Has("NOLAST", 1)) return ElementPlace::NoLast;
    if (words.Has("OTHER", 1)) return ElementPlace::Other;
    return ElementPlace::Always;
}

// WHEN and EXCEPT with their expressions, and the condition words: none of
// them is an option of the element.
bool IsConditionWord(std::string_view w) {
    return w == "FIRST" || w == "LAST" || w == "NOFIRST" || w == "NOLAST" || w == "OTHER";
}

void ReadConditions(WordReader& words, ReportElement& e) {
    for (std::size_t i = 1; i < words.Count(); ++i) {
        if (words.At(i) == "WHEN" && !e.hasWhen) {
            e.hasWhen = true;
            e.when = std::string(words.Need(i + 1));
        } else if (words.At(i) == "EXCEPT" && !e.hasExcept) {
            e.hasExcept = true;
            e.except = std::string(words.Need(i + 1));
        }
    }
}

void ReadTextOptions(WordReader& words, ReportElement& e, std::vector<std::string>& messages) {
    bool anchored = false;
    for (std::size_t i = 4; i < words.Count(); ++i) {
        const std::string_view w = words.At(i);
        if (w == "WHEN" || w == "EXCEPT") {
            ++i;
        } else if (IsConditionWord(w)) {
            continue;
        } else if (StartsWith(w, "FONT=")) {
            e.font = std::string(w.substr(5));
            std::replace(e.font.begin(), e.font.end(), '_', ' ');
        } else if (w == "BOLD") {
            e.bold = true;
        } else if (StartsWith(w, "SIZE=")) {
            double size = 0;
            if (ParseReportNumber(w.substr(5), size, kMaxTextSize) && size > 0) e.size = size;
        } else if (w == "LIMIT") {
            e.hasLimit = true;
            e.limit = std::max(0.0, words.Number(i + 1));
            ++i;
        } else if ((w == "RIGHT" || w == "CENTER" || w == "JUST") && !anchored) {
            anchored = true;
            if (w == "RIGHT") {
                e.anchor = TextAnchor::Right;
            } else if (w == "CENTER") {
                e.anchor = TextAnchor::Center;
            } else {
                e.anchor = TextAnchor::Just;
                e.w = std::max(0.0, words.Number(i + 1));
                e.h = std::max(0.0, words.Number(i + 2));
                i += 2;
            }
        }
    }
    (void)messages;
}

void ReadElement(std::string_view line, ReportSection& section, std::vector<std::string>& messages) {
    WordReader words(line, messages);
    if (words.Count() == 0) return;
    const std::string_view key = words.At(0);
    ReportElement e;
    e.line = std::string(line);
    if (key == "BOX") {
        e.kind = ReportElementKind::Box;
        e.x.value = words.Number(1);
        e.y.value = words.Number(2);
        e.w = words.Number(3);
        e.h = words.Number(4);
        e.bold = words.Has("BOLD", 5);
    } else if (key == "V" || key == "H") {
        e.kind = key == "V" ? ReportElementKind::VRule : ReportElementKind::HRule;
        e.x.value = words.Number(1);
        e.y.value = words.Number(2);
        e.w = words.Number(3);
        e.bold = words.Has("BOLD", 4);
    } else if (key == "TEXT") {
        e.kind = ReportElementKind::Text;
        e.expr = std::string(words.Need(1));
        e.x = words.Coord(2);
        e.y = words.Coord(3);
        ReadTextOptions(words, e, messages);
    } else if (key == "BAR") {
        e.kind = ReportElementKind::Bar;
        e.expr = std::string(words.Need(1));
        e.x = words.Coord(2);
        e.y = words.Coord(3);
        e.w = std::max(0.0, words.Number(4));
        e.h = std::max(0.0, words.Number(5));
        for (std::size_t i = 6; i < words.Count(); ++i) {
            if (!StartsWith(words.At(i), "MODE=")) continue;
            e.modeWord = std::string(words.At(i).substr(5));
            double mode = 0;
            // Outside 1..15 the element draws nothing and says why.
            e.mode = ParseReportNumber(e.modeWord, mode, 1000) && mode == std::floor(mode) ? static_cast<int>(mode) : -1;
            if (e.mode == 0) e.mode = -1;
        }
    } else {
        return;  // not an element: a comment or an empty line
    }
    e.place = PlaceOf(words);
    ReadConditions(words, e);
    section.elements.push_back(std::move(e));
}

void ReadReportLine(std::string_view line, ReportDescription& d) {
    d.hasReportLine = true;
    const std::string text = WithoutBrackets(line);
    WordReader words(text, d.messages);
    double width = 0;
    const std::string_view widthWord = words.Need(1);
    if (!ParseReportNumber(widthWord, width) || !(width > 0)) {
        d.refusal = "Błąd opisu zestawienia (szerokość zestawienia musi być liczbą większą od zera)"_cp;
    }
    d.width = width;
    for (std::size_t i = 2; i < words.Count(); ++i) {
        const std::string_view w = words.At(i);
        double mm = 0;
        if (w == "ALIGN=FULL") {
            d.align = ReportAlign::Full;
        } else if (w == "ALIGN=STANDARD") {
            d.align = ReportAlign::Standard;
        } else if (w == "ALIGN=CONST") {
            d.align = ReportAlign::Const;
            double lines = 0;
            const bool number = ParseReportNumber(words.Need(i + 1), lines, kMaxConstLines);
            ++i;
            d.constLines = number && lines >= 1 ? static_cast<int>(lines) : 0;
        } else if (w == "ORIENTATION=LANDSCAPE") {
            d.orientation = 2;
        } else if (w == "ORIENTATION=PORTRAIT") {
            d.orientation = 1;
        } else if (StartsWith(w, "LEFT=")) {
            if (ParseReportNumber(w.substr(5), mm, 1000)) d.left = std::max(0.0, mm / 10);
        } else if (StartsWith(w, "RIGHT=")) {
            if (ParseReportNumber(w.substr(6), mm, 1000)) d.right = std::max(0.0, mm / 10);
        } else if (StartsWith(w, "TOP=")) {
            if (ParseReportNumber(w.substr(4), mm, 1000)) d.top = std::max(0.0, mm / 10);
        } else if (StartsWith(w, "BOTTOM=")) {
            if (ParseReportNumber(w.substr(7), mm, 1000)) d.bottom = std::max(0.0, mm / 10);
        }
    }
    if (d.refusal.empty() && d.align == ReportAlign::Const && d.constLines < 1) {
        d.refusal = "Błąd opisu zestawienia (ALIGN=CONST wymaga liczby wierszy na stronie większej od zera)"_cp;
    }
}

int SectionOf(std::string_view line) {
    if (StartsWith(line, "[HEADER")) return 0;
    if (StartsWith(line, "[LINE")) return 1;
    if (StartsWith(line, "[FOOTER")) return 2;
    return -1;
}

}  // namespace

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool ParseReportNumber(std::string_view word, double& value, double bound) {
    if (word.empty()) return false;
    std::string_view digits = word;
    if (digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty() || (digits.front() != '-' && digits.front() != '.' &&
                           (digits.front() < '0' || digits.front() > '9')))
        return false;
    // Only plain decimals: no exponents, no "inf" or "nan".
    for (char c : digits.substr(1))
        if ((c < '0' || c > '9') && c != '.') return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v,
                                           std::chars_format::fixed);
    if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(v)) return false;
    value = std::clamp(v, -bound, bound);
    return true;
}

ReportDescription ReadReportDescription(const std::vector<std::string>& allLines) {
    ReportDescription d;
    const std::size_t count = std::min(allLines.size(), kMaxDescriptionLines);
    std::size_t i = 0;
    auto lineAt = [&](std::size_t k) {
        std::string_view l = allLines[k];
        if (l.size() > kMaxDescriptionLineBytes) l = l.substr(0, kMaxDescriptionLineBytes);
        while (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.remove_suffix(1);
        return l;
    };
    if (i < count && StartsWith(lineAt(i), "[REPORT")) {
        ReadReportLine(lineAt(i), d);
        ++i;
    } else {
        d.refusal = "Błąd opisu zestawienia (brak wiersza [REPORT z szerokością zestawienia)"_cp;
    }
    bool ended = false;
    int next = 0;  // the sections come in their order, each at most once
    while (i < count) {
        const std::string_view line = lineAt(i);
        if (!StartsWith(line, "[")) {
            ++i;  // nothing stands between the sections
            continue;
        }
        const int kind = SectionOf(line);
        if (kind < next) {
            ended = StartsWith(line, "[END");
            break;
        }
        next = kind + 1;
        ReportSection& section = d.sections[kind];
        section.present = true;
        const std::string head = WithoutBrackets(line);
        WordReader words(head, d.messages);
        double height = 0;
        ParseReportNumber(words.Need(1), height);
        section.height = std::max(0.0, height);
        ++i;
        for (; i < count && !StartsWith(lineAt(i), "["); ++i) {
            if (kind == 1) d.lineSectionText.emplace_back(lineAt(i));
            ReadElement(lineAt(i), section, d.messages);
        }
    }
    // A long description of faulty lines says so a few times, not for every line.
    if (d.messages.size() > kMaxDescriptionMessages) d.messages.resize(kMaxDescriptionMessages);
    if (!ended) d.messages.push_back("Błąd opisu zestawienia (spodziewane [END])"_cp);
    return d;
}

}  // namespace velt
