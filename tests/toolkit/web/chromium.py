#!/usr/bin/python3
"""Runs a doctest program built for the browser in headless Chromium.

The program's .js and .wasm, the windows' stylesheet and a test page are served
on a loopback port of their own, under the Content-Security-Policy the site
uses; the program's output is passed on line by line, and the exit status says
whether doctest reported success (and the page broke no rule of the policy).

  chromium.py --stylesheet CSS [--scale N] [--size WxH] [--touch]
              [--media FEATURE=VALUE] [--env NAME=VALUE]
              [--screenshot FILE] -- PROGRAM.js [ARG...]

--touch makes the screen a phone's: a touch screen, whose page is laid out
for its width; --media emulates a media feature, such as
prefers-color-scheme=dark. The program may ask for another screen size or
media feature while it runs, with a line of output:

  [ask runner] size WxH
  [ask runner] media FEATURE=VALUE
"""
import argparse
import functools
import http.server
import os
import sys
import tempfile
import threading
import time
from urllib.parse import quote

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
POLICY = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; base-uri 'none'"
ASK = '[ask runner] '


class Files(http.server.SimpleHTTPRequestHandler):
    """Serves a fixed set of files by name, with the site's policy."""

    def __init__(self, *args, files, **kwargs):
        self.files = files
        super().__init__(*args, **kwargs)

    def translate_path(self, path):
        name = path.split('?', 1)[0].lstrip('/') or 'page.html'
        return self.files.get(name, '/nonexistent')

    def end_headers(self):
        self.send_header('Content-Security-Policy', POLICY)
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def log_message(self, *args):
        pass


class Screen:
    """The screen Chromium emulates: its size and density, touch, media features."""

    def __init__(self, driver, options):
        self.driver, self.options = driver, options
        self.features = dict(feature.split('=', 1) for feature in options.media)
        if options.touch:
            driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled',
                                   {'enabled': True, 'maxTouchPoints': 5})
        self.resize(options.size)
        self.emulate()

    def resize(self, size):
        width, height = (int(n) for n in size.split('x'))
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': height, 'deviceScaleFactor': self.options.scale,
            'mobile': self.options.touch})

    def emulate(self):
        self.driver.execute_cdp_cmd('Emulation.setEmulatedMedia', {
            'features': [{'name': name, 'value': value} for name, value in self.features.items()]})

    def ask(self, request):
        """Carries out what the program asked for."""
        what, _, value = request.partition(' ')
        if what == 'size':
            self.resize(value)
        elif what == 'media':
            name, _, value = value.partition('=')
            self.features[name] = value
            self.emulate()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--scale', type=float, default=1)
    parser.add_argument('--size', default='1280x800')
    parser.add_argument('--touch', action='store_true')
    parser.add_argument('--media', action='append', default=[])
    parser.add_argument('--stylesheet', required=True)
    parser.add_argument('--screenshot')
    parser.add_argument('--env', action='append', default=[],
                        help='NAME=VALUE for the program to read with getenv()')
    parser.add_argument('--timeout', type=float, default=240)
    parser.add_argument('program')
    parser.add_argument('args', nargs='*')
    options = parser.parse_args()

    folder, script = os.path.split(os.path.abspath(options.program))
    name = script[:-len('.js')]
    files = {
        'page.html': os.path.join(HERE, 'page.html'),
        'harness.js': os.path.join(HERE, 'harness.js'),
        'quaddle.css': options.stylesheet,
        name + '.js': os.path.join(folder, name + '.js'),
        name + '.wasm': os.path.join(folder, name + '.wasm'),
    }
    server = http.server.ThreadingHTTPServer(
        ('127.0.0.1', 0), functools.partial(Files, files=files))
    threading.Thread(target=server.serve_forever, daemon=True).start()

    width, height = (int(n) for n in options.size.split('x'))
    chrome = webdriver.ChromeOptions()
    chrome.binary_location = '/usr/bin/chromium'
    profile = tempfile.TemporaryDirectory(prefix='quaddle-chromium-')
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                 '--no-first-run', '--disable-extensions', '--disable-background-networking',
                 '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                 '--lang=zh-CN', f'--user-data-dir={profile.name}',
                 f'--window-size={width},{height}'):
        chrome.add_argument(flag)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=chrome)
    status = 1
    try:
        screen = Screen(driver, options)
        query = '&'.join([f'program={name}', f'scale={options.scale:g}'] +
                         [f'env={quote(e)}' for e in options.env] +
                         [f'arg={quote(a)}' for a in options.args])
        driver.get(f'http://127.0.0.1:{server.server_address[1]}/page.html?{query}')
        shown = 0
        finished = None
        deadline = time.monotonic() + options.timeout
        refused = False
        while finished is None and time.monotonic() < deadline:
            lines = driver.execute_script('return testOutput.slice(arguments[0])', shown)
            for line in lines:
                print(line, flush=True)
                refused |= line.startswith('[runner] refused')
                if line.startswith(ASK):
                    screen.ask(line[len(ASK):])
                if line.startswith('[runner] aborted') or line.startswith('[runner] error'):
                    finished = False
                if line.startswith('[doctest] Status:'):
                    finished = 'SUCCESS' in line
            shown += len(lines)
            if finished is None:
                time.sleep(0.05)
        if finished is None:
            print(f'[runner] no result within {options.timeout:g} s', flush=True)
        status = 0 if finished and not refused else 1
        # A failed run leaves a picture of the page beside the program.
        screenshot = options.screenshot or (
            os.path.join(folder, f'{name}-failure.png') if status else None)
        if screenshot:
            driver.save_screenshot(screenshot)
            if status:
                print(f'[runner] the page as it was: {screenshot}', flush=True)
    finally:
        driver.quit()
        server.shutdown()
        profile.cleanup()
    return status


if __name__ == '__main__':
    sys.exit(main())
