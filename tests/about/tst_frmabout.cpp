// Tests of start-up and the About window: countdown, version, layout, hover
// colouring, link requests, hand-over to the main window and early closing.
#include "about/frmabout.h"
#include "about/startup.h"
#include "form1driver.h"
#include "main/form1.h"
#include "quaddlefacts.h"
#include "shellrecorder.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

namespace {

// A fact of the build (the maker's name and addresses) as a QString.
QString fact(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithAboutOnly();
    void countdown_data();
    void countdown();
    void countdownSurvivesAnyNumberOfTicks();
    void timerRunsFromLoad();
    void layout_data();
    void layout();
    void looks();
    void textsFitTheirBoxes_data();
    void textsFitTheirBoxes();
    void fitsUnderLargeDesktopFont();
    void readableOnDarkTheme_data();
    void readableOnDarkTheme();
    void hoverColouring_data();
    void hoverColouring();
    void linkRequests_data();
    void linkRequests();
    void doubleClickIsOneRequest_data();
    void doubleClickIsOneRequest();
    void okHandsOverToMainWindow();
    void okDoesNothingBeforeCountdownEnds();
    void closingEarlyEndsWithoutMainWindow();

private:
    template <typename T = QWidget> T *control(const char *name) const
    {
        return m_about->findChild<T *>(QLatin1String(name));
    }
    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            m_about->Timer1_Timer();
    }
    // A pointer move without buttons, through the window as the window
    // system delivers it, so Qt picks the receiver as it does in use.
    void moveOver(QWidget *widget, QPoint pos)
    {
        QTest::mouseMove(m_about->windowHandle(), widget->mapTo(m_about.data(), pos));
    }

    QPointer<frmAbout> m_about;
    std::unique_ptr<ShellRecorder> m_shell;
};

void TestFrmAbout::init()
{
    m_shell = std::make_unique<ShellRecorder>();
    startUp();
    QVERIFY(toolkit::formExists<frmAbout>());
    m_about = &toolkit::form<frmAbout>();
    QVERIFY(QTest::qWaitForWindowExposed(m_about));
}

void TestFrmAbout::cleanup()
{
    if (m_about)
        m_about->Unload();
    if (toolkit::formExists<Form1>())
        toolkit::form<Form1>().Unload();
    QTRY_VERIFY(!toolkit::formExists<frmAbout>() && !toolkit::formExists<Form1>());
    m_shell.reset();
}

void TestFrmAbout::startsWithAboutOnly()
{
    QVERIFY(m_about->isVisible());
    QVERIFY(!toolkit::formExists<Form1>());
    QCOMPARE(m_about->windowTitle(), QString());
    QCOMPARE(control<QLabel>("lblVersion")->text(), QStringLiteral("Ver:1.0.0"));
    QCOMPARE(control<QLabel>("labTime")->text(), QStringLiteral(" 9"));
    QVERIFY(!control("cmdOk")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), control("txtPromo2"));
}

void TestFrmAbout::countdown_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("okEnabled");

    QTest::newRow("0") << 0 << " 9" << false;
    QTest::newRow("1") << 1 << " 9" << false;
    QTest::newRow("2") << 2 << " 8" << false;
    QTest::newRow("5") << 5 << " 5" << false;
    QTest::newRow("9") << 9 << " 1" << false;
    QTest::newRow("10") << 10 << " 1" << true;
    QTest::newRow("11") << 11 << " 1" << true;
}

void TestFrmAbout::countdown()
{
    QFETCH(int, ticks);
    QFETCH(QString, shown);
    QFETCH(bool, okEnabled);

    tick(ticks);
    QCOMPARE(control<QLabel>("labTime")->text(), shown);
    QCOMPARE(control("cmdOk")->isEnabled(), okEnabled);
}

void TestFrmAbout::countdownSurvivesAnyNumberOfTicks()
{
    // Past the 32,767 ticks (nine hours) a 16-bit count would overflow at.
    tick(70000);
    QCOMPARE(control<QLabel>("labTime")->text(), QStringLiteral(" 1"));
    QVERIFY(control("cmdOk")->isEnabled());
}

