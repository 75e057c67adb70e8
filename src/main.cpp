#include "app/enginestart.h"
#include "app/frmmain.h"
#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "platform/translations.h"
#include "settings/inisettingsstore.h"

#include <QApplication>
#include <cstdio>
#include <malloc.h>

namespace
{

// Qt aborts with a platform-plugin error when there is no display; say so plainly instead.
bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fputs(
            "たぶれん: 画面（ディスプレイ）が見つかりません。デスクトップから起動してください。\n"
            "Tavlen: no display found (DISPLAY and WAYLAND_DISPLAY are empty). Start it "
            "from a desktop session, or under xvfb-run.\n",
            stderr);
        return 2;
    }
    // Big buffers (a page's bytes, its text, the document's pieces) get their own mappings and go
    // back to the system when freed. Left to itself, the allocator raises this limit after the
    // first big buffer is freed, and the next ones come from a heap that never shrinks: 50 MB
    // more for a 10 MB page.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavlen"));
    // No display name: Qt would append it to every caption, and each window's caption is
    // exactly the program's own.
    app::installJapaneseQtTranslations(application);
    QApplication::setDesktopFileName(QStringLiteral("tavlen"));

    // The command line is the program's arguments joined by single spaces, so a path with
    // spaces opens whether it was quoted or not; those from --webEngineArgs on are the browser
    // engine's.
    const QStringList arguments = app::documentArguments(QCoreApplication::arguments().mid(1));
    const QString commandLine = arguments.join(QLatin1Char(' '));

    app::QtPrompter prompter;
    app::QtDialogBackend dialogs;
    app::DesktopShellOpener shell;
    settings::IniSettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};

    app::frmMain window(platform);
    window.Form_Load(commandLine, app::frmMain::ShowWindow::BeforeQuestions);
    return application.exec();
}
