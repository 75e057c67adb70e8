#include "testenv.h"

#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "mainwindowfixture.h"
#include "platform/fontfallback.h"
#include "platform/richtextbox.h"
#include "reference/richtextrtf.h"
#include "settings/freedesktopregistry.h"
#include "settings/frmoption.h"
#include "settings/memoryregistry.h"
#include "testwindow.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::StringLiterals;
using settings::MemoryRegistry;

namespace
{

const QString Verb = u"text/html\\shell\\EditWithTavlen"_s;

QString panel(testsupport::TestWindow &w, const QString &key)
{
    return w.statusPanels()->Panels(key)->text();
}

// A registry like the desktop's, in memory.
std::unique_ptr<MemoryRegistry> htmlRegistry()
{
    auto r = std::make_unique<MemoryRegistry>();
    r->setValue(u".html"_s, QString(), u"text/html"_s, nullptr);
    return r;
}

// Runs action on the options dialog once it is shown modally.
void whenOptionsShown(std::function<void(settings::frmOption &)> action)
{
    QTimer::singleShot(0, qApp, [action] {
        auto *d = qobject_cast<settings::frmOption *>(QApplication::activeModalWidget());
        QVERIFY(d);
        action(*d);
    });
}

} // namespace

class TestApplySettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keepsSelectionAndShowsCodes()
    {
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.setRegistry(htmlRegistry());
        w.editor()->setText(u"<p>日本語のテキスト</p>\r\n<!-- c -->"_s);
        w.editor()->setSelStart(5);
        w.editor()->setSelLength(3);
        const bool cutEnabled = w.mainMenu().mnuCut->isEnabled();
        w.statusPanels()->Panels(u"Message"_s)->setText(u"前の表示"_s);
        w.appSettings().ReadCode = codec::TextCode::EucJp;
        w.appSettings().WriteCode = codec::TextCode::Utf8;
        w.appSettings().Font.Size = 14;
        QVERIFY(!w.ApplySettings());
        QCOMPARE(w.editor()->SelStart(), 5);
        QCOMPARE(w.editor()->SelLength(), 3);
        QCOMPARE(w.mainMenu().mnuCut->isEnabled(), cutEnabled);
        QCOMPARE(panel(w, u"ReadCode"_s), u"EUC"_s);
        QCOMPARE(panel(w, u"WriteCode"_s), u"UTF-8"_s);
        QCOMPARE(panel(w, u"Message"_s), QString());
        QVERIFY(!w.sharedState().bolBusy);
        QCOMPARE(w.editor()->font().pointSizeF(), 14.0);
        QVERIFY(!w.editor()->colorRuns().empty()); // coloured again
    }

    void emptyDocumentAndBackground()
    {
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.setRegistry(htmlRegistry());
        w.appSettings().BgColor = 0x0000FF;
        w.appSettings().FontColor = 0x00FF00;
        w.appSettings().WriteCode = codec::TextCode::EucJp;
        QVERIFY(!w.ApplySettings());
        QCOMPARE(w.editor()->SelLength(), 0);
        QCOMPARE(w.editor()->palette().color(QPalette::Base), QColor(255, 0, 0));
        // Text no colour run covers (typed text, lines too long to colour) is in the text
        // colour, never in the desktop theme's.
        QCOMPARE(w.editor()->palette().color(QPalette::Text), QColor(0, 255, 0));
        QCOMPARE(panel(w, u"WriteCode"_s), u"EUC"_s);
    }

    void missingFontShowsAJapaneseMonospaceStandIn()
    {
        const QString standIn = platform::closestJapaneseMonospace(u"ＭＳ ゴシック"_s);
        if (standIn.isEmpty() || QFontDatabase::hasFamily(u"ＭＳ ゴシック"_s))
            QSKIP("needs fontconfig with a Japanese font and no ＭＳ ゴシック");
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QCOMPARE(w.editor()->font().families().value(0), u"ＭＳ ゴシック"_s);
        QCOMPARE(QFontInfo(w.editor()->font()).family(), standIn);
        QVERIFY(reference::textRtf(*w.editor()).contains(u"ＭＳ ゴシック"_s) ||
                reference::textRtf(*w.editor()).contains(u"\\'82\\'6c\\'82\\'72"_s));
        QCOMPARE(w.appSettings().Font.Name, u"ＭＳ ゴシック"_s);
    }

    void shellEntriesFollowTheSwitches()
    {
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.setRegistry(htmlRegistry());
        auto &r = static_cast<MemoryRegistry &>(w.registry());
        w.appSettings().Relation = true;
        w.appSettings().DefaultEditor = true;
        QVERIFY(!w.ApplySettings());
        QVERIFY(r.contains(Verb + u"\\Command"_s));
        QVERIFY(r.contains(u".htm\\OpenWithList\\Tavlen\\shell\\edit\\command"_s));
        const QStringList once = r.keys();
        QVERIFY(!w.ApplySettings());
        QCOMPARE(r.keys(), once);
        const QString command = settings::RegReadString(r, Verb + u"\\Command"_s, QString());
        QVERIFY(command.startsWith(u'"' + QCoreApplication::applicationFilePath() + u"\" "_s));
        w.appSettings().Relation = false;
        w.appSettings().DefaultEditor = false;
        QVERIFY(!w.ApplySettings());
        QVERIFY(!r.contains(Verb));
        QVERIFY(!r.contains(u".htm\\OpenWithList\\Tavlen"_s));
    }

    void optionsOkAppliesAndSaves()
    {
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.setRegistry(htmlRegistry());
        f.dialogs.steps = {[](platform::DialogProperties &p) {
            p.Color = 0x00AA00;
            return platform::DialogOutcome::Accepted;
        }};
        whenOptionsShown([](settings::frmOption &d) {
            QCOMPARE(d.SSTab1->currentIndex(), 0);
            d.cmdColors[1]->click();
            d.chkRelation->click();
            d.optRead[1]->click();
            d.SSTab1->setCurrentIndex(2);
            d.cmdOK->click();
        });
        QCOMPARE(w.mainMenu().mnuOption->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        w.mainMenu().mnuOption->trigger();
        QCOMPARE(w.appSettings().TagColor, 0x00AA00u);
        QVERIFY(w.appSettings().Relation);
        QCOMPARE(f.store.value(u"Settings"_s, u"TagColor"_s), u"43520"_s);
        QCOMPARE(f.store.value(u"Settings"_s, u"Relation"_s), u"True"_s);
        QCOMPARE(panel(w, u"ReadCode"_s), u"EUC"_s);
        QVERIFY(static_cast<MemoryRegistry &>(w.registry()).contains(Verb));
        QVERIFY(f.prompter.shown.isEmpty());

        // The next time the dialog opens on the first tab again; Cancel still applies.
        static_cast<MemoryRegistry &>(w.registry()).removeKey(Verb, nullptr);
        f.store.clearLog();
        whenOptionsShown([](settings::frmOption &d) {
            QCOMPARE(d.SSTab1->currentIndex(), 0);
            d.chkRelation->click();
            d.cmdCancel->click();
        });
        w.toolBar()->Buttons(u"Option"_s)->trigger();
        QVERIFY(w.appSettings().Relation);
        QVERIFY(f.store.writes().isEmpty());
        QVERIFY(static_cast<MemoryRegistry &>(w.registry()).contains(Verb));
    }

    void shellFailureIsReportedOnceAfterOk()
    {
        testsupport::MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QString blocker = testsupport::home().path() + u"/blocked"_s;
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        w.setRegistry(std::make_unique<settings::FreedesktopRegistry>(
            blocker + u"/applications"_s, blocker + u"/mimeapps.list"_s));
        w.appSettings().Relation = true;
        QVERIFY(w.ApplySettings()); // the reason comes back, nothing is shown
        QVERIFY(f.prompter.shown.isEmpty());

        whenOptionsShown([](settings::frmOption &d) { d.cmdCancel->click(); });
        w.mainMenu().mnuOption->trigger();
        QVERIFY(f.prompter.shown.isEmpty());

        whenOptionsShown([](settings::frmOption &d) {
            d.chkDefaultEditor->click();
            d.cmdOK->click();
        });
        w.mainMenu().mnuOption->trigger();
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].title, u"エラー"_s);
        QCOMPARE(f.prompter.shown[0].icon, platform::MsgIcon::Exclamation);
        QCOMPARE(panel(w, u"Message"_s), QString());
    }
};

TAVLEN_TEST_MAIN(TestApplySettings)
#include "test_applysettings.moc"
