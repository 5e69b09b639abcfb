// What only the Win32 backend does: windows that move between screens of
// different densities, the fonts it picks, labels and the dialog manager,
// designed colours, the real warning box, and work posted to the message loop
// from the windows' thread and from others.
#include "about/frmabout.h"
#include "every/frmevery.h"
#include "main/form1.h"
#include "shellrecorder.h"
#include "toolkit/testing.h"
#include "toolkit/win32/fonts.h"
#include "toolkit/win32/unicode.h"
#include "toolkit/win32/win32window.h"
#include "windowlayout.h"

#include "toolkit/backend.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <numeric>
#include <span>
#include <string>
#include <thread>
#include <vector>

using toolkit::testing::processEvents;
namespace win32 = toolkit::win32;

namespace {

// The main window, with the changes of its first entry and its command counted.
class Counted : public Form1
{
public:
    Counted() { bind<Counted>(handlers); }
    int changes = 0;
    int commands = 0;
    void changed() { ++changes; }
    void chosen() { ++commands; }

private:
    static constexpr toolkit::Handler<Counted> handlers[] = {
        {"TxtNum1", toolkit::Event::Change, &Counted::changed},
        {"mnuEvery", toolkit::Event::Click, &Counted::chosen},
    };
};

// Each case starts with no window loaded, whatever the last one left.
struct Windows {
    Windows() { unloadAll(); }
    ~Windows() { unloadAll(); }
    static void unloadAll()
    {
        if (toolkit::formExists<frmAbout>())
            toolkit::form<frmAbout>().Unload();
        if (toolkit::formExists<Form1>())
            toolkit::form<Form1>().Unload();
        if (toolkit::formExists<Counted>())
            toolkit::form<Counted>().Unload();
        if (toolkit::formExists<frmEvery>())
            toolkit::form<frmEvery>().Unload();
        processEvents();
    }
};

void changeDpi(toolkit::Form &form, int dpi)
{
    HWND window = win32::windowHandle(form);
    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

struct Colors {
    COLORREF text;
    COLORREF back;
};

// The colours the window gives a control to draw in, asked as the control
// asks before it paints.
Colors drawingColors(toolkit::Form &form, const toolkit::Control &control, UINT message)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(win32::windowHandle(form), message, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(win32::controlHandle(control)));
    const Colors colors{GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return colors;
}

std::wstring faceOf(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE]{};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return face;
}

LOGFONTW logFontOf(HFONT font)
{
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

std::wstring clipboard()
{
    std::wstring text;
    REQUIRE(OpenClipboard(nullptr));
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        text = static_cast<const wchar_t *>(GlobalLock(data)), GlobalUnlock(data);
    CloseClipboard();
    return text;
}

// The context menu of a control as the keyboard asks for it: each entry's
// text and whether it may be chosen ("-" a separator); then the entry whose
// mnemonic is `pick` is chosen with it.
std::vector<std::pair<std::wstring, bool>> contextMenu(HWND control, wchar_t pick)
{
    static std::vector<std::pair<std::wstring, bool>> seen;
    static wchar_t key;
    static int ticks;
    seen.clear();
    key = pick;
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menuWindow = nullptr;
        while ((menuWindow = FindWindowExW(nullptr, menuWindow, L"#32768", nullptr)) &&
               !IsWindowVisible(menuWindow)) {
        }
        if (!menuWindow)
            return;
        if (++ticks > 1) { // no answer to the key
            EndMenu();
            return;
        }
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64]{L"-"};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            seen.emplace_back(state & MF_SEPARATOR ? L"-" : text, !(state & MF_GRAYED));
        }
        PostMessageW(GetFocus(), WM_CHAR, key, 1);
    });
    SetFocus(control);
    SendMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(-1, -1));
    KillTimer(nullptr, timer);
    return seen;
}

template <typename Window> Window &shown()
{
    Window &window = toolkit::form<Window>();
    window.Show();
    processEvents();
    return window;
}

} // namespace

