"""What the browser tests and the browser benchmark share, whatever the
engine: the site or a test page served on loopback under the policy the
site's own page carries, a proxy that catches any request for elsewhere, a
browser of a given engine to open them in, and the few ways they find and use
the page's controls.

Each engine's driver is a small module of the engines package beside this
file, a Page: Chromium and WebKitGTK through WebDriver (Debian's
python3-selenium, for Debian's own /usr/bin/python3), Firefox through WebDriver
BiDi (puppeteer-core under Node, bridged by a line of JSON each way).
"""

import collections
import email.utils
import functools
import gzip
import html.parser
import http.server
import importlib
import json
import os
import signal
import socketserver
import threading
import time

ENGINES = ("chromium", "firefox", "webkit")

# Where every engine reports what the policy refused: a path no file of the
# site can have, answered by the server itself.
REPORTS = "/.policy-reports"

# What a static web host compresses: text and code, not pictures.
COMPRESSED = (".html", ".css", ".js", ".wasm", ".json", ".webmanifest", ".svg")


class Failure(Exception):
    pass


class Gone(Exception):
    """The page a question was asked of went away while it was asked (it was
    navigating, say): no answer yet, rather than a wrong one."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def reason(error):
    """An error in words: a driver's own message without the driver's stack
    (which names nothing of ours), with the kind of error where the message
    alone may not say it."""
    if isinstance(error, Failure):
        return str(error)
    said = getattr(error, "msg", None)
    said = (str(error) if said is None else said).strip()
    return f"{type(error).__name__}: {said}" if said else f"{type(error).__name__}, with no message"


def ended(name, status):
    """How a process ended, from its status as subprocess gives it."""
    return f"{name} was ended by signal {-status}" if status < 0 else f"{name} ended with status {status}"


def tail(log, size=4000):
    """The last of what a browser or its driver wrote to the file it was
    given; nothing once the file is closed."""
    if log.closed:
        return ""
    end = os.fstat(log.fileno()).st_size
    start = max(0, end - size)
    text = os.pread(log.fileno(), end - start, start).decode("utf-8", "replace")
    # From the first whole line.
    return (text.partition("\n")[2] if start else text).strip()


def limit(seconds, message):
    """Raises a Failure with the message in whatever the script is doing
    once that many seconds have passed: a call into a browser that hangs
    ends where it was made, and is reported with the step it belongs to,
    rather than by the test's being killed without a word. A blocking call
    is interrupted too: the signal's handler raises. A later limit replaces
    this one."""

    def expired(signum, frame):
        raise Failure(message)

    signal.signal(signal.SIGALRM, expired)
    signal.setitimer(signal.ITIMER_REAL, seconds)


def unlimited():
    """No more Failure from limit()."""
    signal.setitimer(signal.ITIMER_REAL, 0)


def site_policy(index_html):
    """The Content-Security-Policy the site's page carries in its <meta>."""

    class Meta(html.parser.HTMLParser):
        policy = None

        def handle_starttag(self, tag, attrs):
            attrs = dict(attrs)
            if tag == "meta" and (attrs.get("http-equiv") or "").lower() == "content-security-policy":
                Meta.policy = attrs.get("content")

    with open(index_html, encoding="utf-8") as page:
        Meta().feed(page.read())
    if not Meta.policy:
        raise Failure(f"{index_html} carries no Content-Security-Policy")
    return Meta.policy


