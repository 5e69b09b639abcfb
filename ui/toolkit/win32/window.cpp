// The toolkit's windows as Win32 top-level windows: each control kind as the
// system control that behaves like it (STATIC, EDIT, BUTTON), placed in twips
// at the window's density, with its events routed back to the form, and the
// window's commands in the context menus of their controls.
#include "eventloop.h"
#include "fonts.h"
#include "handles.h"
#include "toolkit/backend.h"
#include "unicode.h"
#include "win32window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace toolkit::win32 {

namespace {

constexpr wchar_t formClass[] = L"QuaddleForm";
// Control ids start above IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Escape where no button takes them.
constexpr int firstControlId = 100;
// The window's commands in a context menu, above the ids of the standard
// entries, which are the messages they send (WM_CUT and the rest).
constexpr UINT firstCommandId = 0x8000;
constexpr DWORD formStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD formExStyle = WS_EX_CONTROLPARENT;

COLORREF rgb(Color color)
{
    return RGB(color.red, color.green, color.blue);
}

Color color(COLORREF color)
{
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

int scaled(int twips, int dpi)
{
    return MulDiv(twips, dpi, 1440);
}

HINSTANCE instance()
{
    return GetModuleHandleW(nullptr);
}

class Win32Window;

// The system control a kind is made of: its window class and its styles.
struct SystemControl {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle = 0;
};

// What every control kind shares. Each kind below is written in one place:
// the system control it is made of (its static system()) and its handling of
// that control's messages, in its subclass procedure, and of the
// notifications and colour requests the window hands it.
class Win32Control : public Control
{
public:
    // Creates the system control as a child of the window.
    Win32Control(Win32Window &window, std::size_t index, const SystemControl &system);
    ~Win32Control() override
    {
        if (m_handle)
            RemoveWindowSubclass(m_handle, &Win32Control::subclassProc, 0);
    }

    const ControlSpec &design() const override { return m_design; }
    std::string text() const override { return narrow(wideText()); }
    void setText(std::string_view text) override { SetWindowTextW(m_handle, widen(text).c_str()); }
    Color foreColor() const override;
    void setForeColor(Color color) override
    {
        if (m_foreColor == color)
            return;
        m_foreColor = color;
        InvalidateRect(m_handle, nullptr, TRUE);
    }
    bool enabled() const override { return IsWindowEnabled(m_handle); }
    void setEnabled(bool enabled) override;
    // The state last set on it, which a disabled frame around it overrides.
    bool enabledAsSet() const { return m_enabledAsSet; }

    HWND handle() const { return m_handle; }
    bool takesFocus() const { return GetWindowLongPtrW(m_handle, GWL_STYLE) & WS_TABSTOP; }

    // A notification from the control to the window (WM_COMMAND).
    virtual void command(WORD) {}
    // The colours to draw the control in: a brush, or null for the system's.
    HBRUSH colors(HDC dc);

    // A font of the control's own, kept as long as the control draws in it.
    void setOwnFont(UniqueFont font)
    {
        SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        m_font = std::move(font);
    }

protected:
    std::wstring wideText() const
    {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_handle)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(m_handle, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    virtual LRESULT message(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_CONTEXTMENU && contextMenu(lParam))
            return 0;
        // The menu key asks for it on its release, as the system's default
        // handling does on Windows, where Wine's does not; that handling
        // does not see the key then, so the menu pops up once.
        if (message == WM_KEYUP && wParam == VK_APPS && contextMenu(MAKELPARAM(-1, -1)))
            return 0;
        return DefSubclassProc(m_handle, message, wParam, lParam);
    }
    void raise(Event event);
    // Whether the control shows its container's background, as labels do.
    virtual bool transparent() const { return false; }
    virtual int systemBackground() const { return COLOR_BTNFACE; }
    virtual int systemText() const { return COLOR_BTNTEXT; }
    // Whether the system, left to itself, would draw the control in other
    // colours than its kind's: a read-only box asks for a label's.
    virtual bool systemColorsDiffer() const { return false; }
    // The entries of the control's own context menu, which the window's
    // commands follow, and what choosing one of them does.
    virtual bool hasOwnContextMenu() const { return false; }
    virtual void addOwnEntries(HMENU) {}
    virtual void chooseOwnEntry(UINT) {}

    Win32Window &m_window;
    std::size_t m_index;
    const ControlSpec &m_design;
    HWND m_handle; // owned by the window

private:
    static LRESULT CALLBACK subclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data)
    {
        auto *control = reinterpret_cast<Win32Control *>(data);
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(handle, &Win32Control::subclassProc, 0);
            control->m_handle = nullptr;
            return DefSubclassProc(handle, message, wParam, lParam);
        }
        return control->message(message, wParam, lParam);
    }
    std::optional<Color> background() const;
    bool contextMenu(LPARAM at);

