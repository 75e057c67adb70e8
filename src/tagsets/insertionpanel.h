#pragma once

#include <QString>

namespace app
{
class RichTextBox;
class frmMain;
} // namespace app

namespace tagsets
{

// Wraps the editor's selection between before and after as one undo step and leaves the caret
// after the after text, nothing selected.
void wrapSelection(app::RichTextBox &editor, const QString &before, const QString &after);

// The tag set panel of the main window (cboTagSet, cmdInsTag, cmdEditTmp) and the tag set
// editor command. The window is not owned; it outlives the panel.
class InsertionPanel
{
public:
    explicit InsertionPanel(app::frmMain &window) : m_window(window) {}

    // Keeps cmdInsTag and cmdEditTmp enabled exactly when cboTagSet shows a non-empty entry.
    void cboTagSet_Click();
    // Reads the chosen tag set afresh, placeholders expanded, wraps the selection and recolours.
    void cmdInsTag_Click();
    // The tag set editor on the chosen tag set.
    void cmdEditTmp_Click();
    // The tag set editor in free mode; the list is filled again afterwards.
    void mnuTSEdit_Click();

private:
    // Shows the editor modal; true when it ran in free mode.
    bool runEditor(qint16 mode, const QString &target);
    void refillList();

    app::frmMain &m_window;
};

} // namespace tagsets
