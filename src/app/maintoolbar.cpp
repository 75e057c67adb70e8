#include "app/maintoolbar.h"

#include "app/mainmenu.h"

#include <QAction>
#include <QIcon>

namespace app
{

MainToolBar::MainToolBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tlbMain"));
    setIconSize(QSize(16, 16));
    setMovable(false);
    setFloatable(false);
    addButton(QStringLiteral("New"), QStringLiteral("新規作成"), QStringLiteral("new"), false);
    addButton(QStringLiteral("Open"), QStringLiteral("開く"), QStringLiteral("open"), false);
    addButton(QStringLiteral("Save"), QStringLiteral("上書き保存"), QStringLiteral("save"), false);
    addButton(QStringLiteral("Print"), QStringLiteral("印刷"), QStringLiteral("print"), false);
    addSeparator();
    addButton(QStringLiteral("Cut"), QStringLiteral("切り取り"), QStringLiteral("cut"), false);
    addButton(QStringLiteral("Copy"), QStringLiteral("コピー"), QStringLiteral("copy"), false);
    addButton(QStringLiteral("Paste"), QStringLiteral("貼り付け"), QStringLiteral("paste"), false);
    addButton(QStringLiteral("Find"), QStringLiteral("検索"), QStringLiteral("find"), false);
    addSeparator();
    addButton(QStringLiteral("Preview"), QStringLiteral("プレビュー"), QStringLiteral("preview"),
              true);
    addButton(QStringLiteral("Decorate"), QStringLiteral("色分け"), QStringLiteral("decorate"),
              false);
    addSeparator();
    addButton(QStringLiteral("Editor"), QStringLiteral("タグセットエディタ"),
              QStringLiteral("editor"), false);
    addButton(QStringLiteral("Option"), QStringLiteral("オプション"), QStringLiteral("option"),
              false);
    addSeparator();
    addButton(QStringLiteral("Help"), QStringLiteral("ヘルプ"), QStringLiteral("help"), false);
    // Save starts disabled; Cut and Copy follow the selection.
    m_buttons.value(QStringLiteral("Save"))->setEnabled(false);
    m_buttons.value(QStringLiteral("Cut"))->setEnabled(false);
    m_buttons.value(QStringLiteral("Copy"))->setEnabled(false);
}

void MainToolBar::addButton(const QString &key, const QString &tip, const QString &icon,
                            bool checkable)
{
    QAction *action = addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)), tip);
    action->setObjectName(QStringLiteral("tlb") + key);
    action->setData(key);
    action->setToolTip(tip);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, key] { Q_EMIT ButtonClick(key); });
    m_buttons.insert(key, action);
    m_order.append(key);
}

void MainToolBar::share(const QString &key, QAction *command)
{
    QAction *own = m_buttons.value(key);
    if (!own || !command)
        return;
    command->setIcon(own->icon());
    command->setIconVisibleInMenu(false);
    command->setToolTip(own->toolTip());
    insertAction(own, command);
    removeAction(own);
    delete own;
    m_buttons.insert(key, command);
}

QAction *menuCommand(const MainMenu &menu, const QString &key)
{
    const std::pair<const char *, QAction *> commands[] = {
        {"New", menu.mnuNewFile},   {"Open", menu.mnuOpenFile},   {"Save", menu.mnuSaveFile},
        {"Print", menu.mnuPrint},   {"Cut", menu.mnuCut},         {"Copy", menu.mnuCopy},
        {"Paste", menu.mnuPaste},   {"Preview", menu.mnuPreview}, {"Decorate", menu.mnuDecorate},
        {"Editor", menu.mnuTSEdit}, {"Option", menu.mnuOption},   {"Help", menu.mnuHelp}};
    for (const auto &[name, action] : commands)
        if (key == QLatin1String(name))
            return action;
    return nullptr;
}

void shareToolBarCommands(MainToolBar &bar, const MainMenu &menu)
{
    for (const QString &key : bar.keys())
        if (key != QLatin1String("Paste"))
            bar.share(key, menuCommand(menu, key));
}

} // namespace app
