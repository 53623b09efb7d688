// velt-cli convert against the independent oracles: uconv for Windows-1250,
// yaz-iconv (with NFC composition) for MARC-8.

#include "support/Hex.h"
#include "support/Marc8Table.h"
#include "support/Tool.h"

#include <gtest/gtest.h>
#include <string>

using namespace velt;

namespace {

std::optional<std::string> Convert(const std::string& from, const std::string& to, const std::string& input) {
    return test::RunTool(std::string(VELT_CLI) + " convert --from " + from + " --to " + to, input);
}

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

}  // namespace

TEST(ConvertCommand, Windows1250AndUtf8AgreeWithUconvOnAllBytes) {
    ASSERT_TRUE(test::HaveTool("uconv")) << "uconv is missing: scripts/deps.sh installs icu-devtools";
    const std::string bytes = AllBytes();
    const auto theirs = test::RunTool("uconv -f windows-1250 -t utf-8", bytes);
    const auto ours = Convert("cp1250", "utf8", bytes);
    ASSERT_TRUE(theirs && ours);
    EXPECT_BYTES_EQ(*ours, *theirs);
    const auto back = Convert("utf8", "cp1250", *theirs);
    ASSERT_TRUE(back);
    EXPECT_BYTES_EQ(*back, bytes);
}

TEST(ConvertCommand, Utf8OutsideTheCodePageSurvivesAsEscapes) {
    const std::string text = "Łódź ☺ 中文 – ok";
    const auto inside = Convert("utf8", "cp1250", text);
    ASSERT_TRUE(inside);
    EXPECT_BYTES_EQ(*inside, "\xA3\xF3" "d\x9F \x1BU263A\x1A \x1BU4E2D\x1A\x1BU6587\x1A \x96 ok");
    const auto back = Convert("cp1250", "utf8", *inside);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);
}

TEST(ConvertCommand, Marc8AgreesWithYazButForTheListedDeviations) {
    ASSERT_TRUE(test::HaveTool("yaz-iconv")) << "yaz-iconv is missing: scripts/deps.sh installs yaz";
    const auto all = test::AllSequences();
    std::vector<std::string> texts;
    std::string input;
    for (const auto& s : all) {
        texts.push_back(s.marc);
        input += s.marc + "|";
    }
    const auto yaz = test::YazLines(texts);
    const auto ours = Convert("marc8", "utf8", input);
    ASSERT_TRUE(ours);
    ASSERT_EQ(yaz.size(), all.size());
    std::size_t at = 0;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const std::size_t bar = ours->find('|', at);
        ASSERT_NE(bar, std::string::npos);
        const std::string one = ours->substr(at, bar - at);
        at = bar + 1;
        const auto dev = test::kDeviations.find(all[k].marc);
        EXPECT_BYTES_EQ(one, all[k].letter) << test::Hex(all[k].marc);
        if (dev == test::kDeviations.end()) {
            EXPECT_BYTES_EQ(one, yaz[k]) << test::Hex(all[k].marc);
        }
    }
}

TEST(ConvertCommand, Marc8RoundTripsThroughUtf8AndWindows1250) {
    const std::string text = "Zażółć gęślą jaźń. Šťastný Dvořák, Weiß";
    const auto marc = Convert("utf8", "marc8", text);
    ASSERT_TRUE(marc);
    const auto back = Convert("marc8", "utf8", *marc);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);
    const auto cp = Convert("marc8", "cp1250", *marc);
    const auto marc2 = cp ? Convert("cp1250", "marc8", *cp) : std::nullopt;
    ASSERT_TRUE(marc2);
    EXPECT_BYTES_EQ(*marc2, *marc);
}

TEST(ConvertCommand, RefusesUnknownCharacterSets) {
    for (const char* args : {"convert --from latin2 --to utf8", "convert --from utf8", "convert --to utf8 x"}) {
        const std::string line = std::string(VELT_CLI) + " " + args + " </dev/null 2>/dev/null";
        EXPECT_NE(std::system(line.c_str()), 0) << args;
    }
    EXPECT_TRUE(Convert("utf8", "utf8", "").has_value());
}

// Larger than the command's blocks: every block boundary falls somewhere in a
// multi-byte character, and the output is that of uconv.
TEST(ConvertCommand, LargeInputsStreamThroughBlocksUnchanged) {
    ASSERT_TRUE(test::HaveTool("uconv"));
    std::string text;
    const std::string line = "Zażółć gęślą jaźń – ☺ 中文 €\n";
    while (text.size() < 3 * 1024 * 1024 + 5) text += line;
    const auto cp = Convert("utf8", "cp1250", text);
    ASSERT_TRUE(cp);
    const auto back = Convert("cp1250", "utf8", *cp);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == text) << "the round trip through 1 MiB blocks changed the text";
    const auto theirs = test::RunTool("uconv -f utf-8 -t windows-1250 --callback substitute", text);
    ASSERT_TRUE(theirs);
    const auto ours = Convert("utf8", "cp1250", text);
    // uconv substitutes what the code page lacks; ours escapes it: compare the rest.
    std::string plainOurs, plainTheirs;
    for (std::size_t i = 0; i < ours->size(); ++i) {
        if ((*ours)[i] == '\x1B') {
            i = ours->find('\x1A', i);
            plainOurs += '?';
            continue;
        }
        plainOurs += (*ours)[i];
    }
    for (const char c : *theirs) plainTheirs += c == '\x1A' ? '?' : c;
    EXPECT_TRUE(plainOurs == plainTheirs) << "differs from uconv";
}
