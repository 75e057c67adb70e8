#include "tagsets/tagsetfile.h"
#include "tagsets/tagsetfolder.h"
#include "tagsets/tagsetlist.h"
#include "testenv.h"

#include <QComboBox>
#include <QDir>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList shippedNames()
{
    return {u"コメント.tag"_s, u"ページの雛形.tag"_s, u"リンク.tag"_s,  u"強調.tag"_s,
            u"改行.tag"_s,     u"最終更新日.tag"_s,   u"段落.tag"_s,    u"画像.tag"_s,
            u"箇条書き.tag"_s, u"表.tag"_s,           u"見出し1.tag"_s, u"見出し2.tag"_s,
            u"見出し3.tag"_s};
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

} // namespace

class TestTagSetList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimExtension_data();
    void trimExtension();
    void listing_data();
    void listing();
    void missingFolder();
    void namesThatAreNoText();
    void links();
    void fillsAList();
    void seedingNeverOverwrites();
    void folderBesideTheProgram();
    void folderInTheDataFolder();
    void existingFolderIsNotReseeded();

private:
    QTemporaryDir m_dir;
};

void TestTagSetList::trimExtension_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"Table.tag"_s << u"Table"_s;
    QTest::newRow("two dots") << u"x.y.tag"_s << u"x.y"_s;
    QTest::newRow("dot only") << u".tag"_s << QString();
    QTest::newRow("Japanese") << u"見出し1.TAG"_s << u"見出し1"_s;
    QTest::newRow("no dot") << u"plain"_s << u"plain"_s;
}

void TestTagSetList::trimExtension()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QCOMPARE(tagsets::TrimExtension(fileName), name);
}

void TestTagSetList::listing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("files, folders and other extensions")
        << QStringList{u"Table.tag"_s, u"list.TAG"_s, u"note.txt"_s, u"old.tag.bak"_s}
        << QStringList{u"sub.tag"_s} << QStringList{QString(), u"list"_s, u"Table"_s};
    QTest::newRow("dotted names and the bare extension")
        << QStringList{u"x.y.tag"_s, u".tag"_s, u"b.tag"_s} << QStringList{}
        << QStringList{QString(), QString(), u"b"_s, u"x.y"_s};
    QTest::newRow("sorted without regard to case")
        << QStringList{u"b.tag"_s, u"C.tag"_s, u"a.Tag"_s, u"B2.tag"_s} << QStringList{}
        << QStringList{QString(), u"a"_s, u"b"_s, u"B2"_s, u"C"_s};
    QTest::newRow("short names") << QStringList{u"tag"_s, u"ag"_s, u"a.tagx"_s} << QStringList{}
                                 << QStringList{QString()};
    QTest::newRow("Japanese names")
        << QStringList{u"表.tag"_s, u"見出し1.tag"_s, u"段落.tag"_s} << QStringList{}
        << QStringList{QString(), u"段落"_s, u"表"_s, u"見出し1"_s};
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << QStringList{QString()};
}

void TestTagSetList::listing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, entries);
    const QString folder =
        m_dir.path() + u"/listing/"_s + QString::fromLatin1(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    for (const QString &file : files)
        touch(folder + u'/' + file);
    for (const QString &sub : folders)
        QVERIFY(QDir(folder).mkdir(sub));
    QCOMPARE(tagsets::ListTagSets(folder), entries);
    // Every listed tag set can be read, whatever the case of its extension.
    for (const QString &name : entries.mid(1)) {
        const tagsets::ReadResult read = tagsets::ReadTagSet(
            folder, name, false, codec::TextCode::ShiftJis, QDateTime::currentDateTime());
        QVERIFY2(std::holds_alternative<QStringList>(read), qPrintable(name));
    }
}

void TestTagSetList::missingFolder()
{
    QCOMPARE(tagsets::ListTagSets(m_dir.path() + u"/no such folder"_s), QStringList{QString()});
}

