#pragma once

#include "about/keybuffer.h"
#include "app/mainlayout.h"
#include "app/mainmenu.h"
#include "platform/commondialog.h"
#include "platform/platform.h"
#include "platform/sharedstate.h"
#include "platform/windoweffects.h"
#include "settings/appsettings.h"
#include "settings/registry.h"

#include <QMainWindow>
#include <memory>

class QMimeData;
class QUrl;

namespace check
{
class EditorAssist;
}

namespace document
{
class DocumentController;
} // namespace document

namespace files
{
class SnapshotKeeper;
} // namespace files
namespace links
{
class frmLinkCheck;
}

namespace search
{
class FindCommands;
}

namespace site
{
class frmSiteReplace;
class frmSiteConvert;
} // namespace site

namespace tagsets
{
class InsertionPanel;
}

namespace platform
{
class RichTextBox;
} // namespace platform

namespace markup
{
class BackgroundColouring;
}

namespace app
{

class CoolBar;
class DocumentPrinter;
class KeyStatePanels;
class LiveMode;
class MainStatusBar;
class MainToolBar;
class PreviewBrowser;
class PreviewController;

// The main window: owns the editor, the browser, the bars and the document state, and forwards
// every command to the part of the program that does the work.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(platform::Platform &platform, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up, run once. commandLine: the program's arguments joined by single spaces; a
    // non-empty one is opened as a document. With ShowWindow::BeforeQuestions the window is shown
    // once it is placed, so that the questions of start-up (a settings file that cannot be read,
    // a page's encoding, unsaved work to recover) open over it; with ShowWindow::Later the caller
    // shows it.
    enum class ShowWindow { Later, BeforeQuestions };
    void Form_Load(const QString &commandLine, ShowWindow show = ShowWindow::Later);

    // Document procedures used by several commands.
    void OpenDocument(const QString &path);
    bool ConfirmSave();
    void DecorateText();
    // Shows the settings in the window; the reason a shell entry could not be changed, if any.
    std::optional<QString> ApplySettings();
    void RefreshRecentMenu();

    // Handlers of the menus, the tool bar and the editor.
    void mnuNewFile_Click();
    void mnuOpenFile_Click();
    void mnuRList_Click(int index);
    void mnuSaveFile_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuPrinterConfig_Click();
    void mnuQuit_Click();
    void mnhEdit_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuFind_Click();
    void mnuFindNext_Click();
    void mnuReplace_Click();
    void mnuFixSlip_Click();
    void mnuFixAllSlips_Click();
    void mnuLinkCheck_Click();
    // Opens the page of a link finding (after the unsaved-changes question) at line and column.
    void OpenLinkFinding(const QString &path, qsizetype line, qsizetype column);
    void mnuSiteReplace_Click();
    void mnuSiteConvert_Click();
    void mnuToolbar_Click();
    void mnuStatbar_Click();
    void mnuPreview_Click();
    void brwPreview_DocumentComplete(const QUrl &url);
    void mnuLivePreview_Click();
    void mnuDecorate_Click();
    void mnuCheckPage_Click();
    void mnuTSEdit_Click();
    void mnuOption_Click();
    void mnuHelp_Click();
    void mnuAuthWeb_Click();
    void mnuVersion_Click();
    void cboTagSet_Click();
    void cmdInsTag_Click();
    void cmdEditTmp_Click();
    void tlbMain_ButtonClick(const QString &key);
    void rtbMain_Change();
    void rtbMain_SelChange();
    void rtbMain_OLEDragDrop(const QMimeData *data);

protected:
    // The window's parts: what a test fixture derived from the window looks at and scripts.
    platform::SharedState &sharedState() { return state; }
    settings::AppSettings &appSettings() { return AppSettings; }
    platform::RichTextBox *editor() const { return rtbMain; }
    PreviewBrowser *browser() const { return brwPreview; }
    CoolBar *coolBar() const { return clbMain; }
    MainToolBar *toolBar() const { return tlbMain; }
    MainStatusBar *statusPanels() const { return stbMain; }
    const MainMenu &mainMenu() const { return menu; }
    platform::CommonDialog &fileDialog() { return cdlFile; }

    const MainLayout &layoutBase() const { return m_layout; }
    // Where the shell entries go (the desktop's, unless a test puts another registry here).
    settings::Registry &registry() { return *m_registry; }
    void setRegistry(std::unique_ptr<settings::Registry> r) { m_registry = std::move(r); }
    // The document commands, reading and writing, and the recent-file list.
    document::DocumentController &documents() { return *m_documents; }
    // The snapshot of the unsaved document that survives a crash.
    files::SnapshotKeeper &recovery() { return *m_recovery; }
    // Find, Replace and Find next with the find dialog; print and printer setup.
    search::FindCommands &findCommands() { return *m_find; }
    DocumentPrinter &printing() { return *m_printing; }
    // The editor and the live preview side by side.
    LiveMode &liveMode() { return *m_live; }

    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The caption for the document at path; an empty path is a new document.
    void setCaption(const QString &path);
    // What the window's collaborators may change in it.
    platform::WindowEffects effects();
    void Form_Resize();
    bool Form_Unload();
    void buildWindow();
    void connectHandlers();
    void applyChildGeometry();
    void showBeforeQuestions();
    float windowWidthTwips() const;
    float windowHeightTwips() const;

    platform::SharedState state;
    settings::AppSettings AppSettings;

    platform::RichTextBox *rtbMain = nullptr;
    PreviewBrowser *brwPreview = nullptr;
    CoolBar *clbMain = nullptr;
    MainToolBar *tlbMain = nullptr;
    MainStatusBar *stbMain = nullptr;
    MainMenu menu;
    platform::CommonDialog cdlFile;
    platform::CommonDialog cdlPrint;

    platform::Platform &m_platform;
    MainLayout m_layout;
    about::KeyBuffer m_versionKeys; // the version dialog's keys, kept for the whole run
    QWidget *m_client = nullptr;
    std::unique_ptr<settings::Registry> m_registry;
    std::unique_ptr<document::DocumentController> m_documents;
    std::unique_ptr<files::SnapshotKeeper> m_recovery;
    std::unique_ptr<tagsets::InsertionPanel> m_tagPanel;
    std::unique_ptr<search::FindCommands> m_find;
    site::frmSiteReplace *m_siteWindow = nullptr;    // made on first use, a child of the window
    site::frmSiteConvert *m_convertWindow = nullptr; // the same
    std::unique_ptr<DocumentPrinter> m_printing;
    std::unique_ptr<PreviewController> m_preview;
    std::unique_ptr<check::EditorAssist> m_assist;
    std::unique_ptr<LiveMode> m_live;
    std::unique_ptr<KeyStatePanels> m_keyStates; // goes before the bars it writes to
    std::unique_ptr<markup::BackgroundColouring> m_colouring;
    links::frmLinkCheck *m_linkCheck = nullptr; // made on first use, a child of the window
};

} // namespace app
