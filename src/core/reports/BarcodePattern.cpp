// The symbologies' character tables and the builders of their patterns.
// Narrow/wide tables are written with "1" for a wide element, alternately
// bar and space from a bar; Code 128 and Code 93 by their module counts;
// EAN by its modules ("1" a bar module).

#include "reports/BarcodePattern.h"

#include "text/Trim.h"

#include <cmath>

namespace velt {

namespace {

constexpr std::string_view kClassName = "TBarcode";

// Interleaved, Industrial and Matrix 2 of 5: the five elements of each digit.
constexpr std::string_view kTwoOfFive[10] = {"00110", "10001", "01001", "11000", "00101",
                                             "10100", "01100", "00011", "10010", "01010"};

// Code 39: its 43 characters, each nine elements; "*" starts and stops.
constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr std::string_view kCode39[43] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000",
    "000100101", "100100100", "001100100", "100001001", "001001001", "101001000", "000011001",
    "100011000", "001011000", "000001101", "100001100", "001001100", "000011100", "100000011",
    "001000011", "101000010", "000010011", "100010010", "001010010", "000000111", "100000110",
    "001000110", "000010110", "110000001", "011000001", "111000000", "010010001", "110010000",
    "011010000", "010000101", "110000100", "011000100", "010101000", "010100010", "010001010",
    "000101010"};
constexpr std::string_view kCode39Star = "010010100";

// Full ASCII: each code below 128 as one or two Code 39 characters ("$",
// "%", "/" and "+" shift the letter after them).
constexpr std::string_view kFullAscii[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T"};

// Code 128: the module counts of the values 0 to 105 (103 to 105 start A, B, C).
constexpr std::string_view kCode128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr std::string_view kCode128Stop = "2331112";

// Code 93: 43 data characters (those of Code 39) and the four shifts ($),
// (%), (/), (+) as values 43 to 46.
constexpr int kShiftDollar = 43, kShiftPercent = 44, kShiftSlash = 45, kShiftPlus = 46;
constexpr std::string_view kCode93[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};
constexpr std::string_view kCode93Start = "111141";
constexpr std::string_view kCode93Stop = "1111411";

// Codabar: the 16 data characters, then the start and stop characters A to D.
constexpr std::string_view kCodabarChars = "0123456789-$:/.+ABCD";
constexpr std::string_view kCodabar[20] = {
    "0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001",
    "0100100", "0110000", "1001000", "0001100", "0011000", "1000101", "1010001",
    "1010100", "0010101", "0011010", "0101001", "0001011", "0001110"};
constexpr std::size_t kCodabarData = 16;

// POSTNET: the five bars of each digit, "1" a tall one.
constexpr std::string_view kPostNet[10] = {"11000", "00011", "00101", "00110", "01001",
                                           "01010", "01100", "10001", "10010", "10100"};

// EAN: the seven modules of each digit in the number sets A, B and C, and
// the sets of digits 2 to 7 of EAN-13 chosen by its first digit.
constexpr std::string_view kEanA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                        "0110001", "0101111", "0111011", "0110111", "0001011"};
constexpr std::string_view kEanB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                                        "0111001", "0000101", "0010001", "0001001", "0010111"};
constexpr std::string_view kEanC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                                        "1001110", "1010000", "1000100", "1001000", "1110100"};
constexpr std::string_view kEan13Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                               "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

int Digit(char c) { return c - '0'; }

std::string BadData(TBarcodeType type, std::string_view text) {
    std::string e(kClassName);
    e += ':';
    e += BarcodeTypeInfoOf(type).name;
    e += " bad Data <";
    e += text;
    e += '>';
    return e;
}

// Elements alternately bar and space, starting with a bar: "1" wide (w2), "0" narrow (w1).
void AppendNarrowWide(std::string& out, std::string_view elements) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const bool wide = elements[i] == '1';
        out += i % 2 == 0 ? (wide ? '6' : '5') : (wide ? '1' : '0');
    }
}

// Module counts 1 to 4, alternately bar and space from a bar.
void AppendModuleCounts(std::string& out, std::string_view counts) {
    for (std::size_t i = 0; i < counts.size(); ++i)
        out += static_cast<char>((i % 2 == 0 ? '5' : '0') + (counts[i] - '1'));
}

