#include "text/PipeList.h"

namespace velt {

bool PipeReader::Next(std::string_view& piece, bool* closed) {
    if (AtEnd()) {
        piece = {};
        if (closed) *closed = false;
        return false;
    }
    const auto bar = mText.find('|', mAt);
    const std::size_t end = bar == std::string_view::npos ? mText.size() : bar;
    piece = mText.substr(mAt, end - mAt);
    if (closed) *closed = bar != std::string_view::npos;
    mAt = bar == std::string_view::npos ? mText.size() : bar + 1;
    return true;
}

std::string_view PipeReader::Take() {
    std::string_view piece;
    Next(piece);
    return piece;
}

std::vector<std::string_view> SplitPipeList(std::string_view text) {
    std::vector<std::string_view> pieces;
    PipeReader reader(text);
    for (std::string_view piece; reader.Next(piece);) pieces.push_back(piece);
    return pieces;
}

std::vector<std::pair<std::string_view, std::string_view>> PipePairs(std::string_view text, PipeEnd end,
                                                                     std::size_t max) {
    std::vector<std::pair<std::string_view, std::string_view>> pairs;
    PipeReader reader(text);
    std::string_view name, value;
    bool nameClosed = false, valueClosed = false;
    while (pairs.size() < max && reader.Next(name, &nameClosed) && nameClosed) {
        reader.Next(value, &valueClosed);
        if (!valueClosed && end == PipeEnd::Closed) break;
        pairs.emplace_back(name, value);
    }
    return pairs;
}

PipeSplit SplitAtPipe(std::string_view text) {
    const auto bar = text.find('|');
    if (bar == std::string_view::npos) return {text, {}, false};
    return {text.substr(0, bar), text.substr(bar + 1), true};
}

}  // namespace velt
