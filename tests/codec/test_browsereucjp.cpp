// EUC-JP as the preview's browser engine reads it: every CP932 character the program writes as
// EUC-JP decodes in the engine to the same text, and every two-byte EUC-JP code reads the same in
// the program and in the engine (or is unreadable in both).
#include "testenv.h"

#include "codec/cp932.h"
#include "codec/cp932table.h"
#include "codec/eucjp.h"
#include "codec/filetext.h"

#include <QEventLoop>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;

namespace
{

// The engine's TextDecoder('euc-jp') text of each byte string, in order.
QStringList browserDecode(QWebEnginePage &page, const QList<QByteArray> &inputs)
{
    QStringList hexes;
    for (const QByteArray &bytes : inputs)
        hexes += QString::fromLatin1(bytes.toHex());
    const QString script = uR"((function (hexes) {
        const decoder = new TextDecoder('euc-jp');
        return hexes.split(' ').map(h => {
            const bytes = new Uint8Array(h.length / 2);
            for (let i = 0; i < bytes.length; ++i)
                bytes[i] = parseInt(h.substr(2 * i, 2), 16);
            return decoder.decode(bytes);
        });
    })('%1'))"_s.arg(hexes.join(u' '));
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
};

TAVLEN_TEST_MAIN(TestBrowserEucJp)
#include "test_browsereucjp.moc"
