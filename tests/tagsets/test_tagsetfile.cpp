#include "tagsets/tagsetfile.h"
#include "testenv.h"

#include <QDir>
#include <QStringEncoder>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using tagsets::TagSetError;

namespace
{

const QDateTime fixedNow(QDate(2002, 5, 9), QTime(7, 5, 3));

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("Shift_JIS");
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        qFatal("test text is not code page 932");
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Limits the size of files this process may write, so that a write fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestTagSetFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void read_data();
    void read();
    void readFailures_data();
    void readFailures();
    void readAFifoDoesNotBlock();
    void writeFormat_data();
    void writeFormat();
    void writeThenReadAddsALineEnd();
    void writeReplacesContent();
    void writeUnencodableKeepsOldFile();
    void writeFailureKeepsOldFile();
    void writeRefusals_data();
    void writeRefusals();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestTagSetFile::init()
{
    m_folder = m_dir.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'/' +
               QString::fromLatin1(QTest::currentDataTag() ? QTest::currentDataTag() : "x");
    QVERIFY(QDir().mkpath(m_folder));
}

void TestTagSetFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("expand");
    QTest::addColumn<int>("writeCode");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("before and after, line end kept")
        << QByteArray("abc<$$#--#$$>xyz\r\n") << false << 0 << QStringList{u"abc"_s, u"xyz\r\n"_s};
    QTest::newRow("no separator gives three")
        << QByteArray("abc") << false << 0 << QStringList{u"abc"_s, QString(), QString()};
    QTest::newRow("separator first")
        << QByteArray("<$$#--#$$>xyz") << false << 0 << QStringList{QString(), u"xyz"_s};
    QTest::newRow("two separators") << QByteArray("a<$$#--#$$>b<$$#--#$$>c") << false << 0
                                    << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("separator alone")
        << QByteArray("<$$#--#$$>") << false << 0 << QStringList{QString(), QString()};
    QTest::newRow("broken separator") << QByteArray("a<$$#--#$$b") << false << 0
                                      << QStringList{u"a<$$#--#$$b"_s, QString(), QString()};
    QTest::newRow("empty file") << QByteArray() << false << 0
                                << QStringList{QString(), QString(), QString()};
    QTest::newRow("lines inside") << QByteArray("<ul>\r\n<li><$$#--#$$></li>\r\n</ul>\r\n") << true
                                  << 0 << QStringList{u"<ul>\r\n<li>"_s, u"</li>\r\n</ul>\r\n"_s};
    QTest::newRow("date kept without expand") << QByteArray("<$$#DATE#$$><$$#--#$$>") << false << 0
                                              << QStringList{u"<$$#DATE#$$>"_s, QString()};
    QTest::newRow("date expanded") << QByteArray("<$$#DATE#$$><$$#--#$$>") << true << 0
                                   << QStringList{u"2002/05/09"_s, QString()};
    QTest::newRow("time expanded") << QByteArray("<$$#--#$$><$$#TIME#$$>") << true << 0
                                   << QStringList{QString(), u"07:05:03"_s};
    QTest::newRow("small letters not expanded")
        << QByteArray("<$$#date#$$>") << true << 0
        << QStringList{u"<$$#date#$$>"_s, QString(), QString()};
    QTest::newRow("charset, WriteCode 0") << QByteArray("<$$#CHARSET#$$>") << true << 0
                                          << QStringList{u"Shift_JIS"_s, QString(), QString()};
    QTest::newRow("charset, WriteCode 1") << QByteArray("<$$#CHARSET#$$>") << true << 1
                                          << QStringList{u"EUC-JP"_s, QString(), QString()};
    QTest::newRow("charset, WriteCode 7") << QByteArray("<$$#CHARSET#$$>") << true << 7
                                          << QStringList{u"EUC-JP"_s, QString(), QString()};
    QTest::newRow("charset, WriteCode 2") << QByteArray("<$$#CHARSET#$$>") << true << 2
                                          << QStringList{u"UTF-8"_s, QString(), QString()};
    QTest::newRow("charset kept without expand")
        << QByteArray("<$$#CHARSET#$$>") << false << 1
        << QStringList{u"<$$#CHARSET#$$>"_s, QString(), QString()};
    QTest::newRow("version") << QByteArray("v<$$#TLVERSION#$$>") << true << 0
                             << QStringList{u"v1.00"_s, QString(), QString()};
    QTest::newRow("every placeholder in both texts")
        << QByteArray("<$$#DATE#$$> <$$#TIME#$$><$$#--#$$><$$#CHARSET#$$><$$#DATE#$$>") << true << 0
        << QStringList{u"2002/05/09 07:05:03"_s, u"Shift_JIS2002/05/09"_s};
    QTest::newRow("an expansion does not form another placeholder")
        << QByteArray("<$$#<$$#CHARSET#$$>DATE#$$>") << true << 0
        << QStringList{u"<$$#Shift_JISDATE#$$>"_s, QString(), QString()};
    QTest::newRow("Japanese and code page 932 extras")
        << cp932(u"<p>見出し①髙～<$$#--#$$></p>"_s) << false << 0
        << QStringList{u"<p>見出し①髙～"_s, u"</p>"_s};
}

void TestTagSetFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, expand);
    QFETCH(int, writeCode);
    QFETCH(QStringList, expected);
    writeBytes(m_folder + u"/sample.tag"_s, bytes);
    const tagsets::ReadResult result =
        tagsets::ReadTagSet(m_folder, u"sample"_s, expand, codec::textCodeOf(writeCode), fixedNow);
    QVERIFY(std::holds_alternative<QStringList>(result));
    QCOMPARE(std::get<QStringList>(result), expected);
}

void TestTagSetFile::readFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written as name.tag unless empty
    QTest::addColumn<bool>("asFolder");    // name.tag is a folder
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reasonPart");
    using Kind = TagSetError::Kind;
    QTest::newRow("missing") << u"gone"_s << QByteArray() << false << int(Kind::Missing)
                             << u"見つかりません"_s;
    QTest::newRow("a folder") << u"dir"_s << QByteArray() << true << int(Kind::Unreadable)
                              << u"ファイルではありません"_s;
    QTest::newRow("byte not in code page 932") << u"bad"_s << QByteArray("abc\r\nde\x80 f") << false
                                               << int(Kind::InvalidBytes) << u"2 行目"_s;
    QTest::newRow("bad second byte")
        << u"bad"_s << QByteArray("\x82\x30") << false << int(Kind::InvalidBytes) << u"1 行目"_s;
    QTest::newRow("bad byte after lines of Japanese")
        << u"bad"_s << (cp932(u"見出し\r\n\r\n段落"_s) + QByteArray("\xfd\r\n")) << false
        << int(Kind::InvalidBytes) << u"3 行目"_s;
    QTest::newRow("cut short at the end") << u"short"_s << QByteArray("a\r\nb\r\nc\x82") << false
                                          << int(Kind::InvalidBytes) << u"3 行目"_s;
    QTest::newRow("slash in name")
        << u"../escape"_s << QByteArray() << false << int(Kind::InvalidName) << u"名前"_s;
}

void TestTagSetFile::readFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, asFolder);
    QFETCH(int, kind);
    QFETCH(QString, reasonPart);
    if (asFolder)
        QVERIFY(QDir(m_folder).mkdir(name + u".tag"_s));
    else if (!bytes.isEmpty())
        writeBytes(tagsets::TagSetPath(m_folder, name), bytes);
    const tagsets::ReadResult result =
        tagsets::ReadTagSet(m_folder, name, true, codec::TextCode::ShiftJis, fixedNow);
    QVERIFY(std::holds_alternative<TagSetError>(result));
    const TagSetError &error = std::get<TagSetError>(result);
    QCOMPARE(int(error.kind), kind);
    QVERIFY2(error.reason.contains(reasonPart), qPrintable(error.reason));
}

