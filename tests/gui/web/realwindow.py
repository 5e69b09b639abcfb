#!/usr/bin/python3
"""Quaddle's site used as a person would, in headless Chromium with real input.

The built site is served on loopback; Chromium, driven through WebDriver
actions (pointer moves, clicks and keys, the input a person gives), opens it at
device scale 1 and 2: the About window's OK does nothing during the countdown
and opens the main window after it; 12 12 12 12 gives four lines; a bad entry
brings the warning box, closed with its button, after which the command ends
as on the desktop; Exit ends the program. Chromium's accessibility tree, what
a screen reader is told, names every control and calls the warning box an
alert dialog. Then, with the server stopped, a
reload still starts Quaddle, from the service worker. Every request Chromium
makes outside the served origin fails the test: the page's own through its
DevTools log, everything else through a proxy that only records. Console
errors (a refused Content-Security-Policy among them) fail it too.

Screenshots are left in OUT_DIR. On a phone-sized screen the About window must
be whole, drawn smaller; there, with a finger, a double tap on the web label
opens the page once, a double tap elsewhere zooms nothing, and a pinch zooms
the page.

Usage: realwindow.py SITE_DIR OUT_DIR
Needs Debian's chromium, chromium-driver and python3-selenium.
"""

import ast
import contextlib
import json
import operator
import os
import shutil
import sys
import time
import traceback
from fractions import Fraction

from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from pagedriver import (Failure, Server, Trap, button, button_enabled, check, click, settled, start_chromium,  # noqa: E402
                        type_into, visible, wait_for)

OK, CALCULATE, EXIT, WARNING_OK = "知道了", "计算", "退出", "确定"
RANGE_WARNING = "请输入一个1－13的数！"


def main_window_boxes(driver):
    """The four entry boxes and the result box of the window that holds Calculate."""
    window = f"//button[normalize-space()='{CALCULATE}']/ancestor::*[.//input and .//textarea][1]"
    return visible(driver, window + "//input"), visible(driver, window + "//textarea")


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


def fingers(driver, count):
    """Touch actions of that many fingers, moved together, step by step."""
    actions = ActionBuilder(driver)
    return actions, [actions.add_pointer_input(interaction.POINTER_TOUCH, f"finger{n}") for n in range(count)]


def double_tap(driver, x, y):
    actions, (finger,) = fingers(driver, 1)
    finger.create_pointer_move(x=x, y=y)
    for _ in range(2):
        finger.create_pointer_down()
        finger.create_pointer_up(0)
    actions.perform()


def pinch_open(driver, x, y):
    actions, (one, two) = fingers(driver, 2)
    one.create_pointer_move(x=x - 15, y=y)
    two.create_pointer_move(x=x + 15, y=y)
    one.create_pointer_down()
    two.create_pointer_down()
    for step in range(1, 16):
        one.create_pointer_move(x=x - 15 - 8 * step, y=y, duration=20)
        two.create_pointer_move(x=x + 15 + 8 * step, y=y, duration=20)
    one.create_pointer_up(0)
    two.create_pointer_up(0)
    actions.perform()


def numbers_in(expression):
    return sorted(node.value for node in ast.walk(ast.parse(expression, mode="eval")) if isinstance(node, ast.Constant))


