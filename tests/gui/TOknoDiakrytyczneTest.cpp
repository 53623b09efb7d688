#include "gui/common/QtText.h"
#include "text/CpLiteral.h"
#include "gui/text/TExtraButton.h"
#include "gui/text/TOknoDiakrytyczne.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace velt;
using velt::gui::TOknoDiakrytyczne;

namespace {

// A window with the edit controls the palette types into.
struct Target {
    QWidget window;
    QLineEdit* line = new QLineEdit(&window);
    QPlainTextEdit* memo = new QPlainTextEdit(&window);
    QPushButton* button = new QPushButton("OK", &window);

    Target() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(line);
        layout->addWidget(memo);
        layout->addWidget(button);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }
    void Focus(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
    }
};

}  // namespace

TEST(TOknoDiakrytyczne, LaysOutOneFlatBoldButtonPerCharacterInColumnsOfTwo) {
    TOknoDiakrytyczne palette;
    EXPECT_EQ(palette.windowTitle(), QString::fromUtf8("Znaki diakrytyczne"));
    EXPECT_TRUE(palette.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(palette.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    const QString expected = QString::fromUtf8("áÁâÂăĂäÄçÇčČďĎđĐéÉëËěĚíÍîÎľĽĺĹňŇôÔőŐöÖŕŔřŘşŞšŠţŢťŤůŮúÚűŰüÜýÝžŽ®©€§ß");
    const auto& buttons = palette.Buttons();
    ASSERT_EQ(buttons.size(), expected.size());
    struct Case {
        int index;
        QRect geometry;
    } cases[] = {{0, {0, 0, 16, 20}}, {1, {0, 20, 16, 20}}, {2, {16, 0, 16, 20}}, {65, {32 * 16, 20, 16, 20}},
                 {66, {33 * 16, 0, 16, 20}}};
    for (const auto& c : cases) {
        ASSERT_LT(c.index, buttons.size());
        EXPECT_EQ(buttons[c.index]->geometry(), c.geometry) << c.index;
    }
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->Character(), expected.mid(i, 1)) << i;
        EXPECT_TRUE(buttons[i]->autoRaise());
        EXPECT_TRUE(buttons[i]->font().bold());
        EXPECT_EQ(buttons[i]->font().pointSize(), 10);
    }
    EXPECT_EQ(palette.width(), 34 * 16);  // 67 characters: the last column holds one
    EXPECT_EQ(palette.height(), 40);
}

TEST(TOknoDiakrytyczne, ClickTypesIntoTheFocusedEditOfThePreviousWindow) {
    TOknoDiakrytyczne palette;
    Target target;
    target.Focus(target.line);
    ASSERT_EQ(palette.TargetWindow(), &target.window);
    target.line->setText("Dvo");
    palette.Buttons()[40]->click();  // ř
    palette.Buttons()[1]->click();   // Á
    EXPECT_EQ(target.line->text(), QString::fromUtf8("DvořÁ"));

    target.Focus(target.memo);
    palette.Buttons()[66]->click();  // ß
    EXPECT_EQ(target.memo->toPlainText(), QString::fromUtf8("ß"));

    // Not an edit control: nothing happens.
    target.Focus(target.button);
    EXPECT_FALSE(palette.TypeCharacter(QString::fromUtf8("é")));
    EXPECT_EQ(target.line->text(), QString::fromUtf8("DvořÁ"));
    EXPECT_EQ(target.memo->toPlainText(), QString::fromUtf8("ß"));
}

TEST(TOknoDiakrytyczne, ActivatedItGivesTheFocusBackAfterItsTimer) {
    TOknoDiakrytyczne palette;
    Target target;
    target.Focus(target.line);
    palette.show();
    palette.activateWindow();
    QApplication::setActiveWindow(&palette);
    QApplication::processEvents();
    auto* timer = palette.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.window.isActiveWindow(); }, 2000));
}

TEST(QtText, EscapesBecomeRealCharactersAndBack) {
    struct Case {
        std::string cp1250;
        QString text;
    } cases[] = {
        {"Zażółć gęślą jaźń — „cytat”"_cp, QString::fromUtf8("Zażółć gęślą jaźń — „cytat”")},
        {"a\x1BU263A\x1A" "b", QString::fromUtf8("a☺b")},
        {"\x1BU4E2D\x1A\x1BU6587\x1A", QString::fromUtf8("中文")},
        {"\x81\x83\x88\x90\x98", QString::fromUtf8("\u0081\u0083\u0088\u0090\u0098")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gui::toQString(c.cp1250), c.text);
        EXPECT_EQ(gui::fromQString(c.text), c.cp1250);
    }
    // Beyond U+FFFF the escape cannot hold it: the replacement character.
    EXPECT_EQ(gui::fromQString(QString::fromUtf8("😀")), "\x1BUFFFD\x1A");
}
