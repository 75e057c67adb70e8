#pragma once

#include <QColor>
#include <QtGlobal>

namespace platform
{

// Colours are stored as 0x00BBGGRR, red in the lowest byte. Only the low 24 bits are a colour;
// a top byte left by another writer is ignored here and kept in the settings.
inline QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline quint32 bgrFromColor(const QColor &color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

} // namespace platform
