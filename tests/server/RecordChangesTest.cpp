// The server's record changes without a connection: the changed-fields
// lines a save applies, the key patterns, the
// index derivation a save and the seeder share, and the date rule.

#include "RecordChanges.h"
#include "RecordIndex.h"
#include "Seeder.h"
#include "Validation.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::server;

namespace {

std::vector<RecordField> Fields(std::initializer_list<std::pair<const char*, const char*>> kv) {
    std::vector<RecordField> out;
    for (const auto& [k, v] : kv) out.push_back({k, v});
    return out;
}

std::string Text(const std::vector<RecordField>& fields) {
    std::string t;
    for (const auto& f : fields) t += f.key + "=" + f.value + ";";
    return t;
}

TEST(RecordChanges, ApplyReplacesRemovesAppendsAndRefuses) {
    struct Case {
        const char* changes;
        const char* result;
        std::vector<std::string> errors;  // patterns
    };
    const Case cases[] = {
        {"245Z.1.1.1.1=B\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=B;500Z.1.1.1.1=u;", {}},
        {"500Z.1.1.1.1=\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;", {}},
        {"650Z.1.1.1.1=x=y\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=u;650Z.1.1.1.1=x=y;", {}},
        {"500Z.1.1.1.1=\r500Z.1.1.1.1=v\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=v;", {}},  // removed, then set again
        {"999Z.1.1.1.1=\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=u;", {}},  // removing nothing
        {"#EGZ=e|1|U|\rA#1.1=x\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=u;", {}},
        {"bez znaku\r\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=u;", {}},
        {"001Z.1.1.1.1=K1\r", "001Z.1.1.1.1=K1;245Z.1.1.1.1=A;500Z.1.1.1.1=u;", {}},  // its own value
        {"001Z.1.1.1.1=K2\r005Z.1.1.1.1=1\r", nullptr, {"001Z.1.1.1.1", "005Z.1.1.1.1"}},
        {"*245Z.1.1.1.1=B\r", nullptr, {"*"}},
        {"=B\r", nullptr, {"*"}},
        {"a\tb=B\r", nullptr, {"*"}},
    };
    for (const Case& c : cases) {
        auto fields = Fields({{"001Z.1.1.1.1", "K1"}, {"245Z.1.1.1.1", "A"}, {"500Z.1.1.1.1", "u"}});
        const auto errors = ApplyChanges(fields, ParseChanges(c.changes));
        std::vector<std::string> patterns;
        for (const auto& e : errors) patterns.push_back(e.patterns);
        EXPECT_EQ(patterns, c.errors) << c.changes;
        if (c.result) EXPECT_EQ(Text(fields), c.result) << c.changes;
    }
    EXPECT_FALSE(ValidKey(std::string(201, 'a')));
    EXPECT_TRUE(ValidKey(std::string(200, 'a')));
}

TEST(RecordChanges, KeyPatterns) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"650Z.1.1.*.1", "650Z.1.1.12.1", true}, {"650Z.1.1.*.1", "650Z.1.1.12.2", false},
        {"876?.1.1.*.1", "876D.1.1.3.1", true},  {"*", "", true},
        {"a*b*c", "aXbYbZc", true},              {"a*b*c", "aXbYbZ", false},
        {"?", "", false},                        {"", "", true},
    };
    for (const auto& [pattern, key, match] : cases) EXPECT_EQ(KeyMatches(pattern, key), match) << pattern << " " << key;
    // No exponential search on many stars.
    EXPECT_FALSE(KeyMatches(std::string(50, '*') + "b", std::string(5000, 'a')));
}

TEST(RecordChanges, IndexDerivationOfASavedRecordMatchesTheSeededOne) {
    const Identifiers ids(DbKind::Velt3, kRecordLetters);
    const SeedCounts counts = CountsFor(100);
    const std::uint32_t k7 = ids.Number(kBookLetter, 7);
    const RecordIndex seeded = DeriveIndex(ids, k7, RecordText::Parse(BookText(7, counts)));
    EXPECT_FALSE(seeded.entries.empty());
    EXPECT_FALSE(seeded.words.empty());
    EXPECT_FALSE(seeded.refs.empty());  // its author and subjects
    EXPECT_GT(seeded.year, 1949);
    // The same record with the server's own stamp and attributes indexes alike.
    const RecordIndex saved = DeriveIndex(
        ids, k7, RecordText::Parse("005Z.1.1.1.1=20250101120000.0\r" + BookText(7, counts) + "DOK_IDO=K3\r"));
    EXPECT_EQ(saved.entries, seeded.entries);
    EXPECT_EQ(saved.words, seeded.words);
    EXPECT_EQ(saved.refs, seeded.refs);
    EXPECT_EQ(saved.parent, ids.Number(kBookLetter, 3));
    // Headings that fold alike make one entry; a link to a book is no reference.
    const RecordIndex twice = DeriveIndex(
        ids, k7, RecordText::Parse("245Z.1.1.1.1=^aŁąka\r100Z.1.1.1.1=^aNowak ^9O2\r700Z.1.1.1.1=^aNOWAK ^9K5\r"_cp));
    int authors = 0;
    for (const auto& e : twice.entries) authors += e.ix == 1;
    EXPECT_EQ(authors, 1);
    EXPECT_EQ(twice.refs, std::vector<std::uint32_t>{ids.Number(kPersonLetter, 2)});
    for (const auto& [text, year] : {std::pair{"cop. 1999", 1999}, {"[ca 1900]", 1900}, {"999", 999}, {"12 20250", 0}, {"", 0}})
        EXPECT_EQ(YearIn(text), year) << text;
}

TEST(RecordChanges, DatesOfTheCalendar) {
    for (const char* good : {"20240229", "20000229", "19991231", "00010101"}) EXPECT_TRUE(ValidDate(good)) << good;
    for (const char* bad : {"20230229", "19000229", "20241301", "20240100", "2024010", "2024o101", ""})
        EXPECT_FALSE(ValidDate(bad)) << bad;
}

}  // namespace