    std::optional<Color> m_foreColor;
    UniqueFont m_font;
    bool m_enabledAsSet = m_design.enabled;
};

// A label reports a Click when the button is released over it after a
// press on it. The second press of a double-click comes as a double-click
// message, which starts no Click, so a double-click is one Click.
class LabelControl : public Win32Control
{
public:
    using Win32Control::Win32Control;
    static SystemControl system(const FormSpec &, const ControlSpec &design)
    {
        const DWORD align =
            design.align == Align::Center ? SS_CENTER | SS_CENTERIMAGE : SS_LEFTNOWORDWRAP;
        return {L"STATIC", SS_NOTIFY | SS_NOPREFIX | align};
    }

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_LBUTTONDOWN:
            m_pressed = true;
            SetCapture(m_handle);
            return 0;
        case WM_LBUTTONDBLCLK:
            m_pressed = false;
            SetCapture(m_handle);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = m_pressed;
            m_pressed = false;
            if (GetCapture() == m_handle)
                ReleaseCapture();
            RECT box;
            GetClientRect(m_handle, &box);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (wasPressed && PtInRect(&box, at))
                raise(Event::Click);
            return 0;
        }
        case WM_CAPTURECHANGED:
            m_pressed = false;
            return 0;
        case WM_MOUSEMOVE:
            raise(Event::MouseMove);
            return 0;
        case WM_SETCURSOR:
            if (m_design.handCursor && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        return Win32Control::message(message, wParam, lParam);
    }
    bool transparent() const override { return true; }

private:
    bool m_pressed = false;
};

// A single-line box reports each change the user makes to its text (typing,
// pasting, cutting, undoing) as a Change; setText makes none. Its context
// menu, and every other box's, has the standard entries in the program's
// language, whatever the language of Windows.
class TextBoxControl : public Win32Control
{
public:
    TextBoxControl(Win32Window &window, std::size_t index, const SystemControl &system)
        : Win32Control(window, index, system)
    {
        // No length limit: whatever is typed or pasted is read as it stands.
        SendMessageW(m_handle, EM_SETLIMITTEXT, 0, 0);
    }
    static SystemControl system(const FormSpec &, const ControlSpec &)
    {
        return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    }

    // The box notifies the change while its text is set: no Change.
    void setText(std::string_view text) override
    {
        const bool wasSetting = std::exchange(m_settingText, true);
        Win32Control::setText(text);
        m_settingText = wasSetting;
        m_lastText = wideText();
    }
    // A change is a text other than the last: the box notifies some edits
    // twice (an undo, under Wine), and an edit that leaves the text as it
    // was (a paste of the same text) changes nothing.
    void command(WORD code) override
    {
        if (code != EN_CHANGE || m_design.kind != ControlKind::TextBox)
            return;
        std::wstring text = wideText();
        if (m_settingText || text == m_lastText)
            return;
        m_lastText = std::move(text);
        raise(Event::Change);
    }

protected:
    int systemBackground() const override { return COLOR_WINDOW; }
    int systemText() const override { return COLOR_WINDOWTEXT; }
    bool hasOwnContextMenu() const override { return true; }
    void addOwnEntries(HMENU menu) override;
    void chooseOwnEntry(UINT entry) override;

private:
    bool m_settingText = false;
    std::wstring m_lastText = widen(m_design.text);
};

