// Tests of the solver: the arithmetic step, operator symbols, solution texts
// and the search, checked against a plain reference search and exact arithmetic.
#include "exactexpression.h"
#include "exactsearch.h"
#include "genericsearch.h"
#include "hands.h"
#include "modQuaddle.h"
#include "rational.h"

#include <QtTest>

#include <bit>
#include <cstdint>
#include <limits>

using namespace modQuaddle;

namespace {

void setHand(const QList<float> &hand)
{
    for (int k = 0; k < 4; ++k)
        Num[static_cast<std::size_t>(k + 1)] = hand.at(k);
}

QStringList slotTexts()
{
    QStringList texts;
    for (int shape = 1; shape <= shapeCount; ++shape)
        texts << QString::fromStdString(resultSlot(shape));
    return texts;
}

// The search as written out plainly: every candidate through ApplyOp, every
// solution formatted and stored at once. The real search must leave the same slots.
void referenceSearch()
{
    for (int p1 = 1; p1 <= 4; ++p1)
        for (int p2 = 1; p2 <= 4; ++p2)
            for (int p3 = 1; p3 <= 4; ++p3)
                for (int p4 = 1; p4 <= 4; ++p4) {
                    if (p2 == p1 || p3 == p1 || p3 == p2 || p4 == p1 || p4 == p2 || p4 == p3)
                        continue;
                    const float a = Num[p1], b = Num[p2], c = Num[p3], d = Num[p4];
                    for (int o1 = 1; o1 <= 4; ++o1)
                        for (int o2 = 1; o2 <= 4; ++o2)
                            for (int o3 = 1; o3 <= 4; ++o3) {
                                float r1 = 0, r2 = 0, r3[6] = {};
                                bool ok[6] = {};
                                ok[1] = ApplyOp(a, b, o1, r1) && ApplyOp(r1, c, o2, r2) &&
                                        ApplyOp(r2, d, o3, r3[1]);
                                ok[2] = ApplyOp(a, b, o1, r1) && ApplyOp(c, d, o3, r2) &&
                                        ApplyOp(r1, r2, o2, r3[2]);
                                ok[3] = ApplyOp(b, c, o2, r1) && ApplyOp(r1, d, o3, r2) &&
                                        ApplyOp(a, r2, o1, r3[3]);
                                ok[4] = ApplyOp(c, d, o3, r1) && ApplyOp(b, r1, o2, r2) &&
                                        ApplyOp(a, r2, o1, r3[4]);
                                ok[5] = ApplyOp(b, c, o2, r1) && ApplyOp(a, r1, o1, r2) &&
                                        ApplyOp(r2, d, o3, r3[5]);
                                for (int shape = 1; shape <= 5; ++shape) {
                                    if (ok[shape] && r3[shape] == 24.0f)
                                        resultSlot(shape) =
                                            FormatSolution(shape, p1, p2, p3, p4, o1, o2, o3);
                                }
                            }
                }
}

// All 1,820 hands of four whole numbers 1..13, order ignored.
QList<QList<float>> everyHand()
{
    QList<QList<float>> hands;
    for (const Hand &hand : modQuaddle::allHands())
        hands.append(QList<float>(hand.begin(), hand.end()));
    return hands;
}

const QString untouched = QStringLiteral("<untouched>");

} // namespace

class TestModQuaddle : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Num.fill(0.0f);
        clearResults();
    }

    void applyOp_data();
    void applyOp();
    void applyOpFails_data();
    void applyOpFails();
    void opSymbol_data();
    void opSymbol();
    void formatSolution_data();
    void formatSolution();
    void numberText_data();
    void numberText();
    void findSolutions_data();
    void findSolutions();
    void matchesReferenceSearch();
    void everyHandSweep();
    void genericSearchIsTheSameSearch();
    void exactSearch_data();
    void exactSearch();
    void exactSweep();
    void rational();
};

