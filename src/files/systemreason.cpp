#include "files/systemreason.h"

#include <cerrno>
#include <cstring>

namespace files
{

QString notRegularFileReason()
{
    return QStringLiteral("通常のファイルではありません（パイプや装置などです）。");
}

QString systemReason(int error, FileAccess access)
{
    const bool reading = access == FileAccess::Read;
    switch (error) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限（クォータ）を超えました。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます（ファイルサイズの上限を超えました）。");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムには書き込めません。");
    case EACCES:
        return reading ? QStringLiteral("読み込む権限がありません。")
                       : QStringLiteral("書き込む権限がありません。");
    case EPERM:
        return QStringLiteral("操作が許可されていません（ファイルやフォルダーが変更できないよう"
                              "保護されています）。");
    case EIO:
        return QStringLiteral("ディスクの入出力エラーが発生しました。");
    case ENOENT:
        return QStringLiteral("フォルダーまたはファイルが見つかりません。");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダーでないものがあります。");
    case EISDIR:
        return reading ? QStringLiteral("フォルダーです（ファイルではありません）。")
                       : QStringLiteral("同じ名前のフォルダーがあります。");
    case ENXIO:
    case ENODEV:
        return notRegularFileReason();
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EXDEV:
        return QStringLiteral("別のファイルシステムをまたいで名前を変更できません。");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("ファイルが使用中です。");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが多すぎます（循環しています）。");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case ENOMEM:
        return QStringLiteral("メモリが足りません。");
    default:
        break;
    }
    return QStringLiteral("システムエラー %1：%2")
        .arg(error)
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace files
