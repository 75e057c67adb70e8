#include "app/mainmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace app
{

namespace
{

QMenu *header(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction *item(QMenu *menu, const char *name, const QString &caption,
              const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void separator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

} // namespace

MainMenu buildMainMenu(QMenuBar *bar)
{
    MainMenu m;
    m.mnhFile = header(bar, "mnhFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    m.mnuNewFile = item(m.mnhFile, "mnuNewFile", QStringLiteral("新規作成(&N)..."),
                        QKeySequence(Qt::CTRL | Qt::Key_N));
    m.mnuOpenFile = item(m.mnhFile, "mnuOpenFile", QStringLiteral("開く(&O)..."),
                         QKeySequence(Qt::CTRL | Qt::Key_O));
    m.mnuRecent = m.mnhFile->addMenu(QStringLiteral("最近開いたﾌｧｲﾙ(&R)"));
    m.mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    m.mnuRecent->menuAction()->setObjectName(QStringLiteral("mnuRecent"));
    for (int k = 0; k < 10; ++k) {
        QAction *entry = m.mnuRecent->addAction(QStringLiteral("(なし)"));
        entry->setObjectName(QStringLiteral("mnuRList%1").arg(k));
        entry->setEnabled(false);
        entry->setVisible(k == 0);
        m.mnuRList[size_t(k)] = entry;
    }
    separator(m.mnhFile, "MNSEP01");
    m.mnuSaveFile = item(m.mnhFile, "mnuSaveFile", QStringLiteral("上書き保存(&S)"),
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    m.mnuSaveFile->setEnabled(false);
    m.mnuSaveAs = item(m.mnhFile, "mnuSaveAs", QStringLiteral("名前を付けて保存(&E)..."),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    separator(m.mnhFile, "MNUSEP02");
    m.mnuPrint = item(m.mnhFile, "mnuPrint", QStringLiteral("印刷(&P)..."),
                      QKeySequence(Qt::CTRL | Qt::Key_P));
    m.mnuPrinterConfig = item(m.mnhFile, "mnuPrinterConfig", QStringLiteral("ﾌﾟﾘﾝﾀの設定(&C)"));
    separator(m.mnhFile, "MNUSEP03");
    m.mnuQuit =
        item(m.mnhFile, "mnuQuit", QStringLiteral("終了(&Q)"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    m.mnhEdit = header(bar, "mnhEdit", QStringLiteral("編集(&E)"));
    m.mnuCut = item(m.mnhEdit, "mnuCut", QStringLiteral("切り取り(&X)"));
    m.mnuCopy = item(m.mnhEdit, "mnuCopy", QStringLiteral("コピー"));
    m.mnuPaste = item(m.mnhEdit, "mnuPaste", QStringLiteral("貼り付け(&V)"));
    m.mnuCut->setEnabled(false);
    m.mnuCopy->setEnabled(false);
    m.mnuPaste->setEnabled(false);
    separator(m.mnhEdit, "MNUSEP04");
    m.mnuFind = item(m.mnhEdit, "mnuFind", QStringLiteral("検索(&E)..."),
                     QKeySequence(Qt::CTRL | Qt::Key_F));
    m.mnuFindNext =
        item(m.mnhEdit, "mnuFindNext", QStringLiteral("次を検索(&N)"), QKeySequence(Qt::Key_F3));
    m.mnuFindNext->setEnabled(false);
    m.mnuReplace = item(m.mnhEdit, "mnuReplace", QStringLiteral("置換(&L)..."),
                        QKeySequence(Qt::CTRL | Qt::Key_L));
    separator(m.mnhEdit, "MNUSEP08");
    m.mnuFixSlip = item(m.mnhEdit, "mnuFixSlip", QStringLiteral("タグの中の全角文字を直す(&Z)"));
    m.mnuFixAllSlips =
        item(m.mnhEdit, "mnuFixAllSlips", QStringLiteral("タグの中の全角文字をすべて直す(&A)"));
    m.mnuLinkCheck = item(m.mnhEdit, "mnuLinkCheck", QStringLiteral("リンクの検査(&K)..."));
    m.mnuSiteReplace =
        item(m.mnhEdit, "mnuSiteReplace", QStringLiteral("フォルダー内の検索と置換(&F)..."),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    m.mnuSiteConvert =
        item(m.mnhEdit, "mnuSiteConvert", QStringLiteral("フォルダーの文字コード変換(&J)..."));

    m.mnhView = header(bar, "mnhView", QStringLiteral("表示(&V)"));
    m.mnuToolbar = item(m.mnhView, "mnuToolbar", QStringLiteral("ﾂｰﾙﾊﾞｰ(&T)"));
    m.mnuToolbar->setCheckable(true);
    m.mnuToolbar->setChecked(true);
    m.mnuStatbar = item(m.mnhView, "mnuStatbar", QStringLiteral("ｽﾃｰﾀｽﾊﾞｰ(&S)"));
    m.mnuStatbar->setCheckable(true);
    m.mnuStatbar->setChecked(true);
    separator(m.mnhView, "MNUSEP05");
    m.mnuPreview = item(m.mnhView, "mnuPreview", QStringLiteral("ﾌﾟﾚﾋﾞｭｰ(&W)"),
                        QKeySequence(Qt::CTRL | Qt::Key_W));
    m.mnuPreview->setCheckable(true);
    m.mnuDecorate = item(m.mnhView, "mnuDecorate", QStringLiteral("色分け実行(&C)"),
                         QKeySequence(Qt::CTRL | Qt::Key_G));
    m.mnuCheckPage = item(m.mnhView, "mnuCheckPage", QStringLiteral("このページを検査(&I)..."),
                          QKeySequence(Qt::Key_F7));
    m.mnuLivePreview = item(m.mnhView, "mnuLivePreview", QStringLiteral("ﾗｲﾌﾞﾌﾟﾚﾋﾞｭｰ(&L)"),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    m.mnuLivePreview->setCheckable(true);

    m.mnhConfig = header(bar, "mnhConfig", QStringLiteral("設定(&C)"));
    m.mnuTSEdit = item(m.mnhConfig, "mnuTSEdit", QStringLiteral("ﾀｸﾞｾｯﾄｴﾃﾞｨﾀ(&T)..."),
                       QKeySequence(Qt::CTRL | Qt::Key_T));
    separator(m.mnhConfig, "MNUSEP06");
    m.mnuOption = item(m.mnhConfig, "mnuOption", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)..."),
                       QKeySequence(Qt::CTRL | Qt::Key_M));

    m.mnhHelp = header(bar, "mnhHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m.mnuHelp =
        item(m.mnhHelp, "mnuHelp", QStringLiteral("ﾍﾙﾌﾟを開く(&H)..."), QKeySequence(Qt::Key_F1));
    m.mnuAuthWeb = item(m.mnhHelp, "mnuAuthWeb", QStringLiteral("作者ﾎｰﾑﾍﾟｰｼﾞを開く(&K)..."),
                        QKeySequence(Qt::CTRL | Qt::Key_K));
    separator(m.mnhHelp, "MNUSEP07");
    m.mnuVersion = item(m.mnhHelp, "mnuVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&R)..."),
                        QKeySequence(Qt::CTRL | Qt::Key_R));
    return m;
}

} // namespace app
