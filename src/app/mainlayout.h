#pragma once

#include "platform/twips.h"

namespace app
{

// The main window's layout base and the rules that keep the cool bar, the editor and the browser
// in step with the window's size and with the tool bar and status bar toggles. All in twips.
struct MainLayout {
    // Designed positions and sizes of the children (client coordinates).
    platform::TwipsRect coolBar{15, 15, 9375, 900};
    platform::TwipsRect editor{15, 975, 9375, 5565};
    platform::TwipsRect browser{15, 960, 9375, 5565};

    float baseWindowWidth = 0;
    float baseWindowHeight = 0;
    float baseCoolBarWidth = 0;
    float baseEditorWidth = 0;
    float baseEditorHeight = 0;

    // Fixes the base from the window as designed, before any saved placement is applied.
    void measure(float windowWidth, float windowHeight);
    // Follows a new window size (already at least the minimum size).
    void resize(float windowWidth, float windowHeight);
    // The cool bar of height h was shown (checked) or hidden.
    void toolbarToggled(bool checked, float h);
    // The status bar of height h was shown (checked) or hidden.
    void statusbarToggled(bool checked, float h);
};

} // namespace app
