#include "site/commandline.h"

#include "codec/filetext.h"
#include "files/readdocument.h"
#include "site/folderconvert.h"
#include "site/folderjob.h"
#include "site/folderoperation.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cstdio>
#include <malloc.h>
#include <string_view>

namespace site
{

const char *const FolderCommandUsage =
    "  --search-folder フォルダー --find 文字列 [--regexp] [--ignore-case]\n"
    "             [--include 'パターン;…'] [--no-subfolders]\n"
    "             フォルダーの中のファイルを、ファイルごとの文字コードで検索し、\n"
    "             「パス:行:桁: 行」の形で表示します（見つかれば 0、なければ 1、\n"
    "             エラーなら 2 で終わります）。パターンの既定は *.htm;*.html;*.shtml です\n"
    "  --replace-with 置換後  --search-folder と一緒に使い、見つけた文字列を置き換えます。\n"
    "             ファイルごとに、書いた件数か書かなかった理由を表示します\n"
    "  --dry-run  置き換えずに、書くファイルと書かないファイルを表示します\n"
    "  --undo-folder-operation  最後のフォルダー置換（または文字コード変換）を元に戻します\n"
    "  --convert-folder フォルダー --to UTF-8|Shift_JIS|EUC-JP [--dry-run]\n"
    "             [--include 'パターン;…'] [--no-subfolders]\n"
    "             フォルダーの中のページをすべて一つの文字コードにし、文字コードの宣言も\n"
    "             書き換えます。改行は元のままです。その文字コードで書けない文字は\n"
    "             数値文字参照（&#x301C; など）で書き、一つずつ表示します。\n"
    "             --dry-run では何も書かずに、変換するファイル、書けない文字、\n"
    "             変換しないファイルとその理由を表示します。すべてのページがそのまま\n"
    "             変換できた（または変換済みだった）なら 0、変換しないページや文字参照に\n"
    "             した文字があれば 1、エラー（書いた後の確かめで違いが見つかり、すべて\n"
    "             元に戻した場合も）なら 2 で終わります\n";

namespace
{

struct Command {
    QString folder;
    FindOptions find;
    QString include = defaultPatterns();
    bool subfolders = true;
    bool replace = false;
    bool dryRun = false;
    bool undo = false;
    bool convert = false;
    QString target;
};

void out(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout); // a line per file as it is done, for whoever watches the output
}

void err(const QString &line)
{
    const QByteArray bytes = QStringLiteral("たぶれん: ").toUtf8() + line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

std::optional<Command> parse(const QStringList &arguments, QString *error)
{
    Command command;
    bool haveFind = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const auto value = [&](QString *target) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 の後に値がありません。").arg(a);
                return false;
            }
            *target = arguments[++i];
            return true;
        };
        if (a == QLatin1String("--search-folder")) {
            if (!value(&command.folder))
                return std::nullopt;
        } else if (a == QLatin1String("--find")) {
            if (!value(&command.find.find))
                return std::nullopt;
            haveFind = true;
        } else if (a == QLatin1String("--replace-with")) {
            if (!value(&command.find.replacement))
                return std::nullopt;
            command.replace = true;
        } else if (a == QLatin1String("--include")) {
            if (!value(&command.include))
                return std::nullopt;
        } else if (a == QLatin1String("--regexp")) {
            command.find.regexp = true;
        } else if (a == QLatin1String("--ignore-case")) {
            command.find.ignoreCase = true;
        } else if (a == QLatin1String("--no-subfolders")) {
            command.subfolders = false;
        } else if (a == QLatin1String("--dry-run")) {
            command.dryRun = true;
        } else if (a == QLatin1String("--convert-folder")) {
            if (!value(&command.folder))
                return std::nullopt;
            command.convert = true;
        } else if (a == QLatin1String("--to")) {
            if (!value(&command.target))
                return std::nullopt;
        } else if (a == QLatin1String("--undo-folder-operation")) {
            command.undo = true;
        } else {
            *error = QStringLiteral("知らない引数です: %1").arg(a);
            return std::nullopt;
        }
    }
    if (command.undo)
        return command;
    if (command.convert) {
        if (haveFind || command.replace) {
            *error = QStringLiteral(
                "--convert-folder は --find や --replace-with と一緒には使えません。");
            return std::nullopt;
        }
        if (!conversionTargetOfName(command.target)) {
            *error =
                QStringLiteral("--to には UTF-8、Shift_JIS、EUC-JP のどれかを指定してください。");
            return std::nullopt;
        }
    } else if (command.folder.isEmpty() || !haveFind) {
        *error = QStringLiteral("--search-folder と --find の両方が要ります。");
        return std::nullopt;
    }
    if (splitPatterns(command.include).isEmpty()) {
        *error = QStringLiteral("--include にファイル名のパターンがありません。");
        return std::nullopt;
    }
    return command;
}

