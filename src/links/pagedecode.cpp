#include "links/pagedecode.h"

#include "codec/charsetdeclaration.h"
#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/eucjp.h"
#include "codec/iso2022jp.h"
#include "codec/utf8.h"

#include <optional>

namespace links
{

namespace
{

using codec::DetectedEncoding;

std::optional<DetectedEncoding> declaredEncoding(QByteArrayView bytes)
{
    const std::optional<codec::CharsetDeclaration> declaration =
        codec::findCharsetDeclaration(bytes);
    if (!declaration)
        return std::nullopt;
    const QByteArrayView name = declaration->encoding;
    if (name == "Shift_JIS")
        return DetectedEncoding::ShiftJis;
    if (name == "EUC-JP")
        return DetectedEncoding::EucJp;
    if (name == "ISO-2022-JP")
        return DetectedEncoding::Iso2022Jp;
    if (name == "UTF-8")
        return DetectedEncoding::Utf8;
    return std::nullopt; // another encoding: the detection decides how the Japanese text reads
}

} // namespace

DecodedPage decodePage(QByteArrayView bytes)
{
    DecodedPage page;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        page.encoding = DetectedEncoding::Utf8;
    else if (const std::optional<DetectedEncoding> declared = declaredEncoding(bytes))
        page.encoding = *declared;
    else
        page.encoding = codec::detectEncoding(bytes);

    switch (page.encoding) {
    case DetectedEncoding::Ascii:
        page.text = QString::fromLatin1(bytes);
        break;
    case DetectedEncoding::ShiftJis:
        page.text = codec::decodeCp932(bytes).text;
        break;
    case DetectedEncoding::EucJp:
        page.text = codec::decodeCp932(codec::convertEucJpToCp932(bytes).bytes).text;
        break;
    case DetectedEncoding::Iso2022Jp:
        page.text = codec::decodeCp932(codec::convertIso2022JpToCp932(bytes).bytes).text;
        break;
    case DetectedEncoding::Utf8: {
        codec::Utf8Decoded decoded = codec::decodeUtf8(bytes);
        page.text = std::move(decoded.text);
        page.byteOrderMark = decoded.byteOrderMark;
        break;
    }
    }
    return page;
}

} // namespace links
