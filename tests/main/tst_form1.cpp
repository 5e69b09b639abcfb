// Tests of the main window, driven through its real controls: layout, focus,
// the Calculate command end to end with its warnings, and closing.
#include "form1driver.h"
#include "hands.h"
#include "main/form1.h"
#include "messageboxrecorder.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QtTest>

#include <memory>

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString emptyWarning = QStringLiteral("请输入数字！");
const QString rangeWarning = QStringLiteral("请输入一个1－13的数！");

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensReady();
    void layout_data();
    void layout();
    void tabOrder();
    void calculate_data();
    void calculate();
    void rejectedEntryKeepsStoredNumber();
    void resultReplacesEarlierResult();
    void enterInEntryBoxCalculates();
    void keyboardOnButtons();
    void escapeDoesNothing();
    void accessibleNamesTellBoxesApart();
    void fitsUnderLargeDesktopFont_data();
    void fitsUnderLargeDesktopFont();
    void exitUnloads();
    void closeButtonUnloads();

private:
    Form1Driver driver() const { return Form1Driver(*m_form); }
    QLineEdit *entry(int k) const { return driver().entry(k); }
    QPushButton *button(const char *name) const { return driver().button(name); }
    QString resultText() const { return driver().resultText(); }
    void setEntries(const QStringList &texts) { driver().setEntries(texts); }

    QPointer<Form1> m_form;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

void TestForm1::init()
{
    modQuaddle::Num.fill(0.0f);
    modQuaddle::clearResults();
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = &toolkit::form<Form1>();
    m_form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestForm1::cleanup()
{
    if (m_form)
        m_form->Unload();
    QTRY_VERIFY(!toolkit::formExists<Form1>());
    m_boxes.reset();
}

void TestForm1::opensReady()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Quaddle ") + QLatin1String(maker::webAddress));
    QCOMPARE(resultText(), QString()); // never "Text1"
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(entry(k)->text(), QStringList({"3", "5", "9", "8"}).at(k - 1));
    QCOMPARE(QApplication::focusWidget(), button("cmdJiSuan"));
    QCOMPARE(button("cmdJiSuan")->text(), QStringLiteral("计算"));
    QCOMPARE(button("cmdExit")->text(), QStringLiteral("退出"));
    QCOMPARE(m_form->findChild<QLabel *>("Label1")->text(), QStringLiteral("请输入4个数:"));
    QCOMPARE(m_form->findChild<QLabel *>("Label2")->text(), QStringLiteral("计算结果:"));
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");

    // Designed in twips; 15 twips are one pixel.
    QTest::newRow("Label1") << "Label1" << QRect(9, 6, 117, 23);
    QTest::newRow("TxtNum1") << "TxtNum1" << QRect(27, 33, 40, 22);
    QTest::newRow("TxtNum2") << "TxtNum2" << QRect(74, 33, 40, 22);
    QTest::newRow("TxtNum3") << "TxtNum3" << QRect(121, 33, 40, 22);
    QTest::newRow("TxtNum4") << "TxtNum4" << QRect(168, 33, 40, 22);
    QTest::newRow("Label2") << "Label2" << QRect(9, 66, 69, 17);
    QTest::newRow("Text1") << "Text1" << QRect(26, 88, 177, 68);
    QTest::newRow("cmdJiSuan") << "cmdJiSuan" << QRect(31, 176, 59, 23);
    QTest::newRow("cmdExit") << "cmdExit" << QRect(134, 176, 59, 23);
}

void TestForm1::layout()
{
    QFETCH(QString, control);
    QFETCH(QRect, geometry);

    QCOMPARE(m_form->size(), QSize(231, 206));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize()); // fixed size
    auto *widget = m_form->findChild<QWidget *>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
}

void TestForm1::fitsUnderLargeDesktopFont_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("11 pt") << 11;
    QTest::newRow("12 pt") << 12;
}

// Whatever font the desktop uses, the window keeps the one its layout was
// drawn for: every label and button holds its text, and the result box shows
// all four lines of every whole-number hand, none wrapped or cut off.
void TestForm1::fitsUnderLargeDesktopFont()
{
    QFETCH(int, points);

    const QFont desktopFont = QApplication::font();
    const auto restoreFont = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));
    m_form->Unload();
    QTRY_VERIFY(!toolkit::formExists<Form1>());
    m_form = &toolkit::form<Form1>();
    m_form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));

    for (auto *label : m_form->findChildren<QLabel *>()) {
        const QRect text = label->fontMetrics().boundingRect(label->text());
        QVERIFY2(text.width() <= label->width() && text.height() <= label->height(),
                 qPrintable(label->objectName()));
    }
    for (auto *button : m_form->findChildren<QPushButton *>())
        QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 8);

    auto *box = m_form->findChild<toolkit::MultiLineTextBox *>(QStringLiteral("Text1"));
    for (const modQuaddle::Hand &hand : modQuaddle::allHands()) {
        QStringList entries;
        for (const float number : hand)
            entries << QString::number(number);
        setEntries(entries);
        driver().calculate();
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        QVERIFY2(box->cursorRect(end).bottom() < box->viewport()->height(),
                 qPrintable(entries.join(' ')));
        for (QTextBlock line = box->document()->begin(); line.isValid(); line = line.next())
            QVERIFY2(line.layout()->lineCount() <= 1, qPrintable(line.text()));
    }
}