// The standard entries, as the system's edit box has them, each greyed where
// it does nothing; their ids are the messages they send to the box.
void TextBoxControl::addOwnEntries(HMENU menu)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const LONG_PTR style = GetWindowLongPtrW(m_handle, GWL_STYLE);
    const bool editable = !(style & ES_READONLY);
    const bool selected = start != end;
    const bool shown = !(style & ES_PASSWORD);
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(m_handle));
    const struct {
        UINT id;
        const wchar_t *text;
        bool enabled;
    } entries[] = {
        {WM_UNDO, L"撤消(&U)", editable && SendMessageW(m_handle, EM_CANUNDO, 0, 0)},
        {0, nullptr, false},
        {WM_CUT, L"剪切(&T)", editable && selected && shown},
        {WM_COPY, L"复制(&C)", selected && shown},
        {WM_PASTE, L"粘贴(&P)", editable && IsClipboardFormatAvailable(CF_UNICODETEXT)},
        {WM_CLEAR, L"删除(&D)", editable && selected},
        {0, nullptr, false},
        {EM_SETSEL, L"全选(&A)", start != 0 || end != length},
    };
    for (const auto &entry : entries) {
        if (!entry.text)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED), entry.id,
                        entry.text);
    }
}

void TextBoxControl::chooseOwnEntry(UINT entry)
{
    if (entry == EM_SETSEL)
        SendMessageW(m_handle, EM_SETSEL, 0, -1);
    else
        SendMessageW(m_handle, entry, 0, 0);
}

// Enter starts a new line; Tab moves on rather than typing a tab; Escape is
// left to the window, as in a single-line box, where the system's box would
// close a window it takes for a dialog.
class MultiLineControl : public TextBoxControl
{
public:
    using TextBoxControl::TextBoxControl;
    static SystemControl system(const FormSpec &, const ControlSpec &)
    {
        return {L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_LEFT,
                WS_EX_CLIENTEDGE};
    }

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GETDLGCODE) {
            LRESULT code = TextBoxControl::message(message, wParam, lParam) & ~DLGC_WANTTAB;
            const auto *key = reinterpret_cast<const MSG *>(lParam);
            if (key && key->message == WM_KEYDOWN &&
                (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
                code &= ~DLGC_WANTALLKEYS;
            return code;
        }
        return TextBoxControl::message(message, wParam, lParam);
    }
};

// A list to read, select and copy: read-only, its lines wrapped, with a
// vertical scroll bar, drawn as the other boxes are.
class ScrollingControl : public MultiLineControl
{
public:
    using MultiLineControl::MultiLineControl;
    static SystemControl system(const FormSpec &, const ControlSpec &)
    {
        return {L"EDIT",
                WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT,
                WS_EX_CLIENTEDGE};
    }

protected:
    bool systemColorsDiffer() const override { return true; }
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        // Tabbed into, a list keeps its place: it is not selected whole,
        // which would scroll it to its end.
        if (message == WM_GETDLGCODE)
            return MultiLineControl::message(message, wParam, lParam) & ~DLGC_HASSETSEL;
        return MultiLineControl::message(message, wParam, lParam);
    }
};

class ButtonControl : public Win32Control
{
public:
    using Win32Control::Win32Control;
    static SystemControl system(const FormSpec &form, const ControlSpec &design)
    {
        const DWORD push = design.name == form.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        return {L"BUTTON", WS_TABSTOP | push};
    }

