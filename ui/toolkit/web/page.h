// The page's side of the browser backend: the few calls through which C++
// builds and reads the DOM. Elements are known by the id of their window and
// their index in its table; the page keeps the elements themselves.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace toolkit::web {

// What the page reports to quaddle_event(window, control, what, shift).
enum class PageEvent {
    Click,     // a click on a control (a double-click counts once on a label)
    MouseMove, // over a control, or over the window's own background (control -1)
    Timer,     // a tick of the window's timer `control`
    Close,     // the close button on the caption bar
    Tab,       // Tab, or Shift+Tab, in the window
    Enter,     // Enter in a single-line text box
    Tasks,     // work posted for later
    Rescaled,  // the window is drawn at another scale now (scale())
    Change,    // the user changed the text of a single-line text box
    Command,   // a click on the link of the window's command `control`
    Answer,    // the answer of job `control` has come (answer())
};

// A colour packed as 0xRRGGBB, or -1 for none (the system's).
constexpr int noColor = -1;

struct ControlElement {
    int kind;   // ControlKind
    int parent; // index of the frame it stands in, or -1 for the client area
    std::string_view name;
    std::string_view text;
    int left, top, width, height; // CSS pixels
    int foreColor;
    int backColor;
    bool enabled;
    bool centered;
    bool link;
    std::string_view accessibleName;
    bool numeric;      // a text box for a number
    bool enterPresses; // Enter in it presses the window's default button
    int fitGroup;      // for a text fitted to its box, its group (0: none); else -1
};

// A window of the controls to come (createControl, in order): the one the
// page drew before the program ran, where it has every element of them.
void createWindow(int window, std::string_view name, std::string_view caption,
                  std::string_view untitled, int width, int height, int backColor, int foreColor,
                  std::span<const ControlElement> controls);
void createControl(int window, int index, const ControlElement &control);
// The link of one of the window's commands, beside the window.
void createCommand(int window, int index, std::string_view text);
void showWindow(int window);
// The scale the window is drawn at on the page: 1 where it is drawn as
// designed, more on a touch screen, less where the screen is too small.
double scale(int window);
void hideWindow(int window);
void removeWindow(int window);

std::string text(int window, int index);
// The caption shown on the window's caption bar.
std::string caption(int window);
void setText(int window, int index, std::string_view text);
// The colour the text is drawn in, as the page computes it.
int foreColor(int window, int index);
void setForeColor(int window, int index, int color);
bool enabled(int window, int index);
void setEnabled(int window, int index, bool enabled);
void setFont(int window, int index, std::string_view family, double points, int weight);
// The width of `text` in CSS pixels, in the given font.
double textWidth(std::string_view family, double points, int weight, std::string_view text);
// Focuses a control; `selectAll` selects a text box's text, as Tab does.
void focus(int window, int index, bool selectAll);
void focusCommand(int window, int index);
// The index of the control with the focus, if it is in this window; else -1.
int focused(int window);

// A periodic timer; returns its id for stopTimer.
int startTimer(int window, int timer, int intervalMs);
void stopTimer(int id);
// Asks for a PageEvent::Tasks once the browser has handled what is pending.
void wakeForTasks();

// Work away from the page, in a worker of its own that runs the program's own
// copy of `work` (a Work's name) on `request`; a PageEvent::Answer with the
// job's id follows. Abandoning a job ends its worker if it is still at it.
void startWork(int job, std::string_view work, std::string_view request);
void abandonWork(int job);
// The answer of a job that has reported, once: empty where the worker could
// not do the work (it did not load, or failed).
std::string answer(int job);

// Opens a web address in a new tab, without access to this page, or hands a
// mailto: address to the browser.
void openAddress(std::string_view address, bool newTab);
// The modal warning box; returns when the user has closed it. Boxes are shown
// one at a time, and while a caller waits for one the page reports nothing
// else. Only where another call already waits (a test's own sleep) does the
// caller go on at once, its box shown in its turn.
void warningBox(std::string_view title, std::string_view text, std::string_view button);
// The line that says the program has ended, with a link that starts it again.
void showEnded(std::string_view text, std::string_view again);

} // namespace toolkit::web
