#include "testenv.h"

#include "settings/appsettings.h"
#include "settings/bgrcolor.h"
#include "settings/memorysettingsstore.h"

using namespace settings;
using namespace Qt::StringLiterals;

namespace
{

using Access = MemorySettingsStore::Access;

const QString S = u"Settings"_s;
const QString R = u"RecentFiles"_s;

AppSettings sampleSettings()
{
    AppSettings s;
    s.Font = {u"IPAゴシック"_s, 10.5, true, false, true, false};
    s.FontColor = 0x123456;
    s.BgColor = 0xF0F0F0;
    s.TagColor = 0xFF;
    s.CommentColor = 0x808080;
    s.Relation = true;
    s.DefaultEditor = false;
    s.ReadCode = codec::TextCode::EucJp;
    s.WriteCode = codec::TextCode::ShiftJis;
    s.RecentFiles[0] = u"/home/user/a.html"_s;
    s.RecentFiles[1] = u"/home/user/b.htm"_s;
    s.RecentFiles[2] = u"/home/user/日本語 フォルダ/c.html"_s;
    return s;
}

// A record whose every field differs from the defaults.
AppSettings scrambled()
{
    AppSettings s = sampleSettings();
    s.Font = {u"x"_s, 99, true, true, true, true};
    s.DefaultEditor = true;
    s.WriteCode = codec::TextCode::Utf8;
    s.RecentFiles.fill(u"stale"_s);
    return s;
}

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunGivesDefaults();
    void loadReadsKeysInOrderWithDefaultTexts();
    void saveWritesKeysInOrder();
    void fontSizeForms_data();
    void fontSizeForms();
    void threeRecentFilesLeaveTheRestEmpty();
    void roundTripThroughStore();
    void invalidTextGivesDefault_data();
    void invalidTextGivesDefault();
    void encodingCodesAreKeptAsRead_data();
    void encodingCodesAreKeptAsRead();
    void colourBitsAreKeptAsRead();
};

void TestAppSettings::firstRunGivesDefaults()
{
    MemorySettingsStore store;
    AppSettings s = scrambled();
    LoadSettings(store, s);
    QCOMPARE(s, AppSettings{});

    const QString gothic = QString::fromUtf16(u"\uFF2D\uFF33\u0020\u30B4\u30B7\u30C3\u30AF");
    QCOMPARE(s.Font.Name, gothic);
    QCOMPARE(s.Font.Size, 11.0);
    QVERIFY(!s.Font.Bold && !s.Font.Italic && !s.Font.Underline && !s.Font.Strikethrough);
    QCOMPARE(s.FontColor, 0u);
    QCOMPARE(s.BgColor, 16777215u);
    QCOMPARE(s.TagColor, 8388608u);
    QCOMPARE(s.CommentColor, 32768u);
    QVERIFY(!s.Relation && !s.DefaultEditor);
    QCOMPARE(s.ReadCode, codec::TextCode::ShiftJis);
    QCOMPARE(s.WriteCode, codec::TextCode::ShiftJis);
    for (const QString &file : s.RecentFiles)
        QVERIFY(file.isEmpty());
    QVERIFY(store.writes().isEmpty());
}

