#include "testenv.h"

#include "settings/memorysettingsstore.h"
#include "settings/updateinfo.h"
#include "settings/windowplacement.h"

using namespace settings;
using namespace Qt::StringLiterals;

namespace
{
using Access = MemorySettingsStore::Access;
const QString W = u"Window"_s;
const QString U = u"UpdateInfo"_s;
} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreKeepsDesignedPlacement();
    void storedPlacementIsRead();
    void maximizedSkipsTheNumbers();
    void invalidTextGivesDefault_data();
    void invalidTextGivesDefault();
    void closeWrites_data();
    void closeWrites();
    void versionText_data();
    void versionText();
    void updateInfoIsWritten_data();
    void updateInfoIsWritten();
};

void TestWindowPlacement::emptyStoreKeepsDesignedPlacement()
{
    MemorySettingsStore store;
    const WindowPlacement p = ReadWindowPlacement(store);
    QVERIFY(!p.Maximized);
    QCOMPARE(p.Left, -1.0f);
    QCOMPARE(p.Top, -1.0f);
    QCOMPARE(p.Width, -1.0f);
    QCOMPARE(p.Height, -1.0f);
    const QList<Access> expected = {{W, u"Maximized"_s, u"False"_s},
                                    {W, u"Left"_s, u"-1"_s},
                                    {W, u"Top"_s, u"-1"_s},
                                    {W, u"Width"_s, u"-1"_s},
                                    {W, u"Height"_s, u"-1"_s}};
    QCOMPARE(store.reads(), expected);
}

void TestWindowPlacement::storedPlacementIsRead()
{
    MemorySettingsStore store;
    WriteWindowPlacement(store, WindowState::Normal, 0, 1234.5f, 9435, 6945.25f);
    const WindowPlacement p = ReadWindowPlacement(store);
    QVERIFY(!p.Maximized);
    QCOMPARE(p.Left, 0.0f);
    QCOMPARE(p.Top, 1234.5f);
    QCOMPARE(p.Width, 9435.0f);
    QCOMPARE(p.Height, 6945.25f);
}

void TestWindowPlacement::maximizedSkipsTheNumbers()
{
    MemorySettingsStore store;
    store.write(W, u"Maximized"_s, u"True"_s);
    store.write(W, u"Left"_s, u"100"_s);
    store.write(W, u"Width"_s, u"5000"_s);
    const WindowPlacement p = ReadWindowPlacement(store);
    QVERIFY(p.Maximized);
    QCOMPARE(p.Left, -1.0f);
    QCOMPARE(p.Width, -1.0f);
    QCOMPARE(store.reads().size(), 1);
}

void TestWindowPlacement::invalidTextGivesDefault_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("maximized word") << u"Maximized"_s << u"maybe"_s;
    QTest::newRow("left word") << u"Left"_s << u"left"_s;
    QTest::newRow("top empty") << u"Top"_s << QString();
    QTest::newRow("width overflow") << u"Width"_s << u"1e40"_s;
    QTest::newRow("height unit") << u"Height"_s << u"300px"_s;
}

void TestWindowPlacement::invalidTextGivesDefault()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    MemorySettingsStore store;
    store.write(W, key, text);
    store.clearLog();
    const WindowPlacement p = ReadWindowPlacement(store);
    QVERIFY(!p.Maximized);
    QCOMPARE(p.Left, -1.0f);
    QCOMPARE(p.Top, -1.0f);
    QCOMPARE(p.Width, -1.0f);
    QCOMPARE(p.Height, -1.0f);
    QVERIFY(store.writes().isEmpty());
}

void TestWindowPlacement::closeWrites_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<Access>>("expected");
    QTest::newRow("normal") << int(WindowState::Normal)
                            << QList<Access>{{W, u"Left"_s, u"120"_s},
                                             {W, u"Top"_s, u"-45"_s},
                                             {W, u"Width"_s, u"9435.5"_s},
                                             {W, u"Height"_s, u"6945"_s},
                                             {W, u"Maximized"_s, u"False"_s}};
    QTest::newRow("maximized") << int(WindowState::Maximized)
                               << QList<Access>{{W, u"Left"_s, u"120"_s},
                                                {W, u"Top"_s, u"-45"_s},
                                                {W, u"Maximized"_s, u"True"_s}};
    QTest::newRow("minimized") << int(WindowState::Minimized)
                               << QList<Access>{{W, u"Maximized"_s, u"False"_s}};
}

void TestWindowPlacement::closeWrites()
{
    QFETCH(int, state);
    QFETCH(QList<Access>, expected);
    MemorySettingsStore store;
    WriteWindowPlacement(store, WindowState(state), 120, -45, 9435.5f, 6945);
    QCOMPARE(store.writes(), expected);
}

void TestWindowPlacement::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0.0") << 1 << 0 << 0 << u"1.00.0000"_s;
    QTest::newRow("2.5.13") << 2 << 5 << 13 << u"2.05.0013"_s;
    QTest::newRow("wide") << 10 << 123 << 12345 << u"10.123.12345"_s;
    QTest::newRow("negative") << 1 << -5 << -7 << u"1.-05.-0007"_s;
}

void TestWindowPlacement::versionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(UpdateInfoVersionText(major, minor, revision), text);
}

void TestWindowPlacement::updateInfoIsWritten_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << u"/opt/tavlen/bin"_s << u"/opt/tavlen/bin"_s;
    QTest::newRow("trailing slash") << u"/opt/tavlen/bin//"_s << u"/opt/tavlen/bin"_s;
    QTest::newRow("root") << u"/"_s << u"/"_s;
    QTest::newRow("spaces and kana") << u"/home/u/たぶれん 1/"_s << u"/home/u/たぶれん 1"_s;
}

void TestWindowPlacement::updateInfoIsWritten()
{
    QFETCH(QString, path);
    QFETCH(QString, written);
    MemorySettingsStore store;
    WriteUpdateInfo(store, 1, 0, 0, path);
    const QList<Access> expected = {{U, u"CurrentVersion"_s, u"1.00.0000"_s},
                                    {U, u"ApplicationPath"_s, written}};
    QCOMPARE(store.writes(), expected);
}

TAVLEN_TEST_MAIN(TestWindowPlacement)
#include "test_windowplacement.moc"
