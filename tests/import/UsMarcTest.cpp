// MARC records as the system's records: keys, indicators, the delimiter
// rewrite, the 1XX filing, kind letters; broken records made by cutting and
// corrupting sound ones; and the MARC 21 sample against yaz-marcdump.

#include "import/MarcFormatSet.h"
#include "import/usmarc.h"
#include "support/Tool.h"
#include "support/Z3950Server.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace velt;

namespace {

struct Field {
    std::string tag, body;  // body without the field terminator
};

std::string Num(std::size_t n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

// An ISO 2709 record of the fields, with a correct leader and directory.
std::string MakeMarc(const std::vector<Field>& fields, const std::string& type = "nam") {
    std::string directory, data;
    for (const auto& f : fields) {
        directory += f.tag + Num(f.body.size() + 1, 4) + Num(data.size(), 5);
        data += f.body + "\x1E";
    }
    directory += "\x1E";
    const std::size_t base = 24 + directory.size();
    const std::size_t length = base + data.size() + 1;
    return Num(length, 5) + type + " a22" + Num(base, 5) + " a 4500" + directory + data + "\x1D";
}

std::map<std::string, std::string> Keys(const my_record& r) {
    std::map<std::string, std::string> m;
    for (const auto& f : r.fields()) m[f.key] = f.value;
    return m;
}

MarcOptions Plain(bool format = false) {
    MarcOptions o;
    static const converter identity;
    o.presentation = &identity;
    o.format = format;
    return o;
}

}  // namespace

TEST(ParseMarc, FieldsIndicatorsAndSubfields) {
    const std::string rec = MakeMarc({
        {"001", "ocm123"},
        {"008", "910710s1991"},
        {"007", "  \x1F" "a(OCoLC)77"},
        {"245", "10\x1F" "aTitle\x1F" "bsub"},
        {"246", "3 \x1F" "aOne \x1F" "bspaced"},
        {"500", "  plain text"},
        {"700", "1 \x1F" "aFirst"},
        {"700", "1 \x1F" "aSecond"},
        {"650", " 0"},
    });
    const my_record r = ParseMarc(rec, Plain());
    EXPECT_TRUE(r.errors().empty());
    const auto k = Keys(r);
    EXPECT_EQ(k.at("L.1"), rec.substr(0, 24));
    EXPECT_EQ(k.at("001Z.1.1.1.1"), "ocm123");
    EXPECT_EQ(k.at("008Z.1.1.1.1"), "910710s1991");
    EXPECT_EQ(k.at("007Z.1.1.1.1"), "(OCoLC)77");  // blanks, delimiter and code dropped
    EXPECT_EQ(k.at("245A.1.1.1.1"), "1");
    EXPECT_EQ(k.at("245B.1.1.1.1"), "0");
    EXPECT_EQ(k.at("245Z.1.1.1.1"), "^aTitle ^bsub");
    EXPECT_EQ(k.count("246B.1.1.1.1"), 0u);
    EXPECT_EQ(k.at("246Z.1.1.1.1"), "^aOne ^bspaced");
    EXPECT_EQ(k.at("500Z.1.1.1.1"), "plain text");
    EXPECT_EQ(k.at("700Z.1.1.1.1"), "^aFirst");
    EXPECT_EQ(k.at("700Z.1.1.2.1"), "^aSecond");
    EXPECT_EQ(k.at("650B.1.1.1.1"), "0");
    EXPECT_EQ(r.kind, "U");
}

TEST(ParseMarc, DelimiterRewrite) {
    const std::pair<std::string, std::string> cases[] = {
        {"  \x1F" "aA \x1F" "bB", "^aA ^bB"},           // spaces before every later delimiter
        {"  \x1F" "aA\x1F" "bB", "^aA ^bB"},             // none
        {"  \x1F" "aA \x1F" "bB\x1F" "cC", "^aA  ^bB ^cC"},  // mixed: every one rewritten, the space stays
        {"  text \x1F" "bB", "text ^bB"},
    };
    for (const auto& [body, data] : cases)
        EXPECT_EQ(ParseMarc(MakeMarc({{"245", body}}), Plain()).GetValue("245Z.1.1.1.1"), data);
}

TEST(ParseMarc, OneXXFieldsAreFiledUnder100WithoutTheFormatFlag) {
    const std::string rec = MakeMarc({{"100", "1 \x1F" "aPerson"}, {"110", "  \x1F" "aBody"}});
    const my_record joined = ParseMarc(rec, Plain(false));
    const auto k = Keys(joined);
    EXPECT_EQ(k.at("100Z.1.1.1.1"), "^aBody");
    EXPECT_EQ(k.at("100R.1.1.1.1"), "110");
    // The first field's indicator is not the second's.
    EXPECT_EQ(k.count("100A.1.1.1.1"), 0u);
    EXPECT_EQ(k.count("110Z.1.1.1.1"), 0u);

    const auto own = Keys(ParseMarc(rec, Plain(true)));
    EXPECT_EQ(own.at("100Z.1.1.1.1"), "^aPerson");
    EXPECT_EQ(own.at("100A.1.1.1.1"), "1");
    EXPECT_EQ(own.at("110Z.1.1.1.1"), "^aBody");
    EXPECT_EQ(own.count("100R.1.1.1.1"), 0u);
}

TEST(ParseMarc, KindLetters) {
    const std::pair<std::string, char> cases[] = {{"nz ", 'A'}, {"nzx", 'C'}, {"nzu", 'C'}, {"nzn", 'A'}, {"nam", 'U'}};
    for (const auto& [type, letter] : cases) {
        const my_record r = ParseMarc(MakeMarc({{"001", "x1"}}, type), Plain());
        EXPECT_EQ(RecordKindLetter(r), letter) << type;
        EXPECT_EQ(r.kind, std::string(1, letter));
    }
    EXPECT_EQ(RecordKindLetter(my_record()), 'U');
}

TEST(ParseMarc, OccurrencesStopAt200) {
    std::vector<Field> fields(205, Field{"650", " 0\x1F" "aX"});
    fields.insert(fields.end(), 200, Field{"700", "1 \x1F" "aY"});
    const my_record r = ParseMarc(MakeMarc(fields), Plain());
    EXPECT_EQ(r.GetValue("650Z.1.1.200.1"), "^aX");
    EXPECT_EQ(r.Find("650Z.1.1.201.1"), nullptr);
    EXPECT_EQ(r.GetValue("700Z.1.1.200.1"), "^aY");
    ASSERT_EQ(r.errors().size(), 3u) << "one warning for each tag, and what was left out";
    EXPECT_EQ(r.errors()[0].message, "Za duża liczba wystąpień pola "_cp + "650");
    EXPECT_EQ(r.errors()[1].message, "Za duża liczba wystąpień pola "_cp + "700");
    // The occurrences beyond the limit would vanish from a saved record unseen.
    EXPECT_EQ(r.errors()[2].message, "Pominięto wystąpienia pola 650 ponad 200: 5"_cp);
    EXPECT_EQ(r.errors()[2].keys, "650*");
}

TEST(ParseMarc, BrokenRecordsGiveAnErrorAndNoStrayReads) {
    const std::string sound = MakeMarc({{"001", "id1"}, {"245", "10\x1F" "aTitle"}, {"500", "  \x1F" "aNote"}});
    auto with = [&](std::size_t at, const std::string& bytes) {
        std::string s = sound;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const std::size_t base = std::stoul(sound.substr(12, 5));
    const std::string tooMany = MakeMarc(std::vector<Field>(2001, Field{"245", "10\x1F" "aT"}));
    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"length not digits", with(0, "00a98"), "Błędna struktura rekordu MARC: długość rekordu nie jest liczbą"_cp},
        {"cut in the leader", sound.substr(0, 20), "Błędna struktura rekordu MARC: rekord krótszy niż nagłówek"_cp},
        {"base address not digits", with(12, "0x049"), "Błędna struktura rekordu MARC: adres danych nie jest liczbą"_cp},
        {"base address beyond the record", with(12, "09000"), "Błędna struktura rekordu MARC: adres danych poza rekordem"_cp},
        {"directory length not digits", with(24 + 12 + 3, "00x9"), "Błędna struktura rekordu MARC: błędny wpis katalogu nr 2"_cp},
        {"field beyond the record", with(24 + 12 + 7, "09999"), "Błędna struktura rekordu MARC: pole 245 poza rekordem"_cp},
        {"field without terminator", with(base + 3, "X"), "Błędna struktura rekordu MARC: pole 001 bez znaku końca pola"_cp},
        {"directory without terminator", with(base - 1, "X"), "Błędna struktura rekordu MARC: katalog nie kończy się znakiem końca pola"_cp},
        {"cut in the data", sound.substr(0, sound.size() - 8), "Błędna struktura rekordu MARC: pole 500 poza rekordem"_cp},
        {"more than 2000 fields", tooMany, "Za dużo pól - błąd struktury pliku!"_cp},
    };
    for (const auto& c : cases) {
        const my_record r = ParseMarc(c.bytes, Plain());
        ASSERT_EQ(r.errors().size(), 1u) << c.what;
        EXPECT_EQ(r.errors()[0].message, c.error) << c.what;
        // Nothing after the fault: no field data at all.
        EXPECT_EQ(r.Find("245Z.1.1.1.1"), nullptr) << c.what;
    }
    // A placeholder and a zero length are empty records without an error.
    for (const char* empty : {"00000", "00000nam  22"}) {
        const my_record r = ParseMarc(empty, Plain());
        EXPECT_TRUE(r.fields().empty());
        EXPECT_TRUE(r.errors().empty());
    }
    // Every cut of a sound record stays inside it (the sanitizers watch).
    for (std::size_t n = 0; n < sound.size(); ++n) (void)ParseMarc(sound.substr(0, n), Plain());
}