class Session:
    """One Chromium at one device scale, with its own server."""

    def __init__(self, site, out, scale):
        self.site, self.out, self.scale = site, out, scale
        self.trap = Trap()
        self.server = Server(site)
        self.driver = start_chromium(scale, self.trap.server_address[1])
        self.console = []
        self.page_requests = []
        # Straight from the server (or the service worker), never from the HTTP cache.
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})

    def close(self):
        with contextlib.suppress(WebDriverException):
            self.driver.quit()
        self.server.stop()
        self.trap.shutdown()
        self.trap.server_close()

    def shot(self, name):
        self.driver.save_screenshot(os.path.join(self.out, f"scale{self.scale}-{name}.png"))

    def collect_logs(self):
        """Reads what the browser logged since the last call; returns the page's responses."""
        self.console += [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        responses = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                self.page_requests.append(message["params"]["request"]["url"])
            elif message["method"] == "Network.responseReceived":
                responses.append(message["params"]["response"])
        return responses

    def check_nothing_left_loopback(self):
        self.collect_logs()
        elsewhere = [url for url in self.page_requests
                     if not url.startswith(self.server.origin + "/") and not url.startswith(("data:", "blob:"))]
        check(not elsewhere, f"the page asked for {elsewhere}")
        check(not self.trap.requests, f"requests went past loopback: {self.trap.requests}")
        check(not self.console, f"the console shows errors: {[e['message'] for e in self.console]}")

    def accessible(self, roles):
        """The names Chromium's accessibility tree gives the nodes of these roles."""
        self.driver.execute_cdp_cmd("Accessibility.enable", {})
        nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        return [(node["role"]["value"], node.get("name", {}).get("value", "").strip())
                for node in nodes
                if not node.get("ignored") and node.get("role", {}).get("value") in roles]

    def open_about(self):
        """Loads the page; returns the monotonic time just before it was asked for."""
        requested = time.monotonic()
        self.driver.get(self.server.origin + "/")
        wait_for(self.driver, "the About window's opening", lambda d: button(d, OK))
        return requested

    def run(self):
        d = self.driver
        requested = self.open_about()
        check(d.execute_script("return window.devicePixelRatio") == self.scale,
              f"the device pixel ratio is not {self.scale}")
        check(button_enabled(d, OK) is False, "OK is enabled at the start")
        settled(d)
        self.shot("about-start")

        # Pressing OK during the countdown does nothing: half a second in
        # which a wrong reaction would show.
        click(d, button(d, OK))
        time.sleep(0.5)
        check(button(d, CALCULATE) is None, "OK opened the main window during the countdown")
        check(button(d, OK) is not None, "the About window closed during the countdown")

        # OK is enabled at the tenth tick of a one-second timer started at load.
        wait_for(d, "OK's enabling", lambda d: button_enabled(d, OK), seconds=60)
        enabled_after = time.monotonic() - requested
        check(enabled_after >= 9.9, f"OK was enabled {enabled_after:.1f} s after the page was asked for")
        settled(d)
        self.shot("about-ready")

        # The installable, offline-capable site: the worker is in charge by now.
        d.set_script_timeout(30)
        scope = d.execute_async_script(
            "navigator.serviceWorker.ready.then(r => arguments[0](r.scope), e => arguments[0](String(e)))")
        check(scope == self.server.origin + "/", f"the service worker's scope is {scope}")
        errors = d.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        check(not errors, f"Chromium would not install the site: {errors}")

        click(d, button(d, OK))
        wait_for(d, "the main window's opening", lambda d: button(d, CALCULATE))
        wait_for(d, "the About window's closing", lambda d: button(d, OK) is None)
        settled(d)
        self.shot("main-start")
        controls = self.accessible(("textbox", "button"))
        check(sum(role == "textbox" for role, _ in controls) == 5, f"a screen reader finds {controls}")
        check(all(name for _, name in controls), f"a control has no name for a screen reader: {controls}")

        entries, result = main_window_boxes(d)
        check(len(entries) == 4 and len(result) == 1, "the main window has not four entry boxes and a result box")
        for box in entries:
            type_into(d, box, "12")
        click(d, button(d, CALCULATE))
        lines = wait_for(d, "the result", lambda d: [line for line in result[0].get_attribute("value").splitlines()])
        check(len(lines) == 4, f"12 12 12 12 gave {lines}, not four lines")
        for line in lines:
            check(value_of(line) == 24 and numbers_in(line) == [12] * 4, f"'{line}' is not 24 from 12 12 12 12")
        settled(d)
        self.shot("main-result")

        # A bad entry: the warning, and only after its OK the search, on the
        # numbers stored before, and the same four lines.
        type_into(d, entries[0], "14")
        type_into(d, result[0], "")
        click(d, button(d, CALCULATE))
        dialog = wait_for(d, "the warning box", lambda d: visible(d, "//dialog[@open]"))[0]
        check(RANGE_WARNING in dialog.text, f"the warning box says '{dialog.text}'")
        check(result[0].get_attribute("value") == "", "the result came before the warning was closed")
        alerts = self.accessible(("alertdialog",))
        check(alerts == [("alertdialog", "Quaddle")], f"a screen reader is told of the warning as {alerts}")
        settled(d)
        self.shot("warning")
        click(d, button(d, WARNING_OK))
        wait_for(d, "the warning box's closing", lambda d: not visible(d, "//dialog[@open]"))
        after = wait_for(d, "the result after the warning", lambda d: result[0].get_attribute("value").splitlines())
        check(after == lines, f"after the warning the result is {after}, not {lines}")

        # Exit ends the program: no window, one line saying so, with a link to start again.
        click(d, button(d, EXIT))
        wait_for(d, "the main window's closing", lambda d: button(d, CALCULATE) is None)
        check(not visible(d, "//button | //input | //textarea"), "controls are left after Exit")
        ended = wait_for(d, "the end line", lambda d: d.execute_script("return document.body.innerText.trim()"))
        check(len(ended.splitlines()) == 1 and "Quaddle" in ended, f"after Exit the page says '{ended}'")
        check(visible(d, "//a[@href]"), "after Exit there is no link that starts Quaddle again")
        settled(d)
        self.shot("ended")
        self.check_nothing_left_loopback()

        # Offline: the server is gone, and Quaddle still starts.
        self.server.stop()
        self.collect_logs()
        try:
            self.open_about()
        except WebDriverException as error:
            raise Failure(f"offline, the page did not start: {error.msg}") from None
        document = [r for r in self.collect_logs() if r["url"] == d.current_url]
        check(document and document[-1].get("fromServiceWorker"), "the page offline did not come from the service worker")
        settled(d)
        self.shot("offline")

    def phone(self):
        """The About window on a phone-sized screen: drawn smaller as a
        whole, cut off on neither side."""
        d = self.driver
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True})
        self.open_about()
        settled(d)
        self.shot("phone")
        left, right, width = d.execute_script(
            "const windows = [...document.getElementById('desktop').children].map(e => e.getBoundingClientRect());"
            "return [Math.min(...windows.map(r => r.left)), Math.max(...windows.map(r => r.right)),"
            "        document.documentElement.clientWidth];")
        check(left >= 0 and right <= width, f"on a phone the About window spans {left:.0f} to {right:.0f} px of {width}")

        # A finger's double tap on the web label opens the page once, as a
        # double-click does; one below the window zooms nothing.
        d.execute_script("window.opened = []; window.open = url => { window.opened.push(url); return null; };")
        web = d.execute_script(
            "const r = [...document.querySelectorAll('#desktop *')]"
            "    .find(e => e.textContent.startsWith('Web:') && !e.children.length).getBoundingClientRect();"
            "return [r.left + r.width / 2, r.top + r.height / 2];")
        double_tap(d, round(web[0]), round(web[1]))
        wait_for(d, "the web page's opening", lambda d: d.execute_script("return window.opened.length"))
        double_tap(d, 195, 700)
        settled(d)
        opened = d.execute_script("return window.opened")
        check(len(opened) == 1, f"a double tap on the web label opened {opened}")
        scale = d.execute_script("return visualViewport.scale")
        check(scale == 1, f"a double tap zoomed the page to {scale}")
        # The user's own zoom is the user's.
        pinch_open(d, 195, 600)
        wait_for(d, "the page's zooming by a pinch", lambda d: d.execute_script("return visualViewport.scale > 1"))


def main():
    site, out = sys.argv[1:3]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    for scale in (1, 2):
        session = Session(site, out, scale)
        try:
            session.run()
            if scale == 1:
                session.phone()
            session.check_nothing_left_loopback()
        except (Failure, WebDriverException) as failure:
            with contextlib.suppress(WebDriverException):
                session.shot("failure")
            # The line of this script that failed, then what went wrong.
            ours = [frame for frame in traceback.extract_tb(failure.__traceback__) if frame.filename == __file__]
            where = f", line {ours[-1].lineno} ({ours[-1].line})" if ours else ""
            print(f"realwindow_web: at device scale {scale}{where}: {failure}", file=sys.stderr)
            return 1
        finally:
            session.close()
    print(f"realwindow_web: passed; screenshots in {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
