// Forms laid out into Qt widgets offscreen: geometry, plain texts, typing and
// focus with QTest, what is stored when, masks, memos, marker memos, lists,
// sub-forms, re-layout at another zoom, the reader's messages.

#include "forms/ContainerEditors.h"
#include "forms/FormReader.h"
#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/forms/FormMessages.h"
#include "gui/forms/FormSheet.h"
#include "gui/forms/MaskedLineEdit.h"
#include "gui/forms/TSMemo.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

struct Host : FormHost {
    std::vector<std::string> events;
    std::vector<std::string> FieldEvent(int event, my_record&, const std::string& field) override {
        static const char* names[] = {"SHOW", "ENTER", "CHANGE", "EXIT", "HELP"};
        events.push_back(std::string(names[event]) + " " + field);
        return {};
    }
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
};

// A form laid out on a shown, active sheet.
struct Sheet {
    FormReadResult read;
    my_record record;
    Host host;
    FormSheet sheet;

    explicit Sheet(const std::string& description) : read(ReadFormDescription(description, "/nonexistent-velt/")) {
        for (const auto& m : read.messages) ADD_FAILURE() << m.text;
        sheet.resize(800, 600);
        sheet.show();
        sheet.activateWindow();
        QApplication::setActiveWindow(&sheet);
    }
    void Layout(double zoom = 1.0) {
        FormSettings s;
        s.zoom = zoom;
        sheet.Layout(*read.root, record, host, s);
        QApplication::processEvents();
    }
    // The widget of the editor with the field id.
    template <typename W>
    W* Widget(const std::string& id) {
        const my_editor* found = nullptr;
        sheet.Form()->Walk([&](const my_editor& e, int) {
            if (!found && e.FieldId() && *e.FieldId() == id) found = &e;
        });
        if (!found || !found->MainControl()) return nullptr;
        return qobject_cast<W*>(static_cast<const QtFormControl*>(found->MainControl())->Widget());
    }
    void Focus(QWidget* w) {
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};

}  // namespace

TEST(FormSheet, LaysOutWidgetsAtTheZoomWithPlainTexts) {
    Sheet s("BEGIN LABEL '<b>bold?</b>' ON 10, 5 FIELD 'A' ON 100, 5, 200 DATE 'D' ON 100, 40, 80 "
            "COMBO 'C' MASK 'A|<i>Alfa</i>|' ON 100, 70, 120 END");
    s.record.AddField("A", std::string(40000, 'x'), 0);
    s.Layout(1.24);
    auto* a = s.Widget<QLineEdit>("A");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->geometry(), QRect(124, 6, 248, 25));
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->text().size(), 40000) << "no default length limit cuts a long value";
    EXPECT_TRUE(a->font().bold());
    const auto labels = s.sheet.Canvas()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->textFormat(), Qt::PlainText);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("<b>bold?</b>"));
    auto* combo = s.Widget<QComboBox>("C");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("<i>Alfa</i>"));
    auto* date = s.Widget<MaskedLineEdit>("D");
    ASSERT_TRUE(date);
    // The mask font names a face Linux lacks: the metric-compatible one stands in.
    EXPECT_EQ(date->font().family(), QStringLiteral("Courier New"));
    const QString resolved = QFontInfo(date->font()).family();
    EXPECT_TRUE(resolved.contains(QStringLiteral("Liberation Mono")) || resolved.contains(QStringLiteral("DejaVu Sans Mono")))
        << resolved.toStdString();
    EXPECT_FALSE(s.record.IsModified());
}

