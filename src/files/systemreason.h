#pragma once

#include <QString>

namespace files
{

// A Japanese sentence naming why the system refused a file operation (an errno value), so the
// user learns the cause whatever language the system speaks. Codes without a sentence of their
// own give the system's text with the number.
// Reading and writing differ only where the cause reads differently (a missing permission, a
// folder where a file was expected).
enum class FileAccess { Write, Read };
QString systemReason(int error, FileAccess access = FileAccess::Write);

// The sentence for a path that names a pipe, a device or a socket rather than a file.
QString notRegularFileReason();

} // namespace files
