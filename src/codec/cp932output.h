#pragma once

#include <QByteArray>

// Output areas of the conversions. A conversion sizes its area for the widest possible output,
// writes into it and then truncates it; filling fresh memory of several megabytes takes a page
// fault every 4 KiB, which on some machines costs more than the conversion itself, so a large
// area asks the system to back it with huge pages where it can.
namespace codec::cp932
{

// Asks for huge pages under the part of the area data[0..bytes) they can cover; only a hint.
void adviseHugePages(void *data, qsizetype bytes);

// Gives bytes the size size, its content undefined, advised as above.
void resizeOutput(QByteArray &bytes, qsizetype size);

} // namespace codec::cp932
