// The tag set reader on any file content: a tag set always has a before and an after text, an
// error is only ever the one for bytes that are no code page 932, and without placeholder
// expansion the pieces joined at the separator give the decoded file back.

#include "fuzzcheck.h"

#include "codec/cp932.h"
#include "tagsets/tagsetfile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    if (size == 0)
        return 0;
    const bool expand = data[0] & 1;
    const int writeCode = (data[0] >> 1) & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    {
        QFile file(tagsets::TagSetPath(folder.path(), QStringLiteral("fuzz")));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }

    const tagsets::ReadResult result = tagsets::ReadTagSet(
        folder.path(), QStringLiteral("fuzz"), expand, codec::textCodeOf(writeCode),
        QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    const codec::Cp932Decoded decoded = codec::decodeCp932(bytes);
    if (const auto *error = std::get_if<tagsets::TagSetError>(&result)) {
        FUZZ_CHECK(error->kind == tagsets::TagSetError::Kind::InvalidBytes);
        FUZZ_CHECK(decoded.firstInvalid >= 0);
        FUZZ_CHECK(!error->reason.isEmpty());
        return 0;
    }
    FUZZ_CHECK(decoded.firstInvalid < 0);
    const QStringList &pieces = std::get<QStringList>(result);
    FUZZ_CHECK(pieces.size() >= 2);
    if (!expand) {
        if (decoded.text.contains(tagsets::Separator))
            FUZZ_CHECK(pieces.join(tagsets::Separator) == decoded.text);
        else
            FUZZ_CHECK(pieces == QStringList({decoded.text, QString(), QString()}));
    }
    return 0;
}
