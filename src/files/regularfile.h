#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

namespace files
{

// Reads the whole file at path, or says in Japanese why not. Only a regular file is read: the
// file is opened without waiting (a pipe with no writer or a device never holds the program up)
// and its type checked on the open file before a byte is read. A file larger than maxSize bytes
// is refused. A name with bytes that are not UTF-8 (shown as U+FFFD) that cannot be found is
// explained as such.
std::variant<QByteArray, QString> readRegularFile(const QString &path, qint64 maxSize);

} // namespace files
