// The record kinds without a server: the status list of kinds, one way of
// comparing form codes, and a server's scripts read without their includes.

#include "editing/RecordKinds.h"

#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velt;

TEST(RecordKinds, TheStatusListGivesCodeAndCaptionPairs) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    const struct {
        std::string text;
        Pairs pairs;
    } cases[] = {
        {"K|Książka|O|Osoba|"_cp, {{"K", "Książka"_cp}, {"O", "Osoba"}}},
        {"K|Książka|O|Osoba"_cp, {{"K", "Książka"_cp}}},  // an unfinished pair is left out
        {"|Bez kodu|", {{"", "Bez kodu"}}},
        {"K", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseKindList(c.text), c.pairs) << c.text;
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "K|x|";
    EXPECT_EQ(ParseKindList(many).size(), RecordKinds::kMaxKinds);
}

TEST(RecordKinds, EveryLookupComparesFormCodesIgnoringLetterCase) {
    RecordKinds kinds;
    for (const std::string& code : {std::string("K"), "ą"_cp, std::string()}) {
        auto k = std::make_unique<RecordKind>();
        k->code = code;
        kinds.Add(std::move(k));
    }
    const struct {
        std::string code;
        bool found;
        std::string kind;
    } cases[] = {
        {"K", true, "K"}, {"k", true, "K"}, {"ą"_cp, true, "ą"_cp}, {"Ą"_cp, true, "ą"_cp},
        {"", true, ""},   {"KK", false, ""}, {"X", false, ""},
    };
    for (const auto& c : cases) {
        const RecordKind* k = kinds.Find(c.code);
        ASSERT_EQ(k != nullptr, c.found) << c.code;
        if (k) {
            EXPECT_EQ(k->code, c.kind) << c.code;
        }
        EXPECT_EQ(RecordKinds::SameCode(c.code, c.kind), c.found) << c.code;
    }
}

TEST(RecordKinds, AServersScriptNeverMakesTheClientReadAFile) {
    test::TempDir dir;
    dir.Write("INC.ACT", "[EXIT X]\nBEGIN PRINT('z pliku') END\n");
    const std::string include = "[PLIK " + dir.Path() + "INC.ACT]";
    for (const std::string& end : {std::string("\r"), std::string("\n"), std::string("\r\n")}) {
        SCOPED_TRACE(testing::PrintToString(end));
        const std::string text = "  " + include + "  " + end + "[EXIT A]" + end + "BEGIN PRINT('a') END" + end;
        std::vector<std::string> skipped;
        const std::string lines = ServerScriptLines(text, skipped);
        EXPECT_EQ(skipped, std::vector<std::string>{dir.Path() + "INC.ACT"});
        EXPECT_EQ(lines, "\n[EXIT A]\nBEGIN PRINT('a') END\n");
        std::istringstream in(lines);
        std::vector<std::string> errors;
        const act_script scripts = LoadEventScripts(in, "ACT-K", [&](const std::string& m) { errors.push_back(m); });
        ASSERT_EQ(scripts.size(), 1u);
        EXPECT_EQ(scripts[0].pattern, "A");
        EXPECT_TRUE(errors.empty()) << errors[0];
    }
}
