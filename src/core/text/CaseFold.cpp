#include "text/CaseFold.h"

#include "text/Cp1250.h"

#include <array>

namespace velt {

std::string UpperCase(std::string_view text) {
    // Built from the code page: every small letter whose capital the code
    // page also holds.
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
        for (int b = 'a'; b <= 'z'; ++b) t[b] = static_cast<unsigned char>(b - 32);
        const char16_t pairs[][2] = {{0x0105, 0x0104}, {0x0107, 0x0106}, {0x0119, 0x0118}, {0x0142, 0x0141},
                                     {0x0144, 0x0143}, {0x00F3, 0x00D3}, {0x015B, 0x015A}, {0x017A, 0x0179},
                                     {0x017C, 0x017B}};
        for (const auto& p : pairs) t[UnicodeToCp1250(p[0])] = static_cast<unsigned char>(UnicodeToCp1250(p[1]));
        return t;
    }();
    std::string out(text);
    for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace velt
