#include "app/mainlayout.h"
#include "app/sizetext.h"
#include "testenv.h"

using app::MainLayout;

class TestMainLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void resizeMovesEditorBrowserAndCoolBarByTheWindowsChange_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("designed") << 9555.f << 7800.f;
        QTest::newRow("larger") << 15000.f << 12000.f;
        QTest::newRow("minimum") << 6000.f << 2400.f;
    }
    void resizeMovesEditorBrowserAndCoolBarByTheWindowsChange()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        MainLayout l;
        l.measure(9555, 7800);
        l.resize(width, height);
        QCOMPARE(l.editor.Width, 9375 + (width - 9555));
        QCOMPARE(l.editor.Height, 5565 + (height - 7800));
        QCOMPARE(l.browser.Width, l.editor.Width);
        QCOMPARE(l.browser.Height, l.editor.Height);
        QCOMPARE(l.coolBar.Width, 9375 + (width - 9555));
        // Nothing else moves.
        QCOMPARE(l.editor.Left, 15.f);
        QCOMPARE(l.editor.Top, 975.f);
        QCOMPARE(l.coolBar.Height, 900.f);
    }

    void resizeIsIdempotent()
    {
        MainLayout l;
        l.measure(9555, 7800);
        l.resize(12000, 9000);
        const MainLayout once = l;
        l.resize(12000, 9000);
        QCOMPARE(l.editor.Height, once.editor.Height);
        QCOMPARE(l.coolBar.Width, once.coolBar.Width);
    }

    void hidingTheCoolBarMovesTheEditorUpAndMakesItTaller()
    {
        MainLayout l;
        l.measure(9555, 7800);
        l.toolbarToggled(false, 900);
        QCOMPARE(l.editor.Top, 75.f);
        QCOMPARE(l.editor.Height, 5565.f + 900);
        QCOMPARE(l.browser.Height, l.editor.Height);
        QCOMPARE(l.browser.Top, 60.f);
        // The base follows, so a later resize keeps the taller editor.
        l.resize(9555, 8800);
        QCOMPARE(l.editor.Height, 5565.f + 900 + 1000);
        l.toolbarToggled(true, 900);
        QCOMPARE(l.editor.Top, 975.f);
        QCOMPARE(l.editor.Height, 5565.f + 1000);
    }

    void hidingTheStatusBarGivesItsHeightToTheEditorAndBack()
    {
        MainLayout l;
        l.measure(9555, 7800);
        l.statusbarToggled(false, 285);
        l.resize(9555, 9000);
        QCOMPARE(l.editor.Height, 5565.f + 285 + 1200);
        l.statusbarToggled(true, 285);
        QCOMPARE(l.editor.Height, 5565.f + 1200);
        QCOMPARE(l.browser.Height, l.editor.Height);
    }

    void sizePanelText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0 Bytes");
        QTest::newRow("six") << qint64(6) << QStringLiteral("6 Bytes");
        QTest::newRow("three digits") << qint64(999) << QStringLiteral("999 Bytes");
        QTest::newRow("thousands") << qint64(1234) << QStringLiteral("1,234 Bytes");
        QTest::newRow("millions") << qint64(12345678) << QStringLiteral("12,345,678 Bytes");
    }
    void sizePanelText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(app::sizePanelText(bytes), text);
    }
};

TAVLEN_TEST_MAIN(TestMainLayout)
#include "test_mainlayout.moc"