TEST_CASE_FIXTURE(Windows, "the windows keep their layout as they move between 96 and 144 DPI")
{
    Form1 &form1 = shown<Form1>();
    frmAbout &about = shown<frmAbout>();
    frmEvery &every = shown<frmEvery>();
    // And back, without drift.
    for (const int dpi : {96, 144, 96}) {
        CAPTURE(dpi);
        for (toolkit::Form *form :
             {static_cast<toolkit::Form *>(&form1), static_cast<toolkit::Form *>(&about),
              static_cast<toolkit::Form *>(&every)}) {
            changeDpi(*form, dpi);
            CHECK(toolkit::testing::scale(*form) == dpi / 96.0);
            checkLayout(*form);
        }
        // The default font is the 8-point dialog font at this density.
        CHECK(logFontOf(win32::fontOf(form1.control("Label1"))).lfHeight == -MulDiv(8, dpi, 72));
    }
    // Of a fixed size.
    for (toolkit::Form *form :
         {static_cast<toolkit::Form *>(&form1), static_cast<toolkit::Form *>(&about),
          static_cast<toolkit::Form *>(&every)}) {
        const LONG_PTR style = GetWindowLongPtrW(win32::windowHandle(*form), GWL_STYLE);
        CHECK((style & WS_THICKFRAME) == 0);
        CHECK((style & WS_MAXIMIZEBOX) == 0);
    }
}

TEST_CASE_FIXTURE(Windows,
                  "the About window's texts are drawn in installed faces that have them, at 96 and "
                  "144 DPI")
{
    frmAbout &about = shown<frmAbout>();
    for (const int dpi : {96, 144}) {
        changeDpi(about, dpi);
        for (std::size_t i = 0; i < about.design().controls.size(); ++i) {
            const toolkit::ControlSpec &design = about.design().controls[i];
            if (!design.font)
                continue;
            CAPTURE(dpi);
            CAPTURE(design.name);
            const toolkit::Control &control = about.controlAt(i);
            const std::wstring face = faceOf(win32::fontOf(control));
            // The face drawn in is one installed, not GDI's silent substitute,
            // and it has every character of the text.
            const bool installed = win32::isInstalled(face, toolkit::Charset::Western) ||
                                   win32::isInstalled(face, toolkit::Charset::SimplifiedChinese);
            CHECK(installed);
            CHECK(win32::covers(face, design.font->charset, win32::widen(control.text())));
            CHECK(logFontOf(win32::fontOf(control)).lfCharSet ==
                  win32::gdiCharset(design.font->charset));
        }
    }
}

TEST_CASE("a design whose faces are not installed is drawn in an installed face of its kind")
{
    // One row per kind: the faces the windows are designed with, which Wine
    // lacks and current Windows has as a bitmap font at most, and the faces
    // of that kind that Windows, or Wine with Debian's fonts, may have.
    static constexpr std::string_view sans[] = {"MS Sans Serif"};
    static constexpr std::string_view sansKin[] = {"Microsoft Sans Serif", "Tahoma", "Arial",
                                                   "Liberation Sans", "DejaVu Sans"};
    static constexpr std::string_view clerical[] = {"隶书", "LiSu"};
    static constexpr std::string_view clericalKin[] = {"隶书",  "LiSu", "STLiti",
                                                       "KaiTi", "楷体", "AR PL UKai CN"};
    static constexpr std::string_view missing[] = {"No Such Face Anywhere"};
    struct Row {
        toolkit::FaceKind kind;
        std::span<const std::string_view> designed;
        toolkit::Charset charset;
        std::span<const std::string_view> kin;
    };
    const Row rows[] = {
        {toolkit::FaceKind::Sans, sans, toolkit::Charset::Western, sansKin},
        {toolkit::FaceKind::Clerical, clerical, toolkit::Charset::SimplifiedChinese, clericalKin},
    };
    const std::wstring latin = L"Ver:1.0.0";
    const std::wstring chinese = L"Veltaro软件欢迎您";

    for (const toolkit::FaceKind kind : toolkit::faceKinds) {
        const auto row = std::find_if(std::begin(rows), std::end(rows),
                                      [&](const Row &r) { return r.kind == kind; });
        REQUIRE_MESSAGE(row != std::end(rows), "every kind of face has a row here");
        CAPTURE(row->designed.front());
        const toolkit::Font font{missing, kind, 12, 400, row->charset};
        const std::wstring face = win32::installedFace(font, latin);
        const std::string faceName = win32::narrow(face);
        CAPTURE(faceName);
        CHECK(std::find(row->kin.begin(), row->kin.end(), faceName) != row->kin.end());
        // GDI draws in the face asked for, an outline font, not in a silent
        // substitute of its own.
        CHECK(win32::isInstalled(face, row->charset));
        CHECK(faceOf(win32::createFont(font, 12, 96, latin).get()) == face);
        // The kind decides, not the name: a face nobody has gets what the
        // designed faces of its kind get where they are missing too.
        const toolkit::Font designed{row->designed, kind, 12, 400, row->charset};
        if (!win32::isInstalled(win32::widen(row->designed.front()), row->charset))
            CHECK(win32::installedFace(designed, latin) == face);
        // A text with Chinese in it is whole, in a face of the kind or one
        // that has Chinese.
        CHECK(win32::covers(win32::installedFace(font, chinese), row->charset, chinese));
        CHECK(win32::covers(win32::installedFace(designed, chinese), row->charset, chinese));
    }
}

