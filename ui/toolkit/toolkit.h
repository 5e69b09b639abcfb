// The one interface through which the windows use a desktop toolkit. A window
// declares its controls once, as a table (kind, name, text, twips, font,
// colours, tab index), and binds its handlers by control and event; a backend
// (Qt, Win32, the browser) turns the table into real controls and routes their
// events back.
// Standard C++ only: texts are UTF-8, with CR LF between the lines of a
// multi-line text box.
//
// What every backend must do, whatever its toolkit does by itself:
// - place controls in twips (15 to a pixel at 96 DPI), scaled to the screen's
//   density, in windows of a fixed client size;
// - create controls in table order, give them focus in tab-index order (labels
//   and frames take none) and put the focus on the first one that takes it
//   when the window opens;
// - a double-click on a label is one Click; pointer moves over a label reach
//   that label, moves over the window's own background (and only those)
//   reach Form_MouseMove;
// - every kind of control, labels and frames too, reports the enabled state
//   last set; a disabled control takes no clicks and no pointer moves, and a
//   move over it is not one over the window's background;
// - a disabled frame disables what it contains, which reports so whatever
//   was set on it, and takes back the state last set on it once the frame is
//   enabled again;
// - a Change of a text box is the user's editing (typing, pasting, cutting,
//   undoing), once for each change of its text; setText raises none;
// - Enter in a single-line text box presses the window's default button;
//   Enter on a focused button clicks it, Space clicks it once, on release;
// - the warning box closes as Enter or Escape is pressed, and as Space is
//   released;
// - the window system's close command unloads a window as Unload() does;
// - a text marked shrinkToFit that the fonts at hand draw wider than its box
//   is set just small enough to fit (backend::fittedPoints, in backend.h), so
//   it stays whole.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// A window's native handle, as platform calls take it: the HWND on Windows,
// the window system's id elsewhere.
using NativeHandle = std::uintptr_t;

struct Color {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Color &, const Color &) = default;
};

// A position and size in twips, from the top left corner of the window's
// client area, or of the frame the control stands in.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// Pixels at 96 DPI; a backend scales them further on denser screens.
constexpr int pixels(int twips)
{
    return (twips + 7) / 15;
}

enum class Charset { Western, SimplifiedChinese };

// Texts joined at compile time, so that tables of controls stay constant data:
// joined<maker::name, suffix> for `constexpr char suffix[] = "..."`.
template <const char *...Parts> struct Joined {
    static constexpr auto storage = [] {
        std::array<char, (std::char_traits<char>::length(Parts) + ... + 1)> text{};
        auto out = text.begin();
        ((out = std::copy_n(Parts, std::char_traits<char>::length(Parts), out)), ...);
        return text;
    }();
};
template <const char *...Parts>
inline constexpr std::string_view joined{Joined<Parts...>::storage.data(),
                                         Joined<Parts...>::storage.size() - 1};

// What kind of face a design asks for. Where none of a design's faces is
// installed, a backend draws it in an installed face of the same kind: each
// backend keeps one table from kind to its stand-ins (see backend.h).
enum class FaceKind {
    Sans,     // the plain sans face of the dialogs
    Clerical, // a brush-written Chinese clerical script
};

// Every kind, for the backends' tables and their tests.
inline constexpr FaceKind faceKinds[] = {FaceKind::Sans, FaceKind::Clerical};

// A font by its designed face names (one face may have several names, such as
// "隶书" and "LiSu") and the kind of face they are.
struct Font {
    std::span<const std::string_view> faces;
    FaceKind kind;
    double points;
    int weight = 400; // 400 regular, 700 bold
    Charset charset = Charset::Western;
};

enum class ControlKind {
    Label,
    TextBox,          // single line
    MultiLineTextBox, // no scroll bars, CR LF between lines
    CommandButton,
    Frame, // contains the controls that name it as their container
    // Multi-line and read-only, with a vertical scroll bar where the text is
    // longer than the box: a list the user reads, selects and copies.
    ScrollingTextBox,
};

