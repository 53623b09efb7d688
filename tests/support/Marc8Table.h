#pragma once
// The MARC-8 sequences the client reads, and how standard MARC-8 (read by
// yaz-iconv) differs from the client's reading for a few of them: shared by
// the converter tests and the velt-cli tests.

#include "support/Hex.h"
#include "support/Tool.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace velt::test {

// Every sequence the converter reads, as MARC-8 bytes and the UTF-8 text of
// the Windows-1250 letter it gives.
struct Sequence {
    std::string marc;
    std::string letter;
};

inline std::vector<Sequence> AllSequences() {
    std::vector<Sequence> all = {
        {"\xA1", "Ł"}, {"\xA3", "Đ"}, {"\xA8", "˙"}, {"\xB1", "ł"}, {"\xB3", "€"}, {"\xC7", "ß"},
    };
    struct Marked {
        char mark;
        std::string bases;
        std::vector<std::string> letters;
    } marked[] = {
        {'\xE2', "ACEILNORSUYZaceilnorsuyz",
         {"Á", "Ć", "É", "Í", "Ĺ", "Ń", "Ó", "Ŕ", "Ś", "Ú", "Ý", "Ź",
          "á", "ć", "é", "í", "ĺ", "ń", "ó", "ŕ", "ś", "ú", "ý", "ź"}},
        {'\xE3', "AIOaio", {"Â", "Î", "Ô", "â", "î", "ô"}},
        {'\xE6', "ANans", {"Ă", "Ň", "ă", "ň", "š"}},
        {'\xE7', "Zz", {"Ż", "ż"}},
        {'\xE8', "AEOUaeou", {"Ä", "Ë", "Ö", "Ü", "ä", "ë", "ö", "ü"}},
        {'\xE9', "CDELRTZcdelrtzSs",
         {"Č", "Ď", "Ě", "Ľ", "Ř", "Ť", "Ž", "č", "ď", "ě", "ľ", "ř", "ť", "ž", "Š", "š"}},
        {'\xEA', "uU", {"ů", "Ů"}},
        {'\xEE', "OUou", {"Ő", "Ű", "ő", "ű"}},
        {'\xF0', "Cc", {"Ç", "ç"}},
        {'\xF1', "AEae", {"Ą", "Ę", "ą", "ę"}},
        {'\xF7', "STst", {"Ş", "Ţ", "ş", "ţ"}},
    };
    for (const auto& m : marked)
        for (std::size_t k = 0; k < m.bases.size(); ++k)
            all.push_back({std::string(1, m.mark) + m.bases[k], m.letters[k]});
    return all;
}

// Where these records read MARC-8 their own way, and what standard MARC-8 says.
inline const std::map<std::string, std::string> kDeviations = {
    {"\xA8", "·"},                 // middle dot, read as the dot above
    {"\xB3", "đ"},                 // small d with stroke, read as the euro sign
    {"\xE6N", "N\xCC\x86"},        // N with breve, read as N with caron
    {"\xE6n", "n\xCC\x86"},
    {"\xE6s", "s\xCC\x86"},        // s with breve, read as s with caron
    {"\xF7S", "Ș"},                // comma below, read as the cedilla letters
    {"\xF7T", "Ț"},
    {"\xF7s", "ș"},
    {"\xF7t", "ț"},
};

// Standard MARC-8 read by yaz-iconv, composed to NFC, one text per input
// text. Each text is read on its own: yaz-iconv reads its input in blocks
// and may leave a mark apart from its letter at a block's edge.
inline std::vector<std::string> YazLines(const std::vector<std::string>& texts) {
    std::string joined;
    for (const auto& t : texts) {
        const auto utf8 = RunTool("yaz-iconv -f marc8 -t utf8", t);
        EXPECT_TRUE(utf8.has_value()) << Hex(t);
        joined += utf8.value_or("<failed>") + "\n";
    }
    std::vector<std::string> out;
    const auto nfc = RunTool("uconv -f utf-8 -t utf-8 -x any-nfc", joined);
    EXPECT_TRUE(nfc.has_value());
    if (!nfc) return out;
    std::size_t at = 0;
    for (std::size_t nl; (nl = nfc->find('\n', at)) != std::string::npos; at = nl + 1)
        out.push_back(nfc->substr(at, nl - at));
    return out;
}

}  // namespace velt::test