TEST(ParseMarc, FieldsAreTakenAtTheirDirectoryOffsets) {
    // Two fields whose data lies in the other order than their directory entries.
    const std::string data = std::string("10\x1F" "aTitle\x1E") + "id7\x1E";
    const std::string dir = std::string("001") + "0004" + "00010" + "245" + "0010" + "00000" + "\x1E";
    const std::size_t base = 24 + dir.size(), length = base + data.size() + 1;
    const std::string rec = Num(length, 5) + "nam a22" + Num(base, 5) + " a 4500" + dir + data + "\x1D";
    const my_record r = ParseMarc(rec, Plain());
    EXPECT_TRUE(r.errors().empty());
    EXPECT_EQ(r.GetValue("001Z.1.1.1.1"), "id7");
    EXPECT_EQ(r.GetValue("245Z.1.1.1.1"), "^aTitle");
}

TEST(SplitMarcFile, ABrokenRecordDoesNotStopTheNextOne) {
    const std::string a = MakeMarc({{"001", "first"}});
    const std::string b = MakeMarc({{"001", "second"}});
    std::string broken = MakeMarc({{"001", "middle"}});
    broken[2] = 'x';  // its length is no number: it ends at its terminator
    const std::string file = a + "\n" + broken + b + "\x1D\x1D";
    const auto records = SplitMarcFile(file);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(ParseMarc(records[0], Plain()).GetValue("001Z.1.1.1.1"), "first");
    EXPECT_FALSE(ParseMarc(records[1], Plain()).errors().empty());
    EXPECT_EQ(ParseMarc(records[2], Plain()).GetValue("001Z.1.1.1.1"), "second");
}

