// Where the program looks for what it ships: the help page and the tag sets, in the build tree,
// beside a program that carries its own files, and in an installed prefix (bin/ + share/tavlen/).
#include "platform/helpfile.h"
#include "tagsets/tagsetfolder.h"
#include "testenv.h"

#include <QDir>
#include <QFile>

class TestInstallLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_case = 0;

    // A fresh prefix with the given files (paths relative to it) and a bin/ folder.
    QString makePrefix(const QStringList &files)
    {
        const QString prefix = m_dir.path() + QStringLiteral("/p%1").arg(++m_case);
        QDir().mkpath(prefix + QStringLiteral("/bin"));
        for (const QString &file : files) {
            const QString path = prefix + u'/' + file;
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot create %s", qPrintable(path));
        }
        return prefix;
    }

private Q_SLOTS:
    void helpFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected"); // relative to the prefix
        QTest::newRow("nothing: the compiled help, for the shell to report")
            << QStringList{} << "bin/Tavlen.chm";
        QTest::newRow("installed help page")
            << QStringList{"share/tavlen/help/index.html"} << "share/tavlen/help/index.html";
        QTest::newRow("compiled help wins over the page")
            << QStringList{"bin/Tavlen.chm", "share/tavlen/help/index.html"} << "bin/Tavlen.chm";
        QTest::newRow("a folder named Tavlen.chm is no help file")
            << QStringList{"bin/Tavlen.chm/x", "share/tavlen/help/index.html"}
            << "share/tavlen/help/index.html";
        QTest::newRow("a folder named index.html is no page")
            << QStringList{"share/tavlen/help/index.html/x"} << "bin/Tavlen.chm";
    }

    void helpFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        const QString prefix = makePrefix(files);
        QCOMPARE(platform::helpFilePath(prefix + QStringLiteral("/bin")),
                 QDir::cleanPath(prefix + u'/' + expected));
    }

    void buildTreeFindsTheHelpPage()
    {
        // The build lays the page out as an install does: <build>/share/tavlen/help, and the
        // program is <build>/src/tavlen.
        const QString page = QDir::cleanPath(QStringLiteral(TAVLEN_BUILD_DIR) +
                                             QStringLiteral("/share/tavlen/help/index.html"));
        QVERIFY2(QFileInfo(page).isFile(), qPrintable(page));
        QCOMPARE(platform::helpFilePath(QStringLiteral(TAVLEN_BUILD_DIR) + QStringLiteral("/src")),
                 page);
    }

    void tagSetFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("besideProgram");
        QTest::newRow("a program with its own folder") << QStringList{} << true;
        QTest::newRow("an installed program, even when its folder is writable")
            << QStringList{"share/tavlen/TagSets/段落.tag"} << false;
        QTest::newRow("help alone does not make an install")
            << QStringList{"share/tavlen/help/index.html"} << true;
    }

    void tagSetFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, besideProgram);
        const QString prefix = makePrefix(files);
        const QString data = prefix + QStringLiteral("/userdata/Tavlen");
        const QString folder = tagsets::resolveTagSetFolder(prefix + QStringLiteral("/bin"), data);
        const QString expected =
            (besideProgram ? prefix + QStringLiteral("/bin") : data) + QStringLiteral("/TagSets");
        QCOMPARE(folder, expected);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QFileInfo::exists(prefix + QStringLiteral("/bin/TagSets")), besideProgram);
        // Seeded with the shipped tag sets either way.
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/段落.tag")));
    }
};

TAVLEN_TEST_MAIN(TestInstallLayout)
#include "test_installlayout.moc"
