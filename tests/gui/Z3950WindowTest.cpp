// "Pobieranie Z39.50" from the main window, offscreen, against Zebra over
// the MARC 21 sample and velt-server: the menu items only with sources
// configured, the query form run through "Wykonaj", a scan from a search
// text's lookup button into "Wybór z listy", the result browser, "Pobierz"
// into the editing window and "Konwertuj" through the example module.

#include "browse/VrBrowser.h"
#include "editing/TEdycja.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/common/TListChoice.h"
#include "gui/editing/EditingFeature.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/import/TOknoZ3950.h"
#include "gui/import/Z3950Feature.h"
#include "gui/params/ParameterServices.h"
#include "gui/params/TOknoParametrow.h"
#include "gui/shell/TForm1.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/WhenReady.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "support/Z3950Server.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

using velt::test::WhenReady;

namespace {

// The text of the cells the browser shows.
std::string CellTexts(gui::BrowserView* view) {
    std::string all;
    if (!view || !view->Browser()) return all;
    for (const Vrklatka& c : view->Browser()->Cells())
        for (const CellItem& i : c.content.items) all += i.text + "\n";
    return all;
}

struct ImportProgram {
    test::ServerProcess server;
    test::TempDir dir;
    gui::TForm1 form;
    explicit ImportProgram(const std::string& z3950) {
        const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()) + z3950);
        const std::string stored = dir.Path() + "login";
        EXPECT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), "bibliotekarz", "bibliotekarz"}), "");
        form.resize(1100, 760);
        form.show();
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        form.Shell().Start(ReadStoredLogin(stored));
    }
    gui::Z3950Feature& Feature() { return *form.Find<gui::Z3950Feature>(); }
};

}  // namespace

TEST(Z3950Window, WithoutSourcesThereIsNoImport) {
    ImportProgram p("");
    ASSERT_TRUE(p.server.Ready()) << p.server.Why();
    ASSERT_EQ(p.form.Shell().Mode(), ShellMode::LoggedIn);
    EXPECT_TRUE(p.form.Rekord1->menuAction()->isVisible());
    EXPECT_FALSE(p.form.Pobierz1->menuAction()->isVisible()) << "no \"Pobierz\" without an import";
    EXPECT_FALSE(p.form.ImportButton->isVisible()) << "no \"Pobieranie\" either";
    EXPECT_FALSE(p.Feature().ProtokolZ3950Item->isVisible());
    test::MessageDismisser dismiss;
    p.Feature().OknoZ3950->Open();
    EXPECT_FALSE(p.Feature().OknoZ3950->isVisible());
    EXPECT_EQ(dismiss.texts, QStringList{QString::fromUtf8("Import Z39.50 nie jest dostępny")});
}

TEST(Z3950Window, QueryScanTakeAndConvertFromZebra) {
    test::Z3950Server zebra(test::Z3950Server::Kind::Zebra);
    if (!zebra.Installed()) GTEST_SKIP() << zebra.Why();
    ASSERT_TRUE(zebra.Ready()) << zebra.Why();
    ImportProgram p("[Z3950_GRUPA_A]\r\nnazwa=Lokalne\r\n[Z3950_KATALOG_A1]\r\nnazwa=Zebra\r\nip=127.0.0.1\r\nport=" +
              std::to_string(zebra.Port()) + "\r\nbaza=Default\r\nv=1\r\nq=2\r\n"
              "[KONWERTER_MARC]\r\ndll=" VELT_EXAMPLE_MODULE "\r\nz=U\r\ndo=K\r\nrodzaj=K\r\ntryb=katalog\r\n");
    ASSERT_TRUE(p.server.Ready()) << p.server.Why();
    ASSERT_EQ(p.form.Shell().Mode(), ShellMode::LoggedIn);
    test::MessageDismisser dismiss;
    gui::TForm1& form = p.form;
    EXPECT_TRUE(form.Pobierz1->menuAction()->isVisible());
    EXPECT_TRUE(form.ImportButton->isVisible());
    EXPECT_EQ(form.Pobierz1->actions().value(0), p.Feature().ProtokolZ3950Item);

    gui::TOknoZ3950& window = *p.Feature().OknoZ3950;
    // The sources' menu keeps the group (searched whole from its first
    // item), then "Kilka źródeł...", of no use with one source.
    ASSERT_EQ(window.ZrodloMenu->actions().size(), 3);
    ASSERT_NE(window.ZrodloMenu->actions()[0]->menu(), nullptr);
    EXPECT_EQ(window.ZrodloMenu->actions()[0]->menu()->title(), "Lokalne");
    EXPECT_EQ(window.ZrodloMenu->actions()[0]->menu()->actions().value(0)->objectName(), "GroupItem");
    EXPECT_EQ(window.ZrodloMenu->actions()[2], window.KilkaItem);
    EXPECT_FALSE(window.KilkaItem->isEnabled());
    p.Feature().ProtokolZ3950Popup->trigger();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Import Z39.50: Zebra");
    EXPECT_TRUE(window.Presentation[1]->isChecked());
    EXPECT_TRUE(window.Search[2]->isChecked());
    EXPECT_TRUE(window.PobierzButton->isEnabled());
    EXPECT_TRUE(window.KonwertujButton->isEnabled());

    // The form: a scan from the title's lookup button chooses "computer"
    // in the list, then "Wykonaj".
    gui::TOknoParametrow& parameters = p.form.Parameters().Window();
    bool scanned = false;
    WhenReady([&] { return parameters.isVisible() && parameters.Shown(); }, [&] {
        ParameterDialog& d = *parameters.Shown();
        d.Record().SetValue("T.2", "comp");
        WhenReady([&] { return window.ListWindow()->isVisible() && window.ListWindow()->Browser(); }, [&] {
            gui::BrowserView* list = window.ListWindow()->Browser();
            list->Rebuild();
            std::string key;
            for (const Vrklatka& c : list->Browser()->Cells())
                for (const CellItem& i : c.content.items)
                    if (key.empty() && i.text == "computer") key = c.key;
            ASSERT_FALSE(key.empty()) << CellTexts(list);
            list->Browser()->Select(key);
        });
        d.Host().FieldEvent(kFormHelp, d.Record(), "T.2");
        scanned = d.Record().GetValue("T.2") == "computer";
        parameters.Button1->click();
    });
    window.ZapytanieItem->trigger();
    EXPECT_TRUE(scanned);
    EXPECT_EQ(window.Edit1->text(), "10");
    gui::BrowserView* results = window.Browser();
    ASSERT_NE(results, nullptr);
    ASSERT_NE(results->Browser(), nullptr) << "the first entries are drawn at once";
    EXPECT_EQ(results->LineHeight(), 90);
    EXPECT_NE(CellTexts(results).find("245Z.1.1.1.1=^aHow to program a computer"), std::string::npos)
        << CellTexts(results);
    window.PlusButton->click();
    EXPECT_EQ(results->LineHeight(), 113);

    // "Pobierz": the record opens in the editing window as a new MARC record.
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    results->Browser()->Select("1");
    window.PobierzButton->click();
    ASSERT_EQ(editing->SheetCount(), 1);
    edit_sheet& taken = *editing->ActiveSheet();
    EXPECT_EQ(taken.Record().GetValue("245Z.1.1.1.1"), "^aHow to program a computer");
    EXPECT_EQ(taken.Record().GetValue("L.1"), "00366nam  22001698a 4500");
    gui::Tokno_edycji& editor = *form.Find<gui::EditingFeature>()->OknoEdycji;
    EXPECT_EQ(editor.PageControl1->tabText(0), toQString("Nowy \"U\""));

    // "Konwertuj": a book of the catalogue, imported under its kind.
    window.KonwertujButton->click();
    ASSERT_EQ(editing->SheetCount(), 2);
    edit_sheet& book = *editing->ActiveSheet();
    EXPECT_EQ(editor.PageControl1->tabText(1), toQString("Import \"#K\""));
    EXPECT_EQ(book.Record().GetValue("245Z.1.1.1.1"), "^aHow to program a computer");
    EXPECT_EQ(book.Record().Find("L.1"), nullptr);

    // Both save into the catalogue.
    editing->SaveAll();
    EXPECT_EQ(editing->SheetCount(), 0);
    EXPECT_EQ(editing->Saved().size(), 2u);
    if (!editing->Saved().empty()) EXPECT_EQ(editing->Saved()[0], "U1");

    // A logout closes the window.
    form.Shell().Logout();
    EXPECT_FALSE(window.isVisible());
}

