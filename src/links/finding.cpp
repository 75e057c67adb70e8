#include "links/finding.h"

namespace links
{

QString findingMessage(const Finding &f)
{
    switch (f.kind) {
    case FindingKind::Missing:
        return QStringLiteral("リンク先のファイルがありません: ") + f.link;
    case FindingKind::OtherCase:
        return QStringLiteral("リンク先は大文字と小文字の違う名前でしかありません: ") + f.link +
               QStringLiteral(" （正しくは ") + f.fix + QStringLiteral("）");
    case FindingKind::NoAnchor:
        return QStringLiteral("リンク先のページに、この名前の id も <a name> もありません: ") +
               f.link;
    case FindingKind::Backslash:
        return QStringLiteral("パスの区切りに「\\」が使われています（「/」で区切ります）: ") +
               f.link;
    case FindingKind::FileScheme:
        return QStringLiteral("file: のアドレスは、公開したサイトでは開けません: ") + f.link;
    case FindingKind::DriveLetter:
        return QStringLiteral("ドライブ名の付いたパスは、公開したサイトでは開けません: ") + f.link;
    case FindingKind::LeavesSite:
        return QStringLiteral("リンク先がサイトのフォルダーの外にあります: ") + f.link;
    }
    return f.link;
}

} // namespace links