enum class Align { Left, Center };

// Tables of these are constant data: every text is a view of a constant.
struct ControlSpec {
    ControlKind kind;
    std::string_view name;
    std::string_view text;
    Twips place;
    int tabIndex;
    std::string_view container{}; // the frame it stands in; empty for the window
    std::optional<Font> font{};   // the toolkit's default font where unset
    std::optional<Color> foreColor{};
    std::optional<Color> backColor{}; // the container's background where unset
    bool enabled = true;
    Align align = Align::Left;
    bool handCursor = false;  // a link
    bool shrinkToFit = false; // see backend::fittedPoints
    int fitGroup = 0;         // controls of one group share the smallest fitted size
    std::string_view accessibleName{};
    bool numeric = false; // a text box for a number: a touch keyboard offers its keypad
};

// A command that a window's design has no control for, so that it changes
// nothing drawn: an entry of the context menu of the control it names on a
// desktop, and a link beside the window on the page, where a touch screen has
// no context menu. Handlers bind to its name with Event::Click.
struct CommandSpec {
    std::string_view name;
    std::string_view text;
    std::string_view control;
};

struct TimerSpec {
    std::string_view name;
    int intervalMs;
};

struct FormSpec {
    std::string_view name;
    std::string_view caption;
    int width; // client area, in twips
    int height;
    std::optional<Color> backColor{};
    // The colour of text drawn on the window's designed background, where a
    // control sets none of its own: a desktop theme's own may not be readable
    // there.
    std::optional<Color> foreColor{};
    std::span<const ControlSpec> controls;
    std::span<const TimerSpec> timers{}; // enabled as designed: they run from Load
    std::string_view defaultButton{};    // pressed by Enter in a single-line text box
    std::span<const CommandSpec> commands{};
};

enum class Event { Click, MouseMove, Change, Timer };

// A control of a loaded window, as its backend made it.
class Control
{
public:
    virtual ~Control() = default;

    virtual const ControlSpec &design() const = 0;

    // The caption of a label or button, the text of a text box.
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;
    virtual Color foreColor() const = 0;
    virtual void setForeColor(Color color) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

// A timer owned by a loaded window.
class Timer
{
public:
    virtual ~Timer() = default;
    virtual int interval() const = 0;
    virtual bool running() const = 0;
};

namespace backend {
class Window;
}

// A window's handler for one event of one of its controls (or timers).
template <typename Window> struct Handler {
    std::string_view control;
    Event event;
    void (Window::*run)();
};

// A top-level window of the program. Creating the object creates no window:
// the first Show() loads it (creates its controls from the table, starts its
// timers, runs Form_Load), then shows it modeless; Show() on a window already
// shown brings it to the front. Unload(), or the window
// system's close command, hides it at once and destroys it once control is
// back in the event loop, so a window can unload itself from its own handler.
// A window object of the caller's own may be destroyed at any time, also while
// it unloads: its window goes with it.
// When no loaded window is left, the program ends.
class Form
{
public:
    explicit Form(const FormSpec &design);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    void Show();
    void Unload();
    bool isLoaded() const { return m_window != nullptr; }

    // The native window handle, for calls into the platform.
    NativeHandle hWnd() const;

    const FormSpec &design() const { return m_design; }
    // A control or timer of the loaded window, by its designed name.
    Control &control(std::string_view name) const;
    Control &controlAt(std::size_t index) const;
    Timer &timer(std::string_view name) const;
    std::size_t indexOf(std::string_view name) const;
    // One of its commands, by its designed name.
    std::size_t indexOfCommand(std::string_view name) const;

    // The backend's window, while loaded; for the backend's own use.
    backend::Window *backendWindow() const { return m_window.get(); }

