#include "app/frmmain.h"

#include "about/frmversion.h"
#include "app/coolbar.h"
#include "app/keystates.h"
#include "app/livemode.h"
#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "app/placement.h"
#include "app/preview.h"
#include "app/previewbrowser.h"
#include "app/printing.h"
#include "app/sizetext.h"
#include "check/editorassist.h"
#include "document/documentcontroller.h"
#include "files/documentpath.h"
#include "files/leftovers.h"
#include "files/recoveryfolder.h"
#include "files/scratchfiles.h"
#include "files/snapshotkeeper.h"
#include "links/frmlinkcheck.h"
#include "links/textpositions.h"
#include "livepreview/livepreview.h"
#include "livepreview/livesettings.h"
#include "markup/backgroundcolouring.h"
#include "platform/busywindow.h"
#include "platform/helpfile.h"
#include "platform/modal.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "platform/shellopen.h"
#include "search/findcommands.h"
#include "settings/applysettings.h"
#include "settings/freedesktopregistry.h"
#include "settings/optionscommand.h"
#include "settings/settings.h"
#include "settings/shellregistration.h"
#include "site/frmsiteconvert.h"
#include "site/frmsitereplace.h"
#include "tagsets/insertionpanel.h"
#include "tagsets/tagsetfolder.h"
#include "tagsets/tagsetlist.h"
#include "version.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QWindow>
#include <utility>

