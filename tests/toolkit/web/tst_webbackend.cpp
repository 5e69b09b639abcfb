// What only the browser backend does, checked on the page it builds: places
// in CSS pixels, fonts and fitted texts, colours in the light and the dark
// scheme and their contrast, what takes the focus, the warning <dialog> and
// what waits for it, Space on a button and Enter from an input method, the
// requests handed to the browser, the line left when the program ends,
// windows drawn as large as the screen takes them (larger on a touch screen,
// anew when a phone is turned), what a touch keyboard is asked for, and the
// names a screen reader is given. The runner runs it at device pixel ratios
// 1 and 2, in the dark scheme, and on a phone.
#include "about/frmabout.h"
#include "main/form1.h"
#include "modQuaddle.h"
#include "printers.h"
#include "quaddlefacts.h"
#include "toolkit/backend.h"
#include "toolkit/testing.h"
#include "toolkit/web/fonts.h"
#include "toolkit/web/page.h"
#include "toolkit/web/webwindow.h"
#include "windowlayout.h"

#include <doctest/doctest.h>
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using toolkit::ControlKind;
using toolkit::formExists;
using toolkit::pixels;
namespace testing = toolkit::testing;
namespace web = toolkit::web;

namespace {

// clang-format off
// Texts come back through a slot: the call that makes one keeps it there as
// UTF-8 and returns its length; copyKept() copies it out.
EM_JS(void, copyKept, (char *buffer), {
    HEAPU8.set(Module.kept, buffer);
});

// A number the page computes from an element: `what` is a JavaScript
// expression of `el` (the element with that id, or else the first that the
// text selects) and `Q` (the backend's state).
EM_JS(double, pageNumber, (const char *id, const char *what), {
    var key = UTF8ToString(id), Q = Module.quaddle;
    var el = document.getElementById(key) || document.querySelector(key);
    var f = [
        function() { return el.getBoundingClientRect().left; },
        function() { return el.getBoundingClientRect().top; },
        function() { return el.getBoundingClientRect().width; },
        function() { return el.getBoundingClientRect().height; },
        function() { return el.offsetLeft; },
        function() { return el.offsetTop; },
        function() { return el.offsetWidth; },
        function() { return el.offsetHeight; },
        function() { return el.scrollWidth; },
        function() { return el.clientWidth; },
        function() { return parseFloat(getComputedStyle(el).fontSize); },
        function() { return Number(getComputedStyle(el).zoom || 1); },
        function() { return el.tabIndex; },
        function() { return devicePixelRatio; },
        function() { return innerWidth; },
        function() { return innerHeight; },
        function() { return document.documentElement.scrollWidth; },
        function() { return document.documentElement.scrollHeight; },
        function() { return Number(new URLSearchParams(location.search).get('scale') || 1); },
        function() { return matchMedia('(pointer: coarse)').matches; },
        function() { return matchMedia('(prefers-color-scheme: dark)').matches; },
        function() { return document.documentElement.clientWidth; },
        // The size the text is drawn at, the window's scale included.
        function() { return parseFloat(getComputedStyle(el).fontSize) * el.getBoundingClientRect().width / el.offsetWidth; },
        // Frames begun since first asked.
        function() {
            if (!Module.frames) {
                Module.frames = 1;
                var count = function() { ++Module.frames; requestAnimationFrame(count); };
                requestAnimationFrame(count);
            }
            return Module.frames;
        },
    ][UTF8ToString(what).charCodeAt(0) - 97];
    return f();
});

// A text the page computes from an element, as for pageNumber.
EM_JS(int, pageTextRaw, (const char *id, int what), {
    var key = UTF8ToString(id), el = document.getElementById(key) || document.querySelector(key);
    var s = el && getComputedStyle(el);
    var t = [
        function() { return s.fontFamily; },
        function() { return s.color; },
        function() { return s.backgroundColor; },
        function() { return s.userSelect; },
        function() { return s.cursor; },
        // The name a screen reader is given: the ARIA name, else the text.
        function() { return (el.getAttribute('aria-label') || el.textContent).trim(); },
        // The role: the ARIA one, else the element's own.
        function() { return el.getAttribute('role') || {INPUT: 'textbox', TEXTAREA: 'textbox', BUTTON: 'button'}[el.tagName] || 'generic'; },
        function() { return document.title; },
        function() { return el.tagName.toLowerCase(); },
    ][what]();
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});

// An attribute of the element with that id, or "(none)".
EM_JS(int, attributeRaw, (const char *id, const char *name), {
    var el = document.getElementById(UTF8ToString(id)), a = el.getAttribute(UTF8ToString(name));
    Module.kept = new TextEncoder().encode(a === null ? '(none)' : a);
    return Module.kept.length;
});

// The colours a text is drawn in and on, as "r g b|r g b": its own, and the
// background seen behind it, each layer that lets the one below show through
// laid on it, down to the page's canvas.
EM_JS(void, readColors, (), {
    Module.colorsOf = function(el) {
        var rgba = function(c) {
            var n = c.match(/[0-9.]+/g).map(Number);
            return [n[0], n[1], n[2], n.length > 3 ? n[3] : 1];
        };
        var layers = [];
        for (var e = el; e; e = e.parentElement) {
            var layer = rgba(getComputedStyle(e).backgroundColor);
            if (layer[3] > 0) layers.push(layer);
            if (layer[3] >= 1) break;
        }
        var probe = document.createElement('div');
        probe.style.color = 'Canvas';
        document.body.append(probe);
        var back = rgba(getComputedStyle(probe).color);
        probe.remove();
        while (layers.length) {
            var l = layers.pop();
            back = [0, 1, 2].map(function(k) { return l[k] * l[3] + back[k] * (1 - l[3]); });
        }
        return rgba(getComputedStyle(el).color).slice(0, 3).join(' ') + '|' + back.slice(0, 3).map(Math.round).join(' ');
    };
});

EM_JS(int, colorsRaw, (const char *selector), {
    Module.kept = new TextEncoder().encode(Module.colorsOf(document.querySelector(UTF8ToString(selector))));
    return Module.kept.length;
});

// The colour a system colour keyword computes to on this page.
EM_JS(int, systemColorRaw, (const char *keyword), {
    var p = document.createElement('div');
    p.style.color = UTF8ToString(keyword);
    document.body.append(p);
    var t = getComputedStyle(p).color;
    p.remove();
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});

// Records what window.open is asked, instead of opening anything.
EM_JS(void, recordOpens, (), {
    Module.opened = [];
    window.open = function(url, target, features) { Module.opened.push([url, target, features].join('|')); return null; };
});

EM_JS(int, openedRaw, (), {
    var t = Module.opened.join(String.fromCharCode(10));
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});

// Answers each warning box as it opens: notes what it shows (its role, title,
// text, button, whether it is modal and has the focus on its button), then
// closes it with `how` (a key pressed and released, or "click" on its
// button). Where readColors() has run, it notes in Module.boxLooks the
// colours of its texts and the size its button is drawn at, and whether the
// box is drawn whole.
EM_JS(void, answerBoxes, (const char *how), {
    var key = UTF8ToString(how);
    Module.boxes = [];
    Module.boxLooks = [];
    clearInterval(Module.answering);
    Module.answering = setInterval(function() {
        var box = document.querySelector('dialog.q-warning[open]');
        if (!box || box.answered) return;
        box.answered = true;
        var ok = box.querySelector('.q-ok');
        Module.boxes.push([box.getAttribute('role'), box.querySelector('.q-title').textContent,
                           box.querySelector('.q-text').textContent, ok.textContent,
                           box.matches(':modal') ? 'modal' : 'modeless',
                           document.activeElement === ok ? 'ok focused' : 'focus elsewhere',
                           box.querySelector('.q-icon') ? 'icon' : 'no icon'].join('|'));
        if (Module.colorsOf) {
            var drawn = box.getBoundingClientRect(), button = ok.getBoundingClientRect();
            var whole = drawn.left >= 0 && drawn.top >= 0 && drawn.right <= innerWidth && drawn.bottom <= innerHeight;
            Module.boxLooks.push([[box.querySelector('.q-title'), box.querySelector('.q-text'), ok].map(Module.colorsOf).join(';'),
                                  button.width, button.height, whole ? 'whole' : 'cut off'].join(';'));
        }
        if (key == 'click') {
            ok.click();
            return;
        }
        var target = document.activeElement, init = {key: key, bubbles: true, cancelable: true};
        target.dispatchEvent(new KeyboardEvent('keydown', init));
        target.dispatchEvent(new KeyboardEvent('keyup', init));
    }, 20);
});

// Answers each warning box with a click on its button, but only once the page
// has sent an event of kind `what` (a timer's tick, work posted for later)
// since this call; notes each box's text and how many boxes were open.
EM_JS(void, answerBoxesAfter, (int what), {
    var Q = Module.quaddle;
    if (!Q.sent) {
        var send = Q.send;
        Q.sent = {};
        Q.send = function(w, c, kind, shift) {
            Q.sent[kind] = (Q.sent[kind] || 0) + 1;
            send(w, c, kind, shift);
        };
    }
    var before = Q.sent[what] || 0;
    Module.boxes = [];
    clearInterval(Module.answering);
    Module.answering = setInterval(function() {
        var box = document.querySelector('dialog.q-warning[open]:not(.answered)');
        if (!box || (Q.sent[what] || 0) == before) return;
        box.classList.add('answered');
        Module.boxes.push(box.querySelector('.q-text').textContent + '|' +
                          document.querySelectorAll('dialog.q-warning[open]').length + ' open');
        box.querySelector('.q-ok').click();
    }, 20);
});

EM_JS(int, boxesRaw, (), {
    clearInterval(Module.answering);
    var t = Module.boxes.join(String.fromCharCode(10));
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});

EM_JS(int, boxLooksRaw, (), {
    var t = Module.boxLooks.join(String.fromCharCode(10));
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});

EM_JS(int, openBoxes, (), {
    return document.querySelectorAll('dialog.q-warning').length;
});

// One key event, as the browser sends it, to the element with that id, which
// gets the focus first. Browsers leave keyCode out of an event's init, so it
// is set afterwards: Safari's input methods report 229.
EM_JS(void, keyEvent, (const char *id, const char *type, const char *key, int keyCode, int repeat,
                       int composing), {
    var el = document.getElementById(UTF8ToString(id));
    el.focus();
    var e = new KeyboardEvent(UTF8ToString(type), {key: UTF8ToString(key), repeat: !!repeat, isComposing: !!composing,
                                                   bubbles: true, cancelable: true, composed: true});
    Object.defineProperty(e, 'keyCode', {value: keyCode});
    el.dispatchEvent(e);
});

EM_JS(void, focusElement, (const char *id), {
    document.getElementById(UTF8ToString(id)).focus();
});

EM_JS(int, endedRaw, (), {
    var line = document.querySelector('.q-ended');
    var t = line ? line.textContent + '|' + (line.querySelector('a').href == location.href.split('#')[0]) : "";
    Module.kept = new TextEncoder().encode(t);
    return Module.kept.length;
});
// Keeps a copy of the shown window with that id, as the site's page writes
// it before the program runs: the same elements, hidden.
EM_JS(void, keepCopy, (const char *id), {
    Module.original = document.getElementById(UTF8ToString(id)).cloneNode(true);
    Module.original.hidden = true;
    Module.original.setAttribute('data-prepainted', "");
});

// Puts a copy on the page, drawn by the page's script where `drawn` (the
// program takes over only such a window), with `typed` in its first text box,
// and without the element that `missing` selects, if any.
EM_JS(void, putCopy, (int drawn, const char *typed, const char *missing), {
    Module.copy = Module.original.cloneNode(true);
    if (UTF8ToString(missing)) Module.copy.querySelector(UTF8ToString(missing)).remove();
    document.getElementById('desktop').append(Module.copy);
    Module.copy.querySelector('textarea, input').value = UTF8ToString(typed);
    if (drawn) {
        Module.copy.hidden = false;
        quaddlePrepainted = {window: Module.copy, scale: 1, taken: false};
    }
});

// 1 where the window with that id is the copy, 0 where it is another; -1
// where the copy is still on the page beside it.
EM_JS(int, isCopy, (const char *id), {
    if (Module.copy.isConnected && document.getElementById(UTF8ToString(id)) !== Module.copy) return -1;
    return document.getElementById(UTF8ToString(id)) === Module.copy ? 1 : 0;
});
// clang-format on

std::string taken(int length)
{
    std::string text(static_cast<std::size_t>(length), '\0');
    copyKept(text.data());
    return text;
}

enum class Number : char {
    Left = 'a',
    Top,
    Width,
    Height,
    OffsetLeft,
    OffsetTop,
    OffsetWidth,
    OffsetHeight,
    ScrollWidth,
    ClientWidth,
    FontSize,
    Zoom,
    TabIndex,
    DevicePixelRatio,
    ViewportWidth,
    ViewportHeight,
    PageWidth,
    PageHeight,
    ExpectedScale,
    TouchScreen,
    DarkScheme,
    RoomWidth, // the viewport's width less a scroll bar
    DrawnFontSize,
    Frames,
};

enum class Text { FontFamily, Color, Background, UserSelect, Cursor, Name, Role, Title, Tag };

double number(const std::string &id, Number what)
{
    const char code[] = {static_cast<char>(what), '\0'};
    return pageNumber(id.c_str(), code);
}

double page(Number what)
{
    return number("desktop", what);
}

std::string text(const std::string &id, Text what)
{
    return taken(pageTextRaw(id.c_str(), static_cast<int>(what)));
}

std::string systemColor(const char *keyword)
{
    return taken(systemColorRaw(keyword));
}

std::string attribute(const std::string &id, const char *name)
{
    return taken(attributeRaw(id.c_str(), name));
}

bool touchScreen()
{
    return page(Number::TouchScreen) != 0;
}

// Asks the runner for another screen, or another media feature, and waits
// until the page has it.
bool askForScreen(int width, int height)
{
    std::printf("[ask runner] size %dx%d\n", width, height);
    std::fflush(stdout);
    return testing::waitUntil(
        [&] {
            return page(Number::ViewportWidth) == width && page(Number::ViewportHeight) == height;
        },
        10000);
}

bool askForScheme(bool dark)
{
    std::printf("[ask runner] media prefers-color-scheme=%s\n", dark ? "dark" : "light");
    std::fflush(stdout);
    return testing::waitUntil([&] { return (page(Number::DarkScheme) != 0) == dark; }, 10000);
}

// A text's colour and the colour behind it, as the page draws them.
struct Colors {
    toolkit::Color text;
    toolkit::Color back;
};

Colors parsedColors(const std::string &written) // "r g b|r g b"
{
    std::istringstream in(written);
    int values[6] = {};
    char bar = 0;
    in >> values[0] >> values[1] >> values[2] >> bar >> values[3] >> values[4] >> values[5];
    const auto color = [&](int at) {
        return toolkit::Color{static_cast<std::uint8_t>(values[at]),
                              static_cast<std::uint8_t>(values[at + 1]),
                              static_cast<std::uint8_t>(values[at + 2])};
    };
    return {color(0), color(3)};
}

// A colour as the page writes it: "rgb(r, g, b)".
toolkit::Color rgb(const std::string &written)
{
    int red = 0;
    int green = 0;
    int blue = 0;
    std::sscanf(written.c_str(), "rgb(%d, %d, %d)", &red, &green, &blue);
    return {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
            static_cast<std::uint8_t>(blue)};
}

Colors colorsOf(const std::string &selector)
{
    return parsedColors(taken(colorsRaw(selector.c_str())));
}

// The contrast ratio of WCAG 2: from 1 (the same colour) to 21 (black on white).
double contrast(const Colors &colors)
{
    const auto luminance = [](toolkit::Color c) {
        const auto linear = [](std::uint8_t channel) {
            const double s = channel / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
    };
    const double a = luminance(colors.text);
    const double b = luminance(colors.back);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        result.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return result;
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string id(const toolkit::Form &form, const toolkit::Control &control)
{
    return web::elementId(form, control);
}

// Both windows loaded and shown (as for a moment when OK is pressed);
// unloaded when the test ends, also a failed one.
struct BothShown {
    frmAbout &about = toolkit::form<frmAbout>();
    Form1 &main = toolkit::form<Form1>();
    BothShown()
    {
        modQuaddle::Num.fill(0.0f);
        about.Show();
        main.Show();
    }
    ~BothShown()
    {
        for (toolkit::Form *form : forms()) {
            if (form->isLoaded())
                form->Unload();
        }
        testing::waitUntil([] { return !formExists<frmAbout>() && !formExists<Form1>(); });
    }
    std::vector<toolkit::Form *> forms() { return {&about, &main}; }
    // Each designed control of both windows, with its element's id.
    template <typename Check> void eachControl(Check check)
    {
        for (toolkit::Form *form : forms()) {
            const auto &controls = form->design().controls;
            for (std::size_t i = 0; i < controls.size(); ++i) {
                CAPTURE(std::string(controls[i].name));
                check(*form, form->controlAt(i), controls[i], id(*form, form->controlAt(i)));
            }
        }
    }
};

// A window of the test's own: two buttons that count their clicks, a text box
// whose Enter presses the first, and a timer that runs what it is given.
constexpr toolkit::ControlSpec probeControls[] = {
    {.kind = ControlKind::TextBox,
     .name = "Entry",
     .text = "",
     .place = {120, 120, 1400, 330},
     .tabIndex = 0},
    {.kind = ControlKind::CommandButton,
     .name = "Button",
     .text = "button",
     .place = {120, 600, 1200, 400},
     .tabIndex = 1},
    {.kind = ControlKind::CommandButton,
     .name = "Other",
     .text = "other",
     .place = {1500, 600, 1200, 400},
     .tabIndex = 2},
};
constexpr toolkit::TimerSpec probeTimers[] = {{"Tick", 20}};

constexpr toolkit::FormSpec probeLayout{.name = "Probe",
                                        .caption = "Probe",
                                        .width = 3000,
                                        .height = 1200,
                                        .controls = probeControls,
                                        .timers = probeTimers,
                                        .defaultButton = "Button"};

class Probe : public toolkit::Form
{
public:
    Probe()
        : Form(probeLayout)
    {
        bind<Probe>(handlers);
    }

    int clicks = 0;
    int otherClicks = 0;
    std::function<void()> onNextTick;

    void Button_Click() { ++clicks; }
    void Other_Click() { ++otherClicks; }
    void Tick_Timer()
    {
        if (onNextTick)
            std::exchange(onNextTick, nullptr)();
    }

private:
    static constexpr toolkit::Handler<Probe> handlers[] = {
        {"Button", toolkit::Event::Click, &Probe::Button_Click},
        {"Other", toolkit::Event::Click, &Probe::Other_Click},
        {"Tick", toolkit::Event::Timer, &Probe::Tick_Timer},
    };
};

// The probe, shown; unloaded when the test ends, also a failed one.
struct ShownProbe {
    Probe &form = toolkit::form<Probe>();
    ShownProbe() { form.Show(); }
    ~ShownProbe()
    {
        if (formExists<Probe>())
            toolkit::form<Probe>().Unload();
        testing::waitUntil([] { return !formExists<Probe>(); });
    }
    std::string id(const char *control) const
    {
        return web::elementId(form, form.control(control));
    }
};

// The scale the window is drawn at: 1 as designed.
double zoomOf(const toolkit::Form &form)
{
    return number(web::elementId(form), Number::Zoom);
}

// One window shown alone, as the program shows each; unloaded when the test
// ends, also a failed one.
template <typename Window> struct ShownAlone {
    Window &form = toolkit::form<Window>();
    ShownAlone()
    {
        modQuaddle::Num.fill(0.0f);
        form.Show();
    }
    ~ShownAlone()
    {
        if (form.isLoaded())
            form.Unload();
        testing::waitUntil([] { return !formExists<Window>(); });
    }
};

} // namespace

TEST_CASE("the page runs at the device pixel ratio asked for")
{
    CHECK(page(Number::DevicePixelRatio) == page(Number::ExpectedScale));
}

TEST_CASE("client areas and controls stand at their designed places in CSS pixels")
{
    BothShown shown;
    for (toolkit::Form *form : shown.forms()) {
        const toolkit::FormSpec &design = form->design();
        CAPTURE(std::string(design.name));
        const std::string window = web::elementId(*form);
        const std::string client = window + "-client";
        // Laid out unscaled; a small screen scales the whole window (below).
        CHECK(number(window, Number::OffsetWidth) >= pixels(design.width));
        const double zoom = zoomOf(*form);
        for (std::size_t i = 0; i < design.controls.size(); ++i) {
            const toolkit::ControlSpec &control = design.controls[i];
            CAPTURE(std::string(control.name));
            const std::string element = id(*form, form->controlAt(i));
            CHECK(number(element, Number::OffsetLeft) == pixels(control.place.left));
            CHECK(number(element, Number::OffsetTop) == pixels(control.place.top));
            CHECK(number(element, Number::OffsetWidth) == pixels(control.place.width));
            CHECK(number(element, Number::OffsetHeight) == pixels(control.place.height));
            // Drawn at the window's scale, on the screen's pixels.
            CHECK(number(element, Number::Width) ==
                  doctest::Approx(pixels(control.place.width) * zoom).epsilon(0.02));
        }
    }
}

TEST_CASE("the client area is exactly the designed size, and the frame overhangs it")
{
    BothShown shown;
    for (toolkit::Form *form : shown.forms()) {
        const toolkit::FormSpec &design = form->design();
        CAPTURE(std::string(design.name));
        const std::string client = web::elementId(*form) + "-client";
        CHECK(number(client, Number::OffsetWidth) == pixels(design.width));
        CHECK(number(client, Number::OffsetHeight) == pixels(design.height));
        CHECK(number(client, Number::Width) ==
              doctest::Approx(pixels(design.width) * zoomOf(*form)).epsilon(0.01));
    }
    const toolkit::Control &frame = shown.about.control("Frame1");
    const std::string frameId = id(shown.about, frame);
    CHECK(number(frameId, Number::OffsetLeft) + number(frameId, Number::OffsetWidth) >
          pixels(shown.about.design().width));
}

TEST_CASE("designed fonts first, and every fitted text whole in its box")
{
    BothShown shown;
    const auto &controls = shown.about.design().controls;
    double contactSize = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const toolkit::ControlSpec &control = controls[i];
        if (!control.font)
            continue;
        CAPTURE(std::string(control.name));
        const std::string element = id(shown.about, shown.about.controlAt(i));
        // The browser quotes a family name only where it must.
        const std::string family = text(element, Text::FontFamily);
        const std::string face(control.font->faces.front());
        CHECK((family.starts_with('"' + face + '"') || family.starts_with(face + ',')));
        // Ends in the browser's generic family of the face's kind.
        CHECK((family.ends_with("sans-serif") || family.ends_with("serif")));
        const double size = number(element, Number::FontSize);
        // Never larger than designed (1 pt is 4/3 CSS pixels).
        CHECK(size <= control.font->points * 4 / 3 + 0.01);
        if (control.shrinkToFit && control.kind == ControlKind::Label)
            CHECK(number(element, Number::ScrollWidth) <= number(element, Number::ClientWidth));
        if (control.fitGroup != 0) {
            if (contactSize == 0)
                contactSize = size;
            CHECK(size == contactSize);
        }
    }
    // The main window's controls are in the default dialog font, 8 points.
    const std::string entry = id(shown.main, shown.main.control("TxtNum1"));
    CHECK(text(entry, Text::FontFamily).starts_with("\"MS Sans Serif\""));
    CHECK(number(entry, Number::FontSize) == doctest::Approx(8 * 4.0 / 3));
}

TEST_CASE("the kind of face decides the stand-ins, and the browser's generic family ends them")
{
    static constexpr std::string_view missing[] = {"No Such Face"};
    static constexpr std::string_view sans[] = {"MS Sans Serif"};
    static constexpr std::string_view clerical[] = {"隶书", "LiSu"};
    struct Row {
        toolkit::FaceKind kind;
        std::span<const std::string_view> designed;
        std::string generic;
    };
    const Row rows[] = {{toolkit::FaceKind::Sans, sans, "sans-serif"},
                        {toolkit::FaceKind::Clerical, clerical, "serif"}};
    std::vector<std::string> standIns;
    for (const Row &row : rows) {
        CAPTURE(static_cast<int>(row.kind));
        const std::string nobodys = web::fontFamily({missing, row.kind, 12});
        const std::string designed = web::fontFamily({row.designed, row.kind, 12});
        CHECK(nobodys.starts_with("\"No Such Face\", "));
        CHECK(nobodys.ends_with(", " + row.generic));
        // What follows the designed faces is the kind's, whatever they are named.
        const std::string after = nobodys.substr(nobodys.find(", ") + 2);
        CHECK(designed.ends_with(after));
        standIns.push_back(after);
    }
    CHECK(standIns[0] != standIns[1]);
}

TEST_CASE("in the light and the dark scheme, designed colours exactly, the scheme's system colours "
          "where none is designed, and every text readable on what is behind it")
{
    const bool startedDark = page(Number::DarkScheme) != 0;
    readColors();
    BothShown shown;
    const std::string about = web::elementId(shown.about);
    const std::string main = web::elementId(shown.main);
    std::vector<std::string> mainBackgrounds;
    // The other scheme first: the page follows the change while it is open.
    for (const bool dark : {!startedDark, startedDark}) {
        CAPTURE(dark);
        REQUIRE(askForScheme(dark));
        struct Row {
            std::string element;
            Text what;
            std::string expected;
        };
        const Row rows[] = {
            {about + "-client", Text::Background, "rgb(255, 192, 255)"},
            {about + "-Frame1", Text::Background, "rgb(255, 192, 255)"},
            {about + "-txtPromo1", Text::Background, "rgb(255, 192, 255)"},
            {about + "-txtPromo1", Text::Color, "rgb(0, 0, 0)"},
            {about + "-labTime", Text::Color, "rgb(255, 0, 0)"},
            {about + "-labTime", Text::Background, "rgb(192, 192, 255)"},
            {about + "-labWeb", Text::Color, "rgb(0, 0, 0)"},
            {about + "-lbl", Text::Color, "rgb(0, 0, 0)"},
            {"#" + about + " .q-caption", Text::Background, systemColor("ButtonFace")},
            {main + "-client", Text::Background, systemColor("ButtonFace")},
            {main + "-Label1", Text::Color, systemColor("ButtonText")},
            {main + "-TxtNum1", Text::Background, systemColor("Field")},
            {main + "-TxtNum1", Text::Color, systemColor("FieldText")},
            {main + "-Text1", Text::Background, systemColor("Field")},
            {main + "-cmdExit", Text::Background, systemColor("ButtonFace")},
            {"#" + main + " .q-caption", Text::Background, systemColor("ButtonFace")},
            {"#" + main + " .q-title", Text::Color, systemColor("ButtonText")},
        };
        for (const Row &row : rows) {
            CAPTURE(row.element);
            CHECK(text(row.element, row.what) == row.expected);
        }
        mainBackgrounds.push_back(text(main + "-client", Text::Background));
        // The page around the windows is the scheme's own.
        const Colors around = colorsOf("#desktop");
        CHECK(around.text == rgb(systemColor("CanvasText")));
        CHECK(around.back == rgb(systemColor("Canvas")));

        // Every text at 4.5:1 at least, but for a disabled control's and a
        // pair of colours the design gives both of, which stays as designed.
        std::vector<std::string> texts;
        for (toolkit::Form *form : shown.forms()) {
            const std::string window = "#" + web::elementId(*form);
            texts.push_back(window + " .q-title");
            texts.push_back(window + " .q-close");
            const auto &controls = form->design().controls;
            for (std::size_t i = 0; i < controls.size(); ++i) {
                const toolkit::ControlSpec &control = controls[i];
                if (control.kind == ControlKind::Frame || !form->controlAt(i).enabled() ||
                    (control.foreColor && control.backColor))
                    continue;
                texts.push_back("#" + id(*form, form->controlAt(i)));
            }
        }
        for (const std::string &selector : texts) {
            CAPTURE(selector);
            CHECK(contrast(colorsOf(selector)) >= 4.5);
        }

        // The warning box: readable, whole, and its button large enough for
        // a finger on a touch screen.
        answerBoxes("Enter");
        toolkit::MsgBoxWarning("请输入数字！");
        taken(boxesRaw());
        const std::vector<std::string> looks = lines(taken(boxLooksRaw()));
        REQUIRE(looks.size() == 1);
        // Its title's, text's and button's colours, its button's width and
        // height, whether it is whole.
        std::istringstream parts(looks.front());
        std::vector<std::string> fields;
        for (std::string field; std::getline(parts, field, ';');)
            fields.push_back(field);
        REQUIRE(fields.size() == 6);
        for (int i = 0; i < 3; ++i) {
            CAPTURE(fields[i]);
            CHECK(contrast(parsedColors(fields[i])) >= 4.5);
        }
        CHECK(fields[5] == "whole");
        if (touchScreen()) {
            CHECK(std::stod(fields[3]) >= 24);
            CHECK(std::stod(fields[4]) >= 24);
        }
    }
    REQUIRE(mainBackgrounds.size() == 2);
    CHECK(mainBackgrounds[0] != mainBackgrounds[1]);
}

TEST_CASE("labels and frames take no focus and no selection; links show the hand")
{
    BothShown shown;
    shown.eachControl([](const toolkit::Form &, const toolkit::Control &,
                         const toolkit::ControlSpec &control, const std::string &element) {
        if (control.kind != ControlKind::Label && control.kind != ControlKind::Frame)
            return;
        CHECK(number(element, Number::TabIndex) < 0);
        CHECK(text(element, Text::UserSelect) == "none");
        CHECK(text(element, Text::Cursor) == (control.handCursor ? "pointer" : "auto"));
    });
}

TEST_CASE("every control has a name for screen readers")
{
    BothShown shown;
    shown.eachControl([](const toolkit::Form &, const toolkit::Control &drawn,
                         const toolkit::ControlSpec &control, const std::string &element) {
        if (control.kind == ControlKind::Frame) // a group, named by nothing designed
            return;
        const std::string name = text(element, Text::Name);
        if (!control.accessibleName.empty())
            CHECK(name == control.accessibleName);
        else
            CHECK(name == trimmed(drawn.text()));
    });
    CHECK(text(id(shown.main, shown.main.control("cmdJiSuan")), Text::Role) == "button");
    CHECK(text(id(shown.main, shown.main.control("TxtNum1")), Text::Role) == "textbox");
    CHECK(text(id(shown.about, shown.about.control("Frame1")), Text::Role) == "group");
}

TEST_CASE("the warning box: an alert dialog titled Quaddle that Enter, Space, Escape or OK close")
{
    for (const char *how : {"Enter", " ", "Escape", "click"}) {
        CAPTURE(std::string(how));
        BothShown shown;
        toolkit::Control &entry = shown.main.control("TxtNum3");
        testing::click(entry);
        REQUIRE(testing::focusedControl(shown.main) == &entry);
        answerBoxes(how);
        toolkit::MsgBoxWarning("请输入数字！");
        CHECK(lines(taken(boxesRaw())) ==
              std::vector<std::string>{
                  "alertdialog|Quaddle|请输入数字！|确定|modal|ok focused|icon"});
        CHECK(openBoxes() == 0);
        // The focus is back where it was.
        CHECK(testing::focusedControl(shown.main) == &entry);
    }
}

TEST_CASE("Calculate waits for each warning before it reads the next box")
{
    BothShown shown;
    Form1 &form = shown.main;
    form.control("TxtNum2").setText("");
    form.control("TxtNum4").setText("abc");
    form.control("Text1").setText("old");
    answerBoxes("Enter");
    // As the button's click does; a handler that waits is entered from the page.
    form.raise(form.indexOf("cmdJiSuan"), toolkit::Event::Click);
    CHECK(lines(taken(boxesRaw())) ==
          std::vector<std::string>{
              "alertdialog|Quaddle|请输入数字！|确定|modal|ok focused|icon",
              "alertdialog|Quaddle|请输入一个1－13的数！|确定|modal|ok focused|icon"});
    // The search ran after both: 3, 0, 9, 0 have no solution.
    CHECK(form.control("Text1").text().empty());
}

TEST_CASE("a warning box asked for while one waits opens after it, once its caller has gone on")
{
    enum class From { Tick, Task };
    struct Row {
        const char *name;
        From from;
        web::PageEvent event; // what the page sends for it
    };
    const Row rows[] = {{"a timer's tick", From::Tick, web::PageEvent::Timer},
                        {"work posted for later", From::Task, web::PageEvent::Tasks}};
    for (const Row &row : rows) {
        CAPTURE(std::string(row.name));
        ShownProbe probe;
        std::vector<std::string> said;
        auto second = [&said] {
            said.push_back("asks");
            toolkit::MsgBoxWarning("second");
            said.push_back("goes on");
        };
        if (row.from == From::Tick)
            probe.form.onNextTick = second;
        else
            toolkit::backend::post(second);
        answerBoxesAfter(static_cast<int>(row.event));
        toolkit::MsgBoxWarning("first");
        said.push_back("first closed");
        CHECK(testing::waitUntil([&] { return said.size() == 3 && openBoxes() == 0; }));
        CHECK(said == std::vector<std::string>{"first closed", "asks", "goes on"});
        CHECK(lines(taken(boxesRaw())) ==
              std::vector<std::string>{"first|1 open", "second|1 open"});
    }
}

TEST_CASE("the links: a new tab without opener for the web page, mailto: to the browser")
{
    BothShown shown;
    recordOpens();
    testing::click(shown.about.control("labWeb"));
    testing::doubleClick(shown.about.control("Label1"));
    testing::click(shown.about.control("labEmail"));
    CHECK(lines(taken(openedRaw())) ==
          std::vector<std::string>{std::string("http://") + maker::webAddress + "|_blank|noopener",
                                   std::string("http://") + maker::webAddress + "|_blank|noopener",
                                   std::string("mailto:") + maker::emailAddress + "|_self|"});
}

TEST_CASE("only web pages and mail addresses are opened, never a script in the page")
{
    struct Row {
        const char *file;
        bool opened;
        const char *asked; // of window.open: address, target, features
    };
    const Row rows[] = {
        {"example.org", true, "http://example.org|_blank|noopener"},
        {"https://example.org/a", true, "https://example.org/a|_blank|noopener"},
        {"HTTPS://example.org", true, "HTTPS://example.org|_blank|noopener"},
        {"mailto:someone@example.org", true, "mailto:someone@example.org|_self|"},
        // A host with a port is a web address, not a scheme.
        {"example.com:8080", true, "http://example.com:8080|_blank|noopener"},
        {"localhost:8000/path", true, "http://localhost:8000/path|_blank|noopener"},
        {"example.com:8080?q=1", true, "http://example.com:8080?q=1|_blank|noopener"},
        {"javascript:alert(1)", false, ""},
        {"javascript:1;alert(1)", false, ""},
        {"JavaScript:alert(1)", false, ""},
        {"data:text/html,<p>", false, ""},
        {"", false, ""},
    };
    for (const Row &row : rows) {
        CAPTURE(std::string(row.file));
        recordOpens();
        CHECK(toolkit::ShellExecute(0, "open", row.file, "", "", toolkit::swShow) == row.opened);
        CHECK(taken(openedRaw()) == row.asked);
    }
}

TEST_CASE("Space clicks a focused button once, when it is released after a press on it")
{
    enum class Step { Down, Repeat, Up, Focus };
    struct Action {
        Step step;
        const char *control;
        int clicks; // of Button, once the step is done
    };
    struct Row {
        const char *name;
        std::vector<Action> actions;
    };
    const Row rows[] = {
        {"pressed and released", {{Step::Down, "Button", 0}, {Step::Up, "Button", 1}}},
        {"held down, the key repeating",
         {{Step::Down, "Button", 0},
          {Step::Repeat, "Button", 0},
          {Step::Repeat, "Button", 0},
          {Step::Up, "Button", 1}}},
        // As when the press closed the warning box and the focus came back.
        {"released without a press on it", {{Step::Focus, "Button", 0}, {Step::Up, "Button", 0}}},
        {"pressed, the focus away and back, released",
         {{Step::Down, "Button", 0},
          {Step::Focus, "Other", 0},
          {Step::Focus, "Button", 0},
          {Step::Up, "Button", 0}}},
        {"pressed on one button, released on another",
         {{Step::Down, "Button", 0}, {Step::Up, "Other", 0}}},
    };
    for (const Row &row : rows) {
        CAPTURE(std::string(row.name));
        ShownProbe probe;
        for (const Action &action : row.actions) {
            const std::string id = probe.id(action.control);
            switch (action.step) {
            case Step::Down:
            case Step::Repeat:
                keyEvent(id.c_str(), "keydown", " ", 32, action.step == Step::Repeat, false);
                break;
            case Step::Up:
                keyEvent(id.c_str(), "keyup", " ", 32, false, false);
                break;
            case Step::Focus:
                focusElement(id.c_str());
                break;
            }
            testing::processEvents();
            CHECK(probe.form.clicks == action.clicks);
        }
        CHECK(probe.form.otherClicks == 0);
    }
}

TEST_CASE("Enter in a text box presses the default button, but not the Enter that ends input "
          "through an input method")
{
    struct Row {
        const char *name;
        int keyCode;
        bool composing;
        int clicks;
    };
    const Row rows[] = {
        {"Enter", 13, false, 1},
        {"Enter while composing", 229, true, 0},
        // Safari reports the Enter that commits the text as no longer composing.
        {"Enter committing the composed text", 229, false, 0},
    };
    for (const Row &row : rows) {
        CAPTURE(std::string(row.name));
        ShownProbe probe;
        keyEvent(probe.id("Entry").c_str(), "keydown", "Enter", row.keyCode, false, row.composing);
        testing::processEvents();
        CHECK(probe.form.clicks == row.clicks);
    }
}

TEST_CASE("the page's title is the caption of the window in front")
{
    BothShown shown;
    CHECK(text("desktop", Text::Title) == std::string("Quaddle ") + maker::webAddress);
    testing::click(shown.about.control("lbl"));
    CHECK(text("desktop", Text::Title) == "Quaddle"); // the About window has no caption
    shown.main.Unload();
    CHECK(testing::waitUntil([] { return !formExists<Form1>(); }));
    CHECK(text("desktop", Text::Title) == "Quaddle");
}

// Each screen in turn, with the window shown: whole, as large as fits, its
// layout kept at the scale it is drawn at. Returns the scale on each screen.
struct Screen {
    std::string name;
    int width;
    int height;
    // On a touch screen: what the main window takes of the width at least,
    // and whether its labels, too, are as large as its controls a finger
    // touches, which are on every screen.
    double mainWidthShare;
    bool labelsFingerSized;
};

std::vector<double> checkScreens(toolkit::Form &form, std::span<const Screen> screens)
{
    const std::string window = web::elementId(form);
    const double largest = touchScreen() ? 2 : 1;
    const auto right = [&] {
        return number(window, Number::Left) + number(window, Number::Width);
    };
    const auto bottom = [&] {
        return number(window, Number::Top) + number(window, Number::Height);
    };
    const auto whole = [&] {
        return number(window, Number::Left) >= 0 && right() <= page(Number::RoomWidth) + 0.5 &&
               number(window, Number::Top) >= 0 && bottom() <= page(Number::ViewportHeight) + 0.5;
    };
    // Either at its largest, or no room is left for more but a margin.
    const auto asLargeAsFits = [&] {
        return zoomOf(form) == doctest::Approx(largest) ||
               number(window, Number::Width) >= page(Number::RoomWidth) - 16 ||
               number(window, Number::Height) >= page(Number::ViewportHeight) - 16;
    };
    std::vector<double> scales;
    for (const Screen &screen : screens) {
        CAPTURE(screen.name);
        REQUIRE(askForScreen(screen.width, screen.height));
        CHECK(testing::waitUntil([&] { return whole() && asLargeAsFits(); }));
        std::ostringstream drawn;
        drawn << "at " << zoomOf(form) << ", " << number(window, Number::Width) << " x "
              << number(window, Number::Height) << " at " << number(window, Number::Left) << ", "
              << number(window, Number::Top) << " in " << page(Number::RoomWidth) << " x "
              << page(Number::ViewportHeight);
        CAPTURE(drawn.str());
        CHECK(whole());
        CHECK(asLargeAsFits());
        CHECK(zoomOf(form) <= largest);
        checkLayout(form);
        scales.push_back(zoomOf(form));
        if (!touchScreen() || form.design().name != "Form1")
            continue;
        // Large enough for a finger, and text in its boxes large enough that
        // a browser need not zoom into them.
        CHECK(number(window, Number::Width) >= screen.width * screen.mainWidthShare);
        const auto &controls = form.design().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            CAPTURE(std::string(controls[i].name));
            const std::string element = id(form, form.controlAt(i));
            if (controls[i].kind != ControlKind::Label || screen.labelsFingerSized) {
                CHECK(number(element, Number::Width) >= 24);
                CHECK(number(element, Number::Height) >= 24);
            }
            if (controls[i].kind == ControlKind::TextBox ||
                controls[i].kind == ControlKind::MultiLineTextBox)
                CHECK(number(element, Number::DrawnFontSize) >= 16);
        }
        CHECK(number("#" + window + " .q-close", Number::Width) >= 24);
        CHECK(number("#" + window + " .q-close", Number::Height) >= 24);
    }
    return scales;
}

