#include "files/readdocument.h"

#include "files/filestamp.h"
#include "files/regularfile.h"

namespace files
{
namespace
{

// Far beyond any hand-written page; keeps a stray huge file from exhausting memory (reading
// holds the file several times over).
constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;

} // namespace

std::variant<codec::LoadedText, FileFailure> readDocumentFile(const QString &path,
                                                              codec::TextCode readCode)
{
    auto read = readRegularFile(path, kMaxFileSize);
    if (const QString *failure = std::get_if<QString>(&read))
        return FileFailure{*failure};
    const QByteArray &bytes = std::get<QByteArray>(read);
    codec::LoadedText loaded = codec::textFromBytes(bytes, readCode);
    loaded.contentHash = contentHash(bytes);
    return loaded;
}

} // namespace files
