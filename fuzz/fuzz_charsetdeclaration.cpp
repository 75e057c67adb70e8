// Looking for a page's charset declaration the way a browser does: on any bytes the label found
// lies within the first 1,024 bytes and names a known encoding; on any text in any write code a
// declaration that differs is a range of the text holding exactly its label.

#include "fuzzcheck.h"

#include "codec/charsetdeclaration.h"
#include "codec/encodinglabels.h"
#include "document/declarationcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto found = codec::findCharsetDeclaration(bytes)) {
        FUZZ_CHECK(found->labelStart >= 0 && found->labelStart < found->labelEnd);
        FUZZ_CHECK(found->labelEnd <= std::min(bytes.size(), codec::kCharsetScanLength));
        FUZZ_CHECK(!found->encoding.isEmpty());
        const QByteArrayView label =
            QByteArrayView(bytes).sliced(found->labelStart, found->labelEnd - found->labelStart);
        FUZZ_CHECK(!codec::encodingOfLabel(label).isEmpty());
    }

    uint8_t mode = 0;
    const QString text = fuzz::anyText(data, size, &mode);
    const int writeCode = (mode >> 2) % 3;
    codec::FileShape shape;
    shape.lineEnds = (mode & 0x20) ? codec::LineEnds::Lf : codec::LineEnds::CrLf;
    shape.shiftJisBytes = mode & 0x40;
    if (const auto mismatch =
            document::findDeclarationMismatch(text, codec::textCodeOf(writeCode), shape)) {
        FUZZ_CHECK(mismatch->start >= 0 && mismatch->start < mismatch->end);
        FUZZ_CHECK(mismatch->end <= text.size());
        FUZZ_CHECK(text.sliced(mismatch->start, mismatch->end - mismatch->start) ==
                   mismatch->label);
        FUZZ_CHECK(mismatch->written == codec::encodingName(codec::textCodeOf(writeCode)));
    }
    return 0;
}
