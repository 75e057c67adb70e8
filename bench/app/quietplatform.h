#pragma once

#include "platform/commondialog.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/shellopen.h"
#include "settings/memorysettingsstore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

// A platform for benchmarks: nobody answers, no dialog opens, nothing reaches the desktop, and
// the settings stay in memory.
namespace benchsupport
{

class SilentPrompter final : public platform::Prompter
{
public:
    platform::MsgAnswer message(QWidget *, const QString &, const QString &, platform::MsgIcon,
                                platform::MsgButtons) override
    {
        return platform::MsgAnswer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &,
                                 const QString &) override
    {
        return std::nullopt;
    }
};

class NoDialogs final : public platform::DialogBackend
{
public:
    platform::DialogOutcome showOpen(QWidget *, platform::DialogProperties &) override
    {
        return no();
    }
    platform::DialogOutcome showSave(QWidget *, platform::DialogProperties &) override
    {
        return no();
    }
    platform::DialogOutcome showPrinter(QWidget *, platform::DialogProperties &,
                                        QPrinter &) override
    {
        return no();
    }
    platform::DialogOutcome showFont(QWidget *, platform::DialogProperties &) override
    {
        return no();
    }
    platform::DialogOutcome showColor(QWidget *, platform::DialogProperties &) override
    {
        return no();
    }

private:
    static platform::DialogOutcome no() { return platform::DialogOutcome::Cancelled; }
};

class NoShell final : public platform::ShellOpener
{
public:
    bool open(const QString &) override { return false; }
};

struct QuietPlatform {
    SilentPrompter prompter;
    NoDialogs dialogs;
    NoShell shell;
    settings::MemorySettingsStore store;
    platform::Platform platform{prompter, dialogs, shell, store};
};

// Points HOME and the XDG folders at a temporary folder and chooses the offscreen platform unless
// another one is asked for; call before the application object exists. Lives for the run.
struct IsolatedRun {
    QTemporaryDir home;
    IsolatedRun()
    {
        const QByteArray path = home.path().toLocal8Bit();
        qputenv("HOME", path);
        qputenv("XDG_CONFIG_HOME", path);
        qputenv("XDG_DATA_HOME", path);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
};

} // namespace benchsupport
