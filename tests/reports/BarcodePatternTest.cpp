// The symbologies' patterns without drawing: element widths and ratio
// ranges, the known vectors of the standards, and the texts each code refuses.

#include "reports/BarcodePattern.h"
#include "support/Hex.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace velt;

namespace {

// Bars "1" and spaces "0", one per pixel, as the elements lie side by side.
std::string Pixels(const BarcodeModules& m) {
    std::string out;
    for (const BarElement& e : m.elements)
        out.append(static_cast<std::size_t>(e.width), e.kind == ElementKind::Space ? '0' : '1');
    return out;
}

std::string PixelsOf(TBarcodeType type, std::string_view text, int modul = 1, double ratio = 2.0) {
    const BarcodeModules m = EncodeBarcode(type, text, modul, ratio);
    EXPECT_EQ(m.error, "") << BarcodeTypeInfoOf(type).name << " of " << test::Hex(text);
    return Pixels(m);
}

}  // namespace

TEST(BarcodeElementWidths, FollowTheModuleAndTheRatioInTheSymbologysRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        TBarcodeType type;
        int modul;
        double ratio;
        ElementWidths widths;
    } cases[] = {
        {bcCodeEAN13, 1, 2.0, {1, 2, 3, 4}},
        {bcCode39, 1, 2.0, {1, 2, 3, 4}},
        {bcCode39, 2, 2.0, {2, 4, 6, 8}},
        {bcCode39, 1, 3.0, {1, 3, 4, 6}},
        {bcCode39, 1, 1.2, {1, 2, 3, 4}},           // below 2 becomes 2
        {bcCode39, 1, 7.0, {1, 3, 4, 6}},           // above 3 becomes 3
        {bcCode39, 1, nan, {1, 2, 3, 4}},           // no number: the lower end
        {bcCode39, 1, -5.0, {1, 2, 3, 4}},
        {bcCode39, 1, 2.5, {1, 2, 3, 4}},           // round(2.5) goes to the even 2
        {bcCode39, 3, 2.5, {3, 8, 12, 16}},         // round(7.5) = 8
        {bcCode39, 5, 2.5, {5, 12, 18, 24}},        // round(12.5) = 12
        {bcCode39, 49, 3.0, {49, 147, 220, 294}},   // the widest there is
        {bcCodeCodabar, 1, 2.6, {1, 3, 4, 6}},
        {bcCode_2_5_interleaved, 4, 2.4, {4, 10, 15, 20}},
        {bcCode_2_5_matrix, 1, 2.0, {1, 2, 3, 4}},  // below 2.25 becomes 2.25, round(2.25) = 2
        {bcCode_2_5_matrix, 4, 2.0, {4, 9, 13, 18}},
        {bcCode_2_5_matrix, 1, 3.5, {1, 3, 4, 6}},
        {bcCodeMSI, 1, 1.0, {1, 2, 3, 4}},          // a wide element must stay wider than a narrow one
        {bcCodeMSI, 2, 2.5, {2, 5, 7, 10}},
        {bcCodePostNet, 1, 1.0, {1, 1, 1, 2}},      // PostNet's spacing may equal its bars
        {bcCodePostNet, 1, 0.2, {1, 1, 1, 2}},
        {bcCodePostNet, 2, 9.0, {2, 6, 9, 12}},
        // Code 128, Code 93 and EAN are measured in whole modules whatever the ratio.
        {bcCode128A, 1, 1.5, {1, 2, 3, 4}},
        {bcCode128B, 3, 3.0, {3, 6, 9, 12}},
        {bcCode128C, 2, 2.7, {2, 4, 6, 8}},
        {bcCode93, 1, 1.0, {1, 2, 3, 4}},
        {bcCode93Extended, 2, 2.5, {2, 4, 6, 8}},
        {bcCodeEAN8, 1, 3.0, {1, 2, 3, 4}},
        {bcCode39, 0, 2.0, {1, 2, 3, 4}},           // the module is kept within 1 to 49
        {bcCode39, 80, 2.0, {49, 98, 147, 196}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ElementWidthsFor(c.type, c.modul, c.ratio), c.widths)
            << BarcodeTypeInfoOf(c.type).name << " modul " << c.modul << " ratio " << c.ratio;
}

TEST(BarcodePattern, TheModuleSymbologiesDoNotChangeWithTheRatio) {
    for (const TBarcodeType t : {bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeEAN8, bcCodeEAN13}) {
        const std::string text = t == bcCodeEAN8                         ? "9638507"
                                 : t == bcCodeEAN13 || t == bcCode128C ? "590123412345"
                                                                       : "CODE 93";
        EXPECT_EQ(PixelsOf(t, text, 1, 1.3), PixelsOf(t, text, 1, 2.0)) << BarcodeTypeInfoOf(t).name;
        EXPECT_EQ(PixelsOf(t, text, 1, 3.0), PixelsOf(t, text, 1, 2.0)) << BarcodeTypeInfoOf(t).name;
    }
}

