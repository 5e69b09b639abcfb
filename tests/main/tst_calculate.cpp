// Tests of what the Calculate command does without a window: the leading-number
// conversion, the check of one entry, and the joining of the result slots.
#include "main/calculate.h"
#include "main/leadingnumber.h"
#include "modQuaddle.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestCalculate : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void leadingNumber_data();
    void leadingNumber();
    void leadingNumberOfHugeTexts_data();
    void leadingNumberOfHugeTexts();
    void checkEntry_data();
    void checkEntry();
    void resultText_data();
    void resultText();
};

void TestCalculate::cleanup()
{
    modQuaddle::clearResults();
}

void TestCalculate::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("1") << "1" << 1.0;
    QTest::newRow("13") << "13" << 13.0;
    QTest::newRow("leading blank") << " 7" << 7.0;
    QTest::newRow("trailing letters") << "7abc" << 7.0;
    QTest::newRow("exponent") << "1e1" << 10.0;
    QTest::newRow("capital exponent, signed") << "25E-1" << 2.5;
    QTest::newRow("hex") << "&HD" << 13.0;
    QTest::newRow("hex 14") << "&HE" << 14.0;
    QTest::newRow("blank inside") << "1 2" << 12.0;
    QTest::newRow("tabs and line feeds anywhere") << "\t1\n2 . 5" << 12.5;
    QTest::newRow("blank inside exponent") << "1e 1" << 10.0;
    QTest::newRow("blank inside hex prefix") << "& H D" << 13.0;
    QTest::newRow("negative") << "-5" << -5.0;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("lone blank") << " " << 0.0;
    QTest::newRow("lone minus") << "-" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("e without digits") << "2e" << 2.0;
    QTest::newRow("e with sign only") << "2e+" << 2.0;
    QTest::newRow("d is no exponent") << "1d1" << 1.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("lowercase hex") << "&h1f" << 31.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("lowercase octal") << "&o7" << 7.0;
    QTest::newRow("8 is no octal digit") << "&O8" << 0.0;
    QTest::newRow("hex is unsigned") << "&HFFFF" << 65535.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("other prefix") << "&X1" << 0.0;
    QTest::newRow("sign before hex") << "-&HD" << 0.0;
    QTest::newRow("carriage return is not skipped") << "\r7" << 0.0;
    QTest::newRow("no-break space is not skipped") << QString::fromUtf16(u"\u00A07") << 0.0;
    QTest::newRow("full-width digit") << QString::fromUtf16(u"\uFF17") << 0.0;
    QTest::newRow("right-to-left mark") << QString::fromUtf16(u"\u200F7") << 0.0;
    QTest::newRow("emoji after number") << QString::fromUtf16(u"7\U0001F600") << 7.0;
    QTest::newRow("NUL ends the number") << QString::fromUtf16(u"7\u00008", 3) << 7.0;
    QTest::newRow("beyond double range") << "1e999" << inf;
    QTest::newRow("beyond double range, negative") << "-1e400" << -inf;
    QTest::newRow("below double range") << "1e-999" << 0.0;
    QTest::newRow("huge exponent digits") << "1e99999999999999999999999" << inf;
    QTest::newRow("12.99999999") << "12.99999999" << 12.99999999;
    QTest::newRow("13.0000001") << "13.0000001" << 13.0000001;
}

void TestCalculate::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::leadingNumber(text), value);
}

void TestCalculate::leadingNumberOfHugeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("10,000 digits") << "1" + QString(9999, '0') << inf;
    QTest::newRow("10,000 leading zeros") << QString(10000, '0') + "7" << 7.0;
    QTest::newRow("10,000 zeros after the point") << "0." + QString(10000, '0') + "1" << 0.0;
    QTest::newRow("many digits, small exponent") << "1" + QString(10000, '0') + "e-10000" << 1.0;
    QTest::newRow("300 hex digits") << "&H" + QString(300, 'F') << inf;
    QTest::newRow("a pasted megabyte of digits") << QString(1 << 20, '7') << inf;
    QTest::newRow("a pasted megabyte of blanks") << QString(1 << 20, ' ') + "7" << 7.0;
    QTest::newRow("a pasted megabyte of text") << "8" + QString(1 << 20, 'x') << 8.0;
}

void TestCalculate::leadingNumberOfHugeTexts()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::leadingNumber(text), value);
}

void TestCalculate::checkEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<float>("stored");
    QTest::addColumn<QString>("warning");

    const QString range = calculate::outOfRangeMessage();
    QTest::newRow("1") << "1" << true << 1.0f << QString();
    QTest::newRow("13") << "13" << true << 13.0f << QString();
    QTest::newRow("2.5") << "2.5" << true << 2.5f << QString();
    QTest::newRow("1.1 as the nearest float") << "1.1" << true << 1.1f << QString();
    QTest::newRow("12.99999999 stored as 13") << "12.99999999" << true << 13.0f << QString();
    QTest::newRow("&HD") << "&HD" << true << 13.0f << QString();
    QTest::newRow("empty") << "" << false << 0.0f << calculate::emptyEntryMessage();
    QTest::newRow("0.99") << "0.99" << false << 0.0f << range;
    QTest::newRow("13.01") << "13.01" << false << 0.0f << range;
    QTest::newRow("13.0000001 though it rounds to 13") << "13.0000001" << false << 0.0f << range;
    QTest::newRow("0.99999999 though it rounds to 1") << "0.99999999" << false << 0.0f << range;
    QTest::newRow("&HE") << "&HE" << false << 0.0f << range;
    QTest::newRow("-5") << "-5" << false << 0.0f << range;
    QTest::newRow("abc") << "abc" << false << 0.0f << range;
    QTest::newRow("lone blank") << " " << false << 0.0f << range;
    QTest::newRow("beyond double range") << "1e999" << false << 0.0f << range;
    QTest::newRow("hex too long for any integer")
        << "&H" + QString(40, 'F') << false << 0.0f << range;
}

void TestCalculate::checkEntry()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(float, stored);
    QFETCH(QString, warning);

    const calculate::EntryCheck entry = calculate::checkEntry(text);
    QCOMPARE(entry.value.has_value(), accepted);
    if (accepted)
        QCOMPARE(*entry.value, stored);
    QCOMPARE(entry.warning, warning);
}

void TestCalculate::resultText_data()
{
    QTest::addColumn<QStringList>("slotTexts");
    QTest::addColumn<QString>("text");

    QTest::newRow("all empty") << QStringList{"", "", "", "", ""} << QString();
    QTest::newRow("gaps") << QStringList{"A", "", "C", "", ""} << "A\r\nC";
    QTest::newRow("only the second") << QStringList{"", "B", "", "", ""} << "\r\nB";
    QTest::newRow("four") << QStringList{"A", "B", "C", "D", ""} << "A\r\nB\r\nC\r\nD";
    QTest::newRow("fifth is not shown") << QStringList{"", "", "", "", "E"} << QString();
}

void TestCalculate::resultText()
{
    QFETCH(QStringList, slotTexts);
    QFETCH(QString, text);

    for (int shape = 1; shape <= 5; ++shape)
        modQuaddle::resultSlot(shape) = slotTexts.at(shape - 1).toStdString();
    QCOMPARE(calculate::resultText(), text);
}

QTEST_GUILESS_MAIN(TestCalculate)
#include "tst_calculate.moc"
