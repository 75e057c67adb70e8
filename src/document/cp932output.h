#pragma once

#include <QByteArray>

namespace document::cp932
{

// Gives bytes the size of a conversion's widest possible output, its content undefined, for the
// conversion to write into and then truncate. An area of several megabytes asks the system to
// back it with huge pages where it can: filling fresh memory otherwise takes a page fault every
// 4 KiB, which on some machines costs more than the conversion itself.
void resizeOutput(QByteArray &bytes, qsizetype size);

} // namespace document::cp932
