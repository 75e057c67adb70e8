#include "links/textpositions.h"

namespace links
{

TextPlace Utf8Positions::at(qsizetype offset)
{
    if (offset < m_offset) {
        m_offset = 0;
        m_place = {};
    }
    while (m_offset < offset && m_offset < m_text.size()) {
        const auto byte = static_cast<unsigned char>(m_text[m_offset]);
        if (byte == '\r' || byte == '\n') {
            const bool crLf =
                byte == '\r' && m_offset + 1 < m_text.size() && m_text[m_offset + 1] == '\n';
            m_offset += crLf ? 2 : 1;
            m_place.utf16Index += crLf ? 2 : 1;
            ++m_place.line;
            m_place.column = 1;
            continue;
        }
        ++m_offset;
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte belongs to the character before
        ++m_place.column;
        m_place.utf16Index += byte >= 0xF0 ? 2 : 1;
    }
    return m_place;
}

} // namespace links

namespace links
{

qsizetype indexAt(QStringView text, qsizetype line, qsizetype column)
{
    qsizetype i = 0;
    for (qsizetype l = 1; l < line && i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++l;
        }
    }
    for (qsizetype c = 1; c < column && i < text.size(); ++c) {
        if (text[i] == u'\r' || text[i] == u'\n')
            break;
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                              : 1;
    }
    return i;
}

} // namespace links
