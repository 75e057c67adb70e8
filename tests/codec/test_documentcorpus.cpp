// The generated Japanese page opened and saved unedited through the main window comes back byte
// for byte: as Shift_JIS with CR LF (ReadCode 0, WriteCode 0), as EUC-JP with LF (1, 1) and as
// UTF-8 with a byte order mark and LF (2, 2); an edit then changes only its own bytes.
#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "corpus.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "testwindow.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class TestDocumentCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unchangedSaveIsByteIdentical_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("Shift_JIS, CR LF") << 0;
        QTest::newRow("EUC-JP, LF") << 1;
        QTest::newRow("UTF-8, byte order mark, LF, characters outside Shift_JIS") << 2;
    }
    void unchangedSaveIsByteIdentical()
    {
        QFETCH(int, code);
        QByteArray bytes = benchcorpus::makeCorpusCp932(400 * 1024);
        qsizetype markLength = 0;
        if (code != 0) {
            bytes.replace("\r\n", "\n");
            bytes.replace("charset=Shift_JIS", code == 1 ? "charset=EUC-JP" : "charset=UTF-8");
        }
        if (code == 1) {
            const codec::ConversionResult euc = codec::convertCp932ToEucJp(bytes);
            QCOMPARE(euc.firstUnconvertible, -1);
            bytes = euc.bytes;
        } else if (code == 2) {
            QString text = codec::decodeCp932(bytes).text;
            text.replace(u"</p>"_s, u"𠮷😀㈱</p>"_s);
            bytes = "\xEF\xBB\xBF" + text.toUtf8();
            markLength = 3;
        }
        QTemporaryDir dir;
        const QString path = dir.path() + u"/corpus.html"_s;
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.appSettings().ReadCode = codec::textCodeOf(code);
        w.appSettings().WriteCode = codec::textCodeOf(code);
        w.OpenDocument(path);
        QVERIFY(f.prompter.shown.isEmpty());
        QVERIFY(QFile::remove(path));
        f.prompter.answers
            << platform::MsgAnswer::Yes; // the file is gone from disk: write it again
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray back = saved.readAll();
        QCOMPARE(back.size(), bytes.size());
        QVERIFY(back == bytes);

        // An edit changes only its own bytes.
        w.editor()->setSelStart(0);
        w.editor()->setSelText(u"x"_s);
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QFile edited(path);
        QVERIFY(edited.open(QIODevice::ReadOnly));
        QVERIFY(edited.readAll() == bytes.insert(markLength, 'x'));
    }
};

TAVLEN_TEST_MAIN(TestDocumentCorpus)
#include "test_documentcorpus.moc"