TEST(BarcodePattern, StartsAndStopsAsTheNotationSays) {
    struct Case {
        TBarcodeType type;
        std::string text;
        std::string start, stop;
    } cases[] = {
        {bcCode_2_5_interleaved, "12", "5050", "605"},
        {bcCode_2_5_industrial, "1", "606050", "605060"},
        {bcCode_2_5_matrix, "1", "705050", "070505"},  // the digit's trailing space, then the stop
        {bcCodeMSI, "1", "60", "515"},
        {bcCodePostNet, "1", "51", "15"},
        {bcCodeEAN8, "9638507", "505", "505"},
        {bcCodeEAN13, "590123412345", "505", "505"},
        {bcCode128B, "A", "605153", "6270506"},        // start B 211214, stop 2331112
        {bcCode93, "A", "505080", "5050805"},          // 111141 and 1111411
    };
    for (const Case& c : cases) {
        const BarcodePattern p = BuildBarcodePattern(c.type, c.text);
        ASSERT_EQ(p.error, "") << BarcodeTypeInfoOf(c.type).name;
        EXPECT_EQ(p.pattern.substr(0, c.start.size()), c.start) << BarcodeTypeInfoOf(c.type).name;
        EXPECT_EQ(p.pattern.substr(p.pattern.size() - c.stop.size()), c.stop) << BarcodeTypeInfoOf(c.type).name;
    }
}

TEST(BarcodePattern, KnownVectorsOfTheStandards) {
    // EAN-13 5901234123457 (the GS1 example): 3 guard, 6 × 7 left, 5 centre, 6 × 7 right, 3 guard.
    EXPECT_EQ(PixelsOf(bcCodeEAN13, "5901234123457"),
              "101"
              "0001011" "0100111" "0110011" "0010011" "0111101" "0011101"  // 9 0 1 2 3 4 in A B B A A B
              "01010"
              "1100110" "1101100" "1000010" "1011100" "1001110" "1000100"  // 1 2 3 4 5 7 in C
              "101");
    // EAN-8 96385074: 4 digits in A, 4 in C.
    EXPECT_EQ(PixelsOf(bcCodeEAN8, "96385074"),
              "101" "0001011" "0101111" "0111101" "0110111" "01010" "1001110" "1110010" "1000100" "1011100" "101");
    // Code 93 "TEST93": the check characters are "+" (113121) and "6" (121311).
    const std::string test93 = PixelsOf(bcCode93, "TEST93");
    EXPECT_EQ(test93.substr(test93.size() - 10 - 18), "101110110" "100100010" "1010111101");
    // Code 128 B "PJJ123C": 104 + 48·1 + 42·2 + 42·3 + 17·4 + 18·5 + 19·6 + 35·7 = 879 ≡ 55 (mod 103),
    // whose pattern is 311321.
    const std::string pjj = PixelsOf(bcCode128B, "PJJ123C");
    EXPECT_EQ(pjj.substr(pjj.size() - 13 - 11), "11101000110" "1100011101011");
    // Code 128 C "123456": 105 + 12·1 + 34·2 + 56·3 = 353 ≡ 44 (mod 103), pattern 132131.
    const std::string c = PixelsOf(bcCode128C, "123456");
    EXPECT_EQ(c.substr(0, 11 * 4), "11010011100" "10110011100" "10001011000" "11100010110");
    EXPECT_EQ(c.substr(11 * 4, 11), "10001101110");
    // MSI 1234: modulo 10 check digit 4 (4·2 = 8, 3, 2·2 = 4, 1: 16, 10 − 6).
    EXPECT_EQ(PixelsOf(bcCodeMSI, "1234"),
              "110" "100100100110" "100100110100" "100100110110" "100110100100" "100110100100" "1001");
}

TEST(BarcodePattern, EanVerifiesAGivenCheckDigitAndComputesAMissingOne) {
    EXPECT_EQ(EanCheckDigit("590123412345"), '7');
    EXPECT_EQ(EanCheckDigit("9638507"), '4');
    EXPECT_EQ(EanCheckDigit("400638133393"), '1');
    EXPECT_EQ(EanCheckDigit("000000000000"), '0');
    EXPECT_EQ(PixelsOf(bcCodeEAN13, "590123412345"), PixelsOf(bcCodeEAN13, "5901234123457"));
    EXPECT_EQ(PixelsOf(bcCodeEAN8, "9638507"), PixelsOf(bcCodeEAN8, "96385074"));
    EXPECT_EQ(PixelsOf(bcCodeEAN13, " 5901234123457\t"), PixelsOf(bcCodeEAN13, "5901234123457"));
}