    void command(WORD code) override
    {
        if (code == BN_CLICKED && IsWindowEnabled(m_handle))
            raise(Event::Click);
    }

protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A frame draws its border; the controls in it are the window's children,
// placed by the frame's position, so the dialog manager reaches them.
class FrameControl : public Win32Control
{
public:
    using Win32Control::Win32Control;
    static SystemControl system(const FormSpec &, const ControlSpec &)
    {
        return {L"BUTTON", BS_GROUPBOX};
    }

protected:
    // A group box draws only its border and caption; its inside, which the
    // window does not paint under a child, is filled here.
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ERASEBKGND) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT inside;
            GetClientRect(m_handle, &inside);
            HBRUSH brush = colors(dc);
            FillRect(dc, &inside, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        return Win32Control::message(message, wParam, lParam);
    }
    bool transparent() const override { return true; }
};

class Win32Timer : public Timer
{
public:
    Win32Timer(HWND window, UINT_PTR id, int interval)
        : m_window(window)
        , m_id(id)
        , m_interval(interval)
    {}
    int interval() const override { return m_interval; }
    bool running() const override { return m_running; }
    void start() { m_running = SetTimer(m_window, m_id, static_cast<UINT>(m_interval), nullptr); }
    void stop()
    {
        if (m_running)
            KillTimer(m_window, m_id);
        m_running = false;
    }

private:
    HWND m_window;
    UINT_PTR m_id;
    int m_interval;
    bool m_running = false;
};

class Win32Window : public backend::Window
{
public:
    explicit Win32Window(Form &form);
    ~Win32Window() override;

    void show() override
    {
        // Shown again, a window comes to the front, where the user looks for it.
        const bool visible = IsWindowVisible(m_handle.get());
        ShowWindow(m_handle.get(), SW_SHOW);
        if (visible)
            SetForegroundWindow(m_handle.get());
    }
    void hide() override
    {
        for (auto &timer : m_timers)
            timer->stop();
        ShowWindow(m_handle.get(), SW_HIDE);
    }
    NativeHandle handle() const override { return reinterpret_cast<NativeHandle>(m_handle.get()); }
    Control &control(std::size_t index) override { return *m_controls.at(index); }
    Timer &timer(std::size_t index) override { return *m_timers.at(index); }
    void startTimers() override
    {
        for (auto &timer : m_timers)
            timer->start();
    }

    Form &form() const { return m_form; }
    HWND hwnd() const { return m_handle.get(); }
    int dpi() const { return m_dpi; }
    Win32Control *controlOf(HWND handle) const
    {
        for (const auto &control : m_controls) {
            if (control->handle() == handle)
                return control.get();
        }
        return nullptr;
    }
    // The background a control shows where it has none of its own: its
    // frame's, else the window's.
    std::optional<Color> containerBackground(const ControlSpec &design) const
    {
        if (!design.container.empty()) {
            if (const auto &frame = m_form.design().controls[m_form.indexOf(design.container)];
                frame.backColor)
                return frame.backColor;
        }
        return m_form.design().backColor;
    }
    HBRUSH brush(Color color)
    {
        UniqueBrush &brush = m_brushes[rgb(color)];
        if (!brush)
            brush.reset(CreateSolidBrush(rgb(color)));
        return brush.get();
    }
    // A focused push button is the one Enter presses; elsewhere the designed
    // default button is.
    void buttonFocusChanged(HWND button, bool focused);
    // Enables or disables a control as set on it, but disabled in a disabled
    // frame; for a frame, the controls in it too, as they are no children of
    // its system control.
    void showEnabled(const Win32Control &control);

    static LRESULT CALLBACK windowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam);
    void applyDpi(int dpi);
    void placeControls();
    void fitTexts();
    void setTabOrder();
    void restoreFocus();
    HWND firstFocusable() const;
    HWND designedDefault() const
    {
        const std::string_view name = m_form.design().defaultButton;
        return name.empty() ? nullptr : m_controls[m_form.indexOf(name)]->handle();
    }

    Form &m_form;
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    UniqueWindow m_handle;
    UniqueFont m_defaultFont;
    std::map<COLORREF, UniqueBrush> m_brushes;
    std::vector<std::unique_ptr<Win32Control>> m_controls;
    std::vector<std::unique_ptr<Win32Timer>> m_timers;
    HWND m_focus = nullptr;         // where the focus returns when the window is activated
    HWND m_defaultButton = nullptr; // the button drawn as the default one
};

