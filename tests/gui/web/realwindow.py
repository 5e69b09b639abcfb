#!/usr/bin/python3
"""Quaddle's site used as a person would, in a browser of one engine with real
input.

The built site is served on loopback under the policy its page carries; the
browser, driven with pointer moves, clicks and keys (the input a person
gives), opens it at each device scale asked for: the About window counts down,
its OK does nothing during the countdown and opens the main window after it;
12 12 12 12 gives four lines; a number out of range and an empty box bring the
two warnings, in box order, each closed with its button, after which the
command ends as on the desktop; Exit ends the program. Where the engine keeps
a service worker, a reload with the server stopped still starts Quaddle. On a
phone-sized screen, upright and turned, every window is drawn whole, the About
window upright smaller than designed; where the engine can be a phone's touch
screen, the main window takes nine tenths of the width, a finger's double tap
on the web label opens the page once, a double tap elsewhere zooms nothing,
and a pinch zooms the page. On a system that prefers dark colours, the phone
again: the main window and the warning dark, with every enabled text at 4.5:1
or more.

The page draws the About window itself before the program has arrived (the
program withheld, on a server of its own), and the program takes that window
over as it stands: the same elements, nothing of them changed, at every scale
and on the phone. Nothing of the page moves as it starts (where the engine
reports layout shifts), and the program's code is asked for once, by the
page's own script, which hands it to the program.

axe-core must find nothing wrong on the page, with the About window and with
the main window.

What fails it in every engine: anything the policy refused (the browser
reports it to the server), any request that would have left loopback (a proxy
that forwards nothing records it). Where the engine tells: a console error, a
request of the page's for anything but the served site. Only Chromium: its
accessibility tree must name every control and call the warning an alert
dialog, and it must be willing to install the site.

Screenshots are left in OUT_DIR.

Usage: realwindow.py ENGINE SITE_DIR OUT_DIR [SCALE...]   (scales: 1 unless given)
"""

import ast
import contextlib
import operator
import os
import shutil
import sys
import time
import traceback
from fractions import Fraction

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from pagedriver import (Failure, Server, Trap, accessibility_findings, button_enabled, check,  # noqa: E402
                        click, click_button, limit, open_page, reason, report_failure, settled, shown,
                        site_policy, start, type_into, unlimited, wait_for)

OK, CALCULATE, EXIT, WARNING_OK = "知道了", "计算", "退出", "确定"
CLOSE, EVERY_LINK = "关闭", "列出所有解法…"
RANGE_WARNING, EMPTY_WARNING = "请输入一个1－13的数！", "请输入数字！"

# The window that holds Calculate, and its boxes.
MAIN = f"//button[normalize-space()='{CALCULATE}']/ancestor::*[.//input and .//textarea][1]"
ENTRIES, RESULT = MAIN + "//input", MAIN + "//textarea"
WARNING = "//dialog[@open]"
# The every-solution window, its hand and target boxes, and the link to it.
EVERY = f"//button[normalize-space()='{CLOSE}']/ancestor::*[.//input and .//*[@role='textbox']][1]"
EVERY_ENTRIES = EVERY + "//input"
LINK = "//button[contains(@class, 'q-command')]"

# What quaddle-solve --every prints, as its own tests expect it.
EXPECTED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "cli", "expected")

# The every-solution window as it stands: its hand and target, the line that
# counts the solutions, the solutions; null where it is not shown.
EVERY_STATE = """
const root = document.getElementById('frmEvery');
if (!root || root.hidden) return null;
const part = name => document.getElementById('frmEvery-' + name);
const lines = [...part('TxtSolutions').children].map(block => block.textContent).join('\\n');
return [part('TxtHand').value, part('TxtTarget').value, part('lblAnswer').textContent, lines];
"""

# What the hand box asks a touch keyboard for: a keyboard with letters and
# spaces (no keypad: A, J, Q, K and spaces are typed too), nothing corrected,
# capitalised or spell-checked.
HAND_KEYBOARD = """
const box = document.getElementById('frmEvery-TxtHand');
return [box.type, box.inputMode, box.getAttribute('autocapitalize'), box.getAttribute('autocorrect'),
        box.spellcheck, box.autocomplete];
"""

