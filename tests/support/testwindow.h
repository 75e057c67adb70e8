#pragma once

#include "app/frmmain.h"

namespace testsupport
{

// The main window with its parts in reach: what tests and benchmarks look at and script.
class TestWindow : public app::frmMain
{
public:
    using frmMain::frmMain;

    using frmMain::appSettings;
    using frmMain::browser;
    using frmMain::coolBar;
    using frmMain::documents;
    using frmMain::editor;
    using frmMain::fileDialog;
    using frmMain::findCommands;
    using frmMain::layoutBase;
    using frmMain::liveMode;
    using frmMain::mainMenu;
    using frmMain::printing;
    using frmMain::recovery;
    using frmMain::registry;
    using frmMain::setRegistry;
    using frmMain::sharedState;
    using frmMain::statusPanels;
    using frmMain::toolBar;
};

} // namespace testsupport