TEST(MarcDisplayLines, KeyValueLinesUntilAFormatterIsGiven) {
    const std::string rec = MakeMarc({{"245", "10\x1F" "aTitle"}}, "nzx");
    const auto lines = MarcDisplayLines(rec, Plain());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "245Z.1.1.1.1=^aTitle");
    char seen = 0;
    const auto formatted = MarcDisplayLines(rec, Plain(), [&seen](const my_record& r, char kind) {
        seen = kind;
        return std::vector<std::string>{r.GetValue("245Z.1.1.1.1")};
    });
    EXPECT_EQ(seen, 'C');
    EXPECT_EQ(formatted, std::vector<std::string>{"^aTitle"});
}

TEST(ParseMarc, RealRecordsCutAndCorrupted) {
    test::TempDir dir;
    const std::string file = dir.Path() + "sample.mrc";
    if (!test::Z3950Server::WriteMarcSample(file))
        GTEST_SKIP() << "the MARC 21 sample is not installed (package idzebra-2.0-examples)";
    const std::string bytes = test::TempDir::Read(file);
    const auto records = SplitMarcFile(bytes);
    ASSERT_GE(records.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string sound(records[k]);
        const std::size_t base = std::stoul(sound.substr(12, 5));
        // Without its record terminator a record still reads whole.
        EXPECT_TRUE(ParseMarc(sound.substr(0, sound.size() - 1), Plain()).errors().empty());
        // Any shorter cut loses part of a field (or more): an error, never a stray read.
        for (std::size_t n = 24; n + 1 < sound.size(); ++n)
            EXPECT_FALSE(ParseMarc(sound.substr(0, n), Plain()).errors().empty()) << k << " cut at " << n;
        // Every directory digit made a letter: that entry is refused.
        for (std::size_t at = 24; at + 1 < base; ++at) {
            if ((at - 24) % 12 < 3) continue;  // the tag may be a letter
            std::string broken = sound;
            broken[at] = 'x';
            const my_record r = ParseMarc(broken, Plain());
            ASSERT_EQ(r.errors().size(), 1u) << k << " at " << at;
            EXPECT_NE(r.errors()[0].message.find("błędny wpis katalogu nr "_cp + std::to_string((at - 24) / 12 + 1)),
                      std::string::npos);
        }
        // Every field terminator overwritten: that field is refused.
        for (std::size_t at = base; at < sound.size(); ++at) {
            if (sound[at] != '\x1E') continue;
            std::string broken = sound;
            broken[at] = 'x';
            const my_record r = ParseMarc(broken, Plain());
            ASSERT_EQ(r.errors().size(), 1u) << k << " at " << at;
            EXPECT_NE(r.errors()[0].message.find(" bez znaku końca pola"_cp), std::string::npos);
        }
    }
}

