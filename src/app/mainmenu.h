#pragma once

#include <QString>
#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace app
{

// The main window's menu tree. Every item is a QAction whose objectName is its control name.
struct MainMenu {
    QMenu *mnhFile = nullptr;
    QAction *mnuNewFile = nullptr;
    QAction *mnuOpenFile = nullptr;
    QMenu *mnuRecent = nullptr;
    std::array<QAction *, 10> mnuRList{};
    QAction *mnuSaveFile = nullptr;
    QAction *mnuSaveAs = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuPrinterConfig = nullptr;
    QAction *mnuQuit = nullptr;

    QMenu *mnhEdit = nullptr;
    QAction *mnuCut = nullptr;
    QAction *mnuCopy = nullptr;
    QAction *mnuPaste = nullptr;
    QAction *mnuFind = nullptr;
    QAction *mnuFindNext = nullptr;
    QAction *mnuReplace = nullptr;
    QAction *mnuFixSlip = nullptr;
    QAction *mnuFixAllSlips = nullptr;
    QAction *mnuLinkCheck = nullptr;
    QAction *mnuSiteReplace = nullptr;
    QAction *mnuSiteConvert = nullptr;

    QMenu *mnhView = nullptr;
    QAction *mnuToolbar = nullptr;
    QAction *mnuStatbar = nullptr;
    QAction *mnuPreview = nullptr;
    QAction *mnuDecorate = nullptr;
    QAction *mnuCheckPage = nullptr;
    QAction *mnuLivePreview = nullptr;

    QMenu *mnhConfig = nullptr;
    QAction *mnuTSEdit = nullptr;
    QAction *mnuOption = nullptr;

    QMenu *mnhHelp = nullptr;
    QAction *mnuHelp = nullptr;
    QAction *mnuAuthWeb = nullptr;
    QAction *mnuVersion = nullptr;
};

// Builds the menus with their captions, shortcuts and start states into the bar.
MainMenu buildMainMenu(QMenuBar *bar);

} // namespace app