void TestFrmAbout::timerRunsFromLoad()
{
    auto *timer = m_about->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void TestFrmAbout::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");

    // Twips divided by 15; the promotional boxes relative to Frame1.
    QTest::newRow("Label1") << "Label1" << QRect(158, 3, 217, 37);
    QTest::newRow("lblVersion") << "lblVersion" << QRect(402, 25, 114, 20);
    QTest::newRow("labEmail") << "labEmail" << QRect(208, 53, 212, 24);
    QTest::newRow("labWeb") << "labWeb" << QRect(10, 54, 187, 24);
    QTest::newRow("labQQ") << "labQQ" << QRect(431, 54, 115, 24);
    QTest::newRow("Frame1") << "Frame1" << QRect(7, 79, 585, 134);
    QTest::newRow("txtPromo2") << "txtPromo2" << QRect(9, 13, 280, 111);
    QTest::newRow("txtPromo1") << "txtPromo1" << QRect(296, 13, 280, 111);
    QTest::newRow("labTime") << "labTime" << QRect(18, 220, 37, 37);
    QTest::newRow("lbl") << "lbl" << QRect(66, 221, 424, 23);
    QTest::newRow("cmdOk") << "cmdOk" << QRect(494, 223, 70, 30);
}

void TestFrmAbout::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);

    QCOMPARE(m_about->size(), QSize(586, 261));
    QCOMPARE(m_about->minimumSize(), m_about->maximumSize());
    auto *widget = m_about->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
}

void TestFrmAbout::looks()
{
    const QColor pink(255, 192, 255);
    QCOMPARE(m_about->palette().color(QPalette::Window), pink);
    QCOMPARE(control("Frame1")->palette().color(QPalette::Window), pink);
    QCOMPARE(control("txtPromo1")->palette().color(QPalette::Base), pink);
    QCOMPARE(control("txtPromo2")->palette().color(QPalette::Base), pink);
    QCOMPARE(control("labTime")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(control("labTime")->palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(control<QGroupBox>("Frame1")->title().isEmpty());
    QVERIFY(control("Frame1")->geometry().right() >= m_about->width()); // cut off
    QCOMPARE(control<QLabel>("Label1")->text(), fact(maker::name) + QStringLiteral("软件欢迎您"));
    QCOMPARE(control<QLabel>("labWeb")->text(), "Web:" + fact(maker::webAddress));
    QCOMPARE(control<QLabel>("labEmail")->text(), "Email:" + fact(maker::emailAddress));
    QVERIFY(control<QLabel>("labQQ")->text().startsWith(QStringLiteral("QQ:")));
    QCOMPARE(control<QLabel>("lbl")->text(),
             QStringLiteral("欢迎使用我们的软件，本工作室接受软件定制"));
    QCOMPARE(control<QPushButton>("cmdOk")->text(), QStringLiteral("知道了"));
    // The designed calligraphic face where it is installed, else the one we install.
    const QString calligraphic = QFontDatabase::hasFamily(QStringLiteral("隶书"))
                                     ? QStringLiteral("隶书")
                                     : QStringLiteral("AR PL UKai CN");
    QCOMPARE(control("lblVersion")->font().families().first(), calligraphic);
    QCOMPARE(control("labWeb")->font(), control("labEmail")->font()); // one contact row
    QCOMPARE(control("labWeb")->font(), control("labQQ")->font());
    QCOMPARE(control("labWeb")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(control("labEmail")->cursor().shape(), Qt::PointingHandCursor);
    for (const char *promo : {"txtPromo1", "txtPromo2"}) {
        const auto *box = control<toolkit::MultiLineTextBox>(promo);
        QVERIFY(box->Text().contains(QLatin1String("\r\n")));
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!box->isReadOnly());
    }
}

void TestFrmAbout::textsFitTheirBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("designedPoints");
    QTest::addColumn<bool>("bold");

    QTest::newRow("Label1") << "Label1" << 24.0 << true;
    QTest::newRow("lblVersion") << "lblVersion" << 15.0 << false;
    QTest::newRow("labEmail") << "labEmail" << 13.5 << false;
    QTest::newRow("labWeb") << "labWeb" << 13.5 << false;
    QTest::newRow("labQQ") << "labQQ" << 13.5 << false;
    QTest::newRow("labTime") << "labTime" << 24.0 << false;
    QTest::newRow("lbl") << "lbl" << 13.5 << false;
}

void TestFrmAbout::textsFitTheirBoxes()
{
    QFETCH(QString, name);
    QFETCH(double, designedPoints);
    QFETCH(bool, bold);

    // The designed size where the text fits, smaller only where it would not.
    const auto *label = m_about->findChild<QLabel *>(name);
    const QFont font = label->font();
    QCOMPARE(font.bold(), bold);
    QVERIFY(font.pointSizeF() <= designedPoints);
    QVERIFY(font.pointSizeF() >= designedPoints * 0.6);
    QVERIFY(QFontMetricsF(font).horizontalAdvance(label->text()) <= label->width());
    // Smaller only as far as needed: half a point more would not fit. The
    // contact row shares the smallest size of the three.
    if (font.pointSizeF() < designedPoints && !name.startsWith(QLatin1String("lab"))) {
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() + 0.5);
        QVERIFY(QFontMetricsF(larger).horizontalAdvance(label->text()) > label->width());
    }
}

