// The two converter calls: the output area contract (checked with guard bytes right after the
// area), the option letters, the read and write flows of the program, and TrimAtDoubleNul.
#include "testenv.h"

#include "codec/cp932.h"
#include "codec/nkf.h"
#include "reference/nkfcall.h"

using namespace Qt::StringLiterals;

namespace
{

constexpr char kGuard = char(0xA5);
constexpr qsizetype kGuardSize = 64;

struct AreaRun {
    QByteArray written; // the area up to its first zero byte
    bool guardIntact;
    bool terminated;
};

// Runs SetNkfOption + NkfConvert on an area of areaSize bytes followed by guard bytes. The area is
// filled with a non-zero byte, so the terminating zero must come from the converter.
AreaRun runInArea(const char *option, const QByteArray &input, qsizetype areaSize)
{
    QByteArray memory = QByteArray(areaSize, '\x7E') + QByteArray(kGuardSize, kGuard);
    reference::SetNkfOption(option);
    reference::NkfConvert(memory.data(), input.constData());
    const QByteArray area = memory.first(areaSize);
    const qsizetype end = area.indexOf('\0');
    return {area.first(end < 0 ? areaSize : end),
            memory.sliced(areaSize) == QByteArray(kGuardSize, kGuard), end >= 0};
}

QByteArray repeat(const QByteArray &piece, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

class TestNkf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Option "s": an area of 4n + 1 bytes holds the output of every kind of input, the widest
    // included, and matches convertToCp932.
    void readingFitsArea_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("ascii") << QByteArray("<p>abc</p>\r\n");
        QTest::newRow("Shift_JIS") << QByteArray("\x93\xFA\x96\x7B\xB1\x80");
        QTest::newRow("EUC-JP bad bytes, 2 per byte") << "\xA4\xA2" + repeat("\xFF", 100);
        QTest::newRow("EUC-JP SS2 katakana") << repeat("\x8E\xB1", 50);
        QTest::newRow("UTF-8 U+07FF, 3.5 per byte") << repeat("\xDF\xBF", 100);
        QTest::newRow("UTF-8 U+0800, 7 per 3 bytes") << repeat("\xE0\xA0\x80", 100);
        QTest::newRow("UTF-8 astral, 9 per 4 bytes") << repeat("\xF0\x9F\x98\x80", 100);
        QTest::newRow("UTF-8 U+10FFFF, 10 per 4 bytes") << repeat("\xF4\x8F\xBF\xBF", 100);
        QTest::newRow("BOM then bad bytes") << "\xEF\xBB\xBF" + repeat("\xFF", 100);
        QTest::newRow("ISO-2022-JP escapes and bad pairs")
            << repeat("\x1B$B\x21\x7E\x1B(B", 20) + "\x1B$Bx";
    }
    void readingFitsArea()
    {
        QFETCH(QByteArray, input);
        const AreaRun run = runInArea("s", input, 4 * input.size() + 1);
        QVERIFY(run.guardIntact);
        QVERIFY(run.terminated);
        QCOMPARE(run.written, codec::convertToCp932(input).bytes);
    }

