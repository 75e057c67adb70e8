#include "about/versionstring.h"
#include "app/enginestart.h"
#include "app/frmmain.h"
#include "document/documentpath.h"
#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "platform/translations.h"
#include "settings/inisettingsstore.h"
#include "site/commandline.h"
#include "site/interruptedoperation.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <malloc.h>
#include <string_view>

namespace
{

constexpr const char *Usage =
    "使い方: tavlen [ファイル]\n"
    "たぶれん（Tavlen）は、HTML ファイルを手で書くためのエディターです。\n"
    "ファイルは、パスまたは file:// で始まる URL で一つ指定します。"
    "指定しなければ新規ファイルで始まります。\n"
    "\n"
    "  --help     この説明を表示して終了します\n"
    "  --version  バージョンを表示して終了します\n";

// --help and --version answer on the terminal, without a display. Returns true when one did.
bool answeredOption(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h") {
            std::fputs(Usage, stdout);
            std::fputs(site::FolderCommandUsage, stdout);
            return true;
        }
        if (argument == "--version") {
            std::printf("たぶれん（Tavlen）バージョン %s\n",
                        about::VersionString().toUtf8().constData());
            return true;
        }
    }
    return false;
}

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
    if (answeredOption(argc, argv))
        return 0;
    if (site::isFolderCommand(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tavlen"));
        return site::runFolderCommand(QCoreApplication::arguments().mid(1));
    }
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

    // One document; a path with spaces opens whether it was quoted or not. Arguments from
    // --webEngineArgs on are the browser engine's.
    const document::DocumentArguments arguments = document::documentArguments(
        app::documentArguments(QCoreApplication::arguments().mid(1)), QDir::currentPath());
    if (!arguments.ignored.isEmpty())
        std::fprintf(stderr, "たぶれん: 開けるファイルは一つだけです。次の引数は無視しました: %s\n",
                     arguments.ignored.join(QStringLiteral(" ")).toLocal8Bit().constData());

    app::QtPrompter prompter;
    app::QtDialogBackend dialogs;
    app::DesktopShellOpener shell;
    settings::IniSettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};

    app::frmMain window(platform);
    window.Form_Load(arguments.path, app::frmMain::ShowWindow::BeforeQuestions);
    site::offerInterruptedOperation(prompter, &window);
    return application.exec();
}
