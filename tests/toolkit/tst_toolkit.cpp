// Tests of the toolkit layer: loading and unloading windows, single instances,
// the real warning box, version numbers and multi-line text.
#include "messageboxrecorder.h"
#include "toolkit/toolkit.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

namespace {

class ProbeForm : public toolkit::Form
{
public:
    ProbeForm()
    {
        m_timer = addTimer(1000);
        resize(200, 100);
        // Tracks the pointer but leaves every move to its parent.
        m_tracker = new QWidget(this);
        m_tracker->setGeometry(100, 0, 100, 100);
        m_tracker->setMouseTracking(true);
    }

    int loads = 0;
    int backgroundMoves = 0;
    bool timerRunningAtLoad = false;
    QTimer *m_timer;
    QWidget *m_tracker;

protected:
    void Form_Load() override
    {
        ++loads;
        timerRunningAtLoad = m_timer->isActive();
    }
    void Form_MouseMove() override { ++backgroundMoves; }
};

} // namespace

class TestToolkit : public QObject
{
    Q_OBJECT

private slots:
    void showLoadsOnce();
    void shownWindowGetsIcon();
    void unloadDestroysAndFormCreatesAnew();
    void closeButtonUnloads();
    void onlyBackgroundMovesReachForm();
    void realWarningBox();
    void recorderStandsIn();
    void versionNumbers();
    void multiLineTextUsesCrLf_data();
    void multiLineTextUsesCrLf();
};

void TestToolkit::showLoadsOnce()
{
    ProbeForm &form = toolkit::form<ProbeForm>();
    QVERIFY(!form.isLoaded());
    QVERIFY(!form.m_timer->isActive());
    form.Show();
    form.Show();
    QCOMPARE(form.loads, 1);
    QVERIFY(form.timerRunningAtLoad);
    QVERIFY(form.isVisible());
    form.Unload();
    QTRY_VERIFY(!toolkit::formExists<ProbeForm>());
}

void TestToolkit::shownWindowGetsIcon()
{
    QPointer<ProbeForm> form = &toolkit::form<ProbeForm>();
    form->Show();
    QTRY_VERIFY(!form->windowIcon().isNull());
    const QList<QSize> sizes = form->windowIcon().availableSizes();
    for (const int side : {16, 32, 64})
        QVERIFY(sizes.contains(QSize(side, side)));
    form->Unload();
    QTRY_VERIFY(form.isNull());
}

void TestToolkit::unloadDestroysAndFormCreatesAnew()
{
    QPointer<ProbeForm> first = &toolkit::form<ProbeForm>();
    QCOMPARE(&toolkit::form<ProbeForm>(), first.data());
    first->Show();
    first->Unload();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!toolkit::formExists<ProbeForm>());

    ProbeForm &second = toolkit::form<ProbeForm>();
    QVERIFY(toolkit::formExists<ProbeForm>());
    QCOMPARE(second.loads, 0);
    second.Show();
    QCOMPARE(second.loads, 1);
    second.Unload();
    QTRY_VERIFY(!toolkit::formExists<ProbeForm>());
}

void TestToolkit::closeButtonUnloads()
{
    QPointer<ProbeForm> form = &toolkit::form<ProbeForm>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->close(); // what the window system's close button does
    QTRY_VERIFY(form.isNull());
}

void TestToolkit::onlyBackgroundMovesReachForm()
{
    QPointer<ProbeForm> form = &toolkit::form<ProbeForm>();
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::mouseMove(form->windowHandle(), QPoint(150, 50)); // over the tracking child
    QCOMPARE(form->backgroundMoves, 0);
    QTest::mouseMove(form->windowHandle(), QPoint(50, 50)); // over the background
    QCOMPARE(form->backgroundMoves, 1);
    form->Unload();
    QTRY_VERIFY(form.isNull());
}

void TestToolkit::realWarningBox()
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
    toolkit::MsgBoxWarning(QStringLiteral("请输入数字！"));
    QCOMPARE(title, QStringLiteral("Quaddle"));
    QCOMPARE(text, QStringLiteral("请输入数字！"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QStringList{"Ok 确定"});
    QVERIFY(appModal);
}

void TestToolkit::recorderStandsIn()
{
    {
        MessageBoxRecorder recorder;
        toolkit::MsgBoxWarning(QStringLiteral("one"));
        toolkit::MsgBoxWarning(QStringLiteral("two"));
        QCOMPARE(recorder.prompts(), (QStringList{"one", "two"}));
        QCOMPARE(recorder.titles(), (QStringList{"Quaddle", "Quaddle"}));
    }
    // Once the recorder is gone the real box is back: close it as it appears.
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = true;
            box->accept();
        }
    });
    toolkit::MsgBoxWarning(QStringLiteral("three"));
    QVERIFY(shown);
}

void TestToolkit::versionNumbers()
{
    const toolkit::AppVersion version = toolkit::appVersion();
    QCOMPARE(version.major, 1);
    QCOMPARE(version.minor, 0);
    QCOMPARE(version.revision, 0);
}

void TestToolkit::multiLineTextUsesCrLf_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << "(8-5)*9-3";
    QTest::newRow("two lines") << "A\r\nC";
    QTest::newRow("empty first line") << "\r\nB";
}

void TestToolkit::multiLineTextUsesCrLf()
{
    QFETCH(QString, text);
    QWidget parent;
    toolkit::MultiLineTextBox box(&parent);
    box.setText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.document()->blockCount(), int(text.count(QLatin1String("\r\n"))) + 1);
}

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
