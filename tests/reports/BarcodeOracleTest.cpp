// Every symbology against two independent programs: zint builds the same
// symbols (compared module by module where both follow one standard, and as
// a narrow/wide sequence at our own ratios), and zbarimg reads our PNG
// pictures back to their texts.

#include "reports/GreyImage.h"
#include "reports/PngWriter.h"
#include "reports/ReportFile.h"
#include "reports/TBarcode.h"
#include "support/Hex.h"
#include "support/TempDir.h"
#include "support/Tool.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace velt;

namespace {

// zint's symbol as rows of modules ("1" a bar), the trailing spaces cut off;
// nothing when zint refuses the data. Every byte goes as a \xNN escape, so
// the shell never sees the data itself.
std::optional<std::vector<std::string>> Zint(const std::string& symbology, const std::string& data,
                                             const std::string& options = "") {
    std::string escaped;
    static const char digits[] = "0123456789ABCDEF";
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        escaped += "\\x";
        escaped += digits[b >> 4];
        escaped += digits[b & 15];
    }
    const auto out = test::RunTool(
        "zint -b " + symbology + " --dump --esc " + options + " -d '" + escaped + "' 2>/dev/null", "");
    if (!out) return std::nullopt;
    std::vector<std::string> rows;
    std::istringstream lines(*out);
    for (std::string line; std::getline(lines, line);) {
        std::string bits;
        for (const char h : line) {
            if (h == ' ') continue;
            const int v = h <= '9' ? h - '0' : h - 'A' + 10;
            for (int k = 3; k >= 0; --k) bits += (v >> k & 1) ? '1' : '0';
        }
        bits.erase(bits.find_last_not_of('0') + 1);
        rows.push_back(bits);
    }
    return rows;
}

// Our symbol as modules of one pixel ("1" a bar), the trailing spaces cut off.
std::string Ours(TBarcodeType type, const std::string& text, double ratio = 2.0, bool tallOnly = false) {
    const BarcodeModules m = EncodeBarcode(type, text, 1, ratio);
    EXPECT_EQ(m.error, "") << BarcodeTypeInfoOf(type).name << " of " << test::Hex(text);
    std::string bits;
    for (const BarElement& e : m.elements) {
        const bool black = e.kind == ElementKind::Bar || (e.kind == ElementKind::ShortBar && !tallOnly);
        bits.append(static_cast<std::size_t>(e.width), black ? '1' : '0');
    }
    bits.erase(bits.find_last_not_of('0') + 1);
    return bits;
}

// "n" and "w" for each element: narrow is a run of one module, wide anything more.
std::string NarrowWide(const std::string& bits) {
    std::string out;
    for (std::size_t i = 0; i < bits.size();) {
        std::size_t j = i;
        while (j < bits.size() && bits[j] == bits[i]) ++j;
        out += j - i == 1 ? 'n' : 'w';
        i = j;
    }
    return out;
}

std::string Ascii(int from, int to) {
    std::string s;
    for (int c = from; c < to; ++c) s += static_cast<char>(c);
    return s;
}

struct Symbology {
    TBarcodeType type;
    const char* zint;           // zint's name of the same symbology
    const char* zintOptions;
    double ratio;               // the ratio at which both draw the same modules
    std::vector<std::string> texts;
};

std::vector<Symbology> Symbologies() {
    const std::string code39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    return {
        {bcCode_2_5_interleaved, "C25INTER", "", 3.0, {"1", "12", "123", "0123456789", "98765432101", std::string(80, '9')}},
        {bcCode_2_5_industrial, "C25IND", "", 3.0, {"1", "42", "0123456789", std::string(45, '7')}},
        {bcCode_2_5_matrix, "C25STANDARD", "", 3.0, {"1", "42", "0123456789", "9876543210123"}},
        {bcCode39, "CODE39", "", 2.0, {"A", "0", code39, "CODE 39", "-$/+%.", std::string(85, 'Z')}},
        {bcCode39Extended, "EXCODE39", "", 2.0, {"a", Ascii(0, 43), Ascii(43, 86), Ascii(86, 128), "Hello, World!"}},
        // zint uses set A throughout when a control character comes among upper
        // case (and takes at most 60 symbol characters)
        {bcCode128A, "CODE128", "", 2.0, {"\x01", "\tA", "AB\x1F", "\x01" + Ascii(32, 48) + Ascii(58, 96), Ascii(0, 32)}},
        // and set B when lower case does, with no long run of digits
        {bcCode128B, "CODE128", "", 2.0,
         {"a", "Hello, World", Ascii(32, 48) + Ascii(58, 80), Ascii(80, 128), "x1y2z3", std::string(60, 'q')}},
        {bcCode128C, "CODE128", "", 2.0, {"00", "12", "1234", "0123456789", "99999999999999999999", std::string(80, '5')}},
        {bcCode93, "CODE93", "", 2.0, {"A", "TEST93", code39, "CODE 93 $/+%.", std::string(100, 'M')}},
        {bcCode93Extended, "CODE93", "", 2.0, {"a", Ascii(0, 43), Ascii(43, 86), Ascii(86, 128), "Test93!"}},
        {bcCodeMSI, "MSI_PLESSEY", "--vers=1", 2.0, {"0", "1", "1234", "0123456789", "80523", std::string(30, '8')}},
        {bcCodeCodabar, "CODABAR", "", 2.0, {"0", "0123456789-$:/.+", "31117013206375", "-$:/.+"}},
        {bcCodeEAN8, "EANX", "", 2.0, {"9638507", "0000000", "9999999", "5512345"}},
        {bcCodeEAN13, "EANX", "", 2.0,
         {"590123412345", "000000000000", "123456789012", "400638133393", "978020137962", "999999999999",
          "212345678901", "312345678901", "412345678901", "512345678901", "612345678901", "712345678901",
          "812345678901"}},
    };
}

