// CP932 <-> EUC-JP byte conversion: every code against glibc's iconv (EUC-JP-MS) where browsers
// agree with it, the stand-ins for unconvertible input, and the round trip of every CP932
// character.
#include "iconvreference.h"
#include "testenv.h"

#include "codec/cp932table.h"
#include "codec/eucjp.h"
#include "codec/eucjpscan.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace
{

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

using Converter = codec::ConversionResult (*)(QByteArrayView);

// Compares conv with iconv on every code: where iconv converts, the bytes must be the same and
// nothing reported; where iconv refuses, conv must report the code as unconvertible.
void compareWithIconv(const QList<QByteArray> &codes, const QString &from, const QString &to,
                      Converter conv)
{
    QString reason;
    if (!iconvref::available({from, to}, &reason))
        QSKIP(qPrintable(reason));
    const auto reference = iconvref::convertEach(codes, from, to);
    QVERIFY2(reference, "iconv failed to run");
    QStringList faults;
    qsizetype accepted = 0;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const codec::ConversionResult mine = conv(codes[i]);
        const QByteArray &ref = reference->at(i);
        if (!ref.isNull()) {
            ++accepted;
            if (mine.bytes != ref || mine.firstUnconvertible != -1)
                faults += hex(codes[i]) + u": iconv "_s + hex(ref) + u", ours "_s + hex(mine.bytes);
        } else if (mine.firstUnconvertible != 0) {
            faults += hex(codes[i]) + u": iconv refuses, ours gives "_s + hex(mine.bytes);
        }
    }
    qInfo("%lld codes, %lld converted by iconv", qlonglong(codes.size()), qlonglong(accepted));
    QVERIFY2(faults.isEmpty(),
             qPrintable(QString::number(faults.size()) + u" differences, first: "_s +
                        faults.mid(0, 10).join(u"; "_s)));
}

// EUC-JP to CP932 as a plain walk over the units of eucjp::scan: the converter must give the same.
codec::ConversionResult eucJpToCp932ByUnits(QByteArrayView euc)
{
    using codec::eucjp::Unit;
    codec::ConversionResult r;
    r.detected = codec::DetectedEncoding::EucJp;
    codec::eucjp::scan(euc, [&](const Unit &unit, qsizetype i) {
        if (unit.kind == Unit::Invalid) {
            if (r.firstUnconvertible < 0)
                r.firstUnconvertible = i;
            r.bytes += "\x81\xAC";
        } else {
            if (unit.kind == Unit::Double || unit.kind == Unit::Triple)
                r.bytes += char(unit.cp932 >> 8);
            r.bytes += char(unit.cp932);
        }
        return true;
    });
    return r;
}

// Random EUC-JP-like input: ASCII runs of every length around the eight-byte word, characters of
// each kind, and stray bytes, cut anywhere.
QByteArray randomEucJp(QRandomGenerator &random, int pieces)
{
    static const QByteArray kPieces[] = {
        "\xC6\xFC",     "\xA4\xA2", "\x8E\xB1", "\x8E\xDF", "\x8E\xE0", "\x8F\xD4\xE3",
        "\x8F\xB0\xA1", "\xA9\xA1", "\xAD\xA1", "\xF5\xA1", "\xFE\xFE", "\x8F\xFE\xFE",
    };
    QByteArray out;
    for (int k = 0; k < pieces; ++k) {
        switch (random.bounded(3)) {
        case 0:
            out += QByteArray(random.bounded(20), char(random.bounded(0x20, 0x7F)));
            break;
        case 1:
            out += kPieces[random.bounded(int(std::size(kPieces)))];
            break;
        default:
            out += char(random.bounded(0x80, 0x100));
            break;
        }
    }
    return out.first(random.bounded(out.size() + 1));
}

void compareWithUnits(const QByteArray &input)
{
    const codec::ConversionResult mine = codec::convertEucJpToCp932(input);
    const codec::ConversionResult ref = eucJpToCp932ByUnits(input);
    QVERIFY2(mine.bytes == ref.bytes && mine.firstUnconvertible == ref.firstUnconvertible,
             qPrintable(hex(input.first(qMin(input.size(), 64))) + u": ours "_s +
                        hex(mine.bytes.first(qMin(mine.bytes.size(), 64))) + u", by units "_s +
                        hex(ref.bytes.first(qMin(ref.bytes.size(), 64)))));
}

} // namespace

