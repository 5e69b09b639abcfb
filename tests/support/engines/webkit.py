"""WebKitGTK's MiniBrowser through WebKitWebDriver (Debian's
libwebkit2gtk-4.1-0 and webkit2gtk-driver), on an X server of its own (Xvfb).
No window manager: WebDriver's pointer and keys reach the page through WebKit
itself, not through X, and a busy machine can take longer to start one than
anything waits for it. GTK draws at the whole-number device pixel ratio it is
started with (GDK_SCALE), and MiniBrowser's window is never narrower than its
own bar needs (447 CSS pixels). WebKitWebDriver gives no console and no log
of requests.

MiniBrowser is started here, listening for its automation on a port chosen
here, and WebKitWebDriver is pointed at it (--target). Left to itself, the
driver takes a port from the range the system hands out for the near end of
connections and tries it ten times a second until the browser listens; under
load such a try can meet a connection's own end, or itself, and the session
then waits for ever."""

import os
import random
import select
import shutil
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.webkitgtk.options import Options

from engines.webdriver import WebDriverPage
from pagedriver import Failure, ended, reason, tail, wait_for

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
WEBKITWEBDRIVER = "/usr/bin/WebKitWebDriver"


def missing():
    return [path for path in (MINIBROWSER, WEBKITWEBDRIVER) if not os.access(path, os.X_OK)] + \
           ([] if shutil.which("Xvfb") else ["Xvfb"])


def quiet_port():
    """A free port of loopback below the range of the near ends of
    connections, which no connection takes while the program meant for it
    starts, and where a connection cannot meet itself."""
    with open("/proc/sys/net/ipv4/ip_local_port_range") as ports:
        first = int(ports.read().split()[0])
    for port in random.sample(range(first // 2, first), 100):
        with socket.socket() as s:
            try:
                s.bind(("127.0.0.1", port))
                return port
            except OSError:
                continue
    raise Failure("no free port for WebKitGTK")


class Display:
    """An X server of the browser's own (Xvfb), until closed."""

    def __init__(self, width, height, seconds=60):
        # Xvfb writes the number of the display it took once it is ready.
        ready, told = os.pipe()
        self.log = tempfile.TemporaryFile()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(told), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=[told], stdout=self.log, stderr=subprocess.STDOUT)
        os.close(told)
        with os.fdopen(ready) as number:
            if not select.select([number], [], [], seconds)[0]:
                self.fail(f"Xvfb did not start within {seconds} s")
            self.name = ":" + number.readline().strip()
        if self.name == ":":
            self.fail("Xvfb did not start")

    def fail(self, what):
        status = self.server.poll()
        said = tail(self.log)
        self.close()
        raise Failure(what + (f": {ended('it', status)}" if status is not None else "") +
                      (f"; it wrote:\n{said}" if said else ""))

    def close(self):
        self.server.terminate()
        self.server.wait()
        self.log.close()


class WebKit(WebDriverPage):
    engine = "webkit"

    def __init__(self, size, scale, trap_port, dark=False):
        if scale != int(scale):
            raise Failure(f"WebKitGTK draws at whole device pixel ratios, not {scale:g}")
        # What the browser and the driver say, kept for a failed start.
        self.log = tempfile.TemporaryFile(mode="w+")
        self.processes = []
        self.frame = None  # the window's frame around the viewport, once known
        # Room for the window at its device pixel ratio, the phone's too.
        self.display = Display(round(max(size[0], 1280) * scale) + 64, round(max(size[1], 900) * scale) + 64)
        try:
            automation = quiet_port()
            environment = dict(os.environ, DISPLAY=self.display.name, GDK_SCALE=f"{scale:g}",
                               LANGUAGE="zh_CN", GTK_OVERLAY_SCROLLING="1",
                               WEBKIT_INSPECTOR_SERVER=f"127.0.0.1:{automation}",
                               # Nothing for GTK to reach on a bus of the desktop's.
                               GTK_A11Y="none", NO_AT_BRIDGE="1",
                               # No GPU here: on Mesa's software GL, WebKit's
                               # painting crashed now and then. The processor paints.
                               WEBKIT_SKIA_ENABLE_CPU_RENDERING="1")
            if dark:
                # A dark GTK theme is the system's preference for WebKitGTK.
                environment["GTK_THEME"] = "Adwaita:dark"
            if trap_port:
                # The proxy as the system's, through GIO's libproxy: WebDriver's
                # proxy capability with addresses left out of it sometimes
                # crashes MiniBrowser as it starts.
                trap = f"http://127.0.0.1:{trap_port}"
                environment.update(GIO_USE_PROXY_RESOLVER="libproxy", http_proxy=trap, https_proxy=trap,
                                   no_proxy="127.0.0.1,localhost")
            self.start([MINIBROWSER, "--automation"], environment, automation)
            port = quiet_port()
            self.start([WEBKITWEBDRIVER, f"--port={port}", f"--target=127.0.0.1:{automation}"], environment, port)
            super().__init__(webdriver.Remote(f"http://127.0.0.1:{port}", options=Options()))
            self.screen(*size, scale)
        except Exception as error:
            said = self.said()
            self.stop()
            raise Failure(f"WebKitGTK did not start: {reason(error)}\n{said}") from None

    def start(self, command, environment, port, seconds=60):
        """Starts a program, and returns once it listens on the port."""
        process = subprocess.Popen(command, env=environment, stdout=self.log, stderr=subprocess.STDOUT)
        self.processes.append(process)
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return
            except OSError:
                if process.poll() is not None:
                    raise Failure(ended(os.path.basename(command[0]), process.returncode))
                time.sleep(0.1)
        raise Failure(f"{os.path.basename(command[0])} did not listen within {seconds} s")

    def screen(self, width, height, scale, phone=False):
        """The viewport as near that size as the window goes (MiniBrowser's
        window has a smallest width); the device pixel ratio stays the one the
        browser started with, and a phone is only a narrow window."""
        # The window is sized, not the viewport: the difference is the
        # window's own frame, learnt once while nothing resizes it. The
        # viewport follows the window a moment later; until it has, the two
        # differ by something else.
        if self.frame is None:
            self.frame = self.settled_frame()
        self.driver.set_window_rect(width=width + self.frame[0], height=height + self.frame[1])
        wait_for(self, "the viewport's following the window", lambda page: page.frame_now() == page.frame)

    def frame_now(self):
        inner = self.driver.execute_script("return [innerWidth, innerHeight]")
        outer = self.driver.get_window_rect()
        return outer["width"] - inner[0], outer["height"] - inner[1]

    def settled_frame(self, seconds=30):
        """The window's frame, once two readings in a row agree."""
        deadline = time.monotonic() + seconds
        last = self.frame_now()
        while time.monotonic() < deadline:
            time.sleep(0.1)
            now = self.frame_now()
            if now == last and min(now) >= 0:
                return now
            last = now
        raise Failure(f"WebKitGTK's window and viewport did not settle within {seconds} s: {last}")

    def said(self):
        gone = [ended(os.path.basename(process.args[0]), process.returncode)
                for process in self.processes if process.poll() is not None]
        return "\n".join(gone + [tail(self.log)])

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes = []
        self.display.close()
        self.log.close()

    def close(self):
        try:
            super().close()
        finally:
            self.stop()


def start(size, scale, trap_port, dark):
    return WebKit(size, scale, trap_port, dark)