// An EAN number set in the notation: modules of one width, "5" a bar, "0" a space.
using EanSet = std::array<std::array<char, 7>, 10>;
constexpr EanSet InNotation(const std::string_view (&set)[10]) {
    EanSet out{};
    for (std::size_t d = 0; d < 10; ++d)
        for (std::size_t m = 0; m < 7; ++m) out[d][m] = set[d][m] == '1' ? '5' : '0';
    return out;
}
constexpr EanSet kEanNotationA = InNotation(kEanA), kEanNotationB = InNotation(kEanB), kEanNotationC = InNotation(kEanC);

void AppendEanDigit(std::string& out, const EanSet& set, char digit) { out.append(set[Digit(digit)].data(), 7); }

std::string Interleaved(std::string_view digits) {
    std::string padded;
    // An odd count gets a leading zero: the value stays what it was.
    if (digits.size() % 2 != 0) padded = "0";
    padded += digits;
    std::string out = "5050";
    for (std::size_t i = 0; i + 1 < padded.size(); i += 2) {
        const std::string_view bars = kTwoOfFive[Digit(padded[i])], spaces = kTwoOfFive[Digit(padded[i + 1])];
        for (int k = 0; k < 5; ++k) {
            out += bars[k] == '1' ? '6' : '5';
            out += spaces[k] == '1' ? '1' : '0';
        }
    }
    out += "605";
    return out;
}

std::string Industrial(std::string_view digits) {
    std::string out = "606050";
    for (const char d : digits)
        for (const char e : kTwoOfFive[Digit(d)]) out += e == '1' ? "60" : "50";
    out += "605060";
    return out;
}

std::string Matrix(std::string_view digits) {
    std::string out = "705050";
    for (const char d : digits) {
        AppendNarrowWide(out, kTwoOfFive[Digit(d)]);
        out += '0';
    }
    out += "70505";
    return out;
}

// Code 39 of characters already known to be in its set.
std::string Code39Of(std::string_view text) {
    std::string out;
    AppendNarrowWide(out, kCode39Star);
    out += '0';
    for (const char c : text) {
        AppendNarrowWide(out, kCode39[kCode39Chars.find(c)]);
        out += '0';
    }
    AppendNarrowWide(out, kCode39Star);
    return out;
}

bool InCode39(std::string_view text) { return text.find_first_not_of(kCode39Chars) == std::string_view::npos; }

// The full-ASCII form of text, or false when a character is above code 127.
bool FullAscii(std::string_view text, std::string& out) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 128) return false;
        out += kFullAscii[b];
    }
    return true;
}

std::string Code128Of(int start, const std::vector<int>& values) {
    std::string out;
    AppendModuleCounts(out, kCode128[start]);
    long long sum = start;
    for (std::size_t i = 0; i < values.size(); ++i) {
        AppendModuleCounts(out, kCode128[values[i]]);
        sum += static_cast<long long>(values[i]) * static_cast<long long>(i + 1);
    }
    AppendModuleCounts(out, kCode128[sum % 103]);
    AppendModuleCounts(out, kCode128Stop);
    return out;
}

// The values of set A (control characters and upper case) or set B (printable
// ASCII and DEL); false for a character outside the set.
bool Code128Values(std::string_view text, bool setA, std::vector<int>& values) {
    values.reserve(text.size());
    for (const char c : text) {
        const int b = static_cast<unsigned char>(c);
        if (setA ? b >= 96 : (b < 32 || b >= 128)) return false;
        values.push_back(setA && b < 32 ? b + 64 : b - 32);
    }
    return true;
}

// Code 93 values of text: the 43 data characters, or, extended, the
// full-ASCII sequences with the four shifts. False for a character outside.
bool Code93Values(std::string_view text, bool extended, std::vector<int>& values) {
    values.reserve(text.size() * (extended ? 2 : 1));
    for (const char c : text) {
        const auto at = kCode39Chars.find(c);
        if (at != std::string_view::npos) {
            // Code 93 carries "$", "%", "/" and "+" as characters of its own.
            values.push_back(static_cast<int>(at));
            continue;
        }
        const auto b = static_cast<unsigned char>(c);
        if (!extended || b >= 128) return false;
        const std::string_view seq = kFullAscii[b];
        const char shift = seq[0];
        values.push_back(shift == '$'   ? kShiftDollar
                         : shift == '%' ? kShiftPercent
                         : shift == '/' ? kShiftSlash
                                        : kShiftPlus);
        values.push_back(static_cast<int>(kCode39Chars.find(seq[1])));
    }
    return true;
}

// The Code 93 check character over values with weights 1 to maxWeight from the right.
int Code93Check(const std::vector<int>& values, int maxWeight) {
    long long sum = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t fromRight = values.size() - 1 - i;
        sum += static_cast<long long>(values[i]) * static_cast<long long>(fromRight % maxWeight + 1);
    }
    return static_cast<int>(sum % 47);
}

