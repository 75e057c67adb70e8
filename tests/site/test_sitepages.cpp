// Pages of a site read and written in their own encodings, compared with the bytes iconv makes.
#include "testenv.h"

#include "site/pagecodec.h"
#include "site/pageconvert.h"

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

    // A page converted to another encoding: its declaration rewritten or added, its line breaks
    // kept, what the target cannot hold written as references where the browser reads them, and
    // never a look-alike.
    void convert_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected"); // empty: left alone
        QTest::addColumn<QString>("note");        // the reason (left alone) or the references

        const QString body = u"<body><p>株式会社たぶれん～ｶﾀｶﾅ①</p>\r\n</body></html>\r\n"_s;
        const auto page = [&](const QString &head) {
            return u"<html><head>"_s + head + u"<title>案内</title></head>\r\n"_s + body;
        };
        const QString equiv =
            u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\">"_s;
        QTest::newRow("Shift_JIS http-equiv to UTF-8, CR LF")
            << iconv(page(equiv.arg(u"x-sjis"_s)), "CP932") << u"UTF-8"_s
            << iconv(page(equiv.arg(u"UTF-8"_s)), "UTF-8") << QString();
        QTest::newRow("EUC-JP unquoted meta charset to Shift_JIS, LF")
            << iconv(withLf(page(u"<meta charset=euc-jp>"_s)), "EUC-JP-MS") << u"Shift_JIS"_s
            << iconv(withLf(page(u"<meta charset=Shift_JIS>"_s)), "CP932") << QString();
        QString cr = page(u"<meta charset='utf-8'>"_s);
        cr.replace(u"\r\n"_s, u"\r"_s);
        QString crEuc = cr;
        crEuc.replace(u"'utf-8'"_s, u"'EUC-JP'"_s);
        QTest::newRow("UTF-8 with BOM to EUC-JP, CR: the BOM goes")
            << QByteArray("\xEF\xBB\xBF" + iconv(cr, "UTF-8")) << u"EUC-JP"_s
            << iconv(crEuc, "EUC-JP-MS") << QString();
        QTest::newRow("UTF-8 with BOM, no declaration, stays UTF-8: the BOM stays")
            << QByteArray("\xEF\xBB\xBF" + iconv(page({}), "UTF-8")) << u"UTF-8"_s
            << QByteArray("\xEF\xBB\xBF" + iconv(page(u"<meta charset=\"UTF-8\">"_s), "UTF-8"))
            << QString();
        QTest::newRow("no declaration: one after <head>")
            << iconv(page({}), "UTF-8") << u"Shift_JIS"_s
            << iconv(page(u"<meta charset=\"Shift_JIS\">"_s), "CP932") << QString();
        QTest::newRow("no declaration, no <head>: left alone")
            << iconv(body, "UTF-8") << u"Shift_JIS"_s << QByteArray() << u"宣言"_s;
        QTest::newRow("already UTF-8 with its declaration")
            << iconv(page(u"<meta charset=utf8>"_s), "UTF-8") << u"UTF-8"_s << QByteArray()
            << u"<done>"_s;
        const QString odd = u"<meta charset=\"%1\"><p title=\"〜𠮷\">〜 𠮷 😀 ¥100 −1 ‾</p>\n"_s;
        QTest::newRow("what Shift_JIS cannot hold, as references")
            << iconv(odd.arg(u"UTF-8"_s), "UTF-8") << u"Shift_JIS"_s
            << QByteArray("<meta charset=\"Shift_JIS\"><p title=\"&#x301C;&#x20BB7;\">&#x301C; "
                          "&#x20BB7; &#x1F600; &#xA5;100 &#x2212;1 &#x203E;</p>\n")
            << u"&#x301C; &#x20BB7; &#x301C; &#x20BB7; &#x1F600; &#xA5; &#x2212; &#x203E;"_s;
        QTest::newRow("what EUC-JP cannot hold, as references")
            << iconv(odd.arg(u"UTF-8"_s), "UTF-8") << u"EUC-JP"_s
            << QByteArray("<meta charset=\"EUC-JP\"><p title=\"&#x301C;&#x20BB7;\">&#x301C; "
                          "&#x20BB7; &#x1F600; &#xA5;100 &#x2212;1 &#x203E;</p>\n")
            << u"&#x301C; &#x20BB7; &#x301C; &#x20BB7; &#x1F600; &#xA5; &#x2212; &#x203E;"_s;
        QTest::newRow("〜 in a script: left alone")
            << iconv(u"<meta charset=\"UTF-8\"><script>s = '〜';</script>\n"_s, "UTF-8")
            << u"Shift_JIS"_s << QByteArray() << u"1 行 36 桁の「〜」（U+301C）"_s;
        QTest::newRow("😀 in a comment: left alone")
            << iconv(u"<meta charset=\"UTF-8\"><!-- 😀 -->\n"_s, "UTF-8") << u"EUC-JP"_s
            << QByteArray() << u"U+1F600"_s;
    }
    void convert()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, target);
        QFETCH(QByteArray, expected);
        QFETCH(QString, note);
        QVERIFY(!original.isEmpty());
        const site::PageConversion c =
            site::convertPage(original, *site::conversionTargetOfName(target));
        if (note == u"<done>"_s) {
            QCOMPARE(c.kind, site::PageConversion::Kind::AlreadyDone);
            return;
        }
        if (expected.isEmpty()) {
            QCOMPARE(c.kind, site::PageConversion::Kind::Skip);
            QVERIFY2(c.skipReason.contains(note, Qt::CaseInsensitive), qPrintable(c.skipReason));
            return;
        }
        QVERIFY2(c.kind == site::PageConversion::Kind::Convert, qPrintable(c.skipReason));
        QCOMPARE(c.bytes, expected);
        QStringList references;
        for (const site::UnwritableChar &u : c.unwritable)
            references += u.reference;
        QCOMPARE(references.join(u' '), note);
        QCOMPARE(site::readPageText(c.bytes, c.to), c.expectedText);
    }
};

TAVLEN_TEST_MAIN(TestSitePages)
#include "test_sitepages.moc"
