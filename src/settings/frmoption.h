#pragma once

#include "platform/commondialog.h"
#include "settings/appsettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace platform
{
class Prompter;
}

namespace settings
{

// The options dialog: font and colours, shell registration, reading and writing codes. It works
// on a copy of the settings; OK hands the edited copy back (settings()) after writing it to the
// store, Cancel and the close box drop it.
class frmOption : public QDialog
{
    Q_OBJECT
public:
    // The store, the prompter and the dialog backend outlive the dialog.
    frmOption(const AppSettings &current, SettingsStore &store, platform::Prompter &prompter,
              platform::DialogBackend &dialogs, QWidget *owner);

    // The settings as OK stored them; before OK, the settings the dialog was opened with.
    const AppSettings &settings() const { return m_settings; }
    // Working values shown by the controls.
    quint32 fontColor() const { return m_fontColor; }
    quint32 buttonColor(int index) const { return m_colors.at(size_t(index)); }

    QTabWidget *SSTab1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *labFontName = nullptr;
    QPushButton *cmdBrwFont = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    std::array<QPushButton *, 3> cmdColors{};
    QCheckBox *chkRelation = nullptr;
    QCheckBox *chkDefaultEditor = nullptr;
    QCheckBox *chkShowFullWidthSpace = nullptr;
    QCheckBox *chkCompleteEndTags = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label6 = nullptr;
    QWidget *Frame4 = nullptr;
    QWidget *Frame5 = nullptr;
    // Index = code: 0 Shift_JIS, 1 EUC-JP, 2 UTF-8.
    std::array<QRadioButton *, 3> optRead{};
    std::array<QRadioButton *, 3> optWrite{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    platform::CommonDialog cdlFandC;
    FontDescriptor fntDialog; // the working copy of the editor font

    void FillOptions();
    void StoreOptions();
    void cmdBrwFont_Click();
    void cmdColors_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void buildWindow();
    void showFontColor();
    void showFontName(const QString &name, double size);
    void showButtonColor(int index);

    AppSettings m_settings;
    SettingsStore &m_store;
    platform::Prompter &m_prompter;
    quint32 m_fontColor = 0;
    std::array<quint32, 3> m_colors{};
};

} // namespace settings
