// Encoding detection for option "s", and what convertToCp932 makes of each detected encoding.
#include "testenv.h"

#include "codec/cp932scan.h"
#include "codec/detect.h"
#include "codec/eucjp.h"
#include "codec/eucjpscan.h"
#include "codec/nkf.h"

#include <QRandomGenerator>

using codec::DetectedEncoding;

Q_DECLARE_METATYPE(codec::DetectedEncoding)

namespace
{

// 日本語 and あ in each encoding.
const QByteArray kSjisNihongo("\x93\xFA\x96\x7B\x8C\xEA");
const QByteArray kEucNihongo("\xC6\xFC\xCB\xDC\xB8\xEC");
const QByteArray kUtf8Nihongo("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
const QByteArray kJisNihongo("\x1B$BF|K\\8l\x1B(B");

// The non-ASCII units scan visits, as (position, kind, length) triples; with VisitAscii false it
// must visit exactly these.
template <bool VisitAscii, typename Scan> QList<qsizetype> nonAsciiUnits(Scan scan)
{
    QList<qsizetype> units;
    scan([&](const auto &unit, qsizetype i) {
        if (unit.kind != std::decay_t<decltype(unit)>::Ascii)
            units << i << qsizetype(unit.kind) << unit.length;
        else if (!VisitAscii)
            units << -1; // never visited
        return true;
    });
    return units;
}

} // namespace

class TestDetect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detect_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<DetectedEncoding>("expected");
        QTest::newRow("empty") << QByteArray() << DetectedEncoding::Ascii;
        QTest::newRow("plain html")
            << QByteArray("<p class=\"a\">x</p>\r\n") << DetectedEncoding::Ascii;
        QTest::newRow("escape that designates nothing")
            << QByteArray("\x1B[0m") << DetectedEncoding::Ascii;
        QTest::newRow("ISO-2022-JP") << kJisNihongo << DetectedEncoding::Iso2022Jp;
        QTest::newRow("ISO-2022-JP katakana")
            << QByteArray("\x1B(I1\x1B(B") << DetectedEncoding::Iso2022Jp;
        QTest::newRow("byte order mark only")
            << QByteArray("\xEF\xBB\xBF") << DetectedEncoding::Utf8;
        QTest::newRow("UTF-8 japanese") << kUtf8Nihongo << DetectedEncoding::Utf8;
        QTest::newRow("UTF-8 two-byte letter")
            << QByteArray("caf\xC3\xA9") << DetectedEncoding::Utf8;
        QTest::newRow("UTF-8 letter ending the first word")
            << QByteArray("123456\xC3\xA9") << DetectedEncoding::Utf8;
        QTest::newRow("UTF-8 letter after a whole word")
            << QByteArray("12345678\xC3\xA9") << DetectedEncoding::Utf8;
        QTest::newRow("UTF-8 letter in the tail after words")
            << QByteArray("1234567812345678abc\xC3\xA9") << DetectedEncoding::Utf8;
        QTest::newRow("overlong form is not UTF-8")
            << QByteArray("\xC0\xAF") << DetectedEncoding::EucJp;
        QTest::newRow("EUC-JP kanji") << kEucNihongo << DetectedEncoding::EucJp;
        // Also valid Shift_JIS (two half-width katakana), but kana weighs more than those.
        QTest::newRow("EUC-JP hiragana A") << QByteArray("\xA4\xA2") << DetectedEncoding::EucJp;
        QTest::newRow("EUC-JP katakana word")
            << QByteArray("\xA5\xC6\xA5\xB9\xA5\xC8") << DetectedEncoding::EucJp;
        QTest::newRow("EUC-JP SS2 katakana") << QByteArray("\x8E\xB1") << DetectedEncoding::EucJp;
        QTest::newRow("EUC-JP NEC circled one")
            << QByteArray("\xAD\xA1") << DetectedEncoding::EucJp;
        QTest::newRow("EUC-JP with one bad byte")
            << kEucNihongo + "\xFF" + kEucNihongo << DetectedEncoding::EucJp;
        QTest::newRow("Shift_JIS kanji") << kSjisNihongo << DetectedEncoding::ShiftJis;
        QTest::newRow("Shift_JIS hiragana A")
            << QByteArray("\x82\xA0") << DetectedEncoding::ShiftJis;
        QTest::newRow("Shift_JIS odd half-width run")
            << QByteArray("\xB1\xB2\xB3") << DetectedEncoding::ShiftJis;
        QTest::newRow("Shift_JIS IBM kanji")
            << QByteArray("\xFB\xFC") << DetectedEncoding::ShiftJis;
        // Level-2 kanji valid both ways with equal weight: the tie goes to EUC-JP.
        QTest::newRow("tie goes to EUC-JP") << QByteArray("\xE0\xA1") << DetectedEncoding::EucJp;
        QTest::newRow("nothing valid goes to Shift_JIS")
            << QByteArray("\x80\x80") << DetectedEncoding::ShiftJis;
    }
    void detect()
    {
        QFETCH(QByteArray, input);
        QFETCH(DetectedEncoding, expected);
        QCOMPARE(codec::detectEncoding(input), expected);
        QCOMPARE(codec::convertToCp932(input).detected, expected); // its shortcut agrees
    }

    // The shortcuts decide as the full weighing does on input valid in both, one, or neither
    // encoding: the converter's, which counts invalid EUC-JP sequences while converting, and
    // recognisedEncoding's, which stops each side at its first error.
    void shortcutsMatchFullWeighing()
    {
        static const QByteArray kPieces[] = {kSjisNihongo, kEucNihongo, "\xA4\xA2", "\x82\xA0",
                                             "\xB1",       "\x8E\xB1",  "\xE0\xA1", "\xFB\xFC",
                                             "\x80",       "\xFF",      "\xFD",     "a\r\n"};
        QRandomGenerator random(16);
        for (int round = 0; round < 3000; ++round) {
            QByteArray input;
            for (int k = random.bounded(1, 8); k > 0; --k)
                input += kPieces[random.bounded(int(std::size(kPieces)))];
            qsizetype invalid = -1;
            codec::convertEucJpToCp932(input, &invalid);
            QCOMPARE(codec::chooseEucJpOrShiftJis(input, invalid),
                     codec::chooseEucJpOrShiftJis(input));
            QCOMPARE(codec::convertToCp932(input).detected, codec::detectEncoding(input));
            const DetectedEncoding guess = codec::detectEncoding(input);
            const bool wellFormed = codec::detectByStructure(input).has_value() ||
                                    (guess == DetectedEncoding::EucJp
                                         ? codec::convertEucJpToCp932(input).firstUnconvertible < 0
                                         : codec::isValidCp932(input));
            QCOMPARE(codec::recognisedEncoding(input),
                     wellFormed ? std::optional(guess) : std::nullopt);
        }
    }

    // The rating scans pass over ASCII by the word and must still see every other unit.
    void asciiSkippingScansSeeTheSameUnits()
    {
        QRandomGenerator random(80);
        for (int round = 0; round < 2000; ++round) {
            QByteArray input;
            for (int k = random.bounded(1, 8); k > 0; --k) {
                input += QByteArray(random.bounded(12), 'a');
                input += char(random.bounded(0x80, 0x100));
                input += char(random.bounded(0x40, 0x100));
            }
            using namespace codec;
            QCOMPARE(nonAsciiUnits<false>([&](auto v) { eucjp::scan<false>(input, v); }),
                     nonAsciiUnits<true>([&](auto v) { eucjp::scan(input, v); }));
            QCOMPARE(nonAsciiUnits<false>([&](auto v) { cp932::scan<false>(input, v); }),
                     nonAsciiUnits<true>([&](auto v) { cp932::scan(input, v); }));
        }
    }

    void convert_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<qsizetype>("firstUnconvertible");
        QTest::newRow("ascii unchanged")
            << QByteArray("a\\b~\r\n") << QByteArray("a\\b~\r\n") << qsizetype(-1);
        QTest::newRow("Shift_JIS unchanged") << kSjisNihongo + "\n"
                                             << kSjisNihongo + "\n"
                                             << qsizetype(-1);
        QTest::newRow("Shift_JIS bad bytes kept, reported")
            << kSjisNihongo + "\x80" << kSjisNihongo + "\x80" << qsizetype(6);
        QTest::newRow("EUC-JP") << "<b>" + kEucNihongo + "</b>\n"
                                << "<b>" + kSjisNihongo + "</b>\n"
                                << qsizetype(-1);
        QTest::newRow("ISO-2022-JP") << kJisNihongo + "\r\n"
                                     << kSjisNihongo + "\r\n"
                                     << qsizetype(-1);
        QTest::newRow("ISO-2022-JP katakana by SO")
            << QByteArray("\x0E\x31\x0Fz") << QByteArray("\xB1z") << qsizetype(-1);
        QTest::newRow("ISO-2022-JP unknown escape")
            << kJisNihongo + "\x1B)Z" << kSjisNihongo + "\x81\xAC)Z" << qsizetype(12);
        QTest::newRow("ISO-2022-JP half a pair")
            << QByteArray("\x1B$Bx\n\x1B(B") << QByteArray("\x81\xAC\n") << qsizetype(3);
        QTest::newRow("UTF-8, byte order mark dropped")
            << "\xEF\xBB\xBF" + kUtf8Nihongo << kSjisNihongo << qsizetype(-1);
        QTest::newRow("UTF-8 letter CP932 lacks")
            << QByteArray("<p>caf\xC3\xA9</p>") << QByteArray("<p>caf&#xE9;</p>") << qsizetype(6);
        QTest::newRow("UTF-8 astral after japanese")
            << kUtf8Nihongo + "\xF0\x9F\x98\x80" << kSjisNihongo + "&#x1F600;" << qsizetype(9);
        QTest::newRow("byte order mark then bad byte") << QByteArray("\xEF\xBB\xBF"
                                                                     "a\xFF"
                                                                     "b")
                                                       << QByteArray("a\x81\xAC"
                                                                     "b")
                                                       << qsizetype(4);
    }
    void convert()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(qsizetype, firstUnconvertible);
        const codec::ConversionResult result = codec::convertToCp932(input);
        QCOMPARE(result.bytes.toHex(' '), expected.toHex(' '));
        QCOMPARE(result.firstUnconvertible, firstUnconvertible);
    }
};

TAVLEN_TEST_MAIN(TestDetect)
#include "test_detect.moc"