// The scale a window is shown at is the one the laid-out page keeps it at:
// its texts are fitted once, before its first frame, not again once the page
// has been laid out.
template <typename Window> void checkShownAtItsScale()
{
    const double before = page(Number::Frames);
    ShownAlone<Window> shown;
    const int window = web::windowId(shown.form);
    const double shownAt = web::scale(window);
    REQUIRE(testing::waitUntil([&] { return page(Number::Frames) >= before + 3; }));
    CHECK(web::scale(window) == shownAt);
    CHECK(zoomOf(shown.form) == doctest::Approx(shownAt));
}

TEST_CASE("a window is shown at the scale the laid-out page keeps it at")
{
    checkShownAtItsScale<frmAbout>();
    checkShownAtItsScale<Form1>();
}

TEST_CASE("a window the page has drawn is taken over as it stands, what was typed kept; "
          "one it has not drawn, or not whole, is drawn anew")
{
    const std::string name = web::elementId(toolkit::form<frmAbout>());
    {
        ShownAlone<frmAbout> shown;
        keepCopy(name.c_str());
    }
    const struct {
        bool drawn;
        const char *missing; // an element the page's window lacks
        int isCopy;
        const char *text;
    } cases[] = {{true, "", 1, "typed before the program ran"},
                 {false, "", 0, nullptr},
                 {true, "#frmAbout-labTime", 0, nullptr},
                 {true, "#frmAbout-txtPromo1", 0, nullptr},
                 {true, ".q-close", 0, nullptr},
                 {true, ".q-title", 0, nullptr}};
    for (const auto &c : cases) {
        CAPTURE(c.drawn);
        CAPTURE(std::string(c.missing));
        putCopy(c.drawn, "typed before the program ran", c.missing);
        ShownAlone<frmAbout> shown;
        CHECK(isCopy(name.c_str()) == c.isCopy);
        const toolkit::Control &box = shown.form.control("txtPromo2");
        if (c.text)
            CHECK(box.text() == c.text);
        else
            CHECK(box.text() == box.design().text);
        CHECK(shown.form.control("cmdOk").enabled() == false);
        // Taken over, it is the program's: its timer counts down on it.
        const toolkit::Control &count = shown.form.control("labTime");
        const std::string before = count.text();
        REQUIRE(testing::waitUntil([&] { return count.text() != before; }, 10000));
    }
}

