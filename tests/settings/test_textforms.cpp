#include "testenv.h"

#include "settings/textforms.h"

#include <cmath>
#include <limits>

using namespace settings;
using namespace Qt::StringLiterals;

class TestTextForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseBoolean_data();
    void parseBoolean();
    void formatFontSize_data();
    void formatFontSize();
    void parseFontSize_data();
    void parseFontSize();
    void formatSingle_data();
    void formatSingle();
    void singleRoundTrip_data();
    void singleRoundTrip();
    void parseSingleRefusals_data();
    void parseSingleRefusals();
    void nonFiniteSinglesDoNotReadBack();
    void parseIntegers_data();
    void parseIntegers();
};

void TestTextForms::parseBoolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("value");
    QTest::newRow("True") << u"True"_s << true << true;
    QTest::newRow("False") << u"False"_s << true << false;
    QTest::newRow("upper") << u"TRUE"_s << true << true;
    QTest::newRow("lower") << u"false"_s << true << false;
    QTest::newRow("spaces") << u"  True "_s << true << true;
    QTest::newRow("zero") << u"0"_s << true << false;
    QTest::newRow("minus one") << u"-1"_s << true << true;
    QTest::newRow("fraction") << u"0.5"_s << true << true;
    QTest::newRow("zero fraction") << u"0.0"_s << true << false;
    QTest::newRow("empty") << QString() << false << false;
    QTest::newRow("yes") << u"yes"_s << false << false;
    QTest::newRow("prefix") << u"Tru"_s << false << false;
    QTest::newRow("suffix") << u"TrueX"_s << false << false;
    QTest::newRow("number and word") << u"1 True"_s << false << false;
    QTest::newRow("full-width digit") << u"\uFF11"_s << false << false;
    QTest::newRow("nan") << u"nan"_s << false << false;
}

void TestTextForms::parseBoolean()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(bool, value);
    const std::optional<bool> result = settings::parseBoolean(text);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void TestTextForms::formatFontSize_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 11.0 << u"11"_s;
    QTest::newRow("half") << 10.5 << u"10.5"_s;
    QTest::newRow("four decimals") << 9.1234 << u"9.1234"_s;
    QTest::newRow("rounded to four") << 9.12346 << u"9.1235"_s;
    QTest::newRow("rounds up to whole") << 11.99999 << u"12"_s;
    QTest::newRow("hundreds") << 100.0 << u"100"_s;
    QTest::newRow("small") << 0.0001 << u"0.0001"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
}

void TestTextForms::formatFontSize()
{
    QFETCH(double, size);
    QFETCH(QString, text);
    QCOMPARE(settings::formatFontSize(size), text);
}

void TestTextForms::parseFontSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("size");
    QTest::newRow("whole") << u"11"_s << true << 11.0;
    QTest::newRow("half") << u"10.5"_s << true << 10.5;
    QTest::newRow("five decimals rounded") << u"9.12346"_s << true << 9.1235;
    QTest::newRow("plus and spaces") << u" +12 "_s << true << 12.0;
    QTest::newRow("exponent") << u"1.2e1"_s << true << 12.0;
    QTest::newRow("zero") << u"0"_s << false << 0.0;
    QTest::newRow("rounds to zero") << u"0.00004"_s << false << 0.0;
    QTest::newRow("negative") << u"-10"_s << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("word") << u"big"_s << false << 0.0;
    QTest::newRow("unit") << u"11pt"_s << false << 0.0;
    QTest::newRow("comma decimal") << u"10,5"_s << false << 0.0;
    QTest::newRow("infinite") << u"inf"_s << false << 0.0;
    QTest::newRow("overflow") << u"1e400"_s << false << 0.0;
}

void TestTextForms::parseFontSize()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, size);
    const std::optional<double> result = settings::parseFontSize(text);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, size);
}

void TestTextForms::formatSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1200.0f << u"1200"_s;
    QTest::newRow("half") << 1234.5f << u"1234.5"_s;
    QTest::newRow("minus one") << -1.0f << u"-1"_s;
    QTest::newRow("zero") << 0.0f << u"0"_s;
    QTest::newRow("negative zero") << -0.0f << u"0"_s;
    QTest::newRow("tenth") << 0.1f << u"0.1"_s;
    QTest::newRow("third") << 1.0f / 3.0f << u"0.33333334"_s;
    QTest::newRow("large") << 16777216.0f << u"16777216"_s;
    QTest::newRow("twips") << 9435.0f << u"9435"_s;
}

