// Tests of quaddle-solve, run as a user runs it: arguments, standard input,
// output, error messages and exit statuses.
#include "modQuaddle.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    QString out;
    QString err;
    int status;
};

Run solve(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(QStringLiteral(QUADDLE_SOLVE), arguments);
    if (!process.waitForStarted())
        return {QString(), QStringLiteral("could not start"), -1};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()), process.exitCode()};
}

} // namespace

class TestQuaddleSolve : public QObject
{
    Q_OBJECT

private slots:
    void oneHand_data();
    void oneHand();
    void badArguments_data();
    void badArguments();
    void cardFacesAreTheirNumbers();
    void handsFromStandardInput();
    void badLineIsReportedAndSkipped();
    void all_data();
    void all();
    void defaultOutputIsTheWindowsSearch();
    void json();
    void helpAndVersion();
    void every_data();
    void every();
    void everyAll();
    void everyJson();
    void exactDecimalsAsWritten();
    void inputAndOutputFaults_data();
    void inputAndOutputFaults();
};

void TestQuaddleSolve::oneHand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("status");

    QTest::newRow("3 5 9 8") << QStringList{"3", "5", "9", "8"}
                             << "1 (8-5)*9-3\n2 9*3-(8-5)\n3 5+9*3-8\n4 5-(8-9*3)\n5 9*(8-5)-3\n"
                             << 0;
    QTest::newRow("only one shape") << QStringList{"1", "4", "5", "6"} << "3 6/(5/4-1)\n" << 0;
    QTest::newRow("no solution") << QStringList{"1", "1", "1", "1"} << "no solution\n" << 1;
    QTest::newRow("3 3 8 8 misses in single precision")
        << QStringList{"3", "3", "8", "8"} << "no solution\n"
        << 1;
    QTest::newRow("3 3 8 8 exactly")
        << QStringList{"--exact", "3", "3", "8", "8"} << "4 8/(3-8/3)\n"
        << 0;
    QTest::newRow("options after the numbers")
        << QStringList{"3", "3", "8", "8", "--exact"} << "4 8/(3-8/3)\n"
        << 0;
    QTest::newRow("decimals") << QStringList{"2.5", "2.5", "4", "1"}
                              << "1 (1+2.5+2.5)*4\n3 4*(1+2.5+2.5)\n4 4*(1+2.5+2.5)\n"
                                 "5 (1+2.5+2.5)*4\n"
                              << 0;
    QTest::newRow("just below 13 is a card, counted as written")
        << QStringList{"--every", "--target=12.99999999999999999999", "12.99999999999999999999"}
        << "12.99999999999999999999\n"
        << 0;
}

void TestQuaddleSolve::oneHand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(int, status);

    const Run run = solve(arguments);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, status);
}

void TestQuaddleSolve::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named"); // what the error message must name

    QTest::newRow("0") << QStringList{"0", "5", "9", "8"} << "'0'";
    QTest::newRow("14") << QStringList{"3", "14", "9", "8"} << "'14'";
    QTest::newRow("13.01") << QStringList{"3", "5", "13.01", "8"} << "'13.01'";
    // Beyond the range in a digit that a double rounds away.
    QTest::newRow("above 13 in the last digit")
        << QStringList{"3", "5", "13.000000000000000000001", "8"} << "'13.000000000000000000001'";
    QTest::newRow("below 1 in the last digit")
        << QStringList{"0.99999999999999999999", "5", "9", "8"} << "'0.99999999999999999999'";
    QTest::newRow("negative") << QStringList{"3", "5", "9", "-8"} << "'-8'";
    QTest::newRow("letters") << QStringList{"3", "abc", "9", "8"} << "'abc'";
    QTest::newRow("trailing letters") << QStringList{"3", "5", "9", "8x"} << "'8x'";
    QTest::newRow("two-letter face") << QStringList{"3", "5", "9", "KK"} << "'KK'";
    QTest::newRow("exponent") << QStringList{"1e1", "5", "9", "8"} << "'1e1'";
    QTest::newRow("infinity") << QStringList{"inf", "5", "9", "8"} << "'inf'";
    QTest::newRow("missing number") << QStringList{"3", "5", "9"} << "got 3";
    QTest::newRow("fifth number") << QStringList{"3", "5", "9", "8", "7"} << "'7'";
    QTest::newRow("unknown option") << QStringList{"--fast", "3", "5", "9", "8"} << "'--fast'";
    QTest::newRow("--all with numbers") << QStringList{"--all", "3", "5", "9", "8"} << "'3'";
    QTest::newRow("target without --every")
        << QStringList{"--target", "10", "3", "5", "9", "8"} << "--target";
    QTest::newRow("target without value") << QStringList{"3", "5", "9", "8", "-t"} << "'-t'";
    QTest::newRow("bad target") << QStringList{"-E", "-t", "1.5.2", "3", "5"} << "'1.5.2'";
    QTest::newRow("zero denominator") << QStringList{"-E", "--target=1/0", "3", "5"} << "'1/0'";
    QTest::newRow("--exact with --every") << QStringList{"-eE", "3", "5"} << "--every";
    QTest::newRow("seven numbers")
        << QStringList{"-E", "1", "2", "3", "4", "5", "6", "7"} << "got 7";
    QTest::newRow("control characters escaped")
        << QStringList{"3", "5", "9", "\x1b[2J"} << "'\\x1b[2J'";
}

