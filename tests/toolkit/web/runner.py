#!/usr/bin/python3
"""Runs a doctest program built for the browser in a browser of one engine.

The program's .js and .wasm, the windows' stylesheet and a test page are
served on a loopback port of their own, under the Content-Security-Policy the
site's page carries; the program's output is passed on line by line, and the
exit status says whether doctest reported success and the page broke no rule
of the policy, showed no console error and asked for nothing elsewhere.

  runner.py --engine ENGINE --site SITE_DIR --stylesheet CSS [--scale N]
            [--size WxH] [--touch] [--media FEATURE=VALUE] [--env NAME=VALUE]
            [--screenshot FILE] -- PROGRAM.js [ARG...]

--touch makes the screen a phone's: a touch screen, whose page is laid out
for its width; --media emulates a media feature, such as
prefers-color-scheme=dark. Both are Chromium's alone (its DevTools'
emulation); another engine refuses them. The program may ask for another
screen size or media feature while it runs, with a line of output:

  [ask runner] size WxH
  [ask runner] media FEATURE=VALUE
"""
import argparse
import os
import sys
import time
from urllib.parse import quote

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
import pagedriver  # noqa: E402

ASK = "[ask runner] "

# What the program has printed since the line given.
OUTPUT = "return typeof testOutput === 'undefined' ? [] : testOutput.slice(arguments[0]);"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--engine", choices=pagedriver.ENGINES, required=True)
    parser.add_argument("--site", required=True, help="the built site, whose page carries the policy")
    parser.add_argument("--stylesheet", required=True)
    parser.add_argument("--scale", type=float, default=1)
    parser.add_argument("--size", default="1280x800")
    parser.add_argument("--touch", action="store_true")
    parser.add_argument("--media", action="append", default=[])
    parser.add_argument("--screenshot")
    parser.add_argument("--env", action="append", default=[],
                        help="NAME=VALUE for the program to read with getenv()")
    parser.add_argument("--timeout", type=float, default=240)
    parser.add_argument("program")
    parser.add_argument("args", nargs="*")
    options = parser.parse_args()
    if (options.touch or options.media) and options.engine != "chromium":
        parser.error("--touch and --media are Chromium's alone")

    folder, script = os.path.split(os.path.abspath(options.program))
    name = script[:-len(".js")]
    files = {
        "page.html": os.path.join(HERE, "page.html"),
        "harness.js": os.path.join(HERE, "harness.js"),
        "quaddle.css": options.stylesheet,
        # The site's icon, which a browser asks for as the page's.
        "quaddle.svg": os.path.join(options.site, "icons", "quaddle.svg"),
        name + ".js": os.path.join(folder, name + ".js"),
        name + ".wasm": os.path.join(folder, name + ".wasm"),
    }
    policy = pagedriver.site_policy(os.path.join(options.site, "index.html"))
    server = pagedriver.Server(policy, files=files)
    trap = pagedriver.Trap()
    width, height = (int(n) for n in options.size.split("x"))
    try:
        page = pagedriver.start(options.engine, size=(width, height), scale=options.scale,
                                trap_port=trap.server_address[1])
    except pagedriver.Failure as failure:
        print(f"[runner] {failure}", flush=True)
        server.stop()
        trap.close()
        return 1
    print(f"[runner] {options.engine} {page.version}", flush=True)
    status = 1
    features = dict(feature.split("=", 1) for feature in options.media)

    def ask(request):
        """Carries out what the program asked for."""
        what, _, value = request.partition(" ")
        if what == "size":
            width, height = (int(n) for n in value.split("x"))
            page.screen(width, height, options.scale, phone=options.touch)
        elif what == "media":
            name, _, value = value.partition("=")
            features[name] = value
            page.emulate_media(features)

    try:
        if options.touch:
            page.screen(width, height, options.scale, phone=True)
        if features:
            page.emulate_media(features)
        query = "&".join([f"program={name}", f"scale={options.scale:g}"] +
                         [f"env={quote(e)}" for e in options.env] +
                         [f"arg={quote(a)}" for a in options.args])
        page.goto(f"{server.origin}/page.html?{query}")
        shown = 0
        finished = None
        refused = []
        deadline = time.monotonic() + options.timeout
        while finished is None and time.monotonic() < deadline:
            lines = page.run(OUTPUT, shown)
            for line in lines:
                print(line, flush=True)
                if line.startswith("[runner] refused"):
                    refused.append(line)
                if line.startswith(ASK):
                    ask(line[len(ASK):])
                if line.startswith("[runner] aborted") or line.startswith("[runner] error"):
                    finished = False
                if line.startswith("[doctest] Status:"):
                    finished = "SUCCESS" in line
            shown += len(lines)
            if finished is None:
                time.sleep(0.05)
        if finished is None:
            print(f"[runner] no result within {options.timeout:g} s", flush=True)
        # What the browser reported to the server; the page's own listener
        # has printed what it saw among the program's output.
        faults = [f"refused by the security policy: {line}" for line in server.refused()]
        faults += [f"console error: {line}" for line in page.console_errors() or []]
        faults += [f"asked for {url}" for url in page.page_requests() or []
                   if not url.startswith((server.origin + "/", "data:", "blob:"))]
        faults += [f"went past loopback: {line}" for line in trap.requests]
        for fault in faults:
            print(f"[runner] {fault}", flush=True)
        status = 0 if finished and not refused and not faults else 1
        # A failed run leaves a picture of the page beside the program.
        screenshot = options.screenshot or (
            os.path.join(folder, f"{name}-{options.engine}-failure.png") if status else None)
        if screenshot:
            page.screenshot(screenshot)
            if status:
                print(f"[runner] the page as it was: {screenshot}", flush=True)
        said = page.said() if status else None
        if said:
            print(f"[runner] what {options.engine} wrote last:\n{said}", flush=True)
    finally:
        page.close()
        server.stop()
        trap.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
