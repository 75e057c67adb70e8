#include "app/placement.h"

#include "platform/twips.h"
#include "settings/windowplacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace app
{

namespace
{

// The frame the window manager puts around the window: known once the window has been shown,
// before that a title bar and thin borders as most desktops draw them.
QMargins frameOf(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    if (frame != inner)
        return {inner.left() - frame.left(), inner.top() - frame.top(),
                frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    return {4, 32, 4, 4};
}

// The screen that holds the most of the rectangle; nullptr when it lies off every screen.
const QScreen *screenHolding(const QRect &rect)
{
    const QScreen *best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

} // namespace

QRect fitWithin(QRect frame, const QRect &available, QSize minimum)
{
    frame.setWidth(std::max(std::min(frame.width(), available.width()), minimum.width()));
    frame.setHeight(std::max(std::min(frame.height(), available.height()), minimum.height()));
    // The far edges first, then the near ones: a frame bigger than the area keeps its top-left
    // corner in reach.
    frame.moveRight(std::min(frame.right(), available.right()));
    frame.moveBottom(std::min(frame.bottom(), available.bottom()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    return frame;
}

void restorePlacement(QWidget &window, const settings::SettingsStore &store, QSize minimum)
{
    const settings::WindowPlacement p = settings::ReadWindowPlacement(store);
    if (p.Maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    const float tppX = platform::twipsPerPixelX(&window);
    const float tppY = platform::twipsPerPixelY(&window);
    QPoint position = window.frameGeometry().topLeft();
    if (p.Left >= 0)
        position.setX(int(std::lround(p.Left / tppX)));
    if (p.Top >= 0)
        position.setY(int(std::lround(p.Top / tppY)));
    QSize size = window.size();
    if (p.Width >= 0)
        size.setWidth(int(std::lround(p.Width / tppX)));
    if (p.Height >= 0)
        size.setHeight(int(std::lround(p.Height / tppY)));
    const QMargins frame = frameOf(window);
    const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QRect outer(position, size.expandedTo(minimum) + border);
    // A position that lies entirely off every screen keeps the designed position.
    const QScreen *screen = screenHolding(outer);
    const bool keepPosition = !screen || (p.Left < 0 && p.Top < 0);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect fitted =
        screen ? fitWithin(outer, screen->availableGeometry(), minimum + border) : outer;
    if (!keepPosition)
        window.move(fitted.topLeft());
    window.resize((fitted.size() - border).expandedTo(minimum));
}

void storePlacement(settings::SettingsStore &store, const QWidget &window)
{
    settings::WindowState state = settings::WindowState::Normal;
    if (window.isMinimized())
        state = settings::WindowState::Minimized;
    else if (window.isMaximized())
        state = settings::WindowState::Maximized;
    const float tppX = platform::twipsPerPixelX(&window);
    const float tppY = platform::twipsPerPixelY(&window);
    settings::WriteWindowPlacement(store, state, float(window.pos().x()) * tppX,
                                   float(window.pos().y()) * tppY, float(window.width()) * tppX,
                                   float(window.height()) * tppY);
}

} // namespace app
