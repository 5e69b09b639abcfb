// Tests of the program's start as a user meets it in a terminal: --help and
// --version need no display, and a missing display is one line, not a crash.
#include "quaddlefacts.h"

#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void withoutDisplay_data();
    void withoutDisplay();
};

void TestCommandLine::withoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // empty: none set
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString version = QStringLiteral("quaddle %1\n").arg(QLatin1String(quaddle::versionText));
    QTest::newRow("--version") << QStringList{"--version"} << "" << 0 << version << "";
    QTest::newRow("-V") << QStringList{"-V"} << "" << 0 << version << "";
    QTest::newRow("--help") << QStringList{"--help"} << "" << 0 << "Usage: quaddle"
                            << "";
    QTest::newRow("-h") << QStringList{"-h"} << "" << 0 << "Usage: quaddle"
                        << "";
    QTest::newRow("no display")
        << QStringList{} << "" << 1 << ""
        << "quaddle: cannot open a window: no display (DISPLAY is not set)\n";
    // A window, not an answer in the terminal.
    QTest::newRow("--every opens a window")
        << QStringList{"--every"} << "" << 1 << ""
        << "quaddle: cannot open a window: no display (DISPLAY is not set)\n";
    QTest::newRow("display that is not there")
        << QStringList{} << ":97" << 1 << ""
        << "quaddle: cannot open a window: could not connect to display :97\n";
}

void TestCommandLine::withoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUADDLE_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
