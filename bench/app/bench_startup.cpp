// Starts the main window as the program does and ends the process the moment the window is shown
// on screen, so timing the whole process gives the start-up time (library loading included).
// Usage: bench_startup   (time it from outside, e.g. with /usr/bin/time or hyperfine)

#include "app/frmmain.h"
#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "settings/inisettingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    app::QtPrompter prompter;
    app::QtDialogBackend dialogs;
    app::DesktopShellOpener shell;
    settings::IniSettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};
    app::frmMain window(platform);
    window.Form_Load(QString());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fputs("the window was not exposed\n", stderr);
    std::printf("first window shown %.1f ms after main()\n",
                double(sinceMain.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}
