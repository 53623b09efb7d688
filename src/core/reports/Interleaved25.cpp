#include "reports/Interleaved25.h"

#include "reports/my_report.h"
#include "text/CpLiteral.h"

namespace velt {
namespace {

// Wide elements of the digits 0 to 9, five each.
constexpr const char* kPatterns[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                       "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

// The longest text drawn; a longer one is refused like a text of letters.
constexpr std::size_t kMaxDigits = 4096;

void Push(std::vector<bool>& modules, bool bar, int count) { modules.insert(modules.end(), count, bar); }

}  // namespace

std::vector<bool> Interleaved25Modules(std::string_view text) {
    std::vector<bool> modules;
    if (text.empty()) return modules;
    std::string digits(text);
    if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
    Push(modules, true, 2);
    Push(modules, false, 3);
    Push(modules, true, 2);
    Push(modules, false, 3);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const char* bars = kPatterns[digits[i] - '0'];
        const char* spaces = kPatterns[digits[i + 1] - '0'];
        for (int k = 0; k < 5; ++k) {
            Push(modules, true, bars[k] == 'w' ? 6 : 2);
            Push(modules, false, spaces[k] == 'w' ? 7 : 3);
        }
    }
    Push(modules, true, 6);
    Push(modules, false, 3);
    Push(modules, true, 2);
    return modules;
}

std::string DrawInterleaved25(ReportCanvas& canvas, std::string_view digits, int x, int y, int w, int h) {
    if (digits.empty()) return {};
    if (digits.size() > kMaxDigits || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return "Kod kreskowy 2 z 5 może zawierać tylko cyfry: \""_cp + std::string(digits.substr(0, 64)) + "\"";
    const std::vector<bool> modules = Interleaved25Modules(digits);
    const double m = static_cast<double>(w) / static_cast<double>(modules.size());
    std::size_t k = 0;
    while (k < modules.size()) {
        std::size_t end = k;
        while (end < modules.size() && modules[end] == modules[k]) ++end;
        if (modules[k]) {
            const int left = x + RoundPixels(static_cast<double>(k) * m);
            const int right = x + RoundPixels(static_cast<double>(end) * m);
            canvas.FillRect({left, y, right, y + h}, kCanvasBlack);
        }
        k = end;
    }
    return {};
}

}  // namespace velt
