"""What the browser tests and the browser benchmark share: the site served
on loopback, a proxy that catches any request for elsewhere, headless
Chromium through WebDriver, and the few ways they find and use the page's
controls. Debian's chromium, chromium-driver and python3-selenium, for
Debian's own /usr/bin/python3.
"""

import functools
import http.server
import os
import socketserver
import threading
import time

from selenium import webdriver
from selenium.common.exceptions import NoSuchElementException, StaleElementReferenceException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

CHROMIUM = "/usr/lib/chromium/chromium"  # the program itself: Debian's wrapper adds API keys
CHROMEDRIVER = "/usr/bin/chromedriver"
# Where Chromium's own services would call out to, turned to a closed port on
# loopback, so that what the proxy records is the page's alone.
NOWHERE = "http://127.0.0.1:9/"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server:
    """The site on a free port of 127.0.0.1, until stopped."""

    def __init__(self, site):
        handler = functools.partial(QuietHandler, directory=site)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.origin = f"http://127.0.0.1:{self.httpd.server_address[1]}"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        if self.httpd:
            self.httpd.shutdown()
            self.httpd.server_close()
            self.httpd = None


class Trap(socketserver.ThreadingTCPServer):
    """A proxy that forwards nothing: it records the first line of every
    request that would have left the machine and refuses it.

    A browser asks a proxy for a whole address ("GET http://host/..." or
    "CONNECT host:443"). A request for a bare path was sent to this port
    directly, not through the proxy: a WebDriver client that has been
    collected sends its driver a last "GET /shutdown" to a port the trap
    may have taken over since. Those are refused and not recorded."""

    daemon_threads = True

    def __init__(self):
        self.requests = []

        class Handler(socketserver.BaseRequestHandler):
            def handle(handler):
                line = handler.request.recv(4096).split(b"\r\n", 1)[0].decode("latin-1")
                target = line.split(" ")[1] if line.count(" ") >= 1 else ""
                if not target.startswith("/"):
                    self.requests.append(line)
                handler.request.sendall(b"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n")

        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()


def start_chromium(scale=1, trap_port=None, size=(1280, 800)):
    """Headless Chromium at a device scale; with trap_port, every request that
    is not for loopback goes to that proxy."""
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    arguments = [
        "--headless=new",
        f"--window-size={size[0]},{size[1]}",
        f"--force-device-scale-factor={scale}",
        "--disable-features=NetworkTimeServiceQuerying,AutofillServerCommunication",
        f"--component-updater=url-source={NOWHERE}",
        f"--gaia-url={NOWHERE}",
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-background-networking",
        "--disable-sync",
        "--disable-extensions",
        "--disable-dev-shm-usage",
        "--lang=zh-CN",
    ]
    if trap_port:
        # Loopback never goes through a proxy; everything else reaches the trap.
        arguments.append(f"--proxy-server=http://127.0.0.1:{trap_port}")
    if os.geteuid() == 0:
        arguments.append("--no-sandbox")
    for argument in arguments:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


# The page answers each question in one script, in one step: an element
# cannot go away between being found and being asked whether it is shown.
# Shown means laid out with a size, not hidden by CSS, and not inside a
# closed dialog or a hidden window.
VISIBLE = """
const [xpath, text] = arguments;
const found = document.evaluate(xpath, document, null, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
const shown = [];
for (let i = 0; i < found.snapshotLength; ++i) {
    const e = found.snapshotItem(i);
    const box = e.getBoundingClientRect();
    if (box.width > 0 && box.height > 0 && getComputedStyle(e).visibility === 'visible' &&
        (text === null || e.textContent.trim() === text))
        shown.push(e);
}
return shown;
"""

# A button of that text, as null when there is none, else whether it is enabled.
BUTTON_ENABLED = VISIBLE.replace("return shown;", "return shown.length ? !shown[0].disabled : null;")


def visible(driver, xpath):
    return driver.execute_script(VISIBLE, xpath, None)


def button(driver, text):
    """The first shown button of that text, or None."""
    found = driver.execute_script(VISIBLE, "//button", text)
    return found[0] if found else None


def button_enabled(driver, text):
    """None where no button of that text is shown, else whether it is enabled."""
    return driver.execute_script(BUTTON_ENABLED, "//button", text)


def wait_for(driver, what, condition, seconds=30):
    """Asks the condition again every tenth of a second until it gives a true
    value, which is returned, or the deadline passes. An element that went
    away while the condition looked at it is taken as an answer of "not yet";
    any other error of the browser's ends the wait at once."""
    deadline = time.monotonic() + seconds
    went_away = False
    while True:
        try:
            answer = condition(driver)
            if answer:
                return answer
        except (StaleElementReferenceException, NoSuchElementException):
            went_away = True
        if time.monotonic() >= deadline:
            note = " (an element it looked at had gone from the page)" if went_away else ""
            raise Failure(f"{what} did not happen within {seconds} s{note}")
        time.sleep(0.1)


def settled(driver):
    """Returns once the page's fonts are loaded and two frames have been
    drawn since, so that a screenshot or a measurement shows what the
    page's latest changes made."""
    driver.set_script_timeout(30)
    driver.execute_async_script(
        "const done = arguments[0];"
        "document.fonts.ready.then(() => requestAnimationFrame(() => requestAnimationFrame(() => done())));")


def click(driver, element):
    ActionChains(driver).move_to_element(element).click().perform()


def type_into(driver, element, text):
    """Replaces the box's text as a person would: click, select all, type."""
    click(driver, element)
    keys = ActionChains(driver).key_down(Keys.CONTROL).send_keys("a").key_up(Keys.CONTROL)
    keys.send_keys(text or Keys.DELETE).perform()
