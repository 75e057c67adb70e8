#include "document/declarationcheck.h"

#include "codec/charsetdeclaration.h"

#include <algorithm>
#include <vector>

namespace document
{
namespace
{

// Length of the piece of text at i that is encoded as a whole: a CR LF, a surrogate pair or one
// unit.
qsizetype pieceLength(QStringView text, qsizetype i)
{
    const bool pair =
        i + 1 < text.size() && ((text[i] == u'\r' && text[i + 1] == u'\n') ||
                                (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()));
    return pair ? 2 : 1;
}

} // namespace

std::optional<DeclarationMismatch>
findDeclarationMismatch(QStringView text, codec::TextCode writeCode, const codec::FileShape &shape)
{
    codec::FileShape withoutMark = shape;
    withoutMark.byteOrderMark = false; // a browser looks for the declaration after it
    // The first bytes as written, piece by piece, remembering where each piece of text starts.
    QByteArray bytes;
    std::vector<qsizetype> byteAt; // byte offset of each piece start
    std::vector<qsizetype> textAt; // its UTF-16 index
    qsizetype i = 0;
    while (i < text.size() && bytes.size() < codec::kCharsetScanLength) {
        const qsizetype length = pieceLength(text, i);
        byteAt.push_back(bytes.size());
        textAt.push_back(i);
        bytes += codec::bytesFromText(text.sliced(i, length), writeCode, withoutMark).bytes;
        i += length;
    }
    byteAt.push_back(bytes.size());
    textAt.push_back(i);

    const std::optional<codec::CharsetDeclaration> found = codec::findCharsetDeclaration(bytes);
    const QString written = codec::encodingName(writeCode);
    if (!found || found->encoding == written.toLatin1())
        return std::nullopt;
    const auto indexOf = [&](qsizetype byte) -> qsizetype {
        const auto it = std::lower_bound(byteAt.begin(), byteAt.end(), byte);
        return it != byteAt.end() && *it == byte ? textAt[size_t(it - byteAt.begin())] : -1;
    };
    const qsizetype start = indexOf(found->labelStart);
    const qsizetype end = indexOf(found->labelEnd);
    if (start < 0 || end < start) // a label that does not start and end on characters
        return std::nullopt;
    return DeclarationMismatch{start, end, text.sliced(start, end - start).toString(), written};
}

} // namespace document