void TestModQuaddle::applyOp_data()
{
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("b");
    QTest::addColumn<int>("op");
    QTest::addColumn<quint32>("bits");

    const auto bits = [](float f) {
        return std::bit_cast<quint32>(f);
    };
    QTest::newRow("6*4 is exactly 24") << 6.0f << 4.0f << opMul << 0x41C00000u;
    QTest::newRow("0/5") << 0.0f << 5.0f << opDiv << bits(0.0f);
    QTest::newRow("8/3 rounds to single") << 8.0f << 3.0f << opDiv << bits(2.6666667f);
    QTest::newRow("3-8/3") << 3.0f << 2.6666667f << opSub << bits(0.33333325f);
    QTest::newRow("8/(3-8/3) misses 24") << 8.0f << 0.33333325f << opDiv << 0x41C00003u;
    QTest::newRow("1/3") << 1.0f << 3.0f << opDiv << bits(0.33333334f);
    QTest::newRow("1/3*3 is exactly 1") << 0.33333334f << 3.0f << opMul << bits(1.0f);
    QTest::newRow("1/5") << 1.0f << 5.0f << opDiv << bits(0.2f);
    QTest::newRow("5-1/5") << 5.0f << 0.2f << opSub << bits(4.8000002f);
    QTest::newRow("(5-1/5)*5 rounds to 24") << 4.8000002f << 5.0f << opMul << 0x41C00000u;
    QTest::newRow("overflow gives +inf")
        << 1e30f << 1e30f << opMul << bits(std::numeric_limits<float>::infinity());
    QTest::newRow("add") << 13.0f << 11.0f << opAdd << bits(24.0f);
    QTest::newRow("subtract below zero") << 3.0f << 5.0f << opSub << bits(-2.0f);
}

void TestModQuaddle::applyOp()
{
    QFETCH(float, a);
    QFETCH(float, b);
    QFETCH(int, op);
    QFETCH(quint32, bits);

    float result = 5.0f;
    QVERIFY(ApplyOp(a, b, op, result));
    QCOMPARE(std::bit_cast<quint32>(result), bits);
}

void TestModQuaddle::applyOpFails_data()
{
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("b");
    QTest::addColumn<int>("op");

    QTest::newRow("7/0") << 7.0f << 0.0f << opDiv;
    QTest::newRow("7/-0") << 7.0f << -0.0f << opDiv;
    QTest::newRow("0/0") << 0.0f << 0.0f << opDiv;
    QTest::newRow("code 0") << 7.0f << 2.0f << 0;
    QTest::newRow("code 5") << 7.0f << 2.0f << 5;
}

void TestModQuaddle::applyOpFails()
{
    QFETCH(float, a);
    QFETCH(float, b);
    QFETCH(int, op);

    float result = 5.0f;
    QVERIFY(!ApplyOp(a, b, op, result));
    QCOMPARE(result, 5.0f);
}

void TestModQuaddle::opSymbol_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("symbol");

    QTest::newRow("0") << 0 << QString();
    QTest::newRow("1") << 1 << "+";
    QTest::newRow("2") << 2 << "-";
    QTest::newRow("3") << 3 << "*";
    QTest::newRow("4") << 4 << "/";
    QTest::newRow("5") << 5 << QString();
    QTest::newRow("-1") << -1 << QString();
}

void TestModQuaddle::opSymbol()
{
    QFETCH(int, op);
    QFETCH(QString, symbol);
    QCOMPARE(QString::fromStdString(OpSymbol(op)), symbol);
}

