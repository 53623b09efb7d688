#include "gui/common/QtText.h"
#include "gui/shell/TForm1.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace velt;

TEST(TForm1, MainWindowCarriesTheSystemsTitleAndMenus) {
    gui::TForm1 form;
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Wyszukiwanie i katalogowanie"));
    EXPECT_EQ(form.Katalog1->title(), QString::fromUtf8("&Katalog"));
    EXPECT_EQ(form.Logowanie1->title(), QString::fromUtf8("&Logowanie"));
    EXPECT_EQ(form.ConnectionLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.ConnectionLabel->text(), QString::fromUtf8("Brak połączenia"));
    EXPECT_FALSE(form.Format1->menuAction()->isVisible());
}

TEST(TForm1, ModesShowWhatEditingAllows) {
    gui::TForm1 form;
    ShellState state;
    state.Caption = "Katalog [Filie]";
    state.ConnectionText = "127.0.0.1/8000 <b>x</b>";
    form.ShowState(state);
    EXPECT_EQ(form.windowTitle(), "Katalog [Filie]");
    EXPECT_EQ(form.ConnectionLabel->text(), "127.0.0.1/8000 <b>x</b>");
    EXPECT_FALSE(form.EditButtons->isVisibleTo(&form));
    EXPECT_FALSE(form.Logowanie1->menuAction()->isVisible());
    state.EditToolbar = state.LoginMenu = state.ServerMenus = true;
    form.ShowState(state);
    EXPECT_TRUE(form.EditButtons->isVisibleTo(&form));
    EXPECT_TRUE(form.Format1->menuAction()->isVisible());
    EXPECT_TRUE(form.LoginButton->isEnabled());
    EXPECT_FALSE(form.LogoutButton->isEnabled());
    EXPECT_FALSE(form.WylogujItem->isEnabled());
    EXPECT_FALSE(form.ZmienHasloItem->isEnabled());
    state.LogoutEnabled = true;
    form.ShowState(state);
    EXPECT_TRUE(form.LogoutButton->isEnabled());
    EXPECT_TRUE(form.ZmienHasloItem->isEnabled());
    EXPECT_EQ(form.ShownState(), state);
}

TEST(TForm1, CatalogueMenuFollowsTheConfigurationsGroups) {
    const auto dir = std::filesystem::temp_directory_path() / ("velt-form-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string ini = (dir / "k.INI").string();
    std::ofstream(ini, std::ios::binary) << "[KATALOG_A]\r\nnazwa=&Główny\r\n[GRUPA1]\r\nnazwa=Filie\r\n"
                                            "[KATALOG1_B]\r\nnazwa=Filia B\r\n[KATALOG_D]\r\nnazwa=D\r\n";
    // The configuration is Windows-1250: rewrite the file in it.
    {
        std::ifstream in(ini, std::ios::binary);
        std::string utf8((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(ini, std::ios::binary) << gui::fromQString(QString::fromUtf8(utf8.c_str()));
    }
    gui::TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.string() + "/", dir.string() + "/");
    form.BuildCatalogueMenu();
    const auto actions = form.Katalog1->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("&Główny"));
    ASSERT_NE(actions[1]->menu(), nullptr);
    EXPECT_EQ(actions[1]->menu()->title(), "Filie");
    EXPECT_EQ(actions[1]->menu()->actions().size(), 1);
    EXPECT_EQ(actions[2]->text(), "D");
    std::filesystem::remove_all(dir);
}

TEST(TForm1, TheRecordBoxKeepsABoundedHistoryAndZoomStaysInRange) {
    gui::TForm1 form;
    for (int i = 0; i < 150; ++i) form.PutIntoRecordBox("K" + std::to_string(i));
    EXPECT_EQ(form.ComboBox1->count(), gui::TForm1::kRecordBoxHistory);
    EXPECT_EQ(form.ComboBox1->currentText(), "K149") << "the newest at the top, selected";
    form.PutIntoRecordBox("K149");
    EXPECT_EQ(form.ComboBox1->count(), gui::TForm1::kRecordBoxHistory) << "the same text twice is one entry";
    // "+" and "-" never take the line height where the browsers would not follow.
    for (int i = 0; i < 40; ++i) form.Button3->click();
    EXPECT_LE(form.Shell().Settings().ListLineHeight, 600);
    for (int i = 0; i < 60; ++i) form.Button4->click();
    EXPECT_GE(form.Shell().Settings().ListLineHeight, 26);
    const auto low = form.Shell().Settings().ListLineHeight;
    form.Button3->click();
    form.Button4->click();
    EXPECT_EQ(form.Shell().Settings().ListLineHeight, low) << "no drift at the lower bound";
}

// What no feature filled is not there; "Rezerwacje (rewersy)" follows the
// loan form ("kwit") and the writing back ("zapis"); the toolbar's arrows
// show only when the window is too narrow for its buttons.
TEST(TForm1, EmptyPlacesStayHiddenAndTheLoanFormsMenuFollowsTheConfiguration) {
    const auto dir = std::filesystem::temp_directory_path() / ("velt-form2-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    gui::TForm1 form;
    ShellState state;
    state.ServerMenus = state.EditToolbar = state.LoginMenu = state.RecordMenu = true;
    state.AccountMenu = state.OperationMenu = true;
    form.ShowState(state);
    EXPECT_TRUE(form.Zamawianie1->menuAction()->isVisible()) << "the reader services fill \"Kon&to\"";
    state.AccountMenu = false;
    form.ShowState(state);
    EXPECT_FALSE(form.Zamawianie1->menuAction()->isVisible()) << "a server without them: no \"Kon&to\"";
    state.AccountMenu = true;
    EXPECT_FALSE(form.Globalnie1->menuAction()->isVisible()) << "no programs: no \"&Operacja\"";
    EXPECT_FALSE(form.Pobierz1->menuAction()->isVisible()) << "no import: no \"Pobierz\"";
    EXPECT_FALSE(form.ImportButton->isVisible());
    EXPECT_TRUE(form.Rekord1->menuAction()->isVisible());
    QAction* something = form.Globalnie1->addAction("Program");
    form.ShowState(state);
    EXPECT_TRUE(form.Globalnie1->menuAction()->isVisible()) << "shown once a feature put an item there";
    form.Globalnie1->removeAction(something);

    auto* loans = form.Ustawienia1->findChild<QMenu*>("Rezerwacje1");
    ASSERT_NE(loans, nullptr);
    EXPECT_FALSE(loans->menuAction()->isVisible()) << "no loan form configured";
    const std::string ini = (dir / "r.INI").string();
    std::ofstream(ini, std::ios::binary) << "[REZERWACJA]\r\nkwit=rewers.rep\r\n[ZESTAWIENIA]\r\nzapis=N\r\n";
    form.Shell().ReadConfiguration(ini, dir.string() + "/", dir.string() + "/");
    form.ShowState(state);
    EXPECT_TRUE(loans->menuAction()->isVisible());
    EXPECT_FALSE(loans->menuAction()->isEnabled()) << "nothing is written back: the choices could not be kept";

    form.resize(1200, 500);
    form.show();
    QApplication::processEvents();
    auto* left = form.findChild<QToolButton*>("LeftSpeedButton");
    ASSERT_NE(left, nullptr);
    EXPECT_FALSE(left->isVisible()) << "room for every button";
    form.resize(260, 500);
    for (int i = 0; i < 50 && !left->isVisible(); ++i) QTest::qWait(10);
    EXPECT_TRUE(left->isVisible()) << "too narrow: the arrows show";
    std::filesystem::remove_all(dir);
}
