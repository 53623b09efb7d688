// "Program globalnej modyfikacji" from the main window against velt-server:
// the administrator's items of "&Operacja" (and nobody else's), a program
// typed into the memo and run over the record box's record, a refused
// program keeping the window open with its message, the program kept for the
// next opening however the window closed, and "Otwórz" and "Zapisz" through
// their file dialogs.

#include "admin/GlobalModification.h"
#include "catalogue/velt_files.h"
#include "gui/admin/GlobalFeature.h"
#include "gui/admin/TOknoGlobalne.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "browse/PresentationTabs.h"
#include "gui/shell/TForm1.h"
#include "net/RecordRequests.h"
#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include "gui/DemoCatalogue.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

namespace {

struct LoggedIn {
    test::ServerProcess server;
    test::TempDir dir;
    gui::TForm1 form;
    explicit LoggedIn(const std::string& user) {
        const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()));
        const std::string stored = dir.Path() + "login";
        EXPECT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), user, user}), "");
        form.resize(1000, 700);
        form.show();
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        form.Shell().Start(ReadStoredLogin(stored));
    }
    // A field of a record as another session reads it.
    std::string Stored(const std::string& id, const std::string& key) {
        TVeltClient other("127.0.0.1", nullptr, server.Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {id});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return "<none>";
        const my_record r = ParseRecordText(opened[2]);
        EditRequest(other, 'X', {id});
        return r.GetValue(key);
    }
};

// Runs act on the modal window of type W once it is up (looked at every 10 ms).
template <typename W>
void WhenUp(std::function<void(W&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(*w);
    });
    timer->start();
}

// The message boxes answered with their first button, their texts kept.
struct Messages {
    Messages() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<gui::TOknoKomunikatu*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(fromQString(box->Label1->text()));
            box->reject();
        });
        timer.start();
    }
    QTimer timer;
    std::vector<std::string> texts;
};

// The file dialog (Qt's own, as offscreen has no other) given a file's path.
void Choose(QFileDialog& d, const std::string& path) {
    const QFileInfo file(gui::toQPath(path));
    d.setDirectory(file.absolutePath());
    auto* name = d.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(file.fileName());
    static_cast<QDialog&>(d).accept();  // QFileDialog's own accept, through the public slot
}

const char* const kNote =
    "BEGIN\n  GRUPA('590')\n  POZYCJA = '.1.1.1'\n  GRUPA('Z')\n  POLE = 'Z okna'\n  BACK\n  BACK\nEND";

}  // namespace

TEST(GlobalWindow, OnlyAnAdministratorSeesTheItemsAndCanRunAProgramOverTheRecordBox) {
    {
        LoggedIn librarian("bibliotekarz");
        ASSERT_TRUE(librarian.server.Ready());
        auto* feature = librarian.form.Find<gui::GlobalFeature>();
        ASSERT_NE(feature, nullptr);
        EXPECT_FALSE(feature->ProgramMenu->menuAction()->isVisible());
        EXPECT_FALSE(feature->UsunMenu->menuAction()->isVisible());
    }
    SetProgramText("begin\r\nend");
    LoggedIn admin("admin");
    ASSERT_TRUE(admin.server.Ready());
    auto* feature = admin.form.Find<gui::GlobalFeature>();
    EXPECT_TRUE(feature->ProgramMenu->menuAction()->isVisible());
    EXPECT_TRUE(feature->UsunMenu->menuAction()->isVisible());
    EXPECT_TRUE(admin.form.Globalnie1->menuAction()->isVisible());
    const QList<QAction*> items = admin.form.Globalnie1->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[items.size() - 2]->text(), "Program (administrator)") << "the last two items of the menu";
    EXPECT_EQ(items.back()->text(), toQString("Usuń globalnie"_cp));
    Messages messages;
    // The server's greeting first, so that it is not showing when the window has something to say.
    for (int i = 0; i < 300 && messages.texts.empty(); ++i) QTest::qWait(10);
    ASSERT_EQ(messages.texts, std::vector<std::string>{"Witamy w katalogu demonstracyjnym"});
    messages.texts.clear();

    // A refused program: its message, and the window stays for a correction.
    admin.form.ComboBox1->setEditText("K12");
    bool stayed = false;
    QString offered;
    WhenUp<gui::TOknoGlobalne>([&](gui::TOknoGlobalne& w) {
        offered = w.Memo1->toPlainText();
        EXPECT_EQ(w.windowTitle(), "Program globalnej modyfikacji");
        w.Memo1->setPlainText("BEGIN\n  X = \nEND");
        w.Button4->click();
        stayed = w.isVisible();
        w.Memo1->setPlainText(kNote);
        w.Button4->click();  // accepted: the window closes
    });
    feature->RekordItem->trigger();
    EXPECT_EQ(offered, "begin\nend");
    EXPECT_TRUE(stayed);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0].rfind("Błąd programu"_cp, 0), 0u) << messages.texts[0];
    EXPECT_EQ(admin.Stored("K12", "590Z.1.1.1.1"), "Z okna");
    EXPECT_EQ(ProgramText(), JoinLines(TextLines(kNote)));

    // Cancelled: what the memo held is offered next time.
    WhenUp<gui::TOknoGlobalne>([&](gui::TOknoGlobalne& w) {
        offered = w.Memo1->toPlainText();
        w.Memo1->appendPlainText("{ poprawka }");
        w.Button3->click();
    });
    feature->LokalnaItem->trigger();
    EXPECT_EQ(offered, kNote);
    EXPECT_EQ(TextLines(ProgramText()).back(), "{ poprawka }");
}