TEST_CASE_FIXTURE(Windows,
                  "a link opens once per click and once per double-click, under the hand cursor")
{
    frmAbout &about = shown<frmAbout>();
    ShellRecorder shell;
    struct Row {
        const char *label;
        void (*input)(toolkit::Control &);
        std::size_t requests;
    };
    const Row rows[] = {
        {"labWeb", toolkit::testing::click, 1},
        {"labWeb", toolkit::testing::doubleClick, 1},
        {"labEmail", toolkit::testing::doubleClick, 1},
        {"Label1", toolkit::testing::doubleClick, 1},
        {"lbl", toolkit::testing::doubleClick, 0}, // not a link
    };
    for (const Row &row : rows) {
        CAPTURE(row.label);
        const std::size_t before = shell.requests().size();
        row.input(about.control(row.label));
        REQUIRE(shell.requests().size() - before == row.requests);
        if (row.requests)
            CHECK(shell.requests().back().owner == about.hWnd());
    }

    // A press on the link and a release elsewhere is no click.
    HWND web = win32::controlHandle(about.control("labWeb"));
    const std::size_t before = shell.requests().size();
    SendMessageW(web, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(web, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
    CHECK(shell.requests().size() == before);

    SendMessageW(web, WM_SETCURSOR, reinterpret_cast<WPARAM>(web),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() == LoadCursorW(nullptr, IDC_HAND));
    HWND text = win32::controlHandle(about.control("lbl"));
    SendMessageW(text, WM_SETCURSOR, reinterpret_cast<WPARAM>(text),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() != LoadCursorW(nullptr, IDC_HAND));
}

TEST_CASE_FIXTURE(Windows, "designed colours are drawn where designed, the system's elsewhere")
{
    frmAbout &about = shown<frmAbout>();
    const Colors countdown = drawingColors(about, about.control("labTime"), WM_CTLCOLORSTATIC);
    CHECK(countdown.text == RGB(255, 0, 0));
    CHECK(countdown.back == RGB(192, 192, 255));
    const Colors text = drawingColors(about, about.control("lbl"), WM_CTLCOLORSTATIC);
    CHECK(text.text == RGB(0, 0, 0));
    CHECK(text.back == RGB(255, 192, 255));
    const Colors promo = drawingColors(about, about.control("txtPromo1"), WM_CTLCOLOREDIT);
    CHECK(promo.back == RGB(255, 192, 255));

    // The hover colour comes and goes with the pointer.
    toolkit::testing::moveMouseOver(about.control("labWeb"));
    CHECK(drawingColors(about, about.control("labWeb"), WM_CTLCOLORSTATIC).text == RGB(0, 0, 255));
    toolkit::testing::moveMouseOverBackground(about, 50, 3250);
    CHECK(drawingColors(about, about.control("labWeb"), WM_CTLCOLORSTATIC).text == RGB(0, 0, 0));
    // Moves over the frame are not over the window's background.
    toolkit::testing::moveMouseOver(about.control("labWeb"));
    toolkit::testing::moveMouseOverBackground(about, 105 + 60, 1185 + 1900);
    CHECK(drawingColors(about, about.control("labWeb"), WM_CTLCOLORSTATIC).text == RGB(0, 0, 255));

    Form1 &form1 = shown<Form1>();
    const Colors label = drawingColors(form1, form1.control("Label1"), WM_CTLCOLORSTATIC);
    CHECK(label.text == GetSysColor(COLOR_WINDOWTEXT));
    CHECK(label.back == GetSysColor(COLOR_BTNFACE));
    const Colors entry = drawingColors(form1, form1.control("TxtNum1"), WM_CTLCOLOREDIT);
    CHECK(entry.back == GetSysColor(COLOR_WINDOW));
}

TEST_CASE_FIXTURE(Windows, "the dialog manager walks the main window in tab-index order")
{
    Form1 &form = shown<Form1>();
    using toolkit::testing::Key;
    const std::vector<std::string> forward{"TxtNum1", "TxtNum2", "TxtNum3",  "TxtNum4",
                                           "Text1",   "cmdExit", "cmdJiSuan"};
    REQUIRE(toolkit::testing::focusedControl(form) == &form.control("cmdJiSuan"));
    for (const std::string &name : forward) {
        CAPTURE(name);
        toolkit::testing::pressKey(form, Key::Tab);
        CHECK(toolkit::testing::focusedControl(form) == &form.control(name));
    }
    for (auto name = forward.rbegin() + 1; name != forward.rend(); ++name) {
        CAPTURE(*name);
        toolkit::testing::pressKey(form, Key::BackTab);
        CHECK(toolkit::testing::focusedControl(form) == &form.control(*name));
    }
    // Tab leaves the result box without typing a tab; Enter there is a new
    // line; Escape there closes nothing.
    while (toolkit::testing::focusedControl(form) != &form.control("Text1"))
        toolkit::testing::pressKey(form, Key::Tab);
    form.control("Text1").setText("");
    toolkit::testing::pressKey(form, Key::Return);
    CHECK(form.control("Text1").text() == "\r\n");
    toolkit::testing::pressKey(form, Key::Escape);
    REQUIRE(toolkit::testing::isVisible(form));
    toolkit::testing::pressKey(form, Key::Tab);
    CHECK(form.control("Text1").text() == "\r\n");
    CHECK(toolkit::testing::focusedControl(form) == &form.control("cmdExit"));
    // Escape does nothing to a window that is no dialog.
    toolkit::testing::pressKey(form, Key::Escape);
    CHECK(toolkit::testing::isVisible(form));
}

TEST_CASE_FIXTURE(Windows,
                  "the real warning box: the program's title, 确定, owned by the active window")
{
    Form1 &form = shown<Form1>();
    SetActiveWindow(win32::windowHandle(form));
    struct Seen {
        std::wstring caption;
        std::wstring button;
        HWND owner = nullptr;
        bool icon = false;
    };
    static Seen seen;
    seen = {};
    // Looks at the box from inside its own modal loop, then closes it.
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                wchar_t name[16]{};
                GetClassNameW(window, name, 16);
                if (std::wstring_view(name) != L"#32770" || !IsWindowVisible(window))
                    return TRUE;
                wchar_t text[64]{};
                GetWindowTextW(window, text, 64);
                seen.caption = text;
                GetDlgItemTextW(window, IDOK, text, 64);
                seen.button = text;
                seen.owner = GetWindow(window, GW_OWNER);
                seen.icon = FindWindowExW(window, nullptr, L"Static", nullptr) != nullptr;
                PostMessageW(window, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            0);
        KillTimer(nullptr, id);
    });
    toolkit::MsgBoxWarning("请输入数字");
    KillTimer(nullptr, timer);
    CHECK(win32::narrow(seen.caption) == toolkit::applicationTitle());
    CHECK(win32::narrow(seen.button) == "确定");
    CHECK(seen.owner == win32::windowHandle(form));
    CHECK(seen.icon);
}

