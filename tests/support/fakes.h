#pragma once

#include "platform/commondialog.h"
#include "platform/prompter.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace testsupport
{

// A message box or prompt the program showed.
struct ShownMessage {
    QString text;
    QString title;
    app::MsgIcon icon = app::MsgIcon::None;
    app::MsgButtons buttons = app::MsgButtons::Ok;
};

// Answers message boxes and prompts from a queue and records what was shown. A question the
// test did not script (empty queue) fails the test and is answered with Cancel; so do answers
// still unused when the prompter goes. A box with only OK is a message, not a question.
class ScriptedPrompter final : public app::Prompter
{
public:
    ~ScriptedPrompter() override;
    QList<app::MsgAnswer> answers;
    QList<std::optional<QString>> inputs;
    QList<ShownMessage> shown;
    QList<QString> prompts;
    int unexpected = 0;

    app::MsgAnswer message(QWidget *owner, const QString &text, const QString &title,
                           app::MsgIcon icon, app::MsgButtons buttons) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &initial) override;
};

// Answers the common dialogs from a queue of scripted steps. Each step sees the dialog's
// properties, may change them (choose a file, a font, a colour) and returns the outcome.
class ScriptedDialogs final : public app::DialogBackend
{
public:
    using Step = std::function<app::DialogOutcome(app::DialogProperties &)>;
    enum class Kind { Open, Save, Printer, Font, Color };
    struct Call {
        Kind kind;
        app::DialogProperties seen;
    };

    QList<Step> steps;
    QList<Call> calls;
    int unexpected = 0;

    ~ScriptedDialogs() override; // fails the test when scripted steps were left unused

    // Convenience steps.
    static Step choose(const QString &fileName);
    static Step cancel();
    static Step accept();

    app::DialogOutcome showOpen(QWidget *, app::DialogProperties &p) override;
    app::DialogOutcome showSave(QWidget *, app::DialogProperties &p) override;
    app::DialogOutcome showPrinter(QWidget *, app::DialogProperties &p, QPrinter &) override;
    app::DialogOutcome showFont(QWidget *, app::DialogProperties &p) override;
    app::DialogOutcome showColor(QWidget *, app::DialogProperties &p) override;

private:
    app::DialogOutcome run(Kind kind, app::DialogProperties &p);
};

} // namespace testsupport
