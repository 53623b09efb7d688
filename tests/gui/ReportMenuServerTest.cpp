// "&Zestawienie" in the program against velt-server: the scope items of a
// report without a form say what is missing, and with a highlighted record
// or a remote collection the table report opens in its preview window.

#include "gui/common/TOknoKomunikatu.h"
#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/reports/TForm2.h"
#include "gui/shell/TForm1.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QFile>
#include <QTextCursor>
#include <QTextEdit>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

std::string Config(int port) { return test::DemoCatalogueIni(port); }

QAction* ScopeItem(TForm1& form, const QString& report, const QString& scope) {
    for (QMenu* m : form.Zestawienie1->findChildren<QMenu*>()) {
        if (m->title() != report) continue;
        for (QAction* a : m->actions())
            if (a->text() == scope) return a;
    }
    return nullptr;
}

}  // namespace

TEST(ReportMenuServer, ScopeItemsSayWhatIsMissingAndOpenThePreview) {
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
    dismiss.texts.clear();

    const QString list = QString::fromUtf8("Lista tytułów");
    QAction* record = ScopeItem(form, list, QString::fromUtf8("Wyróżniony rekord"));
    QAction* remote = ScopeItem(form, list, QString::fromUtf8("Dla kolekcji zdalnej"));
    QAction* local = ScopeItem(form, list, QString::fromUtf8("Dla kolekcji lokalnej"));
    ASSERT_TRUE(record && remote && local);

    form.Shell().Current()->RemoteCollection = 0;
    form.PutIntoRecordBox("");
    remote->trigger();
    record->trigger();
    for (int i = 0; i < 100 && dismiss.texts.size() < 2; ++i) QTest::qWait(10);
    EXPECT_EQ(dismiss.texts, (QStringList{"Brak kolekcji zdalnej", QString::fromUtf8("Żaden rekord nie został wyróżniony")}));
    EXPECT_TRUE(form.findChildren<TForm2*>().isEmpty());

    form.PutIntoRecordBox("K7");
    record->trigger();
    TForm2* preview = nullptr;
    for (int i = 0; i < 200 && !preview; ++i) {
        QTest::qWait(10);
        preview = form.findChild<TForm2*>("TForm2");
    }
    ASSERT_NE(preview, nullptr) << dismiss.texts.join("|").toStdString();
    EXPECT_EQ(preview->windowTitle(), list);
    EXPECT_EQ(preview->Report().lineCount, 1);
    EXPECT_EQ(preview->Report().Refusal(), "");
    preview->close();
    QTest::qWait(20);
}

namespace {

// The text of the report window that shows a formatted report.
QTextEdit* FormattedReportText() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* edit = w->findChild<QTextEdit*>("RichEdit1"); edit && w->isVisible()) return edit;
    return nullptr;
}

}  // namespace

TEST(ReportMenuServer, TheDescriptionShowsFormattedAndTheLabelsGoIntoTheLabelFile) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini =
        dir.Write("VELT_TCP.INI", Config(server.Port()) + "[NAKLEJKI]\r\nplik=NAKLEJKI.DAT\r\n");
    TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    dismiss.texts.clear();
    form.PutIntoRecordBox("K7");

    QAction* description = ScopeItem(form, "Opis bibliograficzny", QString::fromUtf8("Wyróżniony rekord"));
    ASSERT_NE(description, nullptr);
    description->trigger();
    QTextEdit* edit = nullptr;
    for (int i = 0; i < 200 && !edit; ++i) {
        QTest::qWait(10);
        edit = FormattedReportText();
    }
    ASSERT_NE(edit, nullptr) << dismiss.texts.join("|").toStdString();
    const QString text = edit->document()->toPlainText();
    EXPECT_TRUE(text.startsWith("Opis bibliograficzny")) << text.toStdString();
    const int heading = text.indexOf("1. ");
    ASSERT_GT(heading, 0) << text.toStdString();
    QTextCursor cursor(edit->document());
    cursor.setPosition(heading + 1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(text.contains("Sygn. ")) << text.toStdString();
    edit->window()->close();

    QAction* labels = ScopeItem(form, "Etykiety grzbietowe", QString::fromUtf8("Wyróżniony rekord"));
    ASSERT_NE(labels, nullptr);
    labels->trigger();
    const QString labelFile = QString::fromStdString(dir.Path()) + "NAKLEJKI.DAT";
    for (int i = 0; i < 200 && !QFile::exists(labelFile); ++i) QTest::qWait(10);
    QFile file(labelFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << dismiss.texts.join("|").toStdString();
    const QByteArray lines = file.readAll();
    EXPECT_EQ(lines.count("\r\n"), 1) << lines.toStdString();
    EXPECT_EQ(lines.count('|'), 1) << lines.toStdString();
    file.close();

    // An entry's "BAR" element prints its pairs' labels into the same file.
    form.Commands().Run("", "BARSygnatura\x1B" "II 10\x1B" "ISBN\x1B" "83-7039-044-7", "K7", false);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray all = file.readAll();
    EXPECT_TRUE(all.endsWith("Sygnatura|II 10\r\nISBN|83-7039-044-7\r\n")) << all.toStdString();
    EXPECT_TRUE(dismiss.texts.isEmpty()) << dismiss.texts.join("|").toStdString();
}
