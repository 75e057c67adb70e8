#pragma once

#include <QString>

#include <optional>

namespace livepreview
{

// The file a live page's address names under root (the document's folder): root, then the
// address's path, a segment at a time. nullopt when the path could name something outside the
// folder's tree (a "." or ".." segment, a zero character), when it is not absolute, or when there
// is no root (a document never saved has no folder). The file's existence is not checked.
std::optional<QString> servedFile(const QString &root, const QString &urlPath);

} // namespace livepreview
