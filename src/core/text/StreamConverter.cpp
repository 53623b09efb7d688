#include "text/StreamConverter.h"

#include "text/Utf8.h"
#include "text/ala.h"

#include <cstring>

namespace velt {

std::size_t StreamConverter::IncompleteTail(std::string_view text, StreamInput input) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    switch (input) {
        case StreamInput::Utf8: {
            // The last lead byte within reach, and whether its sequence fits.
            for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
                const unsigned char b = s[n - back];
                if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
                const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
                return need > back ? back : 0;
            }
            return 0;
        }
        case StreamInput::Cp1250: {
            // Escapes are read left to right, ESC "U" and any five bytes
            // after it, so one may swallow the ESC of the next: follow them
            // as the converter does and hold back the one the end cuts.
            std::size_t i = 0;
            while (i < n) {
                const void* esc = std::memchr(text.data() + i, kEscapeStart, n - i);
                if (!esc) return 0;
                const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(esc) - text.data());
                if (p + 1 < n && text[p + 1] != 'U') {
                    i = p + 1;
                } else if (p + kEscapeLength <= n) {
                    i = p + kEscapeLength;
                } else {
                    return n - p;
                }
            }
            return 0;
        }
        case StreamInput::Marc8: {
            // Combining marks come before their letter.
            std::size_t back = 0;
            while (back < n && Marc8CombiningMark(s[n - 1 - back]) != 0) ++back;
            return back;
        }
    }
    return 0;
}

std::string StreamConverter::Feed(std::string_view block) {
    std::string_view text = block;
    if (!mHeld.empty()) {
        mHeld.append(block);
        text = mHeld;
    }
    const std::size_t tail = IncompleteTail(text, mInput);
    std::string out = mConverter.Convert(text.substr(0, text.size() - tail));
    std::string rest(text.substr(text.size() - tail));
    mHeld = std::move(rest);
    return out;
}

std::string StreamConverter::Finish() {
    std::string out = mConverter.Convert(mHeld);
    mHeld.clear();
    return out;
}

}  // namespace velt
