#pragma once

#include <QPointer>
#include <functional>

class QWidget;

namespace platform
{
class Prompter;
class RichTextBox;
struct SharedState;
} // namespace platform

namespace search
{

class frmFind;

// The main window's Find, Replace and Find next. Keeps the one find dialog while it is open;
// closing it unloads it, and the next Find or Replace loads a fresh one.
class FindCommands
{
public:
    // Everything passed in belongs to the main window (owner) and outlives this object.
    // searchWordSet runs each time a search in the dialog sets the search word.
    FindCommands(platform::SharedState &state, platform::RichTextBox &editor,
                 platform::Prompter &prompter, std::function<void()> decorate, QWidget &owner,
                 std::function<void()> searchWordSet = {});
    ~FindCommands();
    FindCommands(const FindCommands &) = delete;
    FindCommands &operator=(const FindCommands &) = delete;

    // Shows the dialog modeless in find (replaceMode false) or replace mode. An open dialog is
    // reused and laid out again when the mode changes.
    void showDialog(bool replaceMode);
    // Searches for the last search word from the end of the selection; nothing when it is empty.
    void findNext();

    // The open dialog, or nullptr.
    frmFind *dialog() const;

private:
    platform::SharedState &m_state;
    platform::RichTextBox &m_editor;
    platform::Prompter &m_prompter;
    std::function<void()> m_decorate;
    QWidget &m_owner;
    std::function<void()> m_searchWordSet;
    QPointer<frmFind> m_dialog;
};

} // namespace search
