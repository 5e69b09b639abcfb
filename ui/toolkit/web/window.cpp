// The toolkit's windows as windows on the page: a caption bar with a close
// button above a client area of the designed size in CSS pixels (1/96 inch,
// so twips map as at 96 DPI, and browser zoom, dense screens and the page's
// own scaling for touch screens scale them like a DPI change). Each control
// kind is the HTML control that behaves like it; the page reports events to
// quaddle_event(), which routes them here.
#include "fonts.h"
#include "page.h"
#include "toolkit/backend.h"
#include "webwindow.h"

#include "quaddlefacts.h"

#include <emscripten.h>

#include <algorithm>
#include <deque>
#include <map>
#include <vector>

namespace toolkit::web {

namespace {

int packed(const std::optional<Color> &color)
{
    return color ? (color->red << 16) | (color->green << 8) | color->blue : noColor;
}

Color unpacked(int color)
{
    return {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color)};
}

bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::TextBox || kind == ControlKind::MultiLineTextBox ||
           kind == ControlKind::ScrollingTextBox || kind == ControlKind::CommandButton;
}

class WebWindow;

std::map<int, WebWindow *> &windows()
{
    static std::map<int, WebWindow *> loaded;
    return loaded;
}

class WebControl : public Control
{
public:
    WebControl(int window, int index, const ControlSpec &design)
        : m_window(window)
        , m_index(index)
        , m_design(design)
    {}

    const ControlSpec &design() const override { return m_design; }
    std::string text() const override { return web::text(m_window, m_index); }
    void setText(std::string_view text) override { web::setText(m_window, m_index, text); }
    Color foreColor() const override { return unpacked(web::foreColor(m_window, m_index)); }
    void setForeColor(Color color) override { web::setForeColor(m_window, m_index, packed(color)); }
    bool enabled() const override { return web::enabled(m_window, m_index); }
    void setEnabled(bool enabled) override { web::setEnabled(m_window, m_index, enabled); }

    int window() const { return m_window; }
    int index() const { return m_index; }

private:
    int m_window;
    int m_index;
    const ControlSpec &m_design;
};

class WebTimer : public Timer
{
public:
    WebTimer(int window, int index, int interval)
        : m_window(window)
        , m_index(index)
        , m_interval(interval)
    {}
    ~WebTimer() override { stop(); }
    int interval() const override { return m_interval; }
    bool running() const override { return m_id != 0; }
    void start()
    {
        if (!m_id)
            m_id = startTimer(m_window, m_index, m_interval);
    }
    void stop()
    {
        if (m_id)
            stopTimer(m_id);
        m_id = 0;
    }

private:
    int m_window;
    int m_index;
    int m_interval;
    int m_id = 0;
};

class WebWindow : public backend::Window
{
public:
    explicit WebWindow(Form &form);
    ~WebWindow() override
    {
        m_timers.clear();
        windows().erase(m_id);
        removeWindow(m_id);
    }

    void show() override
    {
        showWindow(m_id);
        fitTexts(web::scale(m_id));
        if (!m_shown) {
            m_shown = true;
            focusNext(-1, false, false);
        }
    }
    void hide() override
    {
        for (const auto &timer : m_timers)
            timer->stop();
        hideWindow(m_id);
    }
    NativeHandle handle() const override { return static_cast<NativeHandle>(m_id); }
    Control &control(std::size_t index) override { return *m_controls.at(index); }
    Timer &timer(std::size_t index) override { return *m_timers.at(index); }
    void startTimers() override
    {
        for (const auto &timer : m_timers)
            timer->start();
    }

    int id() const { return m_id; }
    void handle(PageEvent event, int control, bool shift);

private:
    // Fits the texts for the window drawn at `scale`, unless they are already.
    void fitTexts(double scale);
    // Moves the focus from `from` to the next control in tab order that takes
    // it (the previous one with `back`), round the window; Tab selects the
    // text of a text box it moves to.
    void focusNext(int from, bool back, bool selectAll);

    Form &m_form;
    const FormSpec &m_design;
    int m_id;
    std::vector<std::unique_ptr<WebControl>> m_controls;
    std::vector<std::unique_ptr<WebTimer>> m_timers;
    // Controls that take the focus, by tab index, then the commands' links,
    // each by the number of controls plus its own index.
    std::vector<int> m_tabOrder;
    bool m_shown = false;
    double m_fittedScale = 0; // none yet
};

