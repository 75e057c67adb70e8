#include "app/mainlayout.h"

namespace app
{

void MainLayout::measure(float windowWidth, float windowHeight)
{
    baseWindowWidth = windowWidth;
    baseWindowHeight = windowHeight;
    baseCoolBarWidth = coolBar.Width;
    baseEditorWidth = editor.Width;
    baseEditorHeight = editor.Height;
}

void MainLayout::resize(float windowWidth, float windowHeight)
{
    const float dW = windowWidth - baseWindowWidth;
    const float dH = windowHeight - baseWindowHeight;
    editor.Width = baseEditorWidth + dW;
    editor.Height = baseEditorHeight + dH;
    browser.Width = editor.Width;
    browser.Height = editor.Height;
    coolBar.Width = baseCoolBarWidth + dW;
}

void MainLayout::toolbarToggled(bool checked, float h)
{
    if (checked) {
        baseEditorHeight -= h;
        editor.Height -= h;
        editor.Top += h;
    } else {
        baseEditorHeight += h;
        editor.Height += h;
        editor.Top -= h;
    }
    browser.Height = editor.Height;
    // The browser stands where the editor stands, so preview follows the cool bar too.
    browser.Top = editor.Top - (975 - 960);
}

void MainLayout::statusbarToggled(bool checked, float h)
{
    if (checked) {
        baseEditorHeight -= h;
        editor.Height -= h;
    } else {
        baseEditorHeight += h;
        editor.Height += h;
    }
    browser.Height = editor.Height;
}

} // namespace app
