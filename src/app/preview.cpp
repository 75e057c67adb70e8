#include "app/preview.h"

#include "app/enginestart.h"
#include "app/previewbrowser.h"
#include "codec/filetext.h"
#include "platform/programfolder.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "platform/sharedstate.h"
#include "settings/appsettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QUrl>
#include <utility>

namespace app
{

namespace
{

// How many later time stamps are tried when a file of the name already exists.
constexpr int NameAttempts = 120;

// The text with a <base href> of folder, so that relative references resolve against the
// document's folder when the page is shown from elsewhere.
QString withBase(const QString &text, const QString &folder)
{
    const QString base =
        QStringLiteral("<base href=\"%1\">")
            .arg(QUrl::fromLocalFile(folder + QLatin1Char('/')).toString(QUrl::FullyEncoded));
    const qsizetype head = text.indexOf(QLatin1String("<head"), 0, Qt::CaseInsensitive);
    if (head >= 0) {
        const qsizetype close = text.indexOf(QLatin1Char('>'), head);
        if (close >= 0)
            return text.left(close + 1) + base + text.mid(close + 1);
    }
    return base + text;
}

} // namespace

QString scratchFileName(const QDateTime &when)
{
    return QStringLiteral("Tlprv") + when.toString(QStringLiteral("yyyyMMddHHmmss")) +
           QStringLiteral(".html");
}

PreviewController::PreviewController(PreviewContext context)
    : m_c(std::move(context)), m_scratchFiles(m_c.scratchRecords, m_c.owner)
{
}

void PreviewController::SwitchMode(bool preview)
{
    // Run as root the browser engine would end the program: refused before anything is written.
    if (preview) {
        if (const std::optional<QString> refusal = engineStartRefusal(currentEngineStart())) {
            m_c.prompter.message(&m_c.window, *refusal, QStringLiteral("エラー"),
                                 platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
            m_c.mnuPreview.setChecked(false);
            SwitchMode(false);
            return;
        }
    }
    m_c.editor.setVisible(!preview);
    m_c.browser.setVisible(preview);
    if (!preview)
        m_c.editor.setFocus(Qt::OtherFocusReason); // back to typing where the user was
    if (m_c.state.strFileFolder.isEmpty())
        m_c.state.strFileFolder = platform::programFolder();
    if (preview) {
        const auto written = writeScratchFile();
        if (const auto *failure = std::get_if<files::FileFailure>(&written)) {
            m_c.prompter.message(
                &m_c.window,
                QStringLiteral("プレビュー用の一時ファイルを書き込めませんでした。\r\n") +
                    failure->reason,
                QStringLiteral("エラー"), platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
            m_c.mnuPreview.setChecked(false);
            SwitchMode(false);
            return;
        }
        const QString path = std::get<QString>(written);
        strPreviewFile = path;
        // The new page supersedes the ones still loading: their files are not needed any more.
        // It is known before it is loaded, since a browser that cannot start ends the load at once.
        m_scratchFiles.removeAllBut(path);
        m_c.browser.Navigate2(QUrl::fromLocalFile(path));
    }
    m_c.setPanelText(QStringLiteral("Mode"),
                     preview ? QStringLiteral("プレビューモード") : QStringLiteral("編集モード"));
}

std::variant<QString, files::FileFailure> PreviewController::writeScratchFile()
{
    QString reason;
    const QString folder = m_c.state.strFileFolder;
    const QString text = m_c.editor.Text();
    const codec::TextCode writeCode = m_c.settings.WriteCode;
    // Beside the document first; where that folder cannot be written, in the temporary folder
    // with a base reference to the document's folder.
    const QString places[] = {folder, QDir::tempPath()};
    for (const QString &place : places) {
        const bool elsewhere = place != folder;
        const QByteArray bytes =
            codec::bytesFromText(elsewhere ? withBase(text, folder) : text, writeCode).bytes;
        QDateTime when = QDateTime::currentDateTime();
        for (int attempt = 0; attempt < NameAttempts; ++attempt, when = when.addSecs(1)) {
            const QString path = place + QLatin1Char('/') + scratchFileName(when);
            bool nameTaken = false;
            if (m_scratchFiles.create(path, bytes, &reason, &nameTaken))
                return path;
            if (!nameTaken)
                break; // the folder cannot take it: try the next place
        }
    }
    return files::FileFailure{reason};
}

void PreviewController::DocumentComplete(const QUrl &url)
{
    if (!url.isLocalFile())
        return;
    // Only a file this preview created is removed, wherever it was written.
    m_scratchFiles.remove(url.toLocalFile());
}

} // namespace app
