#include "markup/decoratetext.h"

#include "markup/markupscan.h"
#include "platform/richtextbox.h"

namespace markup
{

namespace
{

QRgb rgbOf(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void colourFromText(platform::RichTextBox &editor, const MarkupColours &colours)
{
    const QRgb rgb[3] = {rgbOf(colours.font), rgbOf(colours.tag), rgbOf(colours.comment)};
    std::vector<platform::ColorRun> runs;
    forEachMarkupRun(
        editor.rawText(), [&runs](std::size_t count) { runs.reserve(count); },
        [&runs, &rgb](const MarkupRun &r) {
            runs.push_back({qint32(r.start), qint32(r.length), rgb[r.colour]});
        });
    editor.setColorRuns(std::move(runs));
}

} // namespace

void colourEditor(platform::RichTextBox &editor, const MarkupColours &colours)
{
    const int selStart = editor.SelStart();
    const int selLength = editor.SelLength();
    editor.clearColors();
    colourFromText(editor, colours);
    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
}

} // namespace markup