// Reopens the About window under a desktop palette or font, which Qt applies
// to windows as they are made.
template <typename Apply> void reopenAbout(QPointer<frmAbout> &about, Apply &&apply)
{
    about->Unload();
    QTRY_VERIFY(about.isNull());
    apply();
    startUp();
    about = &toolkit::form<frmAbout>();
    QVERIFY(QTest::qWaitForWindowExposed(about));
}

void TestFrmAbout::fitsUnderLargeDesktopFont()
{
    const QFont desktopFont = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(desktopFont); });
    reopenAbout(m_about, [] { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 12)); });

    for (auto *label : m_about->findChildren<QLabel *>()) {
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

void TestFrmAbout::readableOnDarkTheme_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Label1", "lblVersion", "labEmail", "labWeb", "labQQ", "txtPromo1",
                             "txtPromo2", "labTime", "lbl"})
        QTest::newRow(name) << name;
}

// Light text on a dark desktop would vanish on the window's designed pink:
// every text drawn on a designed background has a designed dark colour.
void TestFrmAbout::readableOnDarkTheme()
{
    QFETCH(QString, name);

    const QPalette desktopPalette = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(desktopPalette); });
    reopenAbout(m_about, [] {
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x24, 0x24, 0x24));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xee, 0xee, 0xee));
        QApplication::setPalette(dark);
    });

    const auto *control = m_about->findChild<QWidget *>(name);
    const QColor text = control->palette().color(control->foregroundRole());
    const QColor background = control->palette().color(control->backgroundRole());
    QVERIFY2(qGray(background.rgb()) - qGray(text.rgb()) > 100,
             qPrintable(text.name() + " on " + background.name()));
}

void TestFrmAbout::hoverColouring_data()
{
    QTest::addColumn<QStringList>("path"); // controls the pointer moves over, in order
    QTest::addColumn<QColor>("web");
    QTest::addColumn<QColor>("email");

    const QColor black(0, 0, 0);
    const QColor blue(0, 0, 255);
    QTest::newRow("nothing yet") << QStringList{} << black << black;
    QTest::newRow("onto web") << QStringList{"labWeb"} << blue << black;
    QTest::newRow("onto email") << QStringList{"labEmail"} << black << blue;
    QTest::newRow("web, background, email")
        << QStringList{"labWeb", "frmAbout", "labEmail"} << black << blue;
    QTest::newRow("web then email keeps both blue")
        << QStringList{"labWeb", "labEmail"} << blue << blue;
    QTest::newRow("background turns both black")
        << QStringList{"labWeb", "labEmail", "frmAbout"} << black << black;
    QTest::newRow("other controls change nothing")
        << QStringList{"labWeb", "labQQ",  "lbl",        "Frame1", "txtPromo1",
                       "cmdOk",  "Label1", "lblVersion", "labTime"}
        << blue << black;
}

