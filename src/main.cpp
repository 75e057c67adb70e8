#include "about/versionstring.h"
#include "app/enginestart.h"
#include "app/frmmain.h"
#include "check/checkjob.h"
#include "files/documentpath.h"
#include "links/checklinkscommand.h"
#include "platform/bigbuffers.h"
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
#include <optional>
#include <string_view>

namespace
{

constexpr const char *Usage =
    "使い方: tavlen [ファイル]\n"
    "たぶれん（Tavlen）は、HTML ファイルを手で書くためのエディターです。\n"
    "ファイルは、パスまたは file:// で始まる URL で一つ指定します。"
    "指定しなければ新規ファイルで始まります。\n"
    "\n"
    "  --check-links フォルダーまたはファイル\n"
    "             ページのローカルなリンクを調べ、問題を「パス:行:桁: 内容」の形で表示します\n"
    "             （問題がなければ 0、見つかれば 1、調べられなければ 2 で終了します）\n"
    "  --help     この説明を表示して終了します\n"
    "  --version  バージョンを表示して終了します\n"
    "  --check-html ファイル\n"
    "             ウィンドウを開かずにページを検査し、見つかったことを\n"
    "             「パス:行:桁: 内容」の形で一行ずつ表示します\n"
    "             （終了コード 0: 問題なし、1: 見つかった、2: 読めなかった）\n";

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

// --check-html FILE checks a page without a display. Returns the exit code when it ran.
std::optional<int> ranCheck(int argc, char **argv)
{
    if (argc < 2 || std::string_view(argv[1]) != "--check-html")
        return std::nullopt;
    if (argc != 3) {
        std::fputs("使い方: tavlen --check-html ファイル\n", stderr);
        return 2;
    }
    QCoreApplication application(argc, argv);
    return check::runCheckHtml(QString::fromLocal8Bit(argv[2]), stdout, stderr);
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> code = ranCheck(argc, argv))
        return *code;
    if (argc >= 2 && std::string_view(argv[1]) == "--check-links") {
        if (argc != 3) {
            std::fputs("使い方: tavlen --check-links フォルダーまたはファイル\n", stderr);
            return 2;
        }
        QCoreApplication core(argc, argv);
        return links::runCheckLinks(QString::fromLocal8Bit(argv[2]), stdout, stderr);
    }
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
    platform::restartWithHugePages(argv);
    // Big buffers (a page's bytes, its text, the document's pieces) get their own mappings and go
    // back to the system when freed. Left to itself, the allocator raises this limit after the
    // first big buffer is freed, and the next ones come from a heap that never shrinks: 50 MB
    // more for a 10 MB page.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavlen"));
    // No display name: Qt would append it to every caption, and each window's caption is
    // exactly the program's own.
    platform::installJapaneseQtTranslations(application);
    QApplication::setDesktopFileName(QStringLiteral("tavlen"));

    // One document; a path with spaces opens whether it was quoted or not. Arguments from
    // --webEngineArgs on are the browser engine's.
    const files::DocumentArguments arguments = files::documentArguments(
        app::documentArguments(QCoreApplication::arguments().mid(1)), QDir::currentPath());
    if (!arguments.ignored.isEmpty())
        std::fprintf(stderr, "たぶれん: 開けるファイルは一つだけです。次の引数は無視しました: %s\n",
                     arguments.ignored.join(QStringLiteral(" ")).toLocal8Bit().constData());

    platform::QtPrompter prompter;
    platform::QtDialogBackend dialogs;
    platform::DesktopShellOpener shell;
    settings::IniSettingsStore store;
    platform::Platform platform{prompter, dialogs, shell, store};

    app::frmMain window(platform);
    window.Form_Load(arguments.path, app::frmMain::ShowWindow::BeforeQuestions);
    site::offerInterruptedOperation(prompter, &window);
    return application.exec();
}
