// The toolkit on Qt 6 Widgets: each control kind as the widget that behaves
// like it, events routed back to the window's handlers.
#include "fonts.h"
#include "qtwindow.h"
#include "toolkit/backend.h"

#include "quaddlefacts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace toolkit::qt {

namespace {

QString qString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor qColor(Color color)
{
    return QColor(color.red, color.green, color.blue);
}

Color color(const QColor &color)
{
    return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
            static_cast<std::uint8_t>(color.blue())};
}

void place(QWidget *widget, const Twips &twips)
{
    widget->setGeometry(pixels(twips.left), pixels(twips.top), pixels(twips.width),
                        pixels(twips.height));
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, Color color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, qColor(color));
    widget->setPalette(palette);
}

// Where a control's background colour goes: behind a label's text or a
// frame's children, inside a box, on a button.
QPalette::ColorRole backgroundRole(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::MultiLineTextBox:
    case ControlKind::ScrollingTextBox:
        return QPalette::Base;
    case ControlKind::CommandButton:
        return QPalette::Button;
    case ControlKind::Label:
    case ControlKind::Frame:
        break;
    }
    return QPalette::Window;
}

// What every control kind shares; the text is each kind's own.
class QtControl : public Control
{
public:
    QtControl(const ControlSpec &design, QWidget *widget)
        : m_design(design)
        , m_widget(widget)
    {
        m_widget->setObjectName(qString(design.name));
        if (!design.accessibleName.empty())
            m_widget->setAccessibleName(qString(design.accessibleName));
        m_widget->setEnabled(design.enabled);
        if (design.handCursor)
            m_widget->setCursor(Qt::PointingHandCursor);
        if (design.backColor)
            setPaletteColor(m_widget, backgroundRole(design.kind), *design.backColor);
    }

    const ControlSpec &design() const override { return m_design; }
    Color foreColor() const override
    {
        return color(m_widget->palette().color(m_widget->foregroundRole()));
    }
    void setForeColor(Color color) override
    {
        setPaletteColor(m_widget, m_widget->foregroundRole(), color);
    }
    bool enabled() const override { return m_widget->isEnabled(); }
    void setEnabled(bool enabled) override { m_widget->setEnabled(enabled); }

    QWidget *widget() const { return m_widget; }

private:
    const ControlSpec &m_design;
    QWidget *m_widget; // owned by the window's widget
};

// A label that reports clicks and pointer moves. A double-click is one Click:
// its second press is a DblClick, whose release is no Click.
class LabelWidget : public QLabel
{
public:
    LabelWidget(QWidget *parent, std::function<void(Event)> raise)
        : QLabel(parent)
        , m_raise(std::move(raise))
    {
        setMouseTracking(true);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressed = event->button() == Qt::LeftButton;
    }
    void mouseDoubleClickEvent(QMouseEvent *) override { m_pressed = false; }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click)
            m_raise(Event::Click);
    }
    void mouseMoveEvent(QMouseEvent *) override { m_raise(Event::MouseMove); }

private:
    std::function<void(Event)> m_raise;
    bool m_pressed = false;
};

// A control whose text is its widget's own: a label's or button's caption, a
// single-line box's text, a frame's title.
template <typename Widget> class TextControl : public QtControl
{
public:
    TextControl(const ControlSpec &design, Widget *widget)
        : QtControl(design, widget)
        , m_widget(widget)
    {
        setText(design.text);
    }
    std::string text() const override { return m_widget->text().toStdString(); }
    void setText(std::string_view text) override { m_widget->setText(qString(text)); }

private:
    Widget *m_widget;
};

// A frame's text is its title.
class FrameWidget : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;
    QString text() const { return title(); }
    void setText(const QString &text) { setTitle(text); }
};

