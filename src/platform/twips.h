#pragma once

#include <QRect>

class QWidget;

namespace platform
{

// A control's position and size in twips (1/1440 inch), as the layout rules are written.
struct TwipsRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// Twips per screen pixel: 1440 / logical DPI of the widget's screen (15 at 96 DPI).
float twipsPerPixelX(const QWidget *widget);
float twipsPerPixelY(const QWidget *widget);

// Pixels of a twips rectangle; negative sizes become empty.
QRect toPixels(const TwipsRect &r, float tppX, float tppY);

} // namespace platform
