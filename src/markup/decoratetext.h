#pragma once

#include "markup/colorize.h"

#include <QString>
#include <functional>
#include <optional>

namespace app {
class RichTextBox;
}

namespace markup {

// The colours of the markup, 0x00BBGGRR.
struct MarkupColours {
    quint32 font = 0;
    quint32 tag = 0;
    quint32 comment = 0;
};

// Turns the editor's RTF into coloured RTF: a stand-in in tests, or ColorizeRtf through
// rtfColorizer(). Without one, the colours are found straight from the text (markupRuns), which
// gives the same colours without writing and reading the RTF.
using Colorizer =
    std::function<std::variant<QString, RegExpError>(const QString &rtf, const MarkupColours &)>;
Colorizer rtfColorizer();

// Colours the whole text of the editor: the colours of earlier passes are dropped, the editor's
// RTF gets the colour table and the switches around tags and comments, and the caret and the
// selection are put back. The text itself never changes, so this is no edit and no undo step.
// When the engine fails, the text stays uncoloured and the engine's reason comes back.
std::optional<QString> colourEditor(app::RichTextBox &editor, const MarkupColours &colours,
                                    const Colorizer &colorize = {});

} // namespace markup