// The program reads and writes the text with carriage return and line feed
// between lines. A scrolling box is read-only: its text is selected and
// copied, with the mouse or the keyboard, never changed.
class MultiLineControl : public QtControl
{
public:
    MultiLineControl(const ControlSpec &design, QPlainTextEdit *edit)
        : QtControl(design, edit)
        , m_edit(edit)
    {
        if (design.kind == ControlKind::ScrollingTextBox) {
            m_edit->setReadOnly(true);
            m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
            m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        } else {
            m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Tab moves on rather than typing a tab.
        m_edit->setTabChangesFocus(true);
    }
    std::string text() const override
    {
        QString text = m_edit->toPlainText();
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return text.toStdString();
    }
    void setText(std::string_view text) override
    {
        QString plain = qString(text);
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_edit->document()->setPlainText(plain);
    }

private:
    QPlainTextEdit *m_edit;
};

class QtTimer : public Timer
{
public:
    QtTimer(QTimer *timer)
        : m_timer(timer)
    {}
    int interval() const override { return m_timer->interval(); }
    bool running() const override { return m_timer->isActive(); }
    QTimer *timer() const { return m_timer; }

private:
    QTimer *m_timer;
};

class FormWidget : public QWidget
{
public:
    explicit FormWidget(Form &form)
        : m_form(form)
    {
        setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        // A control that tracks the pointer but ignores a move passes it on to
        // the window; that is not a move over the window's background.
        if (!childAt(event->position().toPoint()))
            m_form.raiseFormMouseMove();
    }
    void closeEvent(QCloseEvent *event) override
    {
        // The window goes the way Unload() takes it, later.
        event->ignore();
        m_form.Unload();
    }

private:
    Form &m_form;
};

class QtWindow : public backend::Window
{
public:
    explicit QtWindow(Form &form);
    ~QtWindow() override
    {
        // A window still loaded when the application has gone went with it.
        if (QCoreApplication::instance())
            delete m_widget;
    }

    void show() override;
    void hide() override
    {
        for (const auto &timer : m_timers)
            timer->timer()->stop();
        m_widget->hide();
    }
    NativeHandle handle() const override { return m_widget->winId(); }
    Control &control(std::size_t index) override { return *m_controls.at(index); }
    Timer &timer(std::size_t index) override { return *m_timers.at(index); }
    void startTimers() override
    {
        for (const auto &timer : m_timers)
            timer->timer()->start();
    }

    QWidget *widget() const { return m_widget; }
    Control *controlOf(const QWidget *widget) const
    {
        for (const auto &control : m_controls) {
            if (control->widget() == widget)
                return control.get();
        }
        return nullptr;
    }

private:
    std::unique_ptr<QtControl> makeControl(Form &form, std::size_t index);
    void addCommands(Form &form);
    void fitTexts();
    void setTabOrder();

