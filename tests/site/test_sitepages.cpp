// Pages of a site read and written in their own encodings, compared with the bytes iconv makes.
#include "testenv.h"

#include "site/pagecodec.h"

#include <QProcess>

using namespace Qt::StringLiterals;
using site::PageSkip;

namespace
{

// The bytes iconv makes of text in charset.
QByteArray iconv(const QString &text, const char *charset)
{
    QProcess process;
    process.start(u"iconv"_s, {u"-f"_s, u"UTF-8"_s, u"-t"_s, QString::fromLatin1(charset)});
    process.write(text.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished();
    return process.readAllStandardOutput();
}

const QString Page = u"<html><head><title>会社案内</title></head>\r\n"
                     "<body><p>株式会社たぶれんの電話は 03-1234-5678 です。ｶﾀｶﾅ</p>\r\n"
                     "</body></html>\r\n"_s;

// The reason of a skip, for a failure's message; empty for anything else.
template <typename Variant> QByteArray reasonOf(const Variant &result)
{
    const PageSkip *skip = std::get_if<PageSkip>(&result);
    return skip ? skip->reason.toUtf8() : QByteArray();
}

QString withLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

class TestSitePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding"); // empty when skipped
        QTest::addColumn<QString>("lineEnds");
        QTest::addColumn<QString>("skip"); // the start of the reason
        QTest::addColumn<bool>("exact");

        QTest::newRow("Shift_JIS, CR LF")
            << iconv(Page, "CP932") << u"Shift_JIS"_s << u"CR LF"_s << QString() << true;
        QTest::newRow("EUC-JP, LF")
            << iconv(withLf(Page), "EUC-JP") << u"EUC-JP"_s << u"LF"_s << QString() << true;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF" + iconv(Page, "UTF-8"))
                                        << u"UTF-8 (BOM)"_s << u"CR LF"_s << QString() << true;
        const QString noKana = withLf(Page).remove(u"ｶﾀｶﾅ"_s);
        QTest::newRow("ISO-2022-JP")
            << iconv(noKana, "ISO-2022-JP") << u"ISO-2022-JP"_s << u"LF"_s << QString() << true;
        QTest::newRow("declaration decides over the bytes")
            << QByteArray("<meta charset=\"x-sjis\">abc\n") << u"Shift_JIS"_s << u"LF"_s
            << QString() << true;
        QTest::newRow("declared EUC-JP, Shift_JIS bytes")
            << QByteArray("<meta charset=\"euc-jp\">" + iconv(u"日本語\n"_s, "CP932")) << QString()
            << QString() << u"EUC-JP として読めないバイト"_s << true;
        QTest::newRow("declared windows-1252 with high bytes")
            << QByteArray("<meta charset=\"iso-8859-1\">caf\xE9") << QString() << QString()
            << u"扱えない文字コード（windows-1252）"_s << true;
        QTest::newRow("declared windows-1252, ASCII only")
            << QByteArray("<meta charset=\"iso-8859-1\">cafe") << u"ASCII"_s << u"なし"_s
            << QString() << true;
        QTest::newRow("binary") << QByteArray("GIF89a\0\0\x81\x40", 10) << QString() << QString()
                                << u"テキストではありません"_s << true;
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE<\0h\0", 6) << QString() << QString()
                                << u"UTF-16"_s << true;
        QTest::newRow("bad UTF-8 behind a BOM")
            << QByteArray("\xEF\xBB\xBF"
                          "abc\xC0\xAF")
            << QString() << QString()
            << u"UTF-8 (BOM) として読めないバイトがあります（7 バイト目）"_s << true;
        // JIS X 0201 Roman reads as ASCII but is written back as ASCII's own escape.
        const QByteArray roman("\x1B$B$\"\x1B(Jabc\n");
        QTest::newRow("ISO-2022-JP that would not come back")
            << roman << QString() << QString() << u"ISO-2022-JP として読んで書き戻すと"_s << true;
        QTest::newRow("the same, only searched")
            << roman << u"ISO-2022-JP"_s << u"LF"_s << QString() << false;
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, lineEnds);
        QFETCH(QString, skip);
        QFETCH(bool, exact);
        QVERIFY(!bytes.isEmpty());
        auto page = site::decodePage(bytes, exact);
        if (encoding.isEmpty()) {
            QVERIFY(std::holds_alternative<PageSkip>(page));
            QVERIFY2(std::get<PageSkip>(page).reason.startsWith(skip), reasonOf(page).constData());
            return;
        }
        QVERIFY2(std::holds_alternative<site::DecodedPage>(page), reasonOf(page).constData());
        const site::DecodedPage &decoded = std::get<site::DecodedPage>(page);
        QCOMPARE(site::encodingLabel(decoded.form), encoding);
        QCOMPARE(site::lineEndsLabel(decoded.form.lineEnds), lineEnds);
    }

    // A replacement written into each encoding: the bytes iconv makes of the new text, or the
    // page skipped when the encoding cannot hold a character.
    void encode_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("expected"); // empty: the page cannot hold it

        const QString noKana = withLf(Page).remove(u"ｶﾀｶﾅ"_s);
        const auto row = [&](const char *name, const QString &text, const char *charset,
                             const QString &to, bool holds) {
            QString changed = text;
            changed.replace(u"たぶれん"_s, to);
            const QByteArray bom = QByteArray(charset) == "BOM" ? "\xEF\xBB\xBF" : "";
            const char *real = bom.isEmpty() ? charset : "UTF-8";
            QTest::newRow(name) << QByteArray(bom + iconv(text, real)) << u"たぶれん"_s << to
                                << (holds ? QByteArray(bom + iconv(changed, real)) : QByteArray());
        };
        row("Shift_JIS", Page, "CP932", u"新社名①"_s, true);
        row("EUC-JP", withLf(Page), "EUC-JP", u"新社名"_s, true);
        row("UTF-8 with BOM", Page, "BOM", u"𠮷野家"_s, true);
        row("ISO-2022-JP", noKana, "ISO-2022-JP", u"新社名"_s, true);
        row("𠮷 into Shift_JIS", Page, "CP932", u"𠮷野家"_s, false);
        row("𠮷 into EUC-JP", withLf(Page), "EUC-JP", u"𠮷野家"_s, false);
        row("𠮷 into ISO-2022-JP", noKana, "ISO-2022-JP", u"𠮷野家"_s, false);
        row("é into Shift_JIS", Page, "CP932", u"café"_s, false);
        row("user-defined character into EUC-JP", withLf(Page), "EUC-JP", u"\uE000"_s, false);
        QTest::newRow("Japanese into an undeclared ASCII page")
            << QByteArray("<p>Tavlen</p>\n") << u"Tavlen"_s << u"たぶれん"_s << QByteArray();
    }
    void encode()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QByteArray, expected);
        auto page = site::decodePage(original, true);
        QVERIFY2(std::holds_alternative<site::DecodedPage>(page), reasonOf(page).constData());
        site::DecodedPage decoded = std::get<site::DecodedPage>(page);
        decoded.text.replace(from, to);
        auto bytes = site::encodePage(decoded.text, decoded.form);
        if (expected.isEmpty()) {
            QVERIFY(std::holds_alternative<PageSkip>(bytes));
            QVERIFY(std::get<PageSkip>(bytes).reason.contains(u"書けません"_s) ||
                    std::get<PageSkip>(bytes).reason.contains(u"書けない文字"_s));
        } else {
            QVERIFY2(std::holds_alternative<QByteArray>(bytes), reasonOf(bytes).constData());
            QCOMPARE(std::get<QByteArray>(bytes), expected);
        }
    }
};

TAVLEN_TEST_MAIN(TestSitePages)
#include "test_sitepages.moc"
