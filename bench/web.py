#!/usr/bin/python3
"""Figures for the browser version: the size of the page's code, as served and
gzipped; how long headless Chromium takes from navigation to the About
window's first contentful paint, for a first visit and for a returning one
(the service worker's copy), against a trivial page of our own measured in
the same run (the same policy, one box of the same Chinese text), with the
ratio of each and Chromium's cumulative layout shift; how long one click
on Calculate takes to put its result on the page; and, on the every address,
how long at most the page does not answer while "1 2 3 4 5 6" is typed a key
at a time (the longest task, the longest wait from a key to the frame that
shows it, and the longest gap between frames), with the search in its
worker, on both profiles.

Both sites are served by Python on 127.0.0.1 as a static web host serves
them (gzip-compressed, revalidated before the HTTP cache's copy is used), and
nothing leaves the machine. Each is timed on two profiles: loopback as it is,
and a phone: a phone's screen and touch, 150 ms round trip, 1.6 Mbit/s down,
750 kbit/s up and the processor 4 times slower (DevTools' emulation, as
Lighthouse's mobile run has it). Medians of RUNS, the two pages taking turns.

Usage: bench/web.py BUILD_DIR [RUNS]   (the web preset's build: build/web)
Needs Debian's chromium, chromium-driver and python3-selenium.
"""

import gzip
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from pagedriver import (Server, Trap, button_enabled, click_button, settled, site_policy, start,  # noqa: E402
                        wait_for)

OK, CALCULATE = "知道了", "计算"
CODE = ("quaddle.wasm", "quaddle.js", "index.html")
PAGE_FILES = ("page.js", "sw.js", "manifest.webmanifest")

# performance.now() is coarse outside a cross-origin isolated page, so the
# clicks are timed in batches; each click's result is read from the page.
CLICKS = """
const [batches, batch] = arguments;
const calculate = [...document.querySelectorAll('button')].find(b => b.textContent.trim() === '计算');
const result = (calculate.closest('.q-window') || document).querySelector('textarea');
const times = [];
for (let i = 0; i < batches; ++i) {
    const start = performance.now();
    for (let j = 0; j < batch; ++j) {
        result.value = '';
        calculate.click();
        if (result.value === '') return 'the result was not on the page when the click returned';
    }
    times.push((performance.now() - start) / batch);
}
return times;
"""

# Stages of the start, noted by a script the browser runs before the page's
# own: when the runtime is ready (Emscripten calls Module.onRuntimeInitialized
# just before main) and when the first window is in the page; and every
# layout shift that no input caused, summed.
STAGES = """
window.quaddleStages = {shift: 0};
window.Module = {onRuntimeInitialized: () => { quaddleStages.runtime = performance.now(); }};
new MutationObserver((changes, observer) => {
    const desktop = document.getElementById('desktop');
    if (desktop && desktop.firstElementChild) {
        quaddleStages.window = performance.now();
        observer.disconnect();
    }
}).observe(document, {childList: true, subtree: true});
new PerformanceObserver(list => {
    for (const shift of list.getEntries())
        if (!shift.hadRecentInput) quaddleStages.shift += shift.value;
}).observe({type: 'layout-shift', buffered: true});
"""

# Null until the first contentful paint has happened; then milliseconds from
# navigation to first contentful paint, the .wasm received, the runtime ready
# and the window in the page, and the layout shift so far.
PAINT = """
const paint = name => (performance.getEntriesByName(name)[0] || {}).startTime;
const wasm = performance.getEntriesByType('resource').find(e => e.name.endsWith('/quaddle.wasm'));
return paint('first-contentful-paint') && [paint('first-contentful-paint'),
    wasm && wasm.responseEnd, quaddleStages.runtime, quaddleStages.window, quaddleStages.shift];
"""

# The floor: what a page of one box of text, under the same policy, takes.
TRIVIAL = """<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="{policy}">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Quaddle</title>
</head>
<body>
<div>{text}</div>
</body>
</html>
"""
TEXT = "欢迎使用我们的软件，本工作室接受软件定制"

