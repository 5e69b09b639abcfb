// Tests of the search for every distinct solution, against a brute force
// of its own (bruteforce.h): every expression of the numbers, in exact fractions, told
// apart by the rules of "the same" applied to whole trees.
#include "bruteforce.h"
#include "everysolution.h"
#include "hands.h"

#include <QtTest>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using exact::Fraction;
using namespace bruteforce;

namespace {

std::vector<modQuaddle::HandNumber> handNumbers(const QStringList &texts)
{
    std::vector<modQuaddle::HandNumber> numbers;
    for (const QString &text : texts)
        numbers.push_back({*modQuaddle::Rational::parse(text.toStdString()), text.toStdString()});
    return numbers;
}

} // namespace

class TestEverySolution : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void sameAndDifferent_data();
    void sameAndDifferent();
    void agreesWithBruteForce_data();
    void agreesWithBruteForce();
    void countsOverAllHands();
    void badCounts();
};

void TestEverySolution::examples_data()
{
    QTest::addColumn<QStringList>("hand");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("solutions");

    QTest::newRow("1 2 3 4") << QStringList{"1", "2", "3", "4"} << "24"
                             << QStringList{"(1+2+3)*4", "(1+3)*(2+4)", "1*2*3*4", "2*3*4/1"};
    QTest::newRow("3 3 8 8") << QStringList{"3", "3", "8", "8"} << "24" << QStringList{"8/(3-8/3)"};
    QTest::newRow("1 1 1 1") << QStringList{"1", "1", "1", "1"} << "24" << QStringList{};
    QTest::newRow("decimals as written")
        << QStringList{"1.1", "10", "13", "1"} << "24"
        << QStringList{"(1.1*10+13)*1", "(1.1*10+13)/1", "1*1.1*10+13",
                       "1*13+1.1*10",   "1.1*10+13/1",   "1.1*10/1+13"};
    QTest::newRow("one number") << QStringList{"13"} << "13" << QStringList{"13"};
    QTest::newRow("fraction target") << QStringList{"1", "2"} << "1/2" << QStringList{"1/2"};
    QTest::newRow("negative target")
        << QStringList{"1", "2", "3"} << "-3" << QStringList{"(1-2)*3", "3/(1-2)"};
    QTest::newRow("zero target") << QStringList{"2", "2"} << "0" << QStringList{"2-2"};
}

void TestEverySolution::examples()
{
    QFETCH(QStringList, hand);
    QFETCH(QString, target);
    QFETCH(QStringList, solutions);

    std::vector<std::string> expected;
    for (const QString &solution : solutions)
        expected.push_back(solution.toStdString());
    std::vector<std::string> found = modQuaddle::FindEverySolution(
        handNumbers(hand), *modQuaddle::Rational::parse(target.toStdString()));
    QCOMPARE(found.size(), expected.size());
    // The spelling of each solution is the program's choice; the solution is not.
    Trees trees;
    std::set<std::string> foundKeys;
    std::set<std::string> expectedKeys;
    for (const std::string &text : found)
        foundKeys.insert(trees.key(TreeParser(text, trees).parse()));
    for (const std::string &text : expected)
        expectedKeys.insert(trees.key(TreeParser(text, trees).parse()));
    QVERIFY(foundKeys == expectedKeys);
}

// Each rule of "the same", and each pair that stays different, as two hands'
// worth of expressions written out: the brute force's key must agree.
void TestEverySolution::sameAndDifferent_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");

    QTest::newRow("a+b = b+a") << "2+3"
                               << "3+2" << true;
    QTest::newRow("a*b = b*a") << "2*3"
                               << "3*2" << true;
    QTest::newRow("(a+b)+c = a+(b+c)") << "(2+3)+4"
                                       << "2+(3+4)" << true;
    QTest::newRow("a-(b-c) = a-b+c") << "9-(5-2)"
                                     << "9-5+2" << true;
    QTest::newRow("a-(b+c) = a-b-c") << "9-(5+2)"
                                     << "9-5-2" << true;
    QTest::newRow("a/(b/c) = a*c/b") << "8/(4/2)"
                                     << "8*2/4" << true;
    QTest::newRow("a/(b*c) = a/b/c") << "8/(4*2)"
                                     << "8/4/2" << true;
    QTest::newRow("equal cards swap") << "3-3"
                                      << "3-3" << true;
    QTest::newRow("1*x and x/1 differ") << "1*5"
                                        << "5/1" << false;
    QTest::newRow("no distributing") << "2*(3+4)"
                                     << "2*3+2*4" << false;
    QTest::newRow("signs are not moved") << "(5-2)*(4-3)"
                                         << "(2-5)*(3-4)" << false;
    QTest::newRow("a-b and b-a differ") << "5-2"
                                        << "2-5" << false;
}

