// Test input as the window system delivers it: mouse messages to the window
// under the pointer, key messages through the message queue, where the
// dialog manager sees them as it sees typing.
#include "toolkit/testing.h"

#include "eventloop.h"
#include "handles.h"
#include "unicode.h"
#include "win32window.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace toolkit::testing {

struct Session::Impl {};

namespace {

HWND window(Form &form)
{
    return win32::windowHandle(form);
}

POINT centre(HWND handle)
{
    RECT box;
    GetClientRect(handle, &box);
    return {(box.right - box.left) / 2, (box.bottom - box.top) / 2};
}

LPARAM at(POINT point)
{
    return MAKELPARAM(point.x, point.y);
}

// Where the window system sends the pointer's messages at a point of a
// control: to the control, or, where it is disabled or lets the pointer
// through (a frame), to the window beneath it.
std::pair<HWND, POINT> pointerTarget(HWND control)
{
    POINT point = centre(control);
    HWND top = GetAncestor(control, GA_ROOT);
    POINT onScreen = point;
    ClientToScreen(control, &onScreen);
    const LRESULT hit = SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(onScreen.x, onScreen.y));
    if (IsWindowEnabled(control) && hit != HTTRANSPARENT)
        return {control, point};
    MapWindowPoints(control, top, &point, 1);
    return {top, point};
}

void send(HWND target, UINT message, WPARAM wParam, POINT point)
{
    PostMessageW(target, message, wParam, at(point));
    processEvents();
}

// Keys go to the focused control of the active window, as typing does.
HWND keyTarget(Form &form)
{
    HWND top = window(form);
    if (GetActiveWindow() != top)
        SetActiveWindow(top);
    HWND focus = GetFocus();
    return focus && (focus == top || IsChild(top, focus)) ? focus : top;
}

LPARAM keyData(UINT virtualKey, bool release)
{
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    return 1 | static_cast<LPARAM>(scan << 16) | (release ? (3 << 30) : 0);
}

void key(HWND target, UINT virtualKey, bool shift)
{
    // The dialog manager reads Shift from the keyboard state.
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    const std::array<BYTE, 256> before = state;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state.data());
    PostMessageW(target, WM_KEYDOWN, virtualKey, keyData(virtualKey, false));
    processEvents();
    // The key-up goes where the focus is now, as it does for a real key.
    HWND focus = GetFocus();
    PostMessageW(focus ? focus : target, WM_KEYUP, virtualKey, keyData(virtualKey, true));
    processEvents();
    std::array<BYTE, 256> restored = before;
    SetKeyboardState(restored.data());
}

// Puts `text` on the clipboard, as a program the user copied it in does.
void setClipboard(HWND owner, const std::wstring &text)
{
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 100 && !(open = OpenClipboard(owner)); ++attempt)
        Sleep(10);
    if (!open)
        throw std::runtime_error("the clipboard could not be opened");
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool set = false;
    if (data) {
        std::memcpy(GlobalLock(data), text.c_str(), bytes);
        GlobalUnlock(data);
        set = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        if (!set)
            GlobalFree(data);
    }
    CloseClipboard();
    if (!set)
        throw std::runtime_error("the clipboard took no text");
}

// A command chosen from a context menu as the user does with the keyboard:
// Down until the command's entry is highlighted, then Enter. A thread timer
// takes each step from inside the menu's modal loop, which dispatches its
// messages; a menu without the entry, or one that does not respond, is
// closed again, so the test fails rather than hangs.
struct Choice {
    UINT id;
    std::wstring text;
    ULONGLONG deadline;
    bool menuSeen = false;
    bool entryFound = false;
    bool entered = false;
    bool timedOut = false;
};
thread_local Choice *choice = nullptr;