void TestForm1::tabOrder()
{
    const QStringList expected{"TxtNum1", "TxtNum2", "TxtNum3",  "TxtNum4",
                               "Text1",   "cmdExit", "cmdJiSuan"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

void TestForm1::calculate_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("result");

    QTest::newRow("3 5 9 8") << QStringList{"3", "5", "9", "8"} << QStringList{}
                             << QStringList{"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)"}.join(
                                    crlf);
    QTest::newRow("only the third shape")
        << QStringList{"1", "4", "5", "6"} << QStringList{} << crlf + "6/(5/4-1)";
    QTest::newRow("no solution") << QStringList{"1", "1", "1", "1"} << QStringList{} << QString();
    QTest::newRow("3 3 8 8 misses in single precision")
        << QStringList{"3", "3", "8", "8"} << QStringList{} << QString();
    QTest::newRow("fractions") << QStringList{"2.5", "2.5", "4", "1"} << QStringList{}
                               << "(1+2.5+2.5)*4" + crlf + "4*(1+2.5+2.5)" + crlf + "4*(1+2.5+2.5)";
    QTest::newRow("entries as typed: 7, 10, 13, 12")
        << QStringList{" 7", "1e1", "&HD", "1 2"} << QStringList{}
        << QStringList{"(13+7)*12/10", "12/10*(13+7)", "12*(13+7)/10", "12/(10/(13+7))"}.join(crlf);
    QTest::newRow("two empty boxes, in box order")
        << QStringList{"3", "", "9", ""} << QStringList{emptyWarning, emptyWarning} << QString();
    // At the first click a rejected box takes part as 0.
    QTest::newRow("empty fourth box searches with 0")
        << QStringList{"3", "5", "9", ""} << QStringList{emptyWarning}
        << QStringList{"(0+5)*3+9", "0+9+5*3", "0+5*3+9", "0+9+5*3"}.join(crlf);
    QTest::newRow("each kind of warning")
        << QStringList{"", "abc", "14", "0.99"}
        << QStringList{emptyWarning, rangeWarning, rangeWarning, rangeWarning} << QString();
}

void TestForm1::calculate()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, warnings);
    QFETCH(QString, result);

    setEntries(entries);
    QTest::mouseClick(button("cmdJiSuan"), Qt::LeftButton);
    QCOMPARE(m_boxes->prompts(), warnings);
    for (const QString &title : m_boxes->titles())
        QCOMPARE(title, QStringLiteral("Quaddle"));
    QCOMPARE(resultText(), result);
}

void TestForm1::rejectedEntryKeepsStoredNumber()
{
    QTest::mouseClick(button("cmdJiSuan"), Qt::LeftButton);
    const QString first = resultText();
    QVERIFY(!first.isEmpty());

    entry(1)->setText(QStringLiteral("abc"));
    QTest::mouseClick(button("cmdJiSuan"), Qt::LeftButton);
    QCOMPARE(m_boxes->prompts(), QStringList{rangeWarning});
    QCOMPARE(modQuaddle::Num[1], 3.0f);
    QCOMPARE(resultText(), first);
}

void TestForm1::resultReplacesEarlierResult()
{
    QTest::mouseClick(button("cmdJiSuan"), Qt::LeftButton);
    QVERIFY(!resultText().isEmpty());
    setEntries({"1", "1", "1", "1"});
    QTest::mouseClick(button("cmdJiSuan"), Qt::LeftButton);
    QCOMPARE(resultText(), QString());
}

void TestForm1::enterInEntryBoxCalculates()
{
    QLineEdit *box = entry(2);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("4"));
    setEntries({"1", "4", "5", "6"});
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(resultText(), crlf + "6/(5/4-1)");
    QVERIFY(m_boxes->prompts().isEmpty());
}

void TestForm1::keyboardOnButtons()
{
    QPushButton *calculate = button("cmdJiSuan");
    QTest::keyClick(calculate, Qt::Key_Space);
    QVERIFY(!resultText().isEmpty());
    m_form->findChild<toolkit::MultiLineTextBox *>("Text1")->setText(QString());
    QTest::keyClick(calculate, Qt::Key_Return);
    QVERIFY(!resultText().isEmpty());

    QPointer<Form1> form = m_form;
    QTest::keyClick(button("cmdExit"), Qt::Key_Return);
    QTRY_VERIFY(form.isNull());
}

void TestForm1::escapeDoesNothing()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(entry(1), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_form);
    QVERIFY(m_form->isVisible());
    QCOMPARE(resultText(), QString());
}

void TestForm1::accessibleNamesTellBoxesApart()
{
    QSet<QString> names;
    for (QWidget *control : m_form->findChildren<QWidget *>()) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        const QString name = control->accessibleName().isEmpty()
                                 ? qobject_cast<QAbstractButton *>(control)->text()
                                 : control->accessibleName();
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        names.insert(name);
    }
    QCOMPARE(names.size(), 7); // four boxes, the result box, two buttons
}

void TestForm1::exitUnloads()
{
    QPointer<Form1> form = m_form;
    QTest::mouseClick(button("cmdExit"), Qt::LeftButton);
    QTRY_VERIFY(form.isNull());
    QVERIFY(!toolkit::formExists<Form1>());
}

void TestForm1::closeButtonUnloads()
{
    QPointer<Form1> form = m_form;
    m_form->close();
    QTRY_VERIFY(form.isNull());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