// Every data and control field of the sample, as yaz-marcdump -o line shows it.
TEST(ParseMarc, SampleAgreesWithYazMarcdumpFieldByField) {
    if (!test::HaveTool("yaz-marcdump")) GTEST_SKIP() << "yaz-marcdump is not installed (package yaz)";
    test::TempDir dir;
    const std::string file = dir.Path() + "sample.mrc";
    if (!test::Z3950Server::WriteMarcSample(file))
        GTEST_SKIP() << "the MARC 21 sample is not installed (package idzebra-2.0-examples)";
    const auto yaz = test::RunTool("yaz-marcdump -o line '" + file + "'", "");
    ASSERT_TRUE(yaz);
    const std::string bytes = test::TempDir::Read(file);
    const auto records = SplitMarcFile(bytes);
    ASSERT_EQ(records.size(), 24u);

    // yaz's lines: leader, then "TAG data" (control) or "TAG ij $a x $b y".
    std::vector<std::vector<std::string>> theirs(1);
    std::istringstream in(*yaz);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            theirs.emplace_back();
            continue;
        }
        if (line[0] == '(') continue;  // yaz's own warnings about a leader
        theirs.back().push_back(line);
    }
    while (!theirs.empty() && theirs.back().empty()) theirs.pop_back();
    ASSERT_EQ(theirs.size(), records.size());

    int compared = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // Only MARC 21 records: the last one of the sample is danMARC, whose
        // 00X fields carry subfields and whose leader yaz rewrites.
        if (records[i].substr(20, 4) != "4500") continue;
        MarcOptions o = Plain(true);
        const my_record r = ParseMarc(records[i], o);
        ASSERT_TRUE(r.errors().empty()) << i;
        EXPECT_EQ(r.GetValue("L.1"), theirs[i][0]);
        std::map<std::string, int> occurrence;
        for (std::size_t l = 1; l < theirs[i].size(); ++l) {
            const std::string& line = theirs[i][l];
            const std::string tag = line.substr(0, 3);
            const std::string occ = ".1.1." + std::to_string(++occurrence[tag]) + ".1";
            if (tag < "010") {
                EXPECT_EQ(r.GetValue(tag + "Z" + occ), line.substr(4)) << line;
            } else {
                const char i1 = line[4], i2 = line[5];
                EXPECT_EQ(r.GetValue(tag + "A" + occ), i1 == ' ' ? "" : std::string(1, i1)) << line;
                EXPECT_EQ(r.GetValue(tag + "B" + occ), i2 == ' ' ? "" : std::string(1, i2)) << line;
                // yaz writes " $c value" for each subfield; a "$" inside data is
                // not followed by a code and a space.
                std::vector<std::pair<char, std::string>> subfields;
                for (std::size_t p = 7; p + 2 < line.size() || p + 2 == line.size();) {
                    std::size_t next = p + 3;
                    while ((next = line.find(" $", next)) != std::string::npos &&
                           !(next + 3 < line.size() + 1 && next + 3 <= line.size() && (next + 3 == line.size() || line[next + 3] == ' ')))
                        ++next;
                    subfields.emplace_back(line[p + 1], line.substr(p + 3, next == std::string::npos ? std::string::npos : next - p - 3));
                    if (next == std::string::npos) break;
                    p = next + 1;
                }
                // The delimiters become " ^"; a space already before one is that space,
                // unless some delimiter has none: then every one gets its own.
                bool allSpaced = true;
                for (std::size_t s = 0; s + 1 < subfields.size(); ++s)
                    allSpaced = allSpaced && !subfields[s].second.empty() && subfields[s].second.back() == ' ';
                std::string expected;
                for (std::size_t s = 0; s < subfields.size(); ++s) {
                    if (s == 0)
                        expected = "^";
                    else
                        expected += allSpaced ? "^" : " ^";
                    expected += subfields[s].first + subfields[s].second;
                }
                std::string ours = r.GetValue(tag + "Z" + occ);
                EXPECT_EQ(ours, expected) << line;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 300);
}

