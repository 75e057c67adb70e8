#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QPushButton;
class QWidget;

namespace platform
{
class Prompter;
class RichTextBox;
} // namespace platform

namespace settings
{
struct AppSettings;
}

namespace tagsets
{

enum class EditMode : qint16;

// Wraps the editor's selection between before and after as one undo step and leaves the caret
// after the after text, nothing selected.
void wrapSelection(platform::RichTextBox &editor, const QString &before, const QString &after);

// What the panel works on. Non-owning: the window and its parts outlive the panel.
struct PanelContext {
    QWidget &window; // the parent of the tag set editor and of messages
    platform::Prompter &prompter;
    const settings::AppSettings &settings;
    platform::RichTextBox &editor;
    QComboBox &cboTagSet;
    QPushButton &cmdInsTag;
    QPushButton &cmdEditTmp;
    std::function<void()> recolour;
};

// The tag set panel of the main window (cboTagSet, cmdInsTag, cmdEditTmp) and the tag set
// editor command.
class InsertionPanel
{
public:
    explicit InsertionPanel(PanelContext context) : m_c(std::move(context)) {}

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
    bool runEditor(EditMode mode, const QString &target);
    void refillList();

    PanelContext m_c;
};

} // namespace tagsets