TEST_CASE("a window is drawn whole and as large as the screen takes it: as designed with a mouse, "
          "up to twice its size on a touch screen, and anew when the screen is turned")
{
    const int ownWidth = static_cast<int>(page(Number::ViewportWidth));
    const int ownHeight = static_cast<int>(page(Number::ViewportHeight));
    const Screen screens[] = {
        {"a phone held upright", 390, 844, 0.9, true},
        {"the phone turned", 844, 390, 0, true},
        {"a small phone", 320, 568, 0, false},
        {"a tablet", 1024, 768, 0, true},
        {"the run's own", ownWidth, ownHeight, 0, false},
    };
    {
        ShownAlone<Form1> shown;
        const std::vector<double> scales = checkScreens(shown.form, screens);
        if (!touchScreen()) // pixel for pixel as designed wherever it fits
            CHECK(scales == std::vector<double>{1, 1, 1, 1, 1});
        // No scroll bars around a window that fits.
        CHECK(page(Number::PageWidth) <= page(Number::ViewportWidth));
    }
    {
        ShownAlone<frmAbout> shown;
        const std::vector<double> scales = checkScreens(shown.form, screens);
        // Wider than a phone held upright: smaller there, larger turned.
        CHECK(scales[0] < 1);
        CHECK(scales[1] > scales[0]);
    }
}

