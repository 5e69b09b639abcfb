// Test input through Qt's own event delivery: mouse and key events sent
// through the window, as the window system would send them.
#include "toolkit/testing.h"

#include "qtwindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QThread>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace toolkit::testing {

struct Session::Impl {
    QApplication app;
    Impl(int &argc, char **argv)
        : app(argc, argv)
    {}
};

namespace {

int &argcFor(int &argc)
{
    // Offscreen unless the test run asks for a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

QWidget *window(Form &form)
{
    return qt::widget(form);
}

QPoint centreInWindow(Control &control)
{
    QWidget *widget = qt::widget(control);
    return widget->mapTo(widget->window(), widget->rect().center());
}

// The window the user works in: keys and the focus belong to it.
QWidget *activate(Form &form)
{
    QWidget *top = window(form);
    if (!top->isActiveWindow()) {
        top->activateWindow();
        // Offscreen, activation is at once; on a real display it may take a moment.
        (void)QTest::qWaitForWindowActive(top);
    }
    return top;
}

// Keys go to the focused widget of an active window, as typing does.
QWidget *keyTarget(Form &form)
{
    QWidget *top = activate(form);
    QWidget *focus = QApplication::focusWidget();
    return focus && focus->window() == top ? focus : top;
}

// Logical pixels to device pixels, rounded as the screen's pixels fall.
int devicePixels(double logical, double ratio)
{
    return static_cast<int>(std::lround(logical * ratio));
}

// The width inside a line edit's frame and its fixed margin of 2 pixels each
// side, where QLineEdit draws its text.
int lineEditWidth(const QLineEdit *edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

int buttonWidth(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = button->rect();
    option.text = button->text();
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
}

} // namespace

Session::Session(int &argc, char **argv)
    : d(std::make_unique<Impl>(argcFor(argc), argv))
{}

Session::~Session() = default;

void processEvents()
{
    // Twice: a deferred unload may post more work of its own.
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        processEvents();
        QThread::msleep(5);
    }
    return true;
}

void click(Control &control)
{
    QWidget *widget = qt::widget(control);
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      centreInWindow(control));
}

void doubleClick(Control &control)
{
    // Press, release, a second press that Qt turns into a double-click, release.
    QWidget *widget = qt::widget(control);
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                       centreInWindow(control));
}

void moveMouseOver(Control &control)
{
    QWidget *widget = qt::widget(control);
    QTest::mouseMove(widget->window()->windowHandle(), centreInWindow(control));
}

void moveMouseOverBackground(Form &form, int left, int top)
{
    QTest::mouseMove(window(form)->windowHandle(), QPoint(pixels(left), pixels(top)));
}

void pressKey(Form &form, Key key)
{
    QWidget *target = keyTarget(form);
    switch (key) {
    case Key::Tab:
        QTest::keyClick(target, Qt::Key_Tab);
        break;
    case Key::BackTab:
        QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
        break;
    case Key::Return:
        QTest::keyClick(target, Qt::Key_Return);
        break;
    case Key::Escape:
        QTest::keyClick(target, Qt::Key_Escape);
        break;
    case Key::Space:
        QTest::keyClick(target, Qt::Key_Space);
        break;
    }
}

void typeText(Form &form, const std::string &text)
{
    QTest::keyClicks(keyTarget(form), QString::fromStdString(text));
}

Control *focusedControl(Form &form)
{
    activate(form);
    return qt::controlOf(form, QApplication::focusWidget());
}

void closeFromWindowSystem(Form &form)
{
    window(form)->close();
}

bool isVisible(Form &form)
{
    return form.isLoaded() && window(form)->isVisible();
}

std::string caption(Form &form)
{
    return window(form)->windowTitle().toStdString();
}

double scale(const Form &form)
{
    return qt::widget(form)->devicePixelRatioF();
}

PixelBox clientArea(const Form &form)
{
    const QWidget *top = qt::widget(form);
    const double ratio = top->devicePixelRatioF();
    return {0, 0, devicePixels(top->width(), ratio), devicePixels(top->height(), ratio)};
}

PixelBox box(const Control &control)
{
    const QWidget *widget = qt::widget(control);
    const double ratio = widget->devicePixelRatioF();
    const QRect logical(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    // Edges, not sizes, are rounded, so that boxes side by side stay apart.
    const int left = devicePixels(logical.left(), ratio);
    const int top = devicePixels(logical.top(), ratio);
    return {left, top, devicePixels(logical.left() + logical.width(), ratio) - left,
            devicePixels(logical.top() + logical.height(), ratio) - top};
}

int innerWidth(const Control &control)
{
    const QWidget *widget = qt::widget(control);
    int width = widget->contentsRect().width();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        width = lineEditWidth(edit);
    else if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget))
        width = box->viewport()->width() -
                static_cast<int>(std::ceil(2 * box->document()->documentMargin()));
    else if (const auto *button = qobject_cast<const QPushButton *>(widget))
        width = buttonWidth(button);
    // Rounded up as textWidth is, so a text that fits in logical pixels fits here.
    return static_cast<int>(std::ceil(width * widget->devicePixelRatioF()));
}

int textWidth(const Control &control)
{
    const QWidget *widget = qt::widget(control);
    const QFontMetricsF metrics(widget->font());
    double widest = 0;
    for (const QString &line : QString::fromStdString(control.text()).split(QLatin1String("\r\n")))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return static_cast<int>(std::ceil(widest * widget->devicePixelRatioF()));
}

} // namespace toolkit::testing
