#pragma once

#include <QString>

namespace platform
{
class RichTextBox;
}

// The editor's text and colours as one RTF document, and the editor's plain Shift_JIS file form:
// what the editor's direct colouring and the program's document files are checked against.
namespace reference
{

// The whole content as one RTF document with its colour table.
QString textRtf(const platform::RichTextBox &box);
// Replaces content and colours together; when the text stays the same only the colours change
// (no Change).
void setTextRtf(platform::RichTextBox &box, const QString &rtf);

// Plain-text file in Shift_JIS. False, with a reason, when the file cannot be used.
bool loadFile(platform::RichTextBox &box, const QString &path, QString *reason = nullptr);
bool saveFile(const platform::RichTextBox &box, const QString &path, QString *reason = nullptr);

} // namespace reference
