// The pair text of parameter forms, both ways.

#include "params/PairText.h"

#include "text/PipeList.h"
#include "text/my_record.h"

namespace velt {

namespace {

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1B' && i + 1 < text.size() && text[i + 1] == '1') {
            out.push_back('|');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

std::vector<ParameterPair> ReadPairs(std::string_view text) {
    std::vector<ParameterPair> pairs;
    for (const auto& [name, value] : PipePairs(text, PipeEnd::Open)) pairs.emplace_back(Unescape(name), Unescape(value));
    return pairs;
}

std::string EscapePairText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '|') out += kPairEscape;
        else out.push_back(c);
    }
    return out;
}

std::string JoinPairs(const std::vector<ParameterPair>& pairs) {
    std::string out;
    for (const auto& [name, value] : pairs) out += EscapePairText(name) + "|" + EscapePairText(value) + "|";
    return out;
}

bool CarriesEscapeOne(std::string_view text) { return text.find(kPairEscape) != std::string_view::npos; }

void FillRecord(my_record& record, std::string_view pairs) {
    for (auto& [name, value] : ReadPairs(pairs))
        if (!name.empty()) record.SetValue(std::move(name), std::move(value));
}

std::string RecordPairs(const my_record& record) {
    std::string out;
    for (const my_field& f : record.fields()) out += EscapePairText(f.key) + "|" + EscapePairText(f.value) + "|";
    return out.empty() ? std::string("||") : out;
}

std::string MergePairs(std::string_view remembered, std::string_view given) {
    std::vector<ParameterPair> merged = ReadPairs(remembered);
    for (auto& pair : ReadPairs(given)) {
        bool replaced = false;
        for (auto& old : merged) {
            if (old.first != pair.first) continue;
            old.second = std::move(pair.second);
            replaced = true;
            break;
        }
        if (!replaced) merged.push_back(std::move(pair));
    }
    return JoinPairs(merged);
}

}  // namespace velt
