// Runs one writing operation of the program the way the user starts it and prints what came of
// it, for the fault-injection tests, which run it in a child process under a fault:
//   save <file>                     open file, edit, File > Save
//   saveas <file> <target>          open file, edit, File > Save As onto target
//   preview <file>                  open file, edit, preview (the temporary folder is the file's)
//   tagset <folder> <name>          edit tag set name in folder, Save
//   settings <conf> <file>          open file with the settings kept in conf (the recent list)
//   start <file>                    start with file in the recent list
// Output, one per line: "messages=N", "message=<text>" for each message shown (line ends as
// "|"), "modified=0|1" (whether the edit is still unsaved in memory).
#include "app/mainmenu.h"
#include "fakes.h"
#include "platform/richtextbox.h"
#include "platform/shellopen.h"
#include "settings/inisettingsstore.h"
#include "settings/memorysettingsstore.h"
#include "tagsets/frmedittagset.h"
#include "testenv.h"
#include "testwindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstdio>
#include <memory>

namespace
{

class NoShell final : public platform::ShellOpener
{
public:
    bool open(const QString &) override { return true; }
};

// The text every operation adds: long enough to pass a small file-size limit.
QString addedText()
{
    return QStringLiteral("<p>追加した段落</p>\r\n").repeated(200);
}

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void report(const testsupport::ScriptedPrompter &prompter, qsizetype from, bool modified)
{
    print(QStringLiteral("messages=%1").arg(prompter.shown.size() - from));
    for (qsizetype i = from; i < prompter.shown.size(); ++i) {
        QString text = prompter.shown[i].text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
        print(QStringLiteral("message=") + text);
    }
    print(QStringLiteral("modified=%1").arg(modified ? 1 : 0));
    std::fflush(stdout);
}

int runTagSet(const QString &folder, const QString &name)
{
    testsupport::ScriptedPrompter prompter;
    QWidget owner;
    tagsets::frmEditTagset dialog(prompter, &owner, folder);
    dialog.intMode = tagsets::EditMode::OneTagSet;
    dialog.strTarget = name;
    dialog.show();
    auto *before = dialog.findChild<QPlainTextEdit *>(QStringLiteral("txtBefore"));
    auto *save = dialog.findChild<QPushButton *>(QStringLiteral("cmdSave"));
    if (!before || !save)
        return 2;
    const qsizetype from = prompter.shown.size();
    before->setPlainText(before->toPlainText() + addedText());
    const QString edited = before->toPlainText();
    save->click();
    report(prompter, from, before->toPlainText() == edited);
    return 0;
}

int runWindow(const QString &op, const QStringList &args)
{
    testsupport::ScriptedPrompter prompter;
    testsupport::ScriptedDialogs dialogs;
    NoShell shell;
    std::unique_ptr<settings::SettingsStore> store;
    if (op == QLatin1String("settings"))
        store = std::make_unique<settings::IniSettingsStore>(args.at(0));
    else
        store = std::make_unique<settings::MemorySettingsStore>();
    const QString file = op == QLatin1String("settings") ? args.at(1) : args.at(0);
    if (op == QLatin1String("start"))
        store->write(QStringLiteral("RecentFiles"), QStringLiteral("File01"), file);
    platform::Platform platform{prompter, dialogs, shell, *store};
    testsupport::TestWindow window(platform);
    window.Form_Load(op == QLatin1String("start") ? QString() : file);
    if (op == QLatin1String("start") || op == QLatin1String("settings")) {
        report(prompter, 0, window.sharedState().bolEditing);
        return 0;
    }
    window.editor()->setText(window.editor()->Text() + addedText());
    const qsizetype from = prompter.shown.size();
    if (op == QLatin1String("save")) {
        window.mainMenu().mnuSaveFile->trigger();
    } else if (op == QLatin1String("saveas")) {
        dialogs.steps << testsupport::ScriptedDialogs::choose(args.at(1));
        window.mainMenu().mnuSaveAs->trigger();
    } else if (op == QLatin1String("preview")) {
        qputenv("TMPDIR", QFile::encodeName(QFileInfo(file).absolutePath()));
        window.mainMenu().mnuPreview->trigger();
    } else {
        return 2;
    }
    report(prompter, from, window.sharedState().bolEditing);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    testsupport::home();
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return 2;
    const QString op = args.takeFirst();
    const qsizetype needed = op == QLatin1String("saveas") || op == QLatin1String("tagset") ||
                                     op == QLatin1String("settings")
                                 ? 2
                                 : 1;
    if (args.size() < needed)
        return 2;
    if (op == QLatin1String("tagset"))
        return runTagSet(args.at(0), args.at(1));
    return runWindow(op, args);
}
