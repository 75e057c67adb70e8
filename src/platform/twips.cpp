#include "platform/twips.h"

#include <QScreen>
#include <QWidget>
#include <cmath>

namespace platform
{

namespace
{
float dpiOf(const QWidget *widget, bool horizontal)
{
    const QScreen *screen = widget ? widget->screen() : nullptr;
    if (!screen)
        return 96.0f;
    const qreal dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? float(dpi) : 96.0f;
}
} // namespace

float twipsPerPixelX(const QWidget *widget)
{
    return 1440.0f / dpiOf(widget, true);
}

float twipsPerPixelY(const QWidget *widget)
{
    return 1440.0f / dpiOf(widget, false);
}

QRect toPixels(const TwipsRect &r, float tppX, float tppY)
{
    const int x = int(std::lround(r.Left / tppX));
    const int y = int(std::lround(r.Top / tppY));
    const int w = std::max(0, int(std::lround(r.Width / tppX)));
    const int h = std::max(0, int(std::lround(r.Height / tppY)));
    return QRect(x, y, w, h);
}

} // namespace platform