TEST_CASE_FIXTURE(Windows, "work posted to the message loop all runs once, in order, however "
                           "much there is, from the windows' thread and from others")
{
    // More than a thread's message queue holds: one message per task would
    // lose the rest.
    constexpr int tasks = 20000;
    std::vector<int> expected(tasks);
    std::iota(expected.begin(), expected.end(), 0);
    std::vector<int> ran;
    for (int i = 0; i < tasks; ++i)
        toolkit::backend::post([&ran, i] { ran.push_back(i); });
    processEvents();
    CHECK(ran == expected);

    // Posted while the loop takes tasks off, so that the queue empties and
    // fills under it: a wake-up missed then would leave tasks waiting.
    constexpr int threads = 4;
    std::vector<std::vector<int>> each(threads); // only the loop's thread touches these
    int total = 0;
    {
        std::vector<std::jthread> posters;
        for (int t = 0; t < threads; ++t) {
            posters.emplace_back([&each, &total, t] {
                for (int i = 0; i < tasks; ++i) {
                    toolkit::backend::post([&each, &total, t, i] {
                        each[t].push_back(i);
                        ++total;
                    });
                    if (i % 64 == 0)
                        std::this_thread::yield();
                }
            });
        }
        CHECK(toolkit::testing::waitUntil([&] { return total == threads * tasks; }, 30000));
    }
    processEvents();
    for (const std::vector<int> &thread : each)
        CHECK(thread == expected);
}

TEST_CASE_FIXTURE(Windows, "the window system's close hides at once and destroys the window later")
{
    Form1 &form = shown<Form1>();
    HWND window = win32::windowHandle(form);
    toolkit::testing::closeFromWindowSystem(form);
    CHECK_FALSE(IsWindowVisible(window));
    processEvents();
    CHECK_FALSE(IsWindow(window));
    CHECK_FALSE(toolkit::formExists<Form1>());
}