void TestTagSetFile::readAFifoDoesNotBlock()
{
    const QString path = tagsets::TagSetPath(m_folder, u"pipe"_s);
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const tagsets::ReadResult result =
        tagsets::ReadTagSet(m_folder, u"pipe"_s, false, codec::TextCode::ShiftJis, fixedNow);
    QVERIFY(std::holds_alternative<TagSetError>(result));
    QCOMPARE(std::get<TagSetError>(result).kind, TagSetError::Kind::Unreadable);
}

void TestTagSetFile::writeFormat_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << u"<b>"_s << u"</b>"_s << QByteArray("<b><$$#--#$$></b>\r\n");
    QTest::newRow("empty texts") << QString() << QString() << QByteArray("<$$#--#$$>\r\n");
    QTest::newRow("CR LF kept") << u"a\r\nb"_s << u"c\r\n"_s
                                << QByteArray("a\r\nb<$$#--#$$>c\r\n\r\n");
    QTest::newRow("lone LF written as CR LF")
        << u"a\nb"_s << u"\nc"_s << QByteArray("a\r\nb<$$#--#$$>\r\nc\r\n");
    QTest::newRow("placeholders as written")
        << u"<$$#DATE#$$>"_s << u"<$$#CHARSET#$$>"_s
        << QByteArray("<$$#DATE#$$><$$#--#$$><$$#CHARSET#$$>\r\n");
    QTest::newRow("Japanese in code page 932")
        << u"最終更新日：①"_s << u"～"_s
        << QByteArray("\x8d\xc5\x8f\x49\x8d\x58\x90\x56\x93\xfa\x81\x46\x87\x40<$$#--#$$>"
                      "\x81\x60\r\n");
}

void TestTagSetFile::writeFormat()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QByteArray, bytes);
    const tagsets::WriteResult result = tagsets::WriteTagSet(m_folder, u"out"_s, before, after);
    QVERIFY(std::holds_alternative<QString>(result));
    QCOMPARE(std::get<QString>(result), tagsets::TagSetPath(m_folder, u"out"_s));
    QCOMPARE(readBytes(tagsets::TagSetPath(m_folder, u"out"_s)), bytes);
    QCOMPARE(filesIn(m_folder), QStringList{u"out.tag"_s});
}

void TestTagSetFile::writeThenReadAddsALineEnd()
{
    QVERIFY(std::holds_alternative<QString>(
        tagsets::WriteTagSet(m_folder, u"見出し"_s, u"<h1>"_s, u"</h1>"_s)));
    const tagsets::ReadResult first =
        tagsets::ReadTagSet(m_folder, u"見出し"_s, false, codec::TextCode::ShiftJis, fixedNow);
    QVERIFY(std::holds_alternative<QStringList>(first));
    const QStringList texts = std::get<QStringList>(first);
    QCOMPARE(texts, (QStringList{u"<h1>"_s, u"</h1>\r\n"_s}));
    QVERIFY(std::holds_alternative<QString>(
        tagsets::WriteTagSet(m_folder, u"見出し"_s, texts.at(0), texts.at(1))));
    const tagsets::ReadResult second =
        tagsets::ReadTagSet(m_folder, u"見出し"_s, false, codec::TextCode::ShiftJis, fixedNow);
    QCOMPARE(std::get<QStringList>(second).at(1), u"</h1>\r\n\r\n"_s);
}

void TestTagSetFile::writeReplacesContent()
{
    const QString path = tagsets::TagSetPath(m_folder, u"t"_s);
    writeBytes(path, QByteArray(5000, 'x'));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(
        std::holds_alternative<QString>(tagsets::WriteTagSet(m_folder, u"t"_s, u"a"_s, u"b"_s)));
    QCOMPARE(readBytes(path), QByteArray("a<$$#--#$$>b\r\n"));
    // The replacement keeps the old file's permissions.
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QVERIFY(!(QFile::permissions(path) & others));
    QCOMPARE(filesIn(m_folder), QStringList{u"t.tag"_s});
}