Win32Control::Win32Control(Win32Window &window, std::size_t index, const SystemControl &system)
    : m_window(window)
    , m_index(index)
    , m_design(window.form().design().controls[index])
    , m_handle(CreateWindowExW(
          system.exStyle, system.className, widen(m_design.text).c_str(),
          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | system.style, 0, 0, 0, 0, window.hwnd(),
          reinterpret_cast<HMENU>(firstControlId + static_cast<INT_PTR>(index)), instance(),
          nullptr))
    , m_foreColor(m_design.foreColor)
{
    SetWindowSubclass(m_handle, &Win32Control::subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    EnableWindow(m_handle, m_design.enabled);
}

void Win32Control::setEnabled(bool enabled)
{
    m_enabledAsSet = enabled;
    m_window.showEnabled(*this);
}

void Win32Control::raise(Event event)
{
    m_window.form().raise(m_index, event);
}

std::optional<Color> Win32Control::background() const
{
    if (m_design.backColor)
        return m_design.backColor;
    return transparent() ? m_window.containerBackground(m_design) : std::nullopt;
}

Color Win32Control::foreColor() const
{
    if (m_foreColor)
        return *m_foreColor;
    if (background() && m_window.form().design().foreColor)
        return *m_window.form().design().foreColor;
    return color(GetSysColor(systemText()));
}

HBRUSH Win32Control::colors(HDC dc)
{
    const std::optional<Color> back = background();
    if (!back && !m_foreColor && !systemColorsDiffer())
        return nullptr;
    SetTextColor(dc, rgb(foreColor()));
    SetBkColor(dc, back ? rgb(*back) : GetSysColor(systemBackground()));
    SetBkMode(dc, OPAQUE);
    return back ? m_window.brush(*back) : GetSysColorBrush(systemBackground());
}

// The control's own entries, then the window's commands for it. A menu asked
// for from the keyboard (-1, -1) pops up over the middle of the control, as
// the system's does. Without commands, a control without entries of its own
// leaves the request to the system.
bool Win32Control::contextMenu(LPARAM lParam)
{
    const std::span<const CommandSpec> commands = m_window.form().design().commands;
    const auto mine = [&](const CommandSpec &command) {
        return command.control == m_design.name;
    };
    if (!hasOwnContextMenu() && std::none_of(commands.begin(), commands.end(), mine))
        return false;

    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {
        RECT box;
        GetClientRect(m_handle, &box);
        at = {box.right / 2, box.bottom / 2};
        ClientToScreen(m_handle, &at);
    }
    if (takesFocus() && GetFocus() != m_handle)
        SetFocus(m_handle);

    const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(
        CreatePopupMenu(), &DestroyMenu);
    addOwnEntries(menu.get());
    bool separated = GetMenuItemCount(menu.get()) == 0;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!mine(commands[i]))
            continue;
        if (!std::exchange(separated, true))
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.get(), MF_STRING, commandId(i), widen(commands[i].text).c_str());
    }

    // The menu runs a modal loop, in which the window may go: whatever is
    // chosen is carried out only if the control is still there.
    HWND handle = m_handle;
    Form &form = m_window.form();
    const UINT chosen =
        TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       at.x, at.y, 0, handle, nullptr);
    if (!chosen || !IsWindow(handle))
        return true;
    if (chosen >= firstCommandId)
        form.raiseCommand(chosen - commandId(0));
    else
        chooseOwnEntry(chosen);
    return true;
}

LRESULT ButtonControl::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        m_window.buttonFocusChanged(m_handle, message == WM_SETFOCUS);
    return Win32Control::message(message, wParam, lParam);
}