std::string ZintData(TBarcodeType type, const std::string& text) {
    return type == bcCodeCodabar ? "A" + text + "B" : text;  // zint takes the start and stop from the data
}

}  // namespace

TEST(BarcodeOracles, EverySymbologyAgreesWithZintModuleByModule) {
    ASSERT_TRUE(test::HaveTool("zint")) << "zint is missing: scripts/deps.sh installs it";
    for (const Symbology& s : Symbologies()) {
        for (const std::string& text : s.texts) {
            const auto theirs = Zint(s.zint, ZintData(s.type, text), s.zintOptions);
            ASSERT_TRUE(theirs && theirs->size() == 1) << s.zint << " of " << test::Hex(text);
            EXPECT_EQ(Ours(s.type, text, s.ratio), (*theirs)[0])
                << BarcodeTypeInfoOf(s.type).name << " of " << test::Hex(text);
        }
    }
}

TEST(BarcodeOracles, TwoWidthSymbologiesKeepZintsNarrowWideSequenceAtEveryRatio) {
    for (const Symbology& s : Symbologies()) {
        if (s.type != bcCode_2_5_interleaved && s.type != bcCode_2_5_industrial && s.type != bcCode_2_5_matrix &&
            s.type != bcCode39 && s.type != bcCodeCodabar && s.type != bcCodeMSI)
            continue;
        for (const std::string& text : s.texts) {
            const auto theirs = Zint(s.zint, ZintData(s.type, text), s.zintOptions);
            ASSERT_TRUE(theirs);
            for (const double ratio : {2.0, 2.25, 2.5, 3.0}) {
                const std::string ours = Ours(s.type, text, ratio);
                EXPECT_EQ(NarrowWide(ours), NarrowWide((*theirs)[0]))
                    << BarcodeTypeInfoOf(s.type).name << " of " << text << " at " << ratio;
            }
        }
    }
}

TEST(BarcodeOracles, PostNetAgreesWithZintInTallAndShortBarsAndItsCheckDigit) {
    ASSERT_TRUE(test::HaveTool("zint"));
    for (const std::string text : {"12345", "55555", "123456789", "00000000000", "98765432109"}) {
        const auto theirs = Zint("POSTNET", text);
        ASSERT_TRUE(theirs && theirs->size() == 2) << text;
        // zint's top row holds the tall bars' upper part, the bottom row every bar.
        EXPECT_EQ(Ours(bcCodePostNet, text, 1.0, true), (*theirs)[0]) << text;
        EXPECT_EQ(Ours(bcCodePostNet, text, 1.0), (*theirs)[1]) << text;
    }
}

TEST(BarcodeOracles, ZintRefusesTheEanCheckDigitsWeRefuse) {
    ASSERT_TRUE(test::HaveTool("zint"));
    for (const std::string text : {"5901234123458", "5901234123450", "96385070", "96385079"}) {
        const TBarcodeType type = text.size() == 8 ? bcCodeEAN8 : bcCodeEAN13;
        EXPECT_NE(BuildBarcodePattern(type, text).error, "") << text;
        EXPECT_FALSE(Zint("EANX_CHK", text)) << text;
    }
    for (const std::string text : {"5901234123457", "96385074", "4006381333931"}) {
        const TBarcodeType type = text.size() == 8 ? bcCodeEAN8 : bcCodeEAN13;
        const auto theirs = Zint("EANX_CHK", text);
        ASSERT_TRUE(theirs) << text;
        EXPECT_EQ(Ours(type, text), (*theirs)[0]) << text;
    }
}

