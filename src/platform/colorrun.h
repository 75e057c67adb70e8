#pragma once

#include <QRgb>
#include <QtGlobal>

namespace platform
{

// A stretch of text in one colour. Positions count UTF-16 code units of the text.
// Positions are those of the editor, which counts in int; a page has about one run per tag, so
// the list is kept small (12 bytes a run).
struct ColorRun {
    qint32 start;
    qint32 length;
    QRgb color;

    friend bool operator==(const ColorRun &, const ColorRun &) = default;
};

} // namespace platform