# The site's page, not an error page in its place.
SITE_PAGE = "return document.getElementById('desktop') !== null;"

# Seconds for the whole test, so that a browser that hangs is reported with
# the step it hung in; with the report's questions and the closing, also
# limited, within the test's TIMEOUT of 300 s.
BUDGET = 240

# The About window's count (the one text of it that is a number alone) and
# whether its OK is enabled, read together.
COUNTDOWN = f"""
const about = [...document.querySelectorAll('button')].find(b => b.textContent.trim() === '{OK}');
if (!about) return null;
const frame = about.closest('section') || document;
const count = [...frame.querySelectorAll('div')].map(e => e.textContent.trim()).find(t => /^[0-9]+$/.test(t));
return [count === undefined ? null : Number(count), !about.disabled];
"""

# Where the windows are drawn, in CSS pixels of the viewport, and the width
# of the page's room. Some engines give an element's box in its own zoomed
# pixels rather than in the viewport's; a probe scaled by half tells which.
WINDOWS_SPAN = """
const desktop = document.getElementById('desktop');
const probe = document.createElement('div');
probe.style.width = '100px';
probe.style.zoom = '0.5';
desktop.append(probe);
const ownPixels = probe.getBoundingClientRect().width > 75;
probe.remove();
const zoomOf = e => {
    let zoom = 1;
    for (; e; e = e.parentElement) zoom *= Number(getComputedStyle(e).zoom) || 1;
    return zoom;
};
const spans = [...desktop.children].map(e => {
    const box = e.getBoundingClientRect(), zoom = ownPixels ? zoomOf(e) : 1;
    return [box.left * zoom, box.right * zoom];
});
return [Math.min(...spans.map(s => s[0])), Math.max(...spans.map(s => s[1])),
        document.documentElement.clientWidth];
"""


# What the start rests on, asked once the About window is drawn: the layout
# shift the page has seen, where the engine reports one (null elsewhere), and
# how often, and by what, the page asked for the program's code: once, by the
# page's script, so that its download starts with the page's, and is not
# asked for again by the program.
START = """
const code = performance.getEntriesByType('resource').filter(e => e.name.endsWith('/quaddle.wasm'))
    .map(e => e.initiatorType);
if (!(PerformanceObserver.supportedEntryTypes || []).includes('layout-shift')) return [null, code];
let shift = 0;
const add = entries => entries.forEach(e => { if (!e.hadRecentInput) shift += e.value; });
const observer = new PerformanceObserver(list => add(list.getEntries()));
observer.observe({type: 'layout-shift', buffered: true});
return new Promise(done => requestAnimationFrame(() => setTimeout(() => {
    add(observer.takeRecords());
    observer.disconnect();
    done([shift, code]);
})));
"""

# The first window as drawn: each element of it with its tag, id, classes,
# attributes (but its style, which says the same once the program has set it),
# the computed styles that draw it, its box on the viewport and its text, but
# for a count, which the program's timer changes. Null where no window is drawn.
LOOK = """
const root = document.querySelector('.q-window:not([hidden])');
if (!root) return null;
const properties = ['font-family', 'font-size', 'font-weight', 'zoom', 'color', 'background-color'];
return [root, ...root.querySelectorAll('*')].map(e => {
    const style = getComputedStyle(e), box = e.getBoundingClientRect();
    const text = e.children.length ? '' : 'value' in e && e.tagName != 'BUTTON' ? e.value : e.textContent;
    return [e.tagName, e.id, e.className,
            [...e.attributes].filter(a => a.name != 'style').map(a => `${a.name}=${a.value}`).sort().join(' '),
            properties.map(p => style.getPropertyValue(p)).join('; '),
            [box.left, box.top, box.width, box.height].map(v => v.toFixed(2)).join(' '),
            /^\\s*[0-9]+\\s*$/.test(text) ? '(a count)' : text];
});
"""