namespace {

// What zbarimg reads from our picture of the symbol; nothing when it reads nothing.
std::optional<std::string> Scan(const test::TempDir& dir, TBarcodeType type, const std::string& text, int modul) {
    TBarcode bar;
    bar.SetTyp(type);
    bar.SetText(text);
    bar.SetModul(modul);
    const BarcodeModules m = bar.Modules();
    EXPECT_EQ(m.error, "") << text;
    const int quiet = 12 * modul;
    GreyImage image(static_cast<int>(m.width) + 2 * quiet, 60);
    bar.SetLeft(quiet);
    bar.SetTop(10);
    bar.SetHeight(40);
    EXPECT_EQ(bar.DrawBarcode(image), "");
    const std::string file = dir.Path() + "symbol.png";
    EXPECT_EQ(WriteReportFile(file, EncodeGreyPng(image)), "");
    // The shortest lengths zbar accepts are raised by default; ours may be shorter.
    auto out = test::RunTool("zbarimg -q --raw --nodbus -Si25.min-length=2 -Scodabar.min-length=1 -Scode39.min-length=1 "
                             "-Scode93.min-length=1 -Scode128.min-length=1 " + file + " 2>/dev/null", "");
    if (out && !out->empty() && out->back() == '\n') out->pop_back();
    return out;
}

}  // namespace

TEST(BarcodeOracles, ZbarimgReadsOurPicturesBackToTheirTexts) {
    ASSERT_TRUE(test::HaveTool("zbarimg")) << "zbarimg is missing: scripts/deps.sh installs zbar-tools";
    const test::TempDir dir;
    struct Case {
        TBarcodeType type;
        std::string text;
        std::string read;  // what a scanner reports
    } cases[] = {
        {bcCodeEAN13, "5901234123457", "5901234123457"},
        {bcCodeEAN13, "590123412345", "5901234123457"},
        {bcCodeEAN13, "4006381333931", "4006381333931"},
        {bcCodeEAN13, "0000000000000", "0000000000000"},
        {bcCodeEAN8, "96385074", "96385074"},
        {bcCodeEAN8, "5512345", "55123457"},
        {bcCode39, "CODE 39", "CODE 39"},
        {bcCode39, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {bcCode39, "X", "X"},
        {bcCode93, "TEST93", "TEST93"},
        {bcCode93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {bcCode93Extended, "Hello, World! {ok}", "Hello, World! {ok}"},
        {bcCode93Extended, "a\tb~", "a\tb~"},
        {bcCode128A, "HELLO\tWORLD", "HELLO\tWORLD"},
        {bcCode128A, Ascii(32, 96), Ascii(32, 96)},
        {bcCode128B, "Hello, World", "Hello, World"},
        {bcCode128B, Ascii(32, 127), Ascii(32, 127)},
        {bcCode128B, "b", "b"},
        {bcCode128C, "123456", "123456"},
        {bcCode128C, "0012", "0012"},
        {bcCode128C, "99887766554433221100", "99887766554433221100"},
        {bcCodeCodabar, "0123456789-$:/.+", "A0123456789-$:/.+B"},
        {bcCodeCodabar, "40156", "A40156B"},
        {bcCode_2_5_interleaved, "123456", "123456"},
        {bcCode_2_5_interleaved, "12345", "012345"},
        {bcCode_2_5_interleaved, "0123456789", "0123456789"},
        {bcCode_2_5_interleaved, "7", "07"},
    };
    for (const Case& c : cases) {
        for (const int modul : {2, 3}) {
            const auto read = Scan(dir, c.type, c.text, modul);
            ASSERT_TRUE(read) << BarcodeTypeInfoOf(c.type).name << " of " << test::Hex(c.text) << " at modul " << modul;
            EXPECT_BYTES_EQ(*read, c.read) << BarcodeTypeInfoOf(c.type).name << " at modul " << modul;
        }
    }
}

TEST(BarcodeOracles, ZbarimgReadsTwoWidthCodesAtEveryRatio) {
    const test::TempDir dir;
    for (const double ratio : {2.0, 2.5, 3.0}) {
        for (const auto& [type, text, read] : {std::tuple{bcCode39, "RATIO", "RATIO"},
                                               std::tuple{bcCodeCodabar, "1234", "A1234B"},
                                               std::tuple{bcCode_2_5_interleaved, "2468", "2468"}}) {
            TBarcode bar;
            bar.SetTyp(type);
            bar.SetText(text);
            bar.SetModul(2);
            bar.SetRatio(ratio);
            const BarcodeModules m = bar.Modules();
            GreyImage image(static_cast<int>(m.width) + 48, 50);
            bar.SetLeft(24);
            bar.SetTop(5);
            bar.SetHeight(40);
            ASSERT_EQ(bar.DrawBarcode(image), "");
            const std::string file = dir.Path() + "ratio.png";
            ASSERT_EQ(WriteReportFile(file, EncodeGreyPng(image)), "");
            const auto out = test::RunTool("zbarimg -q --raw --nodbus -Si25.min-length=2 " + file + " 2>/dev/null", "");
            ASSERT_TRUE(out) << text << " at " << ratio;
            EXPECT_EQ(*out, std::string(read) + "\n") << text << " at " << ratio;
        }
    }
}
