#include "testenv.h"

#include "settings/desktopentry.h"
#include "settings/fonttext.h"
#include "settings/memoryregistry.h"
#include "settings/mimeappslist.h"
#include "settings/shellregistration.h"

using namespace settings;
using namespace Qt::StringLiterals;

namespace
{

const QString Verb = u"text/html\\shell\\EditWithTavlen"_s;
const QString Edit = u".htm\\OpenWithList\\Tavlen\\shell\\edit"_s;
const QString Command = u"\"/opt/tavlen/tavlen\" %f"_s;

// A registry in which .html is of type text/html, as on a desktop with the shared MIME database.
MemoryRegistry htmlRegistry()
{
    MemoryRegistry r;
    r.setValue(u".html"_s, QString(), u"text/html"_s, nullptr);
    return r;
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readWriteRemove()
    {
        MemoryRegistry r;
        QCOMPARE(RegReadString(r, u"a\\b"_s, QString()), QString());
        QVERIFY(RegWriteString(r, u"a\\b\\c"_s, QString(), u"値"_s));
        QVERIFY(r.contains(u"a"_s) && r.contains(u"A\\B"_s));
        QCOMPARE(RegReadString(r, u"A\\b\\C"_s, QString()), u"値"_s);
        QCOMPARE(RegReadString(r, u"a\\b\\c"_s, u"other"_s), QString());
        // The text up to the first NUL, whole however long it is.
        QVERIFY(RegWriteString(r, u"a"_s, QString(), u"ab"_s + QChar(u'\0') + u"cd"_s));
        QCOMPARE(RegReadString(r, u"a"_s, QString()), u"ab"_s);
        const QString longText(5000, u'x');
        QVERIFY(RegWriteString(r, u"a"_s, QString(), longText));
        QCOMPARE(RegReadString(r, u"a"_s, QString()), longText);
        // Removing a key takes its subkeys, and only those.
        QVERIFY(RegWriteString(r, u"a\\bc"_s, QString(), u"x"_s));
        QVERIFY(RegRemoveKey(r, u"a\\b"_s));
        QCOMPARE(r.keys(), QStringList({u"a"_s, u"a\\bc"_s}));
        QVERIFY(RegRemoveKey(r, u"missing\\key"_s));
        // A path with an empty name in it is refused.
        QString reason;
        QVERIFY(!RegWriteString(r, u"\\shell\\x"_s, QString(), u"x"_s, &reason));
        QVERIFY(!reason.isEmpty());
    }

    void relationOnAndOff()
    {
        MemoryRegistry r = htmlRegistry();
        QVERIFY(SetRelation(r, true, Command));
        QCOMPARE(RegReadString(r, Verb, QString()), u"&Tavlenで編集"_s);
        QCOMPARE(RegReadString(r, Verb + u"\\Command"_s, QString()), Command);
        const QStringList once = r.keys();
        QVERIFY(SetRelation(r, true, Command));
        QCOMPARE(r.keys(), once);
        QVERIFY(SetRelation(r, false, Command));
        QVERIFY(!r.contains(Verb) && !r.contains(Verb + u"\\Command"_s));
        QVERIFY(r.contains(u"text/html\\shell"_s));
    }

    void relationWithoutFileType()
    {
        MemoryRegistry r; // .html has no type
        QString reason;
        QVERIFY(!SetRelation(r, true, Command, &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(r.keys().isEmpty());
        QVERIFY(SetRelation(r, false, Command));
    }

    void defaultEditorOnAndOff()
    {
        MemoryRegistry r;
        QVERIFY(RegWriteString(r, u".htm\\OpenWithList\\Tavlen.exe\\shell\\edit"_s, QString(),
                               u"old"_s));
        QVERIFY(SetDefaultEditor(r, true, Command));
        QCOMPARE(RegReadString(r, Edit, QString()), u"編集(&E)"_s);
        QCOMPARE(RegReadString(r, Edit + u"\\command"_s, QString()), Command);
        QVERIFY(SetDefaultEditor(r, false, Command));
        QCOMPARE(r.keys(), QStringList({u".htm"_s, u".htm\\OpenWithList"_s}));
    }

    void launchCommand_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("command");
        QTest::newRow("plain") << u"/opt/tavlen/tavlen"_s << u"\"/opt/tavlen/tavlen\" %f"_s;
        QTest::newRow("spaces") << u"/home/u/my tools/tavlen"_s
                                << u"\"/home/u/my tools/tavlen\" %f"_s;
        QTest::newRow("root") << u"/tavlen"_s << u"\"/tavlen\" %f"_s;
        QTest::newRow("special characters")
            << u"/a\"b/c$d/e`f/g\\h/100%/t"_s << u"\"/a\\\"b/c\\$d/e\\`f/g\\\\h/100%%/t\" %f"_s;
        QTest::newRow("japanese") << u"/home/u/日本語 フォルダ/tavlen"_s
                                  << u"\"/home/u/日本語 フォルダ/tavlen\" %f"_s;
    }
    void launchCommand()
    {
        QFETCH(QString, program);
        QFETCH(QString, command);
        QCOMPARE(LaunchCommand(program), command);
    }

    void desktopStrings_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << u"Tavlenで編集"_s << u"Tavlenで編集"_s;
        QTest::newRow("backslash") << u"\"a\\\\b\" %f"_s << u"\"a\\\\\\\\b\" %f"_s;
        QTest::newRow("controls") << u"a\nb\tc\rd"_s << u"a\\nb\\tc\\rd"_s;
        QTest::newRow("leading space") << u" x y"_s << u"\\sx y"_s;
    }
    void desktopStrings()
    {
        QFETCH(QString, value);
        QFETCH(QString, escaped);
        QCOMPARE(escapeDesktopString(value), escaped);
        QCOMPARE(unescapeDesktopString(escaped), value);
        DesktopEntry e;
        e.set(u"Desktop Entry"_s, u"Exec"_s, value);
        QCOMPARE(parseDesktopEntry(formatDesktopEntry(e)).value(u"Desktop Entry"_s, u"Exec"_s),
                 value);
    }

    void mimeApps_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("added");
        const QString id = u"t.desktop"_s;
        QTest::newRow("no file") << QString() << u"[Added Associations]\ntext/html=t.desktop;\n"_s;
        QTest::newRow("other groups kept")
            << u"# mine\n[Default Applications]\ntext/html=firefox.desktop\n"_s
            << u"# mine\n[Default Applications]\ntext/html=firefox.desktop\n\n"
               u"[Added Associations]\ntext/html=t.desktop;\n"_s;
        QTest::newRow("appended to list")
            << u"[Added Associations]\ntext/html=a.desktop;b.desktop\ntext/plain=c.desktop;\n"_s
            << u"[Added Associations]\ntext/html=a.desktop;b.desktop;t.desktop;\n"
               u"text/plain=c.desktop;\n"_s;
        QTest::newRow("new key in group")
            << u"[Added Associations]\ntext/plain=c.desktop;\n\n[Other]\nx=y\n"_s
            << u"[Added Associations]\ntext/plain=c.desktop;\ntext/html=t.desktop;\n\n"
               u"[Other]\nx=y\n"_s;
    }
    void mimeApps()
    {
        QFETCH(QString, before);
        QFETCH(QString, added);
        const QString id = u"t.desktop"_s;
        const QString a = withAddedAssociation(before, u"text/html"_s, id);
        QCOMPARE(a, added);
        QCOMPARE(withAddedAssociation(a, u"text/html"_s, id), a); // twice changes nothing
        const QString removed = withoutAddedAssociation(a, u"text/html"_s, id);
        QVERIFY(!removed.contains(id));
        QCOMPARE(withoutAddedAssociation(removed, u"text/html"_s, id), removed);
        if (before.isEmpty() || before.contains(u"Default"_s))
            QCOMPARE(removed, before); // what adding made is gone again
    }