TEST_CASE("the number boxes ask a touch keyboard for its keypad with a decimal point and a Go key")
{
    ShownAlone<Form1> shown;
    struct Row {
        const char *attribute;
        const char *value;
    };
    // Enter, the Go key's, calculates (the main window's tests).
    const Row rows[] = {{"inputmode", "decimal"},
                        {"enterkeyhint", "go"},
                        {"autocapitalize", "off"},
                        {"autocorrect", "off"},
                        {"spellcheck", "false"}};
    for (const char *box : {"TxtNum1", "TxtNum2", "TxtNum3", "TxtNum4"}) {
        CAPTURE(std::string(box));
        for (const Row &row : rows) {
            CAPTURE(std::string(row.attribute));
            CHECK(attribute(id(shown.form, shown.form.control(box)), row.attribute) == row.value);
        }
    }
    // The result box takes any text, and Enter is a new line there.
    const std::string result = id(shown.form, shown.form.control("Text1"));
    CHECK(attribute(result, "inputmode") == "(none)");
    CHECK(attribute(result, "enterkeyhint") == "(none)");
}

// Last: from here on, the program is the page's, and ends with its last window.
TEST_CASE("unloading the last window ends the program and the page says so")
{
    web::runInPage();
    {
        BothShown shown;
        shown.about.Unload();
        CHECK(testing::waitUntil([] { return !formExists<frmAbout>(); }));
        CHECK(taken(endedRaw()).empty()); // one window is left
    }
    CHECK(taken(endedRaw()) == "Quaddle 已结束。 重新打开|true");
    CHECK(text("desktop", Text::Title) == "Quaddle");
    readColors();
    for (const char *line : {".q-ended", ".q-ended a"}) {
        CAPTURE(std::string(line));
        CHECK(contrast(colorsOf(line)) >= 4.5);
    }
}