void TestModQuaddle::formatSolution_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QList<float>>("numbers");
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QString>("text");

    const QList<float> n1234{1, 2, 3, 4};
    QTest::newRow("1: (8-5)*9-3") << 1 << QList<float>{8, 5, 9, 3} << "-*-"
                                  << "(8-5)*9-3";
    QTest::newRow("1: ++*") << 1 << n1234 << "++*"
                            << "(1+2+3)*4";
    QTest::newRow("1: +*+") << 1 << n1234 << "+*+"
                            << "(1+2)*3+4";
    QTest::newRow("1: no brackets") << 1 << n1234 << "*+-"
                                    << "1*2+3-4";
    QTest::newRow("2: +*+") << 2 << n1234 << "+*+"
                            << "(1+2)*(3+4)";
    QTest::newRow("2: */ /") << 2 << QList<float>{8, 3, 2, 2} << "*//"
                             << "8*3/(2/2)";
    QTest::newRow("2: *--") << 2 << QList<float>{6, 4, 3, 1} << "*--"
                            << "6*4-(3-1)";
    QTest::newRow("2: *+-") << 2 << QList<float>{6, 4, 3, 1} << "*+-"
                            << "6*4+3-1";
    QTest::newRow("3: -/-") << 3 << QList<float>{13, 2, 2, 12} << "-/-"
                            << "13-(2/2-12)";
    QTest::newRow("3: //-") << 3 << QList<float>{6, 5, 4, 1} << "//-"
                            << "6/(5/4-1)";
    QTest::newRow("3: /+*") << 3 << n1234 << "/+*"
                            << "1/((2+3)*4)";
    QTest::newRow("3: *+*") << 3 << n1234 << "*+*"
                            << "1*(2+3)*4";
    QTest::newRow("3: +++") << 3 << n1234 << "+++"
                            << "1+2+3+4";
    QTest::newRow("4: --*") << 4 << QList<float>{5, 8, 9, 3} << "--*"
                            << "5-(8-9*3)";
    QTest::newRow("4: /-+") << 4 << n1234 << "/-+"
                            << "1/(2-(3+4))";
    QTest::newRow("4: -*-") << 4 << n1234 << "-*-"
                            << "1-2*(3-4)";
    QTest::newRow("4: */*") << 4 << n1234 << "*/*"
                            << "1*2/(3*4)";
    QTest::newRow("5: *--") << 5 << QList<float>{9, 8, 5, 3} << "*--"
                            << "9*(8-5)-3";
    QTest::newRow("5: --*") << 5 << n1234 << "--*"
                            << "(1-(2-3))*4";
    QTest::newRow("5: +*/") << 5 << n1234 << "+*/"
                            << "(1+2*3)/4";
    QTest::newRow("5: -+-") << 5 << n1234 << "-+-"
                            << "1-(2+3)-4";
    QTest::newRow("fractions") << 1 << QList<float>{2.5f, 0.0f, 12.345678f, 1.1f} << "+*-"
                               << "(2.5+0)*12.34568-1.1";
}

void TestModQuaddle::formatSolution()
{
    QFETCH(int, shape);
    QFETCH(QList<float>, numbers);
    QFETCH(QString, ops);
    QFETCH(QString, text);

    // Place the numbers in reverse so that the positions, not the store's
    // order, decide which number stands where.
    for (int k = 0; k < 4; ++k)
        Num[static_cast<std::size_t>(4 - k)] = numbers.at(k);
    const auto code = [&](int i) {
        return int(QStringLiteral("+-*/").indexOf(ops.at(i))) + 1;
    };
    QCOMPARE(QString::fromStdString(FormatSolution(shape, 4, 3, 2, 1, code(0), code(1), code(2))),
             text);
}

void TestModQuaddle::numberText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("13") << 13.0f << "13";
    QTest::newRow("10") << 10.0f << "10";
    QTest::newRow("2.5") << 2.5f << "2.5";
    QTest::newRow("0") << 0.0f << "0";
    QTest::newRow("-0") << -0.0f << "0";
    QTest::newRow("1.1") << 1.1f << "1.1";
    QTest::newRow("12.345678") << 12.345678f << "12.34568";
    QTest::newRow("12.999999") << 12.999999f << "13";
    QTest::newRow("1/3") << 1.0f / 3.0f << "0.3333333";
    QTest::newRow("large stays plain") << 123456789.0f << "123456800";
    QTest::newRow("small stays plain") << 0.00012f << "0.00012";
    QTest::newRow("negative") << -2.5f << "-2.5";
}

void TestModQuaddle::numberText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(NumberText(value)), text);
}

