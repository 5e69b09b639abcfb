// How the Qt backend draws the windows: fixed sizes, palettes, fonts that
// shrink no further than they must and fit their boxes under any desktop
// font, text readable on a dark theme, the window icon, the real warning box
// and the result box's lines.
#include "about/frmabout.h"
#include "about/startup.h"
#include "form1driver.h"
#include "hands.h"
#include "main/form1.h"
#include "messageboxrecorder.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"
#include "toolkit/qt/qtwindow.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QtTest>

namespace {

// Opens the program-wide instance of a window, after `apply` (a desktop
// palette or font, which Qt gives windows as they are made).
template <typename Window, typename Apply> QWidget *reopen(Apply &&apply)
{
    if (toolkit::formExists<Window>()) {
        toolkit::form<Window>().Unload();
        if (!QTest::qWaitFor([] { return !toolkit::formExists<Window>(); }))
            return nullptr;
    }
    apply();
    toolkit::form<Window>().Show();
    QWidget *window = toolkit::qt::widget(toolkit::form<Window>());
    return QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

template <typename Window> QWidget *open()
{
    return reopen<Window>([] {});
}

QString qStringFrom(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Window> void close()
{
    if (toolkit::formExists<Window>())
        toolkit::form<Window>().Unload();
    QTRY_VERIFY(!toolkit::formExists<Window>());
}

} // namespace

class TestQtLook : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void windowsKeepTheirSize();
    void mainFitsUnderLargeDesktopFont_data();
    void mainFitsUnderLargeDesktopFont();
    void accessibleNamesTellBoxesApart();

    void aboutLooks();
    void aboutTextsShrinkOnlyAsFarAsNeeded();
    void aboutFitsUnderLargeDesktopFont();
    void aboutReadableOnDarkTheme_data();
    void aboutReadableOnDarkTheme();

    void shownWindowGetsIcon();
    void realWarningBox();
    void realBoxIsBackAfterRecorder();
    void multiLineTextHasOneBlockPerLine_data();
    void multiLineTextHasOneBlockPerLine();
};

void TestQtLook::cleanup()
{
    close<Form1>();
    close<frmAbout>();
}

// The user cannot resize or maximise a window whose layout is fixed.
void TestQtLook::windowsKeepTheirSize()
{
    for (QWidget *window : {open<Form1>(), open<frmAbout>()}) {
        QVERIFY(window);
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->size(), window->minimumSize());
    }
}

void TestQtLook::mainFitsUnderLargeDesktopFont_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("11 pt") << 11;
    QTest::newRow("12 pt") << 12;
}

// Whatever font the desktop uses, the window keeps the one its layout was
// drawn for: every label and button holds its text, and the result box shows
// all four lines of every whole-number hand, none wrapped or cut off.
void TestQtLook::mainFitsUnderLargeDesktopFont()
{
    QFETCH(int, points);

    const QFont desktopFont = QApplication::font();
    const auto restoreFont = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    QWidget *window =
        reopen<Form1>([&] { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points)); });
    QVERIFY(window);

    for (auto *label : window->findChildren<QLabel *>()) {
        const QRect text = label->fontMetrics().boundingRect(label->text());
        QVERIFY2(text.width() <= label->width() && text.height() <= label->height(),
                 qPrintable(label->objectName()));
    }
    for (auto *button : window->findChildren<QPushButton *>())
        QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 8);

    const Form1Driver driver(toolkit::form<Form1>());
    MessageBoxRecorder boxes;
    auto *box = window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    for (const modQuaddle::Hand &hand : modQuaddle::allHands()) {
        std::vector<std::string> entries;
        for (const float number : hand)
            entries.push_back(QString::number(number).toStdString());
        driver.setEntries(entries);
        driver.calculate();
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        QVERIFY2(box->cursorRect(end).bottom() < box->viewport()->height(),
                 entries.front().c_str());
        for (QTextBlock line = box->document()->begin(); line.isValid(); line = line.next())
            QVERIFY2(line.layout()->lineCount() <= 1, qPrintable(line.text()));
    }
}

