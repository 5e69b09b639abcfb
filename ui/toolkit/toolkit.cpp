// The part of the toolkit that every backend shares: windows that load on
// first show and unload later, handlers bound by control and event, the test
// seams for the warning box and the shell, the order in which faces are
// tried, and the fitting of texts.
#include "backend.h"
#include "quaddlefacts.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace toolkit {

namespace {

MessageBoxHandler &messageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

ShellHandler &shellHandler()
{
    static ShellHandler handler;
    return handler;
}

// Windows loaded and not yet destroyed; the program ends with the last.
int loadedWindows = 0;

} // namespace

Form::Form(const FormSpec &design)
    : m_design(design)
    , m_clicks(design.controls.size())
    , m_moves(design.controls.size())
    , m_changes(design.controls.size())
    , m_commands(design.commands.size())
    , m_ticks(design.timers.size())
{}

Form::~Form()
{
    if (m_window)
        --loadedWindows;
}

void Form::Show()
{
    if (m_unloading)
        return;
    if (!m_window) {
        m_window = backend::createWindow(*this);
        ++loadedWindows;
        m_window->startTimers();
        Form_Load();
    }
    m_window->show();
}

void Form::Unload()
{
    if (!m_window || m_unloading)
        return;
    m_unloading = true;
    m_window->hide();
    backend::post([this, lifetime = std::weak_ptr(m_lifetime)] {
        if (!lifetime.expired())
            destroyWindow();
    });
}

void Form::destroyWindow()
{
    m_window.reset();
    m_unloading = false;
    const bool last = --loadedWindows == 0;
    // The program-wide instance goes with its window; `this` is gone after.
    if (m_release)
        std::exchange(m_release, nullptr)();
    if (last)
        backend::quit();
}

NativeHandle Form::hWnd() const
{
    return m_window ? m_window->handle() : 0;
}

std::size_t Form::indexOf(std::string_view name) const
{
    const auto &controls = m_design.controls;
    const auto found =
        std::find_if(controls.begin(), controls.end(),
                     [&](const ControlSpec &control) { return control.name == name; });
    if (found == controls.end())
        throw std::invalid_argument("no control named " + std::string(name));
    return static_cast<std::size_t>(found - controls.begin());
}

std::optional<std::size_t> Form::findCommand(std::string_view name) const
{
    const auto &commands = m_design.commands;
    const auto found =
        std::find_if(commands.begin(), commands.end(),
                     [&](const CommandSpec &command) { return command.name == name; });
    if (found == commands.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - commands.begin());
}

std::size_t Form::indexOfCommand(std::string_view name) const
{
    if (const std::optional<std::size_t> command = findCommand(name))
        return *command;
    throw std::invalid_argument("no command named " + std::string(name));
}

Control &Form::controlAt(std::size_t index) const
{
    assert(m_window && "the window is not loaded");
    return m_window->control(index);
}

Control &Form::control(std::string_view name) const
{
    return controlAt(indexOf(name));
}

Timer &Form::timer(std::string_view name) const
{
    const auto &timers = m_design.timers;
    const auto found = std::find_if(timers.begin(), timers.end(),
                                    [&](const TimerSpec &timer) { return timer.name == name; });
    if (found == timers.end())
        throw std::invalid_argument("no timer named " + std::string(name));
    assert(m_window && "the window is not loaded");
    return m_window->timer(static_cast<std::size_t>(found - timers.begin()));
}

void Form::bindHandler(std::string_view control, Event event, std::function<void()> run)
{
    if (event == Event::Timer) {
        const auto &timers = m_design.timers;
        const auto found = std::find_if(timers.begin(), timers.end(), [&](const TimerSpec &timer) {
            return timer.name == control;
        });
        if (found == timers.end())
            throw std::invalid_argument("no timer named " + std::string(control));
        m_ticks[static_cast<std::size_t>(found - timers.begin())] = std::move(run);
        return;
    }
    if (event == Event::Click) {
        if (const std::optional<std::size_t> command = findCommand(control)) {
            m_commands[*command] = std::move(run);
            return;
        }
    }
    handlersOf(event)[indexOf(control)] = std::move(run);
}

std::vector<std::function<void()>> &Form::handlersOf(Event event)
{
    switch (event) {
    case Event::Click:
        return m_clicks;
    case Event::MouseMove:
        return m_moves;
    case Event::Change:
        return m_changes;
    case Event::Timer:
        break;
    }
    return m_ticks;
}

void Form::raise(std::size_t control, Event event)
{
    const auto &handlers = handlersOf(event);
    if (m_window && control < handlers.size() && handlers[control])
        handlers[control]();
}

void Form::raiseCommand(std::size_t command)
{
    if (m_window && !m_unloading && command < m_commands.size() && m_commands[command])
        m_commands[command]();
}

