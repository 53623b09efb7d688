// The authority files' rules without a server: the tags hidden in an
// entry's display, where each kind keeps its heading, which file a
// reference names, the "open" identifiers, a lookup's result as search
// text, and the indented structure text.

#include "authority/AuthorityEntries.h"
#include "browse/StructureTree.h"
#include "catalogue/velt_files.h"
#include "net/TVeltClient.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(AuthorityEntries, TagsEndAtSubOrCarriageReturnAndTheFirstOneCounts) {
    const std::string display = "Prus\x1B&key=ABC\rreszta\x1B&full=^aPrus ^9O1\x1A po\x1B&key=XYZ\x1A";
    EXPECT_EQ(EntryTag(display, "key"), std::optional<std::string>("ABC")) << "the carriage return ends the value";
    EXPECT_EQ(EntryTag(display, "full"), std::optional<std::string>("^aPrus ^9O1"));
    EXPECT_EQ(EntryTag(display, "open"), std::nullopt);
    EXPECT_EQ(EntryTag("\x1B&find=", "find"), std::optional<std::string>("")) << "present, empty";
    EXPECT_EQ(EntryTag("key=ABC", "key"), std::nullopt) << "only after ESC \"&\"";
}

TEST(AuthorityEntries, EachKindKeepsItsHeadingAndDisplayInItsOwnItems) {
    TVeltRecord e;
    e.Count = 7;
    for (int i = 1; i <= 7; ++i) e.Items[static_cast<std::size_t>(i)] = "i" + std::to_string(i);
    const std::pair<std::uint32_t, std::pair<const char*, const char*>> cases[] = {
        {9, {"i3", "i4"}}, {22, {"i4", "i5"}}, {40, {"i2", "i3"}}, {51, {"i2", "i3"}}, {21, {"", ""}}};
    for (const auto& [kind, items] : cases) {
        e.Kind = kind;
        EXPECT_EQ(EntryTerm(e), items.first) << kind;
        EXPECT_EQ(EntryDisplay(e), items.second) << kind;
    }
}

TEST(AuthorityEntries, OpenIdentifiersDropEmptyAndRepeatedParts) {
    EXPECT_EQ(OpenIdentifiers("O1|"), std::vector<std::string>{"O1"}) << "the server's value ends in \"|\"";
    EXPECT_EQ(OpenIdentifiers("O1||O2|O1| |"), (std::vector<std::string>{"O1", "O2"}));
    EXPECT_TRUE(OpenIdentifiers("").empty());
}

TEST(AuthorityEntries, AReferenceNamesAFileByItsIdOrByAnIndexPrefix) {
    velt_files files(std::make_unique<TVeltClient>(-1, nullptr), false);
    velt_KHW persons{"Osoby", "O", {{"nazwisko", 9, 2, " OS "}}};
    velt_KHW subjects{"Tematy", "T", {{"hasło"_cp, 9, 2, "TH"}, {"odsyłacz"_cp, 9, 2, "TX"}}};
    files.AuthorityFiles = {persons, subjects};
    EXPECT_EQ(FindAuthorityFile(files, "KHWT"), &files.AuthorityFiles[1]);
    EXPECT_EQ(FindAuthorityFile(files, "KHWX"), nullptr) << "an unknown id names none, whatever the prefixes";
    EXPECT_EQ(FindAuthorityFile(files, "OS"), &files.AuthorityFiles[0]) << "prefixes compare without their blanks";
    EXPECT_EQ(FindAuthorityFile(files, "TX"), &files.AuthorityFiles[1]);
    EXPECT_EQ(FindAuthorityFile(files, "AU"), nullptr);
    const velt_KHW list = ValueListFile("WY");
    EXPECT_EQ(list.Name, "Lista wartości"_cp);
    EXPECT_TRUE(list.Id.empty()) << "no records behind a value list";
    ASSERT_EQ(list.Indexes.size(), 1u);
    EXPECT_EQ(list.Indexes[0].Name, "indeks WY");
    EXPECT_EQ(list.Indexes[0].Kind, 22);
    EXPECT_EQ(list.Indexes[0].Parameter, 2);
    EXPECT_EQ(HeadingText("^aPrus, Bolesław ^d1847-1912 ^9O101"_cp), "Prus, Bolesław"_cp);
    EXPECT_EQ(HeadingText("Kowalski"), "Kowalski");
}

TEST(StructureTree, LevelsFollowThePlusAndSlashLines) {
    const std::string text = "+Dzieło|K1\r+Tom 1|K2\r-Rozdział|K5\r/\r-Tom 2|K3\r/\rtekst\r-Luźny"_cp;
    const auto nodes = ParseStructureText(std::string_view(text));
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_EQ(nodes[0].caption, "Dzieło"_cp);
    EXPECT_EQ(nodes[0].parent, -1);
    EXPECT_EQ(nodes[1].parent, 0);
    EXPECT_EQ(nodes[2].parent, 1);
    EXPECT_EQ(nodes[2].level, 2);
    EXPECT_EQ(nodes[3].parent, 0) << "the \"/\" closed Tom 1";
    EXPECT_EQ(nodes[4].identifier, "") << "no \"|\": no identifier";
    EXPECT_EQ(nodes[4].parent, -1);
    // A "/" with nothing open never closes anything above.
    const auto stray = ParseStructureText(std::string_view("/\r+A|1\r/\r/\r-B|2"));
    ASSERT_EQ(stray.size(), 2u);
    EXPECT_EQ(stray[1].parent, -1);
    // Deep nesting is capped.
    std::string deep;
    for (int i = 0; i < 200; ++i) deep += "+n|" + std::to_string(i) + "\r";
    const auto capped = ParseStructureText(std::string_view(deep));
    ASSERT_EQ(capped.size(), 200u);
    for (const auto& n : capped) EXPECT_LT(n.level, kMaxStructureDepth);
}
