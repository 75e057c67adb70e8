#pragma once

#include "codec/filetext.h"

#include <QString>

#include <variant>

namespace files
{

// The largest file the program opens: far beyond any hand-written page; keeps a stray huge file
// from exhausting memory (reading holds the file several times over).
inline constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;

// Why a file could not be read or written: a Japanese sentence with the system's reason.
struct FileFailure {
    QString reason;
};

// Reads the file at path and converts it as codec::textFromBytes does. Only a regular file is
// read, and without waiting on a pipe or a device; a failure gives the reason in Japanese.
std::variant<codec::LoadedText, FileFailure> readDocumentFile(const QString &path,
                                                              codec::TextCode readCode);

} // namespace files
