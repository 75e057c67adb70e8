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
    platform::MsgIcon icon = platform::MsgIcon::None;
    platform::MsgButtons buttons = platform::MsgButtons::Ok;
};

// Answers message boxes and prompts from a queue and records what was shown. A question the
// test did not script (empty queue) fails the test and is answered with Cancel; so do answers
// still unused when the prompter goes. A box with only OK is a message, not a question.
class ScriptedPrompter final : public platform::Prompter
{
public:
    ~ScriptedPrompter() override;
    QList<platform::MsgAnswer> answers;
    QList<std::optional<QString>> inputs;
    QList<ShownMessage> shown;
    QList<QString> prompts;
    int unexpected = 0;

    platform::MsgAnswer message(QWidget *owner, const QString &text, const QString &title,
                                platform::MsgIcon icon, platform::MsgButtons buttons) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &initial) override;
};

// Answers the common dialogs from a queue of scripted steps. Each step sees the dialog's
// properties, may change them (choose a file, a font, a colour) and returns the outcome.
class ScriptedDialogs final : public platform::DialogBackend
{
public:
    using Step = std::function<platform::DialogOutcome(platform::DialogProperties &)>;
    enum class Kind { Open, Save, Printer, Font, Color };
    struct Call {
        Kind kind;
        platform::DialogProperties seen;
    };

    QList<Step> steps;
    QList<Call> calls;
    int unexpected = 0;

    ~ScriptedDialogs() override; // fails the test when scripted steps were left unused

    // Convenience steps.
    static Step choose(const QString &fileName);
    static Step cancel();
    static Step accept();

    platform::DialogOutcome showOpen(QWidget *, platform::DialogProperties &p) override;
    platform::DialogOutcome showSave(QWidget *, platform::DialogProperties &p) override;
    platform::DialogOutcome showPrinter(QWidget *, platform::DialogProperties &p,
                                        QPrinter &) override;
    platform::DialogOutcome showFont(QWidget *, platform::DialogProperties &p) override;
    platform::DialogOutcome showColor(QWidget *, platform::DialogProperties &p) override;

private:
    platform::DialogOutcome run(Kind kind, platform::DialogProperties &p);
};

} // namespace testsupport
