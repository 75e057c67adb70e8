#pragma once

#include <QString>
#include <QStringList>

namespace settings
{

// Edits of the text of a mimeapps.list. Everything the edit does not concern (other groups and
// keys, comments, the order of lines) stays as it was; an edit that changes nothing returns the
// text unchanged.

// Lists desktopId for mimeType under [Added Associations] (at the end of its list) and takes it
// out of [Removed Associations] for that type. [Default Applications] is never touched.
QString withAddedAssociation(const QString &text, const QString &mimeType,
                             const QString &desktopId);
// Takes desktopId out of the [Added Associations] list of mimeType; a list left empty goes, and
// so does the group when nothing is left in it.
QString withoutAddedAssociation(const QString &text, const QString &mimeType,
                                const QString &desktopId);

// The ids listed for mimeType under [Added Associations], in their order.
QStringList addedAssociations(const QString &text, const QString &mimeType);

} // namespace settings
