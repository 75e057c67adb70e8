#include "links/casefix.h"

#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "codec/utf8.h"
#include "files/atomicwrite.h"
#include "links/pagedecode.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <algorithm>

namespace links
{

namespace
{

using codec::DetectedEncoding;

std::optional<QByteArray> encoded(const QString &text, const DecodedPage &page)
{
    switch (page.encoding) {
    case DetectedEncoding::Ascii:
    case DetectedEncoding::ShiftJis:
        return codec::encodeCp932(text).bytes;
    case DetectedEncoding::EucJp:
        return codec::convertCp932ToEucJp(codec::encodeCp932(text).bytes).bytes;
    case DetectedEncoding::Utf8:
        return codec::encodeUtf8(text, page.byteOrderMark).bytes;
    case DetectedEncoding::Iso2022Jp:
        break;
    }
    return std::nullopt;
}

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

CaseFixPlan planCaseFix(const std::vector<Finding> &findings)
{
    CaseFixPlan plan;
    QMap<QString, std::vector<const Finding *>> byFile;
    for (const Finding &f : findings)
        if (f.kind == FindingKind::OtherCase && f.fixable)
            byFile[f.file].push_back(&f);
    for (auto it = byFile.begin(); it != byFile.end(); ++it) {
        const QString &path = it.key();
        const std::optional<QByteArray> bytes = readAll(path);
        if (!bytes) {
            plan.skipped.append(path + QStringLiteral(": 読めなかったので直しません。"));
            continue;
        }
        const DecodedPage page = decodePage(*bytes);
        if (encoded(page.text, page) != *bytes) {
            plan.skipped.append(path + QStringLiteral(": この文字コードでは他の部分を元のバイトの"
                                                      "まま書き戻せないので直しません。"));
            continue;
        }
        FileFix fix{path, *bytes, {}, {}};
        QString text = page.text;
        std::vector<const Finding *> fixes = it.value();
        // From the end, so each index still names its place.
        std::sort(fixes.begin(), fixes.end(),
                  [](const Finding *a, const Finding *b) { return a->index > b->index; });
        for (const Finding *f : fixes) {
            if (QStringView(text).mid(f->index, f->link.size()) != f->link) {
                plan.skipped.append(
                    QStringLiteral("%1:%2:%3: 検査の後で変わっているので直しません。")
                        .arg(path)
                        .arg(f->line)
                        .arg(f->column));
                continue;
            }
            text.replace(f->index, f->link.size(), f->fix);
            fix.changes.prepend(
                QStringLiteral("%1:%2: %3 → %4").arg(f->line).arg(f->column).arg(f->link, f->fix));
        }
        if (fix.changes.isEmpty())
            continue;
        fix.newBytes = *encoded(text, page);
        plan.files.push_back(std::move(fix));
    }
    return plan;
}

std::variant<AppliedFix, QString> applyCaseFix(const CaseFixPlan &plan, const QString &keepRoot)
{
    AppliedFix applied;
    applied.keptIn = keepRoot + QStringLiteral("/linkfix-") +
                     QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmsszzz"));
    if (!QDir().mkpath(applied.keptIn))
        return QStringLiteral("元のファイルを残すフォルダーを作れませんでした: ") + applied.keptIn;
    QString list;
    for (size_t k = 0; k < plan.files.size(); ++k) {
        if (!writeAll(applied.keptIn + QStringLiteral("/%1.original").arg(k),
                      plan.files[k].oldBytes))
            return QStringLiteral("元のファイルを残せませんでした: ") + applied.keptIn;
        list += QStringLiteral("%1.original\t%2\n").arg(k).arg(plan.files[k].file);
    }
    if (!writeAll(applied.keptIn + QStringLiteral("/files.txt"), list.toUtf8()))
        return QStringLiteral("元のファイルの一覧を残せませんでした: ") + applied.keptIn;
    for (const FileFix &fix : plan.files) {
        if (const std::optional<QString> failure =
                files::writeFileAtomically(fix.file, fix.newBytes)) {
            bool restored = true;
            for (const FileFix &done : applied.files)
                restored = !files::writeFileAtomically(done.file, done.oldBytes) && restored;
            if (!restored)
                return fix.file + QStringLiteral(" を書き込めませんでした。") + *failure +
                       QStringLiteral(" 書き込んだファイルの元の内容は ") + applied.keptIn +
                       QStringLiteral(" にあります。");
            QDir(applied.keptIn).removeRecursively();
            return fix.file + QStringLiteral(" を書き込めませんでした。") + *failure +
                   QStringLiteral(" 書き込んだファイルは元に戻しました。");
        }
        applied.files.push_back(fix);
    }
    return applied;
}

QStringList undoCaseFix(const AppliedFix &fix)
{
    QStringList left;
    for (const FileFix &file : fix.files) {
        if (readAll(file.file) != file.newBytes) {
            left.append(file.file +
                        QStringLiteral(": 修正の後で変わっているので元に戻しませんでした。"));
            continue;
        }
        if (const std::optional<QString> failure =
                files::writeFileAtomically(file.file, file.oldBytes))
            left.append(file.file + QStringLiteral(": 元に戻せませんでした。") + *failure);
    }
    if (left.isEmpty())
        QDir(fix.keptIn).removeRecursively();
    return left;
}

} // namespace links