# Whether the program has taken over the window the page drew: the same
# element, the only window, still on the page.
TAKEN = """
const drawn = window.quaddlePrepainted;
return !!drawn && drawn.taken && [drawn.window.isConnected,
    document.querySelectorAll('.q-window').length == 1 && document.querySelector('.q-window') === drawn.window];
"""

# The middle of the About window's web label, on the viewport.
WEB_LABEL = """
const label = [...document.querySelectorAll('#desktop *')]
    .find(e => e.textContent.startsWith('Web:') && !e.children.length).getBoundingClientRect();
return [label.left + label.width / 2, label.top + label.height / 2];
"""


# The window or dialog that holds the button of that text: the relative
# luminance of its background, and each enabled text of it whose contrast
# with what lies behind it is under 4.5:1 (WCAG 2), as [text, ratio].
CONTRAST = """
const [button] = arguments;
const holder = [...document.querySelectorAll('button')].find(b => b.textContent.trim() === button)
    .closest('dialog, .q-window');
const parse = c => (c.match(/[0-9.]+/g) || []).map(Number);
const luminance = ([r, g, b]) => [r, g, b]
    .map(v => v / 255).map(v => v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4)
    .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
const behind = e => {
    for (; e; e = e.parentElement) {
        const c = parse(getComputedStyle(e).backgroundColor);
        if (c.length === 3 || (c.length === 4 && c[3] > 0)) return c;
    }
    return [255, 255, 255];
};
const low = [];
for (const e of holder.querySelectorAll('*')) {
    const own = [...e.childNodes].some(n => n.nodeType === Node.TEXT_NODE && n.textContent.trim());
    const box = e.getBoundingClientRect();
    if (!(own || e.matches('input, textarea')) || e.closest(':disabled') || !box.width || !box.height) continue;
    const [a, b] = [luminance(parse(getComputedStyle(e).color)), luminance(behind(e))];
    const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    if (ratio < 4.5) low.push([(e.value || e.textContent).trim().slice(0, 20), Math.round(ratio * 100) / 100]);
}
const field = holder.querySelector('input, textarea');
return [luminance(behind(field ? field.parentElement : holder)), low];
"""


def value_of(expression):
    """An expression of numbers, + - * / and brackets, in exact fractions."""
    operations = {ast.Add: operator.add, ast.Sub: operator.sub, ast.Mult: operator.mul, ast.Div: operator.truediv}

    def value(node):
        if isinstance(node, ast.BinOp) and type(node.op) in operations:
            return operations[type(node.op)](value(node.left), value(node.right))
        if isinstance(node, ast.Constant) and isinstance(node.value, int):
            return Fraction(node.value)
        raise Failure(f"'{expression}' is not an arithmetic expression")

    return value(ast.parse(expression, mode="eval").body)


def numbers_in(expression):
    return sorted(node.value for node in ast.walk(ast.parse(expression, mode="eval")) if isinstance(node, ast.Constant))


def every_answer(page, count_line, lines):
    """Waits for the every-solution window to show these solutions under
    that count; returns its state."""
    def shown_so(p):
        state = p.run(EVERY_STATE)
        return state if state and state[2] == count_line and state[3].splitlines() == lines else None
    try:
        return wait_for(page, f"the solutions {lines[:3]}...", shown_so, seconds=60)
    except Failure:
        raise Failure(f"the every-solution window shows {page.run(EVERY_STATE)}, not {count_line} {lines}")


def expected_every(name):
    with open(os.path.join(EXPECTED, name), encoding="utf-8") as f:
        return f.read().splitlines()


def result_lines(page):
    """The lines of the main window's result box; None where it is not shown."""
    boxes = shown(page, RESULT)
    return boxes[0]["value"].splitlines() if boxes else None


def warning_saying(text):
    """A condition: the warning box is open and says that."""
    return lambda page: any(text in box["text"] for box in shown(page, WARNING))


