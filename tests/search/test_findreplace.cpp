#include "platform/richtextbox.h"
#include "randomtext.h"
#include "reference/wholetextreplace.h"
#include "search/findreplace.h"
#include "testenv.h"

#include <QRandomGenerator>

class TestFindReplace : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void searchWordLosesTabsAndLineBreaks_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("clipboard line") << "abc\r\n"
                                        << "abc";
        QTest::newRow("inside") << "a\tb\rc\nd"
                                << "abcd";
        QTest::newRow("only breaks") << "\r\n\t"
                                     << "";
        QTest::newRow("spaces kept") << " 日本 "
                                     << " 日本 ";
    }
    void searchWordLosesTabsAndLineBreaks()
    {
        QFETCH(QString, word);
        QFETCH(QString, cleaned);
        QCOMPARE(search::cleanSearchWord(word), cleaned);
    }

    void literalReplace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::newRow("case-sensitive") << "aAa"
                                        << "a"
                                        << "b"
                                        << "bAb";
        QTest::newRow("non-overlapping") << "aaa"
                                         << "aa"
                                         << "x"
                                         << "xa";
        QTest::newRow("replacement holds word") << "aa"
                                                << "a"
                                                << "aa"
                                                << "aaaa";
        QTest::newRow("empty word") << "abc"
                                    << ""
                                    << "x"
                                    << "abc";
        QTest::newRow("delete") << "<b>x</b>"
                                << "<b>"
                                << ""
                                << "x</b>";
        QTest::newRow("japanese") << "日本語と日本"
                                  << "日本"
                                  << "にほん"
                                  << "にほん語とにほん";
        QTest::newRow("across line break") << "a\r\nb"
                                           << "a\r\nb"
                                           << "c"
                                           << "c";
        QTest::newRow("outside Shift_JIS") << "𠮷野家😀と𠮷"
                                           << "𠮷"
                                           << "吉"
                                           << "吉野家😀と吉";
        QTest::newRow("regex specials literal") << "a.b*c"
                                                << ".b*"
                                                << "$1"
                                                << "a$1c";
    }
    void literalReplace()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(reference::replaceLiteral(text, word, replacement), result);
    }

    void regExpReplace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("global");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("result");
        QTest::newRow("global") << "aa b aaa"
                                << "a+"
                                << "x" << true << false << "x b x";
        QTest::newRow("first only") << "aa b aaa"
                                    << "a+"
                                    << "x" << false << false << "x b aaa";
        QTest::newRow("case ignored") << "ABC abc"
                                      << "abc"
                                      << "x" << true << true << "x x";
        QTest::newRow("case kept") << "ABC abc"
                                   << "abc"
                                   << "x" << true << false << "ABC x";
        QTest::newRow("groups") << "<a href=\"p/q.html\">"
                                << "href=\"([^\"]*)\\.html"
                                << "href=\"$1.htm" << true << false << "<a href=\"p/q.htm\">";
        QTest::newRow("whole text anchors") << "a\r\nb"
                                            << "^b"
                                            << "x" << true << false << "a\r\nb";
        QTest::newRow("line break in pattern") << "a\r\nb"
                                               << "\\r\\n"
                                               << " " << true << false << "a b";
        QTest::newRow("outside Shift_JIS in a group")
            << "𠮷<b>😀㈱</b>"
            << "<b>(.*?)</b>"
            << "<strong>$1</strong>" << true << false << "𠮷<strong>😀㈱</strong>";
        QTest::newRow("japanese class") << "日本語"
                                        << "[本語]"
                                        << "_" << true << false << "日__";
    }
    void regExpReplace()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(bool, global);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, result);
        const auto replaced =
            reference::replaceRegExp(text, pattern, replacement, {global, ignoreCase});
        QVERIFY(std::holds_alternative<QString>(replaced));
        QCOMPARE(std::get<QString>(replaced), result);
    }

    void rejectedPatternGivesTheEnginesReason_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("open group") << "(";
        QTest::newRow("open class") << "[a";
        QTest::newRow("nothing to repeat") << "*a";
    }
    void rejectedPatternGivesTheEnginesReason()
    {
        QFETCH(QString, pattern);
        const auto replaced =
            reference::replaceRegExp(QStringLiteral("abc"), pattern, QStringLiteral("x"), {});
        QVERIFY(std::holds_alternative<markup::RegExpError>(replaced));
        QVERIFY(!std::get<markup::RegExpError>(replaced).reason.isEmpty());
    }

    void wholeTextReplacementIsOneUndoStep()
    {
        platform::RichTextBox editor;
        editor.setText(QStringLiteral("one\r\ntwo\r\nthree"));
        editor.document()->clearUndoRedoStacks();
        editor.setSelStart(5);
        reference::replaceWholeText(editor, QStringLiteral("1\r\n2"));
        QCOMPARE(editor.Text(), QStringLiteral("1\r\n2"));
        QCOMPARE(editor.SelStart(), 3); // as far as the new text reaches (a break is one)
        editor.undo();
        QCOMPARE(editor.Text(), QStringLiteral("one\r\ntwo\r\nthree"));
        QVERIFY(!editor.document()->isUndoAvailable()); // one undo took it all back
        // The same text again is no edit.
        reference::replaceWholeText(editor, editor.Text());
        QVERIFY(!editor.document()->isUndoAvailable());
    }

    void editsPutBackGiveTheWholeTextResult()
    {
        // Against putting the whole replaced text back: same text, same caret, one undo step,
        // also where a match or a replacement cuts a CR LF in two.
        static const QStringList pieces = {"a", "b", "\r\n", "<td>", "日本", "x", "\r\n\r\n"};
        static const QStringList words = {"a", "b", "\r\n", "\r", "\n", "b\r", "\nb", "<td>", "ab"};
        static const QStringList patterns = {"a|b", "\\r",    "\\n", "$",  "(?=b)",
                                             "b*",  "\\r\\n", "^",   "x?", "[\\s\\S]"};
        static const QStringList replacements = {"",     "z",  "\r",     "\n",    "\r\n",
                                                 "[$&]", "日", "\u2029", "\uFDD0"};
        QRandomGenerator rng(1616);
        for (int round = 0; round < 600; ++round) {
            const QString text = testsupport::randomText(rng, pieces, 12);
            const bool regExp = rng.bounded(2) == 1;
            const QString word = regExp ? patterns.at(rng.bounded(patterns.size()))
                                        : words.at(rng.bounded(words.size()));
            const QString replacement = replacements.at(rng.bounded(replacements.size()));
            platform::RichTextBox expected;
            platform::RichTextBox editor;
            expected.setText(text);
            editor.setText(text);
            const QString old = editor.Text();
            const int caret = int(rng.bounded(old.size() + 1));
            expected.setSelStart(caret);
            editor.setSelStart(caret);
            editor.document()->clearUndoRedoStacks();
            expected.document()->clearUndoRedoStacks();
            std::vector<search::TextEdit> edits;
            if (regExp) {
                auto found = search::regExpEdits(old, word, replacement, {});
                edits = std::get<std::vector<search::TextEdit>>(found);
                reference::replaceWholeText(expected, std::get<QString>(reference::replaceRegExp(
                                                          old, word, replacement, {})));
            } else {
                edits = search::literalEdits(old, word, replacement);
                reference::replaceWholeText(expected,
                                            reference::replaceLiteral(old, word, replacement));
            }
            search::putEditsBack(editor, old, edits);
            const QString what = QStringLiteral("%1 / %2 / %3").arg(old, word, replacement);
            QVERIFY2(editor.Text() == expected.Text(), qPrintable(what));
            QVERIFY2(editor.rawText() == editor.document()->toRawText(), qPrintable(what));
            QVERIFY2(editor.byteCount() == expected.byteCount(), qPrintable(what));
            QVERIFY2(editor.SelStart() == expected.SelStart(), qPrintable(what));
            QCOMPARE(editor.document()->isUndoAvailable(), expected.document()->isUndoAvailable());
            if (!editor.document()->isUndoAvailable())
                continue;
            editor.undo();
            QVERIFY2(editor.Text() == old, qPrintable(what));
            QVERIFY(!editor.document()->isUndoAvailable());
        }
    }

    void findNextSelectsWithoutWrapping()
    {
        platform::RichTextBox editor;
        editor.setText(QStringLiteral("Abc abc"));
        editor.setSelStart(0);
        const QString word = QStringLiteral("abc");
        search::FindNext(editor, word);
        QCOMPARE(editor.SelStart(), 0);
        QCOMPARE(editor.SelLength(), 3);
        search::FindNext(editor, word);
        QCOMPARE(editor.SelStart(), 4);
        QCOMPARE(editor.SelLength(), 3);
        search::FindNext(editor, word);
        QCOMPARE(editor.SelStart(), 4);
        QCOMPARE(editor.SelLength(), 3);
        editor.setSelStart(1);
        search::FindNext(editor, QString());
        QCOMPARE(editor.SelStart(), 1);
        QCOMPARE(editor.SelLength(), 0);
    }
};

TAVLEN_TEST_MAIN(TestFindReplace)
#include "test_findreplace.moc"
