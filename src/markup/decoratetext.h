#pragma once

#include <QStringView>
#include <QtGlobal>
#include <vector>

namespace platform
{
class RichTextBox;
struct ColorRun;
} // namespace platform

namespace markup
{

// The colours of the markup, 0x00BBGGRR.
struct MarkupColours {
    quint32 font = 0;
    quint32 tag = 0;
    quint32 comment = 0;
};

// Colours the whole text of the editor: the colours of earlier passes are dropped, tags and
// comments are found straight from the text (the same colours ColorizeRtf gives the editor's
// RTF, without writing and reading it), and the caret and the selection are put back. The text
// itself never changes, so this is no edit and no undo step.
void colourEditor(platform::RichTextBox &editor, const MarkupColours &colours);
// The colours colourEditor gives a text, as the editor's runs.
std::vector<platform::ColorRun> colourRuns(QStringView text, const MarkupColours &colours);

} // namespace markup
