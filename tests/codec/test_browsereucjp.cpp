// EUC-JP and Shift_JIS as the preview's browser engine reads them: every CP932 character the
// program writes as EUC-JP decodes in the engine to the same text, every EUC-JP and Shift_JIS code
// reads the same in the program and in the engine (or the program refuses it, and a page holding
// it is left alone), and every character the engine reads from Shift_JIS the program writes back
// as bytes the engine reads as that character.
#include "testenv.h"

#include "codec/cp932.h"
#include "codec/cp932table.h"
#include "codec/eucjp.h"
#include "codec/filetext.h"
#include "site/pagecodec.h"

#include <QEventLoop>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;

namespace
{

// The engine's TextDecoder(encoding) text of each byte string, in order.
QStringList browserDecode(QWebEnginePage &page, const QList<QByteArray> &inputs,
                          const QString &encoding = u"euc-jp"_s)
{
    QStringList hexes;
    for (const QByteArray &bytes : inputs)
        hexes += QString::fromLatin1(bytes.toHex());
    const QString script = uR"((function (hexes) {
        const decoder = new TextDecoder('%2');
        return hexes.split(' ').map(h => {
            const bytes = new Uint8Array(h.length / 2);
            for (let i = 0; i < bytes.length; ++i)
                bytes[i] = parseInt(h.substr(2 * i, 2), 16);
            return decoder.decode(bytes);
        });
    })('%1'))"_s.arg(hexes.join(u' '), encoding);
    QStringList decoded;
    QEventLoop loop;
    page.runJavaScript(script, [&](const QVariant &result) {
        decoded = result.toStringList();
        loop.quit();
    });
    loop.exec();
    return decoded;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

QString codePoints(const QString &text)
{
    QStringList points;
    for (const char32_t c : text.toUcs4())
        points += u"U+"_s + QString::number(uint(c), 16).toUpper();
    return points.join(u' ');
}

} // namespace

class TestBrowserEucJp : public QObject
{
    Q_OBJECT

    QWebEnginePage *m_page = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        m_page = new QWebEnginePage(this);
        QEventLoop loop;
        connect(m_page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        m_page->setHtml(u"<html><body></body></html>"_s);
        loop.exec();
    }

