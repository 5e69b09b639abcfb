// The behaviours of the classic desktop runtime that the windows rely on and
// Qt does not give as such: windows that load on first show and unload,
// layouts in twips, labels with Click and MouseMove, multi-line text boxes
// with CR LF lines, the warning box, the program icon and the version
// numbers. The windows use Qt widgets directly for everything else. Tests
// replace the warning box here, so no test ever blocks on a modal dialog;
// the desktop shell request is in shell.h.
#pragma once

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace toolkit {

// Layouts are designed in twips: 15 twips are one pixel at 96 DPI. Qt scales
// these pixels on high-density screens.
constexpr int pixels(int twips)
{
    return (twips + 7) / 15;
}

// Places a control at a designed position and size, in twips, in its parent.
void place(QWidget *control, int left, int top, int width, int height);

// Gives a window a fixed client area of the designed size, in twips.
void setClientSize(QWidget *window, int width, int height);

// A font in the first of `faces` that is installed, the others that are
// installed following it for characters it lacks. Faces that are missing are
// left out once and for all, so no font look-up ever asks for them again.
QFont fontFromFaces(const QStringList &faces, double points, int weight = 400);

// A font in the sans face the windows were drawn with ("MS Sans Serif"), or
// the nearest installed one where that face is missing.
QFont designFont(double points, int weight = 400);

// The windows' default font: the classic 8-point dialog font their layouts
// were drawn for, whatever font the desktop uses, so every designed box holds
// its text.
QFont defaultFont();

// The application's title: the caption of message boxes that have none of their own.
QString applicationTitle();

// The program icon: the desktop theme's, else the one built in.
QIcon applicationIcon();

// The application's version numbers, from the build's version record.
struct AppVersion {
    int major;
    int minor;
    int revision;
};
AppVersion appVersion();

// A top-level window of the program. Creating it creates its controls; the
// first Show() loads it (starts its timers, runs Form_Load), then shows it
// modeless. Unload(), or the window system's close button, destroys it; Qt
// ends the program when no window is left. Pointer moves over the window's
// background, and only those, reach Form_MouseMove.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);

    void Show();
    void Unload();
    bool isLoaded() const { return m_loaded; }

    // The native window handle, for calls into the platform.
    WId hWnd() { return winId(); }

protected:
    virtual void Form_Load() {}
    // The pointer moved over the window's own background, not over a control.
    virtual void Form_MouseMove() {}
    void mouseMoveEvent(QMouseEvent *event) override;

    // A timer owned by this window that starts when the window loads, as a
    // timer enabled at design time does.
    QTimer *addTimer(int intervalMs);

private:
    bool m_loaded = false;
    QList<QTimer *> m_timers;
};

namespace detail {
template <typename Window> QPointer<Window> &instance()
{
    static QPointer<Window> window;
    return window;
}
} // namespace detail

// The program-wide instance of a window class, created on first use and
// created afresh after it has been unloaded.
template <typename Window> Window &form()
{
    QPointer<Window> &window = detail::instance<Window>();
    if (!window)
        window = new Window;
    return *window;
}

// Whether the program-wide instance exists: created and not yet destroyed.
template <typename Window> bool formExists()
{
    return !detail::instance<Window>().isNull();
}

// A label that reports clicks and pointer moves over it, and whose text
// colour can be set. A double-click is one Click: its second press is a
// DblClick, which no window here handles.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(const QString &text, QWidget *parent);

    void setForeColor(const QColor &color);
    QColor foreColor() const;

signals:
    void Click();
    void MouseMove();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

// A multi-line text box whose text, as the program reads and writes it, has
// carriage return and line feed between lines.
class MultiLineTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MultiLineTextBox(QWidget *parent);

    QString Text() const;
    void setText(const QString &text);
};

// The modal warning box: exclamation icon, one OK button that reads "确定"
// like the rest of the program, titled with the application's title. Returns
// when the user has closed it.
void MsgBoxWarning(const QString &prompt);

// Replaces what MsgBoxWarning does, for tests; an empty handler restores the
// real box. Returns the handler that was in place.
using MessageBoxHandler = std::function<void(const QString &title, const QString &prompt)>;
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

} // namespace toolkit
