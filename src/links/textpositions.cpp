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