# The phone: Lighthouse's mobile screen, and its network and processor.
PHONE_SCREEN = (412, 823, 1.75)
PHONE_NETWORK = {"offline": False, "latency": 150, "downloadThroughput": 1.6e6 / 8,
                 "uploadThroughput": 750e3 / 8}
PHONE_PROCESSOR = 4
DESKTOP_SCREEN = (1280, 800, 1)


def kib(size):
    return f"{size / 1024:7.1f} KiB"


def sizes(site):
    print("Size (as served, and gzip -9):")
    served = zipped = 0
    for name in CODE + PAGE_FILES:
        path = os.path.join(site, name)
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9, mtime=0))
        print(f"  {name:22} {kib(len(data))}  {kib(packed)}")
        if name in CODE:
            served += len(data)
            zipped += packed
        if name == CODE[-1]:
            print(f"  {'the page code, total':22} {kib(served)}  {kib(zipped)}")


def profile(page, phone):
    page.cdp("Network.enable", {})
    if phone:
        page.screen(*PHONE_SCREEN, phone=True)
        page.cdp("Network.emulateNetworkConditions", PHONE_NETWORK)
        page.cdp("Emulation.setCPUThrottlingRate", {"rate": PHONE_PROCESSOR})
    else:
        page.screen(*DESKTOP_SCREEN)
        page.cdp("Network.emulateNetworkConditions",
                 {"offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        page.cdp("Emulation.setCPUThrottlingRate", {"rate": 1})


def visit(page, origin, ready):
    """The timings of one visit (PAINT's), once `ready` holds and two frames
    have been drawn since, so that the layout shift counts the settling."""
    page.goto("about:blank")
    page.goto(origin + "/")
    wait_for(page, "the page", ready)
    settled(page)
    return wait_for(page, "the paint timing", lambda p: p.run(PAINT))


def quaddle_ready(page):
    return button_enabled(page, OK) is not None


def trivial_ready(page):
    return page.run("return performance.getEntriesByName('first-contentful-paint').length > 0;")


def first_paints(page, quaddle, trivial, runs):
    """For each kind of visit: the medians of Quaddle's timings and of the
    trivial page's."""
    found = {kind: ([], []) for kind in ("first", "returning")}
    for _ in range(runs):
        for n, (origin, ready) in enumerate(((quaddle, quaddle_ready), (trivial, trivial_ready))):
            page.cdp("Storage.clearDataForOrigin", {"origin": origin, "storageTypes": "all"})
            page.cdp("Network.clearBrowserCache", {})
            found["first"][n].append(visit(page, origin, ready))
            if origin == quaddle:
                page.run("return navigator.serviceWorker.ready.then(() => true);")
            found["returning"][n].append(visit(page, origin, ready))

    def medians(times):
        return [statistics.median(t[i] for t in times) if all(t[i] is not None for t in times) else None
                for i in range(5)]

    return {kind: (medians(ours), medians(floor), ours, floor) for kind, (ours, floor) in found.items()}


def report(name, figures):
    for kind, (ours, floor, all_ours, all_floor) in figures.items():
        ratio = ours[0] / floor[0]
        print(f"  {name:9} {kind:9} {ours[0]:7.0f} ms {floor[0]:9.0f} ms {ratio:7.2f} x"
              f"   {max(t[4] for t in all_ours):.4f}   {max(t[4] for t in all_floor):.4f}"
              f"   ({min(t[0] for t in all_ours):.0f}-{max(t[0] for t in all_ours):.0f} ms)")
    for kind, (ours, *_rest) in figures.items():
        stages = ", ".join(f"{what} {at:.0f} ms" for what, at in
                           zip((".wasm received", "runtime ready", "About window in the page"), ours[1:4])
                           if at is not None)
        print(f"      {kind}: {stages}")


def click_time(page, runs):
    wait_for(page, "OK's enabling", lambda p: button_enabled(p, OK), seconds=60)
    click_button(page, OK)
    wait_for(page, "the main window", lambda p: button_enabled(p, CALCULATE) is not None)
    times = page.run(CLICKS, runs, 100)
    if isinstance(times, str):
        sys.exit(f"bench/web: {times}")
    print(f"  one click on Calculate to its result on the page: median {statistics.median(times) * 1000:.0f} µs"
          f" (batches of 100, {runs} batches; fastest {min(times) * 1000:.0f} µs, slowest {max(times) * 1000:.0f} µs)")


# Watches the page from now on: the longest task (where the engine reports
# them), the longest wait from an input event to the next frame, and the
# longest gap between two frames, in milliseconds.
WATCH = """
const seen = window.quaddleResponse = {task: 0, event: 0, frame: 0};
const types = PerformanceObserver.supportedEntryTypes || [];
if (types.includes('longtask'))
    new PerformanceObserver(list => list.getEntries().forEach(e => { seen.task = Math.max(seen.task, e.duration); }))
        .observe({type: 'longtask'});
if (types.includes('event'))
    new PerformanceObserver(list => list.getEntries().forEach(e => { seen.event = Math.max(seen.event, e.duration); }))
        .observe({type: 'event', durationThreshold: 16});
let last = performance.now();
const frame = now => { seen.frame = Math.max(seen.frame, now - last); last = now; if (!seen.stop) requestAnimationFrame(frame); };
requestAnimationFrame(frame);
return true;
"""


def typing_response(page, origin, phone):
    """The every address, "1 2 3 4 5 6" typed into its hand a key at a time:
    the longest the page did not answer, until the answer is shown."""
    profile(page, phone)
    page.goto(origin + "/?every")
    wait_for(page, "the every-solution window",
             lambda p: p.run("return document.getElementById('frmEvery-lblAnswer')?.textContent.startsWith('共有')"),
             seconds=60)
    box = page.run("const b = document.getElementById('frmEvery-TxtHand').getBoundingClientRect();"
                   "return [b.left + b.width / 2, b.top + b.height / 2];")
    page.click_at(*box)
    page.press("Control", "a")
    page.press("Delete")
    page.run(WATCH)
    for key in "1 2 3 4 5 6":
        page.type(key)
    answer = wait_for(page, "the answer for six cards",
                      lambda p: p.run("const t = document.getElementById('frmEvery-lblAnswer').textContent;"
                                      "return t.startsWith('共有') && t;"), seconds=120)
    seen = page.run("window.quaddleResponse.stop = true; return window.quaddleResponse;")
    print(f"  {'phone' if phone else 'loopback':9} longest task {seen['task']:4.0f} ms, key to frame"
          f" {seen['event']:4.0f} ms (0: none over 16 ms), gap between frames {seen['frame']:4.0f} ms; {answer}")


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    site = os.path.join(build, "site")
    sizes(site)
    policy = site_policy(os.path.join(site, "index.html"))
    with tempfile.TemporaryDirectory() as folder:
        floor = os.path.join(folder, "index.html")
        with open(floor, "w", encoding="utf-8") as f:
            f.write(TRIVIAL.format(policy=policy, text=TEXT))
        trap = Trap()
        server = Server(policy, site=site, static_host=True)
        trivial = Server(policy, files={"": floor, "index.html": floor}, static_host=True)
        page = start("chromium", trap_port=trap.server_address[1])
        try:
            page.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": STAGES})
            print(f"Headless Chromium {page.version}, {runs} runs, first contentful paint, medians;"
                  f" load average {os.getloadavg()[0]:.2f} at the start:")
            print("  profile   visit        Quaddle   trivial page   ratio   layout shift (most: ours, trivial)")
            for name, phone in (("loopback", False), ("phone", True)):
                profile(page, phone)
                report(name, first_paints(page, server.origin, trivial.origin, runs))
            profile(page, False)
            print(f"  load average {os.getloadavg()[0]:.2f} at the end")
            page.goto(server.origin + "/")
            click_time(page, 21)
            print("Typing 1 2 3 4 5 6 on the every address, a key at a time:")
            for phone in (False, True):
                typing_response(page, server.origin, phone)
            profile(page, False)
        finally:
            page.close()
            server.stop()
            trivial.stop()
            trap.close()
    if trap.requests:
        sys.exit(f"bench/web: requests went past loopback: {trap.requests}")


if __name__ == "__main__":
    main()
