#include "check/pagecheck.h"

#include "check/gumboerrors.h"
#include "check/markupwalk.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace check
{

namespace
{

struct RawFinding {
    qsizetype offset; // a byte offset into the UTF-8 text first, then a UTF-16 index
    QString message;
};

// Memory for the parser: it makes and drops millions of small pieces (nodes, attributes, the
// buffers of each token), which a general allocator spends most of the parse on. Small pieces come
// from big blocks, a dropped one is kept for the next of its size, and all go back at once when
// the parse is done; big ones (the buffers of long texts) come from the system and go back as
// soon as they are dropped.
class ParseArena
{
public:
    ParseArena() = default;
    ParseArena(const ParseArena &) = delete;
    ParseArena &operator=(const ParseArena &) = delete;
    ~ParseArena()
    {
        for (char *block : m_blocks)
            std::free(block);
    }

    static void *allocate(void *arena, size_t size)
    {
        return static_cast<ParseArena *>(arena)->take(size);
    }
    static void release(void *arena, void *piece)
    {
        if (piece)
            static_cast<ParseArena *>(arena)->give(static_cast<char *>(piece) - Header);
    }

private:
    static constexpr size_t Header = 16; // keeps the pieces aligned as malloc's are
    static constexpr size_t Big = 4096;
    static constexpr size_t BlockSize = 1 << 20;

    void *take(size_t size)
    {
        size = std::max<size_t>((size + Header - 1) / Header * Header, Header);
        char *start;
        if (size >= Big) {
            start = static_cast<char *>(std::malloc(size + Header));
            if (!start)
                throw std::bad_alloc();
        } else if (char *&kept = m_kept[size / Header]) {
            start = kept;
            std::memcpy(&kept, start + Header, sizeof kept);
        } else {
            if (size + Header > m_left) {
                m_next = static_cast<char *>(std::malloc(BlockSize));
                if (!m_next)
                    throw std::bad_alloc();
                m_blocks.push_back(m_next);
                m_left = BlockSize;
            }
            start = m_next;
            m_next += size + Header;
            m_left -= size + Header;
        }
        std::memcpy(start, &size, sizeof size);
        return start + Header;
    }

    void give(char *start)
    {
        size_t size;
        std::memcpy(&size, start, sizeof size);
        if (size >= Big) {
            std::free(start);
            return;
        }
        char *&kept = m_kept[size / Header];
        std::memcpy(start + Header, &kept, sizeof kept);
        kept = start;
    }

    std::vector<char *> m_blocks;
    std::array<char *, Big / Header> m_kept{}; // dropped pieces by size, each list through them
    char *m_next = nullptr;
    size_t m_left = 0;
};

// The parser's errors, at byte offsets into utf8.
std::vector<RawFinding> parseErrors(const QByteArray &utf8)
{
    ParseArena arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &ParseArena::allocate;
    options.deallocator = &ParseArena::release;
    options.userdata = &arena;
    options.max_errors = int(MaxFindings) + 1;
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    std::vector<RawFinding> found;
    if (!output)
        return found;
    const char *begin = utf8.constData();
    const char *end = begin + utf8.size();
    found.reserve(output->errors.length);
    for (unsigned int k = 0; k < output->errors.length; ++k) {
        const auto *error = static_cast<const gumbo::Error *>(output->errors.data[k]);
        const char *at = error->originalText;
        const qsizetype offset = (at >= begin && at <= end) ? at - begin : utf8.size();
        found.push_back({offset, gumbo::errorMessage(*error, end)});
    }
    // The arena takes the whole tree back at once.
    return found;
}

// Turns the byte offsets into the UTF-8 text (ascending) into UTF-16 indexes of the text.
void toTextIndexes(const QByteArray &utf8, std::vector<RawFinding> &found)
{
    std::stable_sort(found.begin(), found.end(),
                     [](const RawFinding &a, const RawFinding &b) { return a.offset < b.offset; });
    qsizetype byte = 0;
    qsizetype index = 0;
    for (RawFinding &f : found) {
        for (; byte < f.offset && byte < utf8.size(); ++byte) {
            const auto b = uchar(utf8[byte]);
            if ((b & 0xC0) != 0x80)
                index += b >= 0xF0 ? 2 : 1;
        }
        f.offset = index;
    }
}

bool isBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2029;
}

} // namespace

std::vector<Finding> checkPage(QStringView text)
{
    QString parsed = text.toString();
    parsed.replace(QChar(0x2029), u'\n'); // the editor's line breaks; the length stays
    const QByteArray utf8 = parsed.toUtf8();
    std::vector<RawFinding> found = parseErrors(utf8);
    toTextIndexes(utf8, found);
    for (const Slip &slip : findSlips(text, 0, text.size(), 0))
        found.push_back({slip.index, slipHint(slip)});
    std::stable_sort(found.begin(), found.end(),
                     [](const RawFinding &a, const RawFinding &b) { return a.offset < b.offset; });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const RawFinding &a, const RawFinding &b) {
                                return a.offset == b.offset && a.message == b.message;
                            }),
                found.end());

    std::vector<Finding> findings;
    findings.reserve(std::min<size_t>(found.size(), size_t(MaxFindings) + 1));
    qsizetype index = 0;
    qsizetype line = 1;
    qsizetype column = 1;
    for (const RawFinding &f : found) {
        if (qsizetype(findings.size()) == MaxFindings) {
            findings.push_back({f.offset, 0, 0,
                                QStringLiteral("ほかにも見つかりましたが、%1 件で打ち切りました。")
                                    .arg(MaxFindings)});
            break;
        }
        const qsizetype target = std::min(f.offset, text.size());
        for (; index < target; ++index) {
            const char16_t c = text[index].unicode();
            if (isBreak(c)) {
                if (!(c == u'\r' && index + 1 < text.size() && text[index + 1] == u'\n'))
                    ++line, column = 1;
            } else if (!QChar::isLowSurrogate(c) || index == 0 ||
                       !QChar::isHighSurrogate(text[index - 1].unicode())) {
                ++column;
            }
        }
        findings.push_back({target, line, column, f.message});
    }
    if (!findings.empty() && findings.back().line == 0) {
        findings.back().line = line;
        findings.back().column = column;
    }
    return findings;
}

} // namespace check