HWND shownMenu()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[16]{};
            GetClassNameW(window, name, static_cast<int>(std::size(name)));
            if (std::wstring_view(name) != L"#32768" || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND *>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void postKey(HWND target, UINT virtualKey)
{
    PostMessageW(target, WM_KEYDOWN, virtualKey, keyData(virtualKey, false));
    PostMessageW(target, WM_KEYUP, virtualKey, keyData(virtualKey, true));
}

void CALLBACK stepThroughMenu(HWND, UINT, UINT_PTR, DWORD)
{
    Choice *wanted = choice;
    HWND window = shownMenu();
    if (!wanted || !window)
        return;
    wanted->menuSeen = true;
    if (GetTickCount64() >= wanted->deadline) {
        wanted->timedOut = true;
        EndMenu();
        return;
    }
    if (wanted->entered)
        return;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    const UINT state = menu ? GetMenuState(menu, wanted->id, MF_BYCOMMAND) : static_cast<UINT>(-1);
    wchar_t text[256]{};
    if (state != static_cast<UINT>(-1))
        GetMenuStringW(menu, wanted->id, text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
    wanted->entryFound = state != static_cast<UINT>(-1) && wanted->text == text;
    if (!wanted->entryFound || (state & (MF_GRAYED | MF_DISABLED))) {
        EndMenu();
        return;
    }
    HWND focus = GetFocus();
    if (state & MF_HILITE) {
        wanted->entered = true;
        postKey(focus ? focus : window, VK_RETURN);
    } else {
        postKey(focus ? focus : window, VK_DOWN);
    }
}

} // namespace

Session::Session(int &, char **)
    : d(std::make_unique<Impl>())
{
    // As the program's manifest declares it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    win32::initialize();
}

Session::~Session() = default;

void processEvents()
{
    MSG message;
    // Bounded, so a message that keeps coming back cannot hang a test.
    for (int i = 0; i < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i)
        win32::dispatch(message);
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        if (GetTickCount64() >= deadline)
            return false;
        processEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void click(Control &control)
{
    const auto [target, point] = pointerTarget(win32::controlHandle(control));
    send(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
    send(target, WM_LBUTTONUP, 0, point);
}

void doubleClick(Control &control)
{
    // The second press comes as a double-click where the window's class asks
    // for double-clicks, as a press where it does not.
    const auto [target, point] = pointerTarget(win32::controlHandle(control));
    const bool wantsDoubleClicks = GetClassLongPtrW(target, GCL_STYLE) & CS_DBLCLKS;
    send(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
    send(target, WM_LBUTTONUP, 0, point);
    send(target, wantsDoubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, point);
    send(target, WM_LBUTTONUP, 0, point);
}

void moveMouseOver(Control &control)
{
    const auto [target, point] = pointerTarget(win32::controlHandle(control));
    send(target, WM_MOUSEMOVE, 0, point);
}

void moveMouseOverBackground(Form &form, int left, int top)
{
    const int dpi = win32::dpiOf(form);
    const POINT point{MulDiv(left, dpi, 1440), MulDiv(top, dpi, 1440)};
    send(window(form), WM_MOUSEMOVE, 0, point);
}

void pressKey(Form &form, Key pressed)
{
    HWND target = keyTarget(form);
    switch (pressed) {
    case Key::Tab:
        key(target, VK_TAB, false);
        break;
    case Key::BackTab:
        key(target, VK_TAB, true);
        break;
    case Key::Return:
        key(target, VK_RETURN, false);
        break;
    case Key::Escape:
        key(target, VK_ESCAPE, false);
        break;
    case Key::Space:
        key(target, VK_SPACE, false);
        break;
    }
}

namespace {

// The real warning box's answer, from a timer in the box's modal loop: the
// key pressed on one tick, released on the next, and the box closed with its
// button on the one after; the step last taken is the one that closed it.
struct {
    UINT key;
    int steps;
} warningAnswer;

void CALLBACK answerWarning(HWND, UINT, UINT_PTR, DWORD)
{
    HWND button = GetFocus();
    HWND box = GetAncestor(button, GA_ROOT);
    wchar_t name[8]{};
    if (!GetClassNameW(box, name, 8) || std::wstring_view(name) != L"#32770")
        return;
    const int step = warningAnswer.steps++;
    if (step < 2)
        PostMessageW(button, step ? WM_KEYUP : WM_KEYDOWN, warningAnswer.key,
                     keyData(warningAnswer.key, step == 1));
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
}

} // namespace

ClosedOn answerWarningWithKey(Key key)
{
    const UINT keys[] = {VK_TAB, VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE};
    warningAnswer = {keys[static_cast<int>(key)], 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, answerWarning);
    MsgBoxWarning("key");
    KillTimer(nullptr, timer);
    return static_cast<ClosedOn>(warningAnswer.steps - 1);
}

void typeText(Form &form, const std::string &text)
{
    for (const wchar_t unit : win32::widen(text)) {
        PostMessageW(keyTarget(form), WM_CHAR, unit, 1);
        processEvents();
    }
}

void pasteText(Form &form, const std::string &text)
{
    HWND target = keyTarget(form);
    setClipboard(window(form), win32::widen(text));
    SendMessageW(target, EM_SETSEL, 0, -1);
    SendMessageW(target, WM_PASTE, 0, 0);
    processEvents();
}

bool commandsTakeFocus()
{
    return false;
}

void chooseCommand(Form &form, std::string_view command)
{
    const std::size_t index = form.indexOfCommand(command);
    const CommandSpec &design = form.design().commands[index];
    // The menu key, in the command's control: its context menu pops up.
    HWND control = win32::controlHandle(form.control(design.control));
    keyTarget(form);
    SetFocus(control);
    Choice wanted{win32::commandId(index), win32::widen(design.text), GetTickCount64() + 10000};
    choice = &wanted;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, stepThroughMenu);
    key(control, VK_APPS, false);
    // The menu has run in the key's handling; one that comes later is
    // waited for, until it has gone.
    waitUntil([&] { return wanted.menuSeen && !shownMenu(); }, 15000);
    KillTimer(nullptr, timer);
    choice = nullptr;
    if (!wanted.menuSeen)
        throw std::runtime_error("no context menu popped up for " + std::string(command));
    if (!wanted.entryFound)
        throw std::runtime_error("the context menu has no entry " + std::string(command));
    if (!wanted.entered || wanted.timedOut)
        throw std::runtime_error("the entry " + std::string(command) + " could not be chosen");
}

Control *focusedControl(Form &form)
{
    return form.isLoaded() ? win32::controlOf(form, GetFocus()) : nullptr;
}

void closeFromWindowSystem(Form &form)
{
    SendMessageW(window(form), WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool isVisible(Form &form)
{
    return form.isLoaded() && IsWindowVisible(window(form));
}

double scale(const Form &form)
{
    return win32::dpiOf(form) / static_cast<double>(USER_DEFAULT_SCREEN_DPI);
}

PixelBox clientArea(const Form &form)
{
    RECT client;
    GetClientRect(win32::windowHandle(form), &client);
    return {0, 0, client.right, client.bottom};
}

PixelBox box(const Control &control)
{
    HWND handle = win32::controlHandle(control);
    RECT box;
    GetWindowRect(handle, &box);
    MapWindowPoints(nullptr, GetAncestor(handle, GA_ROOT), reinterpret_cast<POINT *>(&box), 2);
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

int innerWidth(const Control &control)
{
    HWND handle = win32::controlHandle(control);
    RECT inner;
    GetClientRect(handle, &inner);
    wchar_t className[16]{};
    GetClassNameW(handle, className, static_cast<int>(std::size(className)));
    const std::wstring_view kind = className;
    if (kind == L"Edit") {
        // The formatting rectangle: inside the margins the box keeps free.
        SendMessageW(handle, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&inner));
    } else if (kind == L"Button" &&
               (GetWindowLongPtrW(handle, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
        // A push button draws its text inside its raised edge and its focus rectangle.
        InflateRect(&inner, -(GetSystemMetrics(SM_CXEDGE) + 1), 0);
    }
    return inner.right - inner.left;
}

int textWidth(const Control &control)
{
    const win32::WindowDc dc = win32::windowDc(win32::controlHandle(control));
    const win32::SelectObjectGuard selected(dc.get(), win32::fontOf(control));
    const std::wstring text = win32::widen(control.text());
    int widest = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), text.c_str() + start, static_cast<int>(end - start),
                              &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
        start = end + 2;
    }
    return widest;
}

std::string caption(Form &form)
{
    HWND handle = window(form);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return win32::narrow(text);
}

} // namespace toolkit::testing