void Form::raiseTimer(std::size_t timer)
{
    if (m_window && !m_unloading && timer < m_ticks.size() && m_ticks[timer])
        m_ticks[timer]();
}

std::string applicationTitle()
{
    return quaddle::applicationTitle;
}

void MsgBoxWarning(std::string_view prompt)
{
    if (const MessageBoxHandler &handler = messageBoxHandler()) {
        handler(applicationTitle(), prompt);
        return;
    }
    backend::showWarning(applicationTitle(), prompt);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(messageBoxHandler(), std::move(handler));
}

AppVersion appVersion()
{
    return backend::versionNumbers();
}

std::unique_ptr<Job> startJob(const Work &work, std::string request,
                              std::function<void(std::string answer)> done)
{
    return backend::startJob(work, std::move(request), std::move(done));
}

bool ShellExecute(NativeHandle owner, std::string_view operation, std::string_view file,
                  std::string_view parameters, std::string_view directory, int showCommand)
{
    ShellRequest request{owner,
                         std::string(operation),
                         std::string(file),
                         std::string(parameters),
                         std::string(directory),
                         showCommand};
    if (request.file.empty())
        return false;
    // The one rule of every backend: a web page or a new e-mail, never a file,
    // a program or a scheme that runs something ("javascript:" in a page,
    // "ms-settings:" on Windows), whatever the caller passes. An address
    // without a scheme is a web page's, so that it cannot name a program.
    const std::string scheme = backend::schemeOf(request.file);
    if (scheme.empty())
        request.file.insert(0, "http://");
    else if (scheme != "http" && scheme != "https" && scheme != "mailto")
        return false;
    if (const ShellHandler &handler = shellHandler()) {
        handler(request);
        return true;
    }
    return backend::openDocument(request);
}

ShellHandler setShellHandler(ShellHandler handler)
{
    return std::exchange(shellHandler(), std::move(handler));
}

namespace backend {

// The scheme of an address, in lower case (schemes are case-insensitive), or
// nothing for a bare host name. A scheme is a letter followed by letters,
// digits, "+", "-" or ".", then ":". A host name followed by a port
// ("example.com:8080", "localhost:8000/path") looks the same, so a colon
// followed by a number that ends the address or its host part is a port.
std::string schemeOf(std::string_view address)
{
    const auto colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    const std::string_view rest = address.substr(colon + 1);
    const auto digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
    const bool port =
        digits > 0 && (digits == rest.size() ||
                       std::string_view("/?#").find(rest[digits]) != std::string_view::npos);
    if (port)
        return {};
    const auto letter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    if (!letter(address[0]))
        return {};
    std::string scheme;
    for (const char c : address.substr(0, colon)) {
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return {};
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return scheme;
}

std::vector<std::string_view> candidateFaces(const Font &font, std::span<const StandIns> table)
{
    std::vector<std::string_view> faces(font.faces.begin(), font.faces.end());
    for (const StandIns &row : table) {
        if (row.kind != font.kind)
            continue;
        for (const std::string_view face : row.faces) {
            if (std::find(faces.begin(), faces.end(), face) == faces.end())
                faces.push_back(face);
        }
    }
    return faces;
}

double fittedPoints(double designed, double width, const std::function<double(double)> &advance)
{
    constexpr double step = 0.5;
    constexpr double smallest = 6;
    const double designedAdvance = advance(designed);
    if (designedAdvance <= width)
        return designed;

    const int lastStep = static_cast<int>(std::ceil((designed - smallest) / step));
    if (lastStep < 1)
        return designed;
    const double estimate = designed * width / designedAdvance;
    int steps = std::clamp(static_cast<int>(std::ceil((designed - estimate) / step)), 1, lastStep);
    while (steps > 1 && advance(designed - (steps - 1) * step) <= width)
        --steps;
    while (steps < lastStep && advance(designed - steps * step) > width)
        ++steps;
    return designed - steps * step;
}

std::vector<double> fittedSizes(const FormSpec &design, const std::vector<double> &designed,
                                const std::function<double(std::size_t)> &width,
                                const std::function<double(std::size_t, double)> &advance)
{
    std::vector<double> sizes = designed;
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const ControlSpec &control = design.controls[i];
        if (control.shrinkToFit && designed[i] > 0)
            sizes[i] = fittedPoints(designed[i], width(i),
                                    [&](double points) { return advance(i, points); });
    }
    // A group reads as one line of text: all in the smallest size of any.
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const int group = design.controls[i].fitGroup;
        if (group == 0)
            continue;
        for (std::size_t j = 0; j < design.controls.size(); ++j) {
            if (design.controls[j].fitGroup == group)
                sizes[i] = std::min(sizes[i], sizes[j]);
        }
    }
    return sizes;
}

} // namespace backend

} // namespace toolkit
