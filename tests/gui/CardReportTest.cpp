// The report kind KARTA in the program: ShowReport hands the work file's
// lines to the catalogue cards or says what is missing, and from the main
// window's "&Zestawienie" menu against velt-server the card window opens
// with the record's card, nothing left behind.

#include "gui/MessageDismisser.h"
#include "gui/common/QtText.h"
#include "gui/reports/ShowReport.h"
#include "gui/cards/TKarta3.h"
#include "gui/shell/TForm1.h"
#include "gui/DemoCatalogue.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

struct RecordedCards : CatalogueCards {
    std::vector<std::vector<std::string>> shown;
    void KartaKatalogowa(std::vector<std::string> lines) override { shown.push_back(std::move(lines)); }
};

}  // namespace

TEST(CardReport, ShowReportHandsTheLinesOverOrSaysWhatIsMissing) {
    test::TempDir dir;
    std::vector<std::string> errors;
    QWidget parent;
    ReportShowContext context{&parent, "", [&errors](const std::string& e) { errors.push_back(e); }};
    auto cards = std::make_shared<RecordedCards>();
    context.cards = cards;
    velt_report card;
    card.Name = "Karta katalogowa";
    card.Language = "KARTA";

    const std::string work = dir.Write("report1.tmp", "[KARTA]\r\n[HASLO]\r\nPrus, Bolesław\r\n"_cp);
    EXPECT_TRUE(ShowReport(card, work, context));
    ASSERT_EQ(cards->shown.size(), 1u);
    EXPECT_EQ(cards->shown[0], (std::vector<std::string>{"[KARTA]", "[HASLO]", "Prus, Bolesław"_cp}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(work))) << "the work file goes once read";

    EXPECT_TRUE(ShowReport(card, dir.Path() + "none.tmp", context));
    EXPECT_TRUE(ShowReport(card, dir.Write("report2.tmp", "\r\n"), context));
    EXPECT_EQ(cards->shown.size(), 1u);
    EXPECT_EQ(errors, (std::vector<std::string>{"CARD_REPORT: Brak pliku roboczego zestawienia",
                                                "Pusta zawartość karty"_cp}));

    // Without a card window the caller is told the kind is not shown.
    context.cards.reset();
    EXPECT_FALSE(ShowReport(card, dir.Write("report3.tmp", "[KARTA]\r\n"), context));
}

TEST(CardReport, TheMenuItemRunsTheReportAndTheCardWindowShowsTheCard) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()));
    TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    dismiss.texts.clear();

    QAction* record = nullptr;
    for (QMenu* m : form.Zestawienie1->findChildren<QMenu*>())
        if (m->title() == "Karta katalogowa")
            for (QAction* a : m->actions())
                if (a->text() == QString::fromUtf8("Wyróżniony rekord")) record = a;
    ASSERT_NE(record, nullptr);

    // K3 is a collection of stories: its card takes three pages.
    int cards = 0, pages = 0;
    QString panel;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* window = qobject_cast<TKarta3*>(QApplication::activeModalWidget());
        if (!window) return;
        cards = window->CardCount();
        pages = window->Card().ZliczStrony();
        panel = window->Panel0->text();
        window->ZakonczButton->click();
    });
    look.start(10);
    form.PutIntoRecordBox("K3");
    record->trigger();
    for (int i = 0; i < 300 && cards == 0; ++i) QTest::qWait(10);
    look.stop();
    EXPECT_EQ(cards, 1);
    EXPECT_EQ(pages, 3);
    EXPECT_TRUE(panel.endsWith(": 1-3/3")) << panel.toStdString();
    EXPECT_TRUE(dismiss.texts.isEmpty()) << dismiss.texts.join("|").toStdString();
    const QStringList left = QDir(QString::fromStdString(dir.Path())).entryList({"report*"}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join("|").toStdString();

    // A record the server does not have: the aborted transfer is said.
    dismiss.texts.clear();
    form.PutIntoRecordBox("K999999");
    record->trigger();
    for (int i = 0; i < 300 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    ASSERT_EQ(dismiss.texts.size(), 1);
    EXPECT_TRUE(dismiss.texts[0].startsWith(QString::fromUtf8("Serwer nie przygotował"))) << dismiss.texts[0].toStdString();
}