void TestModQuaddle::findSolutions_data()
{
    QTest::addColumn<QList<float>>("hand");
    QTest::addColumn<QStringList>("expected");

    const QString u = untouched;
    QTest::newRow("3 5 9 8") << QList<float>{3, 5, 9, 8}
                             << QStringList{"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)",
                                            "9*(8-5)-3"};
    QTest::newRow("1 1 1 1") << QList<float>{1, 1, 1, 1} << QStringList{u, u, u, u, u};
    QTest::newRow("3 3 8 8 misses in single precision")
        << QList<float>{3, 3, 8, 8} << QStringList{u, u, u, u, u};
    QTest::newRow("1 5 5 5 hits through rounding")
        << QList<float>{1, 5, 5, 5} << QStringList{u, u, u, "5*(5-1/5)", "(5-1/5)*5"};
    QTest::newRow("1 4 5 6") << QList<float>{1, 4, 5, 6} << QStringList{u, u, "6/(5/4-1)", u, u};
    QTest::newRow("3 3 7 7") << QList<float>{3, 3, 7, 7}
                             << QStringList{"(3/7+3)*7", u, "7*(3/7+3)", "7*(3+3/7)", "(3+3/7)*7"};
    QTest::newRow("0 4 6 1") << QList<float>{0, 4, 6, 1}
                             << QStringList{"1*6*4-0", "1*6*(4-0)", "1*(6*4-0)", "1*6*(4-0)",
                                            "1*6*4-0"};
    QTest::newRow("0 5 9 8") << QList<float>{0, 5, 9, 8} << QStringList{u, u, u, u, u};
    QTest::newRow("2.5 2.5 4 1") << QList<float>{2.5f, 2.5f, 4, 1}
                                 << QStringList{"(1+2.5+2.5)*4", u, "4*(1+2.5+2.5)",
                                                "4*(1+2.5+2.5)", "(1+2.5+2.5)*4"};
    // Hands where a fused multiply-add (one rounding instead of two) flips a hit:
    // these rows fail if the compiler is ever allowed to contract the search.
    QTest::newRow("4.4 5.2 9.1 11.2, fused would miss")
        << QList<float>{4.4f, 5.2f, 9.1f, 11.2f}
        << QStringList{"9.1/5.2*11.2+4.4", u, "4.4+9.1/5.2*11.2", "4.4+11.2*9.1/5.2",
                       "11.2*9.1/5.2+4.4"};
    QTest::newRow("2 3 9.7 10.2, fused would hit")
        << QList<float>{2, 3, 9.7f, 10.2f} << QStringList{u, u, u, u, u};
}

void TestModQuaddle::findSolutions()
{
    QFETCH(QList<float>, hand);
    QFETCH(QStringList, expected);

    setHand(hand);
    for (int run = 0; run < 2; ++run) {
        for (int shape = 1; shape <= shapeCount; ++shape)
            resultSlot(shape) = untouched.toStdString();
        FindSolutions();
        QCOMPARE(slotTexts(), expected);
    }
}

void TestModQuaddle::matchesReferenceSearch()
{
    // Whole-number hands in every order the store can hold them, plus zeros and
    // fractions, which take other paths through division and rounding.
    QList<QList<float>> hands = everyHand();
    hands << QList<float>{8, 3, 3, 8} << QList<float>{5, 1, 5, 5} << QList<float>{0, 0, 0, 0}
          << QList<float>{0, 4, 6, 1} << QList<float>{2.5f, 2.5f, 4, 1}
          << QList<float>{1.1f, 12.345678f, 6.5f, 2} << QList<float>{12, 12, 12, 12}
          << QList<float>{4.4f, 5.2f, 9.1f, 11.2f} << QList<float>{2, 3, 9.7f, 10.2f}
          << QList<float>{2.4f, 3.2f, 7.2f, 10.5f};
    for (const QList<float> &hand : std::as_const(hands)) {
        init();
        setHand(hand);
        referenceSearch();
        const QStringList expected = slotTexts();
        clearResults();
        FindSolutions();
        QVERIFY2(slotTexts() == expected,
                 qPrintable(QStringLiteral("hand %1 %2 %3 %4: got %5, expected %6")
                                .arg(hand[0])
                                .arg(hand[1])
                                .arg(hand[2])
                                .arg(hand[3])
                                .arg(slotTexts().join(' '), expected.join(' '))));
    }
}

void TestModQuaddle::everyHandSweep()
{
    int unsolvable = 0;
    for (const QList<float> &hand : everyHand()) {
        init();
        setHand(hand);
        FindSolutions();
        const QStringList texts = slotTexts();
        if (texts.join(QString()).isEmpty())
            ++unsolvable;
        for (const QString &text : texts) {
            if (text.isEmpty())
                continue;
            QVERIFY2(exact::evaluate(text.toStdString()) == (exact::Fraction{24, 1}),
                     qPrintable(text));
        }
    }
    QCOMPARE(unsolvable, 459);
}