TEST(Z3950Window, AGroupSearchedWholeWithItsCountsAndTheSourceInEachCell) {
    test::Z3950Server yaz(test::Z3950Server::Kind::YazZtest);
    if (!yaz.Installed()) GTEST_SKIP() << yaz.Why();
    ASSERT_TRUE(yaz.Ready()) << yaz.Why();
    const std::string port = std::to_string(yaz.Port());
    ImportProgram p("[Z3950_GRUPA_A]\r\nnazwa=Lokalne\r\n"
                    "[Z3950_KATALOG_A1]\r\nnazwa=Ztest\r\nip=127.0.0.1\r\nport=" + port + "\r\nbaza=Default\r\n"
                    "[Z3950_KATALOG_A2]\r\nnazwa=Ztest SRU\r\nprotok\xF3\xB3=SRU\r\nip=127.0.0.1\r\nport=" + port +
                    "\r\nbaza=Default\r\n");
    ASSERT_TRUE(p.server.Ready()) << p.server.Why();
    test::MessageDismisser dismiss;
    gui::TOknoZ3950& window = *p.Feature().OknoZ3950;
    p.Feature().ProtokolZ3950Popup->trigger();
    ASSERT_TRUE(window.isVisible());
    EXPECT_TRUE(window.KilkaItem->isEnabled());
    QAction* group = window.ZrodloMenu->actions()[0]->menu()->actions().value(0);
    ASSERT_EQ(group->objectName(), "GroupItem");
    group->trigger();
    EXPECT_EQ(window.windowTitle(), "Import Z39.50: Ztest, Ztest SRU");
    EXPECT_EQ(window.Model().CheckedSources(), (std::vector<int>{0, 1}));

    ASSERT_EQ(window.Model().Search("Q.1|!|T.1|computer|E||"), Z3950Outcome::Found);
    EXPECT_EQ(fromQString(window.Edit1->text()), "42");
    EXPECT_TRUE(window.CountsLabel->isVisible());
    EXPECT_EQ(window.CountsLabel->text(), "Ztest: 23; Ztest SRU: 19");
    QApplication::processEvents();
    const std::string cells = CellTexts(window.Browser());
    EXPECT_NE(cells.find(fromQString(toQString("Źródło: Ztest (1)"_cp))), std::string::npos) << cells;
    // Nothing but the catalogue's greeting was said.
    for (const QString& t : dismiss.texts) EXPECT_TRUE(t.startsWith("Witamy")) << t.toStdString();

    // One source chosen again: no counts, its caption.
    window.ZrodloMenu->actions()[0]->menu()->actions().value(2)->trigger();
    EXPECT_EQ(window.windowTitle(), "Import Z39.50: Ztest");
    EXPECT_FALSE(window.CountsLabel->isVisible());
    EXPECT_TRUE(window.Model().CheckedSources().empty());
}