// A kind's system control, made the window's child, with the kind's
// behaviour attached.
template <typename Kind> std::unique_ptr<Win32Control> make(Win32Window &window, std::size_t index)
{
    const FormSpec &form = window.form().design();
    return std::make_unique<Kind>(window, index, Kind::system(form, form.controls[index]));
}

std::unique_ptr<Win32Control> makeControl(Win32Window &window, std::size_t index)
{
    switch (window.form().design().controls[index].kind) {
    case ControlKind::Label:
        return make<LabelControl>(window, index);
    case ControlKind::TextBox:
        return make<TextBoxControl>(window, index);
    case ControlKind::MultiLineTextBox:
        return make<MultiLineControl>(window, index);
    case ControlKind::ScrollingTextBox:
        return make<ScrollingControl>(window, index);
    case ControlKind::CommandButton:
        return make<ButtonControl>(window, index);
    case ControlKind::Frame:
        return make<FrameControl>(window, index);
    }
    return nullptr;
}

Win32Window::Win32Window(Form &form)
    : m_form(form)
{
    initialize();
    const FormSpec &design = form.design();
    m_handle.reset(CreateWindowExW(formExStyle, formClass, widen(design.caption).c_str(), formStyle,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance(),
                                   this));
    m_dpi = static_cast<int>(GetDpiForWindow(hwnd()));
    if (m_dpi <= 0)
        m_dpi = USER_DEFAULT_SCREEN_DPI;

    for (std::size_t i = 0; i < design.controls.size(); ++i)
        m_controls.push_back(makeControl(*this, i));
    for (const auto &control : m_controls)
        showEnabled(*control);
    for (std::size_t i = 0; i < design.timers.size(); ++i)
        m_timers.push_back(
            std::make_unique<Win32Timer>(hwnd(), i + 1, design.timers[i].intervalMs));
    applyDpi(m_dpi);
    setTabOrder();
    m_defaultButton = designedDefault();
    m_focus = firstFocusable();
}

Win32Window::~Win32Window()
{
    for (auto &timer : m_timers)
        timer->stop();
    // No more messages reach this object; the children go with the window,
    // while their control objects still exist to see them go.
    SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
    m_handle.reset();
}

void Win32Window::showEnabled(const Win32Control &control)
{
    const std::string_view frame = control.design().container;
    EnableWindow(control.handle(),
                 control.enabledAsSet() &&
                     (frame.empty() || m_controls[m_form.indexOf(frame)]->enabled()));
    if (control.design().kind != ControlKind::Frame)
        return;
    for (const auto &inside : m_controls) {
        if (inside->design().container == control.design().name)
            showEnabled(*inside);
    }
}

// Sizes, places and fonts for a density: at creation, and again when the
// window moves to a screen of another density.
void Win32Window::applyDpi(int dpi)
{
    m_dpi = dpi;
    // One face for every control in the default font, with all their characters.
    std::wstring defaultTexts;
    for (const auto &control : m_controls) {
        if (!control->design().font)
            defaultTexts += widen(control->design().text);
    }
    UniqueFont defaultFontHandle =
        createFont(defaultFont(), defaultFont().points, dpi, defaultTexts);
    for (const auto &control : m_controls) {
        if (!control->design().font)
            SendMessageW(control->handle(), WM_SETFONT,
                         reinterpret_cast<WPARAM>(defaultFontHandle.get()), TRUE);
    }
    m_defaultFont = std::move(defaultFontHandle);

    const FormSpec &design = m_form.design();
    RECT frame{0, 0, scaled(design.width, dpi), scaled(design.height, dpi)};
    AdjustWindowRectExForDpi(&frame, formStyle, FALSE, formExStyle, static_cast<UINT>(dpi));
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The title bar drawn may differ from the one calculated (a window still
    // at its old density, a desktop's own metrics): the client area is what
    // must come out exact.
    RECT client;
    GetClientRect(hwnd(), &client);
    const int missingWidth = scaled(design.width, dpi) - client.right;
    const int missingHeight = scaled(design.height, dpi) - client.bottom;
    if (missingWidth || missingHeight)
        SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left + missingWidth,
                     frame.bottom - frame.top + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    placeControls();
    fitTexts();

    const int big = GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi));
    const int small = GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    for (const auto &[which, size] : {std::pair{ICON_BIG, big}, std::pair{ICON_SMALL, small}}) {
        // The program's icon resource; test programs have none and keep the default.
        if (HANDLE icon = LoadImageW(instance(), L"IDI_ICON1", IMAGE_ICON, size, size, LR_SHARED))
            SendMessageW(hwnd(), WM_SETICON, static_cast<WPARAM>(which),
                         reinterpret_cast<LPARAM>(icon));
    }
}

