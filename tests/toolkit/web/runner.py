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
import traceback
from urllib.parse import quote

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
import pagedriver  # noqa: E402

ASK = "[ask runner] "

# What the program has printed since the line given, and how far it has come:
# its script not yet run, its start waiting for downloads, running, or ended
# by an abort (a program that returns from main may still be running, its
# waits unwound). Null where the page is not the test page.
OUTPUT = """
if (typeof testOutput === 'undefined') return null;
const loaded = typeof ABORT !== 'undefined';
const state = !loaded ? 'its script did not get as far as setting up its runtime'
    : ABORT ? `it ended${typeof EXITSTATUS === 'number' ? ' with status ' + EXITSTATUS : ''}`
    : !calledRun ? `its script has run, but it has not started (${runDependencies} downloads to wait for)`
    : 'it is running';
return [testOutput.slice(arguments[0]), state, loaded && ABORT];
"""

# The test page, once the browser has it: its script (harness.js) has run.
TEST_PAGE = "return typeof testOutput !== 'undefined';"


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
    parser.add_argument("--timeout", type=float, default=240,
                        help="seconds for the whole run, the browser's start included")
    parser.add_argument("program")
    parser.add_argument("args", nargs="*")
    options = parser.parse_args()
    if (options.touch or options.media) and options.engine != "chromium":
        parser.error("--touch and --media are Chromium's alone")
    began = time.monotonic()

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
        # The site's worker, in which the program does its work away from
        # the page.
        "quaddle-worker.js": os.path.join(options.site, "quaddle-worker.js"),
        "quaddle-worker.wasm": os.path.join(options.site, "quaddle-worker.wasm"),
    }
    index = os.path.join(options.site, "index.html")
    lacking = [path for path in [index, *files.values()] if not os.path.isfile(path)]
    if lacking:
        print(f"[runner] failed: nothing to serve as {', '.join(lacking)}", flush=True)
        return 1
    server = pagedriver.Server(pagedriver.site_policy(index), files=files)
    trap = pagedriver.Trap()
    width, height = (int(n) for n in options.size.split("x"))
    # The output's deadline is the run's own; a call into the browser that
    # never returns is ended a little later. With the report's questions and
    # the closing, also limited, that stays within ctest's limit of 300 s.
    deadline = began + options.timeout
    pagedriver.limit(options.timeout + 5, f"{options.engine} gave no answer within {options.timeout + 5:g} s")
    features = dict(feature.split("=", 1) for feature in options.media)
    page = None
    step = f"starting {options.engine}"
    why = None  # the reason the run failed, said last
    lines = []

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
        else:
            raise pagedriver.Failure(f"the program asked for '{request}', which the runner does not know")

    try:
        page = pagedriver.start(options.engine, size=(width, height), scale=options.scale,
                                trap_port=trap.server_address[1])
        print(f"[runner] {options.engine} {page.version}", flush=True)
        step = "giving the page its screen"
        if options.touch:
            page.screen(width, height, options.scale, phone=True)
        if features:
            page.emulate_media(features)
        query = "&".join([f"program={name}", f"scale={options.scale:g}"] +
                         [f"env={quote(e)}" for e in options.env] +
                         [f"arg={quote(a)}" for a in options.args])
        url = f"{server.origin}/page.html?{query}"
        step = "loading the test page"
        pagedriver.open_page(page, url, TEST_PAGE, server)
        finished = None
        refused = []
        state = None
        while finished is None and time.monotonic() < deadline:
            step = f"reading {name}'s output (line {len(lines) + 1})"
            answer = page.run(OUTPUT, len(lines))
            if answer is None:
                raise pagedriver.Failure(f"the test page has gone: the browser shows {page.run(pagedriver.SHOWING)}")
            new, state, aborted = answer
            for line in new:
                print(line, flush=True)
                lines.append(line)
                if line.startswith("[runner] refused"):
                    refused.append(line)
                if line.startswith(ASK):
                    step = f"carrying out the program's '{line}'"
                    ask(line[len(ASK):])
                if line.startswith("[runner] aborted") or line.startswith("[runner] error"):
                    finished = False
                    why = f"{name} stopped: {line[len('[runner] '):]}"
                if line.startswith("[doctest] Status:"):
                    finished = "SUCCESS" in line
                    if not finished:
                        why = f"doctest reported failures: {line}"
            if finished is None and aborted:
                finished = False
                why = f"{name} {state[len('it '):]} without a word"
            if finished is None:
                time.sleep(0.05)
        if finished is None:
            why = f"no doctest status line within {options.timeout:g} s"
        if why and not any(line.startswith("[doctest]") for line in lines):
            why += f"; {name} wrote nothing of doctest's ({len(lines)} lines in all), and {state}"
        elif finished is None:
            why += f"; its last line (of {len(lines)}): {lines[-1]!r}; {state}"
        # What the browser reported to the server; the page's own listener
        # has printed what it saw among the program's output.
        step = "asking what the browser saw"
        faults = [f"refused by the security policy: {line}" for line in server.refused()]
        faults += [f"console error: {line}" for line in page.console_errors() or []]
        faults += [f"asked for {address}" for address in page.page_requests() or []
                   if not address.startswith((server.origin + "/", "data:", "blob:"))]
        faults += [f"went past loopback: {line}" for line in trap.requests]
        for fault in faults:
            print(f"[runner] {fault}", flush=True)
        if not why and (refused or faults):
            why = f"{len(refused) + len(faults)} of the page's faults above"
        if options.screenshot:
            step = "taking the screenshot asked for"
            page.screenshot(options.screenshot)
    except Exception as error:
        why = f"while {step}: {pagedriver.reason(error)}"
        if not isinstance(error, pagedriver.Failure) and not hasattr(error, "msg"):
            # Not the browser's: the runner's own fault, shown where it is.
            traceback.print_exc()
    pagedriver.unlimited()
    if why:
        print(f"[runner] failed {why}" if why.startswith("while") else f"[runner] failed: {why}", flush=True)
        if server.unanswered:
            print(f"[runner] the server could not answer {server.missed()}", flush=True)
    if why and page:
        # A failed run leaves a picture of the page beside the program, if
        # the browser still answers.
        screenshot = options.screenshot or os.path.join(folder, f"{name}-{options.engine}-failure.png")
        pagedriver.report_failure(page, screenshot, lambda line: print(f"[runner] {line}", flush=True))
    if page:
        pagedriver.limit(30, f"{options.engine} did not close within 30 s")
        try:
            page.close()
        except pagedriver.Failure as failure:
            print(f"[runner] {failure}", flush=True)
            why = why or str(failure)
    pagedriver.unlimited()
    server.stop()
    trap.close()
    return 1 if why else 0


if __name__ == "__main__":
    sys.exit(main())