namespace {

// Single precision through the generic search: must be FindSolutions exactly.
struct FloatArithmetic {
    using Value = float;
    Value operand(int position) const { return Num[static_cast<std::size_t>(position)]; }
    std::optional<Value> apply(Value a, Value b, int op) const
    {
        float result = 0;
        return ApplyOp(a, b, op, result) ? std::optional<Value>(result) : std::nullopt;
    }
    bool isTarget(Value value) const { return std::bit_cast<quint32>(value) == 0x41C00000u; }
    bool sameOperand(int position, int other) const
    {
        return std::bit_cast<quint32>(operand(position)) == std::bit_cast<quint32>(operand(other));
    }
};

} // namespace

void TestModQuaddle::genericSearchIsTheSameSearch()
{
    QList<QList<float>> hands = everyHand();
    hands << QList<float>{4.4f, 5.2f, 9.1f, 11.2f} << QList<float>{0, 4, 6, 1};
    for (const QList<float> &hand : std::as_const(hands)) {
        init();
        setHand(hand);
        FindSolutionsIn(FloatArithmetic{});
        const QStringList generic = slotTexts();
        init();
        setHand(hand);
        FindSolutions();
        QCOMPARE(slotTexts(), generic);
    }
}

void TestModQuaddle::exactSearch_data()
{
    QTest::addColumn<QList<float>>("hand");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("3 3 8 8 found exactly")
        << QList<float>{3, 3, 8, 8} << QStringList{"", "", "", "8/(3-8/3)", ""};
    QTest::newRow("3 5 9 8 as in single precision")
        << QList<float>{3, 5, 9, 8}
        << QStringList{"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)", "9*(8-5)-3"};
    QTest::newRow("1 1 1 1") << QList<float>{1, 1, 1, 1} << QStringList{"", "", "", "", ""};
    // The float stored for 1.1 is not 11/10: times 10 it rounds to 11 in single
    // precision, but is not 11 exactly.
    QTest::newRow("stored 1.1 is not 11/10")
        << QList<float>{1.1f, 10, 13, 1} << QStringList{"", "", "", "", ""};
}

void TestModQuaddle::exactSearch()
{
    QFETCH(QList<float>, hand);
    QFETCH(QStringList, expected);

    setHand(hand);
    FindSolutionsExact();
    QCOMPARE(slotTexts(), expected);
}

void TestModQuaddle::exactSweep()
{
    int unsolvable = 0;
    for (const QList<float> &hand : everyHand()) {
        init();
        setHand(hand);
        FindSolutionsExact();
        const QStringList texts = slotTexts();
        if (texts.join(QString()).isEmpty())
            ++unsolvable;
        for (const QString &text : texts) {
            if (!text.isEmpty())
                QVERIFY2(exact::evaluate(text.toStdString()) == (exact::Fraction{24, 1}),
                         qPrintable(text));
        }
    }
    QCOMPARE(unsolvable, 458);
}

void TestModQuaddle::rational()
{
    QCOMPARE(Rational::fromFloat(1.1f).toString(), std::string("9227469/8388608"));
    QCOMPARE(Rational::fromFloat(12.5f).toString(), std::string("25/2"));
    QCOMPARE(Rational::fromFloat(0.0f).toString(), std::string("0"));
    QCOMPARE((Rational(8) - Rational(8).dividedBy(3).value()).toString(), std::string("16/3"));
    QVERIFY(!Rational(7).dividedBy(Rational(0)).has_value());
    QVERIFY_THROWS_EXCEPTION(std::domain_error, Rational::fromFloat(qInf()));

    // Products of stored decimals grow quickly; past 127 bits they are
    // reported, never wrapped.
    Rational big = Rational::fromFloat(1.1f);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, [&] {
        for (int i = 0; i < 10; ++i)
            big = big * big;
    }());
}

QTEST_GUILESS_MAIN(TestModQuaddle)
#include "tst_modquaddle.moc"
