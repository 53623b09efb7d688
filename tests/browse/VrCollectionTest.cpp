#include "browse/CollectionFile.h"
#include "browse/VrCollection.h"
#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <thread>

using namespace velt;
using test::TempDir;

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

TEST(VrCollection, BitsAndBlocksHaveTheirPlaces) {
    TempDir dir;
    VrCollection c(dir.Path());
    ASSERT_TRUE(c.Ready()) << c.Error();
    EXPECT_EQ(c.FileName(), dir.Path() + "1.KOL");
    EXPECT_TRUE(c.Include(300));
    EXPECT_EQ(c.FileSize(), 64);
    const std::string bytes = FileBytes(c.FileName());
    ASSERT_EQ(bytes.size(), 64u);
    for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(static_cast<unsigned char>(bytes[i]), i == 32 + 5 ? 16 : 0) << i;
    EXPECT_TRUE(c.Contains(300));
    EXPECT_FALSE(c.Contains(301));
    EXPECT_FALSE(c.Contains(100000)) << "beyond the file";
    c.Exclude(100000);
    EXPECT_EQ(c.FileSize(), 64) << "excluding beyond the file makes it no longer";
    // Numbers that are no record numbers are refused before they touch the set.
    for (const std::int64_t bad : {std::int64_t{0}, std::int64_t{-5}, std::int64_t{0x80000000}, std::int64_t{1} << 40})
        EXPECT_FALSE(c.Include(bad)) << bad;
    EXPECT_EQ(c.FileSize(), 64);
    EXPECT_TRUE(c.Include(VrCollection::kMaxNumber));
    EXPECT_EQ(c.LastNumber(), VrCollection::kMaxNumber);
    EXPECT_EQ(c.NextNumber(VrCollection::kMaxNumber), 0);
    c.Clear();
    EXPECT_EQ(c.FileSize(), 0);
    EXPECT_EQ(c.FirstNumber(), 0);
    EXPECT_EQ(c.CountNumbers(), 0);
}

TEST(VrCollection, NeighboursAndCountsAgreeWithASetOnRandomNumbers) {
    TempDir dir;
    VrCollection c(dir.Path());
    std::mt19937 random(7);
    std::set<std::int64_t> expected;
    for (int i = 0; i < 3000; ++i) {
        // Clustered and scattered numbers: empty blocks in between.
        const std::int64_t r = i % 3 ? 1 + random() % 5000 : 1 + random() % 3000000;
        if (random() % 5 == 0) {
            c.Exclude(r);
            expected.erase(r);
        } else {
            c.Include(r);
            expected.insert(r);
        }
    }
    EXPECT_EQ(c.CountNumbers(), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(c.FirstNumber(), *expected.begin());
    EXPECT_EQ(c.LastNumber(), *expected.rbegin());
    std::int64_t n = c.FirstNumber();
    for (const std::int64_t e : expected) {
        ASSERT_EQ(n, e);
        n = c.NextNumber(n);
    }
    EXPECT_EQ(n, 0);
    n = c.LastNumber();
    for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
        ASSERT_EQ(n, *it);
        n = c.PriorNumber(n);
    }
    EXPECT_EQ(n, 0);
    for (int i = 0; i < 200; ++i) {
        const std::int64_t r = 1 + random() % 3000000;
        const auto next = expected.upper_bound(r);
        EXPECT_EQ(c.NextNumber(r), next == expected.end() ? 0 : *next) << r;
        EXPECT_EQ(c.Contains(r), expected.count(r) == 1) << r;
    }
}

