#pragma once

#include <QByteArrayView>
#include <QStringView>

namespace links
{

// A place in a text: line and column from 1 (characters, a surrogate pair as one) and the
// UTF-16 index.
struct TextPlace {
    qsizetype line = 1;
    qsizetype column = 1;
    qsizetype utf16Index = 0;
};

// The places of byte offsets in UTF-8 text with CR LF, LF or CR line breaks. Offsets asked for
// in rising order cost one pass over the text together.
class Utf8Positions
{
public:
    explicit Utf8Positions(QByteArrayView utf8) : m_text(utf8) {}
    TextPlace at(qsizetype offset);

private:
    QByteArrayView m_text;
    qsizetype m_offset = 0;
    TextPlace m_place;
};

} // namespace links

namespace links
{

// The UTF-16 index of line and column (from 1, characters, a surrogate pair as one) in a text
// with CR LF, LF or CR line breaks; a place past a line's end is its end, past the text the end.
qsizetype indexAt(QStringView text, qsizetype line, qsizetype column);

} // namespace links