WebWindow::WebWindow(Form &form)
    : m_form(form)
    , m_design(form.design())
{
    static int lastId = 0;
    m_id = ++lastId;
    windows()[m_id] = this;

    const FormSpec &design = m_design;
    // The controls to come, each of its kind in its frame: a window that the
    // page drew is taken over only where it has every one of them.
    std::vector<ControlElement> coming;
    for (const ControlSpec &control : design.controls) {
        const bool inFrame = !control.container.empty();
        coming.push_back(
            {.kind = static_cast<int>(control.kind),
             .parent = inFrame ? static_cast<int>(form.indexOf(control.container)) : -1,
             .name = control.name});
    }
    createWindow(m_id, design.name, design.caption, quaddle::applicationTitle, pixels(design.width),
                 pixels(design.height), packed(design.backColor), packed(design.foreColor), coming);
    setFont(m_id, -1, fontFamily(defaultFont()), defaultFont().points, defaultFont().weight);

    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const ControlSpec &control = design.controls[i];
        const int index = static_cast<int>(i);
        const bool inFrame = !control.container.empty();
        // Text on a designed background takes the window's designed text
        // colour where it has none of its own, as the browser's may not be
        // readable there.
        std::optional<Color> fore = control.foreColor;
        if (!fore && control.backColor && control.kind != ControlKind::CommandButton)
            fore = design.foreColor;
        createControl(
            m_id, index,
            {.kind = static_cast<int>(control.kind),
             .parent = inFrame ? static_cast<int>(form.indexOf(control.container)) : -1,
             .name = control.name,
             .text = control.text,
             .left = pixels(control.place.left),
             .top = pixels(control.place.top),
             .width = pixels(control.place.width),
             .height = pixels(control.place.height),
             .foreColor = packed(fore),
             .backColor = packed(control.backColor),
             .enabled = control.enabled,
             .centered = control.align == Align::Center,
             .link = control.handCursor,
             .accessibleName = control.accessibleName,
             .numeric = control.numeric,
             .enterPresses = control.kind == ControlKind::TextBox && !design.defaultButton.empty(),
             .fitGroup = control.shrinkToFit && control.font ? control.fitGroup : -1});
        m_controls.push_back(std::make_unique<WebControl>(m_id, index, control));
        if (takesFocus(control.kind))
            m_tabOrder.push_back(index);
    }
    std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(), [&](int a, int b) {
        return design.controls[static_cast<std::size_t>(a)].tabIndex <
               design.controls[static_cast<std::size_t>(b)].tabIndex;
    });
    // The commands' links stand beside the window, outside what was
    // designed, and come last in its tab order, so that a keyboard reaches
    // them too.
    for (std::size_t i = 0; i < design.commands.size(); ++i) {
        createCommand(m_id, static_cast<int>(i), design.commands[i].text);
        m_tabOrder.push_back(static_cast<int>(design.controls.size() + i));
    }

    for (std::size_t i = 0; i < design.timers.size(); ++i)
        m_timers.push_back(
            std::make_unique<WebTimer>(m_id, static_cast<int>(i), design.timers[i].intervalMs));
}

// Texts marked to fit are set just small enough for their boxes, measured
// in the fonts the browser draws them in, at the size it draws them: a
// window drawn larger or smaller has its texts fitted anew, as a desktop
// fits them anew at another DPI, since text does not grow quite in
// proportion to its size.
void WebWindow::fitTexts(double scale)
{
    if (scale == m_fittedScale)
        return;
    m_fittedScale = scale;
    const auto &controls = m_design.controls;
    std::vector<double> designed;
    std::vector<std::string> families;
    for (const ControlSpec &control : controls) {
        designed.push_back(control.font ? control.font->points : 0);
        families.push_back(control.font ? fontFamily(*control.font) : std::string());
    }
    const std::vector<double> sizes = backend::fittedSizes(
        m_design, designed, [&](std::size_t i) { return pixels(controls[i].place.width) * scale; },
        [&](std::size_t i, double points) {
            return textWidth(families[i], points * scale, controls[i].font->weight,
                             controls[i].text);
        });
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].font)
            setFont(m_id, static_cast<int>(i), families[i], sizes[i], controls[i].font->weight);
    }
}

