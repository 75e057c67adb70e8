#pragma once

#include <QString>

namespace app
{

// The Size panel's text: the byte count with thousands separators, then " Bytes" ("1,234 Bytes").
QString sizePanelText(qint64 bytes);

} // namespace app
