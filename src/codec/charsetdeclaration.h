#pragma once

#include <QByteArrayView>

#include <optional>

// The character set a page declares, found the way a browser looks for it before it decodes the
// page: in a <meta charset="…"> or <meta http-equiv="Content-Type" content="…; charset=…">
// within the first 1,024 bytes, outside comments and other tags' attribute values.
namespace codec
{

inline constexpr qsizetype kCharsetScanLength = 1024;

struct CharsetDeclaration {
    // Byte offsets of the label as written (without surrounding white space).
    qsizetype labelStart = 0;
    qsizetype labelEnd = 0;
    // The encoding the browser takes from it: a canonical name of encodingOfLabel, UTF-16 labels
    // taken as "UTF-8" and "x-user-defined" as "windows-1252", as browsers do here.
    QByteArrayView encoding;
};

// The declaration a browser would act on in the first kCharsetScanLength bytes of a page (after
// any byte order mark, which the caller leaves out), or nullopt when there is none it knows.
std::optional<CharsetDeclaration> findCharsetDeclaration(QByteArrayView page);

} // namespace codec
