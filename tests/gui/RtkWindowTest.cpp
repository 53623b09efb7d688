// "Systemy VELT" from the main window, offscreen, against two velt-server
// processes: the item only with sources configured, "Nie połączony" until a
// source of "Źródło" is chosen (its group named in the caption unless it is
// a range like "Od A do M"), the source searched through the criteria panel
// over its own descriptor, the record found taken into the editing window,
// and the source chosen kept in the configuration.

#include "browse/VrBrowser.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/editing/EditingFeature.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/import/RtkFeature.h"
#include "gui/import/TOknoRTK.h"
#include "gui/search/SearchFeature.h"
#include "gui/search/TOknoNoweKryteria.h"
#include "gui/shell/TForm1.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/WhenReady.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

using velt::test::WhenReady;

namespace {

std::string CellTexts(gui::BrowserView* view) {
    std::string all;
    if (!view || !view->Browser()) return all;
    for (const Vrklatka& c : view->Browser()->Cells())
        for (const CellItem& i : c.content.items) all += i.text + "\n";
    return all;
}

// The actions of a menu and its submenus, by their texts.
QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* found = FindAction(a->menu(), text)) return found;
    }
    return nullptr;
}

// The plain messages (message boxes of their own) met, closed and kept.
struct PlainMessages {
    QStringList texts;
    QTimer timer;
    PlainMessages() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer.start();
    }
};

}  // namespace

TEST(RtkWindow, ARecordOfTheSourceFoundThroughTheCriteriaPanelIsTakenIntoTheEditor) {
    test::ServerProcess local;
    test::ServerProcess::Options o;
    o.kind = "VELT3";
    o.records = 80;
    test::ServerProcess source(o);
    ASSERT_TRUE(local.Ready()) << local.Why();
    ASSERT_TRUE(source.Ready()) << source.Why();
    test::TempDir dir;
    const std::string sources = "[RTK_GRUPA_1]\r\nnazwa=Sieć miejska\r\n"_cp +
                                "[RTK_KATALOG_1_1]\r\nnazwa=Biblioteka Główna\r\nip=127.0.0.1\r\nport="_cp +
                                std::to_string(source.Port()) + "\r\n";
    const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(local.Port()) + sources);
    const std::string stored = dir.Path() + "login";
    ASSERT_EQ(WriteStoredLogin(stored, {"127.0.0.1", local.Port(), "bibliotekarz", "bibliotekarz"}), "");
    gui::TForm1 form;
    form.resize(1100, 760);
    form.show();
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(ReadStoredLogin(stored));
    ASSERT_EQ(form.Shell().Mode(), ShellMode::LoggedIn);
    test::MessageDismisser dismiss;
    PlainMessages plain;

    auto* feature = form.Find<gui::RtkFeature>();
    ASSERT_NE(feature, nullptr);
    EXPECT_TRUE(feature->SystemyVeltItem->isVisible());
    gui::TOknoRTK& window = *feature->OknoRTK;
    feature->SystemyVeltItem->trigger();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(fromQString(window.windowTitle()), "Nie połączony"_cp);
    EXPECT_FALSE(window.PobierzButton->isEnabled());

    QAction* choice = FindAction(window.ZrodloMenu, QString::fromUtf8("Biblioteka Główna"));
    ASSERT_NE(choice, nullptr);
    choice->trigger();
    EXPECT_EQ(fromQString(window.windowTitle()), "Biblioteka Główna. Sieć miejska"_cp);
    EXPECT_TRUE(window.ZapytanieItem->isVisible());
    ASSERT_NE(window.Browser(), nullptr);

    // The panel lists the source's criteria; a title word finds its books.
    auto* search = form.Find<gui::SearchFeature>();
    gui::TOknoNoweKryteria& panel = *search->OknoNoweKryteria;
    bool asked = false;
    WhenReady([&] { return panel.isVisible() && !panel.RowBoxes().empty(); }, [&] {
        asked = true;
        for (QGroupBox* b : panel.RowBoxes())
            if (b->title() == toQString("tytuł"_cp))
                if (auto* edit = b->findChild<QLineEdit*>("Edit1")) edit->setText("historia");
        panel.Button1->click();
    });
    window.ZapytanieItem->trigger();
    EXPECT_TRUE(asked);
    ASSERT_EQ(plain.texts.size(), 1) << "the search is reported as the catalogue's own";
    EXPECT_TRUE(plain.texts[0].startsWith(QString::fromUtf8("Kolekcja zdalna zawiera "))) << plain.texts[0].toStdString();
    QApplication::processEvents();
    window.Browser()->Rebuild();
    const std::string cells = CellTexts(window.Browser());
    EXPECT_NE(cells.find("istori"), std::string::npos) << cells;
    EXPECT_EQ(form.Shell().Current()->Connection().Broken(), false);

    // The first found record, taken into the editing window.
    ASSERT_FALSE(window.Browser()->Browser()->Cells().empty());
    window.Browser()->Browser()->Select(window.Browser()->Browser()->Cells().front().key);
    QApplication::processEvents();
    ASSERT_TRUE(window.PobierzButton->isEnabled());
    window.PobierzButton->click();
    QApplication::processEvents();
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    ASSERT_EQ(editing->SheetCount(), 1) << fromQString(dismiss.texts.join("|"));
    EXPECT_NE(editing->Sheets()[0]->Record().GetValue("245Z.1.1.1.1"), "");

    // The source chosen is the one the window offers next time.
    window.close();
    form.close();
    EXPECT_NE(test::TempDir::Read(ini).find("RTK_KATALOG_1_1"), std::string::npos);
}
