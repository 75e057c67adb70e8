#include "codec/cp932.h"
#include "codec/eucjp.h"
#include "codec/utf8.h"
#include "links/casefix.h"
#include "links/linkcheck.h"
#include "testenv.h"

namespace
{

QByteArray encodedAs(const QString &encoding, const QString &text)
{
    if (encoding == QLatin1String("EUC-JP"))
        return codec::convertCp932ToEucJp(codec::encodeCp932(text).bytes).bytes;
    if (encoding == QLatin1String("UTF-8"))
        return codec::encodeUtf8(text, true).bytes;
    return codec::encodeCp932(text).bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The letter-case fix rewrites only the link, keeps the file's encoding and line ends, and its
// undo gives back the original bytes.
class TestCaseFix : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fixKeepsEncodingAndUndoes_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("Shift_JIS") << "Shift_JIS";
        QTest::newRow("EUC-JP") << "EUC-JP";
        QTest::newRow("UTF-8 with a byte order mark") << "UTF-8";
    }
    void fixKeepsEncodingAndUndoes()
    {
        QFETCH(QString, encoding);
        QTemporaryDir site;
        QDir(site.path()).mkpath(QStringLiteral("images"));
        QFile(site.filePath(QStringLiteral("images/logo.png"))).open(QIODevice::WriteOnly);
        const QString page = site.filePath(QStringLiteral("page.html"));
        const QString before = QStringLiteral("<meta charset=\"%1\">\r\n<p>日本語～𠮷は"
                                              " <img src=\"Images/Logo.PNG\"> 〜</p>\r\n"
                                              "<p><a href=\"./Images/logo.png#x\">図</a></p>\n")
                                   .arg(encoding);
        QString after = before;
        after.replace(QStringLiteral("Images/Logo.PNG"), QStringLiteral("images/logo.png"));
        after.replace(QStringLiteral("./Images/logo.png"), QStringLiteral("./images/logo.png"));
        const QByteArray original = encodedAs(encoding, before);
        {
            QFile file(page);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(original);
        }
        const links::SiteCheck check = links::checkLinks(site.path(), {page});
        QCOMPARE(check.findings.size(), size_t(2));
        const links::CaseFixPlan plan = links::planCaseFix(check.findings);
        QVERIFY2(plan.skipped.isEmpty(), qPrintable(plan.skipped.join(u'\n')));
        QCOMPARE(plan.files.size(), size_t(1));

        QTemporaryDir keep;
        std::variant<links::AppliedFix, QString> applied = links::applyCaseFix(plan, keep.path());
        if (const QString *failure = std::get_if<QString>(&applied))
            QFAIL(qPrintable(*failure));
        QCOMPARE(fileBytes(page), encodedAs(encoding, after));
        const links::AppliedFix &fix = std::get<links::AppliedFix>(applied);
        QCOMPARE(fileBytes(fix.keptIn + QStringLiteral("/0.original")), original);
        QVERIFY(links::checkLinks(site.path(), {page}).findings.empty());

        QCOMPARE(links::undoCaseFix(fix), QStringList());
        QCOMPARE(fileBytes(page), original);
        QVERIFY(!QDir(fix.keptIn).exists());
    }
};

TAVLEN_TEST_MAIN(TestCaseFix)
#include "test_casefix.moc"