TEST(GlobalWindow, OtworzAndZapiszGoThroughTheirDialogs) {
    LoggedIn admin("admin");
    ASSERT_TRUE(admin.server.Ready());
    Messages messages;
    for (int i = 0; i < 300 && messages.texts.empty(); ++i) QTest::qWait(10);
    velt_files* files = admin.form.Shell().Current();
    ASSERT_NE(files, nullptr);
    GlobalProgram program(*files, gui::GuiPrompts::Instance(), gui::GuiPrompts::Instance(), ModificationMode::Record,
                          "K1", nullptr, {});
    gui::TOknoGlobalne window(program, {"BEGIN", "  { zachowany }", "END"});
    window.show();
    const std::string saved = admin.dir.Path() + "program";
    WhenUp<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(&d, window.SaveDialog1);
        Choose(d, saved);
    });
    window.Button2->click();
    std::ifstream in(saved + ".apr", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "BEGIN\r\n  { zachowany }\r\nEND\r\n") << "the default extension added";

    const std::string other = admin.dir.Write("inny.apr", "begin\n  { ąę }\nend\n"_cp);
    WhenUp<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(&d, window.OpenDialog1);
        Choose(d, other);
    });
    window.Button1->click();
    EXPECT_EQ(window.Lines(), (std::vector<std::string>{"begin", "  { ąę }"_cp, "end"}));
    EXPECT_EQ(window.Memo1->toPlainText(), QString::fromUtf8("begin\n  { ąę }\nend"));
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Witamy w katalogu demonstracyjnym"}) << "nothing else to say";
}

TEST(GlobalWindow, UsunGloballyAsksWithNieFocusedAndDeletesTheLocalCollectionOnTak) {
    LoggedIn admin("admin");
    ASSERT_TRUE(admin.server.Ready());
    // The login's form messages paused the busy cursor of the kinds' loading, and it is gone.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        Messages greeting;
        for (int i = 0; i < 300 && greeting.texts.empty(); ++i) QTest::qWait(10);
    }
    velt_files& files = *admin.form.Shell().Current();
    coll_serwer* local = admin.form.Tabs().Local();
    ASSERT_NE(local, nullptr);
    for (const char* id : {"K70", "K71"}) local->Collection().Include(files.RecordNumber(files.StoredIdentifier(id)));
    auto* feature = admin.form.Find<gui::GlobalFeature>();

    // The question, answered by the button a hasty Enter would press.
    std::vector<std::string> asked;
    QString preset;
    auto answer = [&](bool tak) {
        WhenUp<gui::TOknoKomunikatu>([&, tak](gui::TOknoKomunikatu& box) {
            asked.push_back(fromQString(box.Label1->text()));
            for (QPushButton* b : box.Buttons())
                if (b->isDefault()) preset = b->text();
            for (QPushButton* b : box.Buttons())
                if (b->text() == (tak ? "Tak" : "Nie")) {
                    b->click();
                    return;
                }
            box.reject();
        });
    };
    answer(false);
    feature->UsunLokalnaItem->trigger();
    EXPECT_EQ(asked, std::vector<std::string>{"Czy rzeczywiście chcesz usunąć 2 rekordów"_cp});
    EXPECT_EQ(preset, "Nie");
    EXPECT_EQ(local->Collection().CountNumbers(), 2);
    EXPECT_NE(admin.Stored("K70", "001Z.1.1.1.1"), "<none>");

    answer(true);
    feature->UsunLokalnaItem->trigger();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(local->Collection().CountNumbers(), 0);
    for (const char* id : {"K70", "K71"}) EXPECT_EQ(admin.Stored(id, "001Z.1.1.1.1"), "<none>") << id;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone again";
}
