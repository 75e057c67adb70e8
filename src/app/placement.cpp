#include "app/placement.h"

#include "platform/twips.h"
#include "settings/windowplacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace app
{

void restorePlacement(QWidget &window, const settings::SettingsStore &store, QSize minimum)
{
    const settings::WindowPlacement p = settings::ReadWindowPlacement(store);
    if (p.Maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    const float tppX = twipsPerPixelX(&window);
    const float tppY = twipsPerPixelY(&window);
    QRect target = window.frameGeometry();
    if (p.Left >= 0)
        target.moveLeft(int(std::lround(p.Left / tppX)));
    if (p.Top >= 0)
        target.moveTop(int(std::lround(p.Top / tppY)));
    QSize size = window.size();
    if (p.Width >= 0)
        size.setWidth(int(std::lround(p.Width / tppX)));
    if (p.Height >= 0)
        size.setHeight(int(std::lround(p.Height / tppY)));
    target.setSize(size);
    // A position that lies entirely off every screen keeps the designed position.
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(target);
    if (onScreen && (p.Left >= 0 || p.Top >= 0))
        window.move(target.topLeft());
    window.resize(size.expandedTo(minimum));
}

void storePlacement(settings::SettingsStore &store, const QWidget &window)
{
    settings::WindowState state = settings::WindowState::Normal;
    if (window.isMinimized())
        state = settings::WindowState::Minimized;
    else if (window.isMaximized())
        state = settings::WindowState::Maximized;
    const float tppX = twipsPerPixelX(&window);
    const float tppY = twipsPerPixelY(&window);
    settings::WriteWindowPlacement(store, state, float(window.pos().x()) * tppX,
                                   float(window.pos().y()) * tppY, float(window.width()) * tppX,
                                   float(window.height()) * tppY);
}

} // namespace app
