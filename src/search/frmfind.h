#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform
{
class Prompter;
class RichTextBox;
struct SharedState;
} // namespace platform

namespace search
{

// The find and replace dialog: modeless, owned by the main window. bolSw chooses the mode
// (true: replace, false: find) and is set before the dialog is shown.
class frmFind : public QDialog
{
    Q_OBJECT
public:
    // state, editor and prompter belong to the main window and outlive the dialog; decorate
    // recolours the editor (the main window's DecorateText).
    frmFind(platform::SharedState &state, platform::RichTextBox &editor,
            platform::Prompter &prompter, std::function<void()> decorate, QWidget *owner);

    bool bolSw = false;

    QLabel *Label1 = nullptr;
    QLineEdit *txtWord = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtReplace = nullptr;
    QFrame *fraRegExp = nullptr;
    QCheckBox *chkRegExp = nullptr;
    QCheckBox *chkGlobal = nullptr;
    QCheckBox *chkCase = nullptr;
    QPushButton *cmdGo = nullptr;
    QPushButton *cmdClose = nullptr;

    // Loading: takes over the search word (last search, else the clipboard's text), then lays
    // the dialog out for the mode in bolSw.
    void Form_Load();
    // Layout, captions and action button for the mode in bolSw.
    void applyMode();

    void cmdGo_Click();
    void cmdClose_Click();
    void chkRegExp_Click();

Q_SIGNALS:
    // The search word in the shared state was set (a search ran).
    void SearchWordSet();

private:
    void buildControls();
    void findWord();
    void replaceAll();
    // Replaces as the dialog says, as one edit; false when the pattern could not be used (said).
    bool putReplacementsBack();

    platform::SharedState &m_state;
    platform::RichTextBox &m_editor;
    platform::Prompter &m_prompter;
    std::function<void()> m_decorate;
};

} // namespace search