TEST(VrCollection, ProgramsSharingAWorkingDirectoryGetFilesOfTheirOwn) {
    TempDir dir;
    dir.Write("7.KOL", "");
    dir.Write("x.KOL", "");
    dir.Write("9.txt", "");
    VrCollection first(dir.Path());
    EXPECT_EQ(first.FileName(), dir.Path() + "8.KOL");
    std::vector<std::unique_ptr<VrCollection>> many(8);
    std::vector<std::thread> threads;
    for (auto& m : many) threads.emplace_back([&m, &dir] { m = std::make_unique<VrCollection>(dir.Path()); });
    for (auto& t : threads) t.join();
    std::set<std::string> names{first.FileName()};
    for (auto& m : many) {
        ASSERT_TRUE(m->Ready());
        names.insert(m->FileName());
    }
    EXPECT_EQ(names.size(), 9u) << "two collections shared a file";
    const std::string name = first.FileName();
    many.clear();
    { VrCollection gone(dir.Path()); }
    EXPECT_TRUE(TempDir::Exists(name));
}

TEST(VrCollection, AnUnwritableDirectoryIsAnError) {
    VrCollection c("/nonexistent/velt/");
    EXPECT_FALSE(c.Ready());
    EXPECT_FALSE(c.Error().empty());
    EXPECT_FALSE(c.Include(5));
    EXPECT_EQ(c.FirstNumber(), 0);
}

// Saving and restoring a collection file, for every database kind.
TEST(CollectionFile, RoundTripsForEveryDatabaseKind) {
    const struct {
        const char* name;
        IdentifierRules rules;
        std::vector<std::int64_t> numbers;
        std::string text;
    } cases[] = {
        {"VELT1", IdentifierRules(kVelt1, ""), {7, 12}, "7\r\n12\r\n"},
        {"VELT2", IdentifierRules(kVelt2, "KOT"), {1, 2, 1000000, 1999999}, ""},
        {"VELT3", IdentifierRules(kVelt3, "KOT"), {3, 77, 123456}, ""},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        TempDir dir;
        VrCollection c(dir.Path());
        for (const auto n : tc.numbers) c.Include(n);
        const std::string file = dir.Path() + "zbior.num";
        EXPECT_EQ(SaveCollectionFile(file, c, tc.rules), "");
        const std::string bytes = FileBytes(file);
        if (!tc.text.empty()) EXPECT_EQ(bytes, tc.text);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(tc.numbers.size()));
        VrCollection back(dir.Path());
        const CollectionFileLoad load = LoadCollectionFile(file, back, tc.rules);
        EXPECT_EQ(load.error, "");
        EXPECT_EQ(load.included, static_cast<std::int64_t>(tc.numbers.size()));
        std::vector<std::int64_t> got;
        for (std::int64_t n = back.FirstNumber(); n; n = back.NextNumber(n)) got.push_back(n);
        EXPECT_EQ(got, tc.numbers);
        // No temporary file is left beside it.
        EXPECT_EQ(TempDir::List(dir.Path()).size(), 3u);
    }
}

TEST(CollectionFile, RestoringSkipsWhatNamesNoRecordAndAnyLineEnd) {
    TempDir dir;
    const IdentifierRules rules(kVelt2, "KOT");
    const std::string file = dir.Write("x.num", "K1\r\n\r\n  K2  \nZ9\rK3\r\n" + std::string(300, 'K') + "\r\nK0\r\nK4");
    VrCollection c(dir.Path());
    const CollectionFileLoad load = LoadCollectionFile(file, c, rules);
    EXPECT_EQ(load.included, 4);
    EXPECT_EQ(load.skipped, 2) << "the unknown prefix and record 0";
    EXPECT_EQ(c.CountNumbers(), 4);
    const CollectionFileLoad missing = LoadCollectionFile(dir.Path() + "brak.num", c, rules);
    EXPECT_EQ(missing.error, "Błąd otwarcia pliku "_cp + dir.Path() + "brak.num");
    const CollectionFileLoad directory = LoadCollectionFile(dir.Path(), c, rules);
    EXPECT_FALSE(directory.error.empty());
    // A save that cannot be written leaves the old file alone.
    EXPECT_EQ(SaveCollectionFile("/nonexistent/dir/x.num", c, rules), "Błąd zapisu do pliku /nonexistent/dir/x.num"_cp);
}