void TestFrmAbout::hoverColouring()
{
    QFETCH(QStringList, path);
    QFETCH(QColor, web);
    QFETCH(QColor, email);

    for (const QString &name : path) {
        QWidget *target = name == QLatin1String("frmAbout") ? m_about.data()
                                                            : m_about->findChild<QWidget *>(name);
        QVERIFY2(target, qPrintable(name));
        // The window's background at its top left corner holds no control.
        moveOver(target, target == m_about ? QPoint(2, 2) : QPoint(3, 3));
    }
    QCOMPARE(control<toolkit::Label>("labWeb")->foreColor(), web);
    QCOMPARE(control<toolkit::Label>("labEmail")->foreColor(), email);
}

void TestFrmAbout::linkRequests_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("document");

    QTest::newRow("web") << "labWeb" << fact(maker::webAddress);
    QTest::newRow("welcome line") << "Label1" << fact(maker::webAddress);
    QTest::newRow("e-mail") << "labEmail"
                            << "mailto:" + fact(maker::emailAddress);
}

void TestFrmAbout::linkRequests()
{
    QFETCH(QString, label);
    QFETCH(QString, document);

    QTest::mouseClick(m_about->findChild<QWidget *>(label), Qt::LeftButton);
    const toolkit::ShellRequest expected{m_about->winId(), "open",    document,
                                         QString(),        QString(), 5};
    QCOMPARE(m_shell->requests().size(), 1);
    QVERIFY(m_shell->requests().first() == expected);
    // A link works in every state before the window goes, and does nothing else.
    QVERIFY(m_about->isVisible());
    QVERIFY(!toolkit::formExists<Form1>());
}

void TestFrmAbout::doubleClickIsOneRequest_data()
{
    QTest::addColumn<QString>("label");
    for (const char *label : {"labWeb", "labEmail", "Label1"})
        QTest::newRow(label) << label;
}

void TestFrmAbout::doubleClickIsOneRequest()
{
    QFETCH(QString, label);

    // Through the window, as the window system delivers it: press, release,
    // a second press that Qt turns into a double-click, release.
    const QWidget *target = control(qPrintable(label));
    QTest::mouseDClick(m_about->windowHandle(), Qt::LeftButton, {},
                       target->mapTo(m_about.data(), target->rect().center()));
    QCOMPARE(m_shell->requests().size(), 1);
}

void TestFrmAbout::okHandsOverToMainWindow()
{
    tick(10);
    QPointer<frmAbout> about = m_about;
    QTest::mouseClick(control("cmdOk"), Qt::LeftButton);

    QVERIFY(toolkit::formExists<Form1>());
    Form1 &main = toolkit::form<Form1>();
    QVERIFY(main.isVisible());
    QTRY_VERIFY(about.isNull());
    const Form1Driver driver(main);
    QCOMPARE(driver.resultText(), QString());
    QCOMPARE(driver.entries(), (QStringList{"3", "5", "9", "8"}));
}

void TestFrmAbout::okDoesNothingBeforeCountdownEnds()
{
    tick(9);
    QTest::mouseClick(control("cmdOk"), Qt::LeftButton);
    QTest::keyClick(control("cmdOk"), Qt::Key_Space);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_about);
    QVERIFY(!toolkit::formExists<Form1>());
}

void TestFrmAbout::closingEarlyEndsWithoutMainWindow()
{
    tick(3);
    QPointer<frmAbout> about = m_about;
    m_about->close();
    QTRY_VERIFY(about.isNull());
    QVERIFY(!toolkit::formExists<Form1>());
    // No window is left, so Qt ends the program.
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