namespace {

// clang-format off
// What the user does to the text box with that id, as the browser reports
// it: 0 types a key, 1 deletes all, 2 undoes, 3 composes a character with an
// input method and commits it (reported as Firefox reports it: the end of the
// composition, then input that is no longer composing).
EM_JS(void, editBox, (const char *id, int how), {
    var el = document.getElementById(UTF8ToString(id));
    el.focus();
    var input = function(type, composing) {
        el.dispatchEvent(new InputEvent('input', {inputType: type, isComposing: composing, bubbles: true}));
    };
    if (how == 0) document.execCommand('insertText', false, '7');
    if (how == 1) { el.select(); document.execCommand('delete'); }
    if (how == 2) document.execCommand('undo');
    if (how == 3) {
        el.dispatchEvent(new CompositionEvent('compositionstart', {bubbles: true}));
        el.value += 'n';
        input('insertCompositionText', true);
        el.value = el.value.slice(0, -1) + '你';
        input('insertCompositionText', true);
        el.dispatchEvent(new CompositionEvent('compositionend', {data: '你', bubbles: true}));
        input('insertCompositionText', false);
    }
});

// The number of workers the page has made since the first call.
EM_JS(int, workersMade, (), {
    if (!Module.workersMade) {
        var Made = Worker;
        Module.workersMade = {count: 0};
        Worker = function(url) { ++Module.workersMade.count; return new Made(url); };
    }
    return Module.workersMade.count;
});

// The link of the window's first command: its box on the viewport, whether
// it has the focus, and the client area's bottom, as "left top width height
// focused clientBottom".
EM_JS(int, commandLinkRaw, (const char *window), {
    var root = document.getElementById(UTF8ToString(window)), link = root.parentElement.querySelector('.q-command');
    var box = link.getBoundingClientRect(), client = root.querySelector('.q-client').getBoundingClientRect();
    Module.kept = new TextEncoder().encode([box.left, box.top, box.width, box.height, document.activeElement === link,
                                            client.bottom, link.textContent].join(' '));
    return Module.kept.length;
});

// Whether the element with that id shows a vertical scroll bar's worth of
// text: more than it holds, with the rest to scroll to.
EM_JS(int, scrolls, (const char *id), {
    var el = document.getElementById(UTF8ToString(id));
    return el.scrollHeight > el.clientHeight && getComputedStyle(el).overflowY == 'auto';
});
// clang-format on

constexpr toolkit::ControlSpec listerControls[] = {
    {.kind = ControlKind::TextBox,
     .name = "Entry",
     .text = "",
     .place = {120, 120, 1400, 330},
     .tabIndex = 0},
    {.kind = ControlKind::ScrollingTextBox,
     .name = "List",
     .text = "",
     .place = {120, 600, 2400, 900},
     .tabIndex = 1,
     .accessibleName = "list"},
};
constexpr toolkit::CommandSpec listerCommands[] = {{"Cmd", "列出所有解法…", "List"}};
constexpr toolkit::FormSpec listerLayout{.name = "Lister",
                                         .caption = "Lister",
                                         .width = 3000,
                                         .height = 1700,
                                         .controls = listerControls,
                                         .commands = listerCommands};

class Lister : public toolkit::Form
{
public:
    Lister()
        : Form(listerLayout)
    {
        bind<Lister>(handlers);
    }
    int changes = 0;
    int commands = 0;
    void Entry_Change() { ++changes; }
    void Cmd_Click() { ++commands; }

private:
    static constexpr toolkit::Handler<Lister> handlers[] = {
        {"Entry", toolkit::Event::Change, &Lister::Entry_Change},
        {"Cmd", toolkit::Event::Click, &Lister::Cmd_Click},
    };
};

std::vector<double> commandLink(std::string &text)
{
    std::istringstream said(taken(commandLinkRaw("Lister")));
    std::vector<double> values(6);
    std::string focused;
    said >> values[0] >> values[1] >> values[2] >> values[3] >> focused >> values[5];
    values[4] = focused == "true";
    std::getline(said >> std::ws, text);
    return values;
}

} // namespace

