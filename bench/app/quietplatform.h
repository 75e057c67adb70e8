#pragma once

#include "app/commondialog.h"
#include "app/platform.h"
#include "app/prompter.h"
#include "app/shellopen.h"
#include "settings/memorysettingsstore.h"

// A platform for benchmarks: nobody answers, no dialog opens, nothing reaches the desktop, and
// the settings stay in memory.
namespace benchsupport {

class SilentPrompter final : public app::Prompter
{
public:
    app::MsgAnswer message(QWidget *, const QString &, const QString &, app::MsgIcon,
                           app::MsgButtons) override
    {
        return app::MsgAnswer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &,
                                 const QString &) override
    {
        return std::nullopt;
    }
};

class NoDialogs final : public app::DialogBackend
{
public:
    app::DialogOutcome showOpen(QWidget *, app::DialogProperties &) override { return no(); }
    app::DialogOutcome showSave(QWidget *, app::DialogProperties &) override { return no(); }
    app::DialogOutcome showPrinter(QWidget *, app::DialogProperties &, QPrinter &) override
    {
        return no();
    }
    app::DialogOutcome showFont(QWidget *, app::DialogProperties &) override { return no(); }
    app::DialogOutcome showColor(QWidget *, app::DialogProperties &) override { return no(); }

private:
    static app::DialogOutcome no() { return app::DialogOutcome::Cancelled; }
};

class NoShell final : public app::ShellOpener
{
public:
    bool open(const QString &) override { return false; }
};

struct QuietPlatform {
    SilentPrompter prompter;
    NoDialogs dialogs;
    NoShell shell;
    settings::MemorySettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};
};

} // namespace benchsupport
