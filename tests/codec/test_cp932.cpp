// The CP932 codec: every code and character against glibc's iconv (CP932), and the reporting of
// invalid bytes and unmappable characters.
#include "iconvreference.h"
#include "testenv.h"

#include "codec/cp932.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace
{

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

QString codePoints(const QString &text)
{
    QStringList parts;
    for (const char32_t c : text.toUcs4())
        parts += QString::number(uint(c), 16);
    return parts.join(u' ');
}

// glibc decodes these single bytes to U+0080, U+F8F0..U+F8F3; Windows' code page has no character
// there, so the codec reports them.
bool isGlibcOnlyByte(const QByteArray &code)
{
    if (code.size() != 1)
        return false;
    const uchar b = uchar(code[0]);
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

} // namespace

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableDecoderMatchesIcuPath()
    {
        // Every single byte, every lead byte with every second byte (alone and followed by
        // more), and random byte strings full of lead, trail and control bytes.
        QList<QByteArray> inputs;
        for (int b = 0; b < 0x100; ++b) {
            inputs += QByteArray(1, char(b));
            for (int second = 0; second < 0x100; ++second)
                if (b >= 0x80)
                    inputs += QByteArray(1, char(b)) + char(second) + "a";
        }
        static const char alphabet[] = "\x81\x82\x9f\xe0\xed\xfa\xfc\x40\x7e\x7f\x80\xa0\xa1"
                                       "\xdf\xfd\x1a\x1c\x00a";
        QRandomGenerator rng(932);
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            for (int k = int(rng.bounded(20)); k > 0; --k)
                bytes += alphabet[rng.bounded(int(sizeof alphabet) - 1)];
            inputs += bytes;
        }
        // Large enough for the decoded text to take huge pages.
        inputs += QByteArray("\x93\xFA\x96\x7B\x8C\xEA <p>\xB1").repeated(300000) + "\x80z";
        for (const QByteArray &bytes : inputs) {
            const codec::Cp932Decoded fast = codec::decodeCp932(bytes);
            const codec::Cp932Decoded icu = codec::decodeCp932ThroughIcu(bytes);
            QVERIFY2(fast.text == icu.text && fast.firstInvalid == icu.firstInvalid,
                     qPrintable(hex(bytes)));
        }
    }

    void decodeMatchesIconv()
    {
        QString reason;
        if (!iconvref::available({u"CP932"_s}, &reason))
            QSKIP(qPrintable(reason));
        QList<QByteArray> codes = iconvref::singleBytes();
        codes += iconvref::pairs(0x81, 0x9F, 0x20, 0xFF);
        codes += iconvref::pairs(0xE0, 0xFC, 0x20, 0xFF);
        const auto reference = iconvref::convertEach(codes, u"CP932"_s, u"UTF-8"_s);
        QVERIFY2(reference, "iconv failed to run");
        QStringList faults;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const codec::Cp932Decoded mine = codec::decodeCp932(codes[i]);
            const QByteArray &ref = reference->at(i);
            if (!ref.isNull() && !isGlibcOnlyByte(codes[i])) {
                const QString expected = QString::fromUtf8(ref);
                if (mine.text != expected || mine.firstInvalid != -1)
                    faults += hex(codes[i]) + u": iconv "_s + codePoints(expected) + u", ours "_s +
                              codePoints(mine.text);
            } else if (mine.firstInvalid != 0) {
                faults += hex(codes[i]) + u": not reported"_s;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) + u" differences: "_s +
                                              faults.mid(0, 10).join(u"; "_s)));
    }

    // Every BMP character: where iconv's CP932 encodes it, the same bytes; elsewhere reported.
    void encodeMatchesIconv()
    {
        QString reason;
        if (!iconvref::available({u"CP932"_s}, &reason))
            QSKIP(qPrintable(reason));
        QList<QByteArray> codes;
        QList<char16_t> chars;
        for (uint u = 1; u < 0x10000; ++u) {
            if (u == '\n' || (u >= 0xD800 && u < 0xE000))
                continue;
            chars += char16_t(u);
            codes += QString(QChar(u)).toUtf8();
        }
        const auto reference = iconvref::convertEach(codes, u"UTF-8"_s, u"CP932"_s);
        QVERIFY2(reference, "iconv failed to run");
        QStringList faults;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const char16_t c = chars[i];
            const codec::Cp932Encoded mine = codec::encodeCp932(QStringView(&c, 1));
            const QByteArray &ref = reference->at(i);
            // glibc also encodes some characters one way only (U+301C WAVE DASH to 0x8160, which
            // decodes to U+FF5E); those are not CP932's and must be reported.
            const bool glibcOnly = c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3) ||
                                   (!ref.isNull() && codec::decodeCp932(ref).text != QChar(c));
            if (!ref.isNull() && !glibcOnly) {
                if (mine.bytes != ref || mine.firstUnmappable != -1)
                    faults += QString::number(c, 16) + u": iconv "_s + hex(ref) + u", ours "_s +
                              hex(mine.bytes);
            } else if (mine.firstUnmappable != 0) {
                faults += QString::number(c, 16) + u": not reported, gives "_s + hex(mine.bytes);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) + u" differences: "_s +
                                              faults.mid(0, 10).join(u"; "_s)));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("firstInvalid");
        QTest::newRow("empty") << QByteArray() << QString() << qsizetype(-1);
        QTest::newRow("japanese") << QByteArray("\x93\xFA\x96\x7B\x8C\xEA\xB1") << u"日本語ｱ"_s
                                  << qsizetype(-1);
        QTest::newRow("control codes stay") << QByteArray("\x1A\x1C\x7F\x82\xA0")
                                            << u"\x1A\x1C\x7F"
                                               u"あ"_s
                                            << qsizetype(-1);
        QTest::newRow("unassigned code") << QByteArray("ab\x85\x40"
                                                       "cd")
                                         << u"ab\uFFFDcd"_s << qsizetype(2);
        QTest::newRow("lead at the end") << QByteArray("ab\x82") << u"ab\uFFFD"_s << qsizetype(2);
        QTest::newRow("lead before CR LF")
            << QByteArray("\x82\r\n") << u"\uFFFD\r\n"_s << qsizetype(0);
        QTest::newRow("0xA0 then valid")
            << QByteArray("\xA0\x82\xA0") << u"\uFFFDあ"_s << qsizetype(0);
        QTest::newRow("second of two faults")
            << QByteArray("a\x1A\xFF\xFD") << u"a\x1A\uFFFD\uFFFD"_s << qsizetype(2);
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(qsizetype, firstInvalid);
        const codec::Cp932Decoded result = codec::decodeCp932(bytes);
        QCOMPARE(codePoints(result.text), codePoints(text));
        QCOMPARE(result.firstInvalid, firstInvalid);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("firstUnmappable");
        QTest::newRow("japanese") << u"日本語ｱ①髙"_s
                                  << QByteArray("\x93\xFA\x96\x7B\x8C\xEA\xB1\x87\x40\xFB\xFC")
                                  << qsizetype(-1);
        QTest::newRow("control codes stay")
            << u"\x1A\x1C\x7F"_s << QByteArray("\x1A\x1C\x7F") << qsizetype(-1);
        QTest::newRow("latin letter") << u"café"_s << QByteArray("caf&#xE9;") << qsizetype(3);
        QTest::newRow("astral character")
            << u"a\U0001F600b"_s << QByteArray("a&#x1F600;b") << qsizetype(1);
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) + u"x"_s << QByteArray("&#xFFFD;x") << qsizetype(0);
        QTest::newRow("encoder fallback U+F86F")
            << u"\uF86F"_s << QByteArray("&#xF86F;") << qsizetype(0);
        QTest::newRow("wave dash is not the fullwidth tilde")
            << u"\u301C\uFF5E"_s << QByteArray("&#x301C;\x81\x60") << qsizetype(0);
        QTest::newRow("first of many, far in")
            << QString(1000, u'あ') + u"éé"_s << QByteArray(1000, '\0') << qsizetype(1000);
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, firstUnmappable);
        const codec::Cp932Encoded result = codec::encodeCp932(text);
        if (!bytes.startsWith('\0')) // the long row only checks the position
            QCOMPARE(hex(result.bytes), hex(bytes));
        QCOMPARE(result.firstUnmappable, firstUnmappable);
        // The text survives where it could: decoding gives it back when nothing was unmappable.
        if (firstUnmappable < 0)
            QCOMPARE(codec::decodeCp932(result.bytes).text, text);
    }
};

TAVLEN_TEST_MAIN(TestCp932)
#include "test_cp932.moc"
