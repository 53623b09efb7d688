// The links windows on screen (offscreen) against velt-server's hierarchies:
// the toolbar's "Powiązania" for the record box's record, the schema window's
// tree, search and display, the entries' "powiazania" and "STRUKTURA"
// commands, the editor's save seen by the window, and the chooser's links
// window picking a component.

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/browse/ListBrowserView.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/editing/EditingFeature.h"
#include "gui/links/LinkTreeWidget.h"
#include "gui/links/LinksFeature.h"
#include "gui/links/TOknoPowiazan.h"
#include "gui/links/TWyborPowiazan.h"
#include "gui/shell/TForm1.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

namespace {

constexpr int kBooks = 30;

struct LoggedIn {
    test::ServerProcess server{[] {
        test::ServerProcess::Options o;
        o.records = kBooks;
        o.hierarchies = true;
        return o;
    }()};
    test::TempDir dir;
    gui::TForm1 form;
    explicit LoggedIn(bool login = true) {
        const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()));
        const std::string stored = dir.Path() + "login";
        EXPECT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), "bibliotekarz", "bibliotekarz"}), "");
        form.resize(1100, 760);
        form.show();
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        form.Shell().Start(login ? ReadStoredLogin(stored) : std::nullopt);
    }
    gui::LinksFeature& Links() { return *form.Find<gui::LinksFeature>(); }
};

std::string K(std::uint32_t seq) { return "K" + std::to_string(seq); }

// Where velt-server puts the heads of its hierarchies after the generated
// books: three works (of 2, 3 and 4 volumes), the serial, the collection.
struct Heads {
    std::uint32_t works[3] = {kBooks + 1, kBooks + 4, kBooks + 8};
    std::uint32_t serial = kBooks + 13;
    std::uint32_t collection = kBooks + 26;
};

}  // namespace

TEST(LinksWindows, TheToolbarButtonShowsTheSchemaOfTheRecordBoxsRecord) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    ASSERT_EQ(l.form.Shell().Mode(), ShellMode::LoggedIn);
    test::MessageDismisser dismiss;
    gui::LinksFeature& links = l.Links();
    EXPECT_TRUE(links.PowiazaniaButton->isVisible()) << "the catalogue has the structure format";
    EXPECT_EQ(links.PowiazaniaButton->toolTip(), toQString("Modyfikuj powiązania"_cp));
    const Heads heads;
    const std::uint32_t w = heads.works[1];
    l.form.ComboBox1->setEditText(toQString(K(w + 2)));
    links.PowiazaniaButton->trigger();
    gui::TOknoPowiazan* window = links.OknoPowiazan();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), toQString("Schemat powiązań"_cp));
    ASSERT_EQ(window->TreeView1->topLevelItemCount(), 1);
    QTreeWidgetItem* root = window->TreeView1->topLevelItem(0);
    EXPECT_EQ(root->childCount(), 3);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(window->TreeView1->currentItem(), root->child(1)) << "the volume stored second";
    EXPECT_EQ(window->Edit1->text(), toQString(K(w + 2)));
    EXPECT_FALSE(root->icon(0).isNull());
    ASSERT_EQ(window->Panel->Model().Cells().size(), 1u);
    EXPECT_FALSE(window->Panel->Model().Cells()[0].content.items.empty());
    EXPECT_TRUE(window->ToolBar1->isVisible());
    EXPECT_TRUE(window->DodajButton->isEnabled());
    EXPECT_FALSE(window->Struktura1->menuAction()->isVisible()) << "only on VELT1 servers";
    EXPECT_EQ(window->Sortuj1->actions().size(), 1);

    window->Edit2->setText(toQString("T. 3"));
    QTest::mouseClick(window->WyszukajButton, Qt::LeftButton);
    EXPECT_EQ(window->TreeView1->currentItem(), root->child(0));
    EXPECT_EQ(window->Edit1->text(), toQString(K(w + 1)));
    // The user picks another node: the display follows.
    window->TreeView1->setCurrentItem(root);
    EXPECT_EQ(window->Edit1->text(), toQString(K(w)));
    // Sorting the work's parts shows them in volume order.
    window->Sortuj1->actions().front()->trigger();
    root = window->TreeView1->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_NE(root->child(0)->text(0).indexOf("T. 1"), -1) << root->child(0)->text(0).toStdString();
    // Closing empties the tree.
    window->close();
    EXPECT_EQ(window->TreeView1->topLevelItemCount(), 0);
    // Only the server's greeting came up.
    dismiss.texts.removeAll(toQString("Witamy w katalogu demonstracyjnym"));
    EXPECT_TRUE(dismiss.texts.isEmpty()) << dismiss.texts.join("|").toUtf8().toStdString();
}