class Session:
    """One browser of one engine at one device scale, with its own server."""

    def __init__(self, engine, site, out, scale, dark=False):
        self.out, self.scale, self.site = out, scale, site
        self.trap = Trap()
        self.server = Server(site_policy(os.path.join(site, "index.html")), site=site)
        try:
            self.page = start(engine, scale=scale, trap_port=self.trap.server_address[1], dark=dark)
        except Failure:
            self.server.stop()
            self.trap.close()
            raise
        self.requests = []
        self.errors = []

    def close(self):
        with contextlib.suppress(Exception):
            self.page.close()
        self.server.stop()
        self.trap.close()

    def picture(self, name):
        return os.path.join(self.out, f"scale{self.scale:g}-{name}.png")

    def shot(self, name):
        self.page.screenshot(self.picture(name))

    def check_nothing_left_loopback(self):
        self.requests += self.page.page_requests() or []
        self.errors += self.page.console_errors() or []
        elsewhere = [url for url in self.requests
                     if not url.startswith(self.server.origin + "/") and not url.startswith(("data:", "blob:"))]
        check(not elsewhere, f"the page asked for {elsewhere}")
        check(not self.trap.requests, f"requests went past loopback: {self.trap.requests}")
        check(not self.server.reports, f"the policy refused: {self.server.refused()}")
        check(not self.errors, f"the console shows errors: {self.errors}")

    def withheld_program(self):
        """The site on a server of its own that never sends the program, so
        that the page stands as it draws itself before the program arrives."""
        return Server(site_policy(os.path.join(self.site, "index.html")), site=self.site,
                      withheld=("quaddle.js", "sw.js"))

    def taken_over(self, what):
        """The page draws the About window before the program has arrived
        (the program withheld, on a server of its own), and the program
        takes that window over as it stands: the same elements, nothing of
        them changed."""
        page = self.page
        withheld = self.withheld_program()
        try:
            open_page(page, withheld.origin + "/", SITE_PAGE, withheld)
            settled(page)
            before = page.run(LOOK)
            check(before, f"{what}: without the program, the page draws no window")
            check(button_enabled(page, OK) is False, f"{what}: the page drew the About window without its OK")
            self.shot(f"{what}-before-the-program")
            # The withheld site is served on loopback too.
            self.requests += [url for url in page.page_requests() or [] if not url.startswith(withheld.origin + "/")]
            self.errors += page.console_errors() or []
        finally:
            withheld.stop()
        open_page(page, self.server.origin + "/", SITE_PAGE, self.server)
        alone, same = wait_for(page, "the program's taking over the window", lambda p: p.run(TAKEN))
        check(alone and same, f"{what}: the program drew a window of its own instead of taking over the page's")
        settled(page)
        after = page.run(LOOK)
        changed = [f"{b} -> {a}" for b, a in zip(before, after) if a != b]
        check(len(before) == len(after) and not changed,
              f"{what}: the program changed the window it took over: {changed or (len(before), len(after))}")
        self.shot(f"{what}-taken-over")

    def open_about(self):
        open_page(self.page, self.server.origin + "/", SITE_PAGE, self.server)
        wait_for(self.page, "the About window's opening", lambda p: button_enabled(p, OK) is not None)

    def countdown(self, seen):
        """Waits for OK's enabling, watching the count meanwhile, from what
        was seen at the start: it only goes down, OK stays disabled while it
        runs, and OK is enabled once it has shown 1."""

        def enabled(page):
            now = page.run(COUNTDOWN)
            if now and seen[-1] != now:
                seen.append(now)
            return now and now[1]

        wait_for(self.page, "OK's enabling", enabled, seconds=60)
        counts = [count for count, _ in seen]
        check(all(count is not None for count in counts), f"the About window showed no count: {seen}")
        check(counts == sorted(counts, reverse=True), f"the count went up: {seen}")
        check(all(1 <= count <= 9 for count, ok in seen if not ok), f"OK was disabled at a count of {seen}")
        check(counts[-1] == 1, f"OK was enabled before the count reached 1: {seen}")

    def service_worker(self):
        """The worker is in charge of the site where the engine keeps one;
        where it does not, the page must not think it does."""
        page = self.page
        if not page.service_worker:
            check(not page.run("return 'serviceWorker' in navigator"),
                  f"{page.engine} has a service worker after all: the offline steps can run in it")
            return
        scope = page.run("return navigator.serviceWorker.ready.then(r => r.scope, e => String(e));")
        check(scope == self.server.origin + "/", f"the service worker's scope is {scope}")
        errors = page.installability_errors()
        check(not errors, f"the browser would not install the site: {errors}")

    def run(self):
        page = self.page
        self.taken_over("desktop")
        self.every("desktop")
        self.windows_whole("the every-solution window")
        self.open_about()
        seen = [page.run(COUNTDOWN)]
        check(seen[0] and seen[0][1] is False, f"OK is enabled at the start: {seen}")
        ratio = page.run("return window.devicePixelRatio")
        check(ratio == self.scale, f"the device pixel ratio is {ratio}, not {self.scale}")
        settled(page)
        self.shot("about-start")
        findings = accessibility_findings(page)
        check(not findings, f"axe-core finds on the page with the About window: {findings}")
        shift, code = page.run(START)
        check(shift in (None, 0), f"the page's layout shifted by {shift} as it started")
        check(code == ["fetch"], f"the page asked for the program's code as {code}, not once by its script")

        # Pressing OK during the countdown does nothing: the click is handled
        # as it is given, so two frames later a wrong reaction would show.
        click_button(page, OK)
        settled(page)
        check(button_enabled(page, CALCULATE) is None, "OK opened the main window during the countdown")
        check(button_enabled(page, OK) is not None, "the About window closed during the countdown")

        self.countdown(seen)
        settled(page)
        self.shot("about-ready")
        self.service_worker()

        click_button(page, OK)
        wait_for(page, "the main window's opening", lambda p: button_enabled(p, CALCULATE) is not None)
        wait_for(page, "the About window's closing", lambda p: button_enabled(p, OK) is None)
        settled(page)
        self.shot("main-start")
        findings = accessibility_findings(page)
        check(not findings, f"axe-core finds on the page with the main window: {findings}")
        controls = page.accessible(("textbox", "button"))
        if controls is not None:
            check(sum(role == "textbox" for role, _ in controls) == 5, f"a screen reader finds {controls}")
            check(all(name for _, name in controls), f"a control has no name for a screen reader: {controls}")

        check(len(shown(page, ENTRIES)) == 4 and len(shown(page, RESULT)) == 1,
              "the main window has not four entry boxes and a result box")
        for box in range(4):
            type_into(page, ENTRIES, "12", index=box)
        click_button(page, CALCULATE)
        lines = wait_for(page, "the result", result_lines)
        check(len(lines) == 4, f"12 12 12 12 gave {lines}, not four lines")
        for line in lines:
            check(value_of(line) == 24 and numbers_in(line) == [12] * 4, f"'{line}' is not 24 from 12 12 12 12")
        settled(page)
        self.shot("main-result")

        # The main window's link opens the every-solution window with its
        # four entries; the page made no worker before.
        check(page.run("return typeof Module.quaddleJobs") == "undefined",
              "the page made a worker before it had any work for one")
        click(page, LINK, EVERY_LINK)
        hand, _, count, solutions = wait_for(page, "the every-solution window's answer",
                                             lambda p: (p.run(EVERY_STATE) or [None] * 4)[3] and p.run(EVERY_STATE))
        check(hand == "12 12 12 12", f"the link opened the every-solution window with '{hand}'")
        found = solutions.splitlines()
        check(count == f"共有{len(found)}种解法：", f"'{count}' over {len(found)} solutions")
        for line in found:
            check(value_of(line) == 24 and numbers_in(line) == [12] * 4, f"'{line}' is not 24 from 12 12 12 12")
        settled(page)
        self.shot("every-from-main")
        click_button(page, CLOSE)
        wait_for(page, "the every-solution window's closing", lambda p: p.run(EVERY_STATE) is None)

        # Two bad entries: a warning for each, in box order, and only after
        # the last one's OK the search, on the numbers stored before: the
        # same four lines.
        type_into(page, ENTRIES, "14", index=0)
        type_into(page, ENTRIES, "", index=1)
        type_into(page, RESULT, "")
        click_button(page, CALCULATE)
        wait_for(page, "the range warning", warning_saying(RANGE_WARNING))
        check(result_lines(page) == [], "the result came before the warnings were closed")
        alerts = page.accessible(("alertdialog",))
        if alerts is not None:
            check(alerts == [("alertdialog", "Quaddle")], f"a screen reader is told of the warning as {alerts}")
        settled(page)
        self.shot("warning")
        click_button(page, WARNING_OK)
        wait_for(page, "the empty-box warning", warning_saying(EMPTY_WARNING))
        check(result_lines(page) == [], "the result came before the second warning was closed")
        click_button(page, WARNING_OK)
        wait_for(page, "the warning box's closing", lambda p: not shown(p, WARNING))
        after = wait_for(page, "the result after the warnings", result_lines)
        check(after == lines, f"after the warnings the result is {after}, not {lines}")

        # Exit ends the program: no window, one line saying so, with a link to start again.
        click_button(page, EXIT)
        wait_for(page, "the main window's closing", lambda p: button_enabled(p, CALCULATE) is None)
        check(not shown(page, "//button | //input | //textarea"), "controls are left after Exit")
        ended = wait_for(page, "the end line",
                         lambda p: p.run("return document.getElementById('desktop').innerText.trim()"))
        check(len(ended.splitlines()) == 1 and "Quaddle" in ended, f"after Exit the page says '{ended}'")
        check(shown(page, "//a[@href]"), "after Exit there is no link that starts Quaddle again")
        settled(page)
        self.shot("ended")
        self.check_nothing_left_loopback()

        if page.service_worker:
            # Offline: the server is gone, and Quaddle still starts, from the
            # worker's copy (nothing is kept in the HTTP cache).
            self.server.stop()
            self.open_about()
            check(page.run("return navigator.serviceWorker.controller !== null"),
                  "the page offline is not the service worker's")
            settled(page)
            self.shot("offline")
            # Its worker too comes from the service worker's copy.
            self.open_every()
            type_into(page, EVERY_ENTRIES, "1 2 3 4", index=0)
            every_answer(page, "共有4种解法：", expected_every("every-1234.txt"))
            # Offline, the browser's own check for a newer service worker
            # fails, and Chromium says so in the console: the page's own
            # errors are what counts.
            self.errors += [e for e in page.console_errors() or [] if "when fetching the script" not in e]

    def open_every(self):
        open_page(self.page, self.server.origin + "/?every", SITE_PAGE, self.server)
        wait_for(self.page, "the every-solution window's opening", lambda p: p.run(EVERY_STATE))
        check(button_enabled(self.page, OK) is None, "the every address shows the About window")

    def every(self, what):
        """The every address opens the every-solution window at once: the
        page, before the program has arrived, draws no window (no About
        window to flash), and the program then opens that window alone. It
        answers as quaddle-solve --every does, following what is typed."""
        page = self.page
        withheld = self.withheld_program()
        try:
            open_page(page, withheld.origin + "/?every", SITE_PAGE, withheld)
            settled(page)
            drawn = page.run("return [...document.querySelectorAll('.q-window')].map(w => w.id)")
            check(drawn == [], f"{what}: before the program, the every address has the windows {drawn}")
            self.requests += [url for url in page.page_requests() or [] if not url.startswith(withheld.origin + "/")]
            self.errors += page.console_errors() or []
        finally:
            withheld.stop()
        self.open_every()
        check(page.run("return document.querySelectorAll('.q-window').length") == 1,
              f"{what}: the every address opened more than one window")
        check(page.run(HAND_KEYBOARD) == ["text", "", "off", "off", False, "off"],
              f"{what}: the hand box asks the keyboard for {page.run(HAND_KEYBOARD)}")
        rows = [("3 3 8 8", "24", "共有1种解法：", ["8/(3-8/3)"]),
                ("1 2 3 4", "24", "共有4种解法：", expected_every("every-1234.txt")),
                ("2 3 4", "10", None, expected_every("every-target.txt"))]
        for hand, target, count, lines in rows:
            type_into(page, EVERY_ENTRIES, target, index=1)
            type_into(page, EVERY_ENTRIES, hand, index=0)
            every_answer(page, count or f"共有{len(lines)}种解法：", lines)
        settled(page)
        self.shot(f"{what}-every")

    def windows_whole(self, what, main=False):
        """The windows on the page are drawn whole on its screen; on a touch
        screen the main window takes at least nine tenths of a phone's width."""
        page = self.page
        left, right, width = page.run(WINDOWS_SPAN)
        check(left >= 0 and right <= width, f"{what}: the windows span {left:.0f} to {right:.0f} px of {width}")
        if main and width < 600 and page.run("return matchMedia('(pointer: coarse)').matches"):
            check(right - left >= 0.9 * width, f"{what}: the main window is {right - left:.0f} px of {width}")

    def phone(self, dark=False):
        """A phone's screen, held upright and turned: the About window drawn
        whole, smaller than designed when upright, the main window whole and
        as large as fits; in the dark scheme, the main window and the warning
        dark, every text of them readable."""
        page = self.page
        scheme = "dark" if dark else "light"
        page.screen(390, 844, 3, phone=True)
        self.taken_over(f"phone-{scheme}")
        self.open_about()
        seen = [page.run(COUNTDOWN)]
        settled(page)
        self.shot(f"phone-{scheme}-about")
        width = page.run("return document.documentElement.clientWidth")
        check(width < 586, f"the phone's screen is {width} px wide, room enough for the About window")
        self.windows_whole("the About window on a phone")
        page.screen(844, 390, 3, phone=True)
        wait_for(page, "the page's re-fitting to the turned phone",
                 lambda p: p.run("return document.documentElement.clientWidth") > width)
        settled(page)
        self.shot(f"phone-{scheme}-about-turned")
        self.windows_whole("the About window on a turned phone")

        self.countdown(seen)
        click_button(page, OK)
        wait_for(page, "the main window's opening", lambda p: button_enabled(p, CALCULATE) is not None)
        settled(page)
        self.shot(f"phone-{scheme}-main-turned")
        self.windows_whole("the main window on a turned phone")
        page.screen(390, 844, 3, phone=True)
        wait_for(page, "the page's re-fitting to the upright phone",
                 lambda p: p.run("return document.documentElement.clientWidth") == width)
        settled(page)
        self.shot(f"phone-{scheme}-main")
        self.windows_whole("the main window on a phone", main=True)
        if dark:
            self.readable_in_the_dark()
        # The every-solution window on phones held upright, its link's and
        # its own.
        for width, height, scale in ((390, 844, 3), (360, 640, 2)):
            page.screen(width, height, scale, phone=True)
            self.every(f"phone-{scheme}-{width}x{height}")
            self.windows_whole(f"the every-solution window on a {width}x{height} phone", main=True)
            if dark:
                background, low = page.run(CONTRAST, CLOSE)
                check(background < 0.2, f"in the dark scheme the every-solution window's background is {background:.2f}")
                check(not low, f"texts of the every-solution window under 4.5:1 in the dark scheme: {low}")
        page.screen(390, 844, 3, phone=True)
        if not page.touch_screen or dark:
            return

        # A finger's double tap on the web label opens the page once, as a
        # double-click does; one below the window zooms nothing.
        self.open_about()
        page.run("window.opened = []; window.open = url => { window.opened.push(url); return null; }; return true;")
        web = page.run(WEB_LABEL)
        page.double_tap(*web)
        wait_for(page, "the web page's opening", lambda p: p.run("return window.opened.length"))
        page.double_tap(195, 700)
        settled(page)
        opened = page.run("return window.opened")
        check(len(opened) == 1, f"a double tap on the web label opened {opened}")
        zoom = page.run("return visualViewport.scale")
        check(zoom == 1, f"a double tap zoomed the page to {zoom}")
        # The user's own zoom is the user's.
        page.pinch_open(195, 600)
        wait_for(page, "the page's zooming by a pinch", lambda p: p.run("return visualViewport.scale > 1"))

    def readable_in_the_dark(self):
        """The main window, and the warning over it, in the dark scheme: a
        dark background, and every enabled text at 4.5:1 or more."""
        page = self.page
        check(page.run("return matchMedia('(prefers-color-scheme: dark)').matches"),
              f"{page.engine} was not told the system prefers dark colours")
        background, low = page.run(CONTRAST, CALCULATE)
        check(background < 0.2, f"in the dark scheme the main window's background has a luminance of {background:.2f}")
        check(not low, f"texts of the main window under 4.5:1 in the dark scheme: {low}")
        type_into(page, ENTRIES, "14", index=0)
        click_button(page, CALCULATE)
        wait_for(page, "the range warning", warning_saying(RANGE_WARNING))
        settled(page)
        self.shot("phone-dark-warning")
        background, low = page.run(CONTRAST, WARNING_OK)
        check(background < 0.2, f"in the dark scheme the warning's background has a luminance of {background:.2f}")
        check(not low, f"texts of the warning under 4.5:1 in the dark scheme: {low}")
        click_button(page, WARNING_OK)
        wait_for(page, "the warning box's closing", lambda p: not shown(p, WARNING))


