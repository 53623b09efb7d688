// Pictures of the program's windows for the README: the program connected to
// a catalogue (the configuration given), driven to a few states, each window
// saved as a PNG into a directory.
//
//   velt-screens CONFIGURATION DIRECTORY [BOOKS]
//
// BOOKS is how many books the catalogue's server generated (2,000): its
// hierarchies follow them.

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "editing/edit_sheet.h"
#include "forms/my_editor.h"
#include "admin/GlobalModification.h"
#include "gui/admin/TOknoGlobalne.h"
#include "gui/authority/AuthorityFeature.h"
#include "gui/authority/TOknoKHW.h"
#include "gui/authority/TOknoKHWNowe.h"
#include "gui/authority/TSmallBrowser.h"
#include "gui/browse/BrowserView.h"
#include "gui/browse/Tjpg_form.h"
#include "gui/cards/TKarta3.h"
#include "gui/cards/TKarta4.h"
#include "gui/cards/TKarta6.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtTranslations.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/editing/Tokno_edycji.h"
#include "gui/links/LinkTreeWidget.h"
#include "gui/links/LinksFeature.h"
#include "gui/links/TOknoPowiazan.h"
#include "gui/links/TWyborPowiazan.h"
#include "gui/login/TOknoLogowania.h"
#include "gui/params/ParameterServices.h"
#include "gui/params/TOknoParametrow.h"
#include "gui/forms/FormSheet.h"
#include "gui/reports/TForm2.h"
#include "gui/search/TOknoElementarne.h"
#include "gui/common/QtText.h"
#include "gui/search/TOknoNoweKryteria.h"
#include "gui/shell/TForm1.h"
#include "gui/search/SearchFeature.h"
#include "gui/editing/EditingFeature.h"
#include "gui/browse/BrowserTabs.h"
#include "gui/browse/BrowserView.h"
#include "gui/reader/ReaderFeature.h"
#include "gui/reader/TOknoKont.h"
#include "gui/reader/TOknoListyZamowien.h"
#include "gui/reader/TOknoZamawiania.h"
#include "gui/import/TOknoZ3950.h"
#include "gui/import/Z3950Feature.h"
#include "gui/import/RtkFeature.h"
#include "gui/import/TOknoRTK.h"
#include "gui/common/TListChoice.h"
#include "gui/common/TTreeChoice.h"
#include "gui/shell/DesktopServices.h"

#include "files/UserDirectories.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using namespace velt;

QString gDir;
// The generated books of the catalogue (the third argument; scripts/screens.sh seeds 2,000).
std::uint32_t gBooks = 2000;

void Settle(int ms = 300) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(QWidget* w, const char* name) {
    const QString file = gDir + "/" + name + ".png";
    const bool ok = w->grab().toImage().convertToFormat(QImage::Format_RGB888).save(file, "PNG", 9);
    std::printf("%s %s\n", ok ? "saved" : "could not save", file.toLocal8Bit().constData());
    return ok;
}

