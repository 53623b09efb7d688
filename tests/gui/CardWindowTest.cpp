// The card window offscreen over a fake printer system whose print dialog
// chooses a PDF file: the views of ten pages and the status bar, the
// navigation, printing every card and pages of the current one (pdfinfo,
// pdftotext), the settings window writing Velt_kar.ini (and saying when it
// cannot), the correction window regenerating a card; and a card report
// from the main window's menu against velt-server opening the window.

#include "cards/CardPrinting.h"
#include "cards/CardSettings.h"
#include "gui/MessageDismisser.h"
#include "gui/cards/CardWindows.h"
#include "gui/cards/TKarta3.h"
#include "gui/cards/TKarta4.h"
#include "gui/cards/TKarta5.h"
#include "gui/cards/TKarta6.h"
#include "gui/common/QtText.h"
#include "lang/ProfileFile.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace velt;
using namespace velt::gui;

namespace {

struct PdfDialog : PrinterSystem {
    std::string pdf;  // the file the dialog chooses; empty: cancel
    int dialogs = 0;
    std::vector<std::string> InstalledPrinters() override { return {}; }
    std::string DefaultPrinter() override { return {}; }
    PrinterSettings DefaultSettings(const std::string& p) override {
        PrinterSettings s;
        s.printer = p;
        return s;
    }
    bool PrintDialog(PrinterSettings& s, PrintPages*) override {
        ++dialogs;
        if (pdf.empty()) return false;
        s.printer.clear();
        s.outputFile = pdf;
        return true;
    }
};

struct RecordedPrompts : Prompts {
    std::vector<std::string> errors, questions;
    DialogResult answer = kYes;
    DialogResult ask_question(const std::string& t) override {
        questions.push_back(t);
        return answer;
    }
    DialogResult ask_question_default(const std::string& t, DialogResult) override { return ask_question(t); }
    DialogResult ask_warning(const std::string& t) override { return ask_question(t); }
    void show_error(const std::string& t) override { errors.push_back(t); }
    void show_message(const std::string& t) override { errors.push_back(t); }
    void show_notice(const std::string& t) override { errors.push_back(t); }
    void plain_message(const std::string& t) override { errors.push_back(t); }
    void busy(bool) override {}
};

// Runs act on the modal window of type W once it is up.
template <typename W>
void WhenModal(std::function<void(W*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w) return;
        timer->stop();
        timer->deleteLater();
        act(w);
    });
    timer->start();
}

std::string Words(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += "wyraz" + std::to_string(i) + " ";
    return out;
}

std::vector<std::string> Text() {
    return {"[KARTA]", "[SYGNATURY]", "II 10007", "[HASLO]", "Prus, Bolesław"_cp, "[PARAGRAF]", Words(1100),
            "[UKD]", "821.162.1-3", "[INWENTARZ]", "Inw. 1, 2",
            "[KARTA_CENTRALNA]", "[SYGNATURY]", "III 7", "[HASLO]", "Orzeszkowa, Eliza", "[PARAGRAF]", Words(400),
            "[FILIE]", "F1", "F2",
            "[KARTA]", "[HASLO]", "Sienkiewicz, Henryk", "[PARAGRAF]", "Potop.", "[FILIE]", "F9"};
}

struct Fixture {
    test::TempDir dir;
    PdfDialog system;
    PrinterChoice printers{system, [](const std::string&) {}};
    std::string printer;
    RecordedPrompts prompts;
    CardWindowContext Context() {
        CardWindowContext c;
        c.printers = &printers;
        c.printerName = &printer;
        c.printerDirectory = dir.Path();
        c.settingsPath = dir.Path() + "config/Velt_kar.ini";
        c.prompts = &prompts;
        return c;
    }
};

int PdfPages(const std::string& pdf, std::string* size = nullptr) {
    const auto info = test::RunTool("pdfinfo '" + pdf + "'", "");
    if (!info) return -1;
    const auto at = info->find("Pages:");
    if (size) {
        const auto s = info->find("Page size:");
        *size = s == std::string::npos ? "" : info->substr(s, info->find('\n', s) - s);
    }
    return at == std::string::npos ? -1 : std::stoi(info->substr(at + 6));
}

}  // namespace

