#pragma once

#include "app/frmmain.h"
#include "fakes.h"
#include "platform/shellopen.h"
#include "settings/memorysettingsstore.h"

#include <QStringList>
#include <memory>

namespace testsupport
{

// Records what the program hands to the desktop shell.
class RecordingShell final : public app::ShellOpener
{
public:
    QStringList opened;
    bool open(const QString &fileOrUrl) override
    {
        opened.append(fileOrUrl);
        return true;
    }
};

// A main window on scripted dialogs, prompts, shell and an in-memory settings store.
struct MainWindowFixture {
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    settings::MemorySettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};
    std::unique_ptr<app::frmMain> window;

    app::frmMain &start(const QString &commandLine = QString())
    {
        window = std::make_unique<app::frmMain>(platform);
        window->Form_Load(commandLine);
        return *window;
    }
};

} // namespace testsupport
