// Test input on the page: pointer, mouse and key events dispatched to the
// element under the point, as the browser dispatches the user's, so the
// backend's own listeners handle them. Typing goes through the browser's
// editing (insertText), as a keyboard's does. Waiting yields to the browser,
// which runs its timers and the work posted for later meanwhile.
#include "toolkit/testing.h"

#include "page.h"
#include "webwindow.h"

#include <emscripten.h>

#include <algorithm>
#include <stdexcept>

namespace toolkit::testing {

struct Session::Impl {};

namespace {

// clang-format off
// The element under the middle of a control (or a point of the client area,
// in CSS pixels of the design, or the link of a command), as the browser
// would find it.
EM_JS(void, q_test_pointer, (int win, int index, int command, int left, int top, int what), {
    var W = Module.quaddle.w[win], el = command >= 0 ? W.k[command] : index < 0 ? W.client : W.c[index];
    // Scrolled to, where it is off the screen, as a user would.
    if (command >= 0) el.scrollIntoView({block: 'nearest'});
    var box = el.getBoundingClientRect(), scale = box.width / (el.offsetWidth || 1);
    var x = box.left + (index < 0 ? left * scale : box.width / 2);
    var y = box.top + (index < 0 ? top * scale : box.height / 2);
    var target = document.elementFromPoint(x, y) || el;
    var at = {bubbles: true, cancelable: true, composed: true, clientX: x, clientY: y, view: window};
    var fire = function(type, extra) {
        var o = Object.assign({}, at, extra);
        var e = type.startsWith('pointer') ? new PointerEvent(type, Object.assign({pointerId: 1, pointerType: 'mouse', isPrimary: true}, o))
                                           : new MouseEvent(type, o);
        return target.dispatchEvent(e);
    };
    if (what == 0) {
        fire('pointermove', {});
        fire('mousemove', {});
        return;
    }
    for (var n = 1; n <= what; ++n) {
        fire('pointerdown', {buttons: 1, detail: n});
        // A press focuses what takes the focus, as the browser's own does.
        if (fire('mousedown', {buttons: 1, detail: n}) && target.matches('input,textarea,button') && !target.disabled)
            target.focus();
        fire('pointerup', {detail: n});
        fire('mouseup', {detail: n});
        fire('click', {detail: n});
    }
    if (what == 2) fire('dblclick', {detail: 2});
});

EM_JS(void, q_test_key, (int win, const char *key, int shift), {
    var W = Module.quaddle.w[win], root = W.root, k = UTF8ToString(key);
    // The window's own keys, its commands' links' too.
    var target = (W.place || root).contains(document.activeElement) ? document.activeElement : root;
    var init = {key: k, code: k == ' ' ? 'Space' : k, shiftKey: !!shift, bubbles: true, cancelable: true, composed: true};
    if (target.dispatchEvent(new KeyboardEvent('keydown', init)) && k.length == 1)
        document.execCommand('insertText', false, k);
    (root.contains(document.activeElement) ? document.activeElement : root).dispatchEvent(new KeyboardEvent('keyup', init));
});

// A paste over the whole text of the box with the focus: its text replaced
// and an 'input' event, as the browser's own paste gives, unless a listener
// refused the paste as it began.
EM_JS(void, q_test_paste, (int win, const char *text), {
    var root = Module.quaddle.w[win].root, el = document.activeElement, t = UTF8ToString(text);
    if (!root.contains(el) || !('value' in el) || el.readOnly) return;
    var init = {inputType: 'insertFromPaste', data: t, bubbles: true, composed: true};
    if (!el.dispatchEvent(new InputEvent('beforeinput', Object.assign({cancelable: true}, init)))) return;
    el.value = t;
    el.dispatchEvent(new InputEvent('input', init));
});

// Whether the command's link is on the page and shown, where a user sees it.
EM_JS(int, q_test_commandShown, (int win, int command), {
    var el = (Module.quaddle.w[win].k || [])[command], box = el && el.getBoundingClientRect();
    return !!el && el.isConnected && box.width > 0 && box.height > 0 && getComputedStyle(el).visibility == 'visible';
});

// Answers the next warning box with the key's press, then its release, to
// its focused button; notes which closed it (0 the press, 1 the release, 2
// neither, when its button closes it).
EM_JS(void, q_test_answer_warning, (const char *key), {
    var k = UTF8ToString(key);
    var answer = setInterval(function() {
        var box = document.querySelector('dialog.q-warning[open]');
        if (!box) return;
        clearInterval(answer);
        var button = document.activeElement;
        var init = {key: k, code: k == ' ' ? 'Space' : k, bubbles: true, cancelable: true, composed: true};
        button.dispatchEvent(new KeyboardEvent('keydown', init));
        Module.answered = box.open ? 1 : 0;
        if (!box.open) return;
        button.dispatchEvent(new KeyboardEvent('keyup', init));
        Module.answered = box.open ? 2 : 1;
        if (box.open) box.querySelector('.q-ok').click();
    }, 10);
});

EM_JS(int, q_test_answered, (), {
    return Module.answered;
});

EM_JS(void, q_test_close, (int win), {
    Module.quaddle.w[win].root.querySelector('.q-close').click();
});

EM_JS(int, q_test_visible, (int win), {
    var root = Module.quaddle.w[win].root;
    return root.isConnected && !root.hidden;
});

// What the screen shows of a control (or of the client area, index -1), in
// device pixels: its box from the client area's corner, the width inside its
// border and padding, and the width of its widest line of text, measured at
// the size the text is drawn at (text does not grow quite in proportion).
EM_JS(void, q_test_drawn, (int win, int index, double *out), {
    var W = Module.quaddle.w[win], el = index < 0 ? W.client : W.c[index];
    var box = el.getBoundingClientRect(), client = W.client.getBoundingClientRect();
    var zoom = box.width / (el.offsetWidth || 1), scale = devicePixelRatio * zoom;
    var style = getComputedStyle(el), Q = Module.quaddle;
    // Edges, not sizes, are rounded, so that boxes side by side stay apart.
    var left = Math.round((box.left - client.left) * devicePixelRatio);
    var top = Math.round((box.top - client.top) * devicePixelRatio);
    Q.measure = Q.measure || document.createElement('canvas').getContext('2d');
    Q.measure.font = style.fontWeight + ' ' + parseFloat(style.fontSize) * zoom + 'px ' + style.fontFamily;
    var text = 'value' in el && el.tagName != 'BUTTON' ? el.value : el.textContent, widest = 0;
    text.split(String.fromCharCode(10)).forEach(function(line) { widest = Math.max(widest, Q.measure.measureText(line).width); });
    var values = [scale, left, top,
                  Math.round((box.right - client.left) * devicePixelRatio) - left,
                  Math.round((box.bottom - client.top) * devicePixelRatio) - top,
                  Math.ceil((el.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight)) * scale),
                  Math.ceil(widest * devicePixelRatio)];
    HEAPF64.set(values, out >> 3);
});
// clang-format on

struct Drawn {
    double scale;
    double left, top, width, height;
    double innerWidth;
    double textWidth;
};

Drawn drawn(int window, int index)
{
    Drawn values{};
    q_test_drawn(window, index, &values.scale);
    return values;
}

Drawn drawn(const Control &control)
{
    return drawn(web::windowId(control), web::controlIndex(control));
}

void pointer(Control &control, int what)
{
    q_test_pointer(web::windowId(control), web::controlIndex(control), -1, 0, 0, what);
}

} // namespace

