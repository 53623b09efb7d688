#include "catalogue/DescriptorText.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(TakeGroup, TakesTheFirstGroupOfTheNameAndPutsTheOthersBack) {
    std::string text = "{x={nam=a}}{q={nam=b}{typ=c}}{q={nam=d}}";
    EXPECT_EQ(TakeGroup(text, "q"), "{nam=b}{typ=c}");
    EXPECT_EQ(text, "{x={nam=a}}{q={nam=d}}");
    EXPECT_EQ(TakeGroup(text, "q"), "{nam=d}");
    EXPECT_EQ(TakeGroup(text, "q"), "");
    EXPECT_EQ(text, "{x={nam=a}}");
}

TEST(TakeGroup, HandlesGroupsWithoutEqualsUnmatchedBracesAndOutsideText) {
    std::string a = "outside{flag}{nam=x}";
    EXPECT_EQ(TakeGroup(a, "nam"), "x");
    EXPECT_EQ(a, "{flag=}");
    std::string b = "{nam=a{b=c}";  // unmatched: runs to the end
    EXPECT_EQ(TakeGroup(b, "nam"), "a{b=c}");
    std::string c = "{a=1}}{b=2}";
    EXPECT_EQ(TakeGroup(c, "b"), "2");
}

// Parsing once must read every list as repeated TakeGroup does.
TEST(ParseGroups, GivesTheSameListsAsRepeatedTakeGroup) {
    const char* texts[] = {
        "{x={nam=autor}{tab=21}{ind=5}{pre=A}}{x={nam=tytuł}{tab=21}}{f={nam=pełny}{id=3}}{x={nam=c}}",
        "{q={nam=b}{typ=c}}junk{q=}{q={nam=d}}",
        "{s={nam=a}}{{s=b}}{s={nam=c}",
        "{x}{x=1}{x={a={b={c=d}}}}{x=2",
        "",
        "no groups at all",
    };
    for (const char* t : texts) {
        for (const char* name : {"x", "q", "s", "f", "nam", "{s"}) {
            std::string text = t;
            std::vector<std::string> byTake;
            for (std::string v; !(v = TakeGroup(text, name)).empty();) byTake.push_back(v);
            EXPECT_EQ(GroupValues(ParseGroups(t), name), byTake) << t << " / " << name;
        }
    }
}