void TestQuaddleSolve::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);

    const Run run = solve(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(QLatin1String("quaddle-solve: ")), qPrintable(run.err));
    QVERIFY2(run.err.contains(named), qPrintable(run.err));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1); // one line
}

void TestQuaddleSolve::cardFacesAreTheirNumbers()
{
    const Run faces = solve({"a", "J", "q", "K"});
    const Run numbers = solve({"1", "11", "12", "13"});
    QCOMPARE(faces.status, 0);
    QCOMPARE(faces.out, numbers.out);
}

void TestQuaddleSolve::handsFromStandardInput()
{
    const Run run = solve({}, "3 5 9 8\n\n# a comment\n  1\t1 1 1  \nQ q 12 12\n");
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], "3 5 9 8 | (8-5)*9-3 | 9*3-(8-5) | 5+9*3-8 | 5-(8-9*3) | 9*(8-5)-3");
    QCOMPARE(lines[1], "1 1 1 1 | - | - | - | - | -");
    QVERIFY(lines[2].startsWith("12 12 12 12 | "));
}

void TestQuaddleSolve::badLineIsReportedAndSkipped()
{
    const Run run = solve({}, "1 4 5 6\n3 5 nine 8\n3 5 9\n1 1 1 1\n");
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, "1 4 5 6 | - | - | 6/(5/4-1) | - | -\n1 1 1 1 | - | - | - | - | -\n");
    const QStringList errors = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].startsWith("quaddle-solve: line 2: 'nine'"), qPrintable(errors[0]));
    QVERIFY2(errors[1].startsWith("quaddle-solve: line 3: "), qPrintable(errors[1]));
}

void TestQuaddleSolve::all_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("summary");

    QTest::newRow("single precision")
        << QStringList{"--all"} << "1820 hands, 1361 solvable, 459 unsolvable";
    QTest::newRow("exact") << QStringList{"--all", "--exact"}
                           << "1820 hands, 1362 solvable, 458 unsolvable";
}

void TestQuaddleSolve::all()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, summary);

    const Run run = solve(arguments);
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1821);
    QCOMPARE(lines.first(), "1 1 1 1 | - | - | - | - | -");
    QCOMPARE(lines.last(), summary);
}

void TestQuaddleSolve::defaultOutputIsTheWindowsSearch()
{
    // Every line of --all against the slots the window's search leaves.
    const Run run = solve({"--all"});
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QStringLiteral(" | "));
        QCOMPARE(fields.size(), 6);
        const QStringList hand = fields[0].split(QLatin1Char(' '));
        for (int k = 0; k < 4; ++k)
            modQuaddle::Num[static_cast<std::size_t>(k + 1)] = hand[k].toFloat();
        modQuaddle::clearResults();
        modQuaddle::FindSolutions();
        for (int k = 0; k < 5; ++k) {
            const QString window = QString::fromStdString(modQuaddle::resultSlot(k + 1));
            QCOMPARE(fields[k + 1], window.isEmpty() ? QStringLiteral("-") : window);
        }
    }
}