class Server:
    """A folder (the built site), or named files (a test page), on a free port
    of 127.0.0.1 until stopped. Every answer carries the policy as a header,
    as a host may send it, with the address where the browser reports what
    it refused; and is never kept in the HTTP cache, so that a page that
    starts with the server stopped can only have come from the service
    worker.

    With `static_host`, the files are served as a static web host serves
    them: text and code gzip-compressed where the browser takes it, and kept
    in the HTTP cache only until the server has been asked whether they
    changed. The scripts named in `withheld` are served as scripts that do
    nothing: the page as it is before they have arrived."""

    def __init__(self, policy, site=None, files=None, static_host=False, withheld=()):
        self.reports = []
        reports = self.reports
        # What the server could not give, as "404 GET /path": for a failure's
        # report, where a missing file is often why a page did nothing.
        self.unanswered = []
        unanswered = self.unanswered
        header = f"{policy}; report-uri {REPORTS}"
        zipped = {}

        class Handler(http.server.SimpleHTTPRequestHandler):
            def translate_path(self, path):
                if files is None:
                    return super().translate_path(path)
                name = path.split("?", 1)[0].lstrip("/")
                return files.get(name, "/nonexistent")

            def end_headers(self):
                self.send_header("Content-Security-Policy", header)
                self.send_header("Cache-Control", "no-cache" if static_host else "no-store")
                super().end_headers()

            def do_GET(self):
                if self.path.split("?", 1)[0].lstrip("/") in withheld:
                    body = b"// withheld\n"
                    self.send_response(200)
                    self.send_header("Content-Type", "text/javascript")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                    return
                path = self.translate_path(self.path)
                if not (static_host and os.path.isfile(path) and path.endswith(COMPRESSED)
                        and "gzip" in self.headers.get("Accept-Encoding", "")):
                    super().do_GET()
                    return
                modified = email.utils.formatdate(int(os.path.getmtime(path)), usegmt=True)
                if self.headers.get("If-Modified-Since") == modified:
                    self.send_response(304)
                    self.end_headers()
                    return
                if path not in zipped:
                    with open(path, "rb") as f:
                        zipped[path] = gzip.compress(f.read(), 9)
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", "gzip")
                self.send_header("Content-Length", str(len(zipped[path])))
                self.send_header("Last-Modified", modified)
                self.send_header("Vary", "Accept-Encoding")
                self.end_headers()
                self.wfile.write(zipped[path])

            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
                if self.path != REPORTS:
                    self.send_error(405)
                    return
                reports.append(body.decode("utf-8", "replace"))
                self.send_response(204)
                self.end_headers()

            def log_request(self, code="-", size="-"):
                if isinstance(code, int) and code >= 400:
                    unanswered.append(f"{int(code)} {self.command} {self.path}")

            def log_message(self, *args):
                pass

        handler = functools.partial(Handler, directory=site) if site else Handler
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.origin = f"http://127.0.0.1:{self.httpd.server_address[1]}"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def refused(self):
        """What the policy refused, as the browser reported it, one line each."""
        lines = []
        for report in self.reports:
            try:
                said = json.loads(report).get("csp-report", {})
                lines.append(f"{said.get('violated-directive') or said.get('effective-directive')}"
                             f" {said.get('blocked-uri')} in {said.get('document-uri')}")
            except (ValueError, AttributeError):
                lines.append(report)
        return lines

    def missed(self):
        """What the server could not answer, each request once."""
        counts = collections.Counter(self.unanswered)
        return ", ".join(line + (f" ({count} times)" if count > 1 else "") for line, count in counts.items())

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

    def close(self):
        self.shutdown()
        self.server_close()