void TestTagSetList::namesThatAreNoText()
{
    const QString folder = m_dir.path() + u"/no text"_s;
    QVERIFY(QDir().mkpath(folder));
    touch(folder + u"/good.tag"_s);
    const QByteArray base = QFile::encodeName(folder) + '/';
    for (const QByteArray &name : {QByteArray("bad\xFF\xFE.tag"), QByteArray("\x82\xa0\x1b.TAG"),
                                   QByteArray("not a tag set \xFF.txt")}) {
        const int fd = ::open((base + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    QCOMPARE(tagsets::ListTagSets(folder), (QStringList{QString(), u"good"_s}));
    QComboBox list;
    const QString problem = tagsets::ListTagSets(list, folder);
    QVERIFY2(problem.contains(u"\n\\x82\\xA0\\x1B.TAG\nbad\\xFF\\xFE.tag"_s), qPrintable(problem));
    QVERIFY(problem.contains(u"名前を文字として読めない"_s));
    QVERIFY(!problem.contains(u"not a tag set"_s));
    QCOMPARE(list.count(), 2);
    QCOMPARE(tagsets::undecodableTagSetsProblem(m_dir.path() + u"/fill"_s), QString());
}

void TestTagSetList::links()
{
    const QString folder = m_dir.path() + u"/links"_s;
    QVERIFY(QDir().mkpath(folder + u"/dir"_s));
    touch(m_dir.path() + u"/target.txt"_s);
    QVERIFY(QFile::link(m_dir.path() + u"/target.txt"_s, folder + u"/file.tag"_s));
    QVERIFY(QFile::link(folder + u"/dir"_s, folder + u"/folder.tag"_s));
    QVERIFY(QFile::link(m_dir.path() + u"/missing"_s, folder + u"/broken.tag"_s));
    QCOMPARE(tagsets::ListTagSets(folder), (QStringList{QString(), u"file"_s}));
}

void TestTagSetList::fillsAList()
{
    const QString folder = m_dir.path() + u"/fill"_s;
    QVERIFY(QDir().mkpath(folder));
    touch(folder + u"/b.tag"_s);
    touch(folder + u"/A.tag"_s);
    QComboBox list;
    list.addItems({u"stale"_s, u"entries"_s});
    tagsets::ListTagSets(list, folder);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.itemText(0), QString());
    QCOMPARE(list.itemText(1), u"A"_s);
    QCOMPARE(list.itemText(2), u"b"_s);
}

void TestTagSetList::seedingNeverOverwrites()
{
    const QString folder = m_dir.path() + u"/seed"_s;
    QVERIFY(QDir().mkpath(folder));
    touch(folder + u"/表.tag"_s, "mine");
    touch(folder + u"/段落.tag"_s, "");
    const QStringList copied = tagsets::seedShippedTagSets(folder);
    QStringList expected = shippedNames();
    expected.removeAll(u"表.tag"_s);
    expected.removeAll(u"段落.tag"_s);
    QCOMPARE(sorted(copied), sorted(expected));
    QCOMPARE(readBytes(folder + u"/表.tag"_s), QByteArray("mine"));
    QCOMPARE(readBytes(folder + u"/段落.tag"_s), QByteArray());
    QCOMPARE(sorted(QDir(folder).entryList(QDir::Files)), sorted(shippedNames()));
    // Seeding again copies nothing.
    QCOMPARE(tagsets::seedShippedTagSets(folder), QStringList());
}

void TestTagSetList::folderBesideTheProgram()
{
    const QString program = m_dir.path() + u"/program"_s;
    QVERIFY(QDir().mkpath(program));
    const QString data = m_dir.path() + u"/data1"_s;
    const QString folder = tagsets::resolveTagSetFolder(program, data);
    QCOMPARE(folder, program + u"/TagSets"_s);
    QCOMPARE(sorted(QDir(folder).entryList(QDir::Files)), sorted(shippedNames()));
    QVERIFY(!QFileInfo::exists(data));
    QCOMPARE(tagsets::ListTagSets(folder).size(), shippedNames().size() + 1);
}

void TestTagSetList::folderInTheDataFolder()
{
    // A program folder that cannot be written to (here: one that does not exist).
    const QString program = m_dir.path() + u"/not there"_s;
    const QString data = m_dir.path() + u"/data2/Tavlen"_s;
    const QString folder = tagsets::resolveTagSetFolder(program, data);
    QCOMPARE(folder, data + u"/TagSets"_s);
    QCOMPARE(sorted(QDir(folder).entryList(QDir::Files)), sorted(shippedNames()));
}

void TestTagSetList::existingFolderIsNotReseeded()
{
    const QString program = m_dir.path() + u"/program3"_s;
    QVERIFY(QDir().mkpath(program + u"/TagSets"_s));
    touch(program + u"/TagSets/mine.tag"_s);
    const QString folder = tagsets::resolveTagSetFolder(program, m_dir.path() + u"/data3"_s);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"mine.tag"_s});
}

TAVLEN_TEST_MAIN(TestTagSetList)
#include "test_tagsetlist.moc"
