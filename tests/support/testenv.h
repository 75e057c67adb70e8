#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace testsupport
{

// Points HOME and the XDG folders at a fresh temporary folder before anything reads them, so a
// test never touches the real home directory. Lives for the whole test run. A child process that
// a test starts twice over the same home (to see what one run leaves for the next) is given that
// folder in TAVLEN_TEST_HOME.
class IsolatedHome
{
public:
    IsolatedHome();
    QString path() const { return m_root; }
    QString configDir() const;
    QString dataDir() const;

private:
    QTemporaryDir m_dir;
    QString m_root;
};

// The isolated home of the running test executable.
IsolatedHome &home();

} // namespace testsupport

// main() of a Qt Test executable: isolate HOME and XDG folders, then run the test object.
#define TAVLEN_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        testsupport::home();                                                                       \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
