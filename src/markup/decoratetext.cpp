#include "markup/decoratetext.h"

#include "platform/richtextbox.h"

namespace markup {

namespace {

QRgb rgbOf(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void colourFromText(app::RichTextBox &editor, const MarkupColours &colours)
{
    const QRgb rgb[3] = {rgbOf(colours.font), rgbOf(colours.tag), rgbOf(colours.comment)};
    std::vector<app::rtf::ColorRun> runs;
    forEachMarkupRun(
        editor.rawText(), [&runs](std::size_t count) { runs.reserve(count); },
        [&runs, &rgb](const MarkupRun &r) { runs.push_back({r.start, r.length, rgb[r.colour]}); });
    editor.setColorRuns(std::move(runs));
}

} // namespace

Colorizer rtfColorizer()
{
    return [](const QString &rtf, const MarkupColours &c) {
        return ColorizeRtf(rtf, c.font, c.tag, c.comment);
    };
}

std::optional<QString> colourEditor(app::RichTextBox &editor, const MarkupColours &colours,
                                    const Colorizer &colorize)
{
    const int selStart = editor.SelStart();
    const int selLength = editor.SelLength();
    editor.clearColors();
    if (!colorize) {
        colourFromText(editor, colours);
        editor.setSelStart(selStart);
        editor.setSelLength(selLength);
        return std::nullopt;
    }
    std::variant<QString, RegExpError> coloured = colorize(editor.TextRTF(), colours);
    std::optional<QString> failure;
    if (auto *rtf = std::get_if<QString>(&coloured))
        editor.setTextRTF(*rtf);
    else
        failure = std::get<RegExpError>(coloured).reason;
    editor.setSelStart(selStart);
    editor.setSelLength(selLength);
    return failure;
}

} // namespace markup
