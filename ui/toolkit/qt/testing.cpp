// Test input through Qt's own event delivery: mouse events sent to the
// window, which hands them on as it does the window system's, and key events
// to the focused widget. Plain Qt Widgets, so the window tests need no QtTest.
#include "toolkit/testing.h"

#include "qtwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyleOption>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

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
        (void)waitUntil([top] { return top->isActiveWindow(); }, 5000);
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

// One mouse event at a point of the window, given in its pixels. The window
// finds the control under it and keeps the press grab, enter and leave.
void sendMouse(QWidget *top, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWindow *handle = top->windowHandle();
    QMouseEvent event(type, at, handle->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &event);
}

// A key pressed and released, as typing sends it.
void sendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    const QPointer<QWidget> alive(target);
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        if (!alive)
            return; // the press closed its window
        QKeyEvent event(type, key, modifiers, text);
        QCoreApplication::sendEvent(target, &event);
    }
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
    QWidget *top = qt::widget(control)->window();
    const QPoint at = centreInWindow(control);
    sendMouse(top, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(top, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

void doubleClick(Control &control)
{
    // As Qt delivers one: press, release, the second press as a DblClick, release.
    QWidget *top = qt::widget(control)->window();
    const QPoint at = centreInWindow(control);
    sendMouse(top, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(top, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    sendMouse(top, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(top, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

void moveMouseOver(Control &control)
{
    sendMouse(qt::widget(control)->window(), QEvent::MouseMove, centreInWindow(control),
              Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

void moveMouseOverBackground(Form &form, int left, int top)
{
    sendMouse(window(form), QEvent::MouseMove, QPoint(pixels(left), pixels(top)), Qt::NoButton,
              Qt::NoButton);
    QCoreApplication::processEvents();
}

void pressKey(Form &form, Key key)
{
    QWidget *target = keyTarget(form);
    switch (key) {
    case Key::Tab:
        sendKey(target, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        break;
    case Key::BackTab:
        sendKey(target, Qt::Key_Backtab, Qt::ShiftModifier, QString());
        break;
    case Key::Return:
        sendKey(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        break;
    case Key::Escape:
        sendKey(target, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
        break;
    case Key::Space:
        sendKey(target, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        break;
    }
}

ClosedOn answerWarningWithKey(Key key)
{
    const std::pair<int, const char *> keys[] = {{Qt::Key_Tab, "\t"},
                                                 {Qt::Key_Backtab, ""},
                                                 {Qt::Key_Return, "\r"},
                                                 {Qt::Key_Escape, "\x1b"},
                                                 {Qt::Key_Space, " "}};
    const auto &pressed = keys[static_cast<int>(key)];
    ClosedOn closed = ClosedOn::Neither;
    // From inside the box's own event loop, once its button has the focus.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        const QPointer<QWidget> box = QApplication::activeModalWidget();
        if (!box || !box->focusWidget())
            return;
        answer.stop();
        QWidget *button = box->focusWidget();
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, pressed.first, Qt::NoModifier,
                            QString::fromLatin1(pressed.second));
            QCoreApplication::sendEvent(button, &event);
            if (!box || !box->isVisible()) {
                closed = type == QEvent::KeyPress ? ClosedOn::Press : ClosedOn::Release;
                return;
            }
        }
        box->close();
    });
    answer.start(10);
    MsgBoxWarning("key");
    return closed;
}

void typeText(Form &form, const std::string &text)
{
    QWidget *target = keyTarget(form);
    // Qt's key codes for characters are their upper-case forms.
    for (const QChar c : QString::fromStdString(text))
        sendKey(target, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

void pasteText(Form &form, const std::string &text)
{
    QApplication::clipboard()->setText(QString::fromStdString(text));
    QWidget *target = keyTarget(form);
    sendKey(target, Qt::Key_A, Qt::ControlModifier, {});
    sendKey(target, Qt::Key_V, Qt::ControlModifier, {});
}

bool commandsTakeFocus()
{
    return false;
}

void chooseCommand(Form &form, std::string_view command)
{
    const CommandSpec &design = form.design().commands[form.indexOfCommand(command)];
    // The menu key, over the command's control: its context menu pops up.
    QWidget *widget = qt::widget(form.control(design.control));
    activate(form);
    const QPoint middle = widget->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, middle, widget->mapToGlobal(middle));
    QCoreApplication::sendEvent(widget, &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        throw std::runtime_error("no context menu popped up");
    QAction *action = menu->findChild<QAction *>(QString::fromUtf8(command.data(), command.size()));
    if (!action) {
        menu->close();
        throw std::runtime_error("the context menu has no " + std::string(command));
    }
    menu->setActiveAction(action);
    sendKey(menu, Qt::Key_Return, Qt::NoModifier, {});
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
    else if (const auto *lines = qobject_cast<const QPlainTextEdit *>(widget))
        width = lines->viewport()->width() -
                static_cast<int>(std::ceil(2 * lines->document()->documentMargin()));
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
