#include "search/findcommands.h"

#include "platform/sharedstate.h"
#include "search/findreplace.h"
#include "search/frmfind.h"

namespace search
{

FindCommands::FindCommands(platform::SharedState &state, platform::RichTextBox &editor,
                           platform::Prompter &prompter, std::function<void()> decorate,
                           QWidget &owner, std::function<void()> searchWordSet)
    : m_state(state), m_editor(editor), m_prompter(prompter), m_decorate(std::move(decorate)),
      m_owner(owner), m_searchWordSet(std::move(searchWordSet))
{
}

FindCommands::~FindCommands()
{
    delete m_dialog.data(); // its close handler refers to this object
}

void FindCommands::showDialog(bool replaceMode)
{
    if (frmFind *open = m_dialog.data()) {
        if (open->bolSw != replaceMode) {
            open->bolSw = replaceMode;
            open->applyMode();
        }
    } else {
        auto *dialog = new frmFind(m_state, m_editor, m_prompter, m_decorate, &m_owner);
        dialog->bolSw = replaceMode;
        dialog->Form_Load();
        // Close button, Esc and the window's close box all end here: the dialog is unloaded.
        QObject::connect(dialog, &QDialog::finished, dialog, [this, dialog] {
            if (m_dialog == dialog)
                m_dialog.clear();
            dialog->deleteLater();
        });
        QObject::connect(dialog, &frmFind::SearchWordSet, dialog, [this] {
            if (m_searchWordSet)
                m_searchWordSet();
        });
        m_dialog = dialog;
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

frmFind *FindCommands::dialog() const
{
    return m_dialog.data();
}

void FindCommands::findNext()
{
    FindNext(m_editor, m_state.strFind);
}

} // namespace search
