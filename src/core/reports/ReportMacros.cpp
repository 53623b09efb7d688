#include "reports/ReportMacros.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace velt {
namespace {

constexpr char kEsc = 27;
// The messages a report keeps; a report of many lines repeats the same one.
constexpr std::size_t kMaxMessages = 50;

bool EndsItem(char c) { return c == '#' || c == '%' || c == '&'; }

std::string Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == kEsc && i + 1 < value.size() && value[i + 1] == '1') {
            out += '&';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

void AddMessage(std::vector<std::string>* messages, std::string text) {
    if (messages == nullptr || messages->size() >= kMaxMessages) return;
    if (std::find(messages->begin(), messages->end(), text) == messages->end()) messages->push_back(std::move(text));
}

}  // namespace

std::string DataField(std::string_view line, std::string_view name) {
    std::size_t i = line.find('&');
    while (i != std::string_view::npos) {
        const std::size_t next = line.find('&', i + 1);
        const std::string_view field = line.substr(i + 1, next == std::string_view::npos ? next : next - i - 1);
        const std::size_t eq = field.find('=');
        if (eq != std::string_view::npos && field.substr(0, eq) == name) return Unescape(field.substr(eq + 1));
        i = next;
    }
    return {};
}

void SetMacroClock(MacroContext& context) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    context.date = buf;
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    context.time = buf;
}

std::string ExpandMacro(std::string_view expr, std::string_view line, const MacroContext& context,
                        std::vector<std::string>* messages) {
    std::string out;
    std::size_t i = 0;
    while (i < expr.size() && out.size() < kMaxExpandedText) {
        const char c = expr[i];
        if (c == '#' || c == '&') {
            std::size_t end = i + 1;
            while (end < expr.size() && !EndsItem(expr[end])) ++end;
            const std::string_view body = expr.substr(i + 1, end - i - 1);
            if (c == '#') {
                for (char b : body) out += b == '_' ? ' ' : b;
            } else {
                out += DataField(line, body);
            }
            i = end;
        } else if (c == '%' && i + 1 < expr.size() &&
                   std::string_view("%DTP012").find(expr[i + 1]) != std::string_view::npos) {
            switch (expr[i + 1]) {
                case '%': out += '%'; break;
                case 'D': out += context.date; break;
                case 'T': out += context.time; break;
                case 'P': out += std::to_string(context.page); break;
                case '0': out += context.libraryName; break;
                case '1': out += context.label1; break;
                default: out += context.label2; break;
            }
            i += 2;
        } else {
            AddMessage(messages, "Błędne makrowyrażenie: "_cp + std::string(expr.substr(i)));
            break;
        }
    }
    if (out.size() > kMaxExpandedText) out.resize(kMaxExpandedText);
    return out;
}

std::vector<std::string> MacroFieldNames(std::string_view expr) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < expr.size(); ++i) {
        if (expr[i] != '&') continue;
        std::size_t end = i + 1;
        while (end < expr.size() && !EndsItem(expr[end])) ++end;
        names.emplace_back(expr.substr(i + 1, end - i - 1));
        i = end - 1;
    }
    return names;
}

}  // namespace velt