void WebWindow::focusNext(int from, bool back, bool selectAll)
{
    const int count = static_cast<int>(m_tabOrder.size());
    const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), from);
    int position =
        at == m_tabOrder.end() ? (back ? count : -1) : static_cast<int>(at - m_tabOrder.begin());
    for (int step = 0; step < count; ++step) {
        position = (position + (back ? count - 1 : 1)) % count;
        const int index = m_tabOrder[static_cast<std::size_t>(position)];
        const int command = index - static_cast<int>(m_controls.size());
        if (command >= 0) {
            focusCommand(m_id, command);
            return;
        }
        if (m_controls[static_cast<std::size_t>(index)]->enabled()) {
            focus(m_id, index, selectAll);
            return;
        }
    }
}

void WebWindow::handle(PageEvent event, int control, bool shift)
{
    const auto index = static_cast<std::size_t>(control);
    switch (event) {
    case PageEvent::Click:
        m_form.raise(index, Event::Click);
        break;
    case PageEvent::MouseMove:
        if (control < 0)
            m_form.raiseFormMouseMove();
        else
            m_form.raise(index, Event::MouseMove);
        break;
    case PageEvent::Timer:
        m_form.raiseTimer(index);
        break;
    case PageEvent::Close:
        // The window goes the way Unload() takes it, later.
        m_form.Unload();
        break;
    case PageEvent::Tab:
        focusNext(control, shift, true);
        break;
    case PageEvent::Enter:
        if (!m_design.defaultButton.empty()) {
            const std::size_t button = m_form.indexOf(m_design.defaultButton);
            if (m_controls[button]->enabled())
                m_form.raise(button, Event::Click);
        }
        break;
    case PageEvent::Rescaled:
        fitTexts(web::scale(m_id));
        break;
    case PageEvent::Change:
        m_form.raise(index, Event::Change);
        break;
    case PageEvent::Command:
        m_form.raiseCommand(index);
        break;
    case PageEvent::Tasks:
    case PageEvent::Answer:
        break;
    }
}

std::deque<std::function<void()>> &tasks()
{
    static std::deque<std::function<void()>> queue;
    return queue;
}

void runTasks()
{
    // Everything posted until now, and what those tasks post in turn.
    while (!tasks().empty()) {
        std::function<void()> task = std::move(tasks().front());
        tasks().pop_front();
        task();
    }
}

const WebWindow &windowOf(const Form &form)
{
    return *static_cast<const WebWindow *>(form.backendWindow());
}

} // namespace

int windowId(const Form &form)
{
    return windowOf(form).id();
}

int windowId(const Control &control)
{
    return static_cast<const WebControl &>(control).window();
}

int controlIndex(const Control &control)
{
    return static_cast<const WebControl &>(control).index();
}

std::string elementId(const Form &form)
{
    return std::string(form.design().name);
}

std::string elementId(const Form &form, const Control &control)
{
    return elementId(form) + '-' + std::string(control.design().name);
}

} // namespace toolkit::web

// Every event of the page comes in here, one at a time. A handler that shows
// the warning box waits inside this call while the page goes on; what the
// page reports meanwhile comes once the handler has ended.
extern "C" EMSCRIPTEN_KEEPALIVE void quaddle_event(int window, int control, int what, int shift)
{
    using namespace toolkit::web;
    const auto event = static_cast<PageEvent>(what);
    if (event == PageEvent::Tasks) {
        runTasks();
        return;
    }
    if (event == PageEvent::Answer) {
        toolkit::web::answerJob(control);
        return;
    }
    const auto found = windows().find(window);
    if (found != windows().end())
        found->second->handle(event, control, shift != 0);
}

namespace toolkit::backend {

std::unique_ptr<Window> createWindow(Form &form)
{
    return std::make_unique<web::WebWindow>(form);
}

void post(std::function<void()> task)
{
    web::tasks().push_back(std::move(task));
    if (web::tasks().size() == 1)
        web::wakeForTasks();
}

} // namespace toolkit::backend