void TestEverySolution::sameAndDifferent()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);

    Trees trees;
    const std::string a = trees.key(TreeParser(first.toStdString(), trees).parse());
    const std::string b = trees.key(TreeParser(second.toStdString(), trees).parse());
    QCOMPARE(a == b, same);

    // Where both use the same numbers for the same value, the program lists
    // them as one solution or as two, as the rules say.
    const auto digits = [](const QString &text) {
        QStringList numbers;
        for (const QChar c : text) {
            if (c.isDigit())
                numbers << QString(c);
        }
        numbers.sort();
        return numbers;
    };
    const Fraction value = trees[TreeParser(first.toStdString(), trees).parse()].value;
    if (digits(first) != digits(second) ||
        !(trees[TreeParser(second.toStdString(), trees).parse()].value == value))
        return;
    std::set<std::string> keys;
    for (const std::string &text : modQuaddle::FindEverySolution(
             handNumbers(digits(first)), modQuaddle::Rational::fraction(value.num, value.den)))
        keys.insert(trees.key(TreeParser(text, trees).parse()));
    QVERIFY(keys.count(a));
    QVERIFY(keys.count(b));
}

void TestEverySolution::agreesWithBruteForce_data()
{
    QTest::addColumn<QStringList>("hand");
    QTest::addColumn<QString>("target");

    // A spread of the 1,820 four-card hands, then other targets and counts.
    const std::vector<modQuaddle::Hand> all = modQuaddle::allHands();
    for (std::size_t k = 0; k < all.size(); k += 7) {
        QStringList hand;
        for (const float number : all[k])
            hand << QString::number(number);
        QTest::newRow(qPrintable(hand.join(' '))) << hand << "24";
    }
    QTest::newRow("target 10") << QStringList{"1", "2", "3", "4"} << "10";
    QTest::newRow("target 1/2") << QStringList{"1", "3", "4", "6"} << "1/2";
    QTest::newRow("target -3") << QStringList{"1", "2", "5", "7"} << "-3";
    QTest::newRow("target 0") << QStringList{"2", "3", "5", "10"} << "0";
    QTest::newRow("decimals") << QStringList{"2.5", "2.5", "4", "1"} << "24";
    QTest::newRow("two numbers") << QStringList{"4", "6"} << "24";
    QTest::newRow("three numbers") << QStringList{"2", "3", "4"} << "24";
    QTest::newRow("five numbers") << QStringList{"1", "2", "3", "4", "5"} << "24";
    QTest::newRow("five with repeats") << QStringList{"2", "2", "3", "3", "12"} << "24";
}

void TestEverySolution::agreesWithBruteForce()
{
    QFETCH(QStringList, hand);
    QFETCH(QString, target);

    const Fraction goal = parseNumber(target.toStdString());
    Trees trees;
    std::vector<int> leaves;
    for (const QString &number : hand)
        leaves.push_back(trees.leaf(parseNumber(number.toStdString())));
    std::set<std::string> expected;
    everyExpression(trees, leaves, goal, expected);

    const std::vector<std::string> found = modQuaddle::FindEverySolution(
        handNumbers(hand), *modQuaddle::Rational::parse(target.toStdString()));
    std::set<std::string> foundKeys;
    for (const std::string &text : found) {
        const int tree = TreeParser(text, trees).parse();
        QVERIFY2(trees[tree].value == goal, text.c_str());
        QVERIFY2(foundKeys.insert(trees.key(tree)).second,
                 qPrintable(QStringLiteral("written twice: ") + text.c_str()));
    }
    QCOMPARE(foundKeys.size(), expected.size());
    QVERIFY(foundKeys == expected);
}

void TestEverySolution::countsOverAllHands()
{
    std::size_t solvable = 0;
    std::size_t solutions = 0;
    for (const modQuaddle::Hand &hand : modQuaddle::allHands()) {
        QStringList texts;
        for (const float number : hand)
            texts << QString::number(number);
        const std::size_t count = modQuaddle::FindEverySolution(handNumbers(texts)).size();
        solvable += count ? 1 : 0;
        solutions += count;
    }
    QCOMPARE(solvable, std::size_t(1362));
    QCOMPARE(solutions, std::size_t(4469));
}

void TestEverySolution::badCounts()
{
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, modQuaddle::FindEverySolution({}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             modQuaddle::FindEverySolution(handNumbers(QStringList(7, "1"))));
}

QTEST_GUILESS_MAIN(TestEverySolution)
#include "tst_everysolution.moc"