void Win32Window::placeControls()
{
    const FormSpec &design = m_form.design();
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const ControlSpec &control = design.controls[i];
        int left = scaled(control.place.left, m_dpi);
        int top = scaled(control.place.top, m_dpi);
        if (!control.container.empty()) {
            const Twips &frame = design.controls[m_form.indexOf(control.container)].place;
            left += scaled(frame.left, m_dpi);
            top += scaled(frame.top, m_dpi);
        }
        SetWindowPos(m_controls[i]->handle(), nullptr, left, top,
                     scaled(control.place.width, m_dpi), scaled(control.place.height, m_dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Texts marked to fit are set just small enough for their boxes, measured
// in the fonts they are drawn in.
void Win32Window::fitTexts()
{
    const FormSpec &design = m_form.design();
    std::vector<double> designed;
    for (const ControlSpec &control : design.controls)
        designed.push_back(control.font ? control.font->points : 0);
    const WindowDc dc = windowDc(hwnd());
    const std::vector<double> sizes = backend::fittedSizes(
        design, designed,
        [&](std::size_t i) {
            RECT box;
            GetClientRect(m_controls[i]->handle(), &box);
            return static_cast<double>(box.right - box.left);
        },
        [&](std::size_t i, double points) {
            const std::wstring text = widen(m_controls[i]->text());
            const UniqueFont font = createFont(*design.controls[i].font, points, m_dpi, text);
            const SelectObjectGuard selected(dc.get(), font.get());
            SIZE extent{};
            GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
            return static_cast<double>(extent.cx);
        });
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (design.controls[i].font)
            m_controls[i]->setOwnFont(createFont(*design.controls[i].font, sizes[i], m_dpi,
                                                 widen(m_controls[i]->text())));
    }
}

// The dialog manager walks the controls in z-order, so they are stacked in
// tab-index order; labels follow, frames last, below the controls in them.
void Win32Window::setTabOrder()
{
    std::vector<Win32Control *> order;
    for (const auto &control : m_controls)
        order.push_back(control.get());
    const auto rank = [](const Win32Control *control) {
        if (control->design().kind == ControlKind::Frame)
            return 2;
        return control->takesFocus() ? 0 : 1;
    };
    std::stable_sort(order.begin(), order.end(), [&](const Win32Control *a, const Win32Control *b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return a->design().tabIndex < b->design().tabIndex;
    });
    HWND after = HWND_TOP;
    for (const Win32Control *control : order) {
        SetWindowPos(control->handle(), after, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control->handle();
    }
}

HWND Win32Window::firstFocusable() const
{
    const Win32Control *first = nullptr;
    for (const auto &control : m_controls) {
        if (control->takesFocus() && control->enabled() &&
            (!first || control->design().tabIndex < first->design().tabIndex))
            first = control.get();
    }
    return first ? first->handle() : nullptr;
}

void Win32Window::restoreFocus()
{
    HWND target = m_focus;
    if (!target || !IsWindow(target) || !IsWindowEnabled(target))
        target = firstFocusable();
    if (target)
        SetFocus(target);
}

void Win32Window::buttonFocusChanged(HWND button, bool focused)
{
    HWND wanted = focused ? button : designedDefault();
    if (wanted == m_defaultButton)
        return;
    if (m_defaultButton)
        SendMessageW(m_defaultButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (wanted)
        SendMessageW(wanted, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    m_defaultButton = wanted;
}

LRESULT CALLBACK Win32Window::windowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *window = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    // Messages during creation come before the handle is kept.
    if (window && window->m_handle)
        return window->message(message, wParam, lParam);
    return DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT Win32Window::message(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const auto id = static_cast<std::size_t>(LOWORD(wParam));
        const std::size_t index = id - firstControlId;
        if (id >= firstControlId && index < m_controls.size() &&
            m_controls[index]->handle() == reinterpret_cast<HWND>(lParam))
            m_controls[index]->command(HIWORD(wParam));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (Win32Control *control = controlOf(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->colors(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd(), &client);
        const std::optional<Color> back = m_form.design().backColor;
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 back ? brush(*back) : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_MOUSEMOVE: {
        // Only the window's own background: a frame lets the pointer through
        // to the window, but it is not background.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (ChildWindowFromPointEx(hwnd(), at, CWP_SKIPINVISIBLE) == hwnd())
            m_form.raiseFormMouseMove();
        return 0;
    }
    case WM_TIMER:
        if (wParam >= 1 && wParam <= m_timers.size()) {
            m_form.raiseTimer(wParam - 1);
            return 0;
        }
        break;
    case WM_CLOSE:
        // The window goes the way Unload() takes it, later.
        m_form.Unload();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(hwnd(), focus))
                m_focus = focus;
        } else if (!HIWORD(wParam)) {
            restoreFocus();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case DM_GETDEFID:
        // The button Enter presses: the focused one, else the designed one.
        if (m_defaultButton)
            return MAKELRESULT(GetDlgCtrlID(m_defaultButton), DC_HASDEFID);
        return 0;
    case WM_NEXTDLGCTL: {
        // Sent by the dialog manager for Tab and Shift+Tab.
        HWND target = LOWORD(lParam)
                          ? reinterpret_cast<HWND>(wParam)
                          : GetNextDlgTabItem(hwnd(), GetFocus(), static_cast<BOOL>(wParam));
        if (target) {
            SetFocus(target);
            if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                SendMessageW(target, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        applyDpi(HIWORD(wParam));
        SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

const Win32Window &windowOf(const Form &form)
{
    return *static_cast<const Win32Window *>(form.backendWindow());
}

} // namespace

void initialize()
{
    static const bool done = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW form{};
        form.cbSize = sizeof(form);
        form.lpfnWndProc = &Win32Window::windowProc;
        form.hInstance = instance();
        form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        form.lpszClassName = formClass;
        form.hIcon = LoadIconW(instance(), L"IDI_ICON1");
        RegisterClassExW(&form);
        // Made here, on the windows' thread, before any work can post to it.
        tasksWindow();
        return true;
    }();
    (void)done;
}

bool isFormWindow(HWND handle)
{
    wchar_t name[std::size(formClass) + 1]{};
    GetClassNameW(handle, name, static_cast<int>(std::size(name)));
    return std::wstring_view(name) == formClass;
}

HWND windowHandle(const Form &form)
{
    return windowOf(form).hwnd();
}

HWND controlHandle(const Control &control)
{
    return static_cast<const Win32Control &>(control).handle();
}

Control *controlOf(const Form &form, HWND handle)
{
    return form.backendWindow() && handle ? windowOf(form).controlOf(handle) : nullptr;
}

int dpiOf(const Form &form)
{
    return windowOf(form).dpi();
}

UINT commandId(std::size_t command)
{
    return firstCommandId + static_cast<UINT>(command);
}

HFONT fontOf(const Control &control)
{
    return reinterpret_cast<HFONT>(
        SendMessageW(static_cast<const Win32Control &>(control).handle(), WM_GETFONT, 0, 0));
}

} // namespace toolkit::win32

namespace toolkit::backend {

std::unique_ptr<Window> createWindow(Form &form)
{
    return std::make_unique<win32::Win32Window>(form);
}

} // namespace toolkit::backend
