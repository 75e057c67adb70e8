#include "check/endtagcompletion.h"

#include "check/markupwalk.h"

namespace check
{

std::optional<QString> endTagCompletion(QStringView text, qsizetype caret)
{
    if (caret < 2 || caret > text.size() || text.sliced(caret - 2, 2) != u"</")
        return std::nullopt;
    const qsizetype lt = caret - 2;
    const WalkResult walk =
        walkMarkup(text, walkStart(text, lt, CompletionLookBehind), lt, text.size());
    if (walk.context != Context::Text || walk.openElements.empty())
        return std::nullopt;
    return walk.openElements.back() + u'>';
}

} // namespace check
