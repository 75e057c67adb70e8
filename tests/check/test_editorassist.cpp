#include "check/editorassist.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "typing.h"

#include <QTextBlock>
#include <QtTest>

using platform::RichTextBox;
using testsupport::typeText;

class TestEditorAssist : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void endTagsCompletedAndUndoneOneByOne();
    void completionSwitchedOff();
    void slipFixedAtCaretAndAllAsOneStep();
    void marksOnScreenOnly_data();
    void marksOnScreenOnly();
};

namespace
{

} // namespace

void TestEditorAssist::endTagsCompletedAndUndoneOneByOne()
{
    RichTextBox box;
    QString message;
    check::EditorAssist assist(box, [&](const QString &m) { message = m; });
    box.show();
    QTest::keyClicks(&box, QStringLiteral("<ul><li>"));
    typeText(&box, QStringLiteral("あ"));
    QTest::keyClicks(&box, QStringLiteral("</"));
    QCOMPARE(box.Text(), QStringLiteral("<ul><li>あ</li>"));
    QTest::keyClicks(&box, QStringLiteral("</"));
    QCOMPARE(box.Text(), QStringLiteral("<ul><li>あ</li></ul>"));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("<ul><li>あ</li></"));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("<ul><li>あ</li>"));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("<ul><li>あ</"));
}

void TestEditorAssist::completionSwitchedOff()
{
    RichTextBox box;
    check::EditorAssist assist(box, [](const QString &) {});
    assist.setCompleteEndTags(false);
    box.show();
    QTest::keyClicks(&box, QStringLiteral("<p>a</"));
    QCOMPARE(box.Text(), QStringLiteral("<p>a</"));
}

void TestEditorAssist::slipFixedAtCaretAndAllAsOneStep()
{
    RichTextBox box;
    QString message;
    check::EditorAssist assist(box, [&](const QString &m) { message = m; });
    const QString page = QStringLiteral("<p>あ　い</p>\r\n<img　src＝＂a.png＂ alt=\"\">");
    box.setText(page);
    box.setSelStart(int(page.indexOf(u'＝')));
    QVERIFY(message.contains(QStringLiteral("「＝」")));
    QVERIFY(assist.fixSlipAtCaret());
    QCOMPARE(box.Text(), QStringLiteral("<p>あ　い</p>\r\n<img　src=＂a.png＂ alt=\"\">"));
    QCOMPARE(assist.fixAllSlips(), 3);
    QCOMPARE(box.Text(), QStringLiteral("<p>あ　い</p>\r\n<img src=\"a.png\" alt=\"\">"));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("<p>あ　い</p>\r\n<img　src=＂a.png＂ alt=\"\">"));
    box.setSelStart(1);
    QVERIFY(message.isEmpty());
    QVERIFY(!assist.fixSlipAtCaret());
}

void TestEditorAssist::marksOnScreenOnly_data()
{
    QTest::addColumn<bool>("showSpaces");
    QTest::newRow("boxes shown") << true;
    QTest::newRow("boxes off") << false;
}

void TestEditorAssist::marksOnScreenOnly()
{
    QFETCH(bool, showSpaces);
    RichTextBox box;
    check::EditorAssist assist(box, [](const QString &) {});
    assist.setShowFullWidthSpace(showSpaces);
    QString page = QStringLiteral("<p>あ　い</p><img　src=a>\r\n");
    for (int k = 0; k < 3000; ++k)
        page += QStringLiteral("<b>行　%1</b><i　>\r\n").arg(k);
    box.setText(page);
    box.resize(400, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.viewport()->repaint();
    const auto marks = [](const QTextBlock &block) {
        int boxes = 0, waves = 0;
        for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
            if (r.format.background().style() != Qt::NoBrush)
                ++boxes;
            if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                ++waves;
        }
        return std::pair{boxes, waves};
    };
    QCOMPARE(marks(box.document()->firstBlock()), std::pair(showSpaces ? 2 : 0, 1));
    QCOMPARE(marks(box.document()->findBlockByNumber(1)), std::pair(showSpaces ? 2 : 0, 1));
    // Lines far below the screen carry none: the marks cost nothing for them.
    QCOMPARE(marks(box.document()->findBlockByNumber(2900)), std::pair(0, 0));
}

TAVLEN_TEST_MAIN(TestEditorAssist)
#include "test_editorassist.moc"
