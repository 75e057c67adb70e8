#include "reference/rtf/rtf.h"
#include "testenv.h"

#include <QRandomGenerator>

using platform::ColorRun;

namespace
{

const QRgb kDefault = qRgb(10, 20, 30);

// The runs read() gives back for text written with these runs: text outside every run in the
// default colour, neighbours of one colour merged.
std::vector<ColorRun> expectedRuns(qsizetype size, const std::vector<ColorRun> &runs)
{
    std::vector<QRgb> colours(size, kDefault);
    for (const ColorRun &r : runs)
        for (qsizetype i = r.start; i < r.start + r.length; ++i)
            colours[i] = r.color;
    std::vector<ColorRun> out;
    for (qsizetype i = 0; i < size; ++i) {
        if (!out.empty() && out.back().color == colours[i])
            ++out.back().length;
        else
            out.push_back({qint32(i), 1, colours[i]});
    }
    return out;
}

// Characters the editor can hold, weighted towards those the RTF treats specially.
QString randomText(QRandomGenerator &rng, int size)
{
    static const QString special = QStringLiteral("\\{}<>;?' \t\u2028\u2029\u00A0\u00A5~\r\n") +
                                   QChar(0) + QChar(0x7F) + QChar(0x85) + QChar(0x1A);
    static const QString japanese = QStringLiteral("あいうアイウｱｲｳ日本語髙①～〜∥‖！＃");
    QString s;
    while (s.size() < size) {
        switch (rng.bounded(8)) {
        case 0:
            s += special[rng.bounded(special.size())];
            break;
        case 1:
        case 2:
            s += japanese[rng.bounded(japanese.size())];
            break;
        case 3:
            s += QChar(char16_t(0x20 + rng.bounded(0x5F)));
            break;
        case 4: { // an astral character
            const char32_t c = 0x10000 + rng.bounded(0x100000);
            s += QChar::highSurrogate(c);
            s += QChar::lowSurrogate(c);
            break;
        }
        case 5: // lone surrogates included
            s += QChar(char16_t(rng.bounded(0x10000)));
            break;
        case 6:
            s += QChar(char16_t(rng.bounded(0x20)));
            break;
        default:
            s += QChar(char16_t(0x4E00 + rng.bounded(0x5200)));
            break;
        }
    }
    return s;
}

std::vector<ColorRun> randomRuns(QRandomGenerator &rng, qsizetype size)
{
    static const QRgb palette[] = {qRgb(0, 0, 128), qRgb(0, 128, 0), kDefault, qRgb(255, 255, 255),
                                   qRgb(0, 0, 0)};
    std::vector<ColorRun> runs;
    qsizetype pos = rng.bounded(4);
    while (pos < size) {
        const qsizetype length = std::min<qsizetype>(1 + rng.bounded(6), size - pos);
        const QRgb colour = rng.bounded(4) == 0
                                ? qRgb(rng.bounded(256), rng.bounded(256), rng.bounded(256))
                                : palette[rng.bounded(5)];
        runs.push_back({qint32(pos), qint32(length), colour});
        pos += length + rng.bounded(3);
    }
    return runs;
}

void checkRoundTrip(const QString &text, const std::vector<ColorRun> &runs)
{
    const QString rtf =
        reference::rtf::write(text, runs, kDefault, QStringLiteral("ＭＳ ゴシック"), 9);
    const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
    QCOMPARE(doc.text.size(), text.size());
    QCOMPARE(doc.text, text);
    QCOMPARE(doc.runs, expectedRuns(text.size(), runs));
}

} // namespace

class TestRtfRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("one paragraph mark") << QStringLiteral("\u2029");
        QTest::newRow("marks only") << QStringLiteral("\u2029\u2029\u2029");
        QTest::newRow("ends with mark") << QStringLiteral("<p>\u2029");
        QTest::newRow("starts with mark") << QStringLiteral("\u2029<p>");
        QTest::newRow("line separator at end") << QStringLiteral("a\u2028");
        QTest::newRow("nul") << QString(QChar(0));
        QTest::newRow("question marks after unicode") << QStringLiteral("\u00A0??");
        QTest::newRow("digits after control words") << QStringLiteral("\t1\u20282\u202934\u00A05");
        QTest::newRow("spaces after control words") << QStringLiteral("\t \u2028 \u2029 \u00A0 ");
        QTest::newRow("rtf in the text")
            << QStringLiteral("{\\rtf1{\\colortbl;}\\cf1 \\par}\\'82\\u12354?");
    }
    void edges()
    {
        QFETCH(QString, text);
        checkRoundTrip(text, {});
        checkRoundTrip(text, {{0, qint32(text.size()), qRgb(0, 0, 128)}});
    }

    void everyCodeUnit()
    {
        QString text(0x10000, Qt::Uninitialized);
        for (int c = 0; c < 0x10000; ++c)
            text[c] = QChar(char16_t(c));
        checkRoundTrip(text, {});
        QRandomGenerator rng(7);
        checkRoundTrip(text, randomRuns(rng, text.size()));
    }

    void randomTexts_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 42u, 1234u, 99991u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomTexts()
    {
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        for (int round = 0; round < 200; ++round) {
            const QString text = randomText(rng, rng.bounded(200));
            checkRoundTrip(text,
                           round % 3 == 0 ? std::vector<ColorRun>{} : randomRuns(rng, text.size()));
            if (QTest::currentTestFailed()) {
                qWarning() << "round" << round << "text" << text;
                return;
            }
        }
    }
};

TAVLEN_TEST_MAIN(TestRtfRoundTrip)
#include "test_rtf_roundtrip.moc"