FolderJobOptions jobOptions(const Command &command)
{
    FolderJobOptions options;
    options.walk.folder = QDir(command.folder).absolutePath();
    options.walk.patterns = splitPatterns(command.include);
    options.walk.subfolders = command.subfolders;
    options.walk.sizeLimit = files::kMaxFileSize;
    options.find = command.find;
    options.replace = command.replace;
    return options;
}

QString formOf(const FileResult &result)
{
    return encodingLabel(result.form) + QStringLiteral(", ") + lineEndsLabel(result.form.lineEnds);
}

int search(const Command &command)
{
    bool matched = false;
    auto failure = runFolderJob(jobOptions(command), [&](FileResult &&result) {
        if (!result.skipReason.isEmpty()) {
            err(result.relativePath + QStringLiteral(": 読みませんでした: ") + result.skipReason);
            return;
        }
        for (const PlacedMatch &match : result.matches) {
            matched = true;
            out(QStringLiteral("%1:%2:%3: %4")
                    .arg(result.relativePath)
                    .arg(match.line)
                    .arg(match.column)
                    .arg(match.lineText));
        }
    });
    if (failure) {
        err(command.folder + QStringLiteral(": ") + *failure);
        return 2;
    }
    return matched ? 0 : 1;
}

int replace(const Command &command)
{
    const FolderJobOptions options = jobOptions(command);
    std::vector<FileResult> plan;
    bool any = false;
    auto failure = runFolderJob(options, [&](FileResult &&result) {
        if (!result.skipReason.isEmpty()) {
            out(result.relativePath + QStringLiteral(": 書きません: ") + result.skipReason);
            return;
        }
        any = true;
        if (command.dryRun) {
            out(result.relativePath + QStringLiteral(": %1 件を置き換えます（%2）")
                                          .arg(result.matches.size())
                                          .arg(formOf(result)));
            return;
        }
        for (PlacedMatch &match : result.matches)
            match.lineText.clear(); // only the count is needed from here on
        plan.push_back(std::move(result));
    });
    if (failure) {
        err(command.folder + QStringLiteral(": ") + *failure);
        return 2;
    }
    if (command.dryRun || plan.empty())
        return any ? 0 : 1;
    bool written = false;
    failure = applyReplacement(options.walk.folder, command.find, plan, [&](const FileOutcome &o) {
        if (o.skipReason.isEmpty()) {
            written = true;
            out(o.relativePath + QStringLiteral(": %1 件置き換えました").arg(o.count));
        } else {
            out(o.relativePath + QStringLiteral(": 書きません: ") + o.skipReason);
        }
    });
    if (failure) {
        err(*failure);
        return 2;
    }
    return written ? 0 : 1;
}

QString unwritableLine(const QString &relativePath, const UnwritableChar &u, bool done)
{
    return QStringLiteral("%1:%2:%3: 「%4」（U+%5）%6 %7")
        .arg(relativePath)
        .arg(u.line)
        .arg(u.column)
        .arg(QString::fromUcs4(&u.character, 1))
        .arg(QString::number(uint(u.character), 16).toUpper().rightJustified(4, QLatin1Char('0')))
        .arg(done ? QStringLiteral("を") : QStringLiteral("は書けないため"))
        .arg(u.referable ? u.reference + (done ? QStringLiteral(" と書きました")
                                               : QStringLiteral(" と書きます"))
                         : QStringLiteral("文字参照にもできない所にあります"));
}

