#include "tagsets/tagsetfile.h"
#include "tagsets/tagsetfolder.h"
#include "testenv.h"

#include <QDir>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

// The tag sets that come with the program, as a user's TagSets folder receives them.
class TestShippedTagSets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fileFormat_data();
    void fileFormat();
    void skeletonExpands();
    void lastUpdatedLine();

private:
    QTemporaryDir m_dir;
    QStringList m_seeded;
};

void TestShippedTagSets::initTestCase()
{
    m_seeded = tagsets::seedShippedTagSets(m_dir.path());
    for (const QString &name :
         {u"ページの雛形"_s, u"見出し1"_s, u"見出し2"_s, u"見出し3"_s, u"段落"_s, u"リンク"_s,
          u"画像"_s, u"表"_s, u"箇条書き"_s, u"強調"_s, u"コメント"_s, u"改行"_s, u"最終更新日"_s})
        QVERIFY2(m_seeded.contains(name + u".tag"_s), qPrintable(name));
}

void TestShippedTagSets::fileFormat_data()
{
    QTest::addColumn<QString>("fileName");
    for (const QString &name : std::as_const(m_seeded))
        QTest::newRow(name.toUtf8().constData()) << name;
}

void TestShippedTagSets::fileFormat()
{
    QFETCH(QString, fileName);
    QFile file(m_dir.path() + u'/' + fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    QVERIFY(!decoder.hasError());
    QCOMPARE(text.count(tagsets::Separator), 1);
    QVERIFY(text.endsWith(u"\r\n"_s));
    QCOMPARE(text.count(u'\r'), text.count(u'\n'));
    QCOMPARE(text.count(u'\n'), text.count(u"\r\n"_s));

    // The shipped file is its readable source converted.
    QFile source(QStringLiteral(TAGSET_SOURCES) + u'/' + fileName.chopped(4) + u".txt"_s);
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
    QCOMPARE(text, QString::fromUtf8(source.readAll()).replace(u"\n"_s, u"\r\n"_s));
}

void TestShippedTagSets::skeletonExpands()
{
    const tagsets::ReadResult result =
        tagsets::ReadTagSet(m_dir.path(), u"ページの雛形"_s, true, codec::TextCode::EucJp,
                            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    QVERIFY(std::holds_alternative<QStringList>(result));
    const QStringList texts = std::get<QStringList>(result);
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts.at(0).contains(u"<meta charset=\"EUC-JP\">"_s));
    QVERIFY(texts.at(0).contains(u"Tavlen 1.00"_s));
    QVERIFY(texts.at(0).endsWith(u"<body>\r\n"_s));
    QVERIFY(texts.at(1).contains(u"</body>"_s));
}

void TestShippedTagSets::lastUpdatedLine()
{
    const tagsets::ReadResult result =
        tagsets::ReadTagSet(m_dir.path(), u"最終更新日"_s, true, codec::TextCode::ShiftJis,
                            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    QVERIFY(std::holds_alternative<QStringList>(result));
    QCOMPARE(std::get<QStringList>(result).at(0), u"<p>最終更新日：2024/01/02</p>\r\n"_s);
}

TAVLEN_TEST_MAIN(TestShippedTagSets)
#include "test_shippedtagsets.moc"
