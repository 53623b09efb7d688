// Pictures of the program's windows for the README: the program connected to
// a catalogue (the configuration given), driven to a few states, each window
// saved as a PNG into a directory.
//
//   velt-screens CONFIGURATION DIRECTORY

#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/browse/Tjpg_form.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/reports/TForm2.h"
#include "gui/search/TOknoElementarne.h"
#include "gui/shell/TForm1.h"
#include "shell/UserDirectories.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

namespace {

using namespace velt;

QString gDir;

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gui::TForm1::SetImageDirectory(VELT_PICTURE_DIR "/");
    if (argc != 3) {
        std::fputs("usage: velt-screens CONFIGURATION DIRECTORY\n", stderr);
        return 1;
    }
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

    gui::TOknoElementarne& elementary = *form.OknoElementarne;
    elementary.Prepare("tytuł"_cp);
    elementary.show();
    elementary.wzorce->setPlainText("histori");
    elementary.slowo->setChecked(true);
    elementary.Button2->click();
    Settle();
    ok &= Save(&elementary, "zapytanie-elementarne");
    elementary.Button1->click();
    Settle(500);
    tabs.SetFormat(2);  // "Opis pełny", in taller cells
    tabs.SetLineHeight(150);
    Settle();
    ok &= Save(&form, "kolekcja-zdalna");

    // The list of titles of that collection in the preview window.
    for (QMenu* m : form.Zestawienie1->findChildren<QMenu*>())
        if (m->title() == QString::fromUtf8("Lista tytułów"))
            for (QAction* a : m->actions())
                if (a->text() == QString::fromUtf8("Dla kolekcji zdalnej")) a->trigger();
    Settle(500);
    if (auto* preview = form.findChild<gui::TForm2*>("TForm2")) {
        preview->showNormal();
        preview->resize(1000, 750);
        Settle();
        ok &= Save(preview, "podglad-zestawienia");
        preview->close();
    } else {
        std::fputs("velt-screens: no report preview\n", stderr);
        ok = false;
    }

    QTimer::singleShot(800, [&] {
        if (form.JpgForm && form.JpgForm->isVisible()) {
            form.JpgForm->resize(900, 650);
            Settle();
            ok &= Save(form.JpgForm, "przegladarka-obrazow");
            form.JpgForm->reject();
        }
    });
    form.Commands().FetchAttachment(form.Shell().Current()->StoredIdentifier("K11"), "okładka.jpg"_cp, false);
    form.close();
    return ok ? 0 : 1;
}