int convert(const Command &command)
{
    ConvertOptions options;
    options.walk = jobOptions(command).walk;
    options.target = *conversionTargetOfName(command.target);
    std::vector<ConvertResult> plan;
    bool listed = false; // something skipped or written as a reference
    auto failure = runConvertJob(options, [&](ConvertResult &&result) {
        switch (result.kind) {
        case PageConversion::Kind::AlreadyDone:
            out(result.relativePath +
                QStringLiteral(": 変換済みです（%1）").arg(encodingLabel(result.from)));
            return;
        case PageConversion::Kind::Skip:
            listed = true;
            out(result.relativePath + QStringLiteral(": 変換しません: ") + result.skipReason);
            if (command.dryRun)
                for (const UnwritableChar &u : result.unwritable)
                    out(unwritableLine(result.relativePath, u, false));
            return;
        case PageConversion::Kind::Convert:
            break;
        }
        listed |= !result.unwritable.empty();
        if (command.dryRun) {
            out(result.relativePath +
                QStringLiteral(": 変換します（%1）%2")
                    .arg(conversionLabel(result))
                    .arg(result.declarationAdded ? QStringLiteral("、宣言を加えます") : QString()));
            for (const UnwritableChar &u : result.unwritable)
                out(unwritableLine(result.relativePath, u, false));
            return;
        }
        plan.push_back(std::move(result));
    });
    if (failure) {
        err(command.folder + QStringLiteral(": ") + *failure);
        return 2;
    }
    if (command.dryRun || plan.empty())
        return listed ? 1 : 0;
    QHash<QString, const ConvertResult *> byPath;
    for (const ConvertResult &result : plan)
        byPath.insert(result.path, &result);
    failure = applyConversion(options.walk.folder, options.target, plan, [&](const FileOutcome &o) {
        const ConvertResult *planned = byPath.value(o.path);
        if (o.puttingBack) {
            if (o.restored)
                out(o.relativePath + QStringLiteral(": 元に戻しました"));
            else if (!o.skipReason.isEmpty())
                out(o.relativePath + QStringLiteral(": 戻せません: ") + o.skipReason);
        } else if (!o.skipReason.isEmpty()) {
            listed = true;
            out(o.relativePath + QStringLiteral(": 書きません: ") + o.skipReason);
        } else if (planned) {
            out(o.relativePath +
                QStringLiteral(": 変換しました（%1）").arg(conversionLabel(*planned)));
            for (const UnwritableChar &u : planned->unwritable)
                out(unwritableLine(o.relativePath, u, true));
        }
    });
    if (failure) {
        err(*failure);
        return 2;
    }
    return listed ? 1 : 0;
}

int undo()
{
    const std::optional<OperationInfo> last = lastOperation();
    if (!last) {
        err(QStringLiteral("元に戻せるフォルダーの置換はありません。"));
        return 1;
    }
    bool failed = false;
    auto failure = undoOperation(*last, [&](const FileOutcome &o) {
        if (!o.skipReason.isEmpty()) {
            failed = true;
            out(o.relativePath + QStringLiteral(": 戻しません: ") + o.skipReason);
        } else if (!o.restored) {
            out(o.relativePath + QStringLiteral(": 元のままです"));
        } else {
            out(o.relativePath + QStringLiteral(": 元に戻しました"));
        }
    });
    if (failure) {
        err(*failure);
        return 2;
    }
    return failed ? 2 : 0;
}

} // namespace

bool isFolderCommand(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "--search-folder" || a == "--undo-folder-operation" || a == "--convert-folder")
            return true;
    }
    return false;
}

int runFolderCommand(const QStringList &arguments)
{
    // One page after another of about the same size: let the allocator keep the pages' buffers
    // for the next page instead of giving them back to the system and faulting them in again.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    QString error;
    const std::optional<Command> command = parse(arguments, &error);
    if (!command) {
        err(error);
        return 2;
    }
    if (command->undo)
        return undo();
    if (command->convert)
        return convert(*command);
    return command->replace ? replace(*command) : search(*command);
}

} // namespace site