class TestEucJp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cp932ToEucJpMatchesIconv()
    {
        QList<QByteArray> codes = iconvref::singleBytes();
        codes += iconvref::pairs(0x81, 0x9F, 0x00, 0xFF);
        codes += iconvref::pairs(0xE0, 0xFC, 0x00, 0xFF);
        // Where browsers and EUC-JP-MS part: the IBM kanji, written in rows 89-92 rather than
        // after 0x8F, and the user-defined area (test_browsereucjp judges these).
        codes.removeIf([](const QByteArray &code) {
            const uchar lead = uchar(code[0]);
            return code.size() == 2 && (lead == 0xED || lead == 0xEE || lead >= 0xF0);
        });
        compareWithIconv(codes, QStringLiteral("CP932"), QStringLiteral("EUC-JP-MS"),
                         &codec::convertCp932ToEucJp);
    }

    void eucJpToCp932MatchesIconv()
    {
        QList<QByteArray> codes = iconvref::singleBytes();
        codes += iconvref::pairs(0x8E, 0x8E, 0x00, 0xFF);
        codes += iconvref::pairs(0xA1, 0xFE, 0xA1, 0xFE);
        codes += iconvref::pairs(0xA1, 0xFE, 0x20, 0x21); // lead byte before ASCII
        for (const QByteArray &pair : iconvref::pairs(0xA1, 0xFE, 0xA1, 0xFE))
            codes += '\x8F' + pair;
        codes += QByteArray("\x8F\x41\x41");
        // Two-byte rows 85-94: the IBM kanji in 89-92 for browsers, user-defined for EUC-JP-MS.
        codes.removeIf([](const QByteArray &code) {
            return code.size() == 2 && uchar(code[0]) >= 0xF5 && uchar(code[1]) >= 0xA1;
        });
        compareWithIconv(codes, QStringLiteral("EUC-JP-MS"), QStringLiteral("CP932"),
                         &codec::convertEucJpToCp932);
    }

    // Every CP932 character comes back as the code the CP932 encoder prefers for it; the
    // user-defined ones have no place in EUC-JP.
    void everyCharacterRoundTrips()
    {
        int characters = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!codec::cp932::isLeadByte(uchar(lead)) ||
                    !codec::cp932::isMapped(uchar(lead), uchar(trail)))
                    continue;
                ++characters;
                const QByteArray code = QByteArray(1, char(lead)) + char(trail);
                const auto euc = codec::convertCp932ToEucJp(code);
                const auto back = codec::convertEucJpToCp932(euc.bytes);
                const quint16 canonical = codec::cp932::canonicalCode(quint16(lead << 8 | trail));
                const bool userDefined = lead >= 0xF0 && lead <= 0xF9;
                const QByteArray expected =
                    userDefined ? QByteArray("\x81\xAC")
                                : QByteArray(1, char(canonical >> 8)) + char(canonical);
                QVERIFY2(euc.firstUnconvertible == (userDefined ? 0 : -1) && back.bytes == expected,
                         qPrintable(hex(code) + u" -> "_s + hex(euc.bytes) + u" -> "_s +
                                    hex(back.bytes)));
            }
        }
        QCOMPARE(characters, 7724 + 1880); // JIS, NEC and IBM characters plus user-defined
    }

    // The converter's word-at-a-time and inline paths against the unit scanner.
    void eucJpToCp932MatchesUnitScan()
    {
        QRandomGenerator random(2026);
        for (int round = 0; round < 5000; ++round)
            compareWithUnits(randomEucJp(random, random.bounded(1, 12)));
        // Large enough for the output area to take huge pages.
        compareWithUnits(randomEucJp(random, 1 << 20));
    }

    void cp932ToEucJp_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<qsizetype>("firstUnconvertible");
        const QByteArray geta("\xA2\xAE");
        QTest::newRow("ascii and line ends")
            << QByteArray("a\\~\r\n") << QByteArray("a\\~\r\n") << qsizetype(-1);
        QTest::newRow("half-width katakana")
            << QByteArray("\xB1\xDF") << QByteArray("\x8E\xB1\x8E\xDF") << qsizetype(-1);
        QTest::newRow("NEC row 13")
            << QByteArray("\x87\x40") << QByteArray("\xAD\xA1") << qsizetype(-1);
        QTest::newRow("row-13 copy of a row-2 symbol")
            << QByteArray("\x87\x90") << QByteArray("\xA2\xE2") << qsizetype(-1);
        QTest::newRow("NEC-selected IBM kanji in row 89")
            << QByteArray("\xED\x40") << QByteArray("\xF9\xA1") << qsizetype(-1);
        QTest::newRow("IBM kanji at its NEC-selected place")
            << QByteArray("\xFA\x5C\xFB\xFC") << QByteArray("\xF9\xA1\xFC\xE2") << qsizetype(-1);
        QTest::newRow("IBM small roman numeral in row 92")
            << QByteArray("\xFA\x40") << QByteArray("\xFC\xF1") << qsizetype(-1);
        QTest::newRow("user-defined first") << QByteArray("\xF0\x40") << geta << qsizetype(0);
        QTest::newRow("user-defined last")
            << QByteArray("a\xF9\xFC") << QByteArray("a") + geta << qsizetype(1);
        QTest::newRow("unassigned double-byte")
            << QByteArray("ab\x85\x40") << QByteArray("ab") + geta << qsizetype(2);
        QTest::newRow("lead byte at the end")
            << QByteArray("a\x81") << QByteArray("a") + geta << qsizetype(1);
        QTest::newRow("lead byte before LF") << QByteArray("\x81\n") << geta + '\n' << qsizetype(0);
        QTest::newRow("single 0x80 0xA0 0xFD")
            << QByteArray("\x80\xA0\xFD") << geta + geta + geta << qsizetype(0);
    }
    void cp932ToEucJp()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(qsizetype, firstUnconvertible);
        const auto result = codec::convertCp932ToEucJp(input);
        QCOMPARE(hex(result.bytes), hex(expected));
        QCOMPARE(result.firstUnconvertible, firstUnconvertible);
    }

    void eucJpToCp932_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<qsizetype>("firstUnconvertible");
        const QByteArray geta("\x81\xAC");
        QTest::newRow("kanji and kana")
            << QByteArray("\xC6\xFC\xA4\xA2") << QByteArray("\x93\xFA\x82\xA0") << qsizetype(-1);
        QTest::newRow("SS2 katakana")
            << QByteArray("\x8E\xB1") << QByteArray("\xB1") << qsizetype(-1);
        QTest::newRow("JIS X 0212 IBM kanji")
            << QByteArray("\x8F\xD4\xE3") << QByteArray("\xFA\x5C") << qsizetype(-1);
        QTest::newRow("IBM kanji in row 89 and its three-byte form")
            << QByteArray("\xF9\xA1\xFC\xE2\x8F\xF4\xFB") << QByteArray("\xFA\x5C\xFB\xFC\xFB\xFC")
            << qsizetype(-1);
        QTest::newRow("user-defined two-byte rows are unreadable")
            << QByteArray("\xF5\xA1\xF8\xFE\xFD\xA1\xFE\xFE") << geta + geta + geta + geta
            << qsizetype(0);
        QTest::newRow("user-defined three-byte row 85")
            << QByteArray("\x8F\xF5\xA1") << QByteArray("\xF5\x40") << qsizetype(-1);
        QTest::newRow("row-13 copy reads as row 2")
            << QByteArray("\xAD\xF0") << QByteArray("\x81\xE0") << qsizetype(-1);
        QTest::newRow("JIS X 0212 tilde")
            << QByteArray("\x8F\xA2\xB7") << QByteArray("\x81\x60") << qsizetype(-1);
        QTest::newRow("JIS X 0212 only kanji")
            << QByteArray("x\x8F\xB0\xA1") << QByteArray("x") + geta << qsizetype(1);
        QTest::newRow("empty row 9") << QByteArray("\xA9\xA1") << geta << qsizetype(0);
        QTest::newRow("SS2 without katakana")
            << QByteArray("\x8E\xE0z") << geta + 'z' << qsizetype(0);
        QTest::newRow("lead before ASCII") << QByteArray("\xA4\x41") << geta + 'A' << qsizetype(0);
        QTest::newRow("cut at the end")
            << QByteArray("a\xA4") << QByteArray("a") + geta << qsizetype(1);
        QTest::newRow("cut SS3") << QByteArray("\x8F\xA1") << geta + geta << qsizetype(0);
        QTest::newRow("0xFF") << QByteArray("\xFF") << geta << qsizetype(0);
    }
    void eucJpToCp932()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(qsizetype, firstUnconvertible);
        const auto result = codec::convertEucJpToCp932(input);
        QCOMPARE(hex(result.bytes), hex(expected));
        QCOMPARE(result.firstUnconvertible, firstUnconvertible);
    }
};

TAVLEN_TEST_MAIN(TestEucJp)
#include "test_eucjp.moc"