class Page:
    """One browser window of one engine, as the tests use it. Every question
    is one script run in the page: SCRIPT is a function body that reads its
    arguments from `arguments` and returns plain data (or a promise of it),
    never an element, so nothing found in one call is used in the next.
    Input is real: pointer and keys as the browser gets them from a person.
    What an engine cannot tell (its console, say) is None, not an empty
    list; what only one engine can do lives in its own driver."""

    engine = None
    version = None
    # Whether the engine, as driven here, keeps a service worker; the tests
    # check that the page agrees.
    service_worker = True

    def goto(self, url):
        """Loads the address and returns once the page has loaded."""
        raise NotImplementedError

    def run(self, script, *args):
        raise NotImplementedError

    def click_at(self, x, y):
        """A click of the primary button at a point of the viewport, in CSS pixels."""
        raise NotImplementedError

    def press(self, *keys):
        """Holds the keys down in order and lets them go in reverse: "Control",
        "a" is select-all. Keys are named as in KeyboardEvent.key."""
        raise NotImplementedError

    def type(self, text):
        raise NotImplementedError

    def screenshot(self, path):
        raise NotImplementedError

    def screen(self, width, height, scale, phone=False):
        """Makes the viewport this size; with phone, as a phone's, where the
        engine can be told so."""
        raise NotImplementedError

    def emulate_media(self, features):
        """Media features as given ({"prefers-color-scheme": "dark"}), where
        the engine can be told them."""
        raise Failure(f"{self.engine} cannot be told media features")

    # Whether the engine can be made a phone's touch screen, with a finger's
    # taps and a pinch (double_tap(x, y), pinch_open(x, y)).
    touch_screen = False

    def console_errors(self):
        """What the console has shown as errors since the last call."""
        return None

    def page_requests(self):
        """The addresses the page has asked for since the last call."""
        return None

    def accessible(self, roles):
        """(role, name) of the nodes of these roles in the accessibility tree."""
        return None

    def installability_errors(self):
        """Why the browser would not install the site as an app."""
        return None

    def said(self):
        """What the browser's own processes wrote, for a failure's report."""
        return None

    def close(self):
        raise NotImplementedError


def missing(engine):
    """What this machine lacks for the engine: nothing where it can run."""
    try:
        module = importlib.import_module(f"engines.{engine}")
    except ImportError as error:
        return [error.name or str(error)]
    return module.missing()


def start(engine, size=(1280, 800), scale=1, trap_port=None, dark=False):
    """A browser of the engine, its viewport of that size in CSS pixels at
    that device pixel ratio; with trap_port, every request not for loopback
    goes to that proxy; with dark, on a system that prefers dark colours.
    One that does not start raises a Failure saying why, with what the
    browser and its driver wrote."""
    if engine not in ENGINES:
        raise Failure(f"no driver for the engine '{engine}'")
    module = importlib.import_module(f"engines.{engine}")
    try:
        return module.start(size=size, scale=scale, trap_port=trap_port, dark=dark)
    except Failure:
        raise
    except Exception as error:
        raise Failure(f"{engine} did not start: {reason(error)}") from error


def report_failure(page, screenshot, say):
    """The end of a failed run's report, each line given to `say`: a picture
    of the page as it was, left in that file, if the browser still gives
    one within 10 s, and what the browser's own processes wrote last."""
    limit(10, f"{page.engine} gave no picture within 10 s")
    try:
        page.screenshot(screenshot)
        say(f"the page as it was: {screenshot}")
    except Exception as error:
        say(f"no picture of the page: {reason(error)}")
    said = page.said()
    if said:
        say(f"what {page.engine} wrote last:\n{said}")


# What the browser shows where the page asked for is not there.
SHOWING = """
return [location.href, document.title, document.body ? document.body.innerText.trim().slice(0, 300) : ''];
"""


def open_page(page, url, marker, server=None):
    """Loads the address and checks that the page shown is the one asked
    for, whose marker script gives a true value, and not an error page of
    the browser's or the server's: a page that did not load fails here,
    with what the browser showed instead and what the server could not
    answer, not at the first step that looks for something on it."""
    try:
        page.goto(url)
        wait_for(page, "the page's appearing", lambda p: p.run(marker), seconds=30)
        return
    except Exception as error:
        failure = f"{url} did not load: {reason(error)}"
    shows = None
    try:
        shows = page.run(SHOWING)
    except Exception:
        pass
    if shows:
        failure += f"; the browser shows {shows[0]}, titled '{shows[1]}': {shows[2]!r}"
    if server and server.unanswered:
        failure += f"; the server could not answer {server.missed()}"
    raise Failure(failure)


