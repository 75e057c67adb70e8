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

} // namespace

std::vector<platform::ColorRun> colourRuns(QStringView text, const MarkupColours &colours)
{
    const QRgb rgb[3] = {rgbOf(colours.font), rgbOf(colours.tag), rgbOf(colours.comment)};
    std::vector<platform::ColorRun> runs;
    forEachMarkupRun(
        text, [&runs](std::size_t count) { runs.reserve(count); },
        [&runs, &rgb](const MarkupRun &r) {
            runs.push_back({qint32(r.start), qint32(r.length), rgb[r.colour]});
        });
    return runs;
}

void colourEditor(platform::RichTextBox &editor, const MarkupColours &colours)
{
    const int selStart = editor.SelStart();
    const int selLength = editor.SelLength();
    editor.clearColors();
    editor.setColorRuns(colourRuns(editor.rawText(), colours));
    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
}

} // namespace markup
