#include "fakes.h"

#include <QTest>

namespace testsupport
{

namespace
{
void failTest(const QString &what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}
} // namespace

ScriptedPrompter::~ScriptedPrompter()
{
    if (!answers.isEmpty() || !inputs.isEmpty())
        failTest(QStringLiteral("%1 scripted answers and %2 scripted inputs were never asked for")
                     .arg(answers.size())
                     .arg(inputs.size()));
}

ScriptedDialogs::~ScriptedDialogs()
{
    if (!steps.isEmpty())
        failTest(QStringLiteral("%1 scripted dialog steps were never used").arg(steps.size()));
}

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
        failTest(QStringLiteral("an unscripted question: ") + title + QStringLiteral(": ") + text);
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
        failTest(QStringLiteral("an unscripted prompt: ") + prompt);
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
        failTest(QStringLiteral("an unscripted dialog"));
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