# Every control of that kind shown on the page: laid out with a size, not
# hidden by CSS, not inside a closed dialog or a hidden window, and of that
# text where one is given. Each as its centre on the viewport, text, value
# and whether it takes input, in one step, so an element cannot go away
# between being found and being asked about.
SHOWN = """
const [xpath, text] = arguments;
const found = document.evaluate(xpath, document, null, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
const shown = [];
for (let i = 0; i < found.snapshotLength; ++i) {
    const e = found.snapshotItem(i);
    const box = e.getBoundingClientRect();
    if (box.width > 0 && box.height > 0 && getComputedStyle(e).visibility === 'visible' &&
        (text === null || e.textContent.trim() === text))
        shown.push({x: box.left + box.width / 2, y: box.top + box.height / 2,
                    text: e.innerText === undefined ? e.textContent : e.innerText,
                    value: 'value' in e && e.tagName !== 'BUTTON' ? e.value : null,
                    enabled: !e.disabled});
}
return shown;
"""


def shown(page, xpath, text=None):
    return page.run(SHOWN, xpath, text)


def button_enabled(page, text):
    """None where no button of that text is shown, else whether it is enabled."""
    found = shown(page, "//button", text)
    return found[0]["enabled"] if found else None


def click(page, xpath, text=None):
    """Clicks the middle of the first control shown of that kind and text."""
    found = shown(page, xpath, text)
    check(found, f"nothing to click: {xpath} {text or ''}".strip())
    page.click_at(found[0]["x"], found[0]["y"])


def click_button(page, text):
    click(page, "//button", text)


def type_into(page, xpath, text, index=0):
    """Replaces the text of the index-th box shown of that kind as a person
    would: click, select all, type (or delete)."""
    found = shown(page, xpath)
    check(len(found) > index, f"no box {index} of {xpath} to type into")
    page.click_at(found[index]["x"], found[index]["y"])
    page.press("Control", "a")
    if text:
        page.type(text)
    else:
        page.press("Delete")


def wait_for(page, what, condition, seconds=30):
    """Asks the condition again every tenth of a second until it gives a true
    value, which is returned, or the deadline passes. A page that went away
    while the condition looked at it is taken as an answer of "not yet"; any
    other error of the browser's ends the wait at once."""
    deadline = time.monotonic() + seconds
    went_away = False
    while True:
        try:
            answer = condition(page)
            if answer:
                return answer
        except Gone:
            went_away = True
        if time.monotonic() >= deadline:
            note = " (the page it looked at had gone)" if went_away else ""
            raise Failure(f"{what} did not happen within {seconds} s{note}")
        time.sleep(0.1)


# axe-core's findings on the page as it is, every rule of its own run
# (best practices among them): [rule, impact, nodes, the first node's target].
AXE = """
return axe.run(document, {resultTypes: ['violations']}).then(results => results.violations.map(v =>
    [v.id, v.impact, v.nodes.length, v.nodes.length ? v.nodes[0].target.join(' ') : '']));
"""


def accessibility_findings(page):
    """What axe-core (tests/support's Node packages) finds wrong on the page
    as it is now, for a screen reader and the like."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core", "axe.min.js")
    if not os.path.isfile(path):
        raise Failure(f"no {path}: scripts/install-deps.sh (npm ci in tests/support) installs it")
    if not page.run("return typeof axe === 'object'"):
        with open(path, encoding="utf-8") as source:
            page.run(source.read() + "\nreturn true;")
    return page.run(AXE)


SETTLED = """
return document.fonts.ready.then(() => new Promise(done =>
    requestAnimationFrame(() => requestAnimationFrame(() => done(true)))));
"""


def settled(page):
    """Returns once the page's fonts are loaded and two frames have been
    drawn since, so that a screenshot or a measurement shows what the
    page's latest changes made."""
    page.run(SETTLED)


if __name__ == "__main__":
    # For the build: one line an engine, "ENGINE ok" or "ENGINE lacks WHAT, ...".
    for engine in ENGINES:
        lacking = missing(engine)
        print(f"{engine} lacks {', '.join(lacking)}" if lacking else f"{engine} ok")
