#include "platform/bytecount.h"
#include "platform/richtextbox.h"
#include "randomtext.h"
#include "reference/richtextrtf.h"
#include "testenv.h"
#include "typing.h"

#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <cstdlib>
#include <malloc.h>

using platform::ColorRun;

namespace
{

// Whether a block bigger than any the test frees gets a mapping of its own, which goes back to
// the system when freed. Only its first page is touched.
bool bigBlockIsMappedOfItsOwn()
{
    const std::size_t before = mallinfo2().hblks;
    char *volatile block = static_cast<char *>(std::malloc(std::size_t(512) << 20));
    block[0] = 1;
    const bool mapped = mallinfo2().hblks > before;
    std::free(block);
    return mapped;
}

} // namespace

using platform::RichTextBox;
using testsupport::typeText;

namespace QTest
{
template <> char *toString(const std::vector<ColorRun> &runs)
{
    QString text;
    for (const ColorRun &r : runs)
        text += QStringLiteral("(%1,%2,%3) ").arg(r.start).arg(r.length).arg(r.color, 0, 16);
    return qstrdup(text.toUtf8().constData());
}
} // namespace QTest

namespace
{
const QRgb Red = qRgb(255, 0, 0);
const QRgb Blue = qRgb(0, 0, 255);

} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textUsesCrLfAndKeepsSpecialCharacters()
    {
        RichTextBox box;
        const QString text = QStringLiteral("a\r\nb\u00A0c\u2028d\r\n\r\n日本語😀");
        box.setText(text);
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.rawText(), QString(text).replace(QStringLiteral("\r\n"), QChar(0x2029)));
    }

    void bigTextFilledInSlicesEndsAsTheDocumentWouldHoldIt()
    {
        // Every line break the document knows, in a text big enough to be filled in slices; the
        // shadow is built without the document and must match it exactly once the fill ends.
        const QString piece = QStringLiteral("a\r\nb\rc\nd\u2029e\u2028f\uFDD0g\uFDD1h\r\r\n\n😀");
        QString text;
        while (text.size() < 400 * 1024)
            text += piece + QString::number(text.size());
        QTextDocument reference;
        reference.setPlainText(text);
        RichTextBox box;
        box.setText(text);
        QVERIFY(box.isFilling());
        QCOMPARE(box.rawText(), reference.toRawText());
        typeText(&box, QStringLiteral("x")); // typed during the fill, at the start
        QTest::keyClick(&box, Qt::Key_Delete);
        typeText(&box, QStringLiteral("yz"));
        QVERIFY(box.isFilling());
        box.setSelStart(int(box.rawText().size())); // past what is filled: finishes the fill
        QVERIFY(!box.isFilling());
        const QString edited = QStringLiteral("xyz") + reference.toRawText().mid(1);
        QCOMPARE(box.document()->toRawText(), edited);
        QCOMPARE(box.rawText(), box.document()->toRawText());
        QCOMPARE(box.SelStart(), int(edited.size()));
        // The typing is one undo step; the fill is none.
        box.document()->undo();
        QCOMPARE(box.rawText(), reference.toRawText());
        QCOMPARE(box.document()->toRawText(), reference.toRawText());
        QVERIFY(!box.document()->isUndoAvailable());
        box.document()->redo();
        QCOMPARE(box.rawText(), edited);
        // A new text replaces a fill still in progress.
        box.setText(text);
        box.setText(QStringLiteral("small"));
        QCoreApplication::processEvents();
        QCOMPARE(box.document()->toRawText(), QStringLiteral("small"));
        QCOMPARE(box.rawText(), QStringLiteral("small"));
    }

    void settingTextFiresChangeEvenWhenEqual()
    {
        RichTextBox box;
        box.setText(QStringLiteral("x"));
        QSignalSpy spy(&box, &RichTextBox::Change);
        box.setText(QStringLiteral("x"));
        QVERIFY(spy.count() >= 1);
    }

    void selectionPropertiesFollowTheCaret()
    {
        RichTextBox box;
        box.setText(QStringLiteral("hello\r\nworld"));
        box.setSelStart(3);
        QCOMPARE(box.SelStart(), 3);
        QCOMPARE(box.SelLength(), 0);
        box.setSelLength(5);
        QCOMPARE(box.SelLength(), 5);
        QCOMPARE(box.SelText(), QStringLiteral("lo\r\nwo"));
        box.setSelText(QStringLiteral("[x]"));
        QCOMPARE(box.Text(), QStringLiteral("hel[x]rld"));
        QCOMPARE(box.SelStart(), 6);
        QCOMPARE(box.SelLength(), 0);
        box.setSelStart(1000); // beyond the end: clamped
        QCOMPARE(box.SelStart(), 9);
    }

    void selChangeFiresOncePerMove()
    {
        RichTextBox box;
        box.setText(QStringLiteral("abcdef"));
        QSignalSpy spy(&box, &RichTextBox::SelChange);
        box.setSelStart(2);
        QCOMPARE(spy.count(), 1);
        box.setSelStart(2);
        QCOMPARE(spy.count(), 1);
        box.setSelLength(2);
        QCOMPARE(spy.count(), 2);
    }

    void findIgnoresCaseAndStopsAtTheEnd()
    {
        RichTextBox box;
        box.setText(QStringLiteral("Alpha beta ALPHA"));
        box.Find(QStringLiteral("alpha"), 1);
        QCOMPARE(box.SelStart(), 11);
        QCOMPARE(box.SelLength(), 5);
        box.Find(QStringLiteral("alpha"), 12); // none after: nothing changes
        QCOMPARE(box.SelStart(), 11);
        QCOMPARE(box.SelLength(), 5);
    }

    void byteCountFollowsEveryEdit()
    {
        RichTextBox box;
        box.show();
        box.setText(QStringLiteral("漢字\r\nab"));
        QCOMPARE(box.byteCount(), qint64(4 + 2 + 2));
        box.setSelStart(2);
        typeText(&box, QStringLiteral("ｶﾅかな"));
        QCOMPARE(box.byteCount(), qint64(8 + 2 + 4));
        box.setSelStart(0);
        box.setSelLength(3);
        box.setSelText(QString());
        QCOMPARE(box.byteCount(), platform::cp932ByteCount(box.rawText()));
        box.document()->undo();
        QCOMPARE(box.rawText(), box.document()->toRawText());
        QCOMPARE(box.byteCount(), platform::cp932ByteCount(box.rawText()));
    }

    void textRtfRoundTripAndColourOnlyChangeIsNotAnEdit()
    {
        RichTextBox box;
        box.setText(QStringLiteral("<p>hi</p>"));
        const QString rtf = reference::textRtf(box);
        QVERIFY(rtf.contains(QLatin1String("{\\colortbl")));
        // Same text, new colours: no Change, no undo step, the colours are there.
        QString coloured = rtf;
        coloured.replace(
            QLatin1String("{\\colortbl"),
            QLatin1String("{\\colortbl\\red255\\green0\\blue0;\\red0\\green0\\blue255;"));
        coloured.replace(QLatin1String("<p>"), QLatin1String("\\cf1 <p>\\cf2 "));
        const int undoSteps = box.document()->availableUndoSteps();
        QSignalSpy spy(&box, &RichTextBox::Change);
        reference::setTextRtf(box, coloured);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(box.document()->availableUndoSteps(), undoSteps);
        QCOMPARE(box.Text(), QStringLiteral("<p>hi</p>"));
        bool sawBlue = false;
        for (const ColorRun &r : box.colorRuns())
            sawBlue = sawBlue || (r.start == 0 && r.length == 3 && r.color == qRgb(0, 0, 255));
        QVERIFY(sawBlue);
        // New text through RTF is an edit.
        reference::setTextRtf(box, QStringLiteral("{\\rtf1 other}"));
        QVERIFY(spy.count() >= 1);
        QCOMPARE(box.Text(), QStringLiteral("other"));
    }

    void coloursShiftWithEditsAndTypingContinuesARun()
    {
        RichTextBox box;
        box.show();
        reference::setTextRtf(box, QStringLiteral("{\\rtf1{\\colortbl\\red255\\green0\\blue0;"
                                                  "\\red0\\green0\\blue255;}\\cf0 ab\\cf1 cd}"));
        QCOMPARE(box.Text(), QStringLiteral("abcd"));
        // Typing at the end of the red run makes it longer and moves the blue one.
        box.setSelStart(2);
        typeText(&box, QStringLiteral("XY"));
        QCOMPARE(box.Text(), QStringLiteral("abXYcd"));
        for (auto r : box.colorRuns())
            qDebug() << r.start << r.length << Qt::hex << r.color;
        std::vector<ColorRun> expected{{0, 4, Red}, {4, 2, Blue}};
        QCOMPARE(box.colorRuns(), expected);
        // Deleting across the boundary keeps what is outside the deleted range.
        box.setSelStart(3);
        box.setSelLength(2);
        box.setSelText(QString());
        QCOMPARE(box.Text(), QStringLiteral("abXd"));
        expected = {{0, 3, Red}, {3, 1, Blue}};
        QCOMPARE(box.colorRuns(), expected);
        // Replacing text at the start of a run: the new text goes to the run before it.
        box.setSelStart(0);
        box.setSelLength(1);
        box.setSelText(QStringLiteral("ZZ"));
        QCOMPARE(box.Text(), QStringLiteral("ZZbXd"));
        expected = {{0, 4, Red}, {4, 1, Blue}};
        QCOMPARE(box.colorRuns(), expected);
    }

    // An undo puts back text with colours of its own (the window colours it again on UndoRedo):
    // it takes none of its neighbours', where an edit would.
    void undoAndRedoLeaveThePutBackTextUncoloured()
    {
        RichTextBox box;
        box.show();
        box.setText(QStringLiteral("xx abc yy"));
        QSignalSpy undoRedo(&box, &RichTextBox::UndoRedo);
        box.setSelStart(3);
        box.setSelLength(3);
        QTextCursor cursor = box.textCursor(); // one edit block, as a tag set is inserted
        cursor.beginEditBlock();
        cursor.insertText(QStringLiteral("<p>abc</p>"));
        cursor.endEditBlock();
        box.setColorRuns({{0, 2, Blue}, {3, 3, Red}, {9, 4, Red}});
        QCOMPARE(undoRedo.count(), 0);
        box.undo();
        QCOMPARE(box.Text(), QStringLiteral("xx abc yy"));
        std::vector<ColorRun> expected{{0, 2, Blue}};
        QCOMPARE(box.colorRuns(), expected);
        QCOMPARE(undoRedo.count(), 1);
        box.redo();
        QCOMPARE(box.Text(), QStringLiteral("xx <p>abc</p> yy"));
        QCOMPARE(box.colorRuns(), expected);
        QCOMPARE(undoRedo.count(), 2);
        // Typing, also right after an undo, is an edit.
        box.undo();
        box.setSelStart(9);
        typeText(&box, QStringLiteral("z"));
        box.setSelStart(0);
        typeText(&box, QStringLiteral("w"));
        QCOMPARE(box.Text(), QStringLiteral("wxx abc yyz"));
        QCOMPARE(undoRedo.count(), 3);
        // Text put back inside a run splits it.
        box.setText(QStringLiteral("abcd"));
        box.setColorRuns({{0, 4, Red}});
        box.setSelStart(1);
        box.setSelLength(2);
        box.setSelText(QString());
        expected = {{0, 2, Red}};
        QCOMPARE(box.colorRuns(), expected);
        box.undo();
        QCOMPARE(box.Text(), QStringLiteral("abcd"));
        expected = {{0, 1, Red}, {3, 1, Red}};
        QCOMPARE(box.colorRuns(), expected);
    }

    void stretchesGiveWhatEachReplacementOnItsOwnGives()
    {
        // Against replacing each stretch on its own through the selection, the last first: same
        // text, byte count and colours; the raw text is the document's; one Change, one undo. A
        // stretch reaching past the end is cut to the text, as the selection is.
        static const QStringList pieces = {"a", "b", "<td>", "日本", "\r\n", "x", "ｶﾅ"};
        static const QStringList texts = {"",   "z",  "\r\n",   "\n",          "日",
                                          "ab", "\r", "b\r\na", "<td class=x>"};
        QRandomGenerator rng(1717);
        for (int round = 0; round < 400; ++round) {
            const QString text = testsupport::randomText(rng, pieces, 14);
            RichTextBox one;
            RichTextBox each;
            one.setText(text);
            each.setText(text);
            const QString old = one.Text();
            const qsizetype length = one.rawText().size();
            std::vector<ColorRun> runs;
            for (qsizetype at = rng.bounded(3); at < length; at += rng.bounded(3)) {
                const qsizetype run = std::min<qsizetype>(1 + rng.bounded(4), length - at);
                runs.push_back({qint32(at), qint32(run), rng.bounded(2) ? Red : Blue});
                at += run;
            }
            one.setColorRuns(runs);
            each.setColorRuns(runs);
            std::vector<RichTextBox::Stretch> stretches;
            for (int at = int(rng.bounded(4)); at <= length; at += int(rng.bounded(4))) {
                const int to =
                    std::min(at + int(rng.bounded(4)), int(length) + 1); // may pass the end
                stretches.push_back({at, to, texts.at(rng.bounded(texts.size()))});
                at = to;
            }
            one.document()->clearUndoRedoStacks();
            QSignalSpy changes(&one, &RichTextBox::Change);
            one.replaceStretches(stretches);
            for (auto s = stretches.rbegin(); s != stretches.rend(); ++s) {
                each.setSelStart(s->from);
                each.setSelLength(s->to - s->from);
                each.setSelText(s->text);
            }
            const QString what = QStringLiteral("round %1: %2").arg(round).arg(old);
            QVERIFY2(one.Text() == each.Text(), qPrintable(what));
            QVERIFY2(one.rawText() == one.document()->toRawText(), qPrintable(what));
            QVERIFY2(one.byteCount() == each.byteCount(), qPrintable(what));
            QVERIFY2(one.colorRuns() == each.colorRuns(), qPrintable(what));
            QCOMPARE(changes.count(), one.Text() == old ? 0 : 1);
            const bool edits =
                std::any_of(stretches.begin(), stretches.end(), [length](const auto &s) {
                    return s.from != std::min<qsizetype>(s.to, length) || !s.text.isEmpty();
                });
            QCOMPARE(one.document()->isUndoAvailable(), edits);
            if (!edits)
                continue;
            one.undo();
            QVERIFY2(one.Text() == old, qPrintable(what));
            QVERIFY2(one.rawText() == one.document()->toRawText(), qPrintable(what));
            QVERIFY(!one.document()->isUndoAvailable());
        }
    }

    void visibleBlocksArePaintedInTheirColours()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        reference::setTextRtf(
            box,
            QStringLiteral(
                "{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;}ab\\cf1 cd}"));
        box.repaint();
        const QList<QTextLayout::FormatRange> formats =
            box.document()->firstBlock().layout()->formats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 2);
        QCOMPARE(formats[0].length, 2);
        QCOMPARE(formats[0].format.foreground().color(), QColor(Blue));
        QCOMPARE(box.document()->availableUndoSteps(), 0);
    }

    void editedLinesAreColouredAtOnceButVeryLongLinesNot()
    {
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString header =
            QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;}");
        reference::setTextRtf(box, header + QStringLiteral("ab\\cf1 cd}"));
        box.repaint();
        // Typing inside the blue run: the layout has the longer run before any paint.
        box.setSelStart(3);
        typeText(&box, QStringLiteral("x"));
        QList<QTextLayout::FormatRange> formats = box.document()->firstBlock().layout()->formats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 2);
        QCOMPARE(formats[0].length, 3);
        // A minified page on one line keeps its colour runs but is painted without them.
        reference::setTextRtf(box, header + QStringLiteral("\\cf1 ") +
                                       QString(30000, QLatin1Char('a')) + QLatin1Char('}'));
        box.repaint();
        QVERIFY(!box.colorRuns().empty());
        for (const QTextLayout::FormatRange &range :
             box.document()->firstBlock().layout()->formats())
            QVERIFY(!range.format.hasProperty(QTextFormat::ForegroundBrush));
        // What the long line is laid out with never reaches past its end as it gets shorter.
        box.setSelStart(100);
        box.setSelLength(5);
        typeText(&box, QStringLiteral("x"));
        for (const QTextLayout::FormatRange &range :
             box.document()->firstBlock().layout()->formats())
            QVERIFY(range.start + range.length <= 29996);
    }

    // A line of millions of wide characters, wider than the coordinates of one row reach: the
    // caret at its end is placed on the screen, not at a position that wrapped around, and the
    // text stays as it was.
    void aLineOfMillionsOfCharactersIsPlacedOnTheScreen()
    {
        RichTextBox box;
        box.resize(400, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString line(3'000'000, QChar(0x3042));
        box.setText(line);
        box.finishFill();
        box.setSelStart(int(line.size()));
        box.repaint();
        const QRect caret = box.cursorRect();
        QVERIFY(box.viewport()->rect().intersects(caret));
        QCOMPARE(box.Text(), line);
        typeText(&box, QStringLiteral("x"));
        QCOMPARE(box.rawText().size(), line.size() + 1);
        QVERIFY(box.rawText().endsWith(QLatin1Char('x')));
        // The same line pasted into a page of short lines.
        box.setText(QStringLiteral("<p>\r\n"));
        box.setSelStart(3);
        box.setSelText(line);
        QCoreApplication::processEvents();
        box.repaint();
        QVERIFY(box.viewport()->rect().intersects(box.cursorRect()));
        QCOMPARE(box.Text(), QStringLiteral("<p>") + line + QStringLiteral("\r\n"));
        // While such a line is there, freed memory is kept for its next layout; a page without
        // one gives big buffers back to the system again (a 100 MB page would otherwise hold
        // hundreds of megabytes more).
        QVERIFY(!bigBlockIsMappedOfItsOwn());
        box.setText(QStringLiteral("<p>\r\n"));
        QVERIFY(bigBlockIsMappedOfItsOwn());
    }

    void dropIsReportedNotInserted()
    {
        struct DropTarget : RichTextBox {
            using RichTextBox::dropEvent;
        } box;
        box.setText(QStringLiteral("abc"));
        QSignalSpy spy(&box, &RichTextBox::OLEDragDrop);
        QMimeData data;
        data.setText(QStringLiteral("dropped"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        box.dropEvent(&drop);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(box.Text(), QStringLiteral("abc"));
    }

    void loadAndSaveUseShiftJis()
    {
        const QString path = testsupport::home().path() + QStringLiteral("/sjis.html");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\x93\xfa\x96\x7b\r\n<p>");
        out.close();
        RichTextBox box;
        QVERIFY(reference::loadFile(box, path));
        QCOMPARE(box.Text(), QStringLiteral("日本\r\n<p>"));
        QVERIFY(reference::saveFile(box, path));
        QFile in(path);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), QByteArray("\x93\xfa\x96\x7b\r\n<p>"));
        QString reason;
        QVERIFY(!reference::loadFile(box, path + QStringLiteral(".missing"), &reason));
        QVERIFY(!reason.isEmpty());
    }
};

TAVLEN_TEST_MAIN(TestRichTextBox)
#include "test_richtextbox.moc"
