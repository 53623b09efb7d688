// The browser on screen, offscreen: it paints what its model holds and turns
// clicks, double clicks, the wheel and keys into the model's operations.

#include "gui/browse/BrowserTabs.h"
#include "gui/browse/BrowserView.h"
#include "gui/browse/BrowserWidget.h"
#include "gui/browse/PictureCache.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/PlainMessage.h"
#include "gui/shell/TForm1.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include "text/CpLiteral.h"
#include <gtest/gtest.h>

using namespace velt;

namespace {

struct ListSource : Vrserwer {
    int n = 50;
    std::string extra;  // appended to every entry's line
    std::vector<std::string> actions;
    static std::string Key(int i) { return "k" + std::to_string(1000 + i); }
    static int Index(const std::string& k) { return k.size() == 5 ? std::stoi(k.substr(1)) - 1000 : 0; }
    std::string First() override { return Key(1); }
    std::string Last() override { return Key(n); }
    std::string Next(const std::string& k) override { return Index(k) < n ? Key(Index(k) + 1) : ""; }
    std::string Prior(const std::string& k) override { return Index(k) > 1 ? Key(Index(k) - 1) : ""; }
    std::optional<std::vector<std::string>> Lines(const std::string& k) override {
        return std::vector<std::string>{"Pozycja " + k + extra, "\x1BLlink " + k + "||odsyłacz\x1A"};
    }
    int Action(const std::string& k, const std::string& c) override {
        actions.push_back(k + ":" + c);
        return 0;
    }
};

struct Shown {
    ListSource source;
    gui::QtCellMeasurer measurer{QApplication::font(), gui::TForm1::ImageDirectory()};
    gui::BrowserWidget widget{measurer};
    std::unique_ptr<VrBrowser> model;
    Shown() {
        widget.resize(420, 300);
        model = std::make_unique<VrBrowser>(source, measurer, widget, 420, 300, 40);
        widget.SetModel(model.get());
        widget.show();
        QApplication::processEvents();
    }
    QPoint CellPoint(int i) const { return QPoint(330, model->Cells()[static_cast<std::size_t>(i)].top + 5); }
};

}  // namespace

TEST(BrowserWidget, PaintsTheCellsAndTheSelection) {
    Shown s;
    const QImage before = s.widget.grab().toImage();
    EXPECT_EQ(before.pixelColor(s.CellPoint(1)), QColor(Qt::white));
    // Between two cells (2 pixels) the panel shows.
    EXPECT_NE(before.pixelColor(330, s.model->Cells()[1].top - 1), QColor(Qt::white));
    QTest::mouseClick(&s.widget, Qt::LeftButton, {}, s.CellPoint(1));
    EXPECT_EQ(s.source.actions.back(), "k1002:!");
    const QImage after = s.widget.grab().toImage();
    EXPECT_EQ(after.pixelColor(s.CellPoint(1)), QColor(0, 255, 255)) << "a selected white cell is aqua";
    // The buttons sit at the right edge with their pictures.
    ASSERT_NE(s.widget.Vrpgdn, nullptr);
    EXPECT_EQ(s.widget.Vrpgdn->geometry(), QRect(420 - 17, 300 - 34, 17, 17));
    EXPECT_FALSE(s.widget.Vrpgdn->icon().isNull()) << "the drawn pictures were found";
    EXPECT_TRUE(s.widget.Vrpgdn->autoRepeat());
}

TEST(BrowserWidget, DoubleClicksAndLinksActAfterTheMouseEvent) {
    Shown s;
    QTest::mouseDClick(&s.widget, Qt::LeftButton, {}, s.CellPoint(2));
    EXPECT_EQ(std::count(s.source.actions.begin(), s.source.actions.end(), "k1003:*"), 0) << "not inside the event";
    QApplication::processEvents();
    EXPECT_EQ(std::count(s.source.actions.begin(), s.source.actions.end(), "k1003:*"), 1);
    const Vrklatka& cell = s.model->Cells()[0];
    const CellItem& link = cell.content.items.back();
    ASSERT_EQ(link.kind, CellItemKind::Link);
    QTest::mouseClick(&s.widget, Qt::LeftButton, {}, QPoint(link.x + 2, cell.top + link.y + 2));
    QApplication::processEvents();
    EXPECT_EQ(s.source.actions.back(), "k1001:link k1001");
}

