// A big text's short lines share blocks in the editor; to the user and to the rest of the
// program every line must still be a line: text, edits, undo, word keys, clicks, line numbers.
#include "platform/richtextbox.h"
#include "testenv.h"
#include "typing.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using platform::RichTextBox;
using testsupport::typeText;

namespace
{

// Short lines, an empty one, indented words and a line longer than a block holds.
const QString Chunk = QStringLiteral("abc def\r\n  ghi, jkl\r\n\r\nmno\r\n") +
                      QStringLiteral("pq rs\r\n").repeated(20) + QString(2500, QLatin1Char('w')) +
                      QStringLiteral(" x\r\n");

QString chunks(int count)
{
    QString text;
    for (int n = 0; n < count; ++n)
        text += Chunk;
    return text;
}

qsizetype rawChunkLength()
{
    return QString(Chunk).replace(QStringLiteral("\r\n"), QString(QChar(0x2029))).size();
}

int linesBefore(const RichTextBox &box, int position)
{
    return int(QStringView(box.rawText()).first(position).count(QChar(0x2029)));
}

void fill(RichTextBox &box, int count)
{
    box.setText(chunks(count));
    box.finishFill();
    QVERIFY(box.document()->blockCount() * 4 < linesBefore(box, int(box.rawText().size())));
}

} // namespace

class TestPackedLines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void editsUndoAndLineNumbersKeepEveryLine()
    {
        RichTextBox box;
        fill(box, 200);
        const QString original = box.Text();
        QString packedAsLines = box.document()->toRawText();
        packedAsLines.replace(QChar(0x2028), QChar(0x2029));
        QCOMPARE(packedAsLines, box.rawText());
        // The scroll bar counts every line before any is laid out.
        QCOMPARE(box.document()->lineCount(), linesBefore(box, int(box.rawText().size())) + 1);
        // Joining two lines, breaking one and typing, across the middle of the text.
        const int middle = int(rawChunkLength() * 100);
        box.setSelStart(middle + 7); // the end of "abc def"
        QTest::keyClick(&box, Qt::Key_Delete);
        typeText(&box, QStringLiteral("|"));
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QString expected = box.rawText();
        QCOMPARE(QStringView(expected).sliced(middle, 18), u"abc def  ghi, jkl\u2029");
        QCOMPARE(box.SelStart(), middle + 7);
        box.setSelLength(4);
        QCOMPARE(box.SelText(), QStringLiteral("  gh"));
        QCOMPARE(box.byteCount(), qint64(original.size() - 2));
        // Line numbers stay right as the caret moves back and forth and edits come before it.
        for (const int at : {middle + 30, 5, middle + 9000, middle - 4000, 0, middle + 7})
            QCOMPARE(box.lineOf(at), linesBefore(box, at));
        box.setSelStart(middle + 3);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.lineOf(middle + 9000), linesBefore(box, middle + 9000));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.lineOf(middle + 9000), linesBefore(box, middle + 9000));
        QCOMPARE(box.rawText(), expected);
        while (box.document()->isUndoAvailable())
            box.undo();
        QCOMPARE(box.Text(), original);
        while (box.document()->isRedoAvailable())
            box.redo();
        QCOMPARE(box.rawText(), expected);
    }

    void wordKeysStopAtEachLineAsWithoutPacking()
    {
        // The same lines in a small text, which the editor holds a line to a block.
        RichTextBox small;
        small.setText(chunks(3));
        QVERIFY(!small.isFilling());
        RichTextBox big;
        fill(big, 300);
        const int chunk = int(rawChunkLength());
        const int bigBase = chunk * 150;
        const QString bigRaw = big.rawText();
        const QString smallRaw = small.rawText();
        const QList<QKeyCombination> keys = {
            Qt::ControlModifier | Qt::Key_Right, Qt::ControlModifier | Qt::Key_Left,
            Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Right,
            Qt::ControlModifier | Qt::Key_Backspace, Qt::ControlModifier | Qt::Key_Delete};
        QList<int> offsets;
        for (int at = 0; at < 30; ++at)
            offsets << at << 130 + at << chunk - 1 - at;
        for (const QKeyCombination key : keys) {
            for (const int at : offsets) {
                small.setSelStart(chunk + at);
                big.setSelStart(bigBase + at);
                QTest::keyClick(&small, key.key(), key.keyboardModifiers());
                QTest::keyClick(&big, key.key(), key.keyboardModifiers());
                const QString what =
                    QStringLiteral("key %1 at %2").arg(QKeySequence(key).toString()).arg(at);
                QVERIFY2(big.SelStart() - bigBase == small.SelStart() - chunk, qPrintable(what));
                QVERIFY2(big.SelLength() == small.SelLength(), qPrintable(what));
                QVERIFY2(big.rawText().sliced(bigBase - chunk, small.rawText().size()) ==
                             small.rawText(),
                         qPrintable(what));
                if (big.rawText() != bigRaw)
                    big.undo();
                if (small.rawText() != smallRaw)
                    small.undo();
            }
        }
    }

    void tripleClickSelectsOneLine()
    {
        RichTextBox box;
        box.resize(600, 300);
        fill(box, 120);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QPoint second = box.cursorRect(box.document()->find(QStringLiteral("ghi"))).center();
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, second);
        QTest::mousePress(box.viewport(), Qt::LeftButton, {}, second);
        QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(box.SelText(), QStringLiteral("  ghi, jkl\r\n"));
    }

    void aLineSeparatorOfTheUsersOwnStaysOne()
    {
        for (const bool typed : {true, false}) {
            RichTextBox box;
            fill(box, 120);
            const QString original = box.Text();
            const int at = int(rawChunkLength()) * 50 + 3;
            const int breaks = linesBefore(box, at);
            box.setSelStart(at);
            if (typed)
                box.setSelText(QStringLiteral("\u2028"));
            else
                box.replaceStretches({{at, at, QStringLiteral("\u2028")}});
            QCOMPARE(box.Text(), QString(original).insert(at + breaks, QChar(0x2028)));
            QCOMPARE(box.document()->toRawText(), box.rawText());
            box.undo();
            QCOMPARE(box.Text(), original);
        }
    }
};

TAVLEN_TEST_MAIN(TestPackedLines)
#include "test_packedlines.moc"
