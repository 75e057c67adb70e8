#include "markup/decoratetext.h"

#include "platform/richtextbox.h"

namespace markup {

Colorizer defaultColorizer()
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