def main():
    engine, site, out = sys.argv[1:4]
    scales = [float(s) for s in sys.argv[4:]] or [1]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    began = time.monotonic()
    # Every scale asked for in the light scheme, the first on a phone too;
    # then a phone in the dark scheme.
    runs = [(scale, False) for scale in scales] + [(scales[0], True)]
    for scale, dark in runs:
        what = f"{engine} at device scale {scale:g}" + (" in the dark scheme" if dark else "")
        limit(max(BUDGET - (time.monotonic() - began), 1), f"the test did not end within {BUDGET} s")
        try:
            session = Session(engine, site, out, scale, dark=dark)
        except Exception as failure:
            unlimited()
            print(f"realwindow_web: {what}: {reason(failure)}", file=sys.stderr)
            return 1
        try:
            if dark:
                session.phone(dark=True)
            else:
                session.run()
                if scale == scales[0]:
                    session.phone()
            session.check_nothing_left_loopback()
        except Exception as failure:
            unlimited()
            # The line of this script that failed, then what went wrong,
            # before anything that asks the browser more, which may hang.
            ours = [frame for frame in traceback.extract_tb(failure.__traceback__) if frame.filename == __file__]
            where = f", line {ours[-1].lineno} ({ours[-1].line})" if ours else ""
            print(f"realwindow_web: {what}{where}: {reason(failure)}", file=sys.stderr, flush=True)
            if not isinstance(failure, Failure) and not hasattr(failure, "msg"):
                # Not the browser's: this script's own fault, shown where it is.
                traceback.print_exc()
            if session.server.unanswered:
                print(f"realwindow_web: the server could not answer {session.server.missed()}", file=sys.stderr)
            # If the browser still answers.
            limit(10, f"{engine} gave no answer within 10 s")
            with contextlib.suppress(Exception):
                errors = session.errors + (session.page.console_errors() or [])
                if errors:
                    print(f"realwindow_web: the console showed {errors}", file=sys.stderr)
            report_failure(session.page, session.picture("failure-dark" if dark else "failure"),
                           lambda line: print(f"realwindow_web: {line}", file=sys.stderr, flush=True))
            return 1
        finally:
            # Closing cuts short a browser that hangs, once it has had this
            # long (its driver may then take as long again to stop).
            limit(30, f"{engine} did not close within 30 s")
            session.close()
            unlimited()
        print(f"realwindow_web: {engine} {session.page.version} {what[len(engine) + 1:]}: passed")
    print(f"realwindow_web: screenshots in {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