TEST(CardWindow, ViewsOfTenPagesTheStatusBarAndTheNavigation) {
    Fixture f;
    TKarta3 window(Text(), f.Context());
    EXPECT_EQ(window.windowTitle(), "Karta katalogowa");
    ASSERT_EQ(window.CardCount(), 3);
    const int pages = window.Card().ZliczStrony();
    ASSERT_GT(pages, 10) << "measured at the PDF's 1200 pixels an inch";
    EXPECT_EQ(window.MeasuringResolution(), 1200);
    ASSERT_EQ(window.Images().size(), 10u);
    // 110 x 75 mm at the screen's 96 pixels an inch.
    EXPECT_EQ(window.Images()[0].size(), QSize(417, 285));
    EXPECT_EQ(window.Panel0->text(), QString::fromUtf8("  Prus, Bolesław: 1-10/") + QString::number(pages));
    EXPECT_EQ(window.Panel1->text(), "  Karta 1 z 3");
    EXPECT_TRUE(window.CiagDalszyButton->isEnabled());
    EXPECT_FALSE(window.EdytujButton->isEnabled());
    EXPECT_FALSE(window.PoprzedniaButton->isEnabled());
    EXPECT_TRUE(window.NastepnaButton->isEnabled());
    auto* first = window.ScrollBox1->widget()->findChild<QLabel*>("Image1");
    auto* second = window.ScrollBox1->widget()->findChild<QLabel*>("Image2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->geometry().topLeft(), QPoint(15, 15));
    EXPECT_EQ(second->geometry().top(), 15 + 285 + 2 + 10);

    // "Ciąg dalszy" goes on ten pages at a time; on the last view the card may be edited.
    for (int from = 11; from <= pages; from += 10) {
        window.CiagDalszyButton->click();
        EXPECT_EQ(window.FirstPageShown(), from);
        const int to = std::min(from + 9, pages);
        EXPECT_EQ(window.Images().size(), static_cast<std::size_t>(to - from + 1));
        const QString range = from == to ? QString::number(from) : QString("%1-%2").arg(from).arg(to);
        EXPECT_EQ(window.Panel0->text(), QString::fromUtf8("  Prus, Bolesław: ") + range + "/" + QString::number(pages));
        EXPECT_EQ(window.CiagDalszyButton->isEnabled(), to < pages);
        EXPECT_EQ(window.EdytujButton->isEnabled(), to == pages);
    }

    // The central card: one page with its branch table, never continued.
    window.NastepnaButton->click();
    EXPECT_EQ(window.CurrentCard(), 2);
    EXPECT_TRUE(window.Card().central);
    EXPECT_EQ(window.Card().ZliczStrony(), 1);
    EXPECT_EQ(window.Panel0->text(), "  Orzeszkowa, Eliza: 1/1");
    EXPECT_TRUE(window.PoprzedniaButton->isEnabled());
    // The preview draws the table's rules near the card's bottom.
    const QImage& central = window.Images()[0];
    int dark = 0;
    for (int x = 0; x < central.width(); ++x) dark += qGray(central.pixel(x, 285 - 1 - 2 - 23)) < 128;
    EXPECT_GT(dark, 300) << "the table's top rule";

    window.NastepnaButton->click();
    EXPECT_EQ(window.CurrentCard(), 3);
    EXPECT_FALSE(window.NastepnaButton->isEnabled());
    EXPECT_TRUE(f.prompts.errors.empty()) << f.prompts.errors.front();
    window.PoprzedniaButton->click();
    EXPECT_EQ(window.CurrentCard(), 2);
}

TEST(CardWindow, PrintsEveryCardOrPagesOfTheCurrentOneIntoAPdfOfTheCardsSize) {
    if (!test::HaveTool("pdfinfo") || !test::HaveTool("pdftotext")) GTEST_SKIP() << "poppler-utils";
    Fixture f;
    f.system.pdf = f.dir.Path() + "karty.pdf";
    TKarta3 window(Text(), f.Context());
    const int first = window.Card().ZliczStrony();

    // "&Drukuj": the question, the dialog (no printer yet), one document.
    window.DrukujButton->click();
    ASSERT_EQ(f.prompts.questions, std::vector<std::string>{"Zostaną wydrukowane 3 karty katalogowe. Drukować?"_cp});
    EXPECT_EQ(f.system.dialogs, 1);
    std::string size;
    EXPECT_EQ(PdfPages(f.system.pdf, &size), first + 2);
    EXPECT_NE(size.find("311.811 x 212.598 pts"), std::string::npos) << size;
    const auto text = test::RunTool("pdftotext -enc UTF-8 '" + f.system.pdf + "' -", "");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Prus, Bolesław"), std::string::npos);
    EXPECT_NE(text->find("(ciąg dalszy na następnej karcie)"), std::string::npos);
    EXPECT_NE(text->find("Orzeszkowa, Eliza"), std::string::npos);
    EXPECT_NE(text->find("wyraz1099"), std::string::npos) << "the last word of the long card";
    EXPECT_EQ(window.CurrentCard(), 1) << "the preview shows card 1 again";

    // "Drukuj &kartę": pages 2 and 3, twice each; then the only page of card 3.
    WhenModal<TKarta5>([](TKarta5* w) {
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Drukowanie bieżącej karty"));
        EXPECT_TRUE(w->Wszystkie->isChecked());
        w->Strony[1]->setChecked(true);
        EXPECT_FALSE(w->Wszystkie->isChecked());
        w->Strony[2]->setChecked(true);
        w->Liczba->setValue(2);
        w->DrukujButton->click();
    });
    window.DrukujKarteButton->click();
    EXPECT_EQ(f.system.dialogs, 1) << "the PDF chosen stays the printer";
    EXPECT_EQ(PdfPages(f.system.pdf), 4);
    const auto pages = test::RunTool("pdftotext -enc UTF-8 '" + f.system.pdf + "' -", "");
    ASSERT_TRUE(pages);
    EXPECT_NE(pages->find("2."), std::string::npos);
    EXPECT_NE(pages->find("3."), std::string::npos);

    window.ShowCard(3);
    WhenModal<TKarta5>([](TKarta5* w) {
        EXPECT_TRUE(w->Strony.empty());
        w->DrukujButton->click();
    });
    window.DrukujKarteButton->click();
    EXPECT_EQ(PdfPages(f.system.pdf), 1);

    // The print dialog cancelled: nothing printed, nothing said.
    Fixture g;
    TKarta3 other(Text(), g.Context());
    other.DrukujButton->click();
    EXPECT_EQ(g.system.dialogs, 1);
    EXPECT_TRUE(g.prompts.errors.empty());
}

TEST(CardWindow, TheSettingsWindowWritesVeltKarIniAndTheCardIsLaidOutAgain) {
    Fixture f;
    TKarta3 window(Text(), f.Context());
    const int before = window.Card().ZliczStrony();
    WhenModal<TKarta4>([&f](TKarta4* w) {
        EXPECT_EQ(w->Wysokosc->value(), 75);
        EXPECT_EQ(w->HasloFont->text(), "Times New Roman, 14, pogrubiona");
        EXPECT_TRUE(w->Inwentarz->isChecked());
        EXPECT_FALSE(w->Kolumny->isEnabled());
        w->Filie->setChecked(true);
        EXPECT_FALSE(w->Inwentarz->isChecked()) << "the branch table's box turns the inventory off";
        EXPECT_TRUE(w->Kolumny->isEnabled());
        w->Wysokosc->setValue(150);
        w->Kolumny->setValue(0);
        w->chooseFont = [](const CardFont& font) {
            CardFont f = font;
            f.points = 10;
            return std::optional<CardFont>(f);
        };
        w->ParagrafFont->click();
        w->UstawButton->click();
        EXPECT_TRUE(f.prompts.errors.empty());
        w->ZamknijButton->click();
    });
    window.ParametryButton->click();
    EXPECT_TRUE(f.prompts.questions.empty()) << "nothing left unsaved";
    EXPECT_EQ(window.Settings().height, 150);
    EXPECT_EQ(window.Settings().paragraphFont.points, 10);
    EXPECT_FALSE(window.Settings().printInventory);
    EXPECT_EQ(window.Settings().branchColumns, 1) << "bounded";
    EXPECT_LT(window.Card().ZliczStrony(), before);
    EXPECT_EQ(window.Images()[0].height(), 568) << "150 mm at 3.78 pixels, and one";
    const ProfileFile ini(f.dir.Path() + "config/Velt_kar.ini");
    EXPECT_EQ(ini.ReadInteger("Wymiary Karty", "Wysokość"_cp, 0), 150);
    EXPECT_EQ(ini.ReadInteger("Paragraf", "Wielkosc Czcionki", 0), 10);
    EXPECT_EQ(ini.ReadInteger("Inwentarz", "Drukowac", 1), 0);

    // Closing with a change not set asks; "Nie" keeps the file as it was.
    f.prompts.answer = kNo;
    WhenModal<TKarta4>([](TKarta4* w) {
        w->Szerokosc->setValue(200);
        w->ZamknijButton->click();
    });
    window.ParametryButton->click();
    EXPECT_EQ(f.prompts.questions,
              std::vector<std::string>{"Nowe ustawienia nie zostały zapisane\r\n            Zapisać?"_cp});
    EXPECT_EQ(window.Settings().width, 110);
    EXPECT_EQ(ProfileFile(f.dir.Path() + "config/Velt_kar.ini").ReadInteger("Wymiary Karty", "Szerokość"_cp, 0), 110);

    // A file that cannot be written is said; the values apply for this window.
    Fixture g;
    CardWindowContext blocked = g.Context();
    blocked.settingsPath = g.dir.Write("plik", "x") + "/Velt_kar.ini";
    TKarta3 other(Text(), blocked);
    WhenModal<TKarta4>([](TKarta4* w) {
        w->Wysokosc->setValue(100);
        w->UstawButton->click();
        w->ZamknijButton->click();
    });
    other.ParametryButton->click();
    ASSERT_EQ(g.prompts.errors.size(), 1u);
    EXPECT_EQ(g.prompts.errors[0].rfind("Nie można zapisać pliku "_cp + blocked.settingsPath, 0), 0u);
    EXPECT_EQ(other.Settings().height, 100);
}

TEST(CardWindow, TheCorrectionWindowRegeneratesTheCardsParagraphs) {
    Fixture f;
    TKarta3 window({"[KARTA]", "[SYGNATURY]", "II_1", "[HASLO]", "Prus", "[PARAGRAF]", "<L>Pierwszy wiersz</X>",
                    "<A>Drugi akapit</X>", "[UKD]", "821", "[KARTA]", "[HASLO]", "Inny"},
                   f.Context());
    WhenModal<TKarta6>([](TKarta6* w) {
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Korekta wydruku karty katalogowej"));
        EXPECT_EQ(w->Memo1->toPlainText(), "Pierwszy wiersz\n  Drugi akapit");
        // "&Dodaj Akapit" after "Pierwszy".
        QTextCursor at(w->Memo1->document()->findBlockByNumber(0));
        at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 8);
        w->Memo1->setTextCursor(at);
        w->DodajAkapitButton->click();
        EXPECT_EQ(w->Memo1->toPlainText(), "Pierwszy\n   wiersz\n  Drugi akapit");
        EXPECT_EQ(w->Memo1->textCursor().blockNumber(), 1);
        w->Memo1->appendPlainText("");
        w->ZakonczButton->click();
    });
    window.EdytujButton->click();
    EXPECT_EQ(window.Text(),
              (std::vector<std::string>{"[KARTA]", "[SYGNATURY]", "II_1", "[HASLO]", "Prus", "[PARAGRAF]",
                                        "<L>Pierwszy</X>", "[PARAGRAF]", "<A>wiersz</X>", "[PARAGRAF]",
                                        "<A>Drugi akapit</X>", "[PARAGRAF]", "<A>_</X>", "[UKD]", "821", "[KARTA]",
                                        "[HASLO]", "Inny"}));
    std::string kinds;
    for (const TLiniaKarty& line : window.Card().lines) kinds += line.kind;
    EXPECT_EQ(kinds, "SHPPPPU");
    EXPECT_EQ(window.Images().size(), 1u) << "the card shown again";

    const std::vector<std::string> kept = window.Text();
    WhenModal<TKarta6>([](TKarta6* w) {
        w->Memo1->setPlainText("zmiana");
        w->AnulujButton->click();
    });
    window.EdytujButton->click();
    EXPECT_EQ(window.Text(), kept);
}

TEST(CardWindow, ATextWithoutCardsShowsNoWindow) {
    PdfDialog system;
    PrinterChoice printers(system, [](const std::string&) {});
    RecordedPrompts prompts;
    test::TempDir dir;
    CardWindows cards(nullptr, printers, prompts, dir.Path() + "Velt_kar.ini");
    bool shown = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&shown] { shown |= QApplication::activeModalWidget() != nullptr; });
    probe.start(5);
    cards.KartaKatalogowa({"[HASLO]", "bez karty"});
    EXPECT_FALSE(shown);
    EXPECT_TRUE(prompts.errors.empty());
}