void TestQtLook::accessibleNamesTellBoxesApart()
{
    QWidget *window = open<Form1>();
    QVERIFY(window);
    QSet<QString> names;
    for (QWidget *control : window->findChildren<QWidget *>()) {
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

void TestQtLook::aboutLooks()
{
    QWidget *about = open<frmAbout>();
    QVERIFY(about);
    const auto control = [&](const char *name) {
        return about->findChild<QWidget *>(QLatin1String(name));
    };
    const QColor pink(255, 192, 255);
    QCOMPARE(about->palette().color(QPalette::Window), pink);
    QCOMPARE(control("Frame1")->palette().color(QPalette::Window), pink);
    QCOMPARE(control("txtPromo1")->palette().color(QPalette::Base), pink);
    QCOMPARE(control("txtPromo2")->palette().color(QPalette::Base), pink);
    QCOMPARE(control("labTime")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(control("labTime")->palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(qobject_cast<QGroupBox *>(control("Frame1"))->title().isEmpty());
    QVERIFY(control("Frame1")->geometry().right() >= about->width()); // cut off
    // The designed calligraphic face where it is installed, else the one we install.
    const QString calligraphic = QFontDatabase::hasFamily(QStringLiteral("隶书"))
                                     ? QStringLiteral("隶书")
                                     : QStringLiteral("AR PL UKai CN");
    QCOMPARE(control("lblVersion")->font().families().first(), calligraphic);
    QCOMPARE(control("labWeb")->font(), control("labEmail")->font()); // one contact row
    QCOMPARE(control("labWeb")->font(), control("labQQ")->font());
    for (const char *link : {"labWeb", "labEmail", "Label1"})
        QCOMPARE(control(link)->cursor().shape(), Qt::PointingHandCursor);
    for (const char *promo : {"txtPromo1", "txtPromo2"}) {
        const auto *box = qobject_cast<QPlainTextEdit *>(control(promo));
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box->textCursor().position(), 0); // the caret at the top left
        QVERIFY(!box->isReadOnly());
    }
}

// A text that must shrink to fit keeps its designed weight and is set as
// large as fits: half a point more would not. A row of texts that share one
// size shrinks as far as the widest of them needs.
void TestQtLook::aboutTextsShrinkOnlyAsFarAsNeeded()
{
    QWidget *about = open<frmAbout>();
    QVERIFY(about);
    // Each group of labels that share one size; a label alone is a group of one.
    struct Group {
        double designed = 0;
        QList<const QLabel *> labels;
    };
    QMap<int, Group> groups;
    const auto &controls = toolkit::form<frmAbout>().design().controls;
    for (int i = 0; i < int(controls.size()); ++i) {
        const toolkit::ControlSpec &design = controls[std::size_t(i)];
        if (!design.shrinkToFit)
            continue;
        const auto *label = about->findChild<QLabel *>(qStringFrom(design.name));
        QVERIFY(label);
        const QFont font = label->font();
        QVERIFY2(font.bold() == (design.font->weight >= 700), qPrintable(label->objectName()));
        QVERIFY2(font.pointSizeF() <= design.font->points, qPrintable(label->objectName()));
        QVERIFY2(font.pointSizeF() >= design.font->points * 0.6, qPrintable(label->objectName()));
        Group &group = groups[design.fitGroup ? design.fitGroup : -1 - i];
        group.designed = design.font->points;
        group.labels << label;
    }
    for (const Group &group : std::as_const(groups)) {
        const qreal points = group.labels.front()->font().pointSizeF();
        bool tight = false;
        for (const QLabel *label : group.labels) {
            QCOMPARE(label->font().pointSizeF(), points);
            QFont larger = label->font();
            larger.setPointSizeF(points + 0.5);
            tight =
                tight || QFontMetricsF(larger).horizontalAdvance(label->text()) > label->width();
        }
        QVERIFY2(points == group.designed || tight, qPrintable(group.labels.front()->objectName()));
    }
}

void TestQtLook::aboutFitsUnderLargeDesktopFont()
{
    const QFont desktopFont = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    QWidget *about =
        reopen<frmAbout>([] { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12)); });
    QVERIFY(about);

    for (auto *label : about->findChildren<QLabel *>()) {
        // Top-aligned: the ink ends its lowest pixel below the first baseline.
        const QFontMetricsF metrics(label->font());
        const QSizeF text(metrics.horizontalAdvance(label->text()),
                          metrics.ascent() + metrics.tightBoundingRect(label->text()).bottom());
        QVERIFY2(text.width() <= label->width() && text.height() <= label->height(),
                 qPrintable(QStringLiteral("%1: %2x%3 in %4x%5")
                                .arg(label->objectName())
                                .arg(text.width())
                                .arg(text.height())
                                .arg(label->width())
                                .arg(label->height())));
    }
}

void TestQtLook::aboutReadableOnDarkTheme_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Label1", "lblVersion", "labEmail", "labWeb", "labQQ", "txtPromo1",
                             "txtPromo2", "labTime", "lbl"})
        QTest::newRow(name) << name;
}

