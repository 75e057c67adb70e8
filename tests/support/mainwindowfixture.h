#pragma once

#include "fakes.h"
#include "platform/shellopen.h"
#include "settings/memorysettingsstore.h"
#include "testwindow.h"

#include <QStringList>
#include <memory>

namespace testsupport
{

// Records what the program hands to the desktop shell.
class RecordingShell final : public platform::ShellOpener
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
    platform::Platform platform{prompter, dialogs, shell, store};
    std::unique_ptr<testsupport::TestWindow> window;

    testsupport::TestWindow &start(const QString &commandLine = QString())
    {
        window = std::make_unique<testsupport::TestWindow>(platform);
        window->Form_Load(commandLine);
        return *window;
    }
};

} // namespace testsupport