TEST(BarcodePattern, InterleavedPadsAnOddCountInFront) {
    EXPECT_EQ(PixelsOf(bcCode_2_5_interleaved, "12345"), PixelsOf(bcCode_2_5_interleaved, "012345"));
    EXPECT_EQ(PixelsOf(bcCode_2_5_interleaved, "7"), PixelsOf(bcCode_2_5_interleaved, "07"));
    EXPECT_NE(PixelsOf(bcCode_2_5_interleaved, "12345"), PixelsOf(bcCode_2_5_interleaved, "1234"));
    EXPECT_EQ(BuildBarcodePattern(bcCode_2_5_interleaved, "").pattern, "5050605");
}

TEST(BarcodePattern, PostNetAppendsItsCheckDigit) {
    // 1 + 2 + 3 + 4 = 10: check digit 0; 5 + 5 + 5 = 15: check digit 5.
    EXPECT_EQ(BuildBarcodePattern(bcCodePostNet, "1234").pattern,
              "51" "A1A1A15151" "A1A151A151" "A1A15151A1" "A151A1A151" "5151A1A1A1" "5");
    EXPECT_EQ(BuildBarcodePattern(bcCodePostNet, "555").pattern,
              "51" "A151A151A1" "A151A151A1" "A151A151A1" "A151A151A1" "5");
}

TEST(BarcodePattern, RefusesWhatTheSymbologyCannotCarry) {
    const std::string polish = "Zażółć"_cp;
    const std::string tooLong(kMaxBarcodeText + 1, '1');
    struct Case {
        TBarcodeType type;
        std::string text;
        std::string error;
    } cases[] = {
        {bcCode_2_5_interleaved, "12a4", "Barcode must be numeric"},
        {bcCode_2_5_industrial, "1 2", "Barcode must be numeric"},
        {bcCode_2_5_matrix, "-1", "Barcode must be numeric"},
        {bcCodeMSI, "12.5", "Barcode must be numeric"},
        {bcCodePostNet, "1234O", "Barcode must be numeric"},
        {bcCode128C, "12x4", "Barcode must be numeric"},
        {bcCodeEAN13, "590123412345X", "Barcode must be numeric"},
        {bcCodeEAN13, "59012341234", "Invalid Text len (EAN13)"},
        {bcCodeEAN13, "59012341234570", "Invalid Text len (EAN13)"},
        {bcCodeEAN13, "", "Invalid Text len (EAN13)"},
        {bcCodeEAN13, "5901234123458", "Invalid check digit (EAN13)"},
        {bcCodeEAN8, "963850", "Invalid Text len (EAN8)"},
        {bcCodeEAN8, "963850741", "Invalid Text len (EAN8)"},
        {bcCodeEAN8, "96385070", "Invalid check digit (EAN8)"},
        {bcCode128C, "123", "Invalid Text len (Code128C)"},
        {bcCode39, "abc", "TBarcode:Code39 bad Data <abc>"},
        {bcCode39, "A*B", "TBarcode:Code39 bad Data <A*B>"},
        {bcCode39, "A\tB", "TBarcode:Code39 bad Data <A\tB>"},
        {bcCode39Extended, polish, "TBarcode:Code39 Extended bad Data <" + polish + ">"},
        {bcCode93, "abc", "TBarcode:Code93 bad Data <abc>"},
        {bcCode93, "A!", "TBarcode:Code93 bad Data <A!>"},
        {bcCode93Extended, polish, "TBarcode:Code93 Extended bad Data <" + polish + ">"},
        {bcCode128A, "Ab", "TBarcode:Code128A bad Data <Ab>"},
        {bcCode128A, "A\x80", "TBarcode:Code128A bad Data <A\x80>"},
        {bcCode128B, "A\tB", "TBarcode:Code128B bad Data <A\tB>"},
        {bcCode128B, polish, "TBarcode:Code128B bad Data <" + polish + ">"},
        {bcCodeCodabar, "12A4", "TBarcode:Codebar bad Data <12A4>"},
        {bcCodeCodabar, "1b", "TBarcode:Codebar bad Data <1b>"},
        {bcCodeCodabar, "1 2", "TBarcode:Codebar bad Data <1 2>"},
        {bcCode39, std::string(kMaxBarcodeText + 1, 'A'), "TBarcode: Text too long"},
        {bcCodeEAN13, tooLong, "TBarcode: Text too long"},
    };
    for (const Case& c : cases) {
        const BarcodePattern p = BuildBarcodePattern(c.type, c.text);
        EXPECT_BYTES_EQ(p.error, c.error) << BarcodeTypeInfoOf(c.type).name << " of " << test::Hex(c.text);
        EXPECT_EQ(p.pattern, "") << BarcodeTypeInfoOf(c.type).name << " of " << test::Hex(c.text);
        const BarcodeModules m = EncodeBarcode(c.type, c.text, 1, 2.0);
        EXPECT_BYTES_EQ(m.error, c.error);
        EXPECT_TRUE(m.elements.empty());
    }
    EXPECT_EQ(BuildBarcodePattern(bcCode39, std::string(kMaxBarcodeText, 'A')).error, "");
}

