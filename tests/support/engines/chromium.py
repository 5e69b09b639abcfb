"""Headless Chromium through ChromeDriver (Debian's chromium and
chromium-driver). Only here: the console and the page's own requests from
Chromium's logs, the accessibility tree, whether Chromium would install the
site, and DevTools' emulation (cdp): a phone's touch screen, with a finger's
taps and a pinch, and media features such as the dark scheme."""

import contextlib
import json
import os
import re
import signal
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder

from engines.webdriver import WebDriverPage
from pagedriver import Failure, ended, reason, tail

CHROMIUM = "/usr/lib/chromium/chromium"  # the program itself: Debian's wrapper adds API keys
CHROMEDRIVER = "/usr/bin/chromedriver"
# Chromium's complaints that this machine has no desktop bus, the same on
# every start: left out of a failure's report, which they would fill.
NO_BUS = re.compile(r"dbus|D-Bus", re.IGNORECASE)
# Where Chromium's own services would call out to, turned to a closed port on
# loopback, so that what the proxy records is the page's alone.
NOWHERE = "http://127.0.0.1:9/"


def missing():
    return [path for path in (CHROMIUM, CHROMEDRIVER) if not os.access(path, os.X_OK)]


class Chromium(WebDriverPage):
    engine = "chromium"

    def __init__(self, size, scale, trap_port):
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        arguments = [
            "--headless=new",
            f"--window-size={size[0]},{size[1]}",
            f"--force-device-scale-factor={scale:g}",
            "--disable-features=NetworkTimeServiceQuerying,AutofillServerCommunication",
            f"--component-updater=url-source={NOWHERE}",
            f"--gaia-url={NOWHERE}",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-background-networking",
            "--disable-sync",
            "--disable-extensions",
            "--disable-dev-shm-usage",
            "--disable-gpu",
            # A page's timers run on time in a window nobody looks at.
            "--disable-background-timer-throttling",
            "--disable-renderer-backgrounding",
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
        # What ChromeDriver and Chromium write (Chromium's own output only
        # with --enable-chrome-logs), kept for a failure's report: ChromeDriver
        # says no more than that Chromium exited. Given as a descriptor, which
        # selenium leaves open when it stops the driver.
        self.log = tempfile.TemporaryFile(mode="w+")
        self.service = Service(CHROMEDRIVER, log_file=self.log.fileno(), service_args=["--enable-chrome-logs"])
        try:
            super().__init__(webdriver.Chrome(service=self.service, options=options))
        except Exception as error:
            # Selenium has stopped ChromeDriver by now: its status says nothing.
            raise Failure(f"Chromium did not start: {reason(error)}\n{self.wrote()}") from None
        self.requests = []
        self.browser = self.browser_process()
        try:
            # The viewport exactly as asked: the window's own size takes in
            # room for a browser's bars that headless Chromium does not draw.
            self.screen(size[0], size[1], scale)
        except Exception as error:
            said = self.said()
            self.close()
            raise Failure(f"Chromium started, but could not be given its screen: {reason(error)}\n{said}") from None

    def cdp(self, command, parameters):
        """A DevTools command, for what only Chromium can be asked to do."""
        return self.driver.execute_cdp_cmd(command, parameters)

    def screen(self, width, height, scale, phone=False):
        self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": phone, "maxTouchPoints": 5} if phone
                 else {"enabled": False})
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": phone})

    def emulate_media(self, features):
        self.cdp("Emulation.setEmulatedMedia",
                 {"features": [{"name": name, "value": value} for name, value in features.items()]})

    touch_screen = True

    def fingers(self, count):
        """Touch actions of that many fingers, moved together, step by step."""
        actions = ActionBuilder(self.driver)
        return actions, [actions.add_pointer_input(interaction.POINTER_TOUCH, f"finger{n}") for n in range(count)]

    def double_tap(self, x, y):
        actions, (finger,) = self.fingers(1)
        finger.create_pointer_move(x=round(x), y=round(y))
        for _ in range(2):
            finger.create_pointer_down()
            finger.create_pointer_up(0)
        actions.perform()

    def pinch_open(self, x, y):
        actions, (one, two) = self.fingers(2)
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

    def console_errors(self):
        return [e["message"] for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]

    def page_requests(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                self.requests.append(message["params"]["request"]["url"])
        requests, self.requests = self.requests, []
        return requests

    def accessible(self, roles):
        self.cdp("Accessibility.enable", {})
        nodes = self.cdp("Accessibility.getFullAXTree", {})["nodes"]
        return [(node["role"]["value"], node.get("name", {}).get("value", "").strip())
                for node in nodes
                if not node.get("ignored") and node.get("role", {}).get("value") in roles]

    def installability_errors(self):
        return self.cdp("Page.getInstallabilityErrors", {})["installabilityErrors"]

    def browser_process(self):
        """The pid of Chromium's own process, which ChromeDriver started (from
        any of its threads); None where there is none."""
        driver = self.service.process.pid
        try:
            for thread in os.listdir(f"/proc/{driver}/task"):
                with open(f"/proc/{driver}/task/{thread}/children") as children:
                    for child in children.read().split():
                        with open(f"/proc/{child}/comm") as name:
                            if name.read().strip() == os.path.basename(CHROMIUM)[:15]:
                                return int(child)
        except OSError:
            pass
        return None

    def browser_ended(self):
        """How Chromium ended, where it has: ChromeDriver tells no more than
        that it has gone, and keeps its status, which can be read only until
        ChromeDriver has reaped it."""
        if not self.browser:
            return None
        try:
            with open(f"/proc/{self.browser}/stat") as stat:
                fields = stat.read().rpartition(")")[2].split()
        except OSError:
            return f"Chromium (pid {self.browser}) has ended"
        if fields[0] != "Z":
            return None
        status = int(fields[-1])
        return f"Chromium (pid {self.browser}) " + (f"was ended by signal {status & 0x7f}" if status & 0x7f
                                                     else f"ended with status {status >> 8}")

    def wrote(self):
        lines = [line for line in tail(self.log, 40000).splitlines() if not NO_BUS.search(line)]
        return "\n".join(lines)[-4000:]

    def said(self):
        driver = self.service.process.poll()
        gone = ([ended("ChromeDriver", driver)] if driver is not None else []) + \
            [line for line in [self.browser_ended()] if line]
        return "\n".join(gone + [self.wrote()])

    def close(self):
        super().close()
        # ChromeDriver ends Chromium as it quits, but leaves one that hung
        # behind it, once it has given up on it.
        deadline = time.monotonic() + 5
        while self.browser and not self.browser_ended():
            if time.monotonic() > deadline:
                with contextlib.suppress(OSError):
                    os.kill(self.browser, signal.SIGKILL)
                break
            time.sleep(0.1)
        self.log.close()


def start(size, scale, trap_port, dark):
    page = Chromium(size, scale, trap_port)
    if dark:
        page.emulate_media({"prefers-color-scheme": "dark"})
    return page