    // Option "e": an area of 8c + 2 bytes holds the EUC-JP form of any text of c UTF-16 units
    // encoded by encodeCp932, the widest included.
    void writingFitsArea_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("japanese") << u"日本語のテキスト\n"_s;
        QTest::newRow("half-width katakana, 2 per unit") << QString(100, u'ｱ');
        QTest::newRow("IBM kanji, 3 per unit") << QString(100, u'髙');
        QTest::newRow("user-defined second half, 3 per unit") << QString(100, QChar(0xE757));
        QTest::newRow("unmappable U+FFFF, 8 per unit") << QString(100, QChar(0xFFFF));
        QTest::newRow("unmappable astral, 5 per unit")
            << QString(50, u'x').replace(u'x', u"\U0010FFFF"_s);
        QTest::newRow("lone surrogates, 8 per unit") << QString(100, QChar(0xDC00));
    }
    void writingFitsArea()
    {
        QFETCH(QString, text);
        const QByteArray cp932 = codec::encodeCp932(text).bytes;
        const AreaRun run = runInArea("e", cp932, 8 * text.size() + 2);
        QVERIFY(run.guardIntact);
        QVERIFY(run.terminated);
        QCOMPARE(run.written, codec::convertCp932ToEucJp(cp932).bytes);
    }

    // Raw bytes, whatever made them: never more than two output bytes per input byte.
    void writingRawBytesTwoPerByte()
    {
        QByteArray input;
        for (int b = 1; b < 256; ++b)
            input += char(b);
        input += repeat("\xB1\x81\xFA\x40", 20);
        const AreaRun run = runInArea("e", input, 2 * input.size() + 1);
        QVERIFY(run.guardIntact);
        QVERIFY(run.terminated);
    }

    // Random bytes drawn from the troublesome classes, both directions, fixed seed.
    void randomInputsFitArea()
    {
        QRandomGenerator random(1234);
        const QByteArray pieces[] = {"\x1B$B",       "\x1B(I",   "\x1B(B",   "\x8E",     "\x8F",
                                     "\xEF\xBB\xBF", "\xF0\x9F", "\xA4\xA2", "\x82\xA0", "\xFF",
                                     "\x80",         "a",        "\r\n",     "\xDF\xBF", "\xE0\xA0",
                                     "\xFA\x40",     "!"};
        for (int round = 0; round < 2000; ++round) {
            QByteArray input;
            const int length = random.bounded(1, 40);
            for (int i = 0; i < length; ++i)
                input += random.bounded(3) ? pieces[random.bounded(int(std::size(pieces)))]
                                           : QByteArray(1, char(random.bounded(1, 256)));
            const AreaRun read = runInArea("s", input, 4 * input.size() + 1);
            const AreaRun write = runInArea("e", input, 2 * input.size() + 1);
            QVERIFY2(read.guardIntact && read.terminated && write.guardIntact && write.terminated,
                     input.toHex(' ').constData());
        }
    }

    void optionLetters_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray sjis("\x82\xA0"); // あ; as EUC-JP input it would be invalid
        QTest::newRow("s keeps Shift_JIS") << QByteArray("s") << sjis;
        QTest::newRow("e converts") << QByteArray("e") << QByteArray("\xA4\xA2");
        QTest::newRow("last letter counts") << QByteArray("es") << sjis;
        QTest::newRow("dash and other letters ignored")
            << QByteArray("-xe") << QByteArray("\xA4\xA2");
    }
    void optionLetters()
    {
        QFETCH(QByteArray, options);
        QFETCH(QByteArray, expected);
        reference::SetNkfOption("s");
        reference::SetNkfOption(options.constData());
        QByteArray area(4 * 2 + 1, '\0');
        reference::NkfConvert(area.data(), "\x82\xA0");
        reference::TrimAtDoubleNul(area);
        QCOMPARE(area.toHex(' '), expected.toHex(' '));
    }

    // Reading as the program does: EUC-JP with LF gives Shift_JIS, a zero byte ends the input.
    void readFlow()
    {
        const QByteArray file("\xC6\xFC\xCB\xDC\n\xA4\xA2\r\n\0ignored", 15);
        QByteArray area(4 * file.size() + 1, '\0');
        reference::SetNkfOption("s");
        reference::NkfConvert(area.data(), QByteArray(file + '\0').constData());
        reference::TrimAtDoubleNul(area);
        QCOMPARE(area, QByteArray("\x93\xFA\x96\x7B\n\x82\xA0\r\n"));
    }

    // Writing as the program does, then reading the file back.
    void writeFlowRoundTrips()
    {
        const QString text = u"<p>日本語①髙ｶﾅ</p>\n<!-- é -->\n"_s;
        const QByteArray cp932 = codec::encodeCp932(text).bytes;
        QByteArray area(8 * text.size() + 2, '\0');
        reference::SetNkfOption("e");
        reference::NkfConvert(area.data(), QByteArray(cp932 + '\0').constData());
        reference::TrimAtDoubleNul(area);
        QVERIFY(!area.contains('\0'));
        const codec::ConversionResult back = codec::convertToCp932(area);
        QCOMPARE(back.detected, codec::DetectedEncoding::EucJp);
        QCOMPARE(back.bytes, cp932);
        QCOMPARE(codec::decodeCp932(back.bytes).text, u"<p>日本語①髙ｶﾅ</p>\n<!-- &#xE9; -->\n"_s);
    }

    void trimAtDoubleNul_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("two zeros") << QByteArray(2, '\0') << QByteArray();
        QTest::newRow("output then zeros") << QByteArray("ab\0\0\0\0", 6) << QByteArray("ab");
        QTest::newRow("first pair counts") << QByteArray("ab\0\0cd\0\0", 8) << QByteArray("ab");
        QTest::newRow("single zero kept") << QByteArray("a\0b\0\0", 5) << QByteArray("a\0b", 3);
        QTest::newRow("no zero") << QByteArray("ab") << QByteArray("ab");
        QTest::newRow("zero at the very end") << QByteArray("ab\0", 3) << QByteArray("ab");
    }
    void trimAtDoubleNul()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QByteArray, expected);
        reference::TrimAtDoubleNul(buffer);
        QCOMPARE(buffer, expected);
    }
};

TAVLEN_TEST_MAIN(TestNkf)
#include "test_nkf.moc"
