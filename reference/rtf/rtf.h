#pragma once

// The editor's RTF form: the whole text with its colours as one RTF document, and back.

#include "platform/colorrun.h"

#include <QRgb>
#include <QString>
#include <QStringView>
#include <vector>

namespace reference::rtf
{

using platform::ColorRun;

// Writes the text (U+2029 separates paragraphs) with its colour runs as one RTF document in code
// page 932. The runs are expected sorted and non-overlapping; a run that reaches back over an
// earlier one is cut to what is left, and text outside every run is in defaultColor. The document
// holds exactly one "{\colortbl" group, closed by the first "}" after it, whose entry 0 is
// defaultColor; "<" and ">" occur only where the text has them. Colours are compared and written
// without their alpha channel.
QString write(QStringView text, const std::vector<ColorRun> &runs, QRgb defaultColor,
              const QString &fontName, double fontPointSize);

struct Document {
    QString text;
    // Cover the whole text, sorted, adjacent runs always of different colours. A colour index
    // the colour table does not define (or defines as an empty entry) reads as defaultColor;
    // colours from the table come back opaque.
    std::vector<ColorRun> runs;
};

// Reads any RTF document: ours, ours with colour switches inserted anywhere, or a word
// processor's. Never fails: malformed input gives the text that could be made out of it.
// "\par" gives U+2029, except the last one of the document when no text follows it (the mark
// that ends the final paragraph), so that reading what write() produced gives the text back
// exactly.
Document read(QStringView rtf, QRgb defaultColor);

} // namespace reference::rtf