    // Each character of the CP932 repertoire outside the user-defined area, written by the
    // program's EUC-JP save path, reads back in the engine as the same character.
    void everyWrittenCharacterReadsTheSame()
    {
        QStringList texts;
        auto add = [&](const QByteArray &cp932) {
            const codec::Cp932Decoded decoded = codec::decodeCp932(cp932);
            QCOMPARE(decoded.firstInvalid, -1);
            texts += decoded.text;
        };
        for (int b = 0x20; b < 0x7F; ++b)
            add(QByteArray(1, char(b)));
        for (int b = 0xA1; b <= 0xDF; ++b)
            add(QByteArray(1, char(b)));
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (lead >= 0xF0 && lead <= 0xF9) // the user-defined area: private use
                    continue;
                if (codec::cp932::isLeadByte(uchar(lead)) &&
                    codec::cp932::isMapped(uchar(lead), uchar(trail)))
                    add(QByteArray(1, char(lead)) + char(trail));
            }
        }
        QList<QByteArray> written;
        for (const QString &text : std::as_const(texts)) {
            const codec::EncodedText encoded = codec::bytesFromText(text, codec::TextCode::EucJp);
            QVERIFY2(encoded.firstUnmappable < 0 && !encoded.converterFailed,
                     qPrintable(codePoints(text)));
            written += encoded.bytes;
        }
        const QStringList read = browserDecode(*m_page, written);
        QCOMPARE(read.size(), texts.size());
        QStringList faults;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (read[i] != texts[i])
                faults += codePoints(texts[i]) + u" -> "_s + hex(written[i]) + u" -> "_s +
                          codePoints(read[i]);
        }
        qInfo("%lld characters", qlonglong(texts.size()));
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QString::number(faults.size()) + u" differences, first: "_s +
                            faults.mid(0, 10).join(u"; "_s)));
    }

    // Each two-byte EUC-JP code and each SS2 katakana gives the same character in the program as in
    // the engine, or is unreadable in both.
    void everyTwoByteCodeReadsTheSame()
    {
        QList<QByteArray> codes;
        for (int lead = 0xA1; lead <= 0xFE; ++lead)
            for (int trail = 0xA1; trail <= 0xFE; ++trail)
                codes += QByteArray(1, char(lead)) + char(trail);
        // SS2 with the half-width katakana. (After 0xDF the engine leaves the Encoding Standard:
        // it reads 0x8EE0-0x8EE2 as "¢£¬" and the rest as U+001A; the program finds no
        // character there, as the standard says.)
        for (int trail = 0xA1; trail <= 0xDF; ++trail)
            codes += QByteArray(1, char(0x8E)) + char(trail);
        const QStringList read = browserDecode(*m_page, codes);
        QCOMPARE(read.size(), codes.size());
        QStringList faults;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const codec::ConversionResult mine = codec::convertEucJpToCp932(codes[i]);
            const QString ours =
                mine.firstUnconvertible >= 0 ? u"\uFFFD"_s : codec::decodeCp932(mine.bytes).text;
            if (ours != read[i])
                faults += hex(codes[i]) + u": engine "_s + codePoints(read[i]) + u", ours "_s +
                          codePoints(ours);
        }
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QString::number(faults.size()) + u" differences, first: "_s +
                            faults.mid(0, 10).join(u"; "_s)));
    }

    // Each three-byte EUC-JP code (0x8F, JIS X 0212 and the IBM extensions older tools wrote) the
    // program reads gives the engine's character, or a page holding it is left alone by the
    // folder operations (the program writes no three-byte code back).
    void everyThreeByteCodeReadsTheSame()
    {
        QList<QByteArray> codes;
        for (int lead = 0xA1; lead <= 0xFE; ++lead)
            for (int trail = 0xA1; trail <= 0xFE; ++trail)
                codes += QByteArray("\x8F") + char(lead) + char(trail);
        const QStringList read = browserDecode(*m_page, codes);
        QCOMPARE(read.size(), codes.size());
        QStringList faults;
        int refused = 0;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const codec::ConversionResult mine = codec::convertEucJpToCp932(codes[i]);
            if (mine.firstUnconvertible >= 0) {
                refused += read[i] != u"\uFFFD"_s;
                continue;
            }
            const QString ours = codec::decodeCp932(mine.bytes).text;
            const QByteArray page = "<meta charset=\"EUC-JP\"><p>" + codes[i];
            if (ours != read[i] &&
                !std::holds_alternative<site::PageSkip>(site::decodePage(page, true)))
                faults += hex(codes[i]) + u": engine "_s + codePoints(read[i]) + u", ours "_s +
                          codePoints(ours);
        }
        qInfo("%d codes the engine reads are refused", refused);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QString::number(faults.size()) + u" differences, first: "_s +
                            faults.mid(0, 10).join(u"; "_s)));
    }

    // Each Shift_JIS byte and byte pair reads the same in the program as in the engine, or the
    // program refuses it; and each character the engine reads from them the program writes as
    // bytes the engine reads back as that character.
    void everyShiftJisCodeReadsAndWritesTheSame()
    {
        QList<QByteArray> codes;
        for (int b = 0x80; b <= 0xFF; ++b)
            codes += QByteArray(1, char(b));
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F)
                    codes += QByteArray(1, char(lead)) + char(trail);
        }
        const QStringList read = browserDecode(*m_page, codes, u"shift_jis"_s);
        QCOMPARE(read.size(), codes.size());
        QStringList faults;
        QStringList engineChars;
        int refused = 0;
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const codec::Cp932Decoded mine = codec::decodeCp932(codes[i]);
            // (The engine reads some unassigned codes as U+001A, ICU's stand-in.)
            if (read[i].size() <= 2 && !read[i].contains(u'\uFFFD') && read[i][0].unicode() >= 0x80)
                engineChars += read[i];
            if (mine.firstInvalid >= 0) {
                refused += !read[i].contains(u'\uFFFD');
                continue;
            }
            if (mine.text != read[i])
                faults += hex(codes[i]) + u": engine "_s + codePoints(read[i]) + u", ours "_s +
                          codePoints(mine.text);
        }
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QString::number(faults.size()) + u" read differently, first: "_s +
                            faults.mid(0, 10).join(u"; "_s)));
        qInfo("%d codes the engine reads are refused", refused);

        // Written back: what the program cannot write round trip is written as a reference by
        // the folder conversion, so each must be a character the engine reads from no code.
        engineChars.removeDuplicates();
        QList<QByteArray> written;
        QStringList texts;
        for (const QString &c : std::as_const(engineChars)) {
            const codec::Cp932Encoded encoded = codec::encodeCp932(c);
            if (encoded.firstUnmappable >= 0 || codec::decodeCp932(encoded.bytes).text != c) {
                if (c != u"\u0080"_s)
                    faults += codePoints(c) + u" not written"_s;
                continue;
            }
            written += encoded.bytes;
            texts += c;
        }
        const QStringList back = browserDecode(*m_page, written, u"shift_jis"_s);
        for (qsizetype i = 0; i < texts.size(); ++i)
            if (back[i] != texts[i])
                faults += codePoints(texts[i]) + u" -> "_s + hex(written[i]) + u" -> "_s +
                          codePoints(back[i]);
        qInfo("%lld characters written", qlonglong(texts.size()));
        QVERIFY2(faults.isEmpty(),
                 qPrintable(QString::number(faults.size()) + u" written differently, first: "_s +
                            faults.mid(0, 10).join(u"; "_s)));
    }
};

TAVLEN_TEST_MAIN(TestBrowserEucJp)
#include "test_browsereucjp.moc"
