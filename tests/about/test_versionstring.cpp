#include "about/codeunits.h"
#include "about/keybuffer.h"
#include "about/versionstring.h"
#include "testenv.h"

class TestVersionString : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionText_data();
    void versionText();
    void thisBuild();
    void codeUnits_data();
    void codeUnits();
    void virtualKeys_data();
    void virtualKeys();
};

void TestVersionString::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0.0") << 1 << 0 << 0 << QStringLiteral("1.00");
    QTest::newRow("1.5.0") << 1 << 5 << 0 << QStringLiteral("1.05");
    QTest::newRow("2.12.0") << 2 << 12 << 0 << QStringLiteral("2.12");
    QTest::newRow("1.100.0") << 1 << 100 << 0 << QStringLiteral("1.100");
    QTest::newRow("1.0.999") << 1 << 0 << 999 << QStringLiteral("1.00");
    QTest::newRow("1.0.1000") << 1 << 0 << 1000 << QStringLiteral("1.00a");
    QTest::newRow("1.2.2500") << 1 << 2 << 2500 << QStringLiteral("1.02b");
    QTest::newRow("1.0.1999") << 1 << 0 << 1999 << QStringLiteral("1.00a");
    QTest::newRow("1.0.9999") << 1 << 0 << 9999 << QStringLiteral("1.00i");
    QTest::newRow("10.9.0") << 10 << 9 << 0 << QStringLiteral("10.09");
}

void TestVersionString::versionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(about::VersionString(major, minor, revision), text);
}

void TestVersionString::thisBuild()
{
    QCOMPARE(about::VersionString(), QStringLiteral("1.00"));
}

void TestVersionString::codeUnits_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");
    QTest::newRow("two units") << QStringLiteral("&H0041,&H3042") << true << QStringLiteral("Aあ");
    QTest::newRow("short and lower-case")
        << QStringLiteral("&h41,&Hff77") << true << QStringLiteral("Aｷ");
    QTest::newRow("empty list") << QString() << true << QString();
    QTest::newRow("no prefix") << QStringLiteral("0041") << false << QString();
    QTest::newRow("no digits") << QStringLiteral("&H0041,&H") << false << QString();
    QTest::newRow("five digits") << QStringLiteral("&H10041") << false << QString();
    QTest::newRow("not hexadecimal") << QStringLiteral("&H00G1") << false << QString();
    QTest::newRow("sign") << QStringLiteral("&H+41") << false << QString();
}

void TestVersionString::codeUnits()
{
    QFETCH(QString, list);
    QFETCH(bool, valid);
    QFETCH(QString, text);
    const std::optional<QString> decoded = about::decodeCodeUnits(list);
    QCOMPARE(decoded.has_value(), valid);
    if (valid)
        QCOMPARE(*decoded, text);
}

void TestVersionString::virtualKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("keycode");
    QTest::addColumn<int>("code");
    const int none = Qt::NoModifier;
    const int keypad = Qt::KeypadModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("letter") << int(Qt::Key_Q) << none << 0 << int('Q');
    QTest::newRow("letter with shift") << int(Qt::Key_X) << shift << 0 << int('X');
    QTest::newRow("digit") << int(Qt::Key_7) << none << 0 << int('7');
    QTest::newRow("keypad 7") << int(Qt::Key_7) << keypad << 0 << 0x67;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << keypad << 0 << 0x60;
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << 0 << 0x6B;
    QTest::newRow("keypad home") << int(Qt::Key_Home) << keypad << 0 << 0x24;
    QTest::newRow("shift") << int(Qt::Key_Shift) << none << 0 << 0x10;
    QTest::newRow("control") << int(Qt::Key_Control) << none << 0 << 0x11;
    QTest::newRow("alt") << int(Qt::Key_Alt) << none << 0 << 0x12;
    QTest::newRow("return") << int(Qt::Key_Return) << none << 0 << 0x0D;
    QTest::newRow("F1") << int(Qt::Key_F1) << none << 0 << 0x70;
    QTest::newRow("shifted 7 on a US keyboard")
        << int(Qt::Key_Ampersand) << shift << 16 << int('7');
    QTest::newRow("shifted 7 on a Japanese keyboard")
        << int(Qt::Key_Apostrophe) << shift << 16 << int('7');
    QTest::newRow("Cyrillic letter on the Q key") << 0x0419 << none << 24 << int('Q');
    QTest::newRow("unknown key") << int(Qt::Key_unknown) << none << 0 << 0;
}

void TestVersionString::virtualKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, keycode);
    QFETCH(int, code);
    const QChar c = about::virtualKeyChar(key, Qt::KeyboardModifiers(modifiers), quint32(keycode));
    QCOMPARE(int(c.unicode()), code);
}

TAVLEN_TEST_MAIN(TestVersionString)
#include "test_versionstring.moc"