namespace app
{

namespace
{
const QString NewDocumentName = QStringLiteral("新規ファイル");
const QString CaptionSuffix = QStringLiteral(" - たぶれん");
// The project's page as the build sets it (cmake/install.cmake); empty: the help page's about
// section.
const QString AuthorWebAddress = QStringLiteral(TAVLEN_HOMEPAGE_URL);
constexpr int MinWidthPx = 400;
constexpr int MinHeightPx = 160;
} // namespace

frmMain::frmMain(platform::Platform &platform, QWidget *parent)
    : QMainWindow(parent), cdlFile(platform.dialogs, this), cdlPrint(platform.dialogs, this),
      m_platform(platform), m_registry(std::make_unique<settings::FreedesktopRegistry>())
{
    setObjectName(QStringLiteral("frmMain"));
    cdlFile.props.Filter = QStringLiteral("HTMLﾌｧｲﾙ(*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml");
    buildWindow();
    m_colouring = std::make_unique<markup::BackgroundColouring>(*rtbMain);
    connect(m_colouring.get(), &markup::BackgroundColouring::coloured, this,
            [this] { stbMain->Panels(QStringLiteral("Message"))->clear(); });
    connectHandlers();
    // Find next's key works as soon as there is a search word, before the Edit menu is opened.
    m_find = std::make_unique<search::FindCommands>(
        state, *rtbMain, platform.prompter, [this] { DecorateText(); }, *this,
        [this] { menu.mnuFindNext->setEnabled(!state.strFind.isEmpty()); });
    m_printing = std::make_unique<DocumentPrinter>(cdlPrint, *rtbMain);
    m_keyStates = std::make_unique<KeyStatePanels>(*stbMain, *rtbMain, nullptr);
    m_recovery = std::make_unique<files::SnapshotKeeper>(
        files::recoveryFolder(), [this]() -> std::optional<files::Snapshot> {
            if (!state.bolEditing)
                return std::nullopt;
            return m_documents->snapshot();
        });
    m_documents = std::make_unique<document::DocumentController>(
        document::DocumentContext{*this, platform.prompter, platform.store, AppSettings, state,
                                  *rtbMain, cdlFile, *m_recovery, effects()});
    m_tagPanel = std::make_unique<tagsets::InsertionPanel>(tagsets::PanelContext{
        *this, platform.prompter, AppSettings, *rtbMain, *clbMain->cboTagSet, *clbMain->cmdInsTag,
        *clbMain->cmdEditTmp, [this] { DecorateText(); }});
    connect(m_recovery.get(), &files::SnapshotKeeper::writeFailed, this,
            [this](const QString &reason) {
                stbMain->Panels(QStringLiteral("Message"))
                    ->setText(QStringLiteral("復元用の控えを書けませんでした: ") + reason);
            });
    m_preview = std::make_unique<PreviewController>(
        PreviewContext{*this, platform.prompter, *rtbMain, *brwPreview, state, AppSettings,
                       *menu.mnuPreview, effects().setPanelText,
                       m_recovery->enabled() ? m_recovery->folder() : QString(), m_recovery->id()});
    m_assist = std::make_unique<check::EditorAssist>(*rtbMain, [this](const QString &text) {
        stbMain->Panels(QStringLiteral("Message"))->setText(text);
    });
    m_live = std::make_unique<LiveMode>(
        LiveModeContext{*this, platform.prompter, *m_client, *rtbMain, state, AppSettings,
                        platform.store, *menu.mnuLivePreview, *menu.mnuPreview});
    applyChildGeometry();
}

frmMain::~frmMain() = default;

void frmMain::setCaption(const QString &path)
{
    setWindowTitle((path.isEmpty() ? NewDocumentName : path) + CaptionSuffix);
}

platform::WindowEffects frmMain::effects()
{
    return {[this](const QString &path) { setCaption(path); },
            [this](bool enabled) { menu.mnuSaveFile->setEnabled(enabled); },
            [this] { DecorateText(); }, [this] { RefreshRecentMenu(); },
            [this](const QString &panel, const QString &text) {
                if (QLabel *label = stbMain->Panels(panel))
                    label->setText(text);
            }};
}

void frmMain::buildWindow()
{
    setCaption(QString());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tavlen.svg")));
    menu = buildMainMenu(menuBar());

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    clbMain = new CoolBar(m_client);
    tlbMain = clbMain->tlbMain;
    shareToolBarCommands(*tlbMain, menu);
    rtbMain = new platform::RichTextBox(m_client);
    rtbMain->setFocus(Qt::OtherFocusReason); // the keys go to the text from the first moment
    brwPreview = new PreviewBrowser(m_client);
    brwPreview->hide();
    stbMain = new MainStatusBar(this);
    setStatusBar(stbMain);

    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    stbMain->setFixedHeight(platform::toPixels({0, 0, 0, 285}, tppX, tppY).height());
    setMinimumSize(MinWidthPx, MinHeightPx);
    // The designed client area is 9435 x 6945 twips below the menu bar, status bar included.
    const QRect client = platform::toPixels({0, 0, 9435, 6945}, tppX, tppY);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    applyChildGeometry();
}

void frmMain::connectHandlers()
{
    connect(menu.mnuNewFile, &QAction::triggered, this, &frmMain::mnuNewFile_Click);
    connect(menu.mnuOpenFile, &QAction::triggered, this, &frmMain::mnuOpenFile_Click);
    for (int k = 0; k < 10; ++k)
        connect(menu.mnuRList[size_t(k)], &QAction::triggered, this,
                [this, k] { mnuRList_Click(k); });
    connect(menu.mnuSaveFile, &QAction::triggered, this, &frmMain::mnuSaveFile_Click);
    connect(menu.mnuSaveAs, &QAction::triggered, this, &frmMain::mnuSaveAs_Click);
    connect(menu.mnuPrint, &QAction::triggered, this, &frmMain::mnuPrint_Click);
    connect(menu.mnuPrinterConfig, &QAction::triggered, this, &frmMain::mnuPrinterConfig_Click);
    connect(menu.mnuQuit, &QAction::triggered, this, &frmMain::mnuQuit_Click);
    connect(menu.mnhEdit, &QMenu::aboutToShow, this, &frmMain::mnhEdit_Click);
    connect(menu.mnuCut, &QAction::triggered, this, &frmMain::mnuCut_Click);
    connect(menu.mnuCopy, &QAction::triggered, this, &frmMain::mnuCopy_Click);
    connect(menu.mnuPaste, &QAction::triggered, this, &frmMain::mnuPaste_Click);
    connect(menu.mnuFind, &QAction::triggered, this, &frmMain::mnuFind_Click);
    connect(menu.mnuFindNext, &QAction::triggered, this, &frmMain::mnuFindNext_Click);
    connect(menu.mnuReplace, &QAction::triggered, this, &frmMain::mnuReplace_Click);
    connect(menu.mnuFixSlip, &QAction::triggered, this, &frmMain::mnuFixSlip_Click);
    connect(menu.mnuFixAllSlips, &QAction::triggered, this, &frmMain::mnuFixAllSlips_Click);
    connect(menu.mnuLinkCheck, &QAction::triggered, this, &frmMain::mnuLinkCheck_Click);
    connect(menu.mnuSiteReplace, &QAction::triggered, this, &frmMain::mnuSiteReplace_Click);
    connect(menu.mnuSiteConvert, &QAction::triggered, this, &frmMain::mnuSiteConvert_Click);
    connect(menu.mnuToolbar, &QAction::triggered, this, &frmMain::mnuToolbar_Click);
    connect(menu.mnuStatbar, &QAction::triggered, this, &frmMain::mnuStatbar_Click);
    connect(menu.mnuPreview, &QAction::triggered, this, &frmMain::mnuPreview_Click);
    connect(brwPreview, &PreviewBrowser::DocumentComplete, this,
            &frmMain::brwPreview_DocumentComplete);
    connect(menu.mnuLivePreview, &QAction::triggered, this, &frmMain::mnuLivePreview_Click);
    connect(menu.mnuDecorate, &QAction::triggered, this, &frmMain::mnuDecorate_Click);
    connect(menu.mnuCheckPage, &QAction::triggered, this, &frmMain::mnuCheckPage_Click);
    connect(menu.mnuTSEdit, &QAction::triggered, this, &frmMain::mnuTSEdit_Click);
    connect(menu.mnuOption, &QAction::triggered, this, &frmMain::mnuOption_Click);
    connect(menu.mnuHelp, &QAction::triggered, this, &frmMain::mnuHelp_Click);
    connect(menu.mnuAuthWeb, &QAction::triggered, this, &frmMain::mnuAuthWeb_Click);
    connect(menu.mnuVersion, &QAction::triggered, this, &frmMain::mnuVersion_Click);
    connect(clbMain->cboTagSet, &QComboBox::currentIndexChanged, this, &frmMain::cboTagSet_Click);
    connect(clbMain->cmdInsTag, &QPushButton::clicked, this, &frmMain::cmdInsTag_Click);
    connect(clbMain->cmdEditTmp, &QPushButton::clicked, this, &frmMain::cmdEditTmp_Click);
    connect(tlbMain, &MainToolBar::ButtonClick, this, &frmMain::tlbMain_ButtonClick);
    connect(rtbMain, &platform::RichTextBox::Change, this, &frmMain::rtbMain_Change);
    // The text an undo or a redo puts back is coloured once the undo is over.
    connect(rtbMain, &platform::RichTextBox::UndoRedo, this, &frmMain::DecorateText,
            Qt::QueuedConnection);
    connect(rtbMain, &platform::RichTextBox::SelChange, this, &frmMain::rtbMain_SelChange);
    connect(rtbMain, &platform::RichTextBox::OLEDragDrop, this, &frmMain::rtbMain_OLEDragDrop);
}

float frmMain::windowWidthTwips() const
{
    return float(width()) * platform::twipsPerPixelX(this);
}

float frmMain::windowHeightTwips() const
{
    return float(height()) * platform::twipsPerPixelY(this);
}

void frmMain::Form_Load(const QString &commandLine, ShowWindow showing)
{
    settings::WriteUpdateInfo(m_platform.store, buildinfo::VersionMajor, buildinfo::VersionMinor,
                              buildinfo::VersionRevision, QCoreApplication::applicationDirPath());
    m_platform.store.flush();
    m_layout.measure(windowWidthTwips(), windowHeightTwips());
    const QString tagSetProblem = tagsets::ListTagSets(*clbMain->cboTagSet);
    restorePlacement(*this, m_platform.store, QSize(MinWidthPx, MinHeightPx));
    settings::LoadSettings(m_platform.store, AppSettings);
    const QString recoveryProblem =
        m_recovery->enabled()
            ? QString()
            : QStringLiteral("復元用のフォルダー %1 を作れないか、書き込めません。"
                             "このままでは、プログラムが異常終了したときに"
                             "保存していない編集内容を取り戻せません。")
                  .arg(m_recovery->folder());
    // Temporary files of saves cut short by a crash, beside the recent files, the tag sets and
    // the recovery snapshots.
    files::removeWriteLeftovers(files::foldersOf(AppSettings.RecentFiles)
                                << tagsets::tagSetFolder() << files::recoveryFolder());
    // Preview pages of a copy that ended before their pages had loaded.
    files::removeRecordedScratchFiles(m_recovery->folder());
    ApplySettings();
    // Shown once it has its font and colours, before anything asks.
    if (showing == ShowWindow::BeforeQuestions)
        showBeforeQuestions();
    for (const QString &problem : {m_platform.store.problem(), tagSetProblem, recoveryProblem})
        if (!problem.isEmpty())
            m_platform.prompter.message(this, problem, QStringLiteral("警告"),
                                        platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
    // A path relative to the folder the program was started in names the file there, wherever
    // the program later writes or records it.
    if (!commandLine.isEmpty())
        OpenDocument(files::absoluteDocumentPath(commandLine, QDir::currentPath()));
    brwPreview->Navigate2(QUrl(QStringLiteral("about:blank")));
    state.bolEditing = false;
    Form_Resize();
    if (livepreview::readLiveShown(m_platform.store))
        m_live->setShown(true);
    m_documents->offerRecovery();
}

void frmMain::showBeforeQuestions()
{
    show();
    // A question centres itself over the window where the window manager has put it, so it
    // waits until the window is on the screen (not long: it is mapped at once). Keys and clicks
    // wait too, for the document they would go to is not there yet.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 50);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (isMinimized() || m_layout.baseWindowWidth <= 0)
        return;
    if (width() < MinWidthPx || height() < MinHeightPx) {
        resize(std::max(width(), MinWidthPx), std::max(height(), MinHeightPx));
        return; // the nested resize runs the same rule
    }
    m_layout.resize(windowWidthTwips(), windowHeightTwips());
    applyChildGeometry();
}

void frmMain::applyChildGeometry()
{
    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    clbMain->setGeometry(platform::toPixels(m_layout.coolBar, tppX, tppY));
    if (m_live)
        m_live->place(platform::toPixels(m_layout.editor, tppX, tppY));
    else
        rtbMain->setGeometry(platform::toPixels(m_layout.editor, tppX, tppY));
    brwPreview->setGeometry(platform::toPixels(m_layout.browser, tppX, tppY));
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

bool frmMain::Form_Unload()
{
    if (ConfirmSave())
        return false;
    m_recovery->discard();
    storePlacement(m_platform.store, *this);
    m_platform.store.flush();
    return true;
}

void frmMain::mnuQuit_Click()
{
    close();
}

void frmMain::mnuToolbar_Click()
{
    const bool checked = menu.mnuToolbar->isChecked(); // the action has already toggled
    m_layout.toolbarToggled(checked, m_layout.coolBar.Height);
    applyChildGeometry();
    clbMain->setVisible(checked);
}

void frmMain::mnuStatbar_Click()
{
    const bool checked = menu.mnuStatbar->isChecked();
    m_layout.statusbarToggled(checked, float(stbMain->height()) * platform::twipsPerPixelY(this));
    applyChildGeometry();
    stbMain->setVisible(checked);
}

void frmMain::tlbMain_ButtonClick(const QString &key)
{
    // A button runs its menu item's command, whether or not the menu item is enabled (the Paste
    // button works while the menu item waits for the Edit menu to open).
    QAction *command = key == QLatin1String("Find")
                           ? (state.strFind.isEmpty() ? menu.mnuFind : menu.mnuFindNext)
                           : menuCommand(menu, key);
    if (command)
        Q_EMIT command->triggered(command->isChecked());
}

void frmMain::rtbMain_Change()
{
    state.bolEditing = true;
    m_recovery->changed();
    stbMain->Panels(QStringLiteral("Size"))->setText(sizePanelText(rtbMain->byteCount()));
    if (m_live)
        m_live->preview().textChanged();
}

void frmMain::rtbMain_SelChange()
{
    if (m_live)
        m_live->preview().caretMoved();
    if (state.bolBusy)
        return;
    const bool s = rtbMain->SelLength() > 0;
    menu.mnuCut->setEnabled(s);
    menu.mnuCopy->setEnabled(s);
}

void frmMain::mnhEdit_Click()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    menu.mnuPaste->setEnabled(data && data->hasText());
    menu.mnuFindNext->setEnabled(!state.strFind.isEmpty());
}

void frmMain::mnuCut_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(rtbMain->clipboardText());
    rtbMain->setSelText(QString());
}

void frmMain::mnuCopy_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(rtbMain->clipboardText());
}