void TestAppSettings::loadReadsKeysInOrderWithDefaultTexts()
{
    MemorySettingsStore store;
    AppSettings s;
    LoadSettings(store, s);
    QList<Access> expected = {
        {S, u"FontBold"_s, u"False"_s},
        {S, u"FontItalic"_s, u"False"_s},
        {S, u"FontName"_s, QString::fromUtf16(u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF")},
        {S, u"FontSize"_s, u"11"_s},
        {S, u"FontStrikeThrough"_s, u"False"_s},
        {S, u"FontUnderline"_s, u"False"_s},
        {S, u"FontColor"_s, u"0"_s},
        {S, u"BgColor"_s, u"16777215"_s},
        {S, u"TagColor"_s, u"8388608"_s},
        {S, u"CommentColor"_s, u"32768"_s},
        {S, u"Relation"_s, u"False"_s},
        {S, u"DefaultEditor"_s, u"False"_s},
        {S, u"ReadCode"_s, u"0"_s},
        {S, u"WriteCode"_s, u"0"_s},
        {S, u"ShowFullWidthSpace"_s, u"True"_s},
        {S, u"CompleteEndTags"_s, u"True"_s},
    };
    for (int n = 1; n <= 10; ++n)
        expected.append({R, u"File%1"_s.arg(n, 2, 10, QLatin1Char('0')), QString()});
    QCOMPARE(store.reads(), expected);
}

void TestAppSettings::saveWritesKeysInOrder()
{
    MemorySettingsStore store;
    SaveSettings(store, sampleSettings());
    const QList<Access> expected = {
        {S, u"FontBold"_s, u"True"_s},
        {S, u"FontItalic"_s, u"False"_s},
        {S, u"FontName"_s, u"IPAゴシック"_s},
        {S, u"FontSize"_s, u"10.5"_s},
        {S, u"FontStrikeThrough"_s, u"False"_s},
        {S, u"FontUnderline"_s, u"True"_s},
        {S, u"FontColor"_s, u"1193046"_s},
        {S, u"BgColor"_s, u"15790320"_s},
        {S, u"TagColor"_s, u"255"_s},
        {S, u"CommentColor"_s, u"8421504"_s},
        {S, u"Relation"_s, u"True"_s},
        {S, u"DefaultEditor"_s, u"False"_s},
        {S, u"ReadCode"_s, u"1"_s},
        {S, u"WriteCode"_s, u"0"_s},
        {S, u"ShowFullWidthSpace"_s, u"True"_s},
        {S, u"CompleteEndTags"_s, u"True"_s},
        {R, u"File01"_s, u"/home/user/a.html"_s},
        {R, u"File02"_s, u"/home/user/b.htm"_s},
        {R, u"File03"_s, u"/home/user/日本語 フォルダ/c.html"_s},
        {R, u"File04"_s, QString()},
        {R, u"File05"_s, QString()},
        {R, u"File06"_s, QString()},
        {R, u"File07"_s, QString()},
        {R, u"File08"_s, QString()},
        {R, u"File09"_s, QString()},
        {R, u"File10"_s, QString()},
    };
    QCOMPARE(store.writes(), expected);
}

void TestAppSettings::fontSizeForms_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("10.5") << 10.5 << u"10.5"_s;
    QTest::newRow("11") << 11.0 << u"11"_s;
    QTest::newRow("9.75") << 9.75 << u"9.75"_s;
}

void TestAppSettings::fontSizeForms()
{
    QFETCH(double, size);
    QFETCH(QString, text);
    MemorySettingsStore store;
    AppSettings s;
    s.Font.Size = size;
    SaveSettings(store, s);
    QCOMPARE(store.value(S, u"FontSize"_s), text);
    AppSettings back;
    back.Font.Size = 1;
    LoadSettings(store, back);
    QCOMPARE(back.Font.Size, size);
}

void TestAppSettings::threeRecentFilesLeaveTheRestEmpty()
{
    MemorySettingsStore store;
    const AppSettings s = sampleSettings();
    SaveSettings(store, s);
    for (int slot = 0; slot < 10; ++slot) {
        const QString key = RecentFileKey(slot);
        QVERIFY2(store.contains(R, key), qPrintable(key));
        QCOMPARE(store.value(R, key), slot < 3 ? s.RecentFiles[size_t(slot)] : QString());
    }
    QCOMPARE(RecentFileKey(0), u"File01"_s);
    QCOMPARE(RecentFileKey(9), u"File10"_s);
}

void TestAppSettings::roundTripThroughStore()
{
    MemorySettingsStore store;
    AppSettings s = sampleSettings();
    s.Font.Strikethrough = true;
    s.DefaultEditor = true;
    s.WriteCode = codec::TextCode::EucJp;
    s.RecentFiles[9] = u"/last slot.html"_s;
    SaveSettings(store, s);
    AppSettings back = scrambled();
    LoadSettings(store, back);
    QCOMPARE(back, s);
}

void TestAppSettings::invalidTextGivesDefault_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("colour word") << u"FontColor"_s << u"black"_s;
    QTest::newRow("colour hex") << u"BgColor"_s << u"&HFFFFFF"_s;
    QTest::newRow("colour fraction") << u"TagColor"_s << u"12.5"_s;
    QTest::newRow("colour overflow") << u"CommentColor"_s << u"99999999999"_s;
    QTest::newRow("colour empty") << u"BgColor"_s << QString();
    QTest::newRow("boolean word") << u"FontBold"_s << u"yes"_s;
    QTest::newRow("boolean empty") << u"Relation"_s << QString();
    QTest::newRow("boolean garbage") << u"DefaultEditor"_s << u"Tru e"_s;
    QTest::newRow("size zero") << u"FontSize"_s << u"0"_s;
    QTest::newRow("size negative") << u"FontSize"_s << u"-11"_s;
    QTest::newRow("size word") << u"FontSize"_s << u"large"_s;
    QTest::newRow("code word") << u"ReadCode"_s << u"EUC"_s;
    QTest::newRow("code overflow") << u"WriteCode"_s << u"70000"_s;
}

