#pragma once

#include "tagsets/tagsetfolder.h"

#include <QDialog>
#include <QString>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace platform
{
class Prompter;
}

namespace tagsets
{

// How the tag set editor opens: on one given tag set whose choice is locked, or free to choose
// and create tag sets.
enum class EditMode : qint16 { OneTagSet = 1, Free = 2 };

// The tag set editor: choose a tag set, edit its before and after texts, insert placeholders,
// save, and create new tag sets. Set intMode (and strTarget for OneTagSet) before showing it; it
// loads when first shown.
class frmEditTagset final : public QDialog
{
    Q_OBJECT

public:
    // prompter asks the questions and shows the refusals; it is not owned and must outlive the
    // dialog. folder holds the tag set files.
    frmEditTagset(platform::Prompter &prompter, QWidget *owner,
                  const QString &folder = tagSetFolder());

    // OneTagSet: edit the tag set strTarget only; Free: free editing.
    EditMode intMode = EditMode::Free;
    QString strTarget;

    // True when OneTagSet could not open strTarget, so the dialog runs in free mode.
    bool fellBackToFreeMode() const { return m_fellBack; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The close box (and Alt+F4) asks about unsaved changes as the close button does.
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Resize();
    void cboTagSet_Click();
    void cboVar_Click();
    void cmdIns_Click();
    void cmdNew_Click();
    void cmdSave_Click();
    void cmdClose_Click();

    // False when the user wanted the changes saved and saving failed: the caller must stop.
    bool ConfirmSaveTagSet();
    // False, after telling the user why, when nothing was written.
    bool WriteTagSet(const QString &name);
    // Fills the boxes from the chosen tag set; the reason when it cannot be read.
    std::optional<QString> LoadTagSet();

    void openInMode1();
    void restoreChoice();
    void showError(const QString &text);

    platform::Prompter &m_prompter;
    QString m_folder;
    QString strCurrentTagSet;
    bool bolChanged = false;
    int intInsTarget = 1;
    int m_shownIndex = 0; // the entry cboTagSet showed before the user's latest choice
    bool m_loaded = false;
    bool m_fellBack = false;

    QLabel *Label1 = nullptr;
    QComboBox *cboTagSet = nullptr;
    QGroupBox *fraCont = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboVar = nullptr;
    QPushButton *cmdIns = nullptr;
    QPlainTextEdit *txtBefore = nullptr;
    QLabel *labCenter = nullptr;
    QPlainTextEdit *txtAfter = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;
};

} // namespace tagsets
