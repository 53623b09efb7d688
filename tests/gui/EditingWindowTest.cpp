// The editing window "Otwarte rekordy" from the main window against
// velt-server: a record opened from the record box, typed into, a function
// key's script, the save, and the tabs showing the saved record.

#include "browse/PresentationTabs.h"
#include "browse/VrBrowser.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/editing/EditSheetPage.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/forms/QtFormControls.h"
#include "gui/shell/TForm1.h"
#include "gui/editing/EditingFeature.h"

#include "shell/StoredLogin.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using velt::gui::fromQString;
using velt::gui::toQString;

namespace {

std::string Config(int port) { return test::DemoCatalogueIni(port); }

// Answers every message box with its first button, keeping its text.
class Dismisser {
public:
    Dismisser() {
        mTimer.setInterval(10);
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<gui::TOknoKomunikatu*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(fromQString(box->Label1->text()));
            box->reject();
        });
        mTimer.start();
    }
    std::vector<std::string> texts;

private:
    QTimer mTimer;
};

// The widget of a field's main control on a sheet.
QWidget* FieldWidget(edit_sheet& sheet, const std::string& id) {
    QWidget* found = nullptr;
    sheet.Form()->Walk([&](const my_editor& e, int) {
        if (!found && e.FieldId() && *e.FieldId() == id && e.MainControl())
            found = static_cast<const gui::QtFormControl*>(e.MainControl())->Widget();
    });
    return found;
}

struct LoggedIn {
    test::ServerProcess server;
    test::TempDir dir;
    gui::TForm1 form;
    LoggedIn() {
        const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
        const std::string stored = dir.Path() + "login";
        EXPECT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), "bibliotekarz", "bibliotekarz"}), "");
        form.resize(1100, 760);
        form.show();
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        form.Shell().Start(ReadStoredLogin(stored));
    }
};

}  // namespace

TEST(EditingWindow, ARecordOfTheRecordBoxIsOpenedTypedIntoAndSavedAndTheTabsShowIt) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    gui::TForm1& form = l.form;
    ASSERT_EQ(form.Shell().Mode(), ShellMode::LoggedIn);
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr) << "a librarian's login starts editing";
    ASSERT_EQ(editing->Kinds().All().size(), 4u);
    gui::Tokno_edycji& window = *form.Find<gui::EditingFeature>()->OknoEdycji;
    EXPECT_EQ(window.Dodaj1->actions().size(), 4) << "one new-record item per kind";
    EXPECT_FALSE(form.Find<gui::EditingFeature>()->PokazButton->isEnabled());
    Dismisser dismiss;

    form.ComboBox1->setEditText("K5");
    form.Find<gui::EditingFeature>()->OtworzButton->trigger();
    ASSERT_EQ(editing->SheetCount(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(form.Find<gui::EditingFeature>()->PokazButton->isEnabled()) << "open records can be shown";
    ASSERT_EQ(window.PageControl1->count(), 1);
    EXPECT_EQ(window.PageControl1->tabText(0), toQString("Rekord \"K5\""));
    edit_sheet& sheet = *editing->ActiveSheet();

    // Typing into the edition's field, then leaving it.
    QWidget* edition = FieldWidget(sheet, "250Z.1.1.1.1");
    ASSERT_NE(edition, nullptr);
    edition->setFocus();
    QTest::keyClicks(edition, "Wyd. 3");
    QWidget* remark = FieldWidget(sheet, "500Z.1.1.1.1");
    ASSERT_NE(remark, nullptr);
    QApplication::setActiveWindow(&window);
    remark->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(sheet.CurrentField(), "500Z.1.1.1.1");
    EXPECT_EQ(sheet.Record().GetValue("250Z.1.1.1.1"), "Wyd. 3");
    EXPECT_TRUE(sheet.IsModified());
    // F5 in the remark: the kind's script writes today's date into it.
    sheet.Record().SetValue("500Z.1.1.1.1", "");
    sheet.Refresh("500Z.1.1.1.1");
    QTest::keyClick(remark, Qt::Key_F5);
    EXPECT_EQ(sheet.Record().GetValue("500Z.1.1.1.1").size(), 10u) << sheet.Record().GetValue("500Z.1.1.1.1");

    window.ZapiszButton->trigger();
    EXPECT_EQ(editing->SheetCount(), 0);
    EXPECT_FALSE(window.isVisible()) << "the window hides with its last record";
    EXPECT_FALSE(form.Find<gui::EditingFeature>()->PokazButton->isEnabled());
    ASSERT_FALSE(dismiss.texts.empty());
    EXPECT_EQ(dismiss.texts.back(), "Rekord został zapisany.\n\rK5"_cp);
    EXPECT_EQ(editing->Saved(), std::vector<std::string>{"K5"});
}

TEST(EditingWindow, ASavedTitleIsWhereTheTitleTabShowsTheRecord) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    gui::TForm1& form = l.form;
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    Dismisser dismiss;
    PresentationTabs& tabs = form.Tabs();
    tabs.Activate(tabs.FindTab("tytuł"_cp));
    form.Edit1->setText("h");
    form.Button2->click();
    VrBrowser* titles = tabs.ActiveBrowser();
    ASSERT_NE(titles, nullptr);
    ASSERT_EQ(titles->SelectedKey().rfind("HISTORIA", 0), 0u) << titles->SelectedKey();
    form.ComboBox1->setEditText("K7");
    form.Find<gui::EditingFeature>()->OtworzButton->trigger();
    ASSERT_EQ(editing->SheetCount(), 1);
    edit_sheet& sheet = *editing->ActiveSheet();
    sheet.Record().SetValue("245Z.1.1.1.1", "^aZzyzx nowy tytuł"_cp);
    sheet.Refresh("245Z.1.1.1.1");
    form.Find<gui::EditingFeature>()->OknoEdycji->ZapiszButton->trigger();
    ASSERT_EQ(editing->SheetCount(), 0);
    // The title index shows the record at its new title.
    EXPECT_EQ(titles->SelectedKey().rfind("ZZYZX NOWY TYTUL", 0), 0u) << titles->SelectedKey();
    EXPECT_EQ(fromQString(form.ComboBox1->currentText()), "K7");
}

