"""Headless Firefox (Debian's firefox-esr) through WebDriver BiDi, which
Firefox speaks itself: no geckodriver. The BiDi client is puppeteer-core under
Node, in firefox.mjs beside this file; this side sends it one request at a
time and waits for the answer."""

import json
import os
import shutil
import subprocess

from pagedriver import Failure, Gone, Page

HERE = os.path.dirname(os.path.abspath(__file__))
FIREFOX = "/usr/lib/firefox-esr/firefox-esr"
PUPPETEER = os.path.join(HERE, "..", "node_modules", "puppeteer-core", "package.json")


def missing():
    return ([] if os.access(FIREFOX, os.X_OK) else [FIREFOX]) + \
           ([] if shutil.which("node") else ["node"]) + \
           ([] if os.path.exists(PUPPETEER) else ["puppeteer-core in tests/support/node_modules"])


class Firefox(Page):
    engine = "firefox"

    def __init__(self, size, scale, trap_port, dark=False):
        settings = {"width": size[0], "height": size[1], "scale": scale, "trap": trap_port, "dark": dark}
        self.bridge = subprocess.Popen(["node", os.path.join(HERE, "firefox.mjs"), json.dumps(settings)],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.version = self.ask("version")

    def ask(self, op, *args):
        try:
            self.bridge.stdin.write(json.dumps({"op": op, "args": args}) + "\n")
            self.bridge.stdin.flush()
            line = self.bridge.stdout.readline()
        except BrokenPipeError:
            line = ""
        if not line:
            raise Failure(f"Firefox's driver ended (status {self.bridge.wait()}) when asked to {op}")
        answer = json.loads(line)
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

    def close(self):
        if self.bridge.poll() is None:
            try:
                self.bridge.stdin.write(json.dumps({"op": "close", "args": []}) + "\n")
                self.bridge.stdin.close()
            except BrokenPipeError:
                pass
            try:
                self.bridge.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.bridge.kill()
                self.bridge.wait()


def start(size, scale, trap_port, dark):
    return Firefox(size, scale, trap_port, dark)
