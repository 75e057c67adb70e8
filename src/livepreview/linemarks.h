#pragma once

#include <QLatin1String>
#include <QString>

#include <vector>

namespace livepreview
{

// The attribute that tells the preview which line of the text an element starts on.
inline constexpr QLatin1String LineAttribute{"data-tavlen-line"};

// The page's text with LineAttribute="N" added to the first start tag that begins on line N
// (from 1; CR LF, LF and CR each end a line), so that the preview can find the element under the
// caret. Comments and the contents of scripts, styles and the other elements whose text is not
// markup are left as they are, and so is everything else: only the attributes are added.
// numbers, when given, holds the value to write for each line instead (the first line's first).
QString withLineMarks(QStringView html, const std::vector<int> *numbers = nullptr);

} // namespace livepreview
