// Qt behind the toolkit operations the windows use.
#include "toolkit.h"

#include "quaddlefacts.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>

namespace toolkit {

namespace {

MessageBoxHandler &messageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
}

void setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(pixels(width), pixels(height));
}

QFont designFont(double points, int weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    return font;
}

QFont defaultFont()
{
    return designFont(8);
}

QString applicationTitle()
{
    return QLatin1String(quaddle::applicationTitle);
}

QIcon applicationIcon()
{
    QIcon builtIn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/quaddle-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QLatin1String(quaddle::applicationId), builtIn);
}

AppVersion appVersion()
{
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

Form::Form(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setWindowIcon(applicationIcon());
    setFont(defaultFont());
}

void Form::mouseMoveEvent(QMouseEvent *event)
{
    // A control that tracks the pointer but ignores a move passes it on to
    // the window; that is not a move over the window's background.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
}

void Form::Show()
{
    if (!m_loaded) {
        m_loaded = true;
        for (QTimer *timer : std::as_const(m_timers))
            timer->start();
        Form_Load();
    }
    show();
}

void Form::Unload()
{
    // Deleted once control is back in the event loop, so a window can unload
    // itself from its own click handler.
    close();
}

QTimer *Form::addTimer(int intervalMs)
{
    auto *timer = new QTimer(this);
    timer->setInterval(intervalMs);
    m_timers.append(timer);
    return timer;
}

Label::Label(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
}

void Label::setForeColor(const QColor &color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

QColor Label::foreColor() const
{
    return palette().color(QPalette::WindowText);
}

void Label::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void Label::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click: its release is no Click.
    m_pressed = false;
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Click();
}

void Label::mouseMoveEvent(QMouseEvent *)
{
    emit MouseMove();
}

MultiLineTextBox::MultiLineTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{}

QString MultiLineTextBox::Text() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void MultiLineTextBox::setText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    document()->setPlainText(plain);
}

void MsgBoxWarning(const QString &prompt)
{
    if (const MessageBoxHandler &handler = messageBoxHandler()) {
        handler(applicationTitle(), prompt);
        return;
    }
    QMessageBox box(QMessageBox::Warning, applicationTitle(), prompt, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(messageBoxHandler(), std::move(handler));
}

} // namespace toolkit
