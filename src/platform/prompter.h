#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace platform
{

enum class MsgIcon { None, Exclamation, Question, Information, Critical };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// The message box and the one-line input prompt. The program asks every question through this
// seam so that tests can answer them.
class Prompter
{
public:
    virtual ~Prompter() = default;
    // Closing a box without choosing a button answers Cancel (or No for a Yes/No box, Ok for Ok).
    virtual MsgAnswer message(QWidget *owner, const QString &text, const QString &title,
                              MsgIcon icon, MsgButtons buttons) = 0;
    // nullopt when the user cancels the prompt.
    virtual std::optional<QString> input(QWidget *owner, const QString &prompt,
                                         const QString &title, const QString &initial) = 0;
};

// The real boxes: QMessageBox and QInputDialog.
class QtPrompter final : public Prompter
{
public:
    MsgAnswer message(QWidget *owner, const QString &text, const QString &title, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &initial) override;
};

} // namespace platform
