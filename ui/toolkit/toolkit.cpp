// Qt behind the toolkit operations the windows use.
#include "toolkit.h"

#include "quaddlefacts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QImageReader>
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

QFont fontFromFaces(const QStringList &faces, double points, int weight)
{
    static QHash<QStringList, QStringList> installed;
    auto known = installed.constFind(faces);
    if (known == installed.cend()) {
        QStringList found;
        for (const QString &face : faces) {
            if (QFontDatabase::hasFamily(face))
                found << face;
        }
        known = installed.insert(faces, found);
    }
    QFont font;
    if (!known->isEmpty())
        font.setFamilies(*known);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    return font;
}

QFont designFont(double points, int weight)
{
    static const QStringList faces{
        QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
        QStringLiteral("DejaVu Sans"),     QStringLiteral("WenQuanYi Zen Hei")};
    QFont font = fontFromFaces(faces, points, weight);
    font.setStyleHint(QFont::SansSerif);
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
    // The built-in pictures are the ones the package installs into the icon
    // theme for the menu entry, so there is nothing to look up there. Read as
    // PNG by name, so no image format plug-in is loaded to probe them. Title bars
    // and task bars draw the window's icon at up to 32 pixels, twice that on
    // a high-density screen; launchers take the larger theme icons.
    static const QIcon icon = [] {
        QIcon pictures;
        for (const int size : {16, 24, 32, 48, 64}) {
            QImageReader reader(QStringLiteral(":/icons/quaddle-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            pictures.addPixmap(QPixmap::fromImage(reader.read()));
        }
        return pictures;
    }();
    return icon;
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
        // The icon (a theme look-up and a few images to read) follows once
        // the window is on its way to the screen, so it never delays it.
        QTimer::singleShot(0, this, [this] { setWindowIcon(applicationIcon()); });
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
