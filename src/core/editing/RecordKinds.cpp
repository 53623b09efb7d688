#include "editing/RecordKinds.h"

#include "net/TVeltClient.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/converter.h"

namespace velt {

std::vector<std::pair<std::string, std::string>> ParseKindList(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& [code, caption] : PipePairs(text, PipeEnd::Closed, RecordKinds::kMaxKinds))
        pairs.emplace_back(code, caption);
    return pairs;
}

std::vector<std::pair<std::string, std::string>> ServerKindList(const TVeltClient& session) {
    std::string list = session.Parameter("formularze");
    if (list.empty()) list = session.Parameter("rekordy");
    return ParseKindList(list);
}

std::string ServerScriptLines(std::string_view text, std::vector<std::string>& skipped) {
    std::string out;
    out.reserve(text.size() + 1);
    // Lines end with CR (as the server sends them), LF or CR LF: the loader
    // takes each of them as a line end, so each is one here too.
    std::size_t at = 0;
    for (;;) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.size() >= 7 && trimmed.substr(0, 6) == "[PLIK " && trimmed.back() == ']') {
            skipped.emplace_back(TrimBlanks(trimmed.substr(6, trimmed.size() - 7)));
            line = {};  // the line stays, so line numbers in messages still fit
        }
        out.append(line);
        out.push_back('\n');
        if (end == text.size()) break;
        at = end + 1;
        if (text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
        if (at == text.size()) break;  // the last line had its end
    }
    return out;
}

bool RecordKinds::SameCode(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperTable.Compare(a, b) == 0;
}

const RecordKind* RecordKinds::Find(std::string_view code) const {
    for (const auto& k : mKinds)
        if (SameCode(k->code, code)) return k.get();
    return nullptr;
}

}  // namespace velt