Session::Session(int &, char **)
    : d(std::make_unique<Impl>())
{}

Session::~Session() = default;

void processEvents()
{
    // Twice: a deferred unload may post more work of its own.
    emscripten_sleep(0);
    emscripten_sleep(0);
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const double deadline = emscripten_get_now() + timeoutMs;
    while (!done()) {
        if (emscripten_get_now() >= deadline)
            return false;
        emscripten_sleep(5);
    }
    return true;
}

void click(Control &control)
{
    pointer(control, 1);
}

void doubleClick(Control &control)
{
    pointer(control, 2);
}

void moveMouseOver(Control &control)
{
    pointer(control, 0);
}

void moveMouseOverBackground(Form &form, int left, int top)
{
    q_test_pointer(web::windowId(form), -1, -1, pixels(left), pixels(top), 0);
}

void pressKey(Form &form, Key key)
{
    const int window = web::windowId(form);
    switch (key) {
    case Key::Tab:
        q_test_key(window, "Tab", false);
        break;
    case Key::BackTab:
        q_test_key(window, "Tab", true);
        break;
    case Key::Return:
        q_test_key(window, "Enter", false);
        break;
    case Key::Escape:
        q_test_key(window, "Escape", false);
        break;
    case Key::Space:
        q_test_key(window, " ", false);
        break;
    }
}

ClosedOn answerWarningWithKey(Key key)
{
    const char *const keys[] = {"Tab", "Tab", "Enter", "Escape", " "};
    q_test_answer_warning(keys[static_cast<int>(key)]);
    MsgBoxWarning("key");
    return static_cast<ClosedOn>(q_test_answered());
}

void typeText(Form &form, const std::string &text)
{
    // One character at a time, a character being one to four bytes of UTF-8.
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        while (i + length < text.size() && (text[i + length] & 0xC0) == 0x80)
            ++length;
        q_test_key(web::windowId(form), text.substr(i, length).c_str(), false);
        i += length;
    }
}

void pasteText(Form &form, const std::string &text)
{
    q_test_paste(web::windowId(form), text.c_str());
}

bool commandsTakeFocus()
{
    return true;
}

void chooseCommand(Form &form, std::string_view command)
{
    const int index = static_cast<int>(form.indexOfCommand(command));
    if (!form.isLoaded() || !q_test_commandShown(web::windowId(form), index))
        throw std::runtime_error("the page shows no link for " + std::string(command));
    q_test_pointer(web::windowId(form), -1, index, 0, 0, 1);
}

Control *focusedControl(Form &form)
{
    if (!form.isLoaded())
        return nullptr;
    const int index = web::focused(web::windowId(form));
    return index < 0 ? nullptr : &form.controlAt(static_cast<std::size_t>(index));
}

void closeFromWindowSystem(Form &form)
{
    q_test_close(web::windowId(form));
}

bool isVisible(Form &form)
{
    return form.isLoaded() && q_test_visible(web::windowId(form));
}

std::string caption(Form &form)
{
    return web::caption(web::windowId(form));
}

double scale(const Form &form)
{
    return drawn(web::windowId(form), -1).scale;
}

PixelBox clientArea(const Form &form)
{
    const Drawn client = drawn(web::windowId(form), -1);
    return {0, 0, static_cast<int>(client.width), static_cast<int>(client.height)};
}

PixelBox box(const Control &control)
{
    const Drawn shown = drawn(control);
    return {static_cast<int>(shown.left), static_cast<int>(shown.top),
            static_cast<int>(shown.width), static_cast<int>(shown.height)};
}

int innerWidth(const Control &control)
{
    return static_cast<int>(drawn(control).innerWidth);
}

int textWidth(const Control &control)
{
    return static_cast<int>(drawn(control).textWidth);
}

} // namespace toolkit::testing