TEST(FormSheet, TypingAndFocusRaiseTheEventsInOrder) {
    Sheet s("BEGIN FIELD 'A' ON 0, 0, 100 FIELD 'B' ON 0, 30, 100 END");
    s.Layout();
    auto* a = s.Widget<QLineEdit>("A");
    auto* b = s.Widget<QLineEdit>("B");
    s.host.Take();
    s.Focus(a);
    QTest::keyClicks(a, "ab");
    s.Focus(b);
    EXPECT_EQ(s.host.Take(), (std::vector<std::string>{"ENTER A", "CHANGE A", "CHANGE A", "EXIT A", "ENTER B"}));
    EXPECT_EQ(s.record.GetValue("A"), "ab");
    // Focus lost to a menu or to a message box is no leaving of the field.
    QFocusEvent popupOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(b, &popupOut);
    QFocusEvent windowOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(b, &windowOut);
    QFocusEvent windowIn(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(b, &windowIn);
    EXPECT_TRUE(s.host.Take().empty());
    // Loading a value raises no CHANGE.
    s.record.SetValue("A", "from a script");
    s.sheet.Form()->Refresh("A");
    EXPECT_EQ(a->text(), QStringLiteral("from a script"));
    EXPECT_EQ(s.host.Take(), (std::vector<std::string>{"EXIT B", "ENTER A"}));
}

TEST(FormSheet, MaskedDatesAndNumbersAreTypedPositionByPosition) {
    Sheet s("BEGIN DATE 'D' ON 0, 0, 100 NUMBER 'N' MASK 8, 2 ON 0, 30, 100 FIELD 'O' ON 0, 60, 100 END");
    s.record.AddField("D", "2003", 0);
    s.Layout();
    auto* d = s.Widget<MaskedLineEdit>("D");
    auto* n = s.Widget<MaskedLineEdit>("N");
    auto* o = s.Widget<QLineEdit>("O");
    EXPECT_EQ(d->text(), QStringLiteral("20.03.    "));
    s.Focus(d);
    s.Focus(o);
    EXPECT_EQ(s.record.GetValue("D"), "2003") << "a value the user did not edit stays as stored";
    s.Focus(d);
    d->setCursorPosition(0);
    QTest::keyClicks(d, "15102003");
    s.Focus(o);
    EXPECT_EQ(s.record.GetValue("D"), "20031015");
    EXPECT_EQ(d->text(), QStringLiteral("15.10.2003"));
    EXPECT_TRUE(s.record.errors().empty());
    s.Focus(d);
    d->setCursorPosition(1);
    QTest::keyClick(d, Qt::Key_Delete);
    s.Focus(o);
    ASSERT_EQ(s.record.errors().size(), 1u);
    EXPECT_EQ(s.record.errors()[0].message, "Data powinna mieć postać DD.MM.RRRR"_cp);
    s.Focus(n);
    n->setCursorPosition(0);
    QTest::keyClicks(n, "12");
    s.Focus(o);
    EXPECT_EQ(s.record.GetValue("N"), "   12.00");
    EXPECT_EQ(n->text(), QStringLiteral("   12,00"));
}

TEST(FormSheet, AMemoWithoutLineBreaksPastesOneLine) {
    Sheet s("BEGIN MEMO 'M' ON 0, 0, 200, 60 MEMO 'L' MULTILINE ON 0, 70, 200, 60 END");
    s.record.AddField("L", "one\x1b/two", 0);
    s.Layout();
    auto* m = s.Widget<TLRichEdit>("M");
    auto* l = s.Widget<TLRichEdit>("L");
    ASSERT_TRUE(m && l);
    EXPECT_EQ(l->toPlainText(), QStringLiteral("one\ntwo"));
    s.Focus(m);
    QApplication::clipboard()->setText(QStringLiteral("a\r\nb\rc\nd"));
    m->paste();
    EXPECT_EQ(s.record.GetValue("M"), "a b c d");
    QTest::keyClick(m, Qt::Key_Return);
    EXPECT_EQ(s.record.GetValue("M"), "a b c d") << "Enter makes no line break";
    s.Focus(l);
    l->moveCursor(QTextCursor::End);
    QTest::keyClick(l, Qt::Key_Return);
    QTest::keyClicks(l, "three");
    EXPECT_EQ(s.record.GetValue("L"), "one\x1b/two\x1b/three");
    QMenu* menu = m->MakeContextMenu();
    QStringList items;
    for (QAction* a : menu->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Cofnij", "", "Wytnij", "Kopiuj", "Wklej", QString::fromUtf8("Usuń"), "",
                                  "Zaznacz wszystko"}));
    delete menu;
}

TEST(FormSheet, TheMarkerMemoEditsWholeMarkers) {
    Sheet s("BEGIN MARKERS 'K' MASK '^|a|Tytuł|bb|Podtytuł|' ON 0, 0, 300, 40 END"_cp);
    s.record.AddField("K", "^aTitle^bSub^zkeep", 0);
    s.Layout();
    auto* k = s.Widget<TSMemo>("K");
    ASSERT_TRUE(k);
    EXPECT_EQ(k->toPlainText(), QStringLiteral("aTitlebSub^zkeep"));
    const QTextFragment first = k->document()->begin().begin().fragment();
    EXPECT_EQ(first.text(), QStringLiteral("a"));
    EXPECT_EQ(first.charFormat().foreground().color(), QColor(255, 0, 0));
    s.Focus(k);
    QTextCursor c = k->textCursor();
    c.setPosition(6);
    k->setTextCursor(c);
    QTest::keyClick(k, Qt::Key_Delete);
    EXPECT_EQ(s.record.GetValue("K"), "^aTitleSub^zkeep");
    // The marker character opens the menu; a repeatable marker goes in.
    QTimer::singleShot(0, [k] {
        QMenu* menu = k->MarkerMenu();
        ASSERT_EQ(menu->actions().size(), 2);
        EXPECT_EQ(menu->actions()[1]->text(), toQString("^&b :Podtytuł*"_cp));
        menu->actions()[1]->trigger();
        menu->close();
    });
    QTest::keyClicks(k, "^");
    EXPECT_EQ(s.record.GetValue("K"), "^aTitle^bSub^zkeep");
    // Copy takes the stored selection with its markers.
    c = k->textCursor();
    c.setPosition(5);
    c.setPosition(8, QTextCursor::KeepAnchor);
    k->setTextCursor(c);
    QTest::keyClick(k, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("e^bS"));
}

