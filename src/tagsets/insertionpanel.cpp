#include "tagsets/insertionpanel.h"

#include "platform/modal.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "settings/appsettings.h"
#include "tagsets/frmedittagset.h"
#include "tagsets/tagsetfile.h"
#include "tagsets/tagsetlist.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextCursor>

namespace tagsets
{

void wrapSelection(platform::RichTextBox &editor, const QString &before, const QString &after)
{
    editor.setSelTextAsOwnStep(before + editor.SelText() + after);
}

void InsertionPanel::cboTagSet_Click()
{
    const bool chosen = !m_c.cboTagSet.currentText().isEmpty();
    m_c.cmdInsTag.setEnabled(chosen);
    m_c.cmdEditTmp.setEnabled(chosen);
}

void InsertionPanel::cmdInsTag_Click()
{
    const QString name = m_c.cboTagSet.currentText();
    if (name.isEmpty())
        return;
    // Read at the moment of insertion: the latest saved texts, today's date, the time now.
    const ReadResult read = ReadTagSet(name, true, m_c.settings.WriteCode);
    if (const auto *error = std::get_if<TagSetError>(&read)) {
        m_c.prompter.message(&m_c.window,
                             QStringLiteral("タグセット「%1」を挿入できませんでした。\r\n%2")
                                 .arg(name, error->reason),
                             QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                             platform::MsgButtons::Ok);
        return;
    }
    const QStringList &parts = std::get<QStringList>(read);
    wrapSelection(m_c.editor, parts.at(0), parts.at(1));
    m_c.recolour();
    // The user goes on typing after the inserted text, not into the button.
    m_c.editor.setFocus(Qt::OtherFocusReason);
}

void InsertionPanel::cmdEditTmp_Click()
{
    // The editor cannot create tag sets in this mode, so the list stays as it is; unless the tag
    // set had gone and the editor ran in free mode instead.
    if (runEditor(EditMode::OneTagSet, m_c.cboTagSet.currentText()))
        refillList();
}

void InsertionPanel::mnuTSEdit_Click()
{
    runEditor(EditMode::Free, QString());
    refillList();
}

bool InsertionPanel::runEditor(EditMode mode, const QString &target)
{
    frmEditTagset editor(m_c.prompter, &m_c.window);
    editor.intMode = mode;
    editor.strTarget = target;
    platform::execModal(editor);
    return mode != EditMode::OneTagSet || editor.fellBackToFreeMode();
}

void InsertionPanel::refillList()
{
    ListTagSets(m_c.cboTagSet);
    cboTagSet_Click();
}

} // namespace tagsets