    const FormSpec &m_design;
    FormWidget *m_widget;
    std::vector<std::unique_ptr<QtControl>> m_controls;
    std::vector<std::unique_ptr<QtTimer>> m_timers;
    bool m_shown = false;
};

QtWindow::QtWindow(Form &form)
    : m_design(form.design())
    , m_widget(new FormWidget(form))
{
    const FormSpec &design = m_design;
    QGuiApplication::setQuitOnLastWindowClosed(false); // the toolkit ends the program
    m_widget->setObjectName(qString(design.name));
    m_widget->setWindowTitle(qString(design.caption));
    m_widget->setFixedSize(pixels(design.width), pixels(design.height));
    m_widget->setFont(defaultFont());
    if (design.backColor || design.foreColor) {
        QPalette palette = m_widget->palette();
        if (design.backColor)
            palette.setColor(QPalette::Window, qColor(*design.backColor));
        if (design.foreColor) {
            palette.setColor(QPalette::WindowText, qColor(*design.foreColor));
            palette.setColor(QPalette::Text, qColor(*design.foreColor));
        }
        m_widget->setPalette(palette);
        m_widget->setAutoFillBackground(design.backColor.has_value());
    }

    for (std::size_t i = 0; i < design.controls.size(); ++i)
        m_controls.push_back(makeControl(form, i));
    addCommands(form);
    fitTexts();
    setTabOrder();

    for (std::size_t i = 0; i < design.timers.size(); ++i) {
        auto *timer = new QTimer(m_widget);
        timer->setObjectName(qString(design.timers[i].name));
        timer->setInterval(design.timers[i].intervalMs);
        QObject::connect(timer, &QTimer::timeout, m_widget, [&form, i] { form.raiseTimer(i); });
        m_timers.push_back(std::make_unique<QtTimer>(timer));
    }
}

std::unique_ptr<QtControl> QtWindow::makeControl(Form &form, std::size_t index)
{
    const FormSpec &formDesign = form.design();
    const ControlSpec &design = formDesign.controls[index];
    QWidget *parent = m_widget;
    if (!design.container.empty())
        parent = m_controls.at(form.indexOf(design.container))->widget();

    std::unique_ptr<QtControl> control;
    switch (design.kind) {
    case ControlKind::Label: {
        auto *label =
            new LabelWidget(parent, [&form, index](Event event) { form.raise(index, event); });
        label->setAlignment(design.align == Align::Center ? Qt::AlignCenter
                                                          : Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(design.backColor.has_value());
        control = std::make_unique<TextControl<QLabel>>(design, label);
        break;
    }
    case ControlKind::TextBox: {
        auto *edit = new QLineEdit(parent);
        // No length limit: whatever is typed or pasted is read as it stands.
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (!formDesign.defaultButton.empty()) {
            const std::size_t button = form.indexOf(formDesign.defaultButton);
            QObject::connect(edit, &QLineEdit::returnPressed, edit,
                             [&form, button] { form.raise(button, Event::Click); });
        }
        // The user's editing only: setText changes the text without it.
        QObject::connect(edit, &QLineEdit::textEdited, edit,
                         [&form, index] { form.raise(index, Event::Change); });
        control = std::make_unique<TextControl<QLineEdit>>(design, edit);
        break;
    }
    case ControlKind::MultiLineTextBox:
    case ControlKind::ScrollingTextBox:
        control = std::make_unique<MultiLineControl>(design, new QPlainTextEdit(parent));
        break;
    case ControlKind::CommandButton: {
        auto *button = new QPushButton(parent);
        // A focused button takes Enter as well as Space, also outside a dialog.
        button->setAutoDefault(true);
        QObject::connect(button, &QPushButton::clicked, button,
                         [&form, index] { form.raise(index, Event::Click); });
        control = std::make_unique<TextControl<QPushButton>>(design, button);
        break;
    }
    case ControlKind::Frame:
        control = std::make_unique<TextControl<FrameWidget>>(design, new FrameWidget(parent));
        break;
    }

    QWidget *widget = control->widget();
    place(widget, design.place);
    if (design.foreColor)
        control->setForeColor(*design.foreColor);
    if (design.font)
        widget->setFont(font(*design.font)); // before the text, so it is laid out once
    if (design.kind == ControlKind::MultiLineTextBox ||
        design.kind == ControlKind::ScrollingTextBox) {
        control->setText(design.text);
        // The caret starts at the top left, as in any new box.
        static_cast<QPlainTextEdit *>(widget)->moveCursor(QTextCursor::Start);
    }
    return control;
}

// The entries of a text box's own context menu, by the names Qt gives them.
constexpr std::pair<const char *, const char *> editActionTexts[] = {
    {"edit-undo", "撤消(&U)"},  {"edit-redo", "重做(&R)"},  {"edit-cut", "剪切(&T)"},
    {"edit-copy", "复制(&C)"},  {"edit-paste", "粘贴(&P)"}, {"edit-delete", "删除(&D)"},
    {"select-all", "全选(&A)"},
};

// A control's commands follow the entries of its own context menu, where it
// has one: a text box keeps Copy, Select All and the rest.
void QtWindow::addCommands(Form &form)
{
    const std::span<const CommandSpec> commands = form.design().commands;
    for (const auto &control : m_controls) {
        QWidget *widget = control->widget();
        const std::string_view name = control->design().name;
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CommandSpec &command) { return command.control == name; }))
            continue;
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(
            widget, &QWidget::customContextMenuRequested, widget,
            [&form, widget, commands, name](const QPoint &at) {
                QMenu *menu = nullptr;
                if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
                    menu = edit->createStandardContextMenu(at);
                else if (auto *line = qobject_cast<QLineEdit *>(widget))
                    menu = line->createStandardContextMenu();
                else
                    menu = new QMenu(widget);
                // In the program's language, whatever the desktop's.
                for (QAction *action : menu->actions()) {
                    for (const auto &[name, text] : editActionTexts) {
                        if (action->objectName() != QLatin1String(name))
                            continue;
                        // Its shortcut stays, after the tab.
                        const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
                        action->setText(QString::fromUtf8(text) +
                                        (tab < 0 ? QString() : action->text().mid(tab)));
                    }
                }
                if (!menu->isEmpty())
                    menu->addSeparator();
                for (std::size_t i = 0; i < commands.size(); ++i) {
                    if (commands[i].control != name)
                        continue;
                    QAction *action = menu->addAction(qString(commands[i].text));
                    action->setObjectName(qString(commands[i].name));
                    QObject::connect(action, &QAction::triggered, widget,
                                     [&form, i] { form.raiseCommand(i); });
                }
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(widget->mapToGlobal(at));
            });
    }
}