TEST(LinksWindows, EntriesCommandsOpenTheWindowAndASavedRecordShowsInIt) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    test::MessageDismisser dismiss;
    velt_files& files = *l.form.Shell().Current();
    const Heads heads;
    l.form.Commands().Run({}, "powiazania", files.StoredIdentifier(K(heads.serial + 4)), false);
    gui::TOknoPowiazan* window = l.Links().OknoPowiazan();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    ASSERT_EQ(window->TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(window->TreeView1->topLevelItem(0)->childCount(), 12);
    EXPECT_EQ(window->Edit1->text(), toQString(K(heads.serial + 4)));
    window->close();
    l.form.Commands().Run({}, "STRUKTURA  " + K(heads.collection + 2) + "|", {}, false);
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->Edit1->text(), toQString(K(heads.collection + 2)));
    EXPECT_EQ(window->TreeView1->topLevelItem(0)->childCount(), 3);
    // A record saved in the editor: the window builds its tree again.
    TEdycja* editing = l.form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    editing->OpenRecord("K", K(5));
    ASSERT_EQ(editing->SheetCount(), 1);
    editing->ActiveSheet()->Record().SetValue("DOK_IDO", K(heads.collection));
    editing->SaveActive();
    EXPECT_EQ(window->Edit1->text(), toQString(K(5)));
    EXPECT_EQ(window->TreeView1->topLevelItem(0)->childCount(), 4) << "K5 joined the collection";
    window->close();
    // An unknown structure: the server does not offer it and nothing opens.
    std::vector<std::string> plain;
    gui::SetPlainMessageHandler([&](const std::string& t) { plain.push_back(t); });
    l.form.Commands().Run({}, "powiazania wykaz", files.StoredIdentifier(K(5)), false);
    gui::SetPlainMessageHandler({});
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(plain, std::vector<std::string>{"Niedostępne dla tej wersji serwera"_cp});
}

TEST(LinksWindows, TheButtonIsHiddenBeforeTheLoginAndTheChoiceWindowPicksAComponent) {
    LoggedIn l(false);
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    test::MessageDismisser dismiss;
    EXPECT_FALSE(l.Links().PowiazaniaButton->isVisible());
    velt_files& files = *l.form.Shell().Current();
    const Heads heads;
    std::string picked;
    // Once the window is up (the tree is read behind the progress window first).
    auto* timer = new QTimer(&l.form);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        gui::TWyborPowiazan* choice = l.Links().WyborPowiazan();
        if (!choice || !choice->isVisible()) return;
        timer->stop();
        EXPECT_TRUE(choice->TreeView2->isVisible());
        EXPECT_FALSE(choice->ImportPanel->isVisible());
        EXPECT_EQ(choice->TreeView1->topLevelItem(0)->childCount(), 2);
        ASSERT_GT(choice->TreeView2->topLevelItemCount(), 0);
        choice->TreeView2->setCurrentItem(choice->TreeView2->topLevelItem(0));
        QTest::mouseClick(choice->Button1, Qt::LeftButton);
    });
    timer->start();
    const std::string result = l.Links().ChooseInTree(
        files, files.StoredIdentifier(K(heads.works[0])), "struktura",
        [&](const std::string& t) {
            picked = t;
            return true;
        },
        nullptr, files.FormatByType("skladniki"));
    EXPECT_EQ(picked, K(heads.works[0]));
    EXPECT_EQ(result, picked);
}
