// bench_document [megabytes]: opens the generated Japanese page saved as EUC-JP with LF (10 MB by
// default) in the main window with ReadCode 1, and saves it unedited with WriteCode 1. Prints the
// best of five runs of: reading and converting the file; the same until the text is in the
// editor; the whole open command (colouring included); the save command (fsync included); the
// content hash both of them take for the external-change check; and whether the saved file
// equals the original.
#include "app/commondialog.h"
#include "app/frmmain.h"
#include "app/prompter.h"
#include "app/richtextbox.h"
#include "app/shellopen.h"
#include "benchtiming.h"
#include "corpus.h"
#include "document/cp932.h"
#include "document/documentcontroller.h"
#include "document/documentfile.h"
#include "document/eucjp.h"
#include "document/filestamp.h"
#include "document/nkf.h"
#include "settings/memorysettingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace
{

using benchcorpus::bestMs;

QTextStream out(stdout);

void report(const QString &what, double ms)
{
    out << qSetFieldWidth(52) << Qt::left << what << qSetFieldWidth(0) << Qt::right
        << QString::number(ms, 'f', 1) << " ms\n";
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double megabytes = argc > 1 ? QByteArray(argv[1]).toDouble() : 10.0;

    QByteArray cp932 = benchcorpus::makeCorpusCp932(qsizetype(megabytes * 1024 * 1024));
    cp932.replace("\r\n", "\n");
    const QByteArray euc = document::convertCp932ToEucJp(cp932).bytes;
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/corpus.html");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(euc) != euc.size())
        return 1;
    file.close();
    out << "EUC-JP page: " << euc.size() << " bytes\n";

    app::QtPrompter prompter;
    app::QtDialogBackend dialogs;
    app::DesktopShellOpener shell;
    settings::MemorySettingsStore store;
    app::Platform platform{prompter, dialogs, shell, store};
    app::frmMain window(platform);
    window.Form_Load(QString());
    window.AppSettings.ReadCode = 1;
    window.AppSettings.WriteCode = 1;

    QByteArray converted;
    report(QStringLiteral("  convertToCp932"),
           bestMs([&] { converted = document::convertToCp932(euc).bytes; }));
    QString decoded;
    report(QStringLiteral("  decodeCp932"),
           bestMs([&] { decoded = document::decodeCp932(converted).text; }));
    report(QStringLiteral("  encodeCp932"), bestMs([&] { (void)document::encodeCp932(decoded); }));
    report(QStringLiteral("  convertCp932ToEucJp"),
           bestMs([&] { (void)document::convertCp932ToEucJp(converted); }));
    report(QStringLiteral("read + convert (readDocumentFile)"),
           bestMs([&] { (void)document::readDocumentFile(path, 1); }));
    {
        const QString text =
            std::get<document::LoadedText>(document::readDocumentFile(path, 1)).text;
        report(QStringLiteral("editor setText alone (CR LF)"),
               bestMs([&] { window.rtbMain->setText(text); }));
        QPlainTextEdit plain;
        report(QStringLiteral("for comparison: a bare QPlainTextEdit::setPlainText"),
               bestMs([&] { plain.setPlainText(text); }));
    }
    report(QStringLiteral("open until the text is in the editor"), bestMs([&] {
               auto read = document::readDocumentFile(path, 1);
               window.rtbMain->setText(std::get<document::LoadedText>(read).text);
           }));
    report(QStringLiteral("OpenDocument (colouring included)"),
           bestMs([&] { window.documents().OpenDocument(path); }));
    report(QStringLiteral("SaveDocument as EUC-JP (fsync included)"),
           bestMs([&] { window.documents().SaveDocument(path, false); }));
    report(QStringLiteral("  of which the content hash (xxHash), open or save"),
           bestMs([&] { (void)document::contentHash(euc); }));

    QFile saved(path);
    const bool same = saved.open(QIODevice::ReadOnly) && saved.readAll() == euc;
    out << "saved file equals the original: " << (same ? "yes" : "NO") << "\n";
    return same ? 0 : 1;
}