// Runs act once shown() holds (looked at every 20 ms), however slow the
// machine: a modal window it waits for is never left open.
void WhenShown(std::function<bool()> shown, std::function<void()> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, shown, act] {
        if (!shown()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

const std::vector<std::string> kScreenProgram = {
    "BEGIN",
    "  { sygnatury \"Cz. ...\" stają się \"Czyt. ...\" }"_cp,
    "  GRUPA('852')",
    "  WHILE OK",
    "    GRUPA('Z')",
    "    POLE = REPLACE(POLE, '^hCz. ', '^hCzyt. ')",
    "    BACK",
    "    SKIP",
    "  ENDDO",
    "  BACK",
    "  { uwaga o przeglądzie w każdym rekordzie }"_cp,
    "  GRUPA('590')",
    "  POZYCJA = '.1.1.1'",
    "  GRUPA('Z')",
    "  POLE = 'Przegląd księgozbioru 2026'"_cp,
    "  BACK",
    "  BACK",
    "END",
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::InstallPolishQtTexts(app);
    gui::TForm1::SetImageDirectory(VELT_PICTURE_DIR "/");
    if (argc != 3 && argc != 4) {
        std::fputs("usage: velt-screens CONFIGURATION DIRECTORY [BOOKS]\n", stderr);
        return 1;
    }
    if (argc == 4) gBooks = static_cast<std::uint32_t>(std::atol(argv[3]));
    gDir = QString::fromLocal8Bit(argv[2]);
    gui::TForm1 form;
    form.resize(1280, 800);
    form.show();
    // Message boxes answer themselves: the pictures show the windows behind them.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<gui::TOknoKomunikatu*>(QApplication::activeModalWidget())) box->reject();
    });
    dismiss.start(50);
    const std::string dir = QCoreApplication::applicationDirPath().toStdString() + "/";
    form.Shell().ReadConfiguration(argv[1], dir, UserDataDirectory());
    form.BuildCatalogueMenu();
    form.Shell().Start(std::nullopt);
    if (!form.Shell().Current() || !form.Shell().Current()->Ready) {
        std::fputs("velt-screens: no catalogue\n", stderr);
        return 1;
    }
    bool ok = true;
    PresentationTabs& tabs = form.Tabs();
    tabs.Activate(tabs.FindTab("autor"));
    Settle();
    ok &= Save(&form, "glowne-okno-indeks");

    gui::TOknoElementarne& elementary = *form.Find<gui::SearchFeature>()->OknoElementarne;
    elementary.Prepare("tytuł"_cp);
    elementary.show();
    elementary.wzorce->setPlainText("histori");
    elementary.slowo->setChecked(true);
    elementary.Button2->click();
    Settle();
    ok &= Save(&elementary, "zapytanie-elementarne");
    elementary.hide();

    // The criteria panel: the language's form in its row, a title typed.
    auto* search = form.Find<gui::SearchFeature>();
    gui::TOknoNoweKryteria& criteria = *search->OknoNoweKryteria;
    WhenShown([&] { return criteria.isVisible() && !criteria.RowBoxes().empty(); }, [&] {
        for (QGroupBox* box : criteria.RowBoxes())
            if (box->title() == gui::toQString("tytuł"_cp))
                if (auto* edit = box->findChild<QLineEdit*>("Edit1")) edit->setText("historia");
        Settle();
        ok &= Save(&criteria, "panel-kryteriow");
        criteria.reject();
    });
    search->RunCriteriaPanel();
    elementary.Button1->click();
    Settle(500);
    tabs.SetFormat(2);  // "Opis pełny", in taller cells
    tabs.SetLineHeight(214);
    Settle();
    ok &= Save(&form, "kolekcja-zdalna");

    // The parameter form of a report, then the report it gives.
    gui::TOknoParametrow& parameters = form.Parameters().Window();
    WhenShown([&] { return parameters.isVisible(); }, [&] {
        Settle();
        ok &= Save(&parameters, "parametry-zestawienia");
        parameters.Button1->click();
    });
    form.Commands().Run("", "RAPORT Wykaz nabytków|S.1|T"_cp, "", false);
    Settle();
    if (auto* report = form.findChild<QDialog*>("OknoZestawienia")) {
        ok &= Save(report, "wykaz-nabytkow");
        report->close();
    } else {
        std::fputs("velt-screens: no report window\n", stderr);
        ok = false;
    }

    // The list of titles of that collection in the preview window.
    for (QMenu* m : form.Zestawienie1->findChildren<QMenu*>())
        if (m->title() == QString::fromUtf8("Lista tytułów"))
            for (QAction* a : m->actions())
                if (a->text() == QString::fromUtf8("Dla kolekcji zdalnej")) a->trigger();
    Settle(500);
    if (auto* preview = form.findChild<gui::TForm2*>("TForm2")) {
        preview->showNormal();
        preview->resize(1240, 760);
        Settle();
        ok &= Save(preview, "podglad-zestawienia");
        preview->close();
    } else {
        std::fputs("velt-screens: no report preview\n", stderr);
        ok = false;
    }

    // The catalogue card of a collection of stories, three pages, with its
    // settings window and its correction window.
    bool cardShown = false;
    WhenShown([&] { return form.findChild<gui::TKarta3*>() && form.findChild<gui::TKarta3*>()->isVisible(); }, [&] {
        gui::TKarta3* card = form.findChild<gui::TKarta3*>();
        cardShown = true;
        card->resize(card->width() + 40, 1010);
        Settle();
        ok &= Save(card, "karta-katalogowa");
        WhenShown([&] { return card->SettingsWindow() && card->SettingsWindow()->isVisible(); }, [&] {
            Settle();
            ok &= Save(card->SettingsWindow(), "parametry-karty");
            card->SettingsWindow()->ZamknijButton->click();
        });
        card->ParametryButton->click();
        WhenShown([&] { return card->CorrectionWindow() && card->CorrectionWindow()->isVisible(); }, [&] {
            Settle();
            ok &= Save(card->CorrectionWindow(), "korekta-karty");
            card->CorrectionWindow()->AnulujButton->click();
        });
        card->EdytujButton->click();
        card->ZakonczButton->click();

    });
    form.ComboBox1->setEditText("K3");
    QAction* cardOfRecord = nullptr;
    for (QMenu* m : form.Zestawienie1->findChildren<QMenu*>())
        if (m->title() == "Karta katalogowa")
            for (QAction* a : m->actions())
                if (a->text() == QString::fromUtf8("Wyróżniony rekord") && !cardOfRecord) cardOfRecord = a;
    if (cardOfRecord) cardOfRecord->trigger();
    Settle();
    if (!cardShown) {
        std::fputs("velt-screens: no card window\n", stderr);
        ok = false;
    }

    WhenShown([&] { return form.Desktop().JpgForm() && form.Desktop().JpgForm()->isVisible(); }, [&] {
        form.Desktop().JpgForm()->resize(900, 650);
        Settle();
        ok &= Save(form.Desktop().JpgForm(), "przegladarka-obrazow");
        form.Desktop().JpgForm()->reject();
    });
    form.Commands().FetchAttachment(form.Shell().Current()->StoredIdentifier("K11"), "okładka.jpg"_cp, false);

    // A reader identifies herself from "Kon&to" and looks at her account.
    gui::ReaderFeature& reader = *form.Find<gui::ReaderFeature>();
    gui::TOknoZamawiania& identification = *reader.OknoZamawiania;
    WhenShown([&] { return identification.isVisible(); }, [&] {
        identification.RadioButton1->setChecked(true);
        identification.Login->setText(QString::fromUtf8("Kowalska Anna"));
        identification.Haslo->setText("anna");
        Settle();
        ok &= Save(&identification, "identyfikacja-czytelnika");
        identification.Button1->click();
    });
    WhenShown([&] { return reader.OknoKont && reader.OknoKont->isVisible(); }, [&] {
        gui::TOknoKont& account = *reader.OknoKont;
        account.resize(820, 430);
        account.Zakladki->setCurrentIndex(2);  // "Wypożyczone"
        Settle(600);
        ok &= Save(&account, "konto-czytelnika");
        account.reject();
    });
    reader.KontoItem->trigger();

    // A librarian logs in and opens a book, with a new subject beside it.
    gui::TOknoLogowania& login = form.LoginWindow();
    std::function<void()> fill = [&] {
        if (!login.isVisible()) {
            QTimer::singleShot(10, fill);
            return;
        }
        login.Edit1->setText("bibliotekarz");
        login.Edit2->setText("bibliotekarz");
        login.Button1->click();
    };
    QTimer::singleShot(0, fill);
    form.LoginButton->trigger();
    if (TEdycja* editing = form.Find<gui::EditingFeature>()->Editing()) {
        if (form.Find<gui::EditingFeature>()->OknoEdycji->FormMessagesWindow) form.Find<gui::EditingFeature>()->OknoEdycji->FormMessagesWindow->hide();
        editing->NewRecord("T");
        form.ComboBox1->setEditText("K11");
        form.Find<gui::EditingFeature>()->OtworzButton->trigger();
        form.Find<gui::EditingFeature>()->OknoEdycji->resize(1000, 680);
        Settle(500);
        ok &= Save(form.Find<gui::EditingFeature>()->OknoEdycji, "edycja");

        // The author field's lookup: the authority file's window with a
        // heading typed, then the heading chosen into the form with its link.
        auto* authority = form.Find<gui::AuthorityFeature>();
        gui::TOknoKHWNowe* lookup = authority->OknoKHWNowe();
        WhenShown([&] { return lookup->isVisible() && lookup->Browser() && lookup->Browser()->Browser(); }, [&] {
            lookup->Edit1->setText(QString::fromUtf8("Głowacki"));
            lookup->Model()->TypingPaused("Głowacki"_cp);
            VrBrowser* b = lookup->Browser()->Browser();
            if (!b->SelectedKey().empty()) b->Source().Action(b->SelectedKey(), "!");
            Settle();
            ok &= Save(lookup, "kartoteka-wzorcowa");
            if (!b->SelectedKey().empty()) b->Source().Action(b->SelectedKey(), "*");
        });
        if (!editing->Sheets().empty()) {
            edit_sheet& sheet = *editing->Sheets()[static_cast<std::size_t>(editing->ActiveIndex())];
            sheet.Event(kFormHelp, "100Z.1.1.1.1");
            Settle(500);
            ok &= Save(form.Find<gui::EditingFeature>()->OknoEdycji, "edycja-haslo-wzorcowe");
            // The form's scripts asking for a language from a list and a
            // subject from the thesaurus tree.
            WhenShown([] {
                auto* list = qobject_cast<gui::TListChoice*>(QApplication::activeModalWidget());
                return list && list->Browser() && list->Browser()->Browser();
            }, [&] {
                auto* list = qobject_cast<gui::TListChoice*>(QApplication::activeModalWidget());
                Settle();
                ok &= Save(list, "wybor-z-listy");
                list->reject();
            });
            sheet.Event(kFormHelp, "JEZYK");
            WhenShown([] { return qobject_cast<gui::TTreeChoice*>(QApplication::activeModalWidget()) != nullptr; }, [&] {
                auto* tree = qobject_cast<gui::TTreeChoice*>(QApplication::activeModalWidget());
                Settle();
                ok &= Save(tree, "wybor-z-drzewa");
                tree->reject();
            });
            sheet.Event(kFormHelp, "TEZAURUS");
        }
        // The older search window over a value list, and the record chooser.
        gui::TOknoKHW* search = authority->OknoKHW();
        WhenShown([&] { return search->isVisible() && search->Browser() && search->Browser()->Browser(); }, [&] {
            Settle();
            ok &= Save(search, "szukaj-hasla");
            search->reject();
        });
        authority->TermSearch(*form.Shell().Current(), "Czyt", "WY");
        gui::TSmallBrowser* chooser = authority->SmallBrowser();
        WhenShown([&] { return chooser->isVisible() && chooser->Browser() && chooser->Browser()->Browser(); }, [&] {
            Settle();
            ok &= Save(chooser, "wybierz-rekord");
            chooser->reject();
        });
        authority->SelectRecord(*form.Shell().Current(), "K11", "", 0);
        WhenShown([&] { return chooser->isVisible() && chooser->Browser() && chooser->Browser()->Browser(); }, [&] {
            Settle();
            ok &= Save(chooser, "wybierz-z-drzewa");
            chooser->reject();
        });
        authority->SelectInStructure(*form.Shell().Current(), "K11", "skladniki");
        // The closed orders, which the librarian's forms choose from.
        gui::TOknoListyZamowien& orders = *reader.OknoListyZamowien;
        WhenShown([&] { return orders.isVisible() && orders.Browser && orders.Browser->Browser(); }, [&] {
            Settle();
            ok &= Save(&orders, "zamkniete-zamowienia");
            orders.reject();
        });
        reader.ChooseClosedOrder();

        // Record links: the schema of a work of four volumes (stored out of
        // their order) with a volume selected, the series of 300 parts, and
        // the chooser of links picking a component. The hierarchies come
        // after the catalogue's generated books.
        velt_files& files = *form.Shell().Current();
        auto* links = form.Find<gui::LinksFeature>();
        const auto after = [&](std::uint32_t n) { return files.StoredIdentifier("K" + std::to_string(gBooks + n)); };
        tabs.SetFormat(2);  // "Opis pełny": the display pane shows the record whole
        links->ShowLinks(after(11), "struktura");  // volume 1 of the third work
        if (gui::TOknoPowiazan* window = links->OknoPowiazan()) {
            window->showNormal();
            window->resize(1060, 560);
            Settle(500);
            ok &= Save(window, "powiazania-dzielo");
            links->ShowLinks(after(189), "struktura");  // part 150 of the series
            window->showNormal();
            window->resize(1060, 640);
            Settle(500);
            ok &= Save(window, "powiazania-300");
            window->close();
        } else {
            std::fputs("velt-screens: no links window\n", stderr);
            ok = false;
        }
        WhenShown([&] { return links->WyborPowiazan() && links->WyborPowiazan()->isVisible(); }, [&] {
            gui::TWyborPowiazan* choice = links->WyborPowiazan();
            choice->resize(900, 480);
            if (QTreeWidgetItem* item = choice->TreeView2->topLevelItem(0)) choice->TreeView2->setCurrentItem(item);
            Settle(500);
            ok &= Save(choice, "wybor-powiazan");
            choice->reject();
        });
        links->ChooseInTree(files, after(9), "struktura", [](const std::string&) { return true; }, nullptr,
                            files.FormatByType("skladniki"));
        // "Pobierz" → "Protokół Z3950": a search of the Z39.50 source in its
        // query form, the records found, and one of them taken into the editor.
        auto* import = form.Find<gui::Z3950Feature>();
        if (import && import->OknoZ3950->Model().Available()) {
            gui::TOknoZ3950& z = *import->OknoZ3950;
            import->ProtokolZ3950Item->trigger();
            z.resize(1000, 700);
            WhenShown([&] { return parameters.isVisible() && parameters.Shown(); }, [&] {
                parameters.Shown()->Record().SetValue("T.2", "computer");
                if (my_editor* laid = parameters.PanelFormularza->Form()) laid->Refresh("T.2");
                Settle();
                ok &= Save(&parameters, "zapytanie-z3950");
                parameters.Button1->click();
            });
            z.ZapytanieItem->trigger();
            Settle(500);
            if (z.Browser() && z.Browser()->Browser()) z.Browser()->Browser()->Select("3");
            Settle();
            ok &= Save(&z, "pobieranie-z3950");
            z.PobierzButton->click();
            form.Find<gui::EditingFeature>()->OknoEdycji->resize(1000, 680);
            Settle(500);
            ok &= Save(form.Find<gui::EditingFeature>()->OknoEdycji, "pobrany-rekord");
        } else {
            std::fputs("velt-screens: no Z39.50 source configured\n", stderr);
            ok = false;
        }
        // "Pobierz" → "Systemy VELT": the second catalogue chosen in its
        // group, searched through the criteria panel over its own
        // descriptor, a record found selected.
        auto* rtk = form.Find<gui::RtkFeature>();
        auto* panelFeature = form.Find<gui::SearchFeature>();
        if (rtk && panelFeature && rtk->SystemyVeltItem->isVisible()) {
            gui::TOknoRTK& w = *rtk->OknoRTK;
            rtk->SystemyVeltItem->trigger();
            w.resize(1000, 700);
            QAction* source = nullptr;
            std::function<void(QMenu*)> first = [&](QMenu* m) {
                for (QAction* a : m->actions()) {
                    if (source) return;
                    if (a->menu())
                        first(a->menu());
                    else if (!a->isSeparator())
                        source = a;
                }
            };
            first(w.ZrodloMenu);
            if (source) source->trigger();
            gui::TOknoNoweKryteria& criteria = *panelFeature->OknoNoweKryteria;
            WhenShown([&] { return criteria.isVisible() && !criteria.RowBoxes().empty(); }, [&] {
                for (QGroupBox* box : criteria.RowBoxes())
                    if (box->title() == gui::toQString("tytuł"_cp))
                        if (auto* edit = box->findChild<QLineEdit*>("Edit1")) edit->setText("historia");
                Settle();
                ok &= Save(&criteria, "systemy-velt-kryteria");
                // The search is reported in a message box of its own.
                WhenShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
                          [] { qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->accept(); });
                criteria.Button1->click();
            });
            w.ZapytanieItem->trigger();
            Settle(500);
            if (w.Browser() && w.Browser()->Browser() && !w.Browser()->Browser()->Cells().empty())
                w.Browser()->Browser()->Select(w.Browser()->Browser()->Cells().front().key);
            Settle();
            ok &= Save(&w, "systemy-velt");
            w.close();
        } else {
            std::fputs("velt-screens: no source catalogue configured\n", stderr);
            ok = false;
        }
    } else {
        std::fputs("velt-screens: no editing after the login\n", stderr);
        ok = false;
    }
    // "Program globalnej modyfikacji" with an administrator's program loaded:
    // the shelf marks "Cz. ..." become "Czyt. ..." and every record gets a note.
    {
        GlobalProgram program(*form.Shell().Current(), gui::GuiPrompts::Instance(), gui::GuiPrompts::Instance(),
                              ModificationMode::LocalCollection, {}, nullptr, {});
        gui::TOknoGlobalne window(program, kScreenProgram, &form);
        window.resize(760, 520);
        window.show();
        Settle();
        ok &= Save(&window, "program-globalnej-modyfikacji");
        window.close();
    }
    form.close();
    return ok ? 0 : 1;
}
