#include "files/readdocument.h"

#include "files/filestamp.h"
#include "files/regularfile.h"

namespace files
{
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