// The format set: the program of the record's kind letter gives the display
// lines, with the letter as the record's kind; its errors carry "Z3950: ";
// a kind without a program shows the fields; a program that does not compile
// leaves the slot as it was.
TEST(MarcFormatSet, RunsTheProgramOfTheKindLetter) {
    test::TempDir dir;
    const std::string show = dir.Write("show.txt", "BEGIN PRINT(REKORD) GRUPA('245Z') PRINT(POLE) BACK END\n");
    const std::string open = dir.Write("open.txt", "BEGIN GRUPA('245') PRINT('x') END\n");
    const std::string broken = dir.Write("broken.txt", "BEGIN PRINT( END\n");
    std::vector<std::string> errors;
    MarcFormatSet set;
    ASSERT_TRUE(set.Load('U', show, {}));
    EXPECT_TRUE(set.Has('U'));
    EXPECT_FALSE(set.Has('C'));
    const MarcFormatter formatter = set.Formatter([&](const std::string& m) { errors.push_back(m); });

    const std::string book = MakeMarc({{"245", "10\x1F" "aPan Tadeusz"}});
    EXPECT_EQ(MarcDisplayLines(book, Plain(), formatter), (std::vector<std::string>{"U", "^aPan Tadeusz"}));

    const std::string authority = MakeMarc({{"100", "1 \x1F" "aMickiewicz, Adam"}}, "nzx");
    const auto fields = MarcDisplayLines(authority, Plain(), formatter);
    EXPECT_NE(std::find(fields.begin(), fields.end(), "100Z.1.1.1.1=^aMickiewicz, Adam"), fields.end());
    EXPECT_TRUE(errors.empty());

    EXPECT_FALSE(set.Load('U', broken, {}));
    EXPECT_EQ(MarcDisplayLines(book, Plain(), formatter), (std::vector<std::string>{"U", "^aPan Tadeusz"}))
        << "the formatter keeps the programs it was made with";
    ASSERT_TRUE(set.Load('U', open, {}));
    EXPECT_EQ(MarcDisplayLines(book, Plain(), set.Formatter([&](const std::string& m) { errors.push_back(m); })),
              (std::vector<std::string>{"x"}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Z3950: ACT_TCP: za mało BACK"_cp);
}