void TestAppSettings::invalidTextGivesDefault()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    MemorySettingsStore store;
    SaveSettings(store, AppSettings{});
    store.write(S, key, text);
    store.clearLog();
    AppSettings s = scrambled();
    LoadSettings(store, s);
    QCOMPARE(s, AppSettings{});
    QVERIFY(store.writes().isEmpty());
    QCOMPARE(store.value(S, key), text);
}

void TestAppSettings::encodingCodesAreKeptAsRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<codec::TextCode>("code");
    QTest::addColumn<QString>("written");
    QTest::newRow("Shift_JIS") << u"0"_s << codec::TextCode::ShiftJis << u"0"_s;
    QTest::newRow("EUC-JP") << u"1"_s << codec::TextCode::EucJp << u"1"_s;
    QTest::newRow("UTF-8") << u"2"_s << codec::TextCode::Utf8 << u"2"_s;
    // Any other number has always meant EUC-JP; it is written back as the number for EUC-JP.
    QTest::newRow("negative") << u"-1"_s << codec::TextCode::EucJp << u"1"_s;
    QTest::newRow("other") << u"7"_s << codec::TextCode::EucJp << u"1"_s;
}

void TestAppSettings::encodingCodesAreKeptAsRead()
{
    QFETCH(QString, text);
    QFETCH(codec::TextCode, code);
    QFETCH(QString, written);
    MemorySettingsStore store;
    store.write(S, u"ReadCode"_s, text);
    store.write(S, u"WriteCode"_s, text);
    AppSettings s;
    LoadSettings(store, s);
    QCOMPARE(s.ReadCode, code);
    QCOMPARE(s.WriteCode, code);
    SaveSettings(store, s);
    QCOMPARE(store.value(S, u"ReadCode"_s), written);
    QCOMPARE(store.value(S, u"WriteCode"_s), written);
}

void TestAppSettings::colourBitsAreKeptAsRead()
{
    MemorySettingsStore store;
    store.write(S, u"FontColor"_s, u"-2147483643"_s);
    store.write(S, u"BgColor"_s, u"-1"_s);
    AppSettings s;
    LoadSettings(store, s);
    QCOMPARE(s.FontColor, 0x80000005u);
    QCOMPARE(s.BgColor, 0xFFFFFFFFu);
    SaveSettings(store, s);
    QCOMPARE(store.value(S, u"FontColor"_s), u"-2147483643"_s);
    QCOMPARE(store.value(S, u"BgColor"_s), u"-1"_s);
    // Only the low 24 bits are a colour, red in the lowest byte.
    QCOMPARE(colorFromBgr(s.FontColor), QColor(5, 0, 0));
    QCOMPARE(colorFromBgr(0x563412), QColor(0x12, 0x34, 0x56));
    QCOMPARE(bgrFromColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TAVLEN_TEST_MAIN(TestAppSettings)
#include "test_appsettings.moc"
