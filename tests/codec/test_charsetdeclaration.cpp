// Finding the charset a page declares where a browser finds it, and the declarations that name
// another encoding than the one a page is written in.
#include "testenv.h"

#include "codec/charsetdeclaration.h"
#include "codec/encodinglabels.h"
#include "document/declarationcheck.h"

using namespace Qt::StringLiterals;

class TestCharsetDeclaration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scan_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("encoding"); // empty: no declaration a browser acts on
        QTest::addColumn<QByteArray>("label");    // the bytes of the label found

        const QByteArray none;
        QTest::newRow("meta charset") << QByteArray("<html><head><meta charset=\"Shift_JIS\">")
                                      << QByteArray("Shift_JIS") << QByteArray("Shift_JIS");
        QTest::newRow("upper case, unquoted") << QByteArray("<META CHARSET=X-SJIS>")
                                              << QByteArray("Shift_JIS") << QByteArray("X-SJIS");
        QTest::newRow("content type")
            << QByteArray(
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-euc-jp\">")
            << QByteArray("EUC-JP") << QByteArray("x-euc-jp");
        QTest::newRow("content before http-equiv")
            << QByteArray("<meta content='text/html;charset=utf8' http-equiv=content-type>")
            << QByteArray("UTF-8") << QByteArray("utf8");
        QTest::newRow("content without http-equiv")
            << QByteArray("<meta content=\"charset=sjis\">") << none << none;
        QTest::newRow("quoted label in content")
            << QByteArray(
                   "<meta http-equiv=content-type content=\"text/html; charset='windows-31j'\">")
            << QByteArray("Shift_JIS") << QByteArray("windows-31j");
        QTest::newRow("charset word without equals first")
            << QByteArray("<meta http-equiv=content-type content=\"charsetx=a; charset = sjis;\">")
            << QByteArray("Shift_JIS") << QByteArray("sjis");
        QTest::newRow("label with spaces") << QByteArray("<meta charset=\"  utf-8 \">")
                                           << QByteArray("UTF-8") << QByteArray("utf-8");
        QTest::newRow("first of a repeated attribute")
            << QByteArray("<meta charset=euc-jp charset=utf-8>") << QByteArray("EUC-JP")
            << QByteArray("euc-jp");
        QTest::newRow("charset attribute wins over content")
            << QByteArray("<meta http-equiv=content-type content=\"text/html; charset=sjis\" "
                          "charset=utf-8>")
            << QByteArray("UTF-8") << QByteArray("utf-8");
        QTest::newRow("slash after meta")
            << QByteArray("<meta/charset=sjis>") << QByteArray("Shift_JIS") << QByteArray("sjis");
        QTest::newRow("not a meta element") << QByteArray("<metacharset=sjis>") << none << none;
        QTest::newRow("in a comment")
            << QByteArray("<!-- <meta charset=\"euc-jp\"> --><meta charset=utf-8>")
            << QByteArray("UTF-8") << QByteArray("utf-8");
        QTest::newRow("shortest comment") << QByteArray("<!--><meta charset=sjis>")
                                          << QByteArray("Shift_JIS") << QByteArray("sjis");
        QTest::newRow("unclosed comment") << QByteArray("<!-- <meta charset=sjis>") << none << none;
        QTest::newRow("in another tag's attribute")
            << QByteArray("<div title='<meta charset=\"sjis\">'>") << none << none;
        QTest::newRow("XML declaration is not looked at")
            << QByteArray("<?xml version=\"1.0\" encoding=\"euc-jp\"?><p>") << none << none;
        QTest::newRow("unknown label, then a known one")
            << QByteArray("<meta charset=\"nonsense\"><meta charset=\"EUC-JP\">")
            << QByteArray("EUC-JP") << QByteArray("EUC-JP");
        QTest::newRow("UTF-16 is taken as UTF-8")
            << QByteArray("<meta charset=utf-16>") << QByteArray("UTF-8") << QByteArray("utf-16");
        QTest::newRow("x-user-defined is windows-1252")
            << QByteArray("<meta charset=x-user-defined>") << QByteArray("windows-1252")
            << QByteArray("x-user-defined");
        QTest::newRow("us-ascii is windows-1252")
            << QByteArray("<meta charset=us-ascii>") << QByteArray("windows-1252")
            << QByteArray("us-ascii");
        QTest::newRow("within 1,024 bytes") << QByteArray(1000, ' ') + "<meta charset=\"sjis\">"
                                            << QByteArray("Shift_JIS") << QByteArray("sjis");
        QTest::newRow("past 1,024 bytes")
            << QByteArray(1010, ' ') + "<meta charset=\"sjis\">" << none << none;
        QTest::newRow("truncated") << QByteArray("<meta charset=\"sjis") << none << none;
        QTest::newRow("empty") << QByteArray() << none << none;
    }
    void scan()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, label);
        const auto found = codec::findCharsetDeclaration(page);
        QCOMPARE(found.has_value(), !encoding.isEmpty());
        if (!found)
            return;
        QCOMPARE(found->encoding.toByteArray(), encoding);
        QCOMPARE(page.sliced(found->labelStart, found->labelEnd - found->labelStart), label);
    }

    void labels_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("encoding");
        for (const char *l : {"Shift_JIS", "shift-jis", "sjis", "x-sjis", "windows-31j", "ms932",
                              "ms_kanji", "csshiftjis"})
            QTest::newRow(l) << QByteArray(l) << QByteArray("Shift_JIS");
        for (const char *l : {"EUC-JP", "x-euc-jp", "cseucpkdfmtjapanese"})
            QTest::newRow(l) << QByteArray(l) << QByteArray("EUC-JP");
        for (const char *l : {"UTF-8", "utf8", "unicode-1-1-utf-8", "x-unicode20utf8"})
            QTest::newRow(l) << QByteArray(l) << QByteArray("UTF-8");
        QTest::newRow("iso-2022-jp") << QByteArray("ISO-2022-JP") << QByteArray("ISO-2022-JP");
        QTest::newRow("latin1") << QByteArray("Latin1") << QByteArray("windows-1252");
        QTest::newRow("euc-jis-2004 is unknown") << QByteArray("euc-jis-2004") << QByteArray();
        QTest::newRow("utf-8 with a NUL") << QByteArray("utf-8\0", 6) << QByteArray();
        QTest::newRow("non-breaking space is not trimmed")
            << QByteArray("\xC2\xA0utf-8") << QByteArray();
    }
    void labels()
    {
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, encoding);
        QCOMPARE(codec::encodingOfLabel(label).toByteArray(), encoding);
    }

    // The text range of a declaration that differs from the encoding written, counted in the
    // text although the browser's limit counts written bytes.
    void mismatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<QString>("label"); // empty: no question
        QTest::addColumn<qsizetype>("start");

        const QString meta = u"<meta charset=\"EUC-JP\">"_s;
        QTest::newRow("differs") << meta << 2 << u"EUC-JP"_s << qsizetype(15);
        QTest::newRow("same") << meta << 1 << QString() << qsizetype(0);
        QTest::newRow("no declaration") << u"<p>日本</p>"_s << 2 << QString() << qsizetype(0);
        QTest::newRow("after kanji and line breaks, EUC-JP")
            << u"日本\r\n語\r\n"_s + meta << 0 << u"EUC-JP"_s << qsizetype(22);
        QTest::newRow("after a pair, UTF-8")
            << u"😀\r\n"_s + meta << 2 << u"EUC-JP"_s << qsizetype(19);
        QTest::newRow("within 1,024 bytes of Shift_JIS")
            << QString(400, u'日') + meta << 0 << u"EUC-JP"_s << qsizetype(415);
        QTest::newRow("past 1,024 bytes of UTF-8")
            << QString(400, u'日') + meta << 2 << QString() << qsizetype(0);
        QTest::newRow("reference stand-ins count as written")
            << QString(170, QChar(0xE9)) + meta << 0 << QString() << qsizetype(0);
    }
    void mismatch()
    {
        QFETCH(QString, text);
        QFETCH(int, writeCode);
        QFETCH(QString, label);
        QFETCH(qsizetype, start);
        const auto found =
            document::findDeclarationMismatch(text, codec::textCodeOf(writeCode), {});
        QCOMPARE(found.has_value(), !label.isEmpty());
        if (!found)
            return;
        QCOMPARE(found->label, label);
        QCOMPARE(found->start, start);
        QCOMPARE(text.sliced(found->start, found->end - found->start), label);
    }
};

TAVLEN_TEST_MAIN(TestCharsetDeclaration)
#include "test_charsetdeclaration.moc"