TEST_CASE_FIXTURE(Windows, "context menus: the standard entries in Chinese, greyed where they "
                           "do nothing, working, then the window's commands; each edit one Change")
{
    Counted &form = shown<Counted>();
    toolkit::Control &entry = form.control("TxtNum1");
    toolkit::Control &result = form.control("Text1");
    frmEvery &every = shown<frmEvery>();
    toolkit::Control &list = every.control("TxtSolutions");
    REQUIRE(toolkit::testing::waitUntil([&] { return !every.searching(); }));
    const std::wstring standard[] = {L"撤消(&U)", L"-",        L"剪切(&T)", L"复制(&C)",
                                     L"粘贴(&P)", L"删除(&D)", L"-",        L"全选(&A)"};
    const struct {
        toolkit::Control &control;
        const char *text; // set first, unless the last edit is to be undone
        DWORD start, end;
        const char *copied;  // the read-only list copies it
        const char *enabled; // 1 where each standard entry may be chosen
        wchar_t pick;        // the entry chosen, by its mnemonic
        const char *textAfter;
        const char *copiedAfter;
        int changes;
    } rows[] = {
        {entry, "", 0, 0, "3 8", "0-0010-0", L'p', "3 8", "3 8", 1},
        {entry, nullptr, 0, 0, "", "1-0000-1", L'u', "", "", 1}, // Wine notifies it twice
        {entry, "1 2 3", 0, 5, "x", "0-1111-0", L't', "", "1 2 3", 1},
        {entry, "1 2 3", 1, 3, "x", "0-1111-1", L'd', "1 3", "x", 1},
        {entry, "1 2 3", 2, 2, "", "0-0000-1", L'a', "1 2 3", "", 0},
        {result, "1 2", 0, 1, "", "0-1101-1", L'c', "1 2", "1", 0},
        {list, "1+2\r\n3", 0, 3, "x", "0-0100-1", L'c', "1+2\r\n3", "1+2", 0},
    };
    for (const auto &row : rows) {
        CAPTURE(static_cast<char>(row.pick));
        HWND box = win32::controlHandle(row.control);
        list.setText(row.copied);
        SendMessageW(win32::controlHandle(list), EM_SETSEL, 0, -1);
        SendMessageW(win32::controlHandle(list), WM_COPY, 0, 0);
        if (!*row.copied && OpenClipboard(nullptr))
            EmptyClipboard(), CloseClipboard();
        const int changes = form.changes;
        if (row.text)
            row.control.setText(row.text);
        SendMessageW(box, EM_SETSEL, row.start, row.end);
        const auto menu = contextMenu(box, row.pick);
        processEvents();
        // The result box's command follows, after a separator.
        const bool offers = &row.control == &result;
        REQUIRE(menu.size() == std::size(standard) + (offers ? 2 : 0));
        for (std::size_t i = 0; i < std::size(standard); ++i) {
            CAPTURE(i);
            CHECK(menu[i].first == standard[i]);
            CHECK((standard[i] == L"-" || menu[i].second == (row.enabled[i] == '1')));
        }
        if (offers)
            CHECK((menu.back() == std::pair<std::wstring, bool>{L"列出所有解法…", true}));
        CHECK(row.control.text() == row.textAfter);
        CHECK(win32::narrow(clipboard()) == row.copiedAfter);
        CHECK(form.changes - changes == row.changes);
    }
    CHECK(form.commands == 0);
    toolkit::testing::chooseCommand(form, "mnuEvery");
    CHECK(form.commands == 1);
    CHECK_THROWS(toolkit::testing::chooseCommand(form, "None"));
}

TEST_CASE_FIXTURE(Windows, "a scrolling box: drawn as a box, its lines wrapped, a long list "
                           "scrolled, Tab moving on")
{
    frmEvery &every = shown<frmEvery>();
    REQUIRE(toolkit::testing::waitUntil([&] { return !every.searching(); }));
    toolkit::Control &list = every.control("TxtSolutions");
    HWND box = win32::controlHandle(list);
    const Colors colors = drawingColors(every, list, WM_CTLCOLORSTATIC);
    CHECK(colors.back == GetSysColor(COLOR_WINDOW));
    CHECK(colors.text == GetSysColor(COLOR_WINDOWTEXT));
    CHECK((GetWindowLongPtrW(box, GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL)) == 0);
    const auto scrolls = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        return GetScrollInfo(box, SB_VERT, &info) && info.nMax >= static_cast<int>(info.nPage);
    };
    CHECK_FALSE(scrolls());
    list.setText(std::string(100, '\n'));
    CHECK(scrolls());

    // Tab comes in past the entries and goes on.
    for (int tabs = 0; tabs < 3; ++tabs)
        toolkit::testing::pressKey(every, toolkit::testing::Key::Tab);
    CHECK(toolkit::testing::focusedControl(every) == &every.control("cmdClose"));
}
