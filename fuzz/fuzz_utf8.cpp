// Reading a file as UTF-8 and saving it again. Well-formed input comes back byte for byte from
// the text and its shape; malformed input is reported at a real malformed sequence, and what it
// reads as is text that saves as well-formed UTF-8 which reads back as the same text.

#include "fuzzcheck.h"

#include "codec/detect.h"
#include "codec/filetext.h"
#include "codec/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const codec::Utf8Decoded decoded = codec::decodeUtf8(bytes);
    const qsizetype skip = decoded.byteOrderMark ? 3 : 0;
    FUZZ_CHECK(decoded.firstInvalid == -1 || decoded.firstInvalid >= skip);
    FUZZ_CHECK(decoded.firstInvalid < bytes.size());
    if (decoded.firstInvalid >= 0)
        FUZZ_CHECK(codec::firstInvalidUtf8(bytes.sliced(decoded.firstInvalid)) == 0);

    const codec::Utf8Encoded again = codec::encodeUtf8(decoded.text);
    FUZZ_CHECK(again.firstUnmappable == -1); // decoding never makes a lone surrogate
    FUZZ_CHECK(codec::firstInvalidUtf8(again.bytes) == -1);
    if (decoded.firstInvalid < 0)
        FUZZ_CHECK(again.bytes == bytes.sliced(skip));

    // The whole reading and writing path: no problem reported means the same bytes on saving.
    const codec::LoadedText loaded = codec::textFromBytes(bytes, codec::TextCode::Utf8);
    const codec::EncodedText written =
        codec::bytesFromText(loaded.text, codec::TextCode::Utf8, loaded.shape);
    if (loaded.problems.isEmpty())
        FUZZ_CHECK(written.bytes == bytes);
    const codec::LoadedText reread = codec::textFromBytes(written.bytes, codec::TextCode::Utf8);
    FUZZ_CHECK(reread.text == loaded.text);
    return 0;
}