void TestQuaddleSolve::json()
{
    const Run one = solve({"--json", "1", "4", "5", "6"});
    QCOMPARE(one.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(one.out.toUtf8()).object();
    QCOMPARE(object.value("hand").toArray(), (QJsonArray{1, 4, 5, 6}));
    QCOMPARE(object.value("slots").toArray(),
             (QJsonArray{QJsonValue(), QJsonValue(), "6/(5/4-1)", QJsonValue(), QJsonValue()}));

    const Run all = solve({"--json", "--all"});
    const QStringList lines = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1821);
    for (const QString &line : lines) {
        QJsonParseError error;
        QJsonDocument::fromJson(line.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
    }
    const QJsonObject counts = QJsonDocument::fromJson(lines.last().toUtf8()).object();
    QCOMPARE(counts.value("unsolvable").toInt(), 459);

    const Run fraction = solve({"--json"}, "2.5 2.5 4 1\n");
    QCOMPARE(QJsonDocument::fromJson(fraction.out.toUtf8()).object().value("hand").toArray(),
             (QJsonArray{2.5, 2.5, 4, 1}));
}

void TestQuaddleSolve::helpAndVersion()
{
    const Run help = solve({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("Usage: quaddle-solve"));
    QVERIFY(help.out.contains("--exact"));
    const Run version = solve({"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, "quaddle-solve 1.0.0\n");
}

void TestQuaddleSolve::every_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("status");

    QTest::newRow("1 2 3 4") << QStringList{"--every", "1", "2", "3", "4"} << 4 << 0;
    QTest::newRow("3 5 9 8") << QStringList{"-E", "3", "5", "9", "8"} << 2 << 0;
    QTest::newRow("3 3 8 8") << QStringList{"-E", "3", "3", "8", "8"} << 1 << 0;
    QTest::newRow("faces") << QStringList{"-E", "a", "2", "3", "4"} << 4 << 0;
    QTest::newRow("target 10") << QStringList{"-E", "--target=10", "1", "2", "3", "4"} << 18 << 0;
    QTest::newRow("two numbers") << QStringList{"-E", "4", "6"} << 1 << 0;
    QTest::newRow("five numbers") << QStringList{"-E", "1", "2", "3", "4", "5"} << 93 << 0;
    QTest::newRow("six numbers") << QStringList{"-E", "1", "2", "3", "4", "5", "6"} << 2553 << 0;
    QTest::newRow("none") << QStringList{"-E", "1", "1", "1", "1"} << 1 << 1;
}

void TestQuaddleSolve::every()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, lines);
    QFETCH(int, status);

    const Run run = solve(arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, status);
    QCOMPARE(run.out.count(QLatin1Char('\n')), lines);
    if (status == 1)
        QCOMPARE(run.out, "no solution\n");
}

void TestQuaddleSolve::everyAll()
{
    const Run run = solve({"--every", "--all"});
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1821);
    QCOMPARE(lines.first(), "1 1 1 1 | -");
    QVERIFY(lines.contains("3 3 8 8 | 8/(3-8/3)"));
    QCOMPARE(lines.last(), "1820 hands, 1362 solvable, 458 unsolvable, 4469 solutions");
}

void TestQuaddleSolve::everyJson()
{
    const Run run = solve({"-Ej", "1", "2", "3", "4"});
    const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(object.value("hand").toArray(), (QJsonArray{1, 2, 3, 4}));
    QCOMPARE(object.value("target").toInt(), 24);
    QCOMPARE(object.value("solutions").toArray().size(), 4);

    const Run half = solve({"-E", "--json", "--target", "1/2", "1", "2"});
    QCOMPARE(QJsonDocument::fromJson(half.out.toUtf8()).object().value("target").toString(), "1/2");
}

void TestQuaddleSolve::exactDecimalsAsWritten()
{
    // 1.1 is 11/10 here, not the float nearest to it.
    const Run run = solve({"--exact", "1.1", "10", "13", "1"});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.contains("1 1*10*1.1+13\n"), qPrintable(run.out));
    QCOMPARE(solve({"-e", "-t", "23.1", "1.1", "10", "13", "0.1"}).status, 2); // 0.1 is no card
    // 12.99999999 is 13 in single precision, but not exactly.
    const Run near = solve({"-e", "--target=12.99999999", "12.99999999", "1", "1", "1"});
    QCOMPARE(near.status, 0);
    QVERIFY2(near.out.contains("12.99999999") && !near.out.contains("13"), qPrintable(near.out));
    QCOMPARE(solve({"-e", "-t", "13", "12.99999999", "1", "1", "1"}).out, "no solution\n");
}

void TestQuaddleSolve::inputAndOutputFaults_data()
{
    QTest::addColumn<QString>("script"); // run by sh, with the program as $0
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("full disk") << "\"$0\" --all > /dev/full" << QByteArray() << 4 << QString()
                               << "quaddle-solve: write error\n";
    QTest::newRow("closed output")
        << "\"$0\" 3 5 9 8 >&-" << QByteArray() << 4 << QString() << "quaddle-solve: write error\n";
    QTest::newRow("bad token named") << "\"$0\"" << QByteArray("foo\n") << 2 << QString()
                                     << "quaddle-solve: line 1: 'foo' is not a card value "
                                        "(1 to 13, or A, J, Q, K)\n";
    QTest::newRow("control characters escaped")
        << "\"$0\"" << QByteArray("1 \x1b]0;owned\x07 3 4\n") << 2 << QString()
        << "quaddle-solve: line 1: '\\x1b]0;owned\\x07' is not a card value (1 to 13, or A, "
           "J, Q, K)\n";
    QTest::newRow("long line skipped, the rest read")
        << "\"$0\" -E -" << QByteArray(1 << 20, '1').append("\n3 3 8 8\n") << 2
        << "3 3 8 8 | 8/(3-8/3)\n"
        << "quaddle-solve: line 1: longer than 4096 characters, skipped\n";
}

void TestQuaddleSolve::inputAndOutputFaults()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QProcess process;
    process.start(QStringLiteral("sh"), {"-c", script, QStringLiteral(QUADDLE_SOLVE)});
    QVERIFY(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), out);
    QCOMPARE(process.exitCode(), status);
}

QTEST_GUILESS_MAIN(TestQuaddleSolve)
#include "tst_quaddlesolve.moc"
