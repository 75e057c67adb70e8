#include "fakes.h"

namespace testsupport {

app::MsgAnswer ScriptedPrompter::message(QWidget *, const QString &text, const QString &title,
                                         app::MsgIcon icon, app::MsgButtons buttons)
{
    shown.append({text, title, icon, buttons});
    if (buttons == app::MsgButtons::Ok) {
        if (!answers.isEmpty() && answers.first() == app::MsgAnswer::Ok)
            answers.removeFirst();
        return app::MsgAnswer::Ok;
    }
    if (answers.isEmpty()) {
        ++unexpected;
        return buttons == app::MsgButtons::YesNo ? app::MsgAnswer::No : app::MsgAnswer::Cancel;
    }
    return answers.takeFirst();
}

std::optional<QString> ScriptedPrompter::input(QWidget *, const QString &prompt, const QString &,
                                               const QString &)
{
    prompts.append(prompt);
    if (inputs.isEmpty()) {
        ++unexpected;
        return std::nullopt;
    }
    return inputs.takeFirst();
}

ScriptedDialogs::Step ScriptedDialogs::choose(const QString &fileName)
{
    return [fileName](app::DialogProperties &p) {
        p.FileName = fileName;
        return app::DialogOutcome::Accepted;
    };
}

ScriptedDialogs::Step ScriptedDialogs::cancel()
{
    return [](app::DialogProperties &) { return app::DialogOutcome::Cancelled; };
}

ScriptedDialogs::Step ScriptedDialogs::accept()
{
    return [](app::DialogProperties &) { return app::DialogOutcome::Accepted; };
}

app::DialogOutcome ScriptedDialogs::run(Kind kind, app::DialogProperties &p)
{
    calls.append({kind, p});
    if (steps.isEmpty()) {
        ++unexpected;
        return app::DialogOutcome::Cancelled;
    }
    return steps.takeFirst()(p);
}

app::DialogOutcome ScriptedDialogs::showOpen(QWidget *, app::DialogProperties &p)
{
    return run(Kind::Open, p);
}

app::DialogOutcome ScriptedDialogs::showSave(QWidget *, app::DialogProperties &p)
{
    return run(Kind::Save, p);
}

app::DialogOutcome ScriptedDialogs::showPrinter(QWidget *, app::DialogProperties &p, QPrinter &)
{
    return run(Kind::Printer, p);
}

app::DialogOutcome ScriptedDialogs::showFont(QWidget *, app::DialogProperties &p)
{
    return run(Kind::Font, p);
}

app::DialogOutcome ScriptedDialogs::showColor(QWidget *, app::DialogProperties &p)
{
    return run(Kind::Color, p);
}

} // namespace testsupport
