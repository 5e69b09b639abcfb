"""Headless Firefox (Debian's firefox-esr) through WebDriver BiDi, which
Firefox speaks itself: no geckodriver. The BiDi client is puppeteer-core under
Node, in firefox.mjs beside this file; this side sends it one request at a
time and waits for the answer."""

import json
import os
import shutil
import subprocess
import tempfile

from pagedriver import Failure, Gone, Page, ended, tail

HERE = os.path.dirname(os.path.abspath(__file__))
FIREFOX = "/usr/lib/firefox-esr/firefox-esr"
PUPPETEER = os.path.join(HERE, "..", "node_modules", "puppeteer-core", "package.json")
DRIVER = "Firefox's driver (node firefox.mjs)"


def missing():
    return ([] if os.access(FIREFOX, os.X_OK) else [FIREFOX]) + \
           ([] if shutil.which("node") else ["node"]) + \
           ([] if os.path.exists(PUPPETEER) else ["puppeteer-core in tests/support/node_modules"])


class Firefox(Page):
    engine = "firefox"

    def __init__(self, size, scale, trap_port, dark=False):
        settings = {"firefox": FIREFOX, "width": size[0], "height": size[1], "scale": scale, "trap": trap_port,
                    "dark": dark}
        # What the bridge and Firefox write, kept for a failure's report.
        self.log = tempfile.TemporaryFile()
        # The request still unanswered where a wait for its answer was cut
        # short: a later answer would be that one's.
        self.waiting = None
        self.bridge = subprocess.Popen(["node", os.path.join(HERE, "firefox.mjs"), json.dumps(settings)],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log, text=True)
        try:
            self.version = self.ask("version")
        except Failure as failure:
            said = self.said()
            self.close()
            raise Failure(f"Firefox did not start: {failure}\n{said}") from None

    def ask(self, op, *args):
        if self.waiting:
            raise Failure(f"Firefox's driver, asked to {op}, has not answered being asked to {self.waiting}")
        try:
            self.waiting = op
            self.bridge.stdin.write(json.dumps({"op": op, "args": args}) + "\n")
            self.bridge.stdin.flush()
            line = self.bridge.stdout.readline()
            self.waiting = None
        except BrokenPipeError:
            self.waiting = None
            line = ""
        if not line:
            raise Failure(f"{ended(DRIVER, self.bridge.wait())} when asked to {op}")
        try:
            answer = json.loads(line)
        except ValueError:
            raise Failure(f"Firefox's driver, asked to {op}, answered {line.strip()!r}") from None
        if "error" in answer:
            if answer["gone"] and op == "run":
                raise Gone(answer["error"])
            raise Failure(f"Firefox, asked to {op}: {answer['error']}")
        return answer["value"]

    def goto(self, url):
        self.ask("goto", url)

    def run(self, script, *args):
        return self.ask("run", script, args)

    def click_at(self, x, y):
        self.ask("click", x, y)

    def press(self, *keys):
        self.ask("press", keys)

    def type(self, text):
        self.ask("type", text)

    def screenshot(self, path):
        self.ask("screenshot", os.path.abspath(path))

    def screen(self, width, height, scale, phone=False):
        self.ask("screen", width, height, scale, phone)

    def console_errors(self):
        return self.ask("errors")

    def page_requests(self):
        return self.ask("requests")

    def said(self):
        status = self.bridge.poll()
        return "\n".join(([ended(DRIVER, status)] if status is not None else []) + [tail(self.log)])

    def close(self):
        if self.bridge.poll() is None:
            try:
                self.bridge.stdin.write(json.dumps({"op": "close", "args": []}) + "\n")
                self.bridge.stdin.close()
            except BrokenPipeError:
                pass
            try:
                self.bridge.wait(timeout=8)
            except subprocess.TimeoutExpired:
                # Still waiting on a Firefox that hangs: the bridge ends it
                # on SIGTERM, which SIGKILL would leave running.
                self.bridge.terminate()
                try:
                    self.bridge.wait(timeout=4)
                except subprocess.TimeoutExpired:
                    self.bridge.kill()
                    self.bridge.wait()
        self.log.close()


def start(size, scale, trap_port, dark):
    return Firefox(size, scale, trap_port, dark)