// Texts marked to fit are set just small enough for their boxes.
void QtWindow::fitTexts()
{
    std::vector<double> designed;
    for (const auto &control : m_controls)
        designed.push_back(control->design().font ? control->widget()->font().pointSizeF() : 0);
    const std::vector<double> sizes = backend::fittedSizes(
        m_design, designed, [&](std::size_t i) { return m_controls[i]->widget()->width(); },
        [&](std::size_t i, double points) {
            QFont font = m_controls[i]->widget()->font();
            font.setPointSizeF(points);
            // The designed text: fitting comes before anything changes it.
            return QFontMetricsF(font).horizontalAdvance(qString(m_controls[i]->design().text));
        });
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] != designed[i]) {
            QFont font = m_controls[i]->widget()->font();
            font.setPointSizeF(sizes[i]);
            m_controls[i]->widget()->setFont(font);
        }
    }
}

void QtWindow::setTabOrder()
{
    std::vector<QtControl *> order;
    for (const auto &control : m_controls) {
        if (control->widget()->focusPolicy() != Qt::NoFocus)
            order.push_back(control.get());
    }
    std::sort(order.begin(), order.end(), [](const QtControl *a, const QtControl *b) {
        return a->design().tabIndex < b->design().tabIndex;
    });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
    const auto first = std::find_if(order.begin(), order.end(),
                                    [](const QtControl *control) { return control->enabled(); });
    if (first != order.end())
        (*first)->widget()->setFocus();
}

void QtWindow::show()
{
    if (!m_shown) {
        m_shown = true;
        // The icon (a few images to read) follows once the window is on its
        // way to the screen, so it never delays it.
        QTimer::singleShot(0, m_widget,
                           [widget = m_widget] { widget->setWindowIcon(applicationIcon()); });
    }
    const bool visible = m_widget->isVisible();
    m_widget->show();
    // Shown again, a window comes to the front, where the user looks for it.
    if (visible) {
        m_widget->raise();
        m_widget->activateWindow();
    }
}

} // namespace

QWidget *widget(const Form &form)
{
    return static_cast<const QtWindow *>(form.backendWindow())->widget();
}

QWidget *widget(const Control &control)
{
    return static_cast<const QtControl &>(control).widget();
}

Control *controlOf(const Form &form, const QWidget *widget)
{
    return static_cast<const QtWindow *>(form.backendWindow())->controlOf(widget);
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

} // namespace toolkit::qt

namespace toolkit::backend {

std::unique_ptr<Window> createWindow(Form &form)
{
    return std::make_unique<qt::QtWindow>(form);
}

void post(std::function<void()> task)
{
    QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

void quit()
{
    // Does nothing where no event loop runs, as in the tests.
    QCoreApplication::quit();
}

void showWarning(std::string_view title, std::string_view prompt)
{
    QMessageBox box(QMessageBox::Warning, qt::qString(title), qt::qString(prompt), QMessageBox::Ok,
                    QApplication::activeWindow());
    // The button reads "确定" like the rest of the program, whatever the locale.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool openDocument(const ShellRequest &request)
{
    // Qt hands the document to the desktop, never through a shell command line.
    if (request.operation != "open")
        return false;
    const QUrl url(qt::qString(request.file));
    return url.isValid() && QDesktopServices::openUrl(url);
}

AppVersion versionNumbers()
{
    return {quaddle::versionMajor, quaddle::versionMinor, quaddle::versionPatch};
}

} // namespace toolkit::backend
