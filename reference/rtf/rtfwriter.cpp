#include "codec/cp932chartables.h"
#include "reference/rtf/rtf.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace reference::rtf
{

namespace
{

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

// Writes straight into a QString sized beforehand for the worst case, so that the text is
// written without any per-character allocation or capacity check.
class Sink
{
public:
    explicit Sink(qsizetype capacity)
    {
        m_out.resize(capacity);
        m_begin = m_w = reinterpret_cast<char16_t *>(m_out.data());
    }

    void ascii(std::string_view s)
    {
        for (char c : s)
            *m_w++ = char16_t(c);
    }

    void number(int n)
    {
        char16_t digits[12];
        int count = 0;
        const bool negative = n < 0;
        auto v = negative ? -std::int64_t(n) : std::int64_t(n);
        do {
            digits[count++] = char16_t(u'0' + v % 10);
            v /= 10;
        } while (v != 0);
        if (negative)
            *m_w++ = u'-';
        while (count > 0)
            *m_w++ = digits[--count];
    }

    void hexByte(unsigned b)
    {
        *m_w++ = u'\\';
        *m_w++ = u'\'';
        *m_w++ = kHexDigits[b >> 4];
        *m_w++ = kHexDigits[b & 15];
    }

    // CP932 bytes when the code page holds the character exactly, else \uN? (N signed 16-bit).
    void character(char16_t c, const codec::cp932::CharTables &t)
    {
        const std::uint32_t bytes = t.encode[c];
        if (bytes == 0) {
            ascii("\\u");
            number(std::int16_t(c));
            *m_w++ = u'?';
            return;
        }
        hexByte((bytes >> 8) & 0xFF);
        if ((bytes & 0xFF) == 2)
            hexByte(bytes >> 16);
    }

    // The body text: RTF's own characters escaped, line and paragraph breaks and tabs as their
    // control words, printable ASCII as itself.
    void body(const char16_t *p, const char16_t *end, const codec::cp932::CharTables &t)
    {
        for (; p < end; ++p) {
            const char16_t c = *p;
            if (c >= 0x20 && c < 0x7F) {
                if (c == u'\\' || c == u'{' || c == u'}')
                    *m_w++ = u'\\';
                *m_w++ = c;
            } else if (c == u'\t') {
                ascii("\\tab ");
            } else if (c == 0x2029) {
                ascii("\\par\r\n");
            } else if (c == 0x2028) {
                ascii("\\line ");
            } else {
                character(c, t);
            }
        }
    }

    // A font name: like the body, with ";" (the end of the name) and "<", ">" (which the
    // colouring looks for in the body) written as hex bytes too.
    void fontName(QStringView name, const codec::cp932::CharTables &t)
    {
        for (const QChar qc : name) {
            const char16_t c = qc.unicode();
            if (c >= 0x20 && c < 0x7F &&
                std::u16string_view(u"\\{};<>").find(c) == std::u16string_view::npos)
                *m_w++ = c;
            else
                character(c, t);
        }
    }

    QString take()
    {
        m_out.resize(m_w - m_begin);
        m_out.squeeze();
        return std::move(m_out);
    }

private:
    QString m_out;
    char16_t *m_begin;
    char16_t *m_w;
};

struct Segment {
    qsizetype start;
    qsizetype end;
    int color; // index into the palette
};

constexpr QRgb rgbOnly(QRgb c)
{
    return c & 0xFFFFFF;
}

// The colour table (entry 0 the default colour, then each other colour in order of first use)
// and the stretches of text in a colour other than 0.
class Palette
{
public:
    Palette(QStringView text, const std::vector<ColorRun> &runs, QRgb defaultColor)
    {
        m_colors.push_back(rgbOnly(defaultColor));
        m_index.emplace(m_colors.front(), 0);
        qsizetype pos = 0;
        const qsizetype size = text.size();
        for (const ColorRun &run : runs) {
            const qsizetype start = std::clamp<qsizetype>(run.start, pos, size);
            const qsizetype end =
                std::clamp<qsizetype>(run.start + std::max<qsizetype>(run.length, 0), start, size);
            if (end == start)
                continue;
            const int color = indexOf(rgbOnly(run.color));
            if (color != 0)
                m_segments.push_back({start, end, color});
            pos = end;
        }
    }

    const std::vector<QRgb> &colors() const { return m_colors; }
    const std::vector<Segment> &segments() const { return m_segments; }

private:
    int indexOf(QRgb rgb)
    {
        if (rgb == m_lastRgb)
            return m_lastIndex;
        const auto [it, added] = m_index.emplace(rgb, int(m_colors.size()));
        if (added)
            m_colors.push_back(rgb);
        m_lastRgb = rgb;
        m_lastIndex = it->second;
        return m_lastIndex;
    }

    std::vector<QRgb> m_colors;
    std::unordered_map<QRgb, int> m_index;
    std::vector<Segment> m_segments;
    QRgb m_lastRgb = 0xFFFFFFFF; // never an rgbOnly value
    int m_lastIndex = 0;
};

int halfPoints(double points)
{
    if (!std::isfinite(points) || points <= 0)
        return 20;
    return int(std::lround(std::clamp(points * 2, 1.0, 32767.0)));
}

} // namespace

QString write(QStringView text, const std::vector<ColorRun> &runs, QRgb defaultColor,
              const QString &fontName, double fontPointSize)
{
    const codec::cp932::CharTables &t = codec::cp932::charTables();
    const Palette palette(text, runs, defaultColor);

    // Worst cases: 9 characters per code unit ("\u-32768?"), two switches of up to 14
    // characters per segment, 25 per colour entry.
    const qsizetype capacity = 256 + 9 * fontName.size() + 25 * qsizetype(palette.colors().size()) +
                               28 * qsizetype(palette.segments().size()) + 9 * text.size();
    Sink out(capacity);

    out.ascii("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset128 ");
    out.fontName(fontName, t);
    out.ascii(";}}{\\colortbl");
    for (const QRgb c : palette.colors()) {
        out.ascii("\\red");
        out.number(qRed(c));
        out.ascii("\\green");
        out.number(qGreen(c));
        out.ascii("\\blue");
        out.number(qBlue(c));
        out.ascii(";");
    }
    out.ascii("}\\viewkind4\\uc1\\pard\\f0\\fs");
    out.number(halfPoints(fontPointSize));
    out.ascii(" ");

    const char16_t *data = text.utf16();
    int current = 0;
    auto switchTo = [&out, &current](int color) {
        if (color == current)
            return;
        out.ascii("\\cf");
        out.number(color);
        out.ascii(" ");
        current = color;
    };
    qsizetype pos = 0;
    for (const Segment &s : palette.segments()) {
        if (s.start > pos) {
            switchTo(0);
            out.body(data + pos, data + s.start, t);
        }
        switchTo(s.color);
        out.body(data + s.start, data + s.end, t);
        pos = s.end;
    }
    if (pos < text.size()) {
        switchTo(0);
        out.body(data + pos, data + text.size(), t);
    }
    // The mark that ends the last paragraph; the reader adds no text for it.
    out.ascii("\\par\r\n}");
    return out.take();
}

} // namespace reference::rtf