void TestTextForms::formatSingle()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(settings::formatSingle(value), text);
}

void TestTextForms::singleRoundTrip_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("tenth") << 0.1f;
    QTest::newRow("third") << 1.0f / 3.0f;
    QTest::newRow("max") << std::numeric_limits<float>::max();
    QTest::newRow("lowest") << std::numeric_limits<float>::lowest();
    QTest::newRow("denormal") << std::numeric_limits<float>::denorm_min();
    QTest::newRow("odd twips") << 14385.123f;
}

void TestTextForms::singleRoundTrip()
{
    QFETCH(float, value);
    const QString text = settings::formatSingle(value);
    QVERIFY2(!text.contains(QLatin1Char('e')), qPrintable(text));
    const std::optional<float> back = parseSingle(text);
    QVERIFY(back.has_value());
    QCOMPARE(*back, value);
}

void TestTextForms::parseSingleRefusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("word") << u"left"_s;
    QTest::newRow("trailing junk") << u"12px"_s;
    QTest::newRow("two signs") << u"+-1"_s;
    QTest::newRow("overflow") << u"1e39"_s;
    QTest::newRow("infinity") << u"inf"_s;
    QTest::newRow("nan") << u"nan"_s;
    QTest::newRow("hex") << u"0x10"_s;
    QTest::newRow("full-width") << u"\uFF11\uFF12"_s;
}

void TestTextForms::parseSingleRefusals()
{
    QFETCH(QString, text);
    QVERIFY(!parseSingle(text).has_value());
}

void TestTextForms::nonFiniteSinglesDoNotReadBack()
{
    const QString inf = settings::formatSingle(std::numeric_limits<float>::infinity());
    const QString nan = settings::formatSingle(std::numeric_limits<float>::quiet_NaN());
    QVERIFY(!inf.isEmpty() && !nan.isEmpty());
    QVERIFY(!parseSingle(inf).has_value());
    QVERIFY(!parseSingle(nan).has_value());
}

void TestTextForms::parseIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid32");
    QTest::addColumn<qint32>("value32");
    QTest::addColumn<bool>("valid16");
    QTest::newRow("zero") << u"0"_s << true << 0 << true;
    QTest::newRow("white") << u"16777215"_s << true << 16777215 << false;
    QTest::newRow("negative") << u"-2147483643"_s << true << -2147483643 << false;
    QTest::newRow("int32 max") << u"2147483647"_s << true << 2147483647 << false;
    QTest::newRow("int32 min") << u"-2147483648"_s << true << qint32(-2147483647 - 1) << false;
    QTest::newRow("above int32") << u"2147483648"_s << false << 0 << false;
    QTest::newRow("unsigned form") << u"4294967295"_s << false << 0 << false;
    QTest::newRow("int16 max") << u"32767"_s << true << 32767 << true;
    QTest::newRow("above int16") << u"32768"_s << true << 32768 << false;
    QTest::newRow("int16 min") << u"-32768"_s << true << -32768 << true;
    QTest::newRow("plus and spaces") << u" +1 "_s << true << 1 << true;
    QTest::newRow("empty") << QString() << false << 0 << false;
    QTest::newRow("word") << u"red"_s << false << 0 << false;
    QTest::newRow("decimal point") << u"1.0"_s << false << 0 << false;
    QTest::newRow("exponent") << u"1e3"_s << false << 0 << false;
    QTest::newRow("group separator") << u"1,000"_s << false << 0 << false;
    QTest::newRow("hex") << u"&HFFFFFF"_s << false << 0 << false;
    QTest::newRow("two signs") << u"+-1"_s << false << 0 << false;
    QTest::newRow("inner space") << u"1 2"_s << false << 0 << false;
}

void TestTextForms::parseIntegers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid32);
    QFETCH(qint32, value32);
    QFETCH(bool, valid16);
    const std::optional<qint32> result32 = parseInt32(text);
    QCOMPARE(result32.has_value(), valid32);
    if (valid32) {
        QCOMPARE(*result32, value32);
        QCOMPARE(parseInt32(formatInt32(value32)), result32);
    }
    const std::optional<qint16> result16 = parseInt16(text);
    QCOMPARE(result16.has_value(), valid16);
    if (valid16)
        QCOMPARE(qint32(*result16), value32);
}

TAVLEN_TEST_MAIN(TestTextForms)
#include "test_textforms.moc"
