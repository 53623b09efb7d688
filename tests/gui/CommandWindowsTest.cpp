// The windows the form scripts' commands bring up: the tree choice on its
// own, and the book form's buttons against velt-server, whose scripts ask
// for a language from the list and a subject from the thesaurus tree.

#include "browse/StructureTree.h"
#include "browse/VrBrowser.h"
#include "editing/TEdycja.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/common/TListChoice.h"
#include "gui/common/TTreeChoice.h"
#include "gui/editing/EditingFeature.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/shell/TForm1.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/WhenReady.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

using velt::test::WhenReady;

namespace {

template <typename W>
W* Modal() {
    return qobject_cast<W*>(QApplication::activeModalWidget());
}

QTreeWidgetItem* ItemNamed(QTreeWidget* tree, const std::string& caption) {
    const auto found = tree->findItems(toQString(caption), Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

// The button of a form whose caption is text, on the active sheet's page.
QPushButton* FormButton(QWidget* window, const std::string& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == toQString(text) && b->isVisibleTo(window)) return b;
    return nullptr;
}

}  // namespace

TEST(CommandWindows, ATreeIsShownExpandedAndOnlyANodeWithAValueCloses) {
    const auto nodes = ParseIndentedStructure("||Dziedziny\r |L|Literatura\r  |P|Poezja polska\r |H|Historia"_cp);
    ASSERT_EQ(nodes.size(), 4u);
    gui::TTreeChoice window;
    bool groupKeptItOpen = false;
    WhenReady([] { return Modal<gui::TTreeChoice>() != nullptr; }, [&] {
        gui::TTreeChoice* w = Modal<gui::TTreeChoice>();
        QTreeWidgetItem* group = ItemNamed(w->TreeView1, "Dziedziny");
        QTreeWidgetItem* poetry = ItemNamed(w->TreeView1, "Poezja polska");
        ASSERT_TRUE(group && poetry);
        EXPECT_TRUE(group->isExpanded() && poetry->parent()->isExpanded()) << "every node expanded";
        EXPECT_EQ(w->TreeView1->currentItem()->text(0), toQString("Literatura")) << "the first choosable node is current";
        emit w->TreeView1->itemDoubleClicked(group, 0);
        groupKeptItOpen = w->isVisible();
        emit w->TreeView1->itemDoubleClicked(poetry, 0);
    });
    EXPECT_EQ(window.ShowTreeChoice(nodes), 2);
    EXPECT_TRUE(groupKeptItOpen) << "a group without a value is no choice";
    EXPECT_EQ(window.windowTitle(), toQString("Wybór z listy"_cp));
    WhenReady([] { return Modal<gui::TTreeChoice>() != nullptr; }, [] { Modal<gui::TTreeChoice>()->reject(); });
    EXPECT_EQ(window.ShowTreeChoice(nodes), -1);
}

TEST(CommandWindows, TheBookFormsButtonsChooseALanguageAndASubjectThroughTheirWindows) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()));
    const std::string stored = dir.Path() + "login";
    ASSERT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), "bibliotekarz", "bibliotekarz"}), "");
    gui::TForm1 form;
    form.resize(1100, 760);
    form.show();
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(ReadStoredLogin(stored));
    test::MessageDismisser dismiss;
    auto* feature = form.Find<gui::EditingFeature>();
    TEdycja* editing = feature->Editing();
    ASSERT_NE(editing, nullptr);
    form.ComboBox1->setEditText("K5");
    feature->OtworzButton->trigger();
    ASSERT_EQ(editing->SheetCount(), 1);
    edit_sheet& sheet = *editing->ActiveSheet();
    gui::Tokno_edycji& window = *feature->OknoEdycji;

    // The language: the list of languages, the second chosen.
    QPushButton* language = FormButton(&window, "Wybierz...");
    ASSERT_NE(language, nullptr);
    std::string shown;
    WhenReady([] {
        gui::TListChoice* w = Modal<gui::TListChoice>();
        return w && w->Browser() && w->Browser()->Browser() && !w->Browser()->Browser()->Cells().empty();
    }, [&] {
        gui::BrowserView* list = Modal<gui::TListChoice>()->Browser();
        for (const Vrklatka& c : list->Browser()->Cells())
            for (const CellItem& i : c.content.items) shown += i.text + "\n";
        list->Browser()->Select("2");
    });
    language->click();
    EXPECT_EQ(shown.rfind("polski\nkod pol\nangielski\n", 0), 0u) << shown;
    EXPECT_EQ(sheet.Record().GetValue("041Z.1.1.1.1"), "^aeng");

    // A subject from the thesaurus: the tree window, a narrower term chosen.
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == toQString("Hasła"_cp)) tabs->setCurrentIndex(i);
    QPushButton* thesaurus = FormButton(&window, "Z tezaurusa...");
    ASSERT_NE(thesaurus, nullptr);
    const std::string before = sheet.Record().GetValue("650Z.1.1.1.1");
    WhenReady([] { return Modal<gui::TTreeChoice>() != nullptr; }, [&] {
        gui::TTreeChoice* w = Modal<gui::TTreeChoice>();
        QTreeWidgetItem* novel = ItemNamed(w->TreeView1, "Powieść polska"_cp);
        ASSERT_NE(novel, nullptr);
        emit w->TreeView1->itemDoubleClicked(novel, 0);
    });
    thesaurus->click();
    bool added = false;
    for (const my_field& f : sheet.Record().fields())
        added = added || (f.key.rfind("650Z.", 0) == 0 && f.value == "^aPowieść polska"_cp);
    std::string subjects;
    for (const my_field& f : sheet.Record().fields())
        if (f.key.rfind("650", 0) == 0) subjects += f.key + "=" + f.value + "\n";
    EXPECT_TRUE(added) << subjects;
    EXPECT_EQ(sheet.Record().GetValue("650Z.1.1.1.1"), before) << "the subjects there stay";
    // Nothing said but the catalogue's greeting at the login.
    for (const QString& text : dismiss.texts) EXPECT_TRUE(text.startsWith("Witamy")) << fromQString(text);
}
