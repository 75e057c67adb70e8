#include "document/documentcontroller.h"

#include "codec/filetext.h"
#include "document/declarationquestion.h"
#include "document/interruptedsave.h"
#include "document/longlineoffer.h"
#include "files/atomicwrite.h"
#include "files/documentpath.h"
#include "files/readdocument.h"
#include "files/recoveryfolder.h"
#include "files/snapshotkeeper.h"
#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "platform/sharedstate.h"
#include "settings/appsettings.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace document
{
namespace
{

using namespace platform::dlgflags;
constexpr quint32 kOpenFlags = FileMustExist | HideReadOnly | Explorer | LongNames;
constexpr quint32 kSaveFlags = OverwritePrompt | HideReadOnly | Explorer | LongNames;

// Whether two paths name the same file (the same spelling, or the same file on disk).
bool sameFile(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

// A file that nobody is meant to write (no write permission at all) which this process could
// write anyway, as root can: saving over it needs the user's word.
bool writableThoughReadOnly(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {
    };
    return ::stat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 &&
           ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
}

bool isHtmlPath(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QStringView extension = QStringView(path).sliced(dot);
    for (const auto html : {u".htm", u".html", u".shtml"})
        if (extension.compare(QStringView(html), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// "「X」（U+XXXX）" for the character at index; a lone surrogate only by its code.
QString describeCharacter(QStringView text, qsizetype index)
{
    const QChar c = text[index];
    char32_t code = c.unicode();
    qsizetype length = 1;
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, text[index + 1]);
        length = 2;
    }
    const QString codeText =
        QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    if (c.isSurrogate() && length == 1)
        return codeText;
    return QStringLiteral("「%1」（%2）").arg(text.sliced(index, length).toString(), codeText);
}

// The open-time warning: what saving would not give back, and an encoding that looks wrong.
QString openWarning(const QString &path, const QString &problems, const QString &note)
{
    const QString text =
        problems.isEmpty()
            ? QStringLiteral("このファイルの文字コードを確認してください。\r\n%1").arg(path)
            : QStringLiteral(
                  "このファイルは、そのまま保存しても元と同じ内容には戻りません。\r\n%1\r\n%2")
                  .arg(path, problems);
    return note.isEmpty() ? text : text + QStringLiteral("\r\n") + note;
}

} // namespace

DocumentController::DocumentController(DocumentContext context) : m_c(std::move(context)) {}

void DocumentController::showError(const QString &text)
{
    m_c.prompter.message(&m_c.window, text, QStringLiteral("エラー"),
                         platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
}

void DocumentController::showDocument(const QString &path)
{
    m_c.effects.setCaption(path);
    m_c.effects.setSaveEnabled(!path.isEmpty());
}

bool DocumentController::OpenDocument(const QString &path)
{
    platform::SharedState &state = m_c.state;
    if (!files::isAbsolutePath(path)) { // where it lies cannot be known, so it is not guessed
        showError(QStringLiteral("ファイルを開けませんでした。\r\n%1\r\n%2")
                      .arg(path, QStringLiteral("どのフォルダーのファイルか分かりません"
                                                "（フォルダーから始まるパスではありません）。")));
        return false;
    }
    if (files::heldByAnotherCopy(m_c.recovery.folder(), path) && !confirmHeldElsewhere(path))
        return false;
    state.bolBusy = true;
    files::FileStamp stamp =
        files::stampOf(path); // before reading: a change while reading shows later
    auto read = files::readDocumentFile(path, m_c.settings.ReadCode);
    if (const auto *failure = std::get_if<files::FileFailure>(&read)) {
        state.bolBusy = false;
        showError(
            QStringLiteral("ファイルを開けませんでした。\r\n%1\r\n%2").arg(path, failure->reason));
        return false;
    }
    codec::LoadedText &loaded = std::get<codec::LoadedText>(read);
    offerLineBreaks(m_c.prompter, &m_c.window, loaded.text);
    stamp.hashed = true;
    stamp.contentHash = loaded.contentHash;
    m_c.editor.setText(loaded.text);
    loaded.text.clear();
    state.bolBusy = false;
    m_c.effects.recolour();

    state.strFileFolder = files::folderOfPath(path);
    state.strFilePath = path;
    showDocument(path);
    state.bolEditing = false;
    m_inexactPath = loaded.problems.isEmpty() ? QString() : path;
    m_inexactReason = loaded.problems.join(QStringLiteral("\r\n"));
    m_shape = loaded.shape;
    m_stampPath = path;
    m_stamp = stamp;
    m_c.recovery.discard();
    AddRecentFile(path);
    if (!loaded.problems.isEmpty() || !loaded.encodingNote.isEmpty())
        m_c.prompter.message(&m_c.window, openWarning(path, m_inexactReason, loaded.encodingNote),
                             QStringLiteral("警告"), platform::MsgIcon::Exclamation,
                             platform::MsgButtons::Ok);
    return true;
}

bool DocumentController::confirmUnmappable(const QString &text, qsizetype index,
                                           codec::TextCode writeCode)
{
    const codec::TextPosition at = codec::positionOf(text, index);
    const platform::MsgAnswer answer = m_c.prompter.message(
        &m_c.window,
        QStringLiteral("%1 行 %2 列目の%3など、%4 で表せない文字があります。\r\n"
                       "これらの文字を数値文字参照（&#x…;）にして保存しますか？")
            .arg(at.line)
            .arg(at.column)
            .arg(describeCharacter(text, index), codec::encodingName(writeCode)),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNo);
    return answer == platform::MsgAnswer::Yes;
}

bool DocumentController::confirmChangedOnDisk(const QString &path, bool deleted)
{
    const QString text =
        deleted
            ? QStringLiteral("このファイルは、開いた後（または最後に保存した後）に削除されたか、"
                             "名前が変わりました。\r\n%1\r\n"
                             "この名前でファイルを作り直して保存しますか？")
            : QStringLiteral("このファイルは、開いた後（または最後に保存した後）に、"
                             "ほかのプログラムによって書き換えられています。\r\n%1\r\n"
                             "上書きすると、その変更は失われます。上書きしますか？");
    return m_c.prompter.message(&m_c.window, text.arg(path), QStringLiteral("確認"),
                                platform::MsgIcon::Question,
                                platform::MsgButtons::YesNo) == platform::MsgAnswer::Yes;
}

bool DocumentController::confirmHeldElsewhere(const QString &path)
{
    return m_c.prompter.message(
               &m_c.window,
               QStringLiteral("このファイルは、ほかに起動しているたぶれんで開かれていて、"
                              "保存されていない変更があります。\r\n%1\r\n"
                              "両方で編集すると、どちらかの変更が失われるおそれがあります。"
                              "このまま開きますか？")
                   .arg(path),
               QStringLiteral("確認"), platform::MsgIcon::Exclamation,
               platform::MsgButtons::YesNo) == platform::MsgAnswer::Yes;
}

bool DocumentController::SaveDocument(const QString &path)
{
    if (!m_stampPath.isEmpty() && sameFile(path, m_stampPath)) {
        if (files::changedSince(m_stamp, path) &&
            !confirmChangedOnDisk(path, !files::stampOf(path).exists))
            return false;
    }
    if (writableThoughReadOnly(path) &&
        m_c.prompter.message(&m_c.window,
                             QStringLiteral("このファイルは読み取り専用です。\r\n%1\r\n"
                                            "読み取り専用のファイルに上書きしますか？")
                                 .arg(path),
                             QStringLiteral("確認"), platform::MsgIcon::Question,
                             platform::MsgButtons::YesNo) != platform::MsgAnswer::Yes)
        return false;
    const bool overInexact = !m_inexactPath.isEmpty() && sameFile(path, m_inexactPath);
    if (overInexact) {
        const platform::MsgAnswer answer = m_c.prompter.message(
            &m_c.window,
            QStringLiteral("このファイルは、開いたときに次のことがありました。\r\n%1\r\n"
                           "上書きすると元のファイルの内容が変わります。上書きしますか？")
                .arg(m_inexactReason),
            QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNo);
        if (answer != platform::MsgAnswer::Yes)
            return false;
    }
    const codec::TextCode writeCode = m_c.settings.WriteCode;
    if (!confirmDeclaration(m_c.window, m_c.prompter, m_c.editor, m_c.effects.recolour, writeCode,
                            m_shape))
        return false;
    // Made from the editor's lines a slice at a time: a big page is not held once more whole.
    const codec::EncodedText encoded =
        codec::bytesFromLines(m_c.editor.rawText(), writeCode, m_shape);
    if (encoded.firstUnmappable >= 0 &&
        !confirmUnmappable(m_c.editor.Text(), encoded.firstUnmappable, writeCode))
        return false;
    const QString failed = QStringLiteral("ファイルを保存できませんでした。\r\n%1\r\n%2");
    if (encoded.converterFailed) {
        showError(failed.arg(path, QStringLiteral("EUC-JP に変換できない文字があります。")));
        return false;
    }
    if (const std::optional<QString> failure = files::writeFileAtomically(path, encoded.bytes)) {
        showError(failed.arg(path, *failure));
        return false;
    }
    if (overInexact)
        m_inexactPath.clear();
    m_stampPath = path;
    m_stamp = files::stampOf(path, encoded.bytes);
    m_c.recovery.discard();
    AddRecentFile(path);
    return true;
}

bool DocumentController::SaveDocumentAs()
{
    platform::DialogProperties &props = m_c.cdlFile.props;
    props.DialogTitle = QStringLiteral("ファイルに保存");
    props.Flags = kSaveFlags;
    if (m_c.cdlFile.ShowSave() == platform::DialogOutcome::Cancelled)
        return false;
    const QString name = props.FileName;
    if (!SaveDocument(name))
        return false;
    m_c.state.strFilePath = name;
    showDocument(name);
    m_c.state.bolEditing = false;
    return true;
}

void DocumentController::AddRecentFile(const QString &path)
{
    auto &list = m_c.settings.RecentFiles;
    // Only whole paths are listed, and only an equal path is the same entry (Index.html and
    // index.html are two files).
    const bool listed = std::find(list.begin(), list.end(), path) != list.end();
    if (!listed && files::isAbsolutePath(path)) {
        std::move_backward(list.begin(), list.end() - 1, list.end());
        list.front() = path;
    }
    settings::SettingsStore &store = m_c.store;
    settings::SaveSettings(store, m_c.settings);
    QString reason;
    if (!store.flush(&reason) && !m_flushFailureShown) {
        m_flushFailureShown = true;
        showError(QStringLiteral("設定を保存できませんでした。\r\n%1").arg(reason));
    }
    m_c.effects.refreshRecentMenu();
}

bool DocumentController::ConfirmSave()
{
    if (!m_c.state.bolEditing)
        return false;
    const platform::MsgAnswer answer = m_c.prompter.message(
        &m_c.window,
        QStringLiteral("このファイルは内容が変更されています。\r\n変更をファイルに保存しますか？"),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNoCancel);
    if (answer == platform::MsgAnswer::Cancel)
        return true;
    if (answer != platform::MsgAnswer::Yes)
        return false;
    // A save that was wanted but did not happen (the file dialog cancelled, or the file not
    // written) stops the command, so no changes are lost. A save that happened leaves the
    // document saved, whatever the command then does.
    if (m_c.state.strFilePath.isEmpty())
        return !SaveDocumentAs();
    if (!SaveDocument(m_c.state.strFilePath))
        return true;
    m_c.state.bolEditing = false;
    return false;
}

void DocumentController::newFile()
{
    if (m_c.state.bolEditing && ConfirmSave())
        return;
    m_c.editor.setText(QString());
    m_c.state.strFilePath.clear();
    showDocument(QString());
    m_c.cdlFile.props.FileName.clear();
    m_inexactPath.clear();
    m_stampPath.clear();
    m_shape = codec::FileShape();
    m_c.state.bolEditing = false;
    m_c.recovery.discard();
}

void DocumentController::openFile()
{
    platform::DialogProperties &props = m_c.cdlFile.props;
    props.DialogTitle = QStringLiteral("ファイルを開く");
    props.Flags = kOpenFlags;
    if (m_c.cdlFile.ShowOpen() == platform::DialogOutcome::Cancelled)
        return;
    if (ConfirmSave())
        return;
    OpenDocument(props.FileName);
}

void DocumentController::openRecent(int index)
{
    if (index < 0 || index >= int(m_c.settings.RecentFiles.size()))
        return;
    const QString path = m_c.settings.RecentFiles[size_t(index)];
    if (path.isEmpty() || ConfirmSave())
        return;
    OpenDocument(path);
}

void DocumentController::save()
{
    if (!m_c.state.strFilePath.isEmpty()) {
        if (SaveDocument(m_c.state.strFilePath))
            m_c.state.bolEditing = false;
        return;
    }
    const platform::MsgAnswer answer = m_c.prompter.message(
        &m_c.window,
        QStringLiteral("このドキュメントはまだファイルに保存されていません。\r\n"
                       "ファイルを作成して保存しますか？"),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNo);
    if (answer == platform::MsgAnswer::Yes)
        SaveDocumentAs();
}

void DocumentController::dropped(const QMimeData *data)
{
    if (!data)
        return;
    QString firstFile;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            firstFile = url.toLocalFile();
            break;
        }
    }
    if (!firstFile.isEmpty()) {
        // The questions and messages come after the drop has returned, so the program the file
        // was dragged from never waits for the user's answer.
        QTimer::singleShot(0, &m_c.window, [this, firstFile] {
            if (!isHtmlPath(firstFile)) {
                showError(QStringLiteral("HTMLファイル以外を開くことはできません。"));
                return;
            }
            if (ConfirmSave())
                return;
            OpenDocument(firstFile);
        });
        return;
    }
    if (data->hasText())
        m_c.editor.setSelText(data->text());
}

} // namespace document

namespace document
{

files::Snapshot DocumentController::snapshot() const
{
    const platform::SharedState &state = m_c.state;
    const bool stamped = !state.strFilePath.isEmpty() && state.strFilePath == m_stampPath;
    const bool inexact = !m_inexactPath.isEmpty() && m_inexactPath == state.strFilePath;
    return {m_c.editor.rawText(), // shared, not copied: a big page is not held twice more
            state.strFilePath,
            stamped ? m_stamp : files::FileStamp{},
            inexact ? m_inexactReason : QString(),
            m_c.settings.ReadCode,
            m_c.settings.WriteCode,
            QDateTime::currentDateTime(),
            m_shape};
}

void DocumentController::restore(const files::Snapshot &snapshot)
{
    platform::SharedState &state = m_c.state;
    state.bolBusy = true;
    m_c.editor.setText(snapshot.text);
    state.bolBusy = false;
    m_c.effects.recolour();
    // A snapshot whose path does not say where the file lies comes back as a new document.
    const QString path = files::isAbsolutePath(snapshot.path) ? snapshot.path : QString();
    if (!path.isEmpty())
        state.strFileFolder = files::folderOfPath(path);
    state.strFilePath = path;
    showDocument(path);
    m_stampPath = path;
    m_stamp = snapshot.diskFile;
    m_inexactPath = snapshot.inexactReason.isEmpty() ? QString() : path;
    m_inexactReason = path.isEmpty() ? QString() : snapshot.inexactReason;
    m_shape = snapshot.shape;
    state.bolEditing = true;
}

void DocumentController::offerRecovery()
{
    files::SnapshotKeeper &keeper = m_c.recovery;
    if (!keeper.enabled())
        return;
    QStringList restored;
    const bool goOn = offerInterruptedSaves(m_c.prompter, &m_c.window, keeper.folder(), &restored);
    // The document read before its old bytes were written back shows the cut-short save: it is
    // read again, unless it has been changed here.
    const QString current = m_c.state.strFilePath;
    if (!current.isEmpty() && !m_c.state.bolEditing &&
        std::any_of(restored.cbegin(), restored.cend(),
                    [&current](const QString &path) { return sameFile(path, current); }))
        OpenDocument(current);
    if (!goOn)
        return;
    std::vector<files::LeftSnapshot> left = files::claimLeftSnapshots(keeper.folder());
    for (files::LeftSnapshot &entry : left) {
        const files::Snapshot &s = entry.snapshot;
        const platform::MsgAnswer answer = m_c.prompter.message(
            &m_c.window,
            QStringLiteral("前回、保存しないまま終わった編集内容が残っています。\r\n%1\r\n"
                           "（%2 の時点の内容、保存時の文字コード %3）\r\n"
                           "この内容を復元しますか？\r\n"
                           "「いいえ」でこの内容を削除し、「キャンセル」で次の起動まで残します。")
                .arg(files::isAbsolutePath(s.path) ? s.path : QStringLiteral("新規ファイル"),
                     s.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                     codec::encodingName(s.writeCode)),
            QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNoCancel);
        if (answer == platform::MsgAnswer::Cancel)
            return;
        QString reason;
        if (answer == platform::MsgAnswer::Yes) {
            restore(s);
            // The restored text is kept under this copy's own snapshot before the old one goes.
            if (const std::optional<QString> failure = keeper.writeNow()) {
                showError(QStringLiteral("復元した内容の控えを書けませんでした。"
                                         "元の控えは残します。\r\n%1")
                              .arg(*failure));
                return;
            }
        }
        if (!entry.remove(&reason))
            showError(QStringLiteral("復元用の控えを削除できませんでした。\r\n%1\r\n%2")
                          .arg(entry.file, reason));
        if (answer == platform::MsgAnswer::Yes)
            return;
    }
}

} // namespace document