std::string Code93Of(std::vector<int> values) {
    values.push_back(Code93Check(values, 20));
    values.push_back(Code93Check(values, 15));
    std::string out;
    AppendModuleCounts(out, kCode93Start);
    for (const int v : values) AppendModuleCounts(out, kCode93[v]);
    AppendModuleCounts(out, kCode93Stop);
    return out;
}

// The modulo 10 check digit of MSI: the digits at odd places from the right
// doubled (digit sums taken), added to the others.
char MsiCheckDigit(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        int d = Digit(digits[digits.size() - 1 - i]);
        if (i % 2 == 0) {
            d *= 2;
            if (d > 9) d -= 9;
        }
        sum += d;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string Msi(std::string_view digits) {
    std::string all(digits);
    all += MsiCheckDigit(digits);
    std::string out = "60";
    for (const char d : all)
        for (int bit = 3; bit >= 0; --bit) out += (Digit(d) >> bit & 1) ? "60" : "51";
    out += "515";
    return out;
}

std::string PostNet(std::string_view digits) {
    int sum = 0;
    for (const char d : digits) sum += Digit(d);
    std::string all(digits);
    all += static_cast<char>('0' + (10 - sum % 10) % 10);
    std::string out = "51";
    for (const char d : all)
        for (const char bar : kPostNet[Digit(d)]) out += bar == '1' ? "51" : "A1";
    out += "5";
    return out;
}

bool Codabar(std::string_view text, std::string& out) {
    AppendNarrowWide(out, kCodabar[kCodabarChars.find('A')]);
    out += '0';
    for (const char c : text) {
        const auto at = kCodabarChars.find(c);
        // A to D start and stop a symbol; inside one they are no data.
        if (at == std::string_view::npos || at >= kCodabarData) return false;
        AppendNarrowWide(out, kCodabar[at]);
        out += '0';
    }
    AppendNarrowWide(out, kCodabar[kCodabarChars.find('B')]);
    return true;
}

// EAN-8 and EAN-13: the digits with their check digit, computed when it is
// left out and verified when it is given. The error text, or empty.
std::string EanDigits(std::string_view text, std::size_t length, std::string_view name, std::string& digits) {
    if (text.size() != length && text.size() != length - 1)
        return "Invalid Text len (" + std::string(name) + ")";
    const char check = EanCheckDigit(text.substr(0, length - 1));
    if (text.size() == length && text.back() != check) return "Invalid check digit (" + std::string(name) + ")";
    digits = text.substr(0, length - 1);
    digits += check;
    return {};
}

std::string Ean8(std::string_view digits) {
    std::string out;
    out.reserve(67);
    out = "505";
    for (int i = 0; i < 4; ++i) AppendEanDigit(out, kEanNotationA, digits[i]);
    out += "05050";
    for (int i = 4; i < 8; ++i) AppendEanDigit(out, kEanNotationC, digits[i]);
    out += "505";
    return out;
}

std::string Ean13(std::string_view digits) {
    const std::string_view parity = kEan13Parity[Digit(digits[0])];
    std::string out;
    out.reserve(95);
    out = "505";
    for (int i = 1; i <= 6; ++i) AppendEanDigit(out, parity[i - 1] == 'A' ? kEanNotationA : kEanNotationB, digits[i]);
    out += "05050";
    for (int i = 7; i <= 12; ++i) AppendEanDigit(out, kEanNotationC, digits[i]);
    out += "505";
    return out;
}

double Clamped(double ratio, double lo, double hi) {
    if (!(ratio >= lo)) return lo;  // NaN too
    return ratio > hi ? hi : ratio;
}

}  // namespace

double EffectiveRatio(TBarcodeType type, double ratio) {
    switch (type) {
        case bcCode_2_5_matrix:
            return Clamped(ratio, 2.25, 3.0);
        case bcCode128A:
        case bcCode128B:
        case bcCode128C:
        case bcCode93:
        case bcCode93Extended:
        case bcCodeEAN8:
        case bcCodeEAN13:
            return 2.0;
        case bcCodePostNet:
            return Clamped(ratio, 1.0, 3.0);
        default:
            return Clamped(ratio, 2.0, 3.0);
    }
}