void frmMain::mnuPaste_Click()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) {
        m_platform.prompter.message(
            this, QStringLiteral("クリップボードにあるデータの形式が、テキストではありません。"),
            QStringLiteral("エラー"), platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    rtbMain->setSelText(data->text());
}

void frmMain::mnuDecorate_Click()
{
    DecorateText();
}

void frmMain::mnuCheckPage_Click()
{
    m_assist->checkPage();
}

void frmMain::mnuFixSlip_Click()
{
    if (!m_assist->fixSlipAtCaret())
        stbMain->Panels(QStringLiteral("Message"))
            ->setText(QStringLiteral("カーソルの位置に、直すタグの中の全角文字はありません。"));
}

void frmMain::mnuFixAllSlips_Click()
{
    const int fixed = m_assist->fixAllSlips();
    stbMain->Panels(QStringLiteral("Message"))
        ->setText(fixed > 0 ? QStringLiteral("タグの中の全角文字を %1 か所直しました。").arg(fixed)
                            : QStringLiteral("直すタグの中の全角文字はありません。"));
}

void frmMain::mnuHelp_Click()
{
    m_platform.shell.open(platform::helpFilePath(QCoreApplication::applicationDirPath()));
}

void frmMain::mnuAuthWeb_Click()
{
    m_platform.shell.open(AuthorWebAddress.isEmpty()
                              ? platform::aboutPageAddress(QCoreApplication::applicationDirPath())
                              : AuthorWebAddress);
}

void frmMain::mnuNewFile_Click()
{
    m_documents->newFile();
}

void frmMain::mnuOpenFile_Click()
{
    m_documents->openFile();
}

void frmMain::mnuRList_Click(int index)
{
    m_documents->openRecent(index);
}

void frmMain::mnuSaveFile_Click()
{
    m_documents->save();
    m_live->preview().saved();
}

void frmMain::mnuSaveAs_Click()
{
    m_documents->SaveDocumentAs();
    m_live->preview().saved();
}
void frmMain::mnuPrint_Click()
{
    m_recovery->writeNow(); // printing goes through drivers that may take the program down
    if (const std::optional<QString> failure = m_printing->print())
        stbMain->Panels(QStringLiteral("Message"))
            ->setText(QStringLiteral("印刷できませんでした: ") + *failure);
}

void frmMain::mnuPrinterConfig_Click()
{
    m_printing->setup();
}

void frmMain::mnuFind_Click()
{
    m_find->showDialog(false);
}

void frmMain::mnuFindNext_Click()
{
    m_find->findNext();
}

void frmMain::mnuReplace_Click()
{
    m_find->showDialog(true);
}

void frmMain::mnuLinkCheck_Click()
{
    if (!m_linkCheck)
        m_linkCheck = new links::frmLinkCheck(
            m_platform.prompter,
            [this](const QString &path, qsizetype line, qsizetype column) {
                OpenLinkFinding(path, line, column);
            },
            this);
    m_linkCheck->showFor(state.strFilePath.isEmpty() ? state.strFileFolder
                                                     : QFileInfo(state.strFilePath).path());
}

void frmMain::OpenLinkFinding(const QString &path, qsizetype line, qsizetype column)
{
    if (path != state.strFilePath && (ConfirmSave() || !m_documents->OpenDocument(path)))
        return;
    rtbMain->finishFill();
    // The editor's positions count a line break (CR LF in its text) as one.
    const QString text = rtbMain->Text();
    const qsizetype index = links::indexAt(text, line, column);
    rtbMain->setSelStart(int(index - QStringView(text).left(index).count(u"\r\n")));
    rtbMain->setSelLength(0);
    activateWindow();
    raise();
    rtbMain->setFocus();
}

void frmMain::mnuSiteReplace_Click()
{
    if (!m_siteWindow)
        m_siteWindow = new site::frmSiteReplace(
            {m_platform.prompter, *rtbMain, [this] { return state.strFilePath; },
             [this](const QString &path) {
                 return !m_documents->ConfirmSave() && m_documents->OpenDocument(path);
             }},
            this);
    m_siteWindow->showFor(state.strFilePath.isEmpty() ? QString()
                                                      : QFileInfo(state.strFilePath).path());
}

void frmMain::mnuSiteConvert_Click()
{
    if (!m_convertWindow)
        m_convertWindow = new site::frmSiteConvert(
            {m_platform.prompter, *rtbMain, [this] { return state.strFilePath; },
             [this](const QString &path) {
                 return !m_documents->ConfirmSave() && m_documents->OpenDocument(path);
             }},
            this);
    m_convertWindow->showFor(state.strFilePath.isEmpty() ? QString()
                                                         : QFileInfo(state.strFilePath).path());
}

void frmMain::mnuPreview_Click()
{
    // The menu item and the button are one command, already toggled.
    const bool preview = menu.mnuPreview->isChecked();
    if (preview)
        m_recovery->writeNow(); // the browser engine starts or loads a page: keep the text first
    m_preview->SwitchMode(preview);
    m_live->previewSwitched(menu.mnuPreview->isChecked());
}

void frmMain::mnuLivePreview_Click()
{
    m_live->setShown(menu.mnuLivePreview->isChecked());
}

void frmMain::brwPreview_DocumentComplete(const QUrl &url)
{
    m_preview->DocumentComplete(url);
}
void frmMain::mnuTSEdit_Click()
{
    m_tagPanel->mnuTSEdit_Click();
}

void frmMain::mnuOption_Click()
{
    settings::OptionsCommand(*this, AppSettings, m_platform, [this] { return ApplySettings(); });
}
void frmMain::mnuVersion_Click()
{
    frmVersion dialog(m_platform.prompter, m_versionKeys, this);
    platform::execModal(dialog);
}

void frmMain::cboTagSet_Click()
{
    m_tagPanel->cboTagSet_Click();
}

void frmMain::cmdInsTag_Click()
{
    m_tagPanel->cmdInsTag_Click();
}

void frmMain::cmdEditTmp_Click()
{
    m_tagPanel->cmdEditTmp_Click();
}

void frmMain::rtbMain_OLEDragDrop(const QMimeData *data)
{
    m_documents->dropped(data);
}

void frmMain::OpenDocument(const QString &path)
{
    m_documents->OpenDocument(path);
}

bool frmMain::ConfirmSave()
{
    return m_documents->ConfirmSave();
}

void frmMain::DecorateText()
{
    if (state.bolBusy)
        return;
    state.bolBusy = true;
    QLabel *message = stbMain->Panels(QStringLiteral("Message"));
    {
        const platform::BusyWindow busy(*this);
        message->setText(QStringLiteral("文字色分け処理中..."));
        // A big page gets its first lines' colours now and the rest from a worker; the message
        // stays until they are in.
        if (!m_colouring->colour(
                {AppSettings.FontColor, AppSettings.TagColor, AppSettings.CommentColor}))
            message->clear();
    }
    state.bolBusy = false;
}

std::optional<QString> frmMain::ApplySettings()
{
    m_assist->setShowFullWidthSpace(AppSettings.ShowFullWidthSpace);
    m_assist->setCompleteEndTags(AppSettings.CompleteEndTags);
    return settings::ApplySettings(
        AppSettings,
        {*rtbMain, effects().setPanelText, state, [this] { DecorateText(); },
         [this] { RefreshRecentMenu(); }},
        {*m_registry, settings::LaunchCommand(QCoreApplication::applicationFilePath())});
}

void frmMain::RefreshRecentMenu()
{
    for (int k = 0; k < 10; ++k) {
        const QString &e = AppSettings.RecentFiles[size_t(k)];
        QAction *entry = menu.mnuRList[size_t(k)];
        entry->setText(e.isEmpty() ? QStringLiteral("(なし)") : e);
        entry->setEnabled(!e.isEmpty());
        entry->setVisible(k == 0 || !e.isEmpty());
    }
}

} // namespace app