    void mimeAppsNeverDefaultAndUnremoved()
    {
        const QString before = u"[Default Applications]\ntext/html=firefox.desktop;\n"
                               u"[Removed Associations]\ntext/html=t.desktop;\n"_s;
        const QString after = withAddedAssociation(before, u"text/html"_s, u"t.desktop"_s);
        QVERIFY(after.startsWith(u"[Default Applications]\ntext/html=firefox.desktop;\n"_s));
        QVERIFY(!after.contains(u"Removed Associations"_s));
        QVERIFY(after.contains(u"[Added Associations]\ntext/html=t.desktop;\n"_s));
    }

    void fontText_data()
    {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("11") << 11.0 << u"ＭＳ ゴシック （11ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("10.5 stays") << 10.5 << u"ＭＳ ゴシック （10.5ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("11.5 stays") << 11.5 << u"ＭＳ ゴシック （11.5ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("10.75") << 10.75 << u"ＭＳ ゴシック （10.75ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("8.25") << 8.25 << u"ＭＳ ゴシック （8.25ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("four places to two") << 9.3333 << u"ＭＳ ゴシック （9.33ﾎﾟｲﾝﾄ）"_s;
        QTest::newRow("huge") << 1e300 << u"ＭＳ ゴシック （1000000000000000ﾎﾟｲﾝﾄ）"_s;
    }
    void fontText()
    {
        QFETCH(double, size);
        QFETCH(QString, text);
        QCOMPARE(FontText(u"ＭＳ ゴシック"_s, size), text);
    }
};

TAVLEN_TEST_MAIN(TestRegistry)
#include "test_registry.moc"
