#include "text/StreamConverter.h"
#include "text/ala.h"
#include "text/utf.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

// The text fed in blocks cut at the given places.
std::string Streamed(const converter& c, StreamInput input, const std::string& text, std::vector<std::size_t> cuts) {
    StreamConverter s(c, input);
    std::string out;
    std::size_t at = 0;
    cuts.push_back(text.size());
    for (const std::size_t cut : cuts) {
        out += s.Feed(std::string_view(text).substr(at, cut - at));
        at = cut;
    }
    return out + s.Finish();
}

}  // namespace

// Cut anywhere, once or twice, a stream converts exactly as the whole text.
TEST(StreamConverter, EveryCutGivesTheConversionOfTheWhole) {
    const struct {
        const char* name;
        const converter& c;
        StreamInput input;
        std::string text;
    } cases[] = {
        {"utf8", UtfVeltwin(), StreamInput::Utf8,
         "Łódź ☺ 中文 \xF0\x9F\x98\x80 bad:\xC3 \xE2\x82 \xFF\x80 koniec \xE2\x82\xAC"},
        {"cp1250 with escapes", WinUtf(), StreamInput::Cp1250,
         "\xA3\xF3" "d\x9F \x1BU263A\x1A\x1BU4E2D\x1A x\x1B zle\x1BU12\x1A \x1BU6587\x1A"},
        {"marc8 marks", AlaWin(), StreamInput::Marc8,
         "Za\xE7z\xE2o\xE2l\xE2" "c g\xF1" "e\xE2sl\xF1" "a \xE3\xE2" "a \xE9t\xE8u \xE2\xE2"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const std::string whole = tc.c.Convert(tc.text);
        for (std::size_t i = 0; i <= tc.text.size(); ++i) {
            EXPECT_BYTES_EQ(Streamed(tc.c, tc.input, tc.text, {i}), whole) << "cut at " << i;
            for (std::size_t j = i; j <= tc.text.size() && j < i + 9; ++j)
                ASSERT_EQ(Streamed(tc.c, tc.input, tc.text, {i, j}), whole) << "cuts at " << i << " and " << j;
        }
        // Byte by byte.
        std::vector<std::size_t> every;
        for (std::size_t i = 1; i < tc.text.size(); ++i) every.push_back(i);
        EXPECT_BYTES_EQ(Streamed(tc.c, tc.input, tc.text, every), whole);
    }
}

TEST(StreamConverter, HoldsBackOnlyWhatTheNextBlockCanComplete) {
    EXPECT_EQ(StreamConverter::IncompleteTail("ab\xC5", StreamInput::Utf8), 1u);
    EXPECT_EQ(StreamConverter::IncompleteTail("ab\xC5\x81", StreamInput::Utf8), 0u);
    EXPECT_EQ(StreamConverter::IncompleteTail("\xE2\x82", StreamInput::Utf8), 2u);
    EXPECT_EQ(StreamConverter::IncompleteTail("\x80\x80\x80", StreamInput::Utf8), 0u);
    EXPECT_EQ(StreamConverter::IncompleteTail("x\x1BU26", StreamInput::Cp1250), 4u);
    EXPECT_EQ(StreamConverter::IncompleteTail("x\x1BU263A\x1A", StreamInput::Cp1250), 0u);
    EXPECT_EQ(StreamConverter::IncompleteTail("a\xE2\xE3", StreamInput::Marc8), 2u);
    EXPECT_EQ(StreamConverter::IncompleteTail("a\xE2" "b", StreamInput::Marc8), 0u);
}