ElementWidths ElementWidthsFor(TBarcodeType type, int modul, double ratio) {
    modul = modul < kMinModul ? kMinModul : modul > kMaxModul ? kMaxModul : modul;
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    const int w2 = static_cast<int>(std::nearbyint(modul * EffectiveRatio(type, ratio)));
    return {modul, w2, 3 * w2 / 2, 2 * w2};
}

char EanCheckDigit(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const int weight = (digits.size() - 1 - i) % 2 == 0 ? 3 : 1;
        sum += weight * Digit(digits[i]);
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

BarcodePattern BuildBarcodePattern(TBarcodeType type, std::string_view text) {
    BarcodePattern r;
    if (type < 0 || type >= kBarcodeTypeCount) {
        r.error = std::string(kClassName) + ": unknown symbology";
        return r;
    }
    const BarcodeTypeInfo& info = BarcodeTypeInfoOf(type);
    if (info.numericOnly) text = TrimBlanks(text);
    r.text = text;
    if (text.size() > kMaxBarcodeText) {
        r.error = std::string(kClassName) + ": Text too long";
        return r;
    }
    if (info.numericOnly && text.find_first_not_of("0123456789") != std::string_view::npos) {
        r.error = "Barcode must be numeric";
        return r;
    }
    std::string expanded;
    std::vector<int> values;
    switch (type) {
        case bcCode_2_5_interleaved:
            r.pattern = Interleaved(text);
            break;
        case bcCode_2_5_industrial:
            r.pattern = Industrial(text);
            break;
        case bcCode_2_5_matrix:
            r.pattern = Matrix(text);
            break;
        case bcCode39:
            if (!InCode39(text)) r.error = BadData(type, text);
            else r.pattern = Code39Of(text);
            break;
        case bcCode39Extended:
            if (!FullAscii(text, expanded)) r.error = BadData(type, text);
            else r.pattern = Code39Of(expanded);
            break;
        case bcCode128A:
        case bcCode128B:
            if (!Code128Values(text, type == bcCode128A, values)) r.error = BadData(type, text);
            else r.pattern = Code128Of(type == bcCode128A ? 103 : 104, values);
            break;
        case bcCode128C:
            if (text.size() % 2 != 0) {
                r.error = "Invalid Text len (Code128C)";
                break;
            }
            for (std::size_t i = 0; i < text.size(); i += 2) values.push_back(10 * Digit(text[i]) + Digit(text[i + 1]));
            r.pattern = Code128Of(105, values);
            break;
        case bcCode93:
        case bcCode93Extended:
            if (!Code93Values(text, type == bcCode93Extended, values)) r.error = BadData(type, text);
            else r.pattern = Code93Of(std::move(values));
            break;
        case bcCodeMSI:
            r.pattern = Msi(text);
            break;
        case bcCodePostNet:
            r.pattern = PostNet(text);
            break;
        case bcCodeCodabar:
            if (!Codabar(text, r.pattern)) {
                r.pattern.clear();
                r.error = BadData(type, text);
            }
            break;
        case bcCodeEAN8:
            r.error = EanDigits(text, 8, "EAN8", expanded);
            if (r.error.empty()) r.pattern = Ean8(expanded);
            break;
        case bcCodeEAN13:
            r.error = EanDigits(text, 13, "EAN13", expanded);
            if (r.error.empty()) r.pattern = Ean13(expanded);
            break;
    }
    return r;
}

BarcodeModules ModuleSequence(std::string_view pattern, const ElementWidths& widths) {
    BarcodeModules m;
    m.elements.reserve(pattern.size());
    for (const char c : pattern) {
        BarElement e;
        if (c >= '0' && c <= '3') e = {ElementKind::Space, widths[c - '0']};
        else if (c >= '5' && c <= '8') e = {ElementKind::Bar, widths[c - '5']};
        else if (c >= 'A' && c <= 'D') e = {ElementKind::ShortBar, widths[c - 'A']};
        else {
            m.error = std::string(kClassName) + ": internal Error \"" + c + "\"";
            m.elements.clear();
            m.width = 0;
            return m;
        }
        m.width += e.width;
        if (!m.elements.empty() && m.elements.back().kind == e.kind) m.elements.back().width += e.width;
        else m.elements.push_back(e);
    }
    return m;
}

BarcodeModules EncodeBarcode(TBarcodeType type, std::string_view text, int modul, double ratio) {
    BarcodePattern p = BuildBarcodePattern(type, text);
    if (!p.error.empty()) {
        BarcodeModules m;
        m.error = std::move(p.error);
        return m;
    }
    return ModuleSequence(p.pattern, ElementWidthsFor(type, modul, ratio));
}

}  // namespace velt