TEST(FormSheet, ScrollingAListRebuildsItsRowsInPlace) {
    Sheet s("BEGIN LIST 'i' OF 3 ON 0, 0, 200, 60 BEGIN FIELD 'A.i' ON 0, 0, 100 END END");
    s.record.AddField("A.7", "seven", 0);
    s.Layout();
    auto* bar = s.sheet.Canvas()->findChild<QScrollBar*>();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->maximum(), 999);
    for (int i = 0; i < 6; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 7);
    EXPECT_FALSE(s.Widget<QLineEdit>("A.1"));
    auto* seven = s.Widget<QLineEdit>("A.7");
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->text(), QStringLiteral("seven"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the old rows go after the event
    EXPECT_EQ(s.sheet.Canvas()->findChildren<QLineEdit*>().size(), 3);
}

TEST(FormSheet, CombosAndCheckBoxesStoreOnTheUsersChoice) {
    Sheet s("BEGIN COMBO 'C' MASK 'A|Alfa|B|Beta|' ON 0, 0, 100 CHECK 'X' MASK 'Tak' ON 0, 30, 100 END");
    s.record.AddField("C", "Z", 0);
    s.Layout();
    auto* combo = s.Widget<QComboBox>("C");
    auto* check = s.Widget<QCheckBox>("X");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(s.record.GetValue("C"), "Z") << "a value not in the list is shown as the first, not written";
    combo->setCurrentIndex(1);
    EXPECT_EQ(s.record.GetValue("C"), "Z") << "the program choosing is not the user";
    emit combo->activated(1);
    EXPECT_EQ(s.record.GetValue("C"), "B");
    const QPoint box(6, check->height() / 2);
    QTest::mouseClick(check, Qt::LeftButton, {}, box);
    EXPECT_EQ(s.record.GetValue("X"), "T");
    QTest::mouseClick(check, Qt::LeftButton, {}, box);
    EXPECT_EQ(s.record.GetValue("X"), "F");
}

TEST(FormSheet, ASubFormWindowOpensModallyAndClosesOnRefresh) {
    Sheet s("BEGIN FORM 'SF' MASK 'Okno' ON 10, 10, 60, 60 BEGIN FIELD 'IN' ON 0, 0, 150 END END");
    s.Layout();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Okno"));
        EXPECT_EQ(dialog->size(), QSize(154, 34));
        seen = true;
        s.sheet.Form()->Refresh("SF");
    });
    s.host.Take();
    s.sheet.Form()->Refresh("SF");
    EXPECT_TRUE(seen);
    const auto events = s.host.Take();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "HELP SF");
    EXPECT_EQ(events.back(), "EXIT SF");
}

TEST(FormSheet, RelayoutAtAnotherZoomCommitsAndScales) {
    Sheet s("BEGIN FIELD 'A' ON 10, 10, 100 DYNAMIC 'DY' OF 'n' ON 0, 40, 300, 100 "
            "'a' BEGIN FIELD 'S.n' ON 0, 0, 50 END END END");
    s.record.AddField("DY", "a|1||", 0);
    s.Layout();
    auto* a = s.Widget<QLineEdit>("A");
    s.Focus(a);
    QTest::keyClicks(a, "typed");
    s.host.Take();
    s.sheet.Relayout(1.75);
    QApplication::processEvents();
    EXPECT_EQ(s.host.Take().front(), "EXIT A") << "the control being edited stores first, once";
    EXPECT_EQ(s.record.GetValue("A"), "typed");
    auto* again = s.Widget<QLineEdit>("A");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->geometry(), QRect(18, 18, 175, 35));
    EXPECT_EQ(again->text(), QStringLiteral("typed"));
    // The dynamic area's rebuild runs after the event that asked for it.
    s.record.SetValue("DY", "a|1||a|2||");
    s.sheet.Form()->Refresh("DY");
    EXPECT_FALSE(s.Widget<QLineEdit>("S.2"));
    QApplication::processEvents();
    EXPECT_TRUE(s.Widget<QLineEdit>("S.2"));
    // A rebuild asked for by a form that went away does nothing.
    s.sheet.Form()->Refresh("DY");
    s.sheet.Clear();
    QApplication::processEvents();
}

TEST(FormMessages, OneErrorIsTwoPlainBoxesAndAFloodIsOneMessage) {
    std::vector<std::string> boxes, floods;
    SetPlainMessageHandler([&](const std::string& t) { boxes.push_back(t); });
    SetFormMessagesHandler([&](const std::string& t) { floods.push_back(t); });
    ShowFormMessages(ReadFormDescription("BEGIN FIELD 'x' ON 1, 2 END", "").messages);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Spodziewany przecinek [jest: END]", "Linia: \"BEGIN FIELD 'x' ON 1, 2 END\""}));
    std::string broken = "BEGIN ";
    for (int i = 0; i < 40; ++i) broken += "LABEL ON 0,0 ";
    ShowFormMessages(ReadFormDescription(broken + "END", "").messages);
    EXPECT_EQ(boxes.size(), 2u) << "no box more";
    ASSERT_EQ(floods.size(), 1u);
    EXPECT_NE(floods[0].find("Spodziewany łancuch"_cp), std::string::npos);
    SetPlainMessageHandler({});
    SetFormMessagesHandler({});
}