void TestTagSetFile::writeUnencodableKeepsOldFile()
{
    const QString path = tagsets::TagSetPath(m_folder, u"t"_s);
    writeBytes(path, QByteArray("old<$$#--#$$>content\r\n"));
    const tagsets::WriteResult result =
        tagsets::WriteTagSet(m_folder, u"t"_s, u"顔🙂と한"_s, u"🙂\u00A5"_s);
    QVERIFY(std::holds_alternative<TagSetError>(result));
    const TagSetError &error = std::get<TagSetError>(result);
    QCOMPARE(error.kind, TagSetError::Kind::Unencodable);
    // Each character once, in order, with its code; the Japanese ones are not blamed.
    QVERIFY2(error.reason.contains(u"「🙂」(U+1F642)、「한」(U+D55C)、「¥」(U+00A5)"_s),
             qPrintable(error.reason));
    QVERIFY(!error.reason.contains(u"顔"_s));
    QCOMPARE(readBytes(path), QByteArray("old<$$#--#$$>content\r\n"));
    QCOMPARE(filesIn(m_folder), QStringList{u"t.tag"_s});

    const tagsets::WriteResult lone =
        tagsets::WriteTagSet(m_folder, u"t"_s, QString(QChar(0xD800)), QString());
    QVERIFY(std::holds_alternative<TagSetError>(lone));
    QVERIFY(std::get<TagSetError>(lone).reason.contains(u"U+D800"_s));
}

void TestTagSetFile::writeFailureKeepsOldFile()
{
    const QString path = tagsets::TagSetPath(m_folder, u"t"_s);
    const QByteArray old("old<$$#--#$$>content\r\n");
    writeBytes(path, old);
    tagsets::WriteResult result;
    {
        // The new content is larger than this process may now write: the disk is "full".
        FileSizeLimit limit(1000);
        result = tagsets::WriteTagSet(m_folder, u"t"_s, QString(4000, u'a'), u"b"_s);
    }
    QVERIFY(std::holds_alternative<TagSetError>(result));
    QCOMPARE(std::get<TagSetError>(result).kind, TagSetError::Kind::WriteFailed);
    QCOMPARE(readBytes(path), old);
    QCOMPARE(filesIn(m_folder), QStringList{u"t.tag"_s});
}

void TestTagSetFile::writeRefusals_data()
{
    QTest::addColumn<QString>("folder"); // relative to the test folder
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    using Kind = TagSetError::Kind;
    QTest::newRow("empty name") << QString() << QString() << int(Kind::InvalidName);
    QTest::newRow("slash in name") << QString() << u"a/b"_s << int(Kind::InvalidName);
    QTest::newRow("NUL in name") << QString() << u"a\0b"_s << int(Kind::InvalidName);
    QTest::newRow("missing folder") << u"/nowhere"_s << u"t"_s << int(Kind::WriteFailed);
    QTest::newRow("name is a folder") << QString() << u"dir"_s << int(Kind::WriteFailed);
}

void TestTagSetFile::writeRefusals()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QVERIFY(QDir(m_folder).mkdir(u"dir.tag"_s));
    const QStringList before = QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const tagsets::WriteResult result =
        tagsets::WriteTagSet(m_folder + folder, name, u"a"_s, u"b"_s);
    QVERIFY(std::holds_alternative<TagSetError>(result));
    QCOMPARE(int(std::get<TagSetError>(result).kind), kind);
    QVERIFY(!std::get<TagSetError>(result).reason.isEmpty());
    QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TAVLEN_TEST_MAIN(TestTagSetFile)
#include "test_tagsetfile.moc"