    // What the backend reports.
    void raise(std::size_t control, Event event);
    void raiseCommand(std::size_t command);
    void raiseTimer(std::size_t timer);
    void raiseFormMouseMove() { Form_MouseMove(); }

protected:
    virtual void Form_Load() {}
    // The pointer moved over the window's own background, not over a control.
    virtual void Form_MouseMove() {}

    template <typename Window> void bind(std::span<const Handler<Window>> handlers)
    {
        for (const Handler<Window> &handler : handlers)
            bindHandler(handler.control, handler.event,
                        [this, run = handler.run] { (static_cast<Window *>(this)->*run)(); });
    }

private:
    template <typename Window> friend Window &form();

    void bindHandler(std::string_view control, Event event, std::function<void()> run);
    std::vector<std::function<void()>> &handlersOf(Event event);
    std::optional<std::size_t> findCommand(std::string_view name) const;
    void destroyWindow();

    const FormSpec &m_design;
    std::unique_ptr<backend::Window> m_window;
    bool m_unloading = false;
    // Per control, then per command and per timer: the handler of each
    // event, if any.
    std::vector<std::function<void()>> m_clicks, m_moves, m_changes, m_commands, m_ticks;
    // Set for the program-wide instance: destroys it once its window is gone.
    std::function<void()> m_release;
    // Lives and dies with the object: a deferred unload that finds it gone
    // does nothing, as the destructor has already taken the window down.
    std::shared_ptr<const bool> m_lifetime = std::make_shared<const bool>(true);
};

namespace detail {
template <typename Window> std::unique_ptr<Window> &instance()
{
    static std::unique_ptr<Window> window;
    return window;
}
} // namespace detail

// The program-wide instance of a window class, created on first use and
// created afresh after it has been unloaded.
template <typename Window> Window &form()
{
    std::unique_ptr<Window> &window = detail::instance<Window>();
    if (!window) {
        window = std::make_unique<Window>();
        window->m_release = [] {
            detail::instance<Window>().reset();
        };
    }
    return *window;
}

// Whether the program-wide instance exists: created and not yet unloaded.
template <typename Window> bool formExists()
{
    return detail::instance<Window>() != nullptr;
}

// A designed control of a window, by name, for the window's own code:
// `Text1->setText("")`. Valid while the window is loaded.
class ControlRef
{
public:
    ControlRef(const Form &form, std::string_view name)
        : m_form(form)
        , m_index(form.indexOf(name))
    {}
    Control *operator->() const { return &m_form.controlAt(m_index); }

private:
    const Form &m_form;
    std::size_t m_index;
};

// Work that runs away from the windows, so that they go on answering while it
// runs: on a thread of its own on a desktop, in a worker of its own on the
// page. It takes a request and gives an answer, both texts, and stops soon
// after `stop` is requested. The page's worker runs its own copy of the
// program's code and finds the function there by its name.
struct Work {
    std::string_view name;
    std::string (*run)(std::string_view request, std::stop_token stop);
};

// Work under way. Destroying it abandons the work: its answer never arrives.
class Job
{
public:
    virtual ~Job() = default;
};

// Starts `work` on `request`; `done` receives the answer in the event loop,
// or an empty one where the work could not be done at all (the page's worker
// did not load, or failed).
std::unique_ptr<Job> startJob(const Work &work, std::string request,
                              std::function<void(std::string answer)> done);

// The application's title: the caption of message boxes that have none.
std::string applicationTitle();

// The modal warning box: exclamation icon, one OK button, titled with the
// application's title, modal to the program's windows. Returns when the user
// has closed it.
void MsgBoxWarning(std::string_view prompt);

// Replaces what MsgBoxWarning does, for tests; an empty handler restores the
// real box. Returns the handler that was in place.
using MessageBoxHandler = std::function<void(std::string_view title, std::string_view prompt)>;
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

// The application's version numbers, from the program's version record.
struct AppVersion {
    int major;
    int minor;
    int revision;
};
AppVersion appVersion();

} // namespace toolkit