TEST_CASE("a text box's Change: once for each change the user makes, an input method's text once "
          "committed, none for the program's")
{
    ShownAlone<Lister> shown;
    const std::string id = web::elementId(shown.form, shown.form.control("Entry"));
    struct Row {
        const char *what;
        std::function<void()> act;
        int changes;
        const char *text;
    };
    const Row rows[] = {
        {"a key typed", [&] { editBox(id.c_str(), 0); }, 1, "7"},
        {"all deleted", [&] { editBox(id.c_str(), 1); }, 1, ""},
        {"an undo", [&] { editBox(id.c_str(), 2); }, 1, "7"},
        {"a composed character committed", [&] { editBox(id.c_str(), 3); }, 1, "7你"},
        {"a paste", [&] { testing::pasteText(shown.form, "3 3 8 8"); }, 1, "3 3 8 8"},
        {"the program's text", [&] { shown.form.control("Entry").setText("1"); }, 0, "1"},
    };
    for (const Row &row : rows) {
        CAPTURE(std::string(row.what));
        shown.form.changes = 0;
        row.act();
        testing::processEvents();
        CHECK(shown.form.changes == row.changes);
        CHECK(shown.form.control("Entry").text() == row.text);
    }
}

TEST_CASE("a scrolling text box: read-only, its lines CR LF apart, a scroll bar only for more than "
          "it holds, selectable, and in the tab order")
{
    ShownAlone<Lister> shown;
    toolkit::Control &list = shown.form.control("List");
    const std::string id = web::elementId(shown.form, list);
    for (const int count : {2, 60}) {
        CAPTURE(count);
        std::string lines;
        for (int k = 0; k < count; ++k)
            lines += (k ? "\r\n" : "") + std::to_string(k) + "+1";
        list.setText(lines);
        CHECK(list.text() == lines);
        CHECK(static_cast<bool>(scrolls(id.c_str())) == (count > 2));
    }
    CHECK(text(id, Text::UserSelect) == "text");
    testing::pressKey(shown.form, testing::Key::Tab);
    CHECK(testing::focusedControl(shown.form) == &list);
    const std::string before = list.text();
    testing::typeText(shown.form, "9");
    CHECK(list.text() == before);
}

