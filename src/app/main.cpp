// velt_tcp: the catalogue client program.
//
//   velt_tcp [CONFIGURATION] [--screenshot FILE]
//
// CONFIGURATION names the configuration file (default VELT_TCP.INI). With
// --screenshot the main window is saved to FILE once the start routine has
// run and the program ends (for runs without anyone at the screen).

#include "gui/common/GuiPrompts.h"
#include "gui/common/ServerWaitWindow.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/common/TOknoProgresji.h"
#include "gui/common/QtTranslations.h"
#include "gui/common/QtText.h"
#include "forms/FormSettings.h"
#include "net/VrTimer.h"
#include "shell/StoredLogin.h"
#include "gui/shell/TForm1.h"
#include "files/UserDirectories.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velt::gui::InstallPolishQtTexts(app);
    QString screenshot;
    std::vector<std::string> args;
    const QStringList qargs = app.arguments();
    for (int i = 1; i < qargs.size(); ++i) {
        if (qargs[i] == "--screenshot" && i + 1 < qargs.size())
            screenshot = qargs[++i];
        else
            args.push_back(velt::gui::fromQPath(qargs[i]));
    }

    // The keep-alive thread runs before the first window and ends after the
    // event loop.
    velt::TTimer::Start();
    int rc = 0;
    {
        velt::gui::TForm1 form;
        velt::gui::TOknoKomunikatu::Instance();
        velt::gui::TOknoProgresji::Instance();
        velt::gui::ServerWaitWindow::Install();
        if (QScreen* screen = app.primaryScreen()) form.setGeometry(screen->availableGeometry());
        form.showMaximized();

        const std::string programDir = velt::gui::fromQPath(QCoreApplication::applicationDirPath()) + "/";
        // A form's picture missing from the configuration's directory is one
        // of the program's own.
        velt::SetProgramPictureDirectory(velt::ProgramImageDirectory(programDir));
        velt::VeltShell& shell = form.Shell();
        shell.ReadConfiguration(velt::VeltShell::ConfigFileName(args, programDir, velt::UserConfigDirectory()),
                                programDir, velt::UserDataDirectory());
        form.BuildCatalogueMenu();
        shell.Start(velt::ReadStoredLogin(velt::StoredLoginPath()));

        if (!screenshot.isEmpty()) {
            QTimer::singleShot(1500, &form, [&form, screenshot] {
                const bool saved = form.grab().save(screenshot);
                std::fprintf(saved ? stdout : stderr, "%s %s\n",
                             saved ? "screenshot saved to" : "could not save the screenshot to",
                             screenshot.toLocal8Bit().constData());
                form.close();
                QApplication::exit(saved ? 0 : 1);
            });
        }
        rc = app.exec();
    }
    velt::SetServerWait(nullptr);
    velt::TTimer::Terminate();
    return rc;
}
