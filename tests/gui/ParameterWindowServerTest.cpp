// The parameter window in the program against velt-server: a criterion of
// "E&lementarne" asked with its form, sorting and script and searched, and
// "Programy zewnętrzne" editing the associations written back at exit.

#include "gui/common/TOknoKomunikatu.h"
#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/forms/FormSheet.h"
#include "gui/params/ParameterServices.h"
#include "gui/params/TOknoParametrow.h"
#include "gui/shell/TForm1.h"
#include "gui/search/SearchFeature.h"

#include "text/CpLiteral.h"

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

std::string Config(int port) {
    return test::DemoCatalogueIni(port) + "[PLIKI]\r\n*.txt=/bin/cat\r\n";
}

void WhenShown(QWidget& window, std::function<void()> act) {
    auto attempt = std::make_shared<std::function<void()>>();
    *attempt = [&window, act, attempt] {
        if (!window.isVisible()) {
            QTimer::singleShot(5, *attempt);
            return;
        }
        act();
    };
    QTimer::singleShot(0, *attempt);
}

QAction* Item(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

}  // namespace

TEST(ParameterWindowServer, ACriterionWithAFormIsAskedSortedAndSearched) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    // The server's greeting comes first and goes.
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    QAction* years = Item(form.Find<gui::SearchFeature>()->Elementarne1, QString::fromUtf8("Rok wydania"));
    ASSERT_NE(years, nullptr);
    TOknoParametrow& window = form.Parameters().Window();
    bool sortShown = false;
    QString title;
    WhenShown(window, [&] {
        title = window.windowTitle();
        sortShown = window.GroupBox1->isVisible();
        const auto spins = window.PanelFormularza->Canvas()->findChildren<QSpinBox*>();
        ASSERT_EQ(spins.size(), 2);
        EXPECT_EQ(spins[0]->value(), 1950) << "the server's SHOW script";
        spins[0]->setValue(1980);
        spins[1]->setValue(1970);
        window.Button1->click();
        EXPECT_TRUE(window.isVisible()) << "the server's WYKONAJ refused the range";
        spins[1]->setValue(1990);
        window.ComboBox1->setCurrentIndex(3);  // "rok wydania"
        window.Button1->click();
    });
    years->trigger();
    EXPECT_EQ(title, QString::fromUtf8("Rok wydania"));
    EXPECT_TRUE(sortShown) << "the catalogue has sort keys";
    const auto& history = form.Search().History().Entries();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].query, "SORTUJ \"rok wydania\" \"Rok wydania\" \"R.1|1980|R.2|1990|\"");
    EXPECT_EQ(history[0].label, "\"Rok wydania\"\"1980\" \"1990\" ");
    EXPECT_EQ(form.Shell().Settings().CriteriaValues, "R.1|1980|R.2|1990|");
    EXPECT_EQ(form.Shell().Settings().SortKey, 3);
    EXPECT_EQ(form.Shell().Current()->RemoteCollection, history[0].collection);
    QStringList texts = dismiss.texts;
    EXPECT_EQ(texts.filter(QString::fromUtf8("Rok początkowy jest późniejszy od końcowego")).size(), 1) << texts.join("|").toStdString();
    EXPECT_EQ(texts.filter(QString::fromUtf8("Kolekcja zdalna zawiera")).size(), 1);
}

TEST(ParameterWindowServer, ExternalProgramsAreEditedAndWrittenBackAtExit) {
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(1));
    {
        TForm1 form;
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        ASSERT_EQ(form.Shell().Associations().List().size(), 1u);
        ASSERT_NE(form.Ustawienia1, nullptr);
        QAction* programs = Item(form.Ustawienia1, QString::fromUtf8("Programy zewnętrzne"));
        ASSERT_NE(programs, nullptr);
        TOknoParametrow& window = form.Parameters().Window();
        QString title;
        WhenShown(window, [&] {
            title = window.windowTitle();
            const auto edits = window.PanelFormularza->Canvas()->findChildren<QLineEdit*>();
            ASSERT_GE(edits.size(), 4);
            EXPECT_EQ(edits[0]->text(), QString::fromUtf8("*.txt"));
            QTest::keyClicks(edits[2], "*.pdf");
            QTest::keyClicks(edits[3], "/usr/bin/evince");
            window.Button1->click();
        });
        programs->trigger();
        EXPECT_EQ(title, QString::fromUtf8("Modyfikuj skojarzenia plików"));
        EXPECT_EQ(form.Shell().Associations().List().size(), 2u);
        form.close();
    }
    EXPECT_NE(test::TempDir::Read(ini).find("[PLIKI]\r\n*.txt=/bin/cat\r\n*.pdf=/usr/bin/evince\r\n"), std::string::npos)
        << test::TempDir::Read(ini);
}

TEST(ParameterWindowServer, AReportElementAsksItsFormAndShowsTheReportsText) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    TOknoParametrow& window = form.Parameters().Window();
    QString title;
    WhenShown(window, [&] {
        title = window.windowTitle();
        window.Button1->click();  // the last thirty days the form starts with
    });
    form.Commands().Run("", "RAPORT Wykaz nabytków|S.1|T"_cp, "K1", false);
    EXPECT_EQ(title, QString::fromUtf8("Wykaz nabytków"));
    auto* report = form.findChild<QDialog*>("OknoZestawienia");
    ASSERT_NE(report, nullptr) << dismiss.texts.join("|").toStdString();
    auto* text = report->findChild<QPlainTextEdit*>("RichEdit1");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8("Razem pozycji"))) << text->toPlainText().toStdString();
    EXPECT_EQ(form.Shell().Settings().ReportValues.find("S.1|T|"), 0u) << "the element's pairs are remembered";
    const auto left = QDir(QString::fromStdString(form.Shell().Settings().WorkingDirectory))
                          .entryList({"report*.tmp"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << "the work file goes once read";
    report->close();

    // An element naming no report with a form does nothing.
    form.Commands().Run("", "RAPORT Nieznany|A|B"_cp, "K1", false);
    EXPECT_EQ(form.findChildren<QDialog*>("OknoZestawienia").size(), 1) << "the first one is closing, no new one";
    QTest::qWait(20);

    // The same report from "&Zestawienie", its group's item; cancelled, nothing is asked of the server.
    QAction* item = nullptr;
    for (QMenu* group : form.Zestawienie1->findChildren<QMenu*>())
        if (QAction* a = Item(group, QString::fromUtf8("Wykaz nabytków"))) item = a;
    ASSERT_NE(item, nullptr);
    WhenShown(window, [&] { window.close(); });
    item->trigger();
    EXPECT_TRUE(form.findChildren<QDialog*>("OknoZestawienia").isEmpty());
    WhenShown(window, [&] { window.Button1->click(); });
    item->trigger();
    EXPECT_EQ(form.findChildren<QDialog*>("OknoZestawienia").size(), 1);
}