TEST_CASE("a command's link: below the window, outside what was designed, a finger's height, named "
          "by its text, reached by Tab after the controls, clicked as a user does")
{
    ShownAlone<Lister> shown;
    std::string text;
    const std::vector<double> link = commandLink(text);
    CHECK(text == "列出所有解法…");
    CHECK(link[1] >= link[5]);
    CHECK(link[3] >= 44);
    CHECK(link[2] >= 44);
    // The designed client area keeps its designed size.
    CHECK(testing::clientArea(shown.form).height ==
          static_cast<int>(std::lround(pixels(listerLayout.height) * testing::scale(shown.form))));
    testing::pressKey(shown.form, testing::Key::Tab);
    testing::pressKey(shown.form, testing::Key::Tab);
    CHECK(testing::focusedControl(shown.form) == nullptr);
    CHECK(commandLink(text)[4] == 1);
    testing::pressKey(shown.form, testing::Key::Tab);
    CHECK(testing::focusedControl(shown.form) == &shown.form.control("Entry"));
    testing::chooseCommand(shown.form, "Cmd");
    testing::processEvents();
    CHECK(shown.form.commands == 1);
    CHECK_THROWS_AS(testing::chooseCommand(shown.form, "Missing"), std::invalid_argument);
}

TEST_CASE("jobs run in a worker of their own: its answer once, nothing for a work it lacks, and "
          "none ever for an abandoned job; an idle worker is reused, a busy one ended")
{
    const toolkit::Work every{"every", nullptr};
    const toolkit::Work missing{"no such work", nullptr};
    struct Row {
        const toolkit::Work &work;
        std::string request;
        std::string answer;
        int workersMade; // since the row before
    };
    const Row rows[] = {
        {every, "24\n3\n3\n8\n8", "solved\n8/(3-8/3)", 1},
        {every, "10\n1\n1", "solved", 0}, // the idle worker again
        {missing, "24\n1", "", 0},        // which fails, and is ended
        {every, "24\n3\n3\n8\n8", "solved\n8/(3-8/3)", 1},
    };
    workersMade();
    for (const Row &row : rows) {
        CAPTURE(std::string(row.work.name));
        const int before = workersMade();
        std::vector<std::string> answers;
        auto job = toolkit::startJob(row.work, row.request,
                                     [&](std::string answer) { answers.push_back(answer); });
        REQUIRE(testing::waitUntil([&] { return !answers.empty(); }, 20000));
        testing::processEvents();
        CHECK(answers == std::vector<std::string>{row.answer});
        CHECK(workersMade() - before == row.workersMade);
    }
    // Six cards take a while: abandoned at once, their worker is ended, and
    // the next job has a new one.
    int abandonedAnswers = 0;
    auto abandoned =
        toolkit::startJob(every, "24\n1\n2\n3\n4\n5\n6", [&](std::string) { ++abandonedAnswers; });
    testing::processEvents();
    abandoned.reset();
    const int before = workersMade();
    std::string answer;
    auto next = toolkit::startJob(every, "24\n3\n3\n8\n8", [&](std::string a) { answer = a; });
    REQUIRE(testing::waitUntil([&] { return !answer.empty(); }, 20000));
    CHECK(answer == "solved\n8/(3-8/3)");
    CHECK(workersMade() - before == 1);
    testing::waitUntil([] { return false; }, 3000);
    CHECK(abandonedAnswers == 0);
}
