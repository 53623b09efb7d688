#include "reports/FormattedText.h"

#include <algorithm>

namespace velt {
namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// An optional minus and decimal digits after blanks, from at; at moves past
// it. A number without digits is 0; its value is bounded.
int ReadNumber(const std::string& s, std::size_t& at) {
    while (at < s.size() && s[at] == ' ') ++at;
    bool negative = false;
    if (at < s.size() && s[at] == '-') {
        negative = true;
        ++at;
    }
    long long v = 0;
    while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
        v = std::min<long long>(v * 10 + (s[at] - '0'), kMaxParagraphIndent);
        ++at;
    }
    return static_cast<int>(negative ? -v : v);
}

}  // namespace

std::string FormattedParagraph::Text() const {
    std::string text;
    for (const FormattedRun& r : runs) text += r.text;
    return text;
}

std::vector<FormattedParagraph> ReadFormattedText(const std::vector<std::string>& lines) {
    std::vector<FormattedParagraph> out;
    FormattedRun format;
    bool anyText = false;
    bool paragraphStart = true;
    auto add = [&](const std::string& text) {
        if (out.empty()) out.emplace_back();
        std::vector<FormattedRun>& runs = out.back().runs;
        if (!runs.empty() && runs.back().bold == format.bold && runs.back().italic == format.italic &&
            runs.back().points == format.points) {
            runs.back().text += text;
        } else {
            FormattedRun run = format;
            run.text = text;
            runs.push_back(std::move(run));
        }
        anyText = true;
    };
    for (const std::string& line : lines) {
        if (StartsWith(line, "[PARAGRAF")) {
            if (anyText) out.emplace_back();  // the empty line between paragraphs
            FormattedParagraph p;
            std::size_t at = std::min<std::size_t>(9, line.size());
            p.firstIndent = ReadNumber(line, at);
            p.leftIndent = ReadNumber(line, at);
            p.rightIndent = ReadNumber(line, at);
            out.push_back(std::move(p));
            paragraphStart = true;
        } else if (StartsWith(line, "[CZCIONKA")) {
            if (line.find("+B") != std::string::npos) format.bold = true;
            if (line.find("-B") != std::string::npos) format.bold = false;
            if (line.find("+I") != std::string::npos) format.italic = true;
            if (line.find("-I") != std::string::npos) format.italic = false;
            long long size = 0;
            bool digits = false;
            for (char c : line)
                if (c >= '0' && c <= '9') {
                    size = std::min<long long>(size * 10 + (c - '0'), 1000000);
                    digits = true;
                }
            // A size from the server is kept within what a window shows.
            if (digits && size > 0) format.points = static_cast<int>(std::clamp<long long>(size, kMinFontPoints, kMaxFontPoints));
        } else if (paragraphStart) {
            add(line);
            paragraphStart = false;
        } else if (!line.empty() && line[0] == '\b') {
            add(line.substr(1));
        } else {
            add(" " + line);
        }
    }
    return out;
}

}  // namespace velt