// Light text on a dark desktop would vanish on the window's designed pink:
// every text drawn on a designed background has a designed dark colour.
void TestQtLook::aboutReadableOnDarkTheme()
{
    QFETCH(QString, name);

    const QPalette desktopPalette = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(desktopPalette); });
    QWidget *about = reopen<frmAbout>([] {
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x24, 0x24, 0x24));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xee, 0xee, 0xee));
        QApplication::setPalette(dark);
    });
    QVERIFY(about);

    const auto *control = about->findChild<QWidget *>(name);
    const QColor text = control->palette().color(control->foregroundRole());
    const QColor background = control->palette().color(control->backgroundRole());
    QVERIFY2(qGray(background.rgb()) - qGray(text.rgb()) > 100,
             qPrintable(text.name() + " on " + background.name()));
}

void TestQtLook::shownWindowGetsIcon()
{
    QWidget *window = open<Form1>();
    QVERIFY(window);
    QTRY_VERIFY(!window->windowIcon().isNull());
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (const int side : {16, 32, 64})
        QVERIFY(sizes.contains(QSize(side, side)));
}

void TestQtLook::realWarningBox()
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool appModal = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        appModal = box->windowModality() == Qt::ApplicationModal;
        for (QAbstractButton *button : box->buttons())
            buttons << (box->standardButton(button) == QMessageBox::Ok ? "Ok " : "other ") +
                           button->text();
        box->button(QMessageBox::Ok)->click();
    });
    toolkit::MsgBoxWarning("请输入数字！");
    QCOMPARE(title, QStringLiteral("Quaddle"));
    QCOMPARE(text, QStringLiteral("请输入数字！"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QStringList{"Ok 确定"});
    QVERIFY(appModal);
}

void TestQtLook::realBoxIsBackAfterRecorder()
{
    {
        MessageBoxRecorder recorder;
        toolkit::MsgBoxWarning("one");
        QCOMPARE(recorder.prompts().size(), std::size_t(1));
    }
    // Once the recorder is gone the real box is back: close it as it appears.
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = true;
            box->accept();
        }
    });
    toolkit::MsgBoxWarning("three");
    QVERIFY(shown);
}

void TestQtLook::multiLineTextHasOneBlockPerLine_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << "(8-5)*9-3";
    QTest::newRow("two lines") << "A\r\nC";
    QTest::newRow("empty first line") << "\r\nB";
}

// Lines are the box's own lines, not one line with carriage returns in it.
void TestQtLook::multiLineTextHasOneBlockPerLine()
{
    QFETCH(QString, text);
    QWidget *window = open<Form1>();
    QVERIFY(window);
    toolkit::form<Form1>().control("Text1").setText(text.toStdString());
    const auto *box = window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    QCOMPARE(box->document()->blockCount(), int(text.count(QLatin1String("\r\n"))) + 1);
    QVERIFY(!box->toPlainText().contains(QLatin1Char('\r')));
}

QTEST_MAIN(TestQtLook)
#include "tst_qtlook.moc"
