#include "common/MessageLayout.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {
// Characters 7 pixels wide, lines 14 high, wrapped at spaces.
class FixedMeasurer : public TextMeasurer {
public:
    void Measure(const std::string& text, int maxWidth, int& right, int& bottom) const override {
        int lines = 1, x = 0, widest = 0;
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t end = text.find(' ', i);
            if (end == std::string::npos) end = text.size();
            const int w = static_cast<int>(end - i) * 7;
            if (x > 0 && x + 7 + w > maxWidth) {
                ++lines;
                x = 0;
            }
            x += (x > 0 ? 7 : 0) + w;
            widest = std::max(widest, x);
            i = end + 1;
        }
        right = widest - 1;
        bottom = lines * 14 - 1;
    }
};
}  // namespace

TEST(MessageLayout, OneWordKeepsRoomForTextAndButtons) {
    const MessageGeometry g = LayoutMessage(FixedMeasurer(), "Tak", 1000, 56, 12, WarningKind().buttons);
    EXPECT_EQ(g.clientWidth, 3 * 85 + 10);         // the buttons are wider than the text
    EXPECT_EQ(g.clientHeight, 32 + 12 + 44);       // at least 32 pixels of text height
    ASSERT_EQ(g.buttons.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g.buttons[static_cast<std::size_t>(i)].top, g.clientHeight - 34);
        EXPECT_EQ(g.buttons[static_cast<std::size_t>(i)].left, ((g.clientWidth + 10 - 255) / 2) + i * 85);
    }
    EXPECT_EQ(g.buttons[2].caption, "Zrezygnuj");
    EXPECT_EQ(g.buttons[2].result, kCancel);
}

TEST(MessageLayout, LongTextWrapsAtHalfTheScreenAndGrowsInHeight) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "wyraz ";
    const MessageGeometry g = LayoutMessage(FixedMeasurer(), text, 800, 56, 12, ErrorKind().buttons);
    EXPECT_LE(g.clientWidth, 400 + 56 + 10);
    EXPECT_GT(g.clientHeight, 32 + 12 + 44);
}

TEST(MessageLayout, AStarMarksTheDefaultButton) {
    const auto yes = QuestionDefaultKind(kYes).buttons;
    const auto no = QuestionDefaultKind(kNo).buttons;
    const auto none = QuestionDefaultKind(1).buttons;
    EXPECT_EQ(yes[0].caption, "*Tak");
    EXPECT_EQ(no[1].caption, "*Nie");
    EXPECT_EQ(none[0].caption, "Tak");
    EXPECT_EQ(none[1].caption, "Nie");
    const MessageGeometry g = LayoutMessage(FixedMeasurer(), "?", 1000, 56, 12, no);
    EXPECT_FALSE(g.buttons[0].isDefault);
    EXPECT_TRUE(g.buttons[1].isDefault);
    EXPECT_EQ(g.buttons[1].caption, "Nie");
    EXPECT_EQ(ErrorKind().caption, "Błąd!"_cp);
    EXPECT_EQ(WarningKind().caption, "Ostrzeżenie!"_cp);
}
