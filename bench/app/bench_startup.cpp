// Starts the main window as the program does and ends the process the moment the window is shown
// on screen, so timing the whole process gives the start-up time (library loading included).
// Usage: bench_startup   (time it from outside, e.g. with /usr/bin/time or hyperfine)

#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "settings/inisettingsstore.h"
#include "testwindow.h"

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
    platform::QtPrompter prompter;
    platform::QtDialogBackend dialogs;
    platform::DesktopShellOpener shell;
    settings::IniSettingsStore store;
    platform::Platform platform{prompter, dialogs, shell, store};
    testsupport::TestWindow window(platform);
    window.Form_Load(QString());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fputs("the window was not exposed\n", stderr);
    std::printf("first window shown %.1f ms after main()\n",
                double(sinceMain.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}
