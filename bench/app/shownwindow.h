#pragma once

#include "testwindow.h"

#include <QString>
#include <QTest>

#include <cstdio>

namespace benchsupport
{

// Loads the main window with no document, at width by height, shows it and waits until it is
// on the screen (says so on stderr when it never gets there).
inline void showEmptyWindow(testsupport::TestWindow &w, int width, int height)
{
    w.Form_Load(QString());
    w.resize(width, height);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        std::fputs("the window was not exposed\n", stderr);
}

} // namespace benchsupport
