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

platform::MsgAnswer ScriptedPrompter::message(QWidget *, const QString &text, const QString &title,
                                              platform::MsgIcon icon, platform::MsgButtons buttons)
{
    shown.append({text, title, icon, buttons});
    if (buttons == platform::MsgButtons::Ok) {
        if (!answers.isEmpty() && answers.first() == platform::MsgAnswer::Ok)
            answers.removeFirst();
        return platform::MsgAnswer::Ok;
    }
    if (answers.isEmpty()) {
        ++unexpected;
        failTest(QStringLiteral("an unscripted question: ") + title + QStringLiteral(": ") + text);
        return buttons == platform::MsgButtons::YesNo ? platform::MsgAnswer::No
                                                      : platform::MsgAnswer::Cancel;
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
    return [fileName](platform::DialogProperties &p) {
        p.FileName = fileName;
        return platform::DialogOutcome::Accepted;
    };
}

ScriptedDialogs::Step ScriptedDialogs::cancel()
{
    return [](platform::DialogProperties &) { return platform::DialogOutcome::Cancelled; };
}

ScriptedDialogs::Step ScriptedDialogs::accept()
{
    return [](platform::DialogProperties &) { return platform::DialogOutcome::Accepted; };
}

platform::DialogOutcome ScriptedDialogs::run(Kind kind, platform::DialogProperties &p)
{
    calls.append({kind, p});
    if (steps.isEmpty()) {
        ++unexpected;
        failTest(QStringLiteral("an unscripted dialog"));
        return platform::DialogOutcome::Cancelled;
    }
    return steps.takeFirst()(p);
}

platform::DialogOutcome ScriptedDialogs::showOpen(QWidget *, platform::DialogProperties &p)
{
    return run(Kind::Open, p);
}

platform::DialogOutcome ScriptedDialogs::showSave(QWidget *, platform::DialogProperties &p)
{
    return run(Kind::Save, p);
}

platform::DialogOutcome ScriptedDialogs::showPrinter(QWidget *, platform::DialogProperties &p,
                                                     QPrinter &)
{
    return run(Kind::Printer, p);
}

platform::DialogOutcome ScriptedDialogs::showFont(QWidget *, platform::DialogProperties &p)
{
    return run(Kind::Font, p);
}

platform::DialogOutcome ScriptedDialogs::showColor(QWidget *, platform::DialogProperties &p)
{
    return run(Kind::Color, p);
}

} // namespace testsupport
