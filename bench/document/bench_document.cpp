// bench_document [megabytes]: opens the generated Japanese page saved as EUC-JP with LF (10 MB by
// default) in the main window with ReadCode 1, and saves it unedited with WriteCode 1. Prints the
// best of five runs of: reading and converting the file; the same until the text is in the
// editor; the whole open command (colouring included); the save command (fsync included); the
// content hash both of them take for the external-change check; and whether the saved file
// equals the original. Then the same page as Shift_JIS with CR LF and as UTF-8 with LF and
// characters outside Shift_JIS, side by side: reading, opening, saving, and whether an unedited
// save and a one-character edit give back the expected bytes.
#include "benchtiming.h"
#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "codec/filetext.h"
#include "codec/nkf.h"
#include "corpus.h"
#include "document/documentcontroller.h"
#include "files/filestamp.h"
#include "files/readdocument.h"
#include "platform/commondialog.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "platform/shellopen.h"
#include "settings/memorysettingsstore.h"
#include "testwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CodeTimes {
    double read = 0, open = 0, save = 0;
    bool same = false, editedSame = false;
};

// Opens and saves the page bytes (with markLength bytes of byte order mark) with ReadCode and
// WriteCode code; then types one character at the start and saves again.
CodeTimes measure(testsupport::TestWindow &window, const QString &path, QByteArray bytes, int code,
                  qsizetype markLength)
{
    CodeTimes t;
    if (!writeFile(path, bytes))
        return t;
    window.appSettings().ReadCode = codec::textCodeOf(code);
    window.appSettings().WriteCode = codec::textCodeOf(code);
    t.read = bestMs([&] { (void)files::readDocumentFile(path, codec::textCodeOf(code)); });
    t.open = bestMs([&] { window.documents().OpenDocument(path); });
    t.save = bestMs([&] { window.documents().SaveDocument(path); });
    t.same = readFile(path) == bytes;
    window.editor()->setSelStart(0);
    window.editor()->setSelText(QStringLiteral("x"));
    window.documents().SaveDocument(path);
    t.editedSame = readFile(path) == bytes.insert(markLength, 'x');
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double megabytes = argc > 1 ? QByteArray(argv[1]).toDouble() : 10.0;

    const QByteArray sjis = benchcorpus::makeCorpusCp932(qsizetype(megabytes * 1024 * 1024));
    QByteArray cp932 = sjis;
    cp932.replace("\r\n", "\n");
    QByteArray eucPage = cp932;
    eucPage.replace("charset=Shift_JIS", "charset=EUC-JP");
    const QByteArray euc = codec::convertCp932ToEucJp(eucPage).bytes;
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/corpus.html");
    if (!writeFile(path, euc))
        return 1;
    out << "EUC-JP page: " << euc.size() << " bytes\n";

    platform::QtPrompter prompter;
    platform::QtDialogBackend dialogs;
    platform::DesktopShellOpener shell;
    settings::MemorySettingsStore store;
    platform::Platform platform{prompter, dialogs, shell, store};
    testsupport::TestWindow window(platform);
    window.Form_Load(QString());
    window.appSettings().ReadCode = codec::TextCode::EucJp;
    window.appSettings().WriteCode = codec::TextCode::EucJp;

    QByteArray converted;
    report(QStringLiteral("  convertToCp932"),
           bestMs([&] { converted = codec::convertToCp932(euc).bytes; }));
    QString decoded;
    report(QStringLiteral("  decodeCp932"),
           bestMs([&] { decoded = codec::decodeCp932(converted).text; }));
    report(QStringLiteral("  encodeCp932"), bestMs([&] { (void)codec::encodeCp932(decoded); }));
    report(QStringLiteral("  convertCp932ToEucJp"),
           bestMs([&] { (void)codec::convertCp932ToEucJp(converted); }));
    report(QStringLiteral("read + convert (readDocumentFile)"),
           bestMs([&] { (void)files::readDocumentFile(path, codec::TextCode::EucJp); }));
    {
        const QString text =
            std::get<codec::LoadedText>(files::readDocumentFile(path, codec::TextCode::EucJp)).text;
        report(QStringLiteral("editor setText alone (CR LF)"),
               bestMs([&] { window.editor()->setText(text); }));
        QPlainTextEdit plain;
        report(QStringLiteral("for comparison: a bare QPlainTextEdit::setPlainText"),
               bestMs([&] { plain.setPlainText(text); }));
    }
    report(QStringLiteral("open until the text is in the editor"), bestMs([&] {
               auto read = files::readDocumentFile(path, codec::TextCode::EucJp);
               window.editor()->setText(std::get<codec::LoadedText>(read).text);
           }));
    report(QStringLiteral("OpenDocument (colouring included)"),
           bestMs([&] { window.documents().OpenDocument(path); }));
    report(QStringLiteral("SaveDocument as EUC-JP (fsync included)"),
           bestMs([&] { window.documents().SaveDocument(path); }));
    report(QStringLiteral("  of which the content hash (xxHash), open or save"),
           bestMs([&] { (void)files::contentHash(euc); }));

    const bool same = readFile(path) == euc;
    out << "saved file equals the original: " << (same ? "yes" : "NO") << "\n";

    // The same text as Shift_JIS with CR LF and as UTF-8 with a byte order mark and LF; then
    // UTF-8 with characters outside Shift_JIS added to every paragraph.
    QString text = codec::decodeCp932(cp932).text;
    text.replace(QStringLiteral("charset=Shift_JIS"), QStringLiteral("charset=UTF-8"));
    const QByteArray utf8 = "\xEF\xBB\xBF" + text.toUtf8();
    text.replace(QStringLiteral("</p>"), QStringLiteral("𠮷😀</p>"));
    const QByteArray outside = "\xEF\xBB\xBF" + text.toUtf8();
    out << "\nShift_JIS " << sjis.size() << " bytes, UTF-8 " << utf8.size()
        << " bytes, UTF-8 with 𠮷😀 in every paragraph " << outside.size() << " bytes\n";
    const std::array<CodeTimes, 3> t = {measure(window, path, sjis, 0, 0),
                                        measure(window, path, utf8, 2, 3),
                                        measure(window, path, outside, 2, 3)};
    out << qSetFieldWidth(36) << Qt::left << "" << qSetFieldWidth(12) << Qt::right << "Shift_JIS"
        << "UTF-8"
        << "UTF-8 𠮷😀" << qSetFieldWidth(0) << "\n";
    const auto row = [&](const char *what, double CodeTimes::*field) {
        out << qSetFieldWidth(36) << Qt::left << what << qSetFieldWidth(12) << Qt::right;
        for (const CodeTimes &c : t)
            out << QString::number(c.*field, 'f', 1) + QStringLiteral(" ms");
        out << qSetFieldWidth(0) << "\n";
    };
    row("read + decode (readDocumentFile)", &CodeTimes::read);
    row("OpenDocument (colouring included)", &CodeTimes::open);
    row("SaveDocument (fsync included)", &CodeTimes::save);
    bool allSame = same;
    out << "unedited save equals the original / after typing one character differs by it only:";
    for (const CodeTimes &c : t) {
        out << " " << (c.same ? "yes" : "NO") << "/" << (c.editedSame ? "yes" : "NO");
        allSame = allSame && c.same && c.editedSame;
    }
    out << "\n";
    return allSame ? 0 : 1;
}
