// velt_tcp: the catalogue client program.
//
//   velt_tcp [CONFIGURATION] [--screenshot FILE]
//   velt_tcp --help | --version
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
#include "HelpText.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before any window: no display is needed for them.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelpText, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("velt_tcp %s\n", kProgramVersion);
        return 0;
    }
    QApplication app(argc, argv);
    velt::gui::InstallPolishQtTexts(app);
    // The desktop matches the windows with the menu's entry and its icon.
    QGuiApplication::setDesktopFileName(VELT_APP_ID);
    const std::string programDir = velt::gui::fromQPath(QCoreApplication::applicationDirPath()) + "/";
    const std::string pictures = velt::ProgramImageDirectory(programDir);
    app.setWindowIcon(QIcon::fromTheme(VELT_APP_ID, QIcon(velt::gui::toQPath(pictures + "ikona.png"))));
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

        // A form's picture missing from the configuration's directory is one
        // of the program's own.
        velt::SetProgramPictureDirectory(pictures);
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