TEST(BrowserWidget, WheelStepsAddUpAndKeysPage) {
    Shown s;
    const int top = s.model->Cells().front().top;
    // Two half notches of a touchpad make one notch: 20 pixels down.
    for (int i = 0; i < 2; ++i) {
        QWheelEvent e(QPointF(50, 50), s.widget.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -60), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&s.widget, &e);
    }
    EXPECT_EQ(s.model->Cells().front().top, top - 20);
    QTest::keyClick(&s.widget, Qt::Key_PageDown);
    EXPECT_NE(s.model->Cells().front().key, "k1001");
    QTest::keyClick(&s.widget, Qt::Key_Home);
    EXPECT_EQ(s.model->Cells().front().key, "k1001");
    QTest::mouseClick(s.widget.Vrend, Qt::LeftButton);
    EXPECT_EQ(s.model->Cells().back().key, "k1050");
}

TEST(BrowserWidget, AMissingPictureIsReportedOncePerRun) {
    std::vector<std::string> shown;
    gui::SetPlainMessageHandler([&](const std::string& t) { shown.push_back(t); });
    const int before = gui::PictureCache::Instance().Reported();
    {
        Shown s;
        s.source.extra = "\x1B" "Bx||brak-obrazka.bmp\x1A";
        s.model->Redraw();
        s.model->PageDown();
        s.model->Redraw();
    }
    gui::SetPlainMessageHandler({});
    EXPECT_EQ(gui::PictureCache::Instance().Reported() - before, 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("brak-obrazka.bmp"), std::string::npos);
}

// The browser of the coming windows: pages over sources of their own, made
// once their size settles and made again after a resize; the line height
// never leaves what the panel can show.
TEST(BrowserWidget, BrowserTabsMakeTheirBrowsersOnceTheSizeSettles) {
    ListSource orders, loans;
    loans.n = 3;
    gui::QtCellMeasurer measurer{QApplication::font(), gui::TForm1::ImageDirectory()};
    gui::BrowserTabs tabs(measurer);
    gui::BrowserView* first = tabs.AddSource("Zamówione"_cp, orders, 40);
    gui::BrowserView* second = tabs.AddSource("Wypożyczone"_cp, loans, 40);
    EXPECT_EQ(first->Browser(), nullptr) << "no model before the page has a size";
    tabs.resize(500, 320);
    tabs.show();
    for (int i = 0; i < 100 && !first->Browser(); ++i) QTest::qWait(10);
    ASSERT_NE(first->Browser(), nullptr);
    EXPECT_EQ(first->Browser()->Cells().front().key, ListSource::Key(1));
    const int cells = first->Browser()->CellCount();
    tabs.resize(500, 620);
    for (int i = 0; i < 100 && first->Browser()->CellCount() == cells; ++i) QTest::qWait(10);
    EXPECT_GT(first->Browser()->CellCount(), cells) << "made again for the new height";
    first->SetLineHeight(1);
    EXPECT_EQ(first->LineHeight(), 26);
    first->SetLineHeight(100000);
    EXPECT_LE(first->LineHeight(), first->height());
    tabs.setCurrentIndex(1);
    for (int i = 0; i < 100 && !second->Browser(); ++i) QTest::qWait(10);
    ASSERT_NE(second->Browser(), nullptr);
    EXPECT_EQ(second->Browser()->Cells()[2].key, ListSource::Key(3));
    EXPECT_TRUE(second->Browser()->Cells()[3].Blank()) << "three loans, then blank cells";
    tabs.RemovePages();
    EXPECT_EQ(tabs.count(), 0);
}
