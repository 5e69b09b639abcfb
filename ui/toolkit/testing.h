// Real input for the windows' tests, through each backend's own event
// handling, and what the screen shows of a window, so that the same tests
// check every backend. Not part of the program: only the tests link it.
#pragma once

#include "toolkit.h"

#include <functional>
#include <memory>
#include <string>

namespace toolkit::testing {

// The toolkit, started for a test program (Qt runs offscreen where no
// platform is chosen). One per program, before any window.
class Session
{
public:
    Session(int &argc, char **argv);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Handles every pending event, deferred unloads included.
void processEvents();
// Handles events until `done` holds or `timeoutMs` has passed; whether it holds.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 3000);

// A press and release of the left mouse button over the middle of a control.
void click(Control &control);
// Two clicks in quick succession, as the window system reports a double-click.
void doubleClick(Control &control);
// The pointer, no button pressed, over the middle of a control.
void moveMouseOver(Control &control);
// The pointer over a point of the window's own background, in twips.
void moveMouseOverBackground(Form &form, int left, int top);

enum class Key { Tab, BackTab, Return, Escape, Space };
// A key pressed and released in the window, to the control with the focus.
void pressKey(Form &form, Key key);
// Which of a key's press and its release closed the real warning box.
enum class ClosedOn { Press, Release, Neither };
// Shows the real warning box (MsgBoxWarning) and answers it as the user
// does, with the key pressed and then released, each on its own, to its
// focused button; one that the key leaves open is then closed with the button.
ClosedOn answerWarningWithKey(Key key);
// Types text into the control with the focus, a character at a time.
void typeText(Form &form, const std::string &text);
// Pastes `text` over the whole text of the control with the focus, as from
// the clipboard.
void pasteText(Form &form, const std::string &text);
// Chooses one of the window's commands as the user does: from the context
// menu of its control on a desktop, by its link on the page.
void chooseCommand(Form &form, std::string_view command);
// Whether a window's commands take the focus in its tab order, after its
// controls: links on the page do, context menus' entries do not.
bool commandsTakeFocus();
// The control of `form` that has the keyboard focus, if any.
Control *focusedControl(Form &form);

// The window system's close command, as the title bar's close button sends it.
void closeFromWindowSystem(Form &form);
bool isVisible(Form &form);
std::string caption(Form &form);

// What a loaded window looks like on the screen, in device pixels: the
// screen's own, 1.5 to a pixel at 96 DPI on a 144 DPI screen.
struct PixelBox {
    int left;
    int top;
    int width;
    int height;
};

// Device pixels to a pixel at 96 DPI, as the window is drawn: 1 at 96 DPI.
double scale(const Form &form);
// The window's client area; its left and top are 0.
PixelBox clientArea(const Form &form);
// Where a control is drawn, from the top left corner of its window's client
// area (a control in a frame too), whether or not the window clips it.
PixelBox box(const Control &control);
// The width that a control lays its text out in, inside its border and margins.
int innerWidth(const Control &control);
// The width of a control's text in the font it is drawn in; the widest line
// of a multi-line text.
int textWidth(const Control &control);

} // namespace toolkit::testing
