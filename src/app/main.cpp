// velt_tcp: the catalogue client program.
//
//   velt_tcp [CONFIGURATION] [--screenshot FILE]
//
// With --screenshot the main window is saved to FILE once it is shown and the
// program ends (for runs without anyone at the screen).

#include "net/VrTimer.h"
#include "shell/TForm1.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString screenshot;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i)
        if (args[i] == "--screenshot" && i + 1 < args.size()) screenshot = args[++i];

    // The keep-alive thread runs before the first window and ends after the
    // event loop.
    velt::TTimer::Start();
    int rc = 0;
    {
        velt::gui::TForm1 form;
        if (QScreen* screen = app.primaryScreen()) form.setGeometry(screen->availableGeometry());
        form.showMaximized();
        if (!screenshot.isEmpty()) {
            QTimer::singleShot(1500, &form, [&form, screenshot] {
                const bool saved = form.grab().save(screenshot);
                std::fprintf(saved ? stdout : stderr, "%s %s\n",
                             saved ? "screenshot saved to" : "could not save the screenshot to",
                             screenshot.toLocal8Bit().constData());
                QApplication::exit(saved ? 0 : 1);
            });
        }
        rc = app.exec();
    }
    velt::TTimer::Terminate();
    return rc;
}
