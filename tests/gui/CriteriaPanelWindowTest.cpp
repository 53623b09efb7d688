// "Dostępne kryteria" from the main window against velt-server with a form
// as its first criterion: the rows' boxes, the form laid out in its row,
// typing and executing, the search in the history under its readable label,
// and the rows remembered in the configuration.

#include "gui/search/TOknoNoweKryteria.h"

#include "criteria/RememberedValues.h"
#include "forms/my_editor.h"
#include "gui/common/QtText.h"
#include "gui/forms/FormSheet.h"
#include "gui/search/SearchFeature.h"
#include "gui/shell/TForm1.h"
#include "lang/ProfileFile.h"
#include "search/SearchService.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/WhenReady.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

using velt::test::WhenReady;

namespace {

QGroupBox* Box(gui::TOknoNoweKryteria& w, const std::string& caption) {
    for (QGroupBox* b : w.RowBoxes())
        if (b->title() == toQString(caption)) return b;
    return nullptr;
}

}  // namespace

TEST(CriteriaPanelWindow, PodstawoweShowsTheRowsAndItsQueryIsSearchedAndRemembered) {
    test::ServerProcess::Options options;
    options.extra = {"--form-criterion-first"};
    test::ServerProcess server(options);
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
    auto* search = form.Find<gui::SearchFeature>();
    ASSERT_TRUE(search->PodstawoweItem->isEnabled());
    gui::TOknoNoweKryteria& window = *search->OknoNoweKryteria;

    std::vector<std::string> captions;
    bool formLaidOut = false;
    WhenReady([&] { return window.isVisible() && !window.RowBoxes().empty(); }, [&] {
        EXPECT_EQ(window.windowTitle(), toQString("Dostępne kryteria"_cp));
        for (QGroupBox* b : window.RowBoxes()) captions.push_back(fromQString(b->title()));
        QGroupBox* language = Box(window, "Język tekstu"_cp);
        ASSERT_NE(language, nullptr);
        auto* sheet = language->findChild<gui::FormSheet*>();
        formLaidOut = sheet && sheet->Form();
        if (formLaidOut) {
            // The list field of the form: "angielski".
            auto* combo = sheet->findChild<QComboBox*>();
            ASSERT_NE(combo, nullptr);
            combo->setCurrentIndex(2);
            emit combo->activated(2);  // as the user's choice reports it
        }
        QGroupBox* title = Box(window, "tytuł"_cp);
        ASSERT_NE(title, nullptr);
        auto* edit = title->findChild<QLineEdit*>("Edit1");
        QTest::keyClicks(edit, "a");
        EXPECT_TRUE(title->findChild<QWidget*>("Usun")->isVisible()) << "the clear button shows with a text";
        title->findChild<QComboBox*>("Rodzaj")->setCurrentIndex(1);
        EXPECT_TRUE(window.GroupBox1->isVisible());
        window.ComboBox1->setCurrentIndex(1);
        window.Button1->click();
    });
    search->PodstawoweItem->trigger();
    ASSERT_GE(captions.size(), 10u);
    EXPECT_EQ(captions[0], "Filtr");
    EXPECT_EQ(captions[1], "Język tekstu"_cp);
    EXPECT_TRUE(formLaidOut);
    const auto& history = form.Search().History().Entries();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].query.rfind("SORTUJ \"", 0), 0u) << history[0].query;
    EXPECT_NE(history[0].query.find("\"Język tekstu\" \"J.1|eng|\" * \"tytuł\" SŁOWO \"a\""_cp), std::string::npos)
        << history[0].query;
    EXPECT_EQ(history[0].label, "\"Język tekstu\" eng * \"tytuł\" SŁOWO \"a\""_cp);
    EXPECT_EQ(form.Search().SortIndex(), 1);

    // Again: the rows come back as they were left.
    std::string title;
    WhenReady([&] { return window.isVisible() && !window.RowBoxes().empty(); }, [&] {
        title = fromQString(Box(window, "tytuł"_cp)->findChild<QLineEdit*>("Edit1")->text());
        window.reject();
    });
    search->PodstawoweItem->trigger();
    EXPECT_EQ(title, "a");
    EXPECT_EQ(form.Search().History().Entries().size(), 1u) << "closed: nothing searched";
    // The rows go into the configuration's "KRYTERIA".
    ProfileFile file(ini);
    search->WriteConfiguration(file);
    EXPECT_EQ(file.ReadString(kCriteriaSection, "tytuł"_cp, ""), "C.1|a|C.2|SŁOWO|"_cp);
}