TEST(BarcodePattern, EveryAllowedCharacterIsEncoded) {
    std::string ascii;
    for (int c = 0; c < 128; ++c) ascii += static_cast<char>(c);
    struct Case {
        TBarcodeType type;
        std::string text;
    } cases[] = {
        {bcCode39, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {bcCode93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {bcCode39Extended, ascii},
        {bcCode93Extended, ascii},
        {bcCode128A, ascii.substr(0, 96)},
        {bcCode128B, ascii.substr(32)},
        {bcCodeCodabar, "0123456789-$:/.+"},
    };
    for (const Case& c : cases) {
        const BarcodeModules m = EncodeBarcode(c.type, c.text, 1, 2.0);
        EXPECT_EQ(m.error, "") << BarcodeTypeInfoOf(c.type).name;
        EXPECT_FALSE(m.elements.empty());
    }
}

TEST(BarcodePattern, NumericTextsAreTrimmedOfBlanks) {
    EXPECT_EQ(BuildBarcodePattern(bcCodeMSI, "  1234 ").text, "1234");
    EXPECT_EQ(BuildBarcodePattern(bcCode39, " AB ").text, " AB ");
    EXPECT_EQ(PixelsOf(bcCode_2_5_interleaved, "\t1234 "), PixelsOf(bcCode_2_5_interleaved, "1234"));
}

TEST(ModuleSequence, JoinsNeighboursOfOneKindAndRefusesUnknownCharacters) {
    const ElementWidths w = {1, 2, 3, 4};
    const BarcodeModules m = ModuleSequence("5505A0128D", w);
    EXPECT_EQ(m.error, "");
    const std::vector<BarElement> expected = {
        {ElementKind::Bar, 2}, {ElementKind::Space, 1}, {ElementKind::Bar, 1}, {ElementKind::ShortBar, 1},
        {ElementKind::Space, 1 + 2 + 3}, {ElementKind::Bar, 4}, {ElementKind::ShortBar, 4}};
    EXPECT_EQ(m.elements, expected);
    EXPECT_EQ(m.width, 2 + 1 + 1 + 1 + 6 + 4 + 4);
    for (const char* bad : {"55x0", "4", "9", "E", "a"}) {
        const BarcodeModules e = ModuleSequence(bad, w);
        EXPECT_NE(e.error.find("TBarcode: internal Error \""), std::string::npos) << bad;
        EXPECT_TRUE(e.elements.empty());
        EXPECT_EQ(e.width, 0);
    }
    EXPECT_EQ(ModuleSequence("50x", w).error, "TBarcode: internal Error \"x\"");
}

TEST(BarcodeTypes, AreNamedAndNumberedAsTheReportsKnowThem) {
    EXPECT_EQ(BarcodeTypeNamed("bcCodeEAN13"), bcCodeEAN13);
    EXPECT_EQ(BarcodeTypeNamed("Code39 Extended"), bcCode39Extended);
    EXPECT_EQ(BarcodeTypeNamed("Codebar"), bcCodeCodabar);
    EXPECT_EQ(BarcodeTypeNamed("bcCode_2_5_interleaved"), bcCode_2_5_interleaved);
    EXPECT_FALSE(BarcodeTypeNamed("ean13"));
    EXPECT_FALSE(BarcodeTypeNamed(""));
    EXPECT_EQ(BarcodeTypeOfMode(1), bcCode_2_5_interleaved);
    EXPECT_EQ(BarcodeTypeOfMode(8), bcCode128C);
    EXPECT_EQ(BarcodeTypeOfMode(15), bcCodeEAN13);
    EXPECT_FALSE(BarcodeTypeOfMode(0));
    EXPECT_FALSE(BarcodeTypeOfMode(16));
    int numeric = 0;
    for (int t = 0; t < kBarcodeTypeCount; ++t) numeric += BarcodeTypeInfoOf(static_cast<TBarcodeType>(t)).numericOnly;
    EXPECT_EQ(numeric, 8);
}