TEST(EditingWindow, TheProgramDoesNotEndOverAnOpenChangedRecord) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    gui::TForm1& form = l.form;
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    Dismisser dismiss;
    form.ComboBox1->setEditText("K9");
    form.Find<gui::EditingFeature>()->OtworzButton->trigger();
    ASSERT_EQ(editing->SheetCount(), 1);
    editing->ActiveSheet()->Record().SetValue("250Z.1.1.1.1", "niezapisane");
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(form.Find<gui::EditingFeature>()->Editing(), editing) << "still logged in, still editing";
    EXPECT_EQ(editing->SheetCount(), 1);
    EXPECT_EQ(editing->ActiveSheet()->Record().GetValue("250Z.1.1.1.1"), "niezapisane");
    ASSERT_FALSE(dismiss.texts.empty());
    EXPECT_EQ(dismiss.texts.back(), "Najpierw należy zamknąć otwarte rekordy!"_cp);
}

TEST(EditingWindow, NewRecordsZoomHelpAndTheChangedFieldsFromTheWindowsControls) {
    LoggedIn l;
    ASSERT_TRUE(l.server.Ready()) << l.server.Why();
    gui::TForm1& form = l.form;
    TEdycja* editing = form.Find<gui::EditingFeature>()->Editing();
    ASSERT_NE(editing, nullptr);
    Dismisser dismiss;
    std::vector<std::string> plain;
    gui::SetPlainMessageHandler([&](const std::string& t) { plain.push_back(t); });
    gui::Tokno_edycji& window = *form.Find<gui::EditingFeature>()->OknoEdycji;

    // The main window's "&Dodaj": one item per kind, in the status's order.
    const auto items = form.Find<gui::EditingFeature>()->Dodaj1->actions();
    ASSERT_EQ(items.size(), 4);
    items[2]->trigger();
    ASSERT_EQ(editing->SheetCount(), 1);
    EXPECT_EQ(window.PageControl1->tabText(0), toQString("Nowy \"T\""));
    // And the window's own, beside it.
    window.NowyMenu->actions()[1]->trigger();
    ASSERT_EQ(editing->SheetCount(), 2);
    EXPECT_EQ(window.PageControl1->currentIndex(), 1);
    EXPECT_EQ(window.PageControl1->tabText(1), toQString("Nowy \"O\""));
    window.PageControl1->setCurrentIndex(0);
    EXPECT_EQ(editing->ActiveIndex(), 0) << "the tab chosen is the sheet the commands go to";

    // "135%": the factor 1.36, kept in the settings, every sheet laid out again.
    edit_sheet& subject = *editing->ActiveSheet();
    QWidget* heading = FieldWidget(subject, "150Z.1.1.1.1");
    ASSERT_NE(heading, nullptr);
    const int left = heading->x();
    QAction* zoom = nullptr;
    for (QAction* a : window.SkalaMenu->actions())
        if (a->text() == "135%") zoom = a;
    ASSERT_NE(zoom, nullptr);
    zoom->trigger();
    EXPECT_DOUBLE_EQ(editing->Zoom(), 1.36);
    EXPECT_DOUBLE_EQ(form.Shell().Settings().EditScale, 1.36);
    heading = FieldWidget(subject, "150Z.1.1.1.1");
    ASSERT_NE(heading, nullptr);
    EXPECT_GT(heading->x(), left);

    // F1 in the heading: the server's help in the pane; Alt+T: the changed fields.
    QApplication::setActiveWindow(&window);
    heading->setFocus();
    QApplication::processEvents();
    QTest::keyClick(heading, Qt::Key_F1);
    auto* page = window.ActivePage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->HelpPane()->isVisibleTo(page));
    EXPECT_FALSE(page->HelpPane()->toPlainText().isEmpty());
    subject.Record().SetValue("150Z.1.1.1.1", "^aNowy temat");
    QTest::keyClick(heading, Qt::Key_T, Qt::AltModifier);
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain.back().rfind("Zmieniono pola: ", 0), 0u) << plain.back();
    EXPECT_NE(plain.back().find("150Z.1.1.1.1"), std::string::npos);

    // Closing the window asks about the changed record; Zrezygnuj keeps both.
    window.close();
    EXPECT_EQ(editing->SheetCount(), 2);
    EXPECT_TRUE(window.isVisible());
    gui::SetPlainMessageHandler(nullptr);
}
